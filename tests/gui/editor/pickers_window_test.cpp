// The pickers, the item editor and the payment date driven through the real main window.
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTableView>

#include "editor/teditacepolozky.h"
#include "support/controls.h"
#include "support/main_window_fixture.h"

using namespace tarvela;
using namespace tarvela::test;

namespace {

// A stored invoice of 2024 with all 25 rows used.
QStringList TemplateLines() {
    QStringList lines{"2024015", "VS777",    "OBJ-24",    "Příjemce 24", "Sklad Brno",
                      "H",       "2.2.2024", "3.2.2024",  "16.2.2024",   "K-24",
                      "Šťastný", "a syn",    "Jan",       "Dlouhá 5",    "60200",
                      "Brno",    "12345678", "CZ12345678"};
    for (int row = 1; row <= 25; ++row)
        lines << QStringLiteral("T%1|Položka %1|ks|1|10,00|21|").arg(row);
    lines << "Komentář vzoru"
          << "Druhý komentář vzoru"
          << "999,99"
          << "20.2.2024"
          << "EUR"
          << "302,50";
    return lines;
}

// Opens a new invoice, fills the fields a template must leave alone and saves it: the invoice
// is then unchanged.
void NewInvoiceWithPayment(THlavni& w) {
    ui(w).Akce_NovaFaktura->trigger();
    ui(w).CBox_Fa6->setCurrentIndex(0);
    ui(w).Ed_DatumUhrady->setText(QStringLiteral("1.3.2026"));
    ui(w).Ed_UhrazenaCastka->setText(QStringLiteral("100"));
    ui(w).Akce_UlozitFakturu->trigger();
    QVERIFY(!w.IsModified());
}

QStringList MenuYears(QMenu* menu) {
    QStringList years;
    for (QAction* a : menu->actions())
        years << a->text();
    return years;
}

QAction* MenuItem(QMenu* menu, const QString& year) {
    for (QAction* a : menu->actions()) {
        if (a->objectName() == QStringLiteral("PMenu_Rok_") + year)
            return a;
    }
    return nullptr;
}

// Chooses the invoice `number` in the open dialog that the picker shows.
void ChooseInOpenDialog(const QString& number) {
    OnNextModal([number](QWidget* modal) {
        auto* dialog = qobject_cast<TOtevrit*>(modal);
        QVERIFY(dialog);
        QTreeView* list = Control<QTreeView>(dialog, "ListView1");
        const QModelIndexList found = RowsWith(list, number);
        QVERIFY(!found.isEmpty());
        ChooseRow(list, found.first());
    });
}

void ClickDay(QCalendarWidget* calendar, int day) {
    auto* view = calendar->findChild<QTableView*>();
    QAbstractItemModel* model = view->model();
    bool inMonth = false;
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int col = 0; col < model->columnCount(); ++col) {
            const QModelIndex index = model->index(row, col);
            const int shown = model->data(index).toInt();
            if (shown == 1)
                inMonth = !inMonth;
            if (inMonth && shown == day) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(index).center());
                return;
            }
        }
    }
}

} // namespace

class PickersWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }

    void templateFrom2024FillsExactlyWhatItShould() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.folder.writeBytes("2024/2024015.tvl", FileOfLines(TemplateLines()));
        QDir().mkpath(f.folder.path() + "2025");
        QDir().mkpath(f.folder.path() + "Ses");
        QDir().mkpath(f.folder.path() + "2024x");
        NewInvoiceWithPayment(w);
        const QDate supply = ui(w).Datum_Fa7->date();

        QTest::mouseClick(ui(w).Tl_VybratVzorFaktury, Qt::LeftButton);
        QCOMPARE(MenuYears(ui(w).PMenu_Rok), (QStringList{"2026", "2025", "2024"}));
        ui(w).PMenu_Rok->hide();
        ChooseInOpenDialog("2024015");
        MenuItem(ui(w).PMenu_Rok, "2024")->trigger();

        QCOMPARE(ui(w).Ed_Fa2->text(), QStringLiteral("VS777"));
        QCOMPARE(ui(w).Ed_Fa3->text(), QStringLiteral("OBJ-24"));
        QCOMPARE(ui(w).Ed_Fa4->text(), QStringLiteral("Příjemce 24"));
        QCOMPARE(ui(w).Ed_Fa5->text(), QStringLiteral("Sklad Brno"));
        QCOMPARE(ui(w).Ed_Od1->text(), QStringLiteral("K-24"));
        QCOMPARE(ui(w).Ed_Od2->text(), QStringLiteral("Šťastný"));
        QCOMPARE(ui(w).Ed_Od9->text(), QStringLiteral("CZ12345678"));
        for (int row = 1; row <= 25; ++row)
            QCOMPARE(RowText(w, row), QStringLiteral("T%1|Položka %1|ks|1|10,00|21|").arg(row));
        QCOMPARE(ui(w).Ed_Komentar1->text(), QStringLiteral("Komentář vzoru"));
        QCOMPARE(ui(w).Ed_Komentar2->text(), QStringLiteral("Druhý komentář vzoru"));
        QCOMPARE(ui(w).Ed_Mena->text(), QStringLiteral("EUR"));
        QCOMPARE(ui(w).La_SACelkem->text(), QStringLiteral("250,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("302,50"));
        // Not taken: number, payment form, dates, payment date, paid amount.
        QCOMPARE(ui(w).Ed_Fa1->text(), QStringLiteral("2026001"));
        QCOMPARE(ui(w).CBox_Fa6->currentText(), QStringLiteral("PP – převodem"));
        QCOMPARE(ui(w).Datum_Fa7->date(), supply);
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QStringLiteral("1.3.2026"));
        QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("100"));
        QCOMPARE(ui(w).GroupBox5->title(), QStringLiteral("Úhrada v CZK"));
        QVERIFY(w.IsModified());
        QVERIFY(ui(w).Akce_UlozitFakturu->isEnabled());
        QVERIFY(f.boxes.shown().isEmpty());
        QVERIFY(!QDir(f.folder.path() + "2024").exists("2026001.tvl"));
    }

    void aShortTemplateCopiesWhatItHasAndNothingStops() {
        MainWindowFixture f;
        THlavni& w = f.w();
        QStringList lines = TemplateLines().mid(0, 21);
        lines[19] = QStringLiteral("Jen text"); // row 2 without any "|"
        lines[20] = QStringLiteral("X|Y");      // row 3 with two cells
        f.folder.writeBytes("2026/2026900.tvl", FileOfLines(lines));
        NewInvoiceWithPayment(w);
        PasteRow(w, 5, QStringLiteral("P|Zůstane|ks|1|5,00|21|"));
        ui(w).Ed_Komentar1->setText(QStringLiteral("můj komentář"));

        QTest::mouseClick(ui(w).Tl_VybratVzorFaktury, Qt::LeftButton);
        ui(w).PMenu_Rok->hide();
        ChooseInOpenDialog("2026900");
        MenuItem(ui(w).PMenu_Rok, "2026")->trigger();
        QVERIFY(f.boxes.shown().isEmpty());
        QCOMPARE(RowText(w, 1), QStringLiteral("T1|Položka 1|ks|1|10,00|21|"));
        QCOMPARE(RowText(w, 2), QStringLiteral("Jen text||||||"));
        QCOMPARE(RowText(w, 3), QStringLiteral("X|Y|||||"));
        QCOMPARE(RowText(w, 5), QStringLiteral("P|Zůstane|ks|1|5,00|21|"));
        QCOMPARE(ui(w).Ed_Komentar1->text(), QStringLiteral("můj komentář"));
        QCOMPARE(ui(w).Ed_Mena->text(), QStringLiteral("CZK"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("18,15"));
    }

    void customerFromASeventeenLineFile() {
        MainWindowFixture f;
        THlavni& w = f.w();
        f.folder.writeBytes("2025/2025003.tvl", FileOfLines(TemplateLines().mid(0, 17)));
        NewInvoiceWithPayment(w);
        ui(w).Ed_Od9->setText(QStringLiteral("CZ999"));
        ui(w).Ed_Fa3->setText(QStringLiteral("moje objednávka"));
        ui(w).Ed_OdberatelEmail->setText(QStringLiteral("predchozi@odberatel.cz"));

        QTest::mouseClick(ui(w).Tl_VybratOdberatele, Qt::LeftButton);
        ui(w).PMenu_Rok->hide();
        ChooseInOpenDialog("2025003");
        MenuItem(ui(w).PMenu_Rok, "2025")->trigger();
        QCOMPARE(ui(w).Ed_Od1->text(), QStringLiteral("K-24"));
        QCOMPARE(ui(w).Ed_Od5->text(), QStringLiteral("Dlouhá 5"));
        QCOMPARE(ui(w).Ed_Od8->text(), QStringLiteral("12345678"));
        QCOMPARE(ui(w).Ed_Od9->text(), QStringLiteral("CZ999"));
        QCOMPARE(ui(w).Ed_Fa3->text(), QStringLiteral("moje objednávka"));
        // The previous customer's address does not stay with the customer taken.
        QCOMPARE(ui(w).Ed_OdberatelEmail->text(), QString());
        QVERIFY(w.IsModified());

        // A file with the customer's e-mail gives it.
        f.folder.writeBytes("2025/2025004.tvl",
                            FileOfLines(TemplateLines() << "OdberatelEmail=ucetni@k24.cz"));
        QTest::mouseClick(ui(w).Tl_VybratOdberatele, Qt::LeftButton);
        ui(w).PMenu_Rok->hide();
        ChooseInOpenDialog("2025004");
        MenuItem(ui(w).PMenu_Rok, "2025")->trigger();
        QCOMPARE(ui(w).Ed_OdberatelEmail->text(), QStringLiteral("ucetni@k24.cz"));
    }

    void aVanishedFolderAndACancelledChoice() {
        MainWindowFixture f;
        THlavni& w = f.w();
        QDir().mkpath(f.folder.path() + "2025");
        NewInvoiceWithPayment(w);
        QTest::mouseClick(ui(w).Tl_VybratOdberatele, Qt::LeftButton);
        ui(w).PMenu_Rok->hide();
        QDir(f.folder.path() + "2025").removeRecursively();
        MenuItem(ui(w).PMenu_Rok, "2025")->trigger();
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown()[0].text, QStringLiteral("Nebyl nalezen adresář \"2025\" do "
                                                         "kterého se ukládají vytvořené faktury."));

        OnNextModal([](QWidget* modal) { Control<QPushButton>(modal, "Tl_Storno")->click(); });
        MenuItem(ui(w).PMenu_Rok, "2026")->trigger();
        QVERIFY(!w.IsModified());
        QCOMPARE(ui(w).Ed_Od1->text(), QString());
    }

    void doubleClickInTheGridEditsTheCurrentRow() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        QVERIFY(!w.IsModified());
        ClickRow(w, 3);
        OnNextModal([](QWidget* modal) {
            auto* editor = qobject_cast<TEditacePolozky*>(modal);
            QVERIFY(editor);
            // Enter is the editor's own, not the main window's.
            Control<QLineEdit>(editor, "Ed_Kod")->setFocus();
            QTest::keyClick(Control<QLineEdit>(editor, "Ed_Kod"), Qt::Key_Return);
            QCOMPARE(editor->focusWidget(), Control<QLineEdit>(editor, "Ed_OznaceniDodavky"));
            QVERIFY(editor->isVisible());
            Control<QLineEdit>(editor, "Ed_OznaceniDodavky")->setText(QStringLiteral("Oprava"));
            Control<QLineEdit>(editor, "Ed_PocetMJ")->setText(QStringLiteral("2"));
            Control<QLineEdit>(editor, "Ed_CenaMJ")->setText(QStringLiteral("150,00"));
            Control<QComboBox>(editor, "SazbaDPH")->setCurrentIndex(1);
            QTest::mouseClick(Control<QPushButton>(editor, "Tl_Ok"), Qt::LeftButton);
        });
        QTableWidget* grid = ui(w).Grid1;
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                           grid->visualItemRect(grid->item(2, 1)).center());
        QCOMPARE(RowText(w, 3), QStringLiteral("|Oprava||2|150,00|21|"));
        QCOMPARE(ui(w).La_APCelkem->text(), QStringLiteral("300,00"));
        QCOMPARE(ui(w).La_APDPH1->text(), QStringLiteral("63,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("363,00"));
        QVERIFY(w.IsModified());
        QVERIFY(ui(w).Akce_UlozitFakturu->isEnabled());

        // A clearing button asks, then zeroes the amounts at once, even when Storno follows.
        MessageBoxRecorder yes;
        yes.queueAnswer(true);
        OnNextModal([](QWidget* modal) {
            auto* editor = static_cast<TEditacePolozky*>(modal);
            QTest::mouseClick(Control<QPushButton>(editor, "Tl_VyprazdnitCenu"), Qt::LeftButton);
            QTest::mouseClick(Control<QPushButton>(editor, "Tl_Storno"), Qt::LeftButton);
        });
        ui(w).Akce_EditovatPolozku->trigger();
        QCOMPARE(RowText(w, 3), QStringLiteral("|Oprava||2|150,00|21|"));
        // The totals shown next (on another row) count row 3 as zero.
        editor(w).SetCurrentRow(4);
        QCOMPARE(ui(w).La_SACelkem->text(), QStringLiteral("0,00"));
        QCOMPARE(ui(w).La_CelkemFaktura->text(), QStringLiteral("0,00"));
    }

    void theEditorIsNotOpenedWhileItsActionIsDisabled() {
        MainWindowFixture f;
        THlavni& w = f.w();
        ui(w).Akce_NovaFaktura->trigger();
        QCOMPARE(ui(w).PageControl1->currentIndex(), 0);
        QVERIFY(!ui(w).Akce_EditovatPolozku->isEnabled());
        QTableWidget* grid = ui(w).Grid1;
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                           grid->visualItemRect(grid->item(2, 1)).center());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void paymentDateButtons() {
        MainWindowFixture f; // today 5 March 2026
        THlavni& w = f.w();
        NewInvoiceWithPayment(w);
        OnNextModal([](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QStringLiteral("Datum"));
            auto* calendar = modal->findChild<QCalendarWidget*>();
            QCOMPARE(calendar->selectedDate(), QDate(2026, 3, 5));
            QTest::mouseClick(modal->findChild<QPushButton*>("Tl_Storno"), Qt::LeftButton);
        });
        QTest::mouseClick(ui(w).Tl_Datum, Qt::LeftButton);
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QStringLiteral("1.3.2026"));
        QVERIFY(!w.IsModified());

        OnNextModal([](QWidget* modal) {
            ClickDay(modal->findChild<QCalendarWidget*>(), 3);
            QTest::mouseClick(modal->findChild<QPushButton*>("Tl_Ok"), Qt::LeftButton);
        });
        QTest::mouseClick(ui(w).Tl_Datum, Qt::LeftButton);
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QStringLiteral("3.3.2026"));
        QVERIFY(w.IsModified());

        ui(w).Ed_DatumUhrady->clear();
        ui(w).Akce_UlozitFakturu->trigger(); // saved without a payment date
        QVERIFY(!w.IsModified());
        QTest::mouseClick(ui(w).Tl_Zrusit, Qt::LeftButton);
        QCOMPARE(ui(w).Ed_DatumUhrady->text(), QString());
        QVERIFY(w.IsModified());
        QVERIFY(ui(w).Akce_UlozitFakturu->isEnabled());
    }
};

QTEST_MAIN(PickersWindowTest)
#include "pickers_window_test.moc"
