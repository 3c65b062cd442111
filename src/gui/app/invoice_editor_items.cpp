// The item grid of the invoice editor: the current row, the totals panel and the item actions.
// The grid's rows, cells, row amounts and drawing are ItemGrid's (item_grid.h).
#include "app/invoice_editor.h"
#include "app/invoice_editor_ui.h"
#include "app/item_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "editor/row_amounts.h"
#include "editor/teditacepolozky.h"
#include "invoice/invoice_record.h"
#include "printing/vat_recap.h"
#include "text/message_boxes.h"

namespace tarvela {

QString InvoiceEditor::Cell(int col, int row) const {
    return grid_->Cell(col, row);
}

void InvoiceEditor::SetCell(int col, int row, const QString& text) {
    grid_->SetCell(col, row, text);
}

int InvoiceEditor::CurrentRow() const {
    return grid_->CurrentRow();
}

void InvoiceEditor::SetCurrentRow(int row) {
    grid_->SetCurrentRow(row);
}

void InvoiceEditor::GridClick() {
    const int row = CurrentRow();
    if (row < 1)
        return;
    grid_->RecomputeRow(row, RatesOf(settings_));
    ShowTotals();
}

void InvoiceEditor::ShowTotals() {
    const TotalsTexts t = ComputeTotals(amounts_, CurrentRow(), ui_->Ed_Mena->text());
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

void InvoiceEditor::EditItem() {
    const int row = CurrentRow();
    if (row < 1 || row > kItemRowCount)
        return;
    TEditacePolozky editor(grid_->Row(row), amounts_[row], settings_, programFolder_, this);
    ConnectGuarded(&editor, &TEditacePolozky::rowWritten, this,
                   [this, row](const InvoiceItemRow& written) { grid_->SetRow(row, written); });
    ConnectGuarded(&editor, &TEditacePolozky::amountsChanged, this,
                   [this, row](const RowAmount& amounts) { amounts_[row] = amounts; });
    ConnectGuarded(&editor, &TEditacePolozky::confirmed, this, [this] {
        ShowTotals();
        SetModified(true);
    });
    editor.exec();
}

void InvoiceEditor::CopyItem() {
    const int row = CurrentRow();
    if (row < 1)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(ItemRowText(grid_->Row(row)));
}

void InvoiceEditor::PasteItem() {
    const int row = CurrentRow();
    if (row < 1)
        return;
    // A clipboard without text gives the empty text.
    const QString text = QGuiApplication::clipboard()->text();
    InvoiceItemRow cells = grid_->Row(row);
    PasteIntoRow(cells, text);
    // The row is written only when it reads: a payer's rate the settings know, a quantity and
    // price that are numbers (ConversionError naming the field otherwise).
    CheckVatRate(settings_, cells.DPH);
    RowAmount amounts = amounts_[row];
    tarvela::RecomputeRow(amounts, cells.PocetMJ, cells.Cena, cells.DPH, RatesOf(settings_));
    grid_->SetRow(row, cells);
    amounts_[row] = amounts;
    const QString notice = NonPayerRateNotice(settings_, cells.DPH);
    if (!notice.isEmpty())
        ShowWarning(QStringLiteral("Sazba DPH"), notice);
    ShowTotals();
    SetModified(true);
}

void InvoiceEditor::DeleteItem() {
    if (CurrentPage() != 1) {
        ShowInfo(QStringLiteral("Není vybraná žádná položka."));
        return;
    }
    if (!AskYesNo(QStringLiteral("Pozor!"), QStringLiteral("Chcete opravdu smazat tuto položku?")))
        return;
    const int row = CurrentRow();
    if (row < 1)
        return;
    grid_->EmptyRow(row);
    ShowTotals();
    SetModified(true);
}

void InvoiceEditor::MoveItemDown() {
    const int row = CurrentRow();
    if (row < 1 || row >= kItemRowCount)
        return;
    grid_->SwapRows(row, row + 1);
    // The moved item stays selected; the change of the current row recomputes it.
    SetCurrentRow(row + 1);
    SetModified(true);
}

void InvoiceEditor::MoveItemUp() {
    const int row = CurrentRow();
    if (row <= 1 || row > kItemRowCount)
        return;
    grid_->SwapRows(row, row - 1);
    SetCurrentRow(row - 1);
    SetModified(true);
}

} // namespace tarvela
