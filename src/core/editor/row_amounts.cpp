#include "editor/row_amounts.h"

#include "printing/money.h"

#include <cassert>
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

void RecomputeRow(RowAmount& amounts, QStringView quantity, QStringView price, QStringView rate,
                  const VatRates& rates) {
    const RowFigures row = ComputeRowFigures(quantity, price, rate, rates);
    RowAmount result;
    result.Base = row.Amount;
    if (row.Slot == 1)
        result.Vat1 = row.Tax;
    if (row.Slot == 2)
        result.Vat2 = row.Tax;
    if (row.Slot == 3)
        result.Vat3 = row.Tax;
    amounts = result;
}

TotalsTexts ComputeTotals(const RowAmounts& amounts, int currentRow, const QString& currency) {
    TotalsTexts t;
    t.Mena = currency;

    const RowAmount current =
        (currentRow >= 1 && currentRow <= kItemRowCount) ? amounts[currentRow] : RowAmount{};
    t.APCelkem = FormatHalere(current.Base);
    t.APDPH1 = FormatHalere(current.Vat1);
    t.APDPH2 = FormatHalere(current.Vat2);
    t.APDPH3 = FormatHalere(current.Vat3);
    t.CelkemRadek = FormatHalere(current.Base + current.Vat1 + current.Vat2 + current.Vat3);

    RowAmount sum;
    for (int row = 1; row <= kItemRowCount; ++row) {
        sum.Base += amounts[row].Base;
        sum.Vat1 += amounts[row].Vat1;
        sum.Vat2 += amounts[row].Vat2;
        sum.Vat3 += amounts[row].Vat3;
    }
    t.SACelkem = FormatHalere(sum.Base);
    t.SADPH1 = FormatHalere(sum.Vat1);
    t.SADPH2 = FormatHalere(sum.Vat2);
    t.SADPH3 = FormatHalere(sum.Vat3);
    t.CelkemFaktura = FormatHalere(sum.Base + sum.Vat1 + sum.Vat2 + sum.Vat3);
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
