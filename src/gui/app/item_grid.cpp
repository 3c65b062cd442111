#include "app/item_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace tarvela {

namespace {

// Grid columns 4 to 6 (quantity, unit price, rate) are the table's columns 3 to 5.
constexpr int kFirstRightAlignedColumn = 3;
// Distance of the text from the cell's right and top edges.
constexpr int kCellMargin = 2;

// Draws the quantity, unit-price and rate cells right-aligned with a 2-pixel margin on the
// cell's own background, so the selected row keeps its highlight. Other cells are drawn as the
// grid draws them.
class Grid1CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.column() < kFirstRightAlignedColumn) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QFontMetrics metrics(opt.font);
        const int width = metrics.horizontalAdvance(text);
        const QRect& cell = opt.rect;
        const QRect textRect(cell.x() + cell.width() - width - kCellMargin, cell.y() + kCellMargin,
                             width, cell.height() - kCellMargin);
        const QPalette::ColorGroup group =
            (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const QPalette::ColorRole role =
            (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
        painter->save();
        painter->setClipRect(cell);
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, role));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter->restore();
    }
};

} // namespace

ItemGrid::ItemGrid(QTableWidget* grid, RowAmounts& amounts) : grid_(grid), amounts_(amounts) {}

// The grid's fixed row 0 (column headers) is the table's horizontal header and its fixed column 0
// (row numbers) the vertical header; every cell holds an item from the start.
void ItemGrid::SetUp() {
    QHeaderView* top = grid_->horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->setSectionsClickable(false);
    top->setHighlightSections(false);
    top->setFixedHeight(18);
    top->setMinimumSectionSize(8);
    top->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int widths[kItemCellCount] = {83, 395, 43, 60, 80, 37};
    for (int col = 0; col < kItemCellCount; ++col)
        grid_->setColumnWidth(col, widths[col]);
    QHeaderView* side = grid_->verticalHeader();
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setDefaultSectionSize(18);
    side->setMinimumSectionSize(18);
    side->setFixedWidth(22);
    side->setSectionsClickable(false);
    side->setHighlightSections(false);
    side->setDefaultAlignment(Qt::AlignCenter);
    for (int row = 0; row < kItemRowCount; ++row)
        for (int col = 0; col < kItemCellCount; ++col)
            grid_->setItem(row, col, new QTableWidgetItem);
    grid_->setCurrentCell(0, 0);

    const QStringList headers = {QStringLiteral("Kód"),     QStringLiteral("Označení dodávky"),
                                 QStringLiteral("MJ"),      QStringLiteral("Počet MJ"),
                                 QStringLiteral("Cena MJ"), QStringLiteral("DPH")};
    grid_->setHorizontalHeaderLabels(headers);
    for (int col = kFirstRightAlignedColumn; col < kItemCellCount; ++col)
        grid_->horizontalHeaderItem(col)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QStringList numbers;
    for (int row = 1; row <= kItemRowCount; ++row)
        numbers << QString::number(row);
    grid_->setVerticalHeaderLabels(numbers);

    grid_->setItemDelegate(new Grid1CellDelegate(grid_));
}

QString ItemGrid::Cell(int col, int row) const {
    if (row < 1 || col < 1)
        return row == 0 && col >= 1 ? grid_->horizontalHeaderItem(col - 1)->text()
                                    : (col == 0 && row >= 1 ? QString::number(row) : QString());
    const QTableWidgetItem* item = grid_->item(row - 1, col - 1);
    return item ? item->text() : QString();
}

void ItemGrid::SetCell(int col, int row, const QString& text) {
    Q_ASSERT(row >= 1 && row <= kItemRowCount && col >= 1 && col <= kItemCellCount);
    QTableWidgetItem* item = grid_->item(row - 1, col - 1);
    if (!item) {
        item = new QTableWidgetItem;
        grid_->setItem(row - 1, col - 1, item);
    }
    item->setText(text);
}

InvoiceItemRow ItemGrid::Row(int row) const {
    InvoiceItemRow cells;
    for (int col = 1; col <= kItemCellCount; ++col)
        cells.cell(col - 1) = Cell(col, row);
    return cells;
}

void ItemGrid::SetRow(int row, const InvoiceItemRow& cells) {
    for (int col = 1; col <= kItemCellCount; ++col)
        SetCell(col, row, cells.cell(col - 1));
}

ItemGrid::Rows ItemGrid::AllRows() const {
    Rows rows;
    for (int row = 1; row <= kItemRowCount; ++row)
        rows[static_cast<std::size_t>(row - 1)] = Row(row);
    return rows;
}

void ItemGrid::SetAllRows(const Rows& rows) {
    for (int row = 1; row <= kItemRowCount; ++row)
        SetRow(row, rows[static_cast<std::size_t>(row - 1)]);
}

void ItemGrid::SetRowsPresent(
    const std::array<std::optional<InvoiceItemRow>, kItemRowCount>& rows) {
    for (int row = 1; row <= kItemRowCount; ++row) {
        if (const auto& cells = rows[static_cast<std::size_t>(row - 1)])
            SetRow(row, *cells);
    }
}

void ItemGrid::EmptyRow(int row) {
    SetRow(row, InvoiceItemRow{});
    amounts_[row] = RowAmount{};
}

void ItemGrid::Clear() {
    SetAllRows(Rows{});
    amounts_.Clear();
    // The emptied totals stay empty: moving to the first cell is no click in the grid.
    const QSignalBlocker block(grid_);
    grid_->setCurrentCell(0, 0);
}

void ItemGrid::SwapRows(int rowA, int rowB) {
    const InvoiceItemRow a = Row(rowA);
    SetRow(rowA, Row(rowB));
    SetRow(rowB, a);
    amounts_.Swap(rowA, rowB);
}

int ItemGrid::CurrentRow() const {
    return grid_->currentRow() + 1;
}

void ItemGrid::SetCurrentRow(int row) {
    const int col = qMax(0, grid_->currentColumn());
    grid_->setCurrentCell(row - 1, col);
}

void ItemGrid::RecomputeRow(int row, const VatRates& rates) {
    tarvela::RecomputeRow(amounts_[row], Cell(4, row), Cell(5, row), Cell(6, row), rates);
}

void ItemGrid::RecomputeAll(const VatRates& rates) {
    for (int row = 1; row <= kItemRowCount; ++row)
        RecomputeRow(row, rates);
}

} // namespace tarvela
