// The item grid of the main window: drawing, the current row, totals and the item actions.
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>

#include "editor/row_amounts.h"
#include "invoice/invoice_record.h"
#include "printing/vat_recap.h"
#include "text/message_boxes.h"

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

InvoiceItemRow GridRow(const THlavni& w, int row) {
    InvoiceItemRow cells;
    for (int col = 1; col <= kItemCellCount; ++col)
        cells.cell(col - 1) = w.Cell(col, row);
    return cells;
}

void SetGridRow(THlavni& w, int row, const InvoiceItemRow& cells) {
    for (int col = 1; col <= kItemCellCount; ++col)
        w.SetCell(col, row, cells.cell(col - 1));
}

} // namespace

void THlavni::SetUpGrid1Drawing() {
    ui_->Grid1->setItemDelegate(new Grid1CellDelegate(ui_->Grid1));
}

void THlavni::Grid1Click() {
    const int row = CurrentRow();
    if (row < 1)
        return;
    RecomputeRow(row);
    ShowTotals();
}

void THlavni::RecomputeRow(int row) {
    const VatRates rates{Settings.SazbaDPH1, Settings.SazbaDPH2, Settings.SazbaDPH3};
    tarvela::RecomputeRow(Amounts[row], Cell(4, row), Cell(5, row), Cell(6, row), rates);
}

void THlavni::ShowTotals() {
    const TotalsTexts t = ComputeTotals(Amounts, CurrentRow(), ui_->Ed_Mena->text());
    ui_->La_Mena->setText(t.Mena);
    ui_->La_APCelkem->setText(t.APCelkem);
    ui_->La_APDPH1->setText(t.APDPH1);
    ui_->La_APDPH2->setText(t.APDPH2);
    ui_->La_APDPH3->setText(t.APDPH3);
    ui_->La_CelkemRadek->setText(t.CelkemRadek);
    ui_->La_SACelkem->setText(t.SACelkem);
    ui_->La_SADPH1->setText(t.SADPH1);
    ui_->La_SADPH2->setText(t.SADPH2);
    ui_->La_SADPH3->setText(t.SADPH3);
    ui_->La_CelkemFaktura->setText(t.CelkemFaktura);
}

void THlavni::Akce_ZkopirovatPolozkuExecute() {
    const int row = CurrentRow();
    if (row < 1)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(ItemRowText(GridRow(*this, row)));
}

void THlavni::Akce_VlozitPolozkuExecute() {
    const int row = CurrentRow();
    if (row < 1)
        return;
    // A clipboard without text gives the empty text.
    const QString text = QGuiApplication::clipboard()->text();
    InvoiceItemRow cells = GridRow(*this, row);
    PasteIntoRow(cells, text);
    // The row is written only when it reads: a payer's rate the settings know, a quantity and
    // price that are numbers (ConversionError naming the field otherwise).
    CheckVatRate(Settings, cells.DPH);
    RowAmount amounts = Amounts[row];
    tarvela::RecomputeRow(amounts, cells.PocetMJ, cells.Cena, cells.DPH,
                          VatRates{Settings.SazbaDPH1, Settings.SazbaDPH2, Settings.SazbaDPH3});
    SetGridRow(*this, row, cells);
    Amounts[row] = amounts;
    ShowTotals();
    ChangedFlag = true;
    UpdateActions();
}

void THlavni::Akce_SmazatPolozkuExecute() {
    if (CurrentPage() != 1) {
        ShowInfo(QStringLiteral("Není vybraná žádná položka."));
        return;
    }
    if (!AskYesNo(QStringLiteral("Pozor!"), QStringLiteral("Chcete opravdu smazat tuto položku?")))
        return;
    const int row = CurrentRow();
    if (row < 1)
        return;
    SetGridRow(*this, row, InvoiceItemRow{});
    Amounts[row] = RowAmount{};
    ShowTotals();
    ChangedFlag = true;
    UpdateActions();
}

void THlavni::Akce_PolozkaDoluExecute() {
    const int row = CurrentRow();
    if (row < 1 || row >= kItemRowCount)
        return;
    const InvoiceItemRow upper = GridRow(*this, row);
    SetGridRow(*this, row, GridRow(*this, row + 1));
    SetGridRow(*this, row + 1, upper);
    Amounts.Swap(row, row + 1);
    // The moved item stays selected; the change of the current row recomputes it.
    SetCurrentRow(row + 1);
    ChangedFlag = true;
    UpdateActions();
}

void THlavni::Akce_PolozkaNahoruExecute() {
    const int row = CurrentRow();
    if (row <= 1 || row > kItemRowCount)
        return;
    const InvoiceItemRow lower = GridRow(*this, row);
    SetGridRow(*this, row, GridRow(*this, row - 1));
    SetGridRow(*this, row - 1, lower);
    Amounts.Swap(row, row - 1);
    SetCurrentRow(row - 1);
    ChangedFlag = true;
    UpdateActions();
}

} // namespace tarvela
