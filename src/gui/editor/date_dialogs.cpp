#include "editor/date_dialogs.h"

#include "text/form_font.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"
#include "ui_date_dialog.h"
#include "ui_year_dialog.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QPalette>
#include <QPushButton>

#include <algorithm>

namespace tarvela {
namespace {

constexpr int kBandHeight = 41;
constexpr int kButtonBottomGap = 7;

// What both forms share beyond their design: the title, a dialog border, and the button band
// Shape1 filled with the button-face colour.
void SetUpSmallDialog(QDialog* dialog, QFrame* band, const QString& title) {
    dialog->setWindowTitle(title);
    dialog->setWindowFlags(FixedDialogFlags(false));
    QPalette face = band->palette();
    face.setColor(QPalette::Window, dialog->palette().color(QPalette::Button));
    band->setPalette(face);
}

// The date dialog (date_dialog.ui): the calendar keeps its natural size and the window, the band
// and the buttons follow it.
class DateDialog : public QDialog {
public:
    DateDialog(const QDate& date, const QString& title, QWidget* parent) : QDialog(parent) {
        ui_.setupUi(this);
        SetUpSmallDialog(this, ui_.Shape1, title);
        QCalendarWidget* calendar = ui_.MonthCalendar1;
        calendar->setLocale(QLocale());
        calendar->setSelectedDate(date);
        const QSize natural = calendar->sizeHint();
        calendar->setGeometry(8, 8, natural.width(), natural.height());
        // The preselected date can be taken at once: Ok is enabled from the start.
        ConnectGuarded(calendar, &QCalendarWidget::clicked, this, [this] { EnableOkButton(this); });

        // Outer size 210 x 241 as far as the calendar's natural size allows.
        const int width = std::max(204, natural.width() + 16);
        const int height = std::max(213, 8 + natural.height() + 8 + kBandHeight);
        setFixedSize(width, height);
        ui_.Shape1->setGeometry(0, height - kBandHeight, width, kBandHeight);
        const int buttonTop = height - 25 - kButtonBottomGap;
        ui_.Tl_Ok->move(16, buttonTop);
        ui_.Tl_Storno->move(112, buttonTop);
        calendar->setFocus();
    }
    QDate SelectedDate() const { return ui_.MonthCalendar1->selectedDate(); }

private:
    Ui::DateDialog ui_;
};

// The year dialog (year_dialog.ui): the years from `high` down to `low`, `year` chosen.
class YearDialog : public QDialog {
public:
    YearDialog(int year, const QList<int>& years, const QString& title, QWidget* parent)
        : QDialog(parent) {
        ui_.setupUi(this);
        SetUpSmallDialog(this, ui_.Shape1, title);
        setFixedSize(size());
        QComboBox* list = ui_.CBox_Rok;
        for (int y : years)
            list->addItem(QString::number(y));
        list->setCurrentIndex(list->findText(QString::number(year)));
        ConnectGuarded(list, &QComboBox::currentIndexChanged, this,
                       [this] { EnableOkButton(this); });
        list->setFocus();
    }
    QString ChosenText() const { return ui_.CBox_Rok->currentText(); }

private:
    Ui::YearDialog ui_;
};

} // namespace

QList<int> YearChoices(int year, int lowest) {
    // Next year too: January's invoices can be prepared in December.
    const int high = std::max(CurrentYear() + 1, year);
    const int low = std::min(lowest, year);
    QList<int> years;
    for (int y = high; y >= low; --y)
        years.append(y);
    return years;
}

bool AskDate(QDate& date, const QString& title, QWidget* parent) {
    DateDialog dialog(date, title, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    date = dialog.SelectedDate();
    return true;
}

bool AskYear(quint16& year, quint16 lowest, const QString& title, QWidget* parent) {
    YearDialog dialog(year, YearChoices(year, lowest), title, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    bool ok = false;
    const int chosen = dialog.ChosenText().toInt(&ok);
    if (!ok)
        return false;
    year = static_cast<quint16>(chosen);
    return true;
}

} // namespace tarvela
