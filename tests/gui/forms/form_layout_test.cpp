// The layout of every window, checked for faults a user would see: a caption cut off, controls
// lying on one another or reaching out of their group, a tab order other than the designed one,
// a control missing or renamed. The main window is reached through its object names only.
#include "app/thlavni.h"
#include "editor/date_dialogs.h"
#include "editor/teditacepolozky.h"
#include "editor/tknihafaktur.h"
#include "editor/todberatele.h"
#include "editor/totevrit.h"
#include "editor/tseznampolozek.h"
#include "help/about_box.h"
#include "printing/texportucetni.h"
#include "printing/tprehleddph.h"
#include "settings/tkonfig.h"
#include "support/form_checks.h"
#include "support/modal_dialog.h"
#include "support/test_support.h"
#include "text/message_boxes.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace tarvela;
using namespace tarvela::test;

namespace {

const QString kFaultSeparator = QStringLiteral("\n  ");

#define VERIFY_NO_FAULTS(faults)                                                                   \
    do {                                                                                           \
        const QStringList found_ = (faults);                                                       \
        QVERIFY2(found_.isEmpty(), qPrintable(found_.join(kFaultSeparator)));                      \
    } while (false)

void Show(QWidget* w) {
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

QStringList Names(const char* prefix, std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names)
        list << QLatin1String(prefix) + QLatin1String(name);
    return list;
}

} // namespace

class FormLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }

    // The checks themselves find what they are for: a window with a cut-off caption, two
    // overlapping buttons, a control outside its group and a tab order turned round.
    void checksFindTheFaultsTheyAreFor() {
        QWidget w;
        w.resize(200, 100);
        auto* label = new QLabel(QStringLiteral("Odpovědná osoba dodavatele"), &w);
        label->setObjectName(QStringLiteral("La_Dlouhy"));
        label->setGeometry(0, 0, 40, 15);
        auto* a = new QPushButton(QStringLiteral("Ok"), &w);
        a->setObjectName(QStringLiteral("Tl_A"));
        a->setGeometry(10, 40, 75, 25);
        auto* b = new QPushButton(QStringLiteral("Storno"), &w);
        b->setObjectName(QStringLiteral("Tl_B"));
        b->setGeometry(80, 40, 75, 25);
        auto* box = new QGroupBox(QStringLiteral("Skupina"), &w);
        box->setObjectName(QStringLiteral("GBox"));
        box->setGeometry(0, 70, 200, 30);
        auto* check = new QCheckBox(QStringLiteral("Plátce"), box);
        check->setObjectName(QStringLiteral("Platce"));
        check->setGeometry(150, 10, 97, 17);
        QWidget::setTabOrder(b, a);
        Show(&w);

        const QStringList captions = CaptionsThatDoNotFit(&w);
        QCOMPARE(captions.size(), 1);
        QVERIFY(captions[0].startsWith(QLatin1String("QLabel La_Dlouhy: caption")));
        const QStringList overlaps = OverlappingControls(&w);
        QVERIFY(overlaps.contains(QStringLiteral("QPushButton Tl_A and QPushButton Tl_B overlap: "
                                                 " (10, 40, 75 x 25) and  (80, 40, 75 x 25)")));
        QVERIFY(
            overlaps.contains(QStringLiteral("QCheckBox Platce reaches out of QGroupBox GBox")));
        const QStringList turned = {QStringLiteral("Tl_A"), QStringLiteral("Tl_B"),
                                    QStringLiteral("Platce")};
        QCOMPARE(TabOrderFaults(&w, turned).size(), 1);
        QVERIFY(TabOrderFaults(
                    &w, {QStringLiteral("Tl_B"), QStringLiteral("Tl_A"), QStringLiteral("Platce")})
                    .isEmpty());
        QCOMPARE(MissingControls(&w, {{"QPushButton", QStringLiteral("Tl_A")},
                                      {"QLabel", QStringLiteral("Tl_A")},
                                      {"QLineEdit", QStringLiteral("Ed_X")}}),
                 QStringList({QStringLiteral("no QLabel named Tl_A"),
                              QStringLiteral("no QLineEdit named Ed_X")}));
    }

    void settingsDialog_data() {
        QTest::addColumn<bool>("platce");
        QTest::newRow("VAT payer") << true;
        QTest::newRow("not a VAT payer") << false;
    }
    void settingsDialog() {
        QFETCH(bool, platce);
        TempProgramFolder folder;
        AppSettings settings;
        settings.Platce = platce;
        TKonfig dialog(settings, folder.path());
        Show(&dialog);
        QStringList order = {QStringLiteral("Ok"),
                             QStringLiteral("Storno"),
                             QStringLiteral("PageControl1"),
                             QStringLiteral("Ed_VychoziMena"),
                             QStringLiteral("Platce"),
                             QStringLiteral("UpDown_SazbaDPH1"),
                             QStringLiteral("UpDown_SazbaDPH2"),
                             QStringLiteral("UpDown_SazbaDPH3"),
                             QStringLiteral("Ed_PoznamkaOsvobozeni"),
                             QStringLiteral("Text_DobaSplatnosti"),
                             QStringLiteral("RBox_TypSymbolu1")};
        for (const SupplierField& field : kSupplierFields)
            order << QLatin1String(field.editName);
        auto* pages = dialog.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QVERIFY(pages);
        for (int page = 0; page < 2; ++page) {
            pages->setCurrentIndex(page);
            VERIFY_NO_FAULTS(LayoutFaults(&dialog, order));
        }
        VERIFY_NO_FAULTS(MnemonicFaults(&dialog, {QStringLiteral("Ok"), QStringLiteral("Storno")}));
        std::vector<std::pair<const char*, QString>> named = {
            {"QPushButton", QStringLiteral("Ok")},
            {"QPushButton", QStringLiteral("Storno")},
            {"QTabWidget", QStringLiteral("PageControl1")},
            {"QWidget", QStringLiteral("TabSheet1")},
            {"QWidget", QStringLiteral("TabSheet2")},
            {"QGroupBox", QStringLiteral("GBox_Mena")},
            {"QLineEdit", QStringLiteral("Ed_VychoziMena")},
            {"QLabel", QStringLiteral("La_KodMeny")},
            {"QGroupBox", QStringLiteral("GBox_DPH")},
            {"QCheckBox", QStringLiteral("Platce")},
            {"QGroupBox", QStringLiteral("GBox_VychoziSplatnost")},
            {"QLineEdit", QStringLiteral("Text_DobaSplatnosti")},
            {"tarvela::TUpDown", QStringLiteral("DobaSplatnosti")},
            {"QGroupBox", QStringLiteral("RBox_TypSymbolu")},
        };
        for (const QString& n : Names("La_SazbaDPH", {"1", "2", "3"}))
            named.push_back({"QLabel", n});
        for (const QString& n : Names("Ed_SazbaDPH", {"1", "2", "3"}))
            named.push_back({"QLineEdit", n});
        for (const QString& n : Names("UpDown_SazbaDPH", {"1", "2", "3"}))
            named.push_back({"tarvela::TUpDown", n});
        for (const SupplierField& field : kSupplierFields) {
            named.push_back({"QLineEdit", QLatin1String(field.editName)});
            named.push_back({"QLabel", QStringLiteral("La_") + QLatin1String(field.editName + 3)});
        }
        VERIFY_NO_FAULTS(MissingControls(&dialog, named));
    }

    void itemEditor_data() {
        QTest::addColumn<bool>("platce");
        QTest::newRow("VAT payer") << true;
        QTest::newRow("not a VAT payer") << false;
    }
    void itemEditor() {
        QFETCH(bool, platce);
        TempProgramFolder folder;
        AppSettings settings;
        settings.Platce = platce;
        InvoiceItemRow row;
        row.Dodavka = QStringLiteral("Oprava čerpadla");
        TEditacePolozky dialog(row, RowAmount{}, settings, folder.path());
        Show(&dialog);
        QStringList order = Names("Ed_", {"Kod", "OznaceniDodavky", "MJ", "PocetMJ", "CenaMJ"});
        if (platce)
            order << QStringLiteral("SazbaDPH");
        order << Names("", {"Ed_CenaSA", "Tl_Ok", "Tl_Storno"});
        VERIFY_NO_FAULTS(LayoutFaults(&dialog, order));
        VERIFY_NO_FAULTS(MnemonicFaults(&dialog, Names("Tl_", {"Ok", "Storno"})));
        std::vector<std::pair<const char*, QString>> named;
        for (const QString& n :
             Names("", {"Kod", "OznaceniDodavky", "MJ", "PocetMJ", "CenaMJ", "CenaSA"})) {
            named.push_back({"QLineEdit", QStringLiteral("Ed_") + n});
            named.push_back({"QLabel", QStringLiteral("La_") + n});
        }
        named.push_back({"QLabel", QStringLiteral("La_SazbaDPH")});
        named.push_back({"QComboBox", QStringLiteral("SazbaDPH")});
        for (const QString& n :
             Names("Tl_", {"SeznamPolozek", "Vyprazdnit", "VyprazdnitCenu", "Ok", "Storno"}))
            named.push_back({"QPushButton", n});
        for (const QString& n : Names("Akce_", {"StiskKlavesyEnter", "StiskVpravo", "StiskVlevo"}))
            named.push_back({"QAction", n});
        VERIFY_NO_FAULTS(MissingControls(&dialog, named));
    }

    void itemList() {
        TempProgramFolder folder;
        TSeznamPolozek dialog(folder.path(), true);
        dialog.SetYear(QStringLiteral("2026"));
        Show(&dialog);
        VERIFY_NO_FAULTS(
            LayoutFaults(&dialog, Names("", {"ListView1", "Tl_Filtr", "Tl_Ok", "Tl_Storno"})));
        VERIFY_NO_FAULTS(MissingControls(&dialog, {{"QTreeView", QStringLiteral("ListView1")},
                                                   {"QLineEdit", QStringLiteral("Ed_Vyraz")},
                                                   {"QLabel", QStringLiteral("La_Pocitadlo")}}));
    }

    void addressBook() {
        TempProgramFolder folder;
        TOdberatele dialog(folder.path());
        Show(&dialog);
        VERIFY_NO_FAULTS(
            LayoutFaults(&dialog, Names("", {"Ed_Hledat", "ListView1", "Tl_Ok", "Tl_Storno"})));
        VERIFY_NO_FAULTS(MissingControls(&dialog, {{"QTreeView", QStringLiteral("ListView1")},
                                                   {"QLabel", QStringLiteral("La_Pocet")}}));
    }

    void openDialog() {
        TempProgramFolder folder;
        TOtevrit dialog(folder.path());
        dialog.SetYear(QStringLiteral("2026"));
        MessageBoxRecorder boxes; // the missing period folder is reported
        Show(&dialog);
        VERIFY_NO_FAULTS(LayoutFaults(&dialog, Names("", {"ListView1", "Tl_Ok", "Tl_Storno"})));
        VERIFY_NO_FAULTS(MissingControls(&dialog, {{"QTreeView", QStringLiteral("ListView1")}}));
    }

    void accountantDialogs() {
        TExportUcetni exportDialog({2025, 2026}, 2026, QStringLiteral("/tmp/export"));
        Show(&exportDialog);
        VERIFY_NO_FAULTS(LayoutFaults(
            &exportDialog,
            Names("", {"CBox_Rok", "RB_Mesic", "CBox_Mesic", "RB_Ctvrtleti", "CBox_Ctvrtleti",
                       "RB_CelyRok", "CB_Faktura", "CB_Proforma", "CB_DanovyDoklad", "CB_Dobropis",
                       "CB_PrijmovyDoklad", "Ed_Slozka", "Tl_Prochazet", "Tl_Ok", "Tl_Storno"})));
        TPrehledDPH vatDialog({2026}, 2026);
        Show(&vatDialog);
        VERIFY_NO_FAULTS(LayoutFaults(
            &vatDialog, Names("", {"CBox_Rok", "RB_Mesic", "CBox_Mesic", "RB_Ctvrtleti",
                                   "CBox_Ctvrtleti", "CB_Csv", "Tl_Ok", "Tl_Storno"})));
    }

    void invoiceBookAndPayment() {
        TempProgramFolder folder;
        folder.writeBytes(QStringLiteral("2026/2026001.tvl"), "2026001\r\n");
        AppSettings settings;
        settings.AktualniRok = 2026;
        TKnihaFaktur book(folder.path(), settings, BookHost{});
        Show(&book);
        VERIFY_NO_FAULTS(LayoutFaults(
            &book, Names("", {"Ed_Hledat", "CBox_Stav", "CB_VsechnaObdobi", "ListView1",
                              "Tl_Otevrit", "Tl_Uhrazeno", "Tl_Upominka", "Tl_Zavrit"})));
        TUhrada payment(QStringLiteral("2026001"), QDate(2026, 3, 5), 1210, QStringLiteral("CZK"));
        Show(&payment);
        VERIFY_NO_FAULTS(
            LayoutFaults(&payment, Names("", {"Ed_Datum", "Ed_Castka", "Tl_Ok", "Tl_Storno"})));
    }

    void aboutBox() {
        std::unique_ptr<QDialog> box(CreateAboutBox(
            QStringLiteral("1.0.0"), QStringLiteral("9. 12. 2026"), QStringLiteral("PRM1 1.0")));
        Show(box.get());
        VERIFY_NO_FAULTS(LayoutFaults(box.get(), {QStringLiteral("Tl_Ok")}));
        std::vector<std::pair<const char*, QString>> named = {
            {"QPushButton", QStringLiteral("Tl_Ok")}};
        for (const QString& n :
             Names("La_", {"VerzeProgramu", "CisloVerze", "VerzeFR", "CisloVerzeFR",
                           "AutorProgramu", "Autor", "HotLine", "Telefon", "Copyright",
                           "AutorskaPrava", "DomovskaStranka", "URL"}))
            named.push_back({"QLabel", n});
        VERIFY_NO_FAULTS(MissingControls(box.get(), named));
    }

    void dateAndYearDialogs() {
        QDate date(2026, 12, 9);
        WithModal([&] { AskDate(date, QStringLiteral("Datum úhrady")); },
                  [](QWidget* dialog) {
                      VERIFY_NO_FAULTS(LayoutFaults(
                          dialog, Names("", {"MonthCalendar1", "Tl_Ok", "Tl_Storno"})));
                      VERIFY_NO_FAULTS(MissingControls(
                          dialog, {{"QCalendarWidget", QStringLiteral("MonthCalendar1")},
                                   {"QFrame", QStringLiteral("Shape1")}}));
                      qobject_cast<QDialog*>(dialog)->reject();
                  });
        quint16 year = 2026;
        WithModal([&] { AskYear(year, 2020, QStringLiteral("Změna období")); },
                  [](QWidget* dialog) {
                      VERIFY_NO_FAULTS(
                          LayoutFaults(dialog, Names("", {"CBox_Rok", "Tl_Ok", "Tl_Storno"})));
                      VERIFY_NO_FAULTS(
                          MissingControls(dialog, {{"QComboBox", QStringLiteral("CBox_Rok")},
                                                   {"QFrame", QStringLiteral("Shape1")}}));
                      qobject_cast<QDialog*>(dialog)->reject();
                  });
    }

    // The main window, through the names of its controls only, on both pages.
    void mainWindow() {
        TempProgramFolder folder;
        MessageBoxRecorder boxes;
        THlavni window(folder.path(), QStringLiteral(","));
        Show(&window);
        const QStringList order = {QStringLiteral("Ed_Fa1"),
                                   QStringLiteral("Tl_VybratVzorFaktury"),
                                   QStringLiteral("Ed_Fa2"),
                                   QStringLiteral("Ed_Fa3"),
                                   QStringLiteral("Ed_Fa4"),
                                   QStringLiteral("Ed_Fa5"),
                                   QStringLiteral("CBox_Fa6"),
                                   QStringLiteral("Datum_Fa7"),
                                   QStringLiteral("Datum_Fa8"),
                                   QStringLiteral("Datum_Fa9"),
                                   QStringLiteral("Ed_Mena"),
                                   QStringLiteral("Ed_Od1"),
                                   QStringLiteral("Tl_VybratOdberatele"),
                                   QStringLiteral("Tl_Odberatele"),
                                   QStringLiteral("Ed_Od2"),
                                   QStringLiteral("Ed_Od3"),
                                   QStringLiteral("Ed_Od4"),
                                   QStringLiteral("Ed_OdberatelEmail"),
                                   QStringLiteral("Ed_Od5"),
                                   QStringLiteral("Ed_Od6"),
                                   QStringLiteral("Ed_Od7"),
                                   QStringLiteral("Ed_Od8"),
                                   QStringLiteral("Tl_NacistZAres"),
                                   QStringLiteral("Ed_Od9"),
                                   QStringLiteral("Ed_Komentar1"),
                                   QStringLiteral("Ed_Komentar2"),
                                   QStringLiteral("Ed_DatumUhrady"),
                                   QStringLiteral("Tl_Datum"),
                                   QStringLiteral("Tl_Zrusit"),
                                   QStringLiteral("Ed_UhrazenaCastka"),
                                   QStringLiteral("Ed_Kurz"),
                                   QStringLiteral("Ed_DatumKurzu"),
                                   QStringLiteral("Tl_KurzCNB"),
                                   QStringLiteral("Ed_OpravovanyDoklad"),
                                   QStringLiteral("Ed_DuvodOpravy")};
        auto* pages = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QVERIFY(pages);
        pages->show();
        // At the designed size and maximised on today's screens alike.
        for (const QSize size : {window.size(), QSize(1600, 1000)}) {
            window.resize(size);
            for (int page = 0; page < pages->count(); ++page) {
                pages->setCurrentIndex(page);
                QTRY_COMPARE(window.size(), size);
                VERIFY_NO_FAULTS(CaptionsThatDoNotFit(&window));
                VERIFY_NO_FAULTS(OverlappingControls(&window));
            }
        }
        VERIFY_NO_FAULTS(TabOrderFaults(&window, order));
        VERIFY_NO_FAULTS(MnemonicFaults(&window, {}));
        std::vector<std::pair<const char*, QString>> named = {
            {"QTabWidget", QStringLiteral("PageControl1")},
            {"QTableWidget", QStringLiteral("Grid1")},
            {"QComboBox", QStringLiteral("CBox_Fa6")},
            {"QLabel", QStringLiteral("La_AktualniRok")},
            {"QToolBar", QStringLiteral("ToolBar1")}};
        for (const QString& n : order)
            named.push_back({"QWidget", n});
        for (const QString& n : Names("GroupBox", {"1", "2", "3", "4", "5"}))
            named.push_back({"QGroupBox", n});
        for (const QString& n : Names("La_Fa", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}))
            named.push_back({"QLabel", n});
        for (const QString& n : Names("La_Od", {"1", "2", "3", "5", "6", "7", "8", "9"}))
            named.push_back({"QLabel", n});
        for (const QString& n :
             Names("La_", {"Zaklad",       "DPH1",   "DPH2",        "DPH3",          "Celkem",
                           "Uhrnem",       "Mena",   "MenaPopiska", "Komentar1",     "Komentar2",
                           "SACelkem",     "SADPH1", "SADPH2",      "SADPH3",        "APCelkem",
                           "APDPH1",       "APDPH2", "APDPH3",      "CelkemFaktura", "CelkemRadek",
                           "AktualPolozka"}))
            named.push_back({"QLabel", n});
        VERIFY_NO_FAULTS(MissingControls(&window, named));
    }
};

QTEST_MAIN(FormLayoutTest)
#include "form_layout_test.moc"
