#pragma once

#include "invoice/invoice_record.h"
#include "money/row_figures.h"
#include "settings/settings_file.h"

#include <QString>
#include <QStringView>

#include <array>

namespace tarvela {

// The amounts of one item row in haléře, as the document model computes them (row_figures.h):
// the row amount (quantity x unit price rounded half away from zero) and its tax in the column of
// the rate cell's slot (at most one of the three is not zero).
struct RowAmount {
    qint64 Base = 0;
    qint64 Vat1 = 0;
    qint64 Vat2 = 0;
    qint64 Vat3 = 0;
    bool operator==(const RowAmount&) const = default;
};

// The per-row amounts kept beside the grid, indexed by grid row 1 to 25. They are derived from
// the cells and never stored in a file.
class RowAmounts {
public:
    // Row 1 to 25; any other row is a programming error (asserted).
    RowAmount& operator[](int row);
    const RowAmount& operator[](int row) const;

    // All 100 entries to zero.
    void Clear();
    // Exchanges the four entries of two rows (the move actions).
    void Swap(int rowA, int rowB);

private:
    std::array<RowAmount, kItemRowCount> rows_{};
};

// Recomputes one row from its quantity, unit price and rate cells with ComputeRowFigures: the
// rate cell "0" and the decimal texts of the three rates name a slot (the last of equal rates
// wins); a non-payer's row and a row whose rate cell names nothing carry no tax.
//
// A quantity or price that does not read as a number of at most six decimals (or only one of them
// filled) throws ConversionError naming the field and leaves `amounts` unchanged.
void RecomputeRow(RowAmount& amounts, QStringView quantity, QStringView price, QStringView rate,
                  const VatRates& rates);

// The eleven value texts of the totals panel.
struct TotalsTexts {
    QString Mena;          // the invoice's currency
    QString APCelkem;      // current row: base
    QString APDPH1;        // current row: tax at rate 1
    QString APDPH2;        // current row: tax at rate 2
    QString APDPH3;        // current row: tax at rate 3
    QString CelkemRadek;   // current row: base + taxes
    QString SACelkem;      // invoice: sum of the bases
    QString SADPH1;        // invoice: sum of the taxes at rate 1
    QString SADPH2;        // invoice: sum of the taxes at rate 2
    QString SADPH3;        // invoice: sum of the taxes at rate 3
    QString CelkemFaktura; // invoice total, the text saved as the file's total line
    bool operator==(const TotalsTexts&) const = default;
};

// Computes the totals panel: the current row's amounts (a row outside 1 to 25 shows zeros) and
// the column sums over rows 1 to 25, each formatted with FormatHalere. The sums are whole haléře,
// so the panel shows the document model's figures exactly (ComputeInvoiceFigures).
TotalsTexts ComputeTotals(const RowAmounts& amounts, int currentRow, const QString& currency);

// Applies a pasted clipboard text to a row. Only the first line of a text with line breaks is
// taken. A text without "|" replaces only the description (cell 2). Otherwise the cells are filled
// from the left with the pieces before each
// "|"; the text after the last "|" and pieces beyond the sixth are dropped, and cells that get no
// piece keep their text.
void PasteIntoRow(InvoiceItemRow& row, const QString& clipboardText);

} // namespace tarvela
