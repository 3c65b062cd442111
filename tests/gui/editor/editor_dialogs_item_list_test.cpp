#include "editor/tseznampolozek.h"
#include "support/controls.h"
#include "support/list_views.h"
#include "support/sample_invoices.h"
#include "text/message_boxes.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include <memory>

using namespace tarvela;
using namespace tarvela::test;

namespace {

QString Header(const QTreeView* view, int column) {
    return view->model()->headerData(column, Qt::Horizontal).toString();
}

void ClickRow(QTreeView* view, int row) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, RowCentre(view, row));
}

// Five items in two invoices of 2025: "K1" twice (the first wins), two rows without a code.
void WritePeriod(const TempProgramFolder& folder) {
    WriteInvoice(folder, "2025/2025001.tvl",
                 InvoiceLines("2025001", {"K1|Oprava stroje|h|2|150|21|", "|OPRAVA|ks|1|99|15|",
                                          "||||||", "oprav-1|Materiál|kg|1|150,5|10|"}));
    WriteInvoice(folder, "2025/2025002.tvl",
                 InvoiceLines("2025002", {"k1|Jiný popis|ks|1|1|21|", "|Čištění|h|1|300|21|",
                                          "|Přeprava|km|10|12|0|"}));
}

struct ItemList {
    TempProgramFolder folder;
    std::unique_ptr<TSeznamPolozek> dialog;
    void open(bool platce, const QString& year = QStringLiteral("2025")) {
        dialog = std::make_unique<TSeznamPolozek>(folder.path(), platce);
        ListView1 = Control<QTreeView>(dialog.get(), "ListView1");
        Ed_Vyraz = Control<QLineEdit>(dialog.get(), "Ed_Vyraz");
        Tl_Filtr = Control<QPushButton>(dialog.get(), "Tl_Filtr");
        Tl_Ok = Control<QPushButton>(dialog.get(), "Tl_Ok");
        Tl_Storno = Control<QPushButton>(dialog.get(), "Tl_Storno");
        La_Pocitadlo = Control<QLabel>(dialog.get(), "La_Pocitadlo");
        dialog->SetYear(year);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        if (!QTest::qWaitForWindowActive(dialog.get()))
            qWarning("the item list did not become active");
    }
    TSeznamPolozek* operator->() const { return dialog.get(); }

    // The dialog's controls, found by their names.
    QTreeView* ListView1 = nullptr;
    QLineEdit* Ed_Vyraz = nullptr;
    QPushButton* Tl_Filtr = nullptr;
    QPushButton* Tl_Ok = nullptr;
    QPushButton* Tl_Storno = nullptr;
    QLabel* La_Pocitadlo = nullptr;
};

} // namespace

class EditorDialogsItemListTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }

    void listsTheFirstOccurrenceOfEachCodeAndEveryRowWithoutCode() {
        ItemList l;
        WritePeriod(l.folder);
        l.open(true);
        QCOMPARE(l->windowTitle(), QStringLiteral("Seznam položek, rok 2025"));
        QTreeView* view = l.ListView1;
        QCOMPARE(view->model()->columnCount(), 5);
        QCOMPARE(Header(view, 4), QStringLiteral("DPH"));
        QCOMPARE(RowCount(view), 5);
        QCOMPARE(RowTexts(view, 0), (QStringList{"K1", "Oprava stroje", "h", "150,00", "21"}));
        QCOMPARE(RowTexts(view, 1), (QStringList{"", "OPRAVA", "ks", "99,00", "15"}));
        QCOMPARE(RowTexts(view, 2), (QStringList{"oprav-1", "Materiál", "kg", "150,5", "10"}));
        QCOMPARE(RowTexts(view, 3), (QStringList{"", "Čištění", "h", "300,00", "21"}));
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("1 z 5"));
        // The first row is chosen: Enter takes it at once.
        QCOMPARE(view->currentIndex().row(), 0);
        QCOMPARE(view->selectionModel()->selectedRows(),
                 QModelIndexList{view->model()->index(0, 0)});
        QVERIFY(l.Tl_Ok->isEnabled());
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(l->result(), int(QDialog::Accepted));
        QCOMPARE(l->SelectedEntry()->Kod, QStringLiteral("K1"));
        QVERIFY(!view->header()->sectionsClickable());
    }

    void theRateColumnOnlyForAVatPayer() {
        ItemList l;
        WritePeriod(l.folder);
        l.open(false);
        QCOMPARE(l.ListView1->model()->columnCount(), 4);
        QCOMPARE(Header(l.ListView1, 3), QStringLiteral("Cena MJ"));
        ClickRow(l.ListView1, 1);
        QVERIFY(l.Tl_Ok->isEnabled());
        QTest::mouseClick(l.Tl_Ok, Qt::LeftButton);
        QCOMPARE(l->result(), int(QDialog::Accepted));
        // The rate is taken also when it is not shown.
        QCOMPARE(l->SelectedEntry(), (ItemCatalogEntry{"", "OPRAVA", "ks", "99,00", "15"}));
    }

    void theCounterFollowsClicksAndKeys() {
        ItemList l;
        WritePeriod(l.folder);
        l.open(true);
        QTreeView* view = l.ListView1;
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("2 z 5"));
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("5 z 5"));
        QVERIFY(l.Tl_Ok->isEnabled()); // the row the keys moved to is chosen
        ClickRow(view, 2);
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("3 z 5"));
        QVERIFY(l.Tl_Ok->isEnabled());
    }

    void filterAndItsCancel() {
        MessageBoxRecorder boxes;
        ItemList l;
        WritePeriod(l.folder);
        l.open(true);
        QTest::mouseClick(l.Tl_Filtr, Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown()[0].text, QStringLiteral("Není zadaný výraz pro filtr."));
        QCOMPARE(l.Tl_Filtr->text(), QStringLiteral("Filtr"));

        l.Ed_Vyraz->setText(QStringLiteral("  OPRAV "));
        QTest::mouseClick(l.Tl_Filtr, Qt::LeftButton);
        QCOMPARE(l.Tl_Filtr->text(), QStringLiteral("Zrušit"));
        QCOMPARE(RowCount(l.ListView1), 3);
        QCOMPARE(l.ListView1->model()->index(2, 0).data().toString(), QStringLiteral("oprav-1"));
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("1 z 3"));

        // Changing the expression does not filter again; "Zrušit" shows everything.
        l.Ed_Vyraz->setText(QStringLiteral("čiš"));
        QCOMPARE(RowCount(l.ListView1), 3);
        QTest::mouseClick(l.Tl_Filtr, Qt::LeftButton);
        QCOMPARE(l.Tl_Filtr->text(), QStringLiteral("Filtr"));
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("1 z 5"));
        QTest::mouseClick(l.Tl_Filtr, Qt::LeftButton);
        QCOMPARE(RowCount(l.ListView1), 1);
        QCOMPARE(l.ListView1->model()->index(0, 1).data().toString(), QStringLiteral("Čištění"));
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("1 z 1"));
        l.Ed_Vyraz->setText(QStringLiteral("nic takového"));
        QTest::mouseClick(l.Tl_Filtr, Qt::LeftButton); // "Zrušit"
        QTest::mouseClick(l.Tl_Filtr, Qt::LeftButton);
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("0 z 0"));
        QCOMPARE(boxes.shown().size(), 1);
    }

    void enterInTheFilterFieldFilters() {
        MessageBoxRecorder boxes;
        ItemList l;
        WritePeriod(l.folder);
        l.open(true);
        QTest::mouseClick(l.Ed_Vyraz, Qt::LeftButton);
        QTest::keyClicks(l.Ed_Vyraz, QStringLiteral("oprav"));
        QTest::keyClick(l.Ed_Vyraz, Qt::Key_Return);
        QVERIFY(l->isVisible()); // Enter filtered, it did not take a row
        QCOMPARE(RowCount(l.ListView1), 3);
        QCOMPARE(l.Tl_Filtr->text(), QStringLiteral("Zrušit"));
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("1 z 3"));
        // A changed expression filters anew.
        QTest::mouseClick(l.Ed_Vyraz, Qt::LeftButton);
        l.Ed_Vyraz->selectAll();
        QTest::keyClicks(l.Ed_Vyraz, QStringLiteral("mater"));
        QTest::keyClick(l.Ed_Vyraz, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(RowCount(l.ListView1), 1);
        // The list has the focus: the next Enter takes the row.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!l->isVisible());
        QCOMPARE(l->result(), int(QDialog::Accepted));
        QCOMPARE(l->SelectedEntry()->Dodavka, QStringLiteral("Materiál"));
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(l->Catalog().isEmpty()); // emptied when closed
    }

    void emptyPeriodAndOkWithoutASelection() {
        MessageBoxRecorder boxes;
        ItemList l;
        QDir().mkpath(l.folder.path() + "2026");
        l.open(true, QStringLiteral("2026"));
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("0 z 0"));
        QTest::mouseDClick(l.ListView1->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown()[0].text, QStringLiteral("Není vybrána žádná položka"));
        QCOMPARE(l->result(), int(QDialog::Accepted));
        QVERIFY(!l->SelectedEntry());
    }

    void oneItemAndADoubleClickTakesIt() {
        ItemList l;
        WriteInvoice(l.folder, "2025/2025001.tvl", InvoiceLines("2025001", {"|Jediná|||||"}));
        l.open(true);
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("1 z 1"));
        const QPoint at = RowCentre(l.ListView1, 0);
        QTest::mouseClick(l.ListView1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(l.ListView1->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(l->result(), int(QDialog::Accepted));
        QCOMPARE(l->SelectedEntry()->Dodavka, QStringLiteral("Jediná"));
    }

    void aShortFileDoesNotStopTheList() {
        ItemList l;
        QStringList lines = InvoiceLines("2025001", {"A1|Krátký řádek", "Bez oddělovače"});
        WriteInvoice(l.folder, "2025/2025001.tvl", lines.mid(0, 20));
        WriteInvoice(l.folder, "2025/2025002.tvl", InvoiceLines("2025002", {"B|Další|ks|1|5|21|"}));
        l.open(true);
        QCOMPARE(RowCount(l.ListView1), 2);
        QCOMPARE(RowTexts(l.ListView1, 0), (QStringList{"A1", "Krátký řádek", "", "", ""}));
        QCOMPARE(l.La_Pocitadlo->text(), QStringLiteral("1 z 2"));
    }
};

QTEST_MAIN(EditorDialogsItemListTest)
#include "editor_dialogs_item_list_test.moc"
