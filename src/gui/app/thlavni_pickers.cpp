// The item editor, the template and customer pickers, the payment date and the period change.
#include "app/thlavni.h"

#include "editor/date_dialogs.h"
#include "editor/period_change.h"
#include "editor/pickers.h"
#include "editor/teditacepolozky.h"
#include "text/clock.h"
#include "text/dates.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace tarvela {

namespace {

template <std::size_t N>
void SetIfPresent(const std::array<QLineEdit*, N>& fields,
                  const std::array<std::optional<QString>, N>& values) {
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i])
            fields[i]->setText(*values[i]);
    }
}

} // namespace

// ---- Item editor ----------------------------------------------------------------------------

void THlavni::Akce_EditovatPolozkuExecute() {
    const int row = CurrentRow();
    if (row < 1 || row > kItemRowCount)
        return;
    InvoiceItemRow cells;
    for (int col = 1; col <= kItemCellCount; ++col)
        cells.cell(col - 1) = Cell(col, row);

    TEditacePolozky editor(cells, Amounts[row], Settings, ProgramFolder, this);
    editor.RowWritten = [this, row](const InvoiceItemRow& written) {
        for (int col = 1; col <= kItemCellCount; ++col)
            SetCell(col, row, written.cell(col - 1));
    };
    editor.AmountsChanged = [this, row](const RowAmount& amounts) { Amounts[row] = amounts; };
    editor.Confirmed = [this] {
        ShowTotals();
        ChangedFlag = true;
        UpdateActions();
    };
    editor.exec();
}

void THlavni::Grid1DblClick() {
    if (Akce_EditovatPolozku->isEnabled())
        Akce_EditovatPolozku->trigger();
}

// ---- Template and customer pickers ----------------------------------------------------------

void THlavni::Tl_VybratVzorFakturyClick() {
    if (!BuildPeriodMenu(PMenu_Rok, ProgramFolder, [this](QAction* item) {
            const std::optional<TemplateTaken> taken =
                TakeTemplateFromInvoice(this, ProgramFolder, PeriodMenuYear(item));
            if (!taken)
                return;
            SetIfPresent<4>({Ed_Fa2, Ed_Fa3, Ed_Fa4, Ed_Fa5}, taken->Fa);
            SetIfPresent<9>(
                {Ed_Od1, Ed_Od2, Ed_Od3, Ed_Od4, Ed_Od5, Ed_Od6, Ed_Od7, Ed_Od8, Ed_Od9},
                taken->Customer.Od);
            for (int row = 1; row <= kItemRowCount; ++row) {
                if (const auto& cells = taken->Rows[row - 1]) {
                    for (int col = 1; col <= kItemCellCount; ++col)
                        SetCell(col, row, cells->cell(col - 1));
                }
            }
            SetIfPresent<1>({Ed_Komentar1}, {taken->Komentar1});
            SetIfPresent<1>({Ed_Komentar2}, {taken->Komentar2});
            SetIfPresent<1>({Ed_Mena}, {taken->Mena});
            for (int row = 1; row <= kItemRowCount; ++row)
                RecomputeRow(row);
            ShowTotals();
            UpdateActions();
            GroupBox5->setTitle(QStringLiteral("Úhrada v ") + Settings.VychoziMena);
        }))
        return;
    const QPoint outer = frameGeometry().topLeft();
    PopUpPeriodMenu(PMenu_Rok, QPoint(outer.x() + Tl_VybratVzorFaktury->x() + 17,
                                      outer.y() + GroupBox1->y() + 137));
}

void THlavni::Tl_VybratOdberateleClick() {
    if (!BuildPeriodMenu(PMenu_Rok, ProgramFolder, [this](QAction* item) {
            const std::optional<CustomerTaken> taken =
                TakeCustomerFromInvoice(this, ProgramFolder, PeriodMenuYear(item));
            if (!taken)
                return;
            SetIfPresent<9>(
                {Ed_Od1, Ed_Od2, Ed_Od3, Ed_Od4, Ed_Od5, Ed_Od6, Ed_Od7, Ed_Od8, Ed_Od9},
                taken->Od);
            UpdateActions();
        }))
        return;
    const QPoint outer = frameGeometry().topLeft();
    PopUpPeriodMenu(PMenu_Rok, QPoint(outer.x() + Tl_VybratOdberatele->x() + 17,
                                      outer.y() + GroupBox2->y() + 137));
}

// ---- Payment date ---------------------------------------------------------------------------

void THlavni::Tl_DatumClick() {
    QDate date = Today();
    if (!AskDate(date, QStringLiteral("Datum"), this))
        return;
    Ed_DatumUhrady->setText(FormatInvoiceDate(date));
    ChangedFlag = true;
    UpdateActions();
}

void THlavni::Tl_ZrusitClick() {
    Ed_DatumUhrady->clear();
    ChangedFlag = true;
    UpdateActions();
}

// ---- Period change --------------------------------------------------------------------------

void THlavni::Akce_ZmenaObdobiExecute() {
    // The year is written to the settings file first; the period changes in memory and on the
    // label only when that write succeeded (a failed write throws and changes nothing).
    if (const std::optional<int> year = ChangePeriod(this, ProgramFolder, Settings))
        La_AktualniRok->setText(PeriodLabelText(*year));
}

} // namespace tarvela
