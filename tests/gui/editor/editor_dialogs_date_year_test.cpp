#include "editor/date_dialogs.h"
#include "support/modal_dialog.h"
#include "text/clock.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QFrame>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace tarvela;
using namespace tarvela::test;

namespace {

// Clicks a day of the month shown in the calendar.
void ClickDay(QCalendarWidget* calendar, int day) {
    auto* view = calendar->findChild<QTableView*>();
    QVERIFY(view);
    QAbstractItemModel* model = view->model();
    bool inMonth = false;
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int col = 0; col < model->columnCount(); ++col) {
            const QModelIndex index = model->index(row, col);
            const int shown = model->data(index).toInt();
            if (shown == 1)
                inMonth = !inMonth; // the first "1" opens the month, the second closes it
            if (inMonth && shown == day) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(index).center());
                return;
            }
        }
    }
    QFAIL("day not found");
}

} // namespace

class EditorDialogsDateYearTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }

    void yearListRanges_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("current period") << 2026 << 2027 << 2010; // next year offered too
        QTest::newRow("early period") << 2005 << 2027 << 2005;
        QTest::newRow("future period") << 2030 << 2030 << 2010;
    }
    void yearListRanges() {
        QFETCH(int, year);
        QFETCH(int, first);
        QFETCH(int, last);
        ScopedToday today(QDate(2026, 12, 7));
        QStringList offered;
        QString selected, title;
        bool okEnabled = false;
        OnNextModal([&](QWidget* dialog) {
            auto* box = dialog->findChild<QComboBox*>(QStringLiteral("CBox_Rok"));
            for (int i = 0; i < box->count(); ++i)
                offered << box->itemText(i);
            selected = box->currentText();
            title = dialog->windowTitle();
            auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Tl_Ok"));
            okEnabled = ok->isEnabled();
            QCOMPARE(ok->geometry().topLeft(), QPoint(16, 120));
            QCOMPARE(box->geometry().topLeft(), QPoint(64, 32));
            QCOMPARE(box->maxVisibleItems(), 7);
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        quint16 y = static_cast<quint16>(year);
        QVERIFY(AskYear(y, 2010, QStringLiteral("Změna období")));
        QCOMPARE(y, quint16(year)); // Ok with the year unchanged
        QCOMPARE(offered.size(), first - last + 1);
        QCOMPARE(offered.first(), QString::number(first));
        QCOMPARE(offered.last(), QString::number(last));
        QCOMPARE(selected, QString::number(year));
        QCOMPARE(title, QStringLiteral("Změna období"));
        QVERIFY(okEnabled);
    }

    void yearChosenOrCancelled() {
        ScopedToday today(QDate(2026, 12, 7));
        OnNextModal([](QWidget* dialog) {
            auto* box = dialog->findChild<QComboBox*>(QStringLiteral("CBox_Rok"));
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Down); // 2026 -> 2025
            QTest::keyClick(box, Qt::Key_Down);
            QTest::keyClick(dialog, Qt::Key_Return); // the default button
        });
        quint16 year = 2026;
        QVERIFY(AskYear(year, 2010, QStringLiteral("Změna období")));
        QCOMPARE(year, quint16(2024));

        OnNextModal([](QWidget* dialog) {
            auto* box = dialog->findChild<QComboBox*>(QStringLiteral("CBox_Rok"));
            box->setCurrentIndex(5);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QVERIFY(!AskYear(year, 2010, QStringLiteral("Změna období")));
        QCOMPARE(year, quint16(2024));
    }

    void dateNeedsAClickInTheCalendar() {
        ScopedToday today(QDate(2026, 12, 7));
        bool enabledBefore = true, enabledAfter = false;
        QString monthShown;
        int band = 0, okBottomGap = 0;
        OnNextModal([&](QWidget* dialog) {
            auto* calendar = dialog->findChild<QCalendarWidget*>(QStringLiteral("MonthCalendar1"));
            auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Tl_Ok"));
            auto* shape = dialog->findChild<QFrame*>(QStringLiteral("Shape1"));
            band = shape->height();
            okBottomGap = dialog->height() - ok->geometry().bottom() - 1;
            QCOMPARE(calendar->pos(), QPoint(8, 8));
            QCOMPARE(calendar->selectedDate(), QDate(2026, 12, 7));
            for (auto* button : calendar->findChildren<QToolButton*>())
                monthShown += button->text() + QLatin1Char(' ');
            enabledBefore = ok->isEnabled();
            ClickDay(calendar, 3);
            enabledAfter = ok->isEnabled();
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        QDate date = Today();
        QVERIFY(AskDate(date, QStringLiteral("Datum")));
        QCOMPARE(date, QDate(2026, 12, 3));
        QVERIFY(enabledBefore); // today is preselected and can be taken at once
        QVERIFY(enabledAfter);
        QVERIFY2(monthShown.contains(QStringLiteral("prosinec")), qPrintable(monthShown));
        QCOMPARE(band, 41);
        QCOMPARE(okBottomGap, 7);
    }

    void enterTakesThePreselectedToday() {
        ScopedToday today(QDate(2026, 12, 7));
        OnNextModal([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
        QDate date = Today();
        QVERIFY(AskDate(date, QStringLiteral("Datum")));
        QCOMPARE(date, QDate(2026, 12, 7));
    }

    void dateCancelledLeavesTheDate() {
        OnNextModal([](QWidget* dialog) {
            auto* calendar = dialog->findChild<QCalendarWidget*>(QStringLiteral("MonthCalendar1"));
            ClickDay(calendar, 20);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Tl_Storno")),
                              Qt::LeftButton);
        });
        QDate date(2026, 12, 7);
        QVERIFY(!AskDate(date, QStringLiteral("Datum")));
        QCOMPARE(date, QDate(2026, 12, 7));
    }
};

QTEST_MAIN(EditorDialogsDateYearTest)
#include "editor_dialogs_date_year_test.moc"
