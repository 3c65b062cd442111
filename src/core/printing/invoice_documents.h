#pragma once

#include "invoice/invoice_record.h"
#include "printing/print_variables.h"
#include "settings/settings_file.h"

#include <QString>
#include <QtGlobal>

namespace tarvela {

class ReportDataSet;

// What the main window shows at the moment of printing: the header, customer, comments and
// currency fields and the grid's cells (unsaved edits included). Printing never reads the invoice
// file; every figure is computed from these fields by the document model
// (money/invoice_figures.h), the same computation as the window's totals panel.
struct InvoiceSnapshot {
    // Fields of the window; Polozky are the grid's cells of rows 1 to 25. Uhrnem is not used.
    InvoiceRecord fields;
};

// The seven printed documents of an invoice, numbered as their actions Akce_TiskFaktury01 ...
// Akce_TiskFaktury20; each print action carries its kind as its data.
enum class DocumentKind : int {
    Faktura = 1,
    ProformaFaktura = 2,
    DanovyDoklad = 3,
    Dobropis = 4,
    DodaciList = 6,
    CenovaNabidka = 10,
    PrijmovyDokladSRozpisem = 20
};

inline constexpr std::array<DocumentKind, 7> kDocumentKinds = {
    DocumentKind::Faktura,
    DocumentKind::ProformaFaktura,
    DocumentKind::DanovyDoklad,
    DocumentKind::Dobropis,
    DocumentKind::DodaciList,
    DocumentKind::CenovaNabidka,
    DocumentKind::PrijmovyDokladSRozpisem};

// Title (Nazev1; also the report title), number label (Nazev2) and the report template relative
// to the program folder ("Ses/Faktura.fr3"). A receipt with items that pays money out (payout) is
// titled "Výdajový doklad".
QString DocumentTitle(DocumentKind kind, bool vatPayer, bool payout = false);
QString DocumentNumberLabel(DocumentKind kind);
QString DocumentTemplate(DocumentKind kind);

// "Konstantní symbol:" or "Variabilní symbol:", as the window calls the symbol; empty for a type
// that names neither.
QString SymbolLabel(SymbolType type);

// The customer's responsible person when it is not blank after trimming (taken untrimmed),
// otherwise customer name 1.
QString PayerName(const QString& responsiblePerson, const QString& customerName1);
QString PayerName(const InvoiceRecord& fields);

// The variables of an invoice document: the 55 pairs from Nazev1 to QRCode (PopiskaSymbol left
// out for a symbol type other than 0 and 1), then what each kind must say: the recap per rate,
// the amount due with its caption and rounding, the credit note's corrected document, the
// exchange rate, the file name and the one-line reason of a missing or shortened QR code
// (QRDuvod). docs/templates.md lists them all.
PrintVariables InvoiceDocumentVariables(DocumentKind kind, const InvoiceSnapshot& invoice,
                                        const AppSettings& settings);

// The pairs after QRCode, for documents with the invoice's amounts (`figures` computed for `kind`).
// payout: the document pays a negative amount out, and prints its figures as positive amounts.
struct InvoiceFigures;
void AddDocumentRuleVariables(PrintVariables& v, DocumentKind kind, const InvoiceSnapshot& invoice,
                              const AppSettings& settings, const InvoiceFigures& figures,
                              const QString& fileName, bool payout = false);

// Prepares the data set (closed, the eight item columns Id, Kod, Dodavka, MJ, PocetMJ, Cena,
// DPH, Zaklad defined, created empty and opened) and appends the item rows: all 25 rows, or for
// the receipt with items only the rows with a description that is not blank.
void FillInvoiceItems(ReportDataSet& dataSet, DocumentKind kind, const InvoiceSnapshot& invoice);

// Closes the data set if open and defines its columns anew (nothing else is kept).
void ResetDataSet(ReportDataSet& dataSet);

} // namespace tarvela
