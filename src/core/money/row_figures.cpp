#include "money/row_figures.h"

#include "money/decimal.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/errors.h"

#include <charconv>
#include <iterator>

namespace tarvela {

namespace {

// True when the rate cell is the decimal text of `percent` ("21"), without building that text.
bool IsRate(QStringView cell, int percent) {
    char digits[16];
    const auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), percent);
    if (error != std::errc())
        return false;
    return cell == QLatin1StringView(digits, end - digits);
}

} // namespace

VatRates RatesOf(const AppSettings& settings) {
    return VatRates{settings.SazbaDPH1, settings.SazbaDPH2, settings.SazbaDPH3, settings.Platce};
}

RowFigures ComputeRowFigures(QStringView quantity, QStringView price, QStringView rate,
                             const VatRates& rates) {
    RowFigures row;
    if (!(quantity.isEmpty() && price.isEmpty())) {
        // Quantity first: with both cells wrong, the quantity's text is the one reported.
        const Decimal q = ParseFieldDecimal(QStringLiteral("Počet MJ"), quantity);
        const Decimal p = ParseFieldDecimal(QStringLiteral("Cena MJ"), price);
        row.Amount = RowAmountHalere(q, p);
        if (row.Amount > kLargestAmountHalere || row.Amount < -kLargestAmountHalere)
            throw ConversionError(
                WithFieldName(QStringLiteral("Celkem bez DPH"),
                              QStringLiteral("„%1“ je větší, než pole pojme; největší hodnota "
                                             "je %2.")
                                  .arg(FormatHalere(row.Amount), LargestAmountText())));
    }
    if (rate == u"0")
        row.Slot = 0;
    const int percents[] = {rates.rate1, rates.rate2, rates.rate3};
    for (int slot = 1; slot <= 3; ++slot) {
        if (IsRate(rate, percents[slot - 1]))
            row.Slot = slot;
    }
    const int named = row.Slot > 0 ? percents[row.Slot - 1] : 0;
    if (!rates.payer) {
        row.NonPayerRate = named != 0 || (row.Slot < 0 && !rate.trimmed().isEmpty());
    } else if (row.Slot < 0) {
        row.UnknownRate = row.Amount != 0;
    } else {
        row.Percent = named;
    }
    row.Tax = TaxHalere(row.Amount, row.Percent);
    return row;
}

} // namespace tarvela
