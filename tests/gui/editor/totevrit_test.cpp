#include "editor/totevrit.h"

#include "support/controls.h"
#include "support/list_views.h"
#include "support/sample_invoices.h"
#include "support/test_support.h"
#include "text/codec.h"
#include "text/message_boxes.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using tarvela::MessageBoxRecorder;
using tarvela::TOtevrit;
using tarvela::test::Cell;
using tarvela::test::Control;
using tarvela::test::RowCentre;
using tarvela::test::RowCount;
using tarvela::test::RowTexts;
using tarvela::test::TempProgramFolder;

namespace {

QByteArray InvoiceFile(int lineCount, const QString& customer, const QString& total) {
    return tarvela::test::InvoiceFileBytes({{7, QStringLiteral("1.2.2026")},
                                            {9, QStringLiteral("15.2.2026")},
                                            {11, customer},
                                            {46, total},
                                            {48, QStringLiteral("CZK")}},
                                           lineCount);
}

// The rows selected, by number.
QList<int> SelectedRows(const QTreeView* list) {
    QList<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

// A double click as the window system delivers it: press, release, double-click, release.
void DoubleClick(QWidget* widget, QPoint pos) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

} // namespace

class TOtevritTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // No box may wait for a user that is not there.
        boxes_ = std::make_unique<MessageBoxRecorder>();
        folder_ = std::make_unique<TempProgramFolder>();
        folder_->writeBytes(QStringLiteral("2026/2026002.tvl"),
                            InvoiceFile(49, QStringLiteral("Beta s.r.o."), QStringLiteral("1210")));
        folder_->writeBytes(QStringLiteral("2026/2026001.tvl"),
                            InvoiceFile(49, QStringLiteral("Alfa"), QStringLiteral("363,00")));
        folder_->writeBytes(QStringLiteral("2026/2025999.tvl"),
                            InvoiceFile(47, QStringLiteral("Gama"), QStringLiteral("0")));
    }
    void cleanup() {
        folder_.reset();
        boxes_.reset();
    }

    void layoutAndContent() {
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("2026"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Otevřít fakturu, rok 2026"));
        QCOMPARE(dialog.size(), QSize(676, 463));
        QVERIFY(Control<QPushButton>(&dialog, "Tl_Ok")->isDefault());

        QTreeView* list = Control<QTreeView>(&dialog, "ListView1");
        const QStringList headers{"Číslo",     "Datum",    "Odběratel", "Celkem",
                                  "Splatnost", "Uhrazeno", "Měna"};
        const int widths[] = {60, 70, 220, 80, 70, 70, 50};
        const bool right[] = {false, true, false, true, true, true, false};
        QCOMPARE(list->model()->columnCount(), 7);
        QVERIFY(!list->header()->sectionsClickable());
        QVERIFY(!list->isSortingEnabled());
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(list->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
            QCOMPARE(list->columnWidth(c), widths[c]);
            QCOMPARE(
                bool(list->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                     Qt::AlignRight),
                right[c]);
            QCOMPARE(bool(list->model()->index(0, c).data(Qt::TextAlignmentRole).toInt() &
                          Qt::AlignRight),
                     right[c]);
        }

        QCOMPARE(RowCount(list), 3);
        QCOMPARE(RowTexts(list, 0),
                 (QStringList{"2025999", "1.2.2026", "Gama", "0,00", "15.2.2026", "", ""}));
        QCOMPARE(RowTexts(list, 1),
                 (QStringList{"2026001", "1.2.2026", "Alfa", "363,00", "15.2.2026", "", "CZK"}));
        QCOMPARE(RowTexts(list, 2), (QStringList{"2026002", "1.2.2026", "Beta s.r.o.", "1210,00",
                                                 "15.2.2026", "", "CZK"}));
        // The newest invoice (the last number) is chosen: Enter or Ok opens it at once.
        QCOMPARE(SelectedRows(list), QList<int>{2});
        QCOMPARE(list->currentIndex().row(), 2);
        QVERIFY(Control<QPushButton>(&dialog, "Tl_Ok")->isEnabled());
    }

    void theNewestIsChosenArrowsMoveAndEnterOpens() {
        {
            TOtevrit dialog(folder_->path());
            dialog.SetYear(QStringLiteral("2026"));
            dialog.show();
            QTRY_VERIFY(!dialog.Filling());
            QTreeView* list = Control<QTreeView>(&dialog, "ListView1");
            QCOMPARE(QApplication::focusWidget(), list); // the keys work at once
            QVERIFY(Control<QPushButton>(&dialog, "Tl_Ok")->isEnabled());
            QTest::keyClick(list, Qt::Key_Up);
            QTest::keyClick(list, Qt::Key_Up);
            QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(SelectedRows(list).size(), 1);
            const QString number = Cell(list, SelectedRows(list).first(), 0);
            QCOMPARE(number, QStringLiteral("2026001"));
            QVERIFY(Control<QPushButton>(&dialog, "Tl_Ok")->isEnabled());
            QTest::keyClick(list, Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.SelectedFile, folder_->path() + QStringLiteral("2026") +
                                              QDir::separator() + number + QStringLiteral(".tvl"));
        }
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("2026"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        QTreeView* list = Control<QTreeView>(&dialog, "ListView1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 2));
        QVERIFY(Control<QPushButton>(&dialog, "Tl_Ok")->isEnabled());
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(SelectedRows(list), QList<int>{1});
        QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.SelectedFile, folder_->path() + QStringLiteral("2026") + QDir::separator() +
                                          QStringLiteral("2026001.tvl"));
    }

    void doubleClickChoosesAtOnce() {
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("2026"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        DoubleClick(Control<QTreeView>(&dialog, "ListView1")->viewport(),
                    RowCentre(Control<QTreeView>(&dialog, "ListView1"), 2));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.SelectedFile, folder_->file(QStringLiteral("2026/2026002.tvl")));
    }

    void okWithoutSelectionTellsAndClosesEmpty() {
        MessageBoxRecorder boxes;
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("2026"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        // Double click on the empty part below the rows.
        const QPoint below(20, Control<QTreeView>(&dialog, "ListView1")->viewport()->height() - 5);
        DoubleClick(Control<QTreeView>(&dialog, "ListView1")->viewport(), below);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.SelectedFile.isEmpty());
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().text, QStringLiteral("Není vybrána žádná položka"));
    }

    void vanishedFileYieldsNoPath() {
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("2026"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        QTest::mouseClick(Control<QTreeView>(&dialog, "ListView1")->viewport(), Qt::LeftButton, {},
                          RowCentre(Control<QTreeView>(&dialog, "ListView1"), 0));
        QVERIFY(QFile::remove(folder_->file(QStringLiteral("2026/2025999.tvl"))));
        QTest::mouseClick(Control<QPushButton>(&dialog, "Tl_Ok"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.SelectedFile.isEmpty());
    }

    void stornoAndEscapeCancel() {
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("2026"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        QTest::mouseClick(Control<QTreeView>(&dialog, "ListView1")->viewport(), Qt::LeftButton, {},
                          RowCentre(Control<QTreeView>(&dialog, "ListView1"), 0));
        QTest::mouseClick(Control<QPushButton>(&dialog, "Tl_Storno"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.SelectedFile.isEmpty());

        TOtevrit second(folder_->path());
        second.SetYear(QStringLiteral("2026"));
        second.show();
        QTRY_VERIFY(!second.Filling());
        QTest::keyClick(Control<QTreeView>(&second, "ListView1"), Qt::Key_Escape);
        QCOMPARE(second.result(), int(QDialog::Rejected));
    }

    void templateNameAndLongYear() {
        folder_->writeBytes(QStringLiteral("2026/Vzor.tvl"),
                            InvoiceFile(49, QStringLiteral("Vzor"), QStringLiteral("0")));
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("20261"));
        QCOMPARE(dialog.Year(), QStringLiteral("2026"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        QTreeView* list = Control<QTreeView>(&dialog, "ListView1");
        QCOMPARE(Cell(list, 3, 0), QStringLiteral("Vzor"));
        DoubleClick(list->viewport(), RowCentre(list, 3));
        QCOMPARE(dialog.SelectedFile, folder_->path() + QStringLiteral("2026") + QDir::separator() +
                                          QStringLiteral("Vzor.tvl"));
    }

    // One damaged file does not keep the rest of the period from being listed and opened.
    void shortFilesAreListed() {
        folder_->writeBytes(QStringLiteral("2026/2026003.tvl"), "2026003\r\n\r\n");
        folder_->writeBytes(QStringLiteral("2026/2026004.tvl"),
                            InvoiceFile(46, QStringLiteral("Delta"), QStringLiteral("abc")));
        MessageBoxRecorder boxes;
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("2026"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        QTreeView* list = Control<QTreeView>(&dialog, "ListView1");
        QCOMPARE(RowCount(list), 5);
        QCOMPARE(RowTexts(list, 3), (QStringList{"2026003", "", "", "", "", "", ""}));
        QCOMPARE(RowTexts(list, 4),
                 (QStringList{"2026004", "1.2.2026", "Delta", "", "15.2.2026", "", ""}));
        QVERIFY(boxes.shown().isEmpty());
    }

    void emptyOrMissingPeriod() {
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("1999"));
        dialog.show();
        QTRY_VERIFY(!dialog.Filling());
        QVERIFY(Control<QLabel>(&dialog, "La_Nacitani")->isHidden());
        QCOMPARE(RowCount(Control<QTreeView>(&dialog, "ListView1")), 0);
        QVERIFY(!Control<QPushButton>(&dialog, "Tl_Ok")->isEnabled());
    }

    // The window is up before a file is read. The rows then come in slices with their count
    // beside them; keys and clicks do nothing until the list is full, but Storno or Esc close
    // the window meanwhile, and nothing is added after.
    void showsAtOnceAndClosesWhileFilling_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Storno") << false;
        QTest::newRow("Esc") << true;
    }
    void showsAtOnceAndClosesWhileFilling() {
        QFETCH(bool, escape);
        constexpr int kFiles = tarvela::test::kFilesBeyondOneSlice;
        const QByteArray bytes = InvoiceFile(49, QStringLiteral("Alfa"), QStringLiteral("100"));
        for (int i = 0; i < kFiles; ++i)
            folder_->writeBytes(QStringLiteral("2027/F%1.tvl").arg(i, 4, 10, QLatin1Char('0')),
                                bytes);
        TOtevrit dialog(folder_->path());
        dialog.SetYear(QStringLiteral("2027"));
        dialog.show();
        QTreeView* list = Control<QTreeView>(&dialog, "ListView1");
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.Filling());
        QCOMPARE(RowCount(list), 0);
        QVERIFY(Control<QLabel>(&dialog, "La_Nacitani")->isVisible());
        QCOMPARE(Control<QLabel>(&dialog, "La_Nacitani")->text(),
                 QStringLiteral("Načítám faktury…"));

        QVERIFY(
            tarvela::test::RunEventsUntil([&] { return RowCount(list) > 0 || !dialog.Filling(); }));
        QVERIFY(dialog.Filling());
        QVERIFY(RowCount(list) < kFiles);
        QCOMPARE(Control<QLabel>(&dialog, "La_Nacitani")->text(),
                 QStringLiteral("Načítám faktury… %1 z %2").arg(RowCount(list)).arg(kFiles));
        QTest::keyClick(list, Qt::Key_Down);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(SelectedRows(list).isEmpty());
        QVERIFY(!Control<QPushButton>(&dialog, "Tl_Ok")->isEnabled());
        QVERIFY(dialog.isVisible());

        const int rowsAtClose = RowCount(list);
        if (escape)
            QTest::keyClick(list, Qt::Key_Escape);
        else
            QTest::mouseClick(Control<QPushButton>(&dialog, "Tl_Storno"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.Filling());
        for (int turn = 0; turn < 20; ++turn)
            QCoreApplication::processEvents();
        QCOMPARE(RowCount(list), rowsAtClose);
        QVERIFY(dialog.SelectedFile.isEmpty());
    }

private:
    std::unique_ptr<MessageBoxRecorder> boxes_;
    std::unique_ptr<TempProgramFolder> folder_;
};

QTEST_MAIN(TOtevritTest)
#include "totevrit_test.moc"
