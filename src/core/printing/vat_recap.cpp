#include "printing/vat_recap.h"

#include "money/invoice_figures.h"
#include "printing/invoice_documents.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <algorithm>

namespace tarvela {

namespace {

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

QString NonPayerRateNotice(const AppSettings& settings, const QString& rate) {
    const QString text = TrimText(rate);
    if (settings.Platce || text.isEmpty() || text == QLatin1String("0"))
        return QString();
    return QStringLiteral("Dodavatel není plátcem DPH: sazba „%1“ se nepočítá, řádek je bez daně.")
        .arg(text);
}

QList<int> RowsWithDisallowedVatRate(const InvoiceSnapshot& invoice, const AppSettings& settings) {
    const InvoiceFigures figures = ComputeInvoiceFigures(invoice.fields, settings);
    QList<int> rows;
    for (int i = 0; i < kItemRowCount; ++i) {
        const QString rate = invoice.fields.Polozky[static_cast<std::size_t>(i)].DPH;
        const bool hasAmount = figures.Rows[static_cast<std::size_t>(i)].Amount != 0;
        if (rate.isEmpty() ? hasAmount : !VatSlotOfRate(settings, rate).has_value())
            rows.append(i + 1);
    }
    return rows;
}

} // namespace tarvela
