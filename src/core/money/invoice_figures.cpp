#include "money/invoice_figures.h"

#include "printing/money.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <iterator>

namespace tarvela {

RateFigures InvoiceFigures::rate(int percent) const {
    for (const RateFigures& r : Rates) {
        if (r.Percent == percent)
            return r;
    }
    RateFigures none;
    none.Percent = percent;
    return none;
}

QList<int> InvoiceFigures::UnknownRateRows() const {
    QList<int> rows;
    for (const RowFigures& r : Rows) {
        if (r.UnknownRate)
            rows.append(r.Row);
    }
    return rows;
}

InvoiceFigures SumRowFigures(const std::array<RowFigures, kItemRowCount>& rows) {
    InvoiceFigures f;
    f.Rows = rows;
    for (const RowFigures& row : rows) {
        if (row.Slot >= 0) {
            f.SlotBase[static_cast<std::size_t>(row.Slot)] += row.Amount;
            f.SlotTax[static_cast<std::size_t>(row.Slot)] += row.Tax;
        }
        if (!row.Listed && row.Amount == 0)
            continue;
        auto it = std::find_if(f.Rates.begin(), f.Rates.end(),
                               [&](const RateFigures& r) { return r.Percent == row.Percent; });
        if (it == f.Rates.end()) {
            f.Rates.push_back(RateFigures{row.Percent, 0, 0, 0, 0});
            it = f.Rates.end() - 1;
        }
        it->Base += row.Amount;
        it->Tax += row.Tax;
    }
    std::sort(f.Rates.begin(), f.Rates.end(),
              [](const RateFigures& a, const RateFigures& b) { return a.Percent > b.Percent; });
    for (const RateFigures& r : f.Rates) {
        f.Base += r.Base;
        f.Tax += r.Tax;
    }
    f.Total = f.Base + f.Tax;
    return f;
}

InvoiceFigures ComputeInvoiceFigures(const InvoiceRecord& record, const AppSettings& settings,
                                     DocumentKind kind) {
    const VatRates rates = RatesOf(settings);
    std::array<RowFigures, kItemRowCount> rows{};
    for (int i = 0; i < kItemRowCount; ++i) {
        const InvoiceItemRow& cells = record.Polozky[static_cast<std::size_t>(i)];
        RowFigures& row = rows[static_cast<std::size_t>(i)];
        row = ComputeRowFigures(cells.PocetMJ, cells.Cena, cells.DPH, rates);
        row.Row = i + 1;
        row.Listed = !TrimText(cells.Dodavka).isEmpty() || row.Amount != 0;
    }
    InvoiceFigures f = SumRowFigures(rows);

    f.Currency = DocumentCurrency(record, settings);
    f.Foreign = IsForeignCurrency(record, settings);
    if (f.Foreign)
        f.Rate = ParseExchangeRate(record.Kurz);
    f.InCrowns = f.Foreign && f.Rate.has_value();
    for (RateFigures& r : f.Rates) {
        if (f.InCrowns) {
            r.BaseCzk = ToCrowns(r.Base, *f.Rate);
            r.TaxCzk = ToCrowns(r.Tax, *f.Rate);
        } else if (!f.Foreign) {
            r.BaseCzk = r.Base;
            r.TaxCzk = r.Tax;
        }
        f.BaseCzk += r.BaseCzk;
        f.TaxCzk += r.TaxCzk;
    }

    f.Due = ComputeAmountDue(f.Total, RoundsToCrowns(kind, record, settings));
    f.Paid = PaidHalere(record.UhrazenaCastka, record.DatumUhrady, f.Due.Due);
    f.Outstanding = std::max<qint64>(0, f.Due.Due - f.Paid);
    return f;
}

std::optional<qint64> ReadTotalHalere(const QString& text) {
    QString kept;
    for (const QChar c : text) {
        if (c != QLatin1Char(' ') && c != QChar(0x00A0))
            kept += c;
    }
    // "12.345,00" and "1.234" are grouped thousands; "1210.50" is a decimal point.
    static const QRegularExpression grouped(QStringLiteral("^[-+]?\\d{1,3}(\\.\\d{3})+(,\\d*)?$"));
    if (grouped.match(kept).hasMatch())
        kept.remove(QLatin1Char('.'));
    kept.replace(QLatin1Char('.'), QLatin1Char(','));
    Decimal value;
    if (kept.isEmpty() ||
        ReadDecimal(kept, value, Decimal::FromMillionths(kLargestStoredHalere * 10000)) !=
            DecimalError::None)
        return std::nullopt;
    // A stored figure has haléře at most; more decimals (a hand-edited file) round half away.
    return DivideRounded(value.millionths(), Decimal::kScale / 100);
}

std::optional<qint64> ReadPaidHalere(const QString& text) {
    return ReadTotalHalere(text);
}

qint64 PaidHalere(const QString& paidText, const QString& paymentDate, qint64 due) {
    if (const std::optional<qint64> paid = ReadPaidHalere(paidText))
        return *paid;
    if (TrimText(paidText).isEmpty() && !TrimText(paymentDate).isEmpty())
        return due;
    return 0;
}

} // namespace tarvela
