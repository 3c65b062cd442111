#include "editor/date_dialogs.h"

#include "text/gui_helpers.h"
#include "text/helpers.h"

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

// The white window with the grey button band; the buttons are placed by the caller.
struct SmallDialog {
    QDialog dialog;
    QFrame* Shape1 = nullptr;
    QPushButton* Tl_Ok = nullptr;
    QPushButton* Tl_Storno = nullptr;

    SmallDialog(const QString& title, QWidget* parent) : dialog(parent) {
        dialog.setWindowTitle(title);
        dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint);
        QPalette white = dialog.palette();
        white.setColor(QPalette::Window, Qt::white);
        dialog.setPalette(white);
        dialog.setAutoFillBackground(true);

        Shape1 = new QFrame(&dialog);
        Shape1->setObjectName(QStringLiteral("Shape1"));
        Shape1->setFrameShape(QFrame::NoFrame);
        QPalette face = Shape1->palette();
        face.setColor(QPalette::Window, dialog.palette().color(QPalette::Button));
        Shape1->setPalette(face);
        Shape1->setAutoFillBackground(true);

        Tl_Ok = new QPushButton(QStringLiteral("Ok"), &dialog);
        Tl_Ok->setObjectName(QStringLiteral("Tl_Ok"));
        Tl_Ok->setDefault(true);
        QObject::connect(Tl_Ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        Tl_Storno = new QPushButton(QStringLiteral("Storno"), &dialog);
        Tl_Storno->setObjectName(QStringLiteral("Tl_Storno"));
        Tl_Storno->setAutoDefault(false);
        QObject::connect(Tl_Storno, &QPushButton::clicked, &dialog, &QDialog::reject);
    }

    // Sizes the client area, lays the band along its bottom and the buttons at `buttonTop`.
    void Arrange(int width, int height, int buttonTop) {
        dialog.setFixedSize(width, height);
        Shape1->setGeometry(0, height - kBandHeight, width, kBandHeight);
        Shape1->lower();
        Tl_Ok->setGeometry(16, buttonTop, 75, 25);
        Tl_Storno->setGeometry(112, buttonTop, 75, 25);
    }
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
    SmallDialog d(title, parent);
    auto* MonthCalendar1 = new QCalendarWidget(&d.dialog);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setLocale(QLocale());
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthCalendar1->setSelectedDate(date);
    const QSize natural = MonthCalendar1->sizeHint();
    MonthCalendar1->setGeometry(8, 8, natural.width(), natural.height());
    // The preselected date can be taken at once: Ok is enabled from the start.
    QObject::connect(MonthCalendar1, &QCalendarWidget::clicked, &d.dialog,
                     [&d] { EnableOkButton(&d.dialog); });

    // Outer size 210 x 241 as far as the calendar's natural size allows.
    const int width = std::max(204, natural.width() + 16);
    const int height = std::max(213, 8 + natural.height() + 8 + kBandHeight);
    d.Arrange(width, height, height - 25 - kButtonBottomGap);
    QWidget::setTabOrder(MonthCalendar1, d.Tl_Ok);
    QWidget::setTabOrder(d.Tl_Ok, d.Tl_Storno);
    MonthCalendar1->setFocus();

    if (d.dialog.exec() != QDialog::Accepted)
        return false;
    date = MonthCalendar1->selectedDate();
    return true;
}

bool AskYear(quint16& year, quint16 lowest, const QString& title, QWidget* parent) {
    SmallDialog d(title, parent);
    auto* CBox_Rok = new QComboBox(&d.dialog);
    CBox_Rok->setObjectName(QStringLiteral("CBox_Rok"));
    CBox_Rok->setEditable(false);
    CBox_Rok->setMaxVisibleItems(7);
    CBox_Rok->setGeometry(64, 32, 81, CBox_Rok->sizeHint().height());
    const QString current = QString::number(year);
    for (int y : YearChoices(year, lowest))
        CBox_Rok->addItem(QString::number(y));
    CBox_Rok->setCurrentIndex(CBox_Rok->findText(current));
    QObject::connect(CBox_Rok, &QComboBox::currentIndexChanged, &d.dialog,
                     [&d] { EnableOkButton(&d.dialog); });

    // Outer size 210 x 181: the buttons at top 120 on the band.
    d.Arrange(204, 120 + 25 + kButtonBottomGap + 1, 120);
    QWidget::setTabOrder(CBox_Rok, d.Tl_Ok);
    QWidget::setTabOrder(d.Tl_Ok, d.Tl_Storno);
    CBox_Rok->setFocus();

    if (d.dialog.exec() != QDialog::Accepted)
        return false;
    bool ok = false;
    const int chosen = CBox_Rok->currentText().toInt(&ok);
    if (!ok)
        return false;
    year = static_cast<quint16>(chosen);
    return true;
}

} // namespace tarvela
