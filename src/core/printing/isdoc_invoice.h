#pragma once

#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <optional>

namespace tarvela {

// The e-invoice document type of a printed kind: invoice 1, credit note 2, pro-forma 4, tax
// document for a received payment 5, receipt with items 7; nothing for the delivery note and the
// price offer, which have no e-invoice.
std::optional<int> IsdocDocumentType(DocumentKind kind);
inline bool HasIsdoc(DocumentKind kind) {
    return IsdocDocumentType(kind).has_value();
}

// The document's identifier, the same for every export of the same supplier (IČ), kind and number.
QUuid IsdocDocumentUuid(const QString& supplierIco, DocumentKind kind, const QString& number);

// "<number>.isdoc".
QString IsdocFileName(const InvoiceRecord& fields);

// The e-invoice (UTF-8 XML) of the document of `kind` with the figures of the printed document.
// Missing data the format requires (supplier's IČ, name and address, customer's name and address,
// the corrected document of a credit note, the exchange rate of a foreign currency, at least one
// item) raises ValidationError naming every missing field; a kind without an e-invoice raises
// ValidationError too.
QByteArray BuildIsdocInvoice(DocumentKind kind, const InvoiceSnapshot& invoice,
                             const AppSettings& settings);

// Builds the e-invoice first and then writes it to `path` (FileError when it cannot be written;
// nothing is written when building fails).
void SaveIsdocInvoice(const QString& path, DocumentKind kind, const InvoiceSnapshot& invoice,
                      const AppSettings& settings);

} // namespace tarvela
