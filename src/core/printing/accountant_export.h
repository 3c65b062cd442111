#pragma once

#include "invoice/invoice_store.h"
#include "money/invoice_figures.h"
#include "printing/invoice_documents.h"
#include "printing/invoice_tax_summary.h"
#include "printing/print_variables.h"
#include "settings/settings_file.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace tarvela {

class ReportDataSet;

// One invoice file of a period with the document model's figures (as an invoice).
struct PeriodInvoice {
    InvoiceRecord record;
    InvoiceFigures figures;
    QString fileNumber; // the name of its file without ".tvl" (what exported files are named after)
};

// The invoices of the period `year` whose date of taxable supply lies from `from` to `to`
// (both included), in the order of their file names. A file that cannot be read raises FileError,
// a row or date that does not convert ConversionError. afterEach runs after each listed file.
std::vector<PeriodInvoice> ReadPeriodInvoices(const InvoiceStore& store, int year,
                                              const QDate& from, const QDate& to,
                                              const AppSettings& settings,
                                              const AfterEachEntry& afterEach = {});

// The rates the exports list, highest first: the three VAT rates of the settings and 0 %, each
// once.
QList<int> ExportRates(const AppSettings& settings);

// The CSV of the invoices for the accountant: UTF-8 with a byte order mark, CR LF, ";" between
// cells, decimal comma, a header row and one row per invoice: number, dates of issue, supply and
// due date, customer, IČ, DIČ, base and tax per rate (ExportRates), total, currency, payment date
// and amount paid. Amounts are in the invoice's currency.
QByteArray PeriodInvoicesCsv(const std::vector<PeriodInvoice>& invoices,
                             const AppSettings& settings);

// The e-invoice file name of an invoice exported as `kind`: "<number>.isdoc" for the invoice,
// "<number>-<kind>.isdoc" for the other kinds ("2026007-dobropis.isdoc"). The number must be a
// valid invoice number (ValidationError otherwise), so the name never leads out of its folder.
QString PeriodIsdocFileName(const QString& number, DocumentKind kind);
QString PeriodIsdocFileName(const InvoiceRecord& record, DocumentKind kind);

// Writes the e-invoices of every invoice in every chosen kind and "faktury.csv" into `folder`,
// as one set (WriteFileSet: all old or all new after a failure or a kill). The e-invoices are
// named after the invoice files (fileNumber), never after a line inside them; two of the same
// name get "-2", "-3". All e-invoices are built first: an invoice missing required data stops
// the export with a ValidationError that names its number before anything is written. Returns
// the names written.
QStringList ExportPeriod(const QString& folder, const std::vector<PeriodInvoice>& invoices,
                         const QList<DocumentKind>& kinds, const AppSettings& settings);

// The VAT of a month or quarter by the date of taxable supply, in crowns (a foreign invoice
// converted with its exchange rate, per rate).
struct VatDocument {
    QString Cislo;
    QDate DatumPlneni;
    QString OdberatelDIC;
    InvoiceTaxSummary sums; // in crowns
};

struct VatSummary {
    QDate from;
    QDate to;
    InvoiceTaxSummary total; // the sums per rate of all documents (no lines)
    // Documents over 10 000 Kč including tax to a customer with a DIČ, one by one.
    std::vector<VatDocument> individual;
    InvoiceTaxSummary rest; // the sums per rate of the others
    int restCount = 0;
};

// The limit above which the control statement lists a document by itself, in haléře.
inline constexpr qint64 kControlStatementLimitCents = 1000000;

// Sums the invoices' figures in crowns (per rate, each rate's figures converted with the invoice's
// exchange rate). A foreign invoice without a plausible exchange rate, and a row whose rate the
// settings do not know, raise ValidationError naming the invoice (and the row): nothing is
// counted silently as untaxed.
VatSummary SummarizeVat(const std::vector<PeriodInvoice>& invoices, const QDate& from,
                        const QDate& to);

// The first and last day of a month (quarter 0) or of a quarter 1 to 4 of a year.
std::pair<QDate, QDate> MonthRange(int year, int month);
std::pair<QDate, QDate> QuarterRange(int year, int quarter);

// The VAT summary as CSV (the format of PeriodInvoicesCsv): the sums per rate, then the documents
// one by one, then the rest summed.
QByteArray VatSummaryCsv(const VatSummary& summary, const AppSettings& settings);

// The print of the VAT summary: template, title, variables and rows (the documents one by one).
QString VatSummaryTemplate();
QString VatSummaryTitle(const VatSummary& summary);
// The proposed name of the saved PDF, without ".pdf": "Přehled DPH 2026-01-01 až 2026-03-31".
QString VatSummaryFileName(const VatSummary& summary);
PrintVariables VatSummaryVariables(const VatSummary& summary, const AppSettings& settings);
void FillVatSummary(ReportDataSet& dataSet, const VatSummary& summary, const AppSettings& settings);

} // namespace tarvela
