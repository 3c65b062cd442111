#include "printing/invoice_tax_summary.h"

#include "editor/row_amounts.h"
#include "text/amount_text.h"
#include "text/helpers.h"

#include <algorithm>

namespace tarvela {

RateSum InvoiceTaxSummary::rate(int percent) const {
    for (const RateSum& r : rates) {
        if (r.percent == percent)
            return r;
    }
    RateSum none;
    none.percent = percent;
    return none;
}

int RowRatePercent(const QString& rateCell, const AppSettings& settings) {
    int percent = 0;
    for (const int rate : {settings.SazbaDPH1, settings.SazbaDPH2, settings.SazbaDPH3}) {
        if (rateCell == QString::number(rate))
            percent = rate;
    }
    return percent;
}

qint64 AmountCents(double value) {
    // The printed text is the reference: whatever FormatAmount shows is the amount.
    const QString text = FormatAmount(value);
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    const QString whole = text.mid(negative ? 1 : 0, comma - (negative ? 1 : 0));
    const qint64 cents = whole.toLongLong() * 100 + text.mid(comma + 1, 2).toLongLong();
    return negative ? -cents : cents;
}

QString CentsText(qint64 cents, QChar decimalSeparator) {
    const qint64 magnitude = cents < 0 ? -cents : cents;
    return (cents < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) +
           decimalSeparator + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

InvoiceTaxSummary SummarizeInvoice(const InvoiceRecord& fields, const AppSettings& settings) {
    const VatRates vatRates{settings.SazbaDPH1, settings.SazbaDPH2, settings.SazbaDPH3};
    InvoiceTaxSummary summary;
    struct Unrounded {
        int percent;
        double base;
    };
    std::vector<Unrounded> bases;
    for (int row = 1; row <= kItemRowCount; ++row) {
        const InvoiceItemRow& cells = fields.Polozky[row - 1];
        RowAmount amounts;
        RecomputeRow(amounts, cells.PocetMJ, cells.Cena, cells.DPH, vatRates);
        if (TrimText(cells.Dodavka).isEmpty() && amounts.Base == 0)
            continue;
        TaxLine line;
        line.row = row;
        line.percent = RowRatePercent(cells.DPH, settings);
        line.base = amounts.Base;
        line.baseCents = AmountCents(amounts.Base);
        line.taxCents = AmountCents(amounts.Vat1 + amounts.Vat2 + amounts.Vat3);
        summary.lines.push_back(line);

        auto it = std::find_if(summary.rates.begin(), summary.rates.end(),
                               [&](const RateSum& r) { return r.percent == line.percent; });
        if (it == summary.rates.end()) {
            summary.rates.push_back(RateSum{line.percent, 0, 0});
            bases.push_back(Unrounded{line.percent, 0});
            it = summary.rates.end() - 1;
        }
        it->taxCents += line.taxCents;
        bases[static_cast<size_t>(it - summary.rates.begin())].base += amounts.Base;
    }
    for (size_t i = 0; i < summary.rates.size(); ++i) {
        summary.rates[i].baseCents = AmountCents(bases[i].base);
        summary.baseCents += summary.rates[i].baseCents;
        summary.taxCents += summary.rates[i].taxCents;
    }
    std::sort(summary.rates.begin(), summary.rates.end(),
              [](const RateSum& a, const RateSum& b) { return a.percent < b.percent; });
    return summary;
}

InvoiceSnapshot SnapshotFromRecord(const InvoiceRecord& fields, const AppSettings& settings) {
    const VatRates vatRates{settings.SazbaDPH1, settings.SazbaDPH2, settings.SazbaDPH3};
    InvoiceSnapshot snapshot;
    snapshot.fields = fields;
    RowAmounts amounts;
    for (int row = 1; row <= kItemRowCount; ++row) {
        const InvoiceItemRow& cells = fields.Polozky[row - 1];
        RecomputeRow(amounts[row], cells.PocetMJ, cells.Cena, cells.DPH, vatRates);
        snapshot.Base[row - 1] = amounts[row].Base;
    }
    const TotalsTexts totals = ComputeTotals(amounts, 1, fields.Mena);
    snapshot.CelkemFaktura = totals.CelkemFaktura;
    snapshot.SACelkem = totals.SACelkem;
    snapshot.SADPH1 = totals.SADPH1;
    snapshot.SADPH2 = totals.SADPH2;
    snapshot.SADPH3 = totals.SADPH3;
    return snapshot;
}

} // namespace tarvela
