#include "editor/row_amounts.h"

#include "text/amount_text.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <iterator>
#include <utility>

namespace tarvela {

RowAmount& RowAmounts::operator[](int row) {
    assert(row >= 1 && row <= kItemRowCount);
    return rows_[static_cast<std::size_t>(row - 1)];
}

const RowAmount& RowAmounts::operator[](int row) const {
    assert(row >= 1 && row <= kItemRowCount);
    return rows_[static_cast<std::size_t>(row - 1)];
}

void RowAmounts::Clear() {
    rows_.fill(RowAmount{});
}

void RowAmounts::Swap(int rowA, int rowB) {
    std::swap((*this)[rowA], (*this)[rowB]);
}

double TaxAtRate(int rate, double base) {
    // The product is formed in extended precision and only then stored as a double: the
    // rounding of exact binary halves (21 % of 12,50 is 2.625 and gives 2.62) depends on it.
    const long double product =
        static_cast<long double>(rate) * 0.01L * static_cast<long double>(base);
    const double stored = static_cast<double>(product);
    return RoundAmount(stored, -2);
}

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

void RecomputeRow(RowAmount& amounts, const QString& quantity, const QString& price,
                  const QString& rate, const VatRates& rates) {
    RecomputeRow(amounts, QStringView(quantity), QStringView(price), QStringView(rate), rates);
}

void RecomputeRow(RowAmount& amounts, QStringView quantity, QStringView price, QStringView rate,
                  const VatRates& rates) {
    double base = 0;
    if (!(quantity.isEmpty() && price.isEmpty())) {
        // Quantity first: with both cells wrong, the quantity's text is the one reported.
        const double q = ParseFieldAmount(QStringLiteral("Počet MJ"), quantity);
        const double p = ParseFieldAmount(QStringLiteral("Cena MJ"), price);
        base = q * p;
        // Formatted only for the message: a full period's rows are recomputed when it is read.
        if (std::fabs(base) > kLargestAmount)
            CheckAmountLimit(QStringLiteral("Celkem bez DPH"), FormatAmount(base), base);
    }

    RowAmount result = amounts;
    result.Base = base;
    if (rate == u"0") {
        result.Vat1 = 0;
        result.Vat2 = 0;
        result.Vat3 = 0;
    }
    if (IsRate(rate, rates.rate1)) {
        result.Vat1 = TaxAtRate(rates.rate1, base);
        result.Vat2 = 0;
        result.Vat3 = 0;
    }
    if (IsRate(rate, rates.rate2)) {
        result.Vat2 = TaxAtRate(rates.rate2, base);
        result.Vat1 = 0;
        result.Vat3 = 0;
    }
    if (IsRate(rate, rates.rate3)) {
        result.Vat3 = TaxAtRate(rates.rate3, base);
        result.Vat1 = 0;
        result.Vat2 = 0;
    }
    amounts = result;
}

TotalsTexts ComputeTotals(const RowAmounts& amounts, int currentRow, const QString& currency) {
    TotalsTexts t;
    t.Mena = currency;

    const RowAmount current =
        (currentRow >= 1 && currentRow <= kItemRowCount) ? amounts[currentRow] : RowAmount{};
    t.APCelkem = FormatAmount(current.Base);
    t.APDPH1 = FormatAmount(current.Vat1);
    t.APDPH2 = FormatAmount(current.Vat2);
    t.APDPH3 = FormatAmount(current.Vat3);
    double rowTotal = current.Base;
    rowTotal += current.Vat1;
    rowTotal += current.Vat2;
    rowTotal += current.Vat3;
    t.CelkemRadek = FormatAmount(rowTotal);

    double sumBase = 0;
    double sumVat1 = 0;
    double sumVat2 = 0;
    double sumVat3 = 0;
    for (int row = 1; row <= kItemRowCount; ++row) {
        sumBase += amounts[row].Base;
        sumVat1 += amounts[row].Vat1;
        sumVat2 += amounts[row].Vat2;
        sumVat3 += amounts[row].Vat3;
    }
    t.SACelkem = FormatAmount(sumBase);
    t.SADPH1 = FormatAmount(sumVat1);
    t.SADPH2 = FormatAmount(sumVat2);
    t.SADPH3 = FormatAmount(sumVat3);
    double total = sumBase;
    total += sumVat1;
    total += sumVat2;
    total += sumVat3;
    t.CelkemFaktura = FormatAmount(total);
    return t;
}

void PasteIntoRow(InvoiceItemRow& row, const QString& clipboardText) {
    // A cell holds one line: of a multi-line text only the first line is taken, so a pasted
    // block can never put a line break into the invoice file.
    QString text = clipboardText;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
            text.truncate(i);
            break;
        }
    }
    if (text.contains(QLatin1Char('|')))
        FillItemRowFromLine(text, row);
    else
        row.Dodavka = text;
}

} // namespace tarvela
