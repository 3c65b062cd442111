// The item grid of the main window: the current row, totals and the item actions. The grid's
// rows, cells, row amounts and drawing are ItemGrid's (item_grid.h).
#include "app/item_grid.h"
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "editor/row_amounts.h"
#include "invoice/invoice_record.h"
#include "printing/vat_recap.h"
#include "text/message_boxes.h"

namespace tarvela {

void THlavni::Grid1Click() {
    const int row = CurrentRow();
    if (row < 1)
        return;
    RecomputeRow(row);
    ShowTotals();
}

void THlavni::RecomputeRow(int row) {
    grid_->RecomputeRow(row, RatesOf(Settings));
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
    clipboard->setText(ItemRowText(grid_->Row(row)));
}

void THlavni::Akce_VlozitPolozkuExecute() {
    const int row = CurrentRow();
    if (row < 1)
        return;
    // A clipboard without text gives the empty text.
    const QString text = QGuiApplication::clipboard()->text();
    InvoiceItemRow cells = grid_->Row(row);
    PasteIntoRow(cells, text);
    // The row is written only when it reads: a payer's rate the settings know, a quantity and
    // price that are numbers (ConversionError naming the field otherwise).
    CheckVatRate(Settings, cells.DPH);
    RowAmount amounts = Amounts[row];
    tarvela::RecomputeRow(amounts, cells.PocetMJ, cells.Cena, cells.DPH, RatesOf(Settings));
    grid_->SetRow(row, cells);
    Amounts[row] = amounts;
    const QString notice = NonPayerRateNotice(Settings, cells.DPH);
    if (!notice.isEmpty())
        ShowWarning(QStringLiteral("Sazba DPH"), notice);
    ShowTotals();
    SetModified(true);
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
    grid_->EmptyRow(row);
    ShowTotals();
    SetModified(true);
}

void THlavni::Akce_PolozkaDoluExecute() {
    const int row = CurrentRow();
    if (row < 1 || row >= kItemRowCount)
        return;
    grid_->SwapRows(row, row + 1);
    // The moved item stays selected; the change of the current row recomputes it.
    SetCurrentRow(row + 1);
    SetModified(true);
}

void THlavni::Akce_PolozkaNahoruExecute() {
    const int row = CurrentRow();
    if (row <= 1 || row > kItemRowCount)
        return;
    grid_->SwapRows(row, row - 1);
    SetCurrentRow(row - 1);
    SetModified(true);
}

} // namespace tarvela
