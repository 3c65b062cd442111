// The item editor, the template and customer pickers, the payment date and the period change.
#include "app/invoice_binding.h"
#include "app/item_grid.h"
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include "editor/date_dialogs.h"
#include "editor/period_change.h"
#include "editor/pickers.h"
#include "editor/teditacepolozky.h"
#include "text/clock.h"
#include "text/dates.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace tarvela {

namespace {

// Sets each field whose value the other invoice has.
template <std::size_t N>
void SetIfPresent(THlavniUi& ui, QLineEdit* THlavniUi::*const (&fields)[N],
                  const std::array<std::optional<QString>, N>& values) {
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i])
            (ui.*fields[i])->setText(*values[i]);
    }
}

void SetIfPresent(QLineEdit* field, const std::optional<QString>& value) {
    if (value)
        field->setText(*value);
}

} // namespace

// ---- Item editor ----------------------------------------------------------------------------

void THlavni::Akce_EditovatPolozkuExecute() {
    const int row = CurrentRow();
    if (row < 1 || row > kItemRowCount)
        return;
    TEditacePolozky editor(grid_->Row(row), Amounts[row], Settings, ProgramFolder, this);
    ConnectGuarded(&editor, &TEditacePolozky::rowWritten, this,
                   [this, row](const InvoiceItemRow& written) { grid_->SetRow(row, written); });
    ConnectGuarded(&editor, &TEditacePolozky::amountsChanged, this,
                   [this, row](const RowAmount& amounts) { Amounts[row] = amounts; });
    ConnectGuarded(&editor, &TEditacePolozky::confirmed, this, [this] {
        ShowTotals();
        SetModified(true);
    });
    editor.exec();
}

void THlavni::Grid1DblClick() {
    if (ui_->Akce_EditovatPolozku->isEnabled())
        ui_->Akce_EditovatPolozku->trigger();
}

// ---- Template and customer pickers ----------------------------------------------------------

void THlavni::Tl_VybratVzorFakturyClick() {
    if (!BuildPeriodMenu(ui_->PMenu_Rok, ProgramFolder, [this](QAction* item) {
            const std::optional<TemplateTaken> taken =
                TakeTemplateFromInvoice(this, ProgramFolder, PeriodMenuYear(item));
            if (!taken)
                return;
            SetIfPresent(*ui_, kTemplateHeaderEdits, taken->Fa);
            SetIfPresent(*ui_, kCustomerEdits, taken->Customer.Od);
            ui_->Ed_OdberatelEmail->setText(taken->Customer.Email);
            grid_->SetRowsPresent(taken->Rows);
            SetIfPresent(ui_->Ed_Komentar1, taken->Komentar1);
            SetIfPresent(ui_->Ed_Komentar2, taken->Komentar2);
            SetIfPresent(ui_->Ed_Mena, taken->Mena);
            grid_->RecomputeAll(RatesOf(Settings));
            ShowTotals();
            UpdateActions();
            ui_->GroupBox5->setTitle(QStringLiteral("Úhrada v ") + Settings.VychoziMena);
        }))
        return;
    const QPoint outer = frameGeometry().topLeft();
    PopUpPeriodMenu(ui_->PMenu_Rok, QPoint(outer.x() + ui_->Tl_VybratVzorFaktury->x() + 17,
                                           outer.y() + ui_->GroupBox1->y() + 137));
}

void THlavni::Tl_VybratOdberateleClick() {
    if (!BuildPeriodMenu(ui_->PMenu_Rok, ProgramFolder, [this](QAction* item) {
            const std::optional<CustomerTaken> taken =
                TakeCustomerFromInvoice(this, ProgramFolder, PeriodMenuYear(item));
            if (!taken)
                return;
            SetIfPresent(*ui_, kCustomerEdits, taken->Od);
            ui_->Ed_OdberatelEmail->setText(taken->Email);
            UpdateActions();
        }))
        return;
    const QPoint outer = frameGeometry().topLeft();
    PopUpPeriodMenu(ui_->PMenu_Rok, QPoint(outer.x() + ui_->Tl_VybratOdberatele->x() + 17,
                                           outer.y() + ui_->GroupBox2->y() + 137));
}

// ---- Payment date ---------------------------------------------------------------------------

void THlavni::Tl_DatumClick() {
    QDate date = Today();
    if (!AskDate(date, QStringLiteral("Datum"), this))
        return;
    ui_->Ed_DatumUhrady->setText(FormatInvoiceDate(date));
    SetModified(true);
}

void THlavni::Tl_ZrusitClick() {
    ui_->Ed_DatumUhrady->clear();
    SetModified(true);
}

// ---- Period change --------------------------------------------------------------------------

void THlavni::Akce_ZmenaObdobiExecute() {
    // The year is written to the settings file first; the period changes in memory and on the
    // label only when that write succeeded (a failed write throws and changes nothing).
    if (const std::optional<int> year = ChangePeriod(this, ProgramFolder, Settings)) {
        ui_->La_AktualniRok->setText(PeriodLabelText(*year));
        UpdateOverdueNotice();
    }
}

} // namespace tarvela
