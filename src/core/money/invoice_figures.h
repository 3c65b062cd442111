#pragma once

#include "invoice/invoice_record.h"
#include "money/decimal.h"
#include "money/row_figures.h"
#include "printing/document_rules.h"
#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

namespace tarvela {

// The one document model: every figure of an invoice, computed once and exactly, for the window's
// totals panel, every printed document, the ISDOC file, the CSV, the VAT summary, the QR code, the
// invoice book, the period overview and the reminder. None of them sums rows itself.
//
// The rule by which everything adds up (docs/templates.md):
// - a row's amount is quantity x unit price exactly, rounded half away from zero to haléře: the
//   printed row amount;
// - a row's tax is that rounded amount x rate / 100, rounded half away from zero;
// - the base and tax of a rate are the sums of its rows' rounded figures;
// - "Celkem bez DPH", the tax total and the total are the sums over the rates;
// - in a foreign currency the tax (and base) of each rate in crowns is the rate's figure x the
//   exchange rate, rounded to haléře; the figures in crowns are the sums over the rates;
// - cash in crowns is rounded to whole crowns as a separate figure outside the tax base.
// A non-payer charges no tax: every rate cell of a non-payer counts as no tax.

// The figures of one rate.
struct RateFigures {
    int Percent = 0;
    qint64 Base = 0;    // sum of the rows' amounts
    qint64 Tax = 0;     // sum of the rows' taxes
    qint64 BaseCzk = 0; // in crowns at the exchange rate (equal to Base in crowns)
    qint64 TaxCzk = 0;
    qint64 Total() const { return Base + Tax; }
    qint64 TotalCzk() const { return BaseCzk + TaxCzk; }
};

struct InvoiceFigures {
    std::array<RowFigures, kItemRowCount> Rows{};
    // Every rate of a listed row, each once, highest first (0 % last).
    std::vector<RateFigures> Rates;
    // By rate cell as the totals panel shows them: [0] the rows at "0", [1..3] the settings' rates.
    std::array<qint64, 4> SlotBase{};
    std::array<qint64, 4> SlotTax{};
    qint64 Base = 0;  // "Celkem bez DPH"
    qint64 Tax = 0;   // the tax total
    qint64 Total = 0; // the invoice total (the file's total line)

    QString Currency;            // ISO code where the typed text is one ("Kč" -> "CZK")
    bool Foreign = false;        // another currency than the default one
    std::optional<Decimal> Rate; // the typed exchange rate of a foreign invoice, when plausible
    bool InCrowns = false;       // foreign with a rate: the crowns figures below are filled
    qint64 BaseCzk = 0;          // sums over the rates in crowns
    qint64 TaxCzk = 0;
    qint64 TotalCzk() const { return BaseCzk + TaxCzk; }

    AmountDue Due; // the total, cash rounding to whole crowns and what is paid or returned

    qint64 Paid = 0;        // line 49 (the whole amount due when only the date is filled)
    qint64 Outstanding = 0; // Due - Paid, never below zero

    // The rate's figures, zero when no row has it.
    RateFigures rate(int percent) const;
    // Rows 1 to 25 that a payer charges no tax for because their rate is not known.
    QList<int> UnknownRateRows() const;
};

// Every figure of the record as the document `kind` shows it (the kind decides the cash
// rounding). A row that does not read throws ConversionError naming the row's field.
InvoiceFigures ComputeInvoiceFigures(const InvoiceRecord& record, const AppSettings& settings,
                                     DocumentKind kind = DocumentKind::Faktura);

// The sums of rows (rates, slots, totals); the rows already computed.
InvoiceFigures SumRowFigures(const std::array<RowFigures, kItemRowCount>& rows);

// A paid amount as stored on line 49 or typed ("1210,50", "1210.50", "1 210,50", "12.345,00"),
// exactly in haléře; nothing when it does not read.
std::optional<qint64> ReadPaidHalere(const QString& text);

// What is paid: the amount of line 49 when it reads; the whole `due` when only the payment date
// is filled; 0 otherwise.
qint64 PaidHalere(const QString& paidText, const QString& paymentDate, qint64 due);

// A stored total line ("1210,00", "12.345,00", "1 234,5"), exactly; nothing when it does not read.
std::optional<qint64> ReadTotalHalere(const QString& text);

} // namespace tarvela
