#pragma once

// What the window's printing and export handlers share: the open invoice as the window shows it
// and one of its documents built for the print module. For the window's source files only.

#include "printing/invoice_documents.h"

#include <QString>

#include <functional>

namespace tarvela {

class THlavni;
class ReportDataSet;

// The invoice as the window shows it with the row bases and the totals panel's captions.
InvoiceSnapshot TakeSnapshot(const THlavni& w);

// The full path of a report template relative to the program folder ("Ses/Faktura.fr3"), or an
// empty text after telling the user it is missing.
QString ExistingTemplate(const QString& programFolder, const QString& relativePath);

// The report of one document of the open invoice: its template (full path), title, variables and
// rows, as the print module takes them.
using InvoiceDocumentRun = std::function<void(const QString& templatePath, const QString& title,
                                              const QString& variables, const ReportDataSet& rows)>;

// Builds the document of `kind` and hands it to `run`. False (after telling the user) when its
// template is missing or the user answers Ne to a warning (a credit note with a positive total);
// a document that must not be printed raises ValidationError first.
bool WithInvoiceDocument(const THlavni& w, DocumentKind kind, const InvoiceDocumentRun& run);

} // namespace tarvela
