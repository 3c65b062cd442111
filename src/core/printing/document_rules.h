#pragma once

#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace tarvela {

// What each printed kind must say, as plain functions shared by the documents, the exports and
// the reminders.

// A VAT payer's invoice, tax document, credit note and receipt with items are tax documents;
// the pro-forma invoice, delivery note and price offer never are, nor is anything of a
// non-payer.
bool IsTaxDocument(DocumentKind kind, const AppSettings& settings);

// The form of payment is cash: "H" (spaces around and letter case do not count).
bool IsCashPayment(const QString& paymentForm);

// The form of payment as printed: "PP" "Převodním příkazem", "H" "Hotově", "D" "Dobírkou",
// "K" "Platební kartou"; any other typed text unchanged.
QString PaymentFormWords(const QString& paymentForm);

// The one reading of a currency field, used by the documents, the QR code, the e-invoice, the
// CSV and the VAT summary: the typed text, or the default currency when it is empty, or "CZK"
// when that is empty too, as an ISO code where it is one ("Kč", "kc", "czk" -> "CZK", "eur" ->
// "EUR", "€" -> "EUR"); any other text trimmed and unchanged (IsIso4217Code says it is none).
QString CurrencyCode(const QString& typed, const QString& defaultCurrency);
QString DocumentCurrency(const InvoiceRecord& fields, const AppSettings& settings);

// The code is one of the currencies of ISO 4217 ("CZK", "EUR"; not "XYZ", not "eur").
bool IsIso4217Code(const QString& code);

// The invoice's currency differs from the default one as CurrencyCode reads both ("czk" is not
// another currency beside the default "CZK"; an empty field is the default).
bool IsForeignCurrency(const InvoiceRecord& fields, const AppSettings& settings);

// Raises ValidationError naming the field in Czech when a text of the invoice (header, customer,
// items, comments, the credit note's and exchange-rate lines) or of the supplier's settings
// holds a control character, which an e-invoice or a CSV cannot carry.
void RefuseControlCharacters(const InvoiceRecord& fields, const AppSettings& settings);

// The amount a document asks for. Cash in crowns is rounded to whole crowns; the difference is
// printed as "Zaokrouhlení" and is outside the tax base.
struct AmountDue {
    qint64 Total = 0;    // the invoice total (La_CelkemFaktura), haléře
    qint64 Rounding = 0; // Due - Total
    qint64 Due = 0;      // what is paid or returned
    bool Rounded = false;
};

// rounded: round to whole crowns (cash in CZK), halves away from zero.
AmountDue ComputeAmountDue(qint64 totalHalere, bool rounded);

// Whether a document of this kind rounds the amount due: the receipt with items always (it is
// a cash document), the other kinds with prices when paid in cash; only in crowns.
bool RoundsToCrowns(DocumentKind kind, const InvoiceRecord& fields, const AppSettings& settings);

// "=čtyřicetšesttisícpětsetšedesátčtyři korun=": the whole crowns of the amount in words and
// the word for crowns; for another currency its code instead ("=sto EUR=").
QString AmountDueInWords(qint64 dueHalere, const QString& currencyCode);

// "Faktura 2026001", "Dobropis 2026004": the document's title and number, for the proposed file
// name of "Uložit jako PDF" (characters a file name cannot hold become "-"); a receipt with items
// that pays money out: "Výdajový doklad s rozpisem 2026007".
QString DocumentFileName(DocumentKind kind, const QString& number, bool payout = false);
// The cash receipt: "Pokladní doklad 2026007" (not the receipt with items' name, which may be
// saved beside it), "Výdajový doklad 2026007" when it pays money out.
QString CashReceiptFileName(const QString& number, bool payout = false);

// The report title, which the module prints in the footer of every page and on the preview:
// the document's title and number ("FAKTURA - DAŇOVÝ DOKLAD č. 2026001"), so that every
// continuation page says what it belongs to; a receipt with items that pays money out is
// "Výdajový doklad č. 2026007".
QString DocumentReportTitle(DocumentKind kind, bool vatPayer, const QString& number,
                            bool payout = false);

// The figures the rules of a document look at, all in haléře: the invoice total and the amount
// the document asks for or returns (after cash rounding), and both in crowns (the same for an
// invoice in crowns; converted at the typed rate for another currency, nothing without it).
struct DocumentFigures {
    AmountDue Due;
    qint64 Paid = 0; // what is paid, in the invoice's currency (the document model's Paid)
    std::optional<qint64> TotalInCrowns;
    std::optional<qint64> DueInCrowns;
};

// The figures the rules look at, from the document model (ComputeInvoiceFigures for the kind).
struct InvoiceFigures;
DocumentFigures DocumentFiguresOf(const InvoiceFigures& model);
DocumentFigures DocumentFiguresOf(DocumentKind kind, const InvoiceSnapshot& invoice,
                                  const AppSettings& settings);

// A simplified tax document may be issued up to 10 000 Kč including tax (VAT act § 30); the
// amount counts by its size, a refund as much as a payment.
inline constexpr qint64 kSimplifiedTaxDocumentLimitHalere = 1000000;
bool FitsSimplifiedTaxDocument(qint64 amountInCrownsHalere);

// A VAT payer's receipt (with items, or the cash receipt) is a simplified tax document when both
// its total and the amount paid are within the limit, otherwise a full tax document with the
// customer's identification. An amount in another currency without a rate counts as above it.
bool IsSimplifiedTaxDocument(DocumentKind kind, const AppSettings& settings,
                             const DocumentFigures& figures);

// The customer's data a full tax document names and the invoice lacks, as Czech field names
// ("název odběratele", "ulice odběratele", "město odběratele").
QStringList MissingForFullTaxDocument(const InvoiceRecord& fields);

// A negative amount of a cash receipt is money paid out: it prints as "VÝDAJOVÝ POKLADNÍ
// DOKLAD" with "Vyplaceno" and every figure positive.
bool IsCashPayout(const DocumentFigures& figures);

// Raises ValidationError with the rules of a document that must not be printed, given its
// figures:
// - a VAT payer's tax document with rows whose rate the settings do not know (named by row), or
//   in another currency without its exchange rate and date;
// - a pro-forma invoice or a price offer with a negative total (nothing is to be paid back);
// - a credit note without the corrected document or the reason of the correction;
// - a receipt above the limit of a simplified tax document whose customer lacks what a full
//   tax document names.
void CheckDocumentRules(DocumentKind kind, const InvoiceSnapshot& invoice,
                        const AppSettings& settings, const DocumentFigures& figures);

// CheckDocumentRules with the figures of DocumentFiguresOf.
void CheckDocumentPrintable(DocumentKind kind, const InvoiceSnapshot& invoice,
                            const AppSettings& settings);

// An invoice of the period is a credit note when it names the document it corrects or its
// total is negative; the period export writes it as a credit note (e-invoice type 2) with that
// reference, whatever kind was chosen for the invoices.
bool IsCreditNote(const InvoiceRecord& fields, qint64 totalHalere);
DocumentKind PeriodExportKind(DocumentKind chosen, const InvoiceRecord& fields, qint64 totalHalere);

// A text cell of a CSV for a spreadsheet: a text beginning with "=", "+", "-", "@", a tab or a
// carriage return gets a leading apostrophe, so that a customer named "=HYPERLINK(...)" is shown
// as text and never run as a formula. Only texts typed by users go through it; the amounts the
// program writes stay numbers ("-121,00").
QString CsvSafeText(const QString& text);

// What the user should see before a document that may be printed is printed, one sentence
// each; empty when nothing is odd. A credit note whose total is positive asks for a payment
// instead of returning one; the tax document of a received payment states the whole amount due
// as received, although a smaller part of it is paid.
QStringList DocumentWarnings(DocumentKind kind, const DocumentFigures& figures);

} // namespace tarvela
