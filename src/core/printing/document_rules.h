#pragma once

#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

#include <QString>
#include <QtGlobal>

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

// The invoice's currency differs from the default one (an empty field is the default).
bool IsForeignCurrency(const InvoiceRecord& fields, const AppSettings& settings);

// The currency as ISO code where the typed text is one ("Kč" -> "CZK"), else the text.
QString DocumentCurrency(const InvoiceRecord& fields, const AppSettings& settings);

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
// name of "Uložit jako PDF" (characters a file name cannot hold become "-").
QString DocumentFileName(DocumentKind kind, const QString& number);
QString CashReceiptFileName(const QString& number);

// The report title, which the module prints in the footer of every page and on the preview:
// the document's title and number ("FAKTURA - DAŇOVÝ DOKLAD č. 2026001"), so that every
// continuation page says what it belongs to.
QString DocumentReportTitle(DocumentKind kind, bool vatPayer, const QString& number);

// Raises ValidationError when the document must not be printed: a VAT payer's tax document
// with rows whose rate the settings do not know (named by row), or in a foreign currency
// without its exchange rate and date.
void CheckDocumentPrintable(DocumentKind kind, const InvoiceSnapshot& invoice,
                            const AppSettings& settings);

} // namespace tarvela
