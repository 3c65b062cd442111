#include "printing/vat_recap.h"

#include "printing/invoice_documents.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <algorithm>
#include <map>

namespace tarvela {

namespace {

qint64 CaptionHalere(const QString& caption) {
    return ParseHalere(caption).value_or(0);
}

int SlotRate(const AppSettings& settings, int slot) {
    switch (slot) {
    case 1:
        return settings.SazbaDPH1;
    case 2:
        return settings.SazbaDPH2;
    case 3:
        return settings.SazbaDPH3;
    }
    return 0;
}

} // namespace

std::optional<int> VatSlotOfRate(const AppSettings& settings, const QString& rate) {
    std::optional<int> slot;
    if (rate == QLatin1String("0"))
        slot = 0;
    for (int s = 1; s <= 3; ++s) {
        if (rate == QString::number(SlotRate(settings, s)))
            slot = s;
    }
    return slot;
}

bool IsAllowedVatRate(const AppSettings& settings, QStringView rate) {
    const QString text = TrimText(rate.toString());
    return VatSlotOfRate(settings, text).has_value();
}

QList<int> AllowedVatRates(const AppSettings& settings) {
    QList<int> rates;
    for (int s = 1; s <= 3; ++s) {
        const int r = SlotRate(settings, s);
        if (r != 0 && !rates.contains(r))
            rates.append(r);
    }
    std::sort(rates.begin(), rates.end(), std::greater<int>());
    rates.append(0);
    return rates;
}

QString AllowedVatRatesText(const AppSettings& settings) {
    const QList<int> rates = AllowedVatRates(settings);
    QString text;
    for (qsizetype i = 0; i < rates.size(); ++i) {
        if (i > 0)
            text += i + 1 == rates.size() ? QStringLiteral(" nebo ") : QStringLiteral(", ");
        text += QString::number(rates[i]) + QStringLiteral(" %");
    }
    return text;
}

QString VatRateRefusalMessage(const AppSettings& settings, const QString& rate) {
    return QStringLiteral("Sazba DPH „%1“ není v nastavení. Povolené sazby: %2.")
        .arg(rate, AllowedVatRatesText(settings));
}

void CheckVatRate(const AppSettings& settings, const QString& rate) {
    if (!settings.Platce || TrimText(rate).isEmpty() || IsAllowedVatRate(settings, rate))
        return;
    throw ValidationError(VatRateRefusalMessage(settings, rate));
}

QList<int> RowsWithDisallowedVatRate(const InvoiceSnapshot& invoice, const AppSettings& settings) {
    QList<int> rows;
    for (int i = 0; i < kItemRowCount; ++i) {
        const QString rate = invoice.fields.Polozky[static_cast<std::size_t>(i)].DPH;
        const bool hasAmount = invoice.Base[static_cast<std::size_t>(i)] != 0.0;
        if (rate.isEmpty() ? hasAmount : !VatSlotOfRate(settings, rate).has_value())
            rows.append(i + 1);
    }
    return rows;
}

VatRecap ComputeVatRecap(const InvoiceSnapshot& invoice, const AppSettings& settings) {
    VatRecap recap;
    // Unrounded bases summed in row order per slot, as the window sums them.
    double base[4] = {0, 0, 0, 0};
    bool used[4] = {false, false, false, false};
    for (int i = 0; i < kItemRowCount; ++i) {
        const double b = invoice.Base[static_cast<std::size_t>(i)];
        if (b == 0.0)
            continue;
        const std::optional<int> slot =
            VatSlotOfRate(settings, invoice.fields.Polozky[static_cast<std::size_t>(i)].DPH);
        if (!slot)
            continue;
        base[*slot] += b;
        used[*slot] = true;
    }
    const qint64 tax[4] = {0, CaptionHalere(invoice.SADPH1), CaptionHalere(invoice.SADPH2),
                           CaptionHalere(invoice.SADPH3)};

    recap.BaseAtZero = CaptionHalere(FormatAmount(base[0]));
    for (int s = 1; s <= 3; ++s)
        recap.BaseAtSlot[s - 1] = CaptionHalere(FormatAmount(base[s]));
    recap.TotalTax = tax[1] + tax[2] + tax[3];
    recap.TotalBase = CaptionHalere(invoice.SACelkem);

    // Slots of the same rate value share one line; the base of the merged slots is summed
    // unrounded and rounded once.
    std::map<int, std::pair<double, qint64>, std::greater<int>> byRate;
    for (int s = 0; s <= 3; ++s) {
        const int rate = SlotRate(settings, s);
        if (!used[s] && tax[s] == 0)
            continue;
        auto& entry = byRate[rate];
        entry.first += base[s];
        entry.second += tax[s];
    }
    for (const auto& [rate, entry] : byRate)
        recap.Lines.append({rate, CaptionHalere(FormatAmount(entry.first)), entry.second});
    return recap;
}

} // namespace tarvela
