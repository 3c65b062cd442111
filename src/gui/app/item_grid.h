#pragma once

#include <QString>

#include <array>
#include <optional>

#include "editor/row_amounts.h"
#include "invoice/invoice_record.h"
#include "settings/settings_file.h"

class QTableWidget;

namespace tarvela {

// The item grid of the main window (Grid1) and the amounts of its rows, in the grid's own
// numbering: rows 1 to 25, cells 1 to 6 (row 0 is the header row, column 0 the row numbers).
// The amounts are the window's RowAmounts; the grid keeps them with their rows when rows are
// emptied or moved, and recomputes them from the cells. The lifecycle, the pickers and printing
// go through it instead of walking the cells themselves.
class ItemGrid {
public:
    using Rows = std::array<InvoiceItemRow, kItemRowCount>;

    ItemGrid(QTableWidget* grid, RowAmounts& amounts);
    ItemGrid(const ItemGrid&) = delete;
    ItemGrid& operator=(const ItemGrid&) = delete;

    // Called once at start: headers, column widths, an item in every cell, the first cell
    // current, and the drawing of the quantity, price and rate cells (right-aligned).
    void SetUp();

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    InvoiceItemRow Row(int row) const;
    void SetRow(int row, const InvoiceItemRow& cells);
    Rows AllRows() const;
    void SetAllRows(const Rows& rows);
    // Sets the rows that have a value; the others stay as they are.
    void SetRowsPresent(const std::array<std::optional<InvoiceItemRow>, kItemRowCount>& rows);

    // Empties one row's cells and amounts.
    void EmptyRow(int row);
    // Empties every cell and amount and moves to the first cell without a signal (no click).
    void Clear();
    // Exchanges the cells and amounts of two rows.
    void SwapRows(int rowA, int rowB);

    int CurrentRow() const;      // 1 to 25 (0 when the grid has no current cell)
    void SetCurrentRow(int row); // keeps the current column; the grid signals the change

    // Recomputes one row's amounts (all rows) from its quantity, price and rate cells.
    void RecomputeRow(int row, const VatRates& rates);
    void RecomputeAll(const VatRates& rates);
    // The base of each row, rows 1 to 25.

private:
    QTableWidget* grid_;
    RowAmounts& amounts_;
};

// The three VAT rates of the settings, for recomputing rows.

} // namespace tarvela
