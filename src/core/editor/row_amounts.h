#pragma once

#include "invoice/invoice_record.h"
#include "settings/settings_file.h"

#include <QString>
#include <QStringView>

#include <array>

namespace tarvela {

// The three VAT rates of the settings, in per cent.
struct VatRates {
    int rate1 = settings_defaults::SazbaDPH1;
    int rate2 = settings_defaults::SazbaDPH2;
    int rate3 = settings_defaults::SazbaDPH3;
};

// The amounts of one item row: the base (quantity x unit price, never rounded) and the tax at
// each of the three rates (rounded to hundredths; at most one of them is not zero).
struct RowAmount {
    double Base = 0;
    double Vat1 = 0;
    double Vat2 = 0;
    double Vat3 = 0;
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

// Recomputes one row from its quantity, unit price and rate cells.
//
// The base is ParseAmount(quantity) x ParseAmount(price) (0 when both cells are empty). The rate
// cell is compared as text with "0" and the decimal texts of the three rates, in that order;
// every test that matches sets its tax and zeroes the other two, so with equal rates the last
// matching one wins. A rate cell that matches nothing keeps the previous taxes.
//
// A quantity or price that does not read as a number (or only one of them filled) throws
// ConversionError and leaves `amounts` unchanged.
void RecomputeRow(RowAmount& amounts, const QString& quantity, const QString& price,
                  const QString& rate, const VatRates& rates);
// The same on parts of a row line, without copying them (the book reads every row of a period).
void RecomputeRow(RowAmount& amounts, QStringView quantity, QStringView price, QStringView rate,
                  const VatRates& rates);

// The tax of a base at a whole-number rate: rate x 0.01 x base formed in extended precision,
// stored as a double and rounded to hundredths with RoundAmount.
double TaxAtRate(int rate, double base);

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
// the column sums over rows 1 to 25 in row order, each formatted with FormatAmount.
TotalsTexts ComputeTotals(const RowAmounts& amounts, int currentRow, const QString& currency);

// Applies a pasted clipboard text to a row. Only the first line of a text with line breaks is
// taken. A text without "|" replaces only the description (cell 2). Otherwise the cells are filled
// from the left with the pieces before each
// "|"; the text after the last "|" and pieces beyond the sixth are dropped, and cells that get no
// piece keep their text.
void PasteIntoRow(InvoiceItemRow& row, const QString& clipboardText);

} // namespace tarvela
