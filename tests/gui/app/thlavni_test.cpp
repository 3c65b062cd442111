// The main window driven offscreen: start-up from various settings files, the state routine
// UpdateActions, the key handling of the first page, the paid-amount filter, the currency colour,
// the decimal-separator refusal and the handler guard.
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

// AddressSanitizer's leak checker is on: GCC says so with __SANITIZE_ADDRESS__, clang with
// __has_feature(address_sanitizer).
#if defined(__SANITIZE_ADDRESS__)
#define TARVELA_TEST_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVELA_TEST_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(TARVELA_TEST_ADDRESS_SANITIZER)
#include <sanitizer/lsan_interface.h>
#endif
#include <QToolBar>
#include <QToolButton>

#include "app/application.h"
#include "editor/teditacepolozky.h"
#include "support/main_window_fixture.h"
#include "support/modal_dialog.h"
#include "support/test_support.h"
#include "support/thlavni_access.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

using namespace tarvela;
using tarvela::test::MainWindowFixture;
using tarvela::test::TempProgramFolder;
using tarvela::test::WithModal;

namespace {

const QString kComma = QStringLiteral(",");

QColor TextColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// A window over a fresh program folder holding the given settings file (none when empty).
struct Fixture : MainWindowFixture {
    explicit Fixture(const QByteArray& ini = QByteArray(), const QString& separator = kComma)
        : MainWindowFixture(Setup().Ini(ini).MachineToday().Hidden().Separator(separator)) {}
};

// The texts of a menu's entries, separators as "-".
// A caption as shown: without the "&" that marks its mnemonic.
QString Shown(const QString& caption) {
    return QString(caption).remove(QLatin1Char('&'));
}

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : Shown(action->text()));
    return texts;
}

// Shows the window with a new invoice in it and waits until it is active.
void ShowWithInvoice(THlavni& w) {
    ui(w).Akce_NovaFaktura->trigger();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

} // namespace

class THlavniTest : public QObject {
    Q_OBJECT
private slots:
    void startWithoutSettingsFile();
    void startFromSettingsFile_data();
    void startFromSettingsFile();
    void decimalSeparatorOtherThanComma();
    void controlsOfThePages();
    void actionsCaptionsHintsShortcuts_data();
    void actionsCaptionsHintsShortcuts();
    void menusAndToolBar();
    void everyMenuEntryHasItsOwnMnemonic();
    void altLetterOpensTheMenuAndTypesNothing();
    void imagesAreDistinctPictures();
    void imagesComeFromTheIconThemeOrTheBundledPictures();
    void updateActionsTable_data();
    void updateActionsTable();
    void vatDocumentHiddenForNonPayer();
    void formOfPaymentDrivesReceipts();
    void changeHandlerMarksInvoiceChanged();
    void enterMovesFocusOnFirstPage();
    void pageControlFillsClientArea();
    void theWindowGrowsWithItsGridAndComments();
    void documentKindsInTheSameOrderInEveryMenu();
    void enterOnTheItemsPageEditsTheRow();
    void paidAmountKeyFilter();
    void currencyLabelColour();
    void symbolLimitAndExistingText();
    void toolButtonsShowPopUps();
    void closingWithoutInvoiceAsksNothing();
    void closingWithUnsavedInvoiceAsksOnce();
    void gridClickRunsOncePerClick();
    void failureInHandlerReachesErrorBox();
    void networkLibraryIsNotLoadedAtStart();
};

void THlavniTest::startWithoutSettingsFile() {
    Fixture f;
    THlavni& w = *f.window;
    QVERIFY(f.boxes.shown().isEmpty());
    QVERIFY(w.ProgramFolder().endsWith(QDir::separator()));
    QCOMPARE(w.ProgramFolder(), f.folder.path());
    QCOMPARE(w.Settings().AktualniRok, CurrentYear());
    QCOMPARE(w.Settings().VychoziMena, QStringLiteral("CZK"));
    QCOMPARE(w.Settings().Platce, false);
    QCOMPARE(w.Settings().SazbaDPH1, 21);
    QCOMPARE(w.Settings().SazbaDPH2, 12);
    QCOMPARE(w.Settings().SazbaDPH3, 0);
    QCOMPARE(w.Settings().DobaSplatnosti, 14);
    QVERIFY(!w.TerminateRequested());
    // Only read: no settings file appears, but the period folder does.
    QVERIFY(!f.folder.exists(QStringLiteral("Tarvela.ini")));
    QVERIFY(QFileInfo(f.folder.file(QString::number(CurrentYear()))).isDir());

    QCOMPARE(w.windowTitle(), QStringLiteral("Tarvela"));
    QCOMPARE(ui(w).La_AktualniRok->text(), QStringLiteral("Období: %1").arg(CurrentYear()));
    QCOMPARE(ui(w).La_Fa2->text(), QStringLiteral("Variabilní symbol"));
    QCOMPARE(ui(w).Ed_Fa2->width(), 121);
    QCOMPARE(editor(w).SymbolLengthLimit(), 10);
    QVERIFY(!w.InvoiceOpen());
    QCOMPARE(editor(w).CurrentPage(), 0);
    QVERIFY(!w.IsModified());
    for (QLabel* vat :
         {ui(w).La_DPH1, ui(w).La_DPH2, ui(w).La_DPH3, ui(w).La_APDPH1, ui(w).La_APDPH2,
          ui(w).La_APDPH3, ui(w).La_SADPH1, ui(w).La_SADPH2, ui(w).La_SADPH3})
        QVERIFY2(vat->isHidden(), qPrintable(vat->objectName()));
    QCOMPARE(ui(w).La_DPH1->text(), QStringLiteral("DPH 21%"));
    QCOMPARE(ui(w).La_DPH2->text(), QStringLiteral("DPH 12%"));
    QCOMPARE(ui(w).La_DPH3->text(), QStringLiteral("DPH 0%"));

    // Colours of the totals and of the period label.
    for (QLabel* teal : {ui(w).La_APCelkem, ui(w).La_APDPH1, ui(w).La_APDPH2, ui(w).La_APDPH3,
                         ui(w).La_CelkemRadek})
        QCOMPARE(TextColour(teal), QColor(0, 128, 128));
    for (QLabel* purple : {ui(w).La_SACelkem, ui(w).La_SADPH1, ui(w).La_SADPH2, ui(w).La_SADPH3,
                           ui(w).La_CelkemFaktura, ui(w).La_Mena})
        QCOMPARE(TextColour(purple), QColor(128, 0, 128));
    QCOMPARE(TextColour(ui(w).La_AktualniRok), QColor(40, 84, 127));
    QVERIFY(ui(w).La_AktualniRok->font().bold());

    // Shortcuts set at start.
    QCOMPARE(ui(w).Akce_PolozkaDolu->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Down));
    QCOMPARE(ui(w).Akce_PolozkaNahoru->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Up));
}

void THlavniTest::startFromSettingsFile_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("payer");
    QTest::addColumn<QString>("symbolLabel");
    QTest::addColumn<int>("symbolWidth");
    QTest::addColumn<int>("symbolLimit");
    QTest::addColumn<int>("year");
    QTest::addColumn<QStringList>("vatLabels");

    const QStringList standard = {"DPH 21%", "DPH 12%", "DPH 0%"};
    QTest::newRow("payer, constant symbol")
        << QByteArray("[NASTAVENI]\r\nPlatce=1\r\nTypSymbolu=0\r\n") << true << "Konstantní symbol"
        << 49 << 4 << CurrentYear() << standard;
    QTest::newRow("non-payer, variable symbol")
        << QByteArray("[NASTAVENI]\r\nPlatce=0\r\nTypSymbolu=1\r\n") << false << "Variabilní symbol"
        << 121 << 10 << CurrentYear() << standard;
    // Any other type leaves the field as designed: caption, width 49, no limit.
    QTest::newRow("symbol type 5")
        << QByteArray("[NASTAVENI]\r\nTypSymbolu=5\r\nPlatce=1\r\n") << true << "Konstantní symbol"
        << 49 << 0 << CurrentYear() << standard;
    // The integer is held in 8 bits: 256 is type 0.
    QTest::newRow("symbol type 256") << QByteArray("[NASTAVENI]\r\nTypSymbolu=256\r\n") << false
                                     << "Konstantní symbol" << 49 << 4 << CurrentYear() << standard;
    QTest::newRow("period without folder, own rates")
        << QByteArray("[NASTAVENI]\r\nAktualniRok=2019\r\nSazbaDPH1=20\r\nSazbaDPH2=12\r\n"
                      "SazbaDPH3=0\r\nPlatce=1\r\n")
        << true << "Variabilní symbol" << 121 << 10 << 2019
        << QStringList{"DPH 20%", "DPH 12%", "DPH 0%"};
}

void THlavniTest::startFromSettingsFile() {
    QFETCH(QByteArray, ini);
    QFETCH(bool, payer);
    QFETCH(QString, symbolLabel);
    QFETCH(int, symbolWidth);
    QFETCH(int, symbolLimit);
    QFETCH(int, year);
    QFETCH(QStringList, vatLabels);

    Fixture f(ini);
    THlavni& w = *f.window;
    QVERIFY(f.boxes.shown().isEmpty());
    QCOMPARE(w.Settings().Platce, payer);
    QCOMPARE(ui(w).La_Fa2->text(), symbolLabel);
    QCOMPARE(ui(w).Ed_Fa2->width(), symbolWidth);
    QCOMPARE(editor(w).SymbolLengthLimit(), symbolLimit);
    QVERIFY(!ui(w).La_Fa2->isHidden());
    QVERIFY(ui(w).Ed_Fa2->isEnabled());
    QCOMPARE(ui(w).La_AktualniRok->text(), QStringLiteral("Období: %1").arg(year));
    QVERIFY(QFileInfo(f.folder.file(QString::number(year))).isDir());
    QCOMPARE((QStringList{ui(w).La_DPH1->text(), ui(w).La_DPH2->text(), ui(w).La_DPH3->text()}),
             vatLabels);
    for (QLabel* vat :
         {ui(w).La_DPH1, ui(w).La_DPH2, ui(w).La_DPH3, ui(w).La_APDPH1, ui(w).La_APDPH2,
          ui(w).La_APDPH3, ui(w).La_SADPH1, ui(w).La_SADPH2, ui(w).La_SADPH3})
        QCOMPARE(vat->isHidden(), !payer);
    // The settings file is only read.
    QCOMPARE(f.folder.readBytes(QStringLiteral("Tarvela.ini")), ini);
}

void THlavniTest::decimalSeparatorOtherThanComma() {
    Fixture f(QByteArray("[NASTAVENI]\r\nAktualniRok=2021\r\nTypSymbolu=0\r\n"),
              QStringLiteral("."));
    THlavni& w = *f.window;
    const QList<ShownBox> expected = {
        {BoxKind::Info, QStringLiteral("Tarvela"),
         QStringLiteral("Program Tarvela vyžaduje pro oddělovací znak desetinných míst nastavený "
                        "znak čárky (,).\r\nSpusťte jej s českým prostředím, například "
                        "příkazem:\r\nLC_ALL=cs_CZ.UTF-8 %1\r\n(tak jej spouští i spouštěč v "
                        "nabídce aplikací a skript scripts/run.sh).")
             .arg(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()))}};
    QCOMPARE(f.boxes.shown(), expected);
    QVERIFY(w.TerminateRequested());
    // The rest of the start-up still ran: settings read, folder created, labels set.
    QCOMPARE(w.Settings().AktualniRok, 2021);
    QVERIFY(QFileInfo(f.folder.file(QStringLiteral("2021"))).isDir());
    QCOMPARE(ui(w).La_AktualniRok->text(), QStringLiteral("Období: 2021"));
    QCOMPARE(ui(w).La_Fa2->text(), QStringLiteral("Konstantní symbol"));
    QVERIFY(ui(w).Akce_NovaFaktura->isEnabled());
    QVERIFY(!w.isVisible());
}

void THlavniTest::controlsOfThePages() {
    Fixture f;
    THlavni& w = *f.window;
    QCOMPARE(ui(w).PageControl1->count(), 2);
    QCOMPARE(ui(w).PageControl1->tabText(0), QStringLiteral("Vstupní údaje"));
    QCOMPARE(ui(w).PageControl1->tabText(1), QStringLiteral("Položky"));
    QCOMPARE(ui(w).GroupBox1->title(), QStringLiteral("Vstupní údaje"));
    QCOMPARE(ui(w).GroupBox2->title(), QStringLiteral("Odběratel"));
    QCOMPARE(ui(w).GroupBox3->title(), QStringLiteral("Komentáře připojené k faktuře"));
    QCOMPARE(ui(w).GroupBox4->title(), QStringLiteral("Datum úhrady"));
    QCOMPARE(ui(w).CBox_Fa6->count(), 2);
    // The codes with what they mean; the file keeps the code.
    QCOMPARE(ui(w).CBox_Fa6->itemText(0), QStringLiteral("PP – převodem"));
    QCOMPARE(ui(w).CBox_Fa6->itemText(1), QStringLiteral("H – hotově"));
    QCOMPARE(ui(w).CBox_Fa6->itemData(0).toString(), QStringLiteral("PP"));
    QCOMPARE(ui(w).CBox_Fa6->itemData(1).toString(), QStringLiteral("H"));
    QVERIFY(ui(w).CBox_Fa6->isEditable());
    QVERIFY(ui(w).Ed_DatumUhrady->isReadOnly());
    QCOMPARE(ui(w).Tl_VybratVzorFaktury->toolTip(),
             QStringLiteral("Vybrat vzor podle existující faktury"));
    QCOMPARE(ui(w).Tl_VybratOdberatele->toolTip(),
             QStringLiteral("Přenést údaje odběratele z jiné existující faktury"));

    // Field widths that carry meaning.
    const QList<QPair<QWidget*, int>> widths = {
        {ui(w).Ed_Fa1, 121}, {ui(w).Ed_Fa3, 185},         {ui(w).Ed_Fa4, 305},
        {ui(w).Ed_Fa5, 305}, {ui(w).Ed_Mena, 49},         {ui(w).Ed_Od1, 121},
        {ui(w).Ed_Od2, 305}, {ui(w).Ed_Od5, 169},         {ui(w).Ed_Od6, 49},
        {ui(w).Ed_Od8, 101}, {ui(w).Ed_DatumUhrady, 113}, {ui(w).Ed_UhrazenaCastka, 121}};
    for (const auto& [widget, width] : widths)
        QVERIFY2(widget->width() == width, qPrintable(widget->objectName()));

    // The grid: 25 rows of six cells, header row and row numbers fixed.
    QCOMPARE(ui(w).Grid1->rowCount(), 25);
    QCOMPARE(ui(w).Grid1->columnCount(), 6);
    QCOMPARE(editor(w).Cell(2, 0), QStringLiteral("Označení dodávky"));
    QCOMPARE(editor(w).Cell(6, 0), QStringLiteral("DPH"));
    QCOMPARE(editor(w).Cell(0, 25), QStringLiteral("25"));
    QCOMPARE(ui(w).Grid1->verticalHeaderItem(0)->text(), QStringLiteral("1"));
    QCOMPARE(ui(w).Grid1->verticalHeaderItem(24)->text(), QStringLiteral("25"));
    QCOMPARE(ui(w).Grid1->verticalHeader()->width(), 22);
    const int widthsOfColumns[] = {83, 395, 43, 60, 80, 37};
    for (int col = 0; col < 6; ++col)
        QCOMPARE(ui(w).Grid1->columnWidth(col), widthsOfColumns[col]);
    QCOMPARE(ui(w).Grid1->rowHeight(0), 18);
    QCOMPARE(ui(w).Grid1->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(ui(w).Grid1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(ui(w).Panel2->height(), 61);
    editor(w).SetCell(3, 7, QStringLiteral("ks"));
    QCOMPARE(editor(w).Cell(3, 7), QStringLiteral("ks"));
    QCOMPARE(ui(w).Grid1->item(6, 2)->text(), QStringLiteral("ks"));

    // Typing limits that do not cut a text the program sets.
    ui(w).Ed_Mena->setText(QStringLiteral("EURO"));
    QCOMPARE(ui(w).Ed_Mena->text(), QStringLiteral("EURO"));
    ui(w).Ed_Mena->clear();
    QTest::keyClicks(ui(w).Ed_Mena, QStringLiteral("EURO"));
    QCOMPARE(ui(w).Ed_Mena->text(), QStringLiteral("EUR"));
    QTest::keyClicks(ui(w).Ed_Od6, QStringLiteral("1100000"));
    QCOMPARE(ui(w).Ed_Od6->text(), QStringLiteral("110000"));
}

void THlavniTest::actionsCaptionsHintsShortcuts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("hasImage");
    auto row = [](const char* name, const char* caption, const char* hint, QKeySequence keys,
                  bool image) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption)
                            << QString::fromUtf8(hint) << keys << image;
    };
    row("Akce_NovaFaktura", "Nová faktura", "Nová faktura", QKeySequence("Ctrl+N"), true);
    row("Akce_OtevritFakturu", "Otevřít fakturu", "Otevřít fakturu", QKeySequence("Ctrl+O"), true);
    row("Akce_ZavritFakturu", "Zavřít fakturu", "Zavřít fakturu", QKeySequence("Ctrl+W"), true);
    row("Akce_UlozitFakturu", "Uložit fakturu", "Uložit fakturu", QKeySequence("Ctrl+S"), true);
    row("Akce_KonecProgramu", "Konec", "Konec programu", {}, true);
    row("Akce_TiskFaktury01", "Základní faktura", "Základní faktura", {}, false);
    row("Akce_TiskFaktury02", "Proforma faktura", "Proforma faktury", {}, false);
    row("Akce_TiskFaktury03", "Daňový doklad", "Daňový doklad", {}, false);
    row("Akce_TiskFaktury04", "Dobropis", "", {}, false);
    row("Akce_TiskFaktury06", "Dodací list", "Dodací list", {}, false);
    row("Akce_TiskFaktury10", "Cenová nabídka", "Cenová nabídka", {}, false);
    row("Akce_TiskFaktury20", "Příjmový doklad s rozpisem", "Příjmový doklad s rozpisem", {},
        false);
    row("Akce_SestavaPrijmovyDoklad", "Příjmový doklad", "Příjmový doklad", {}, false);
    row("Akce_SestavaPrehled", "Přehled faktur", "Přehled faktur", {}, false);
    row("Akce_EditovatPolozku", "Editovat aktuální položku", "Editovat aktuální položku",
        QKeySequence("Shift+Ins"), true);
    row("Akce_ZkopirovatPolozku", "Zkopírovat položku", "Zkopírovat položku",
        QKeySequence("Ctrl+Shift+C"), true);
    row("Akce_VlozitPolozku", "Vložit položku", "Vložit položku", QKeySequence("Ctrl+Shift+V"),
        true);
    row("Akce_SmazatPolozku", "Smazat aktuální položku", "Smazat aktuální položku",
        QKeySequence("Shift+Del"), true);
    row("Akce_PolozkaDolu", "Přesun položky dolů", "Přesun položky dolů", QKeySequence("Ctrl+Down"),
        true);
    row("Akce_PolozkaNahoru", "Přesun položky nahoru", "Přesun položky nahoru",
        QKeySequence("Ctrl+Up"), true);
    row("Akce_ZmenaObdobi", "Změna období", "Změna období", {}, true);
    row("Akce_Konfigurace", "Konfigurace", "Konfigurace", {}, true);
    row("Akce_Napoveda", "Nápověda", "Nápověda", {}, true);
    row("Akce_WebDomu", "Domovská stránka", "Domovská stránka", {}, false);
    row("Akce_NavodFR", "Dokumentace k tiskovému modulu (on-line)", "", {}, false);
    row("Akce_OProgramu", "O programu", "O programu", {}, false);
    row("Akce_Odberatele", "Odběratelé…", "Vybrat odběratele z adresáře všech faktur",
        QKeySequence("Ctrl+D"), false);
}

void THlavniTest::actionsCaptionsHintsShortcuts() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, hasImage);
    Fixture f;
    auto* action = f.window->findChild<QAction*>(name);
    QVERIFY(action);
    QVERIFY(THlavniTestAccess::Actions(*f.window).contains(action));
    QCOMPARE(Shown(action->text()), caption);
    QCOMPARE(action->statusTip(), hint);
    QCOMPARE(action->toolTip(), hint.isEmpty() ? caption : hint);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(!action->icon().isNull(), hasImage);
}

void THlavniTest::everyMenuEntryHasItsOwnMnemonic() {
    Fixture f;
    THlavni& w = *f.window;
    QList<const QWidget*> menus{ui(w).HMenu};
    for (QMenu* m : {ui(w).HMenu_Faktura, ui(w).HMenu_Tisk, ui(w).HMenu_Polozky,
                     ui(w).HMenu_Sestavy, ui(w).HMenu_Nastroje, ui(w).HMenu_Napoveda,
                     ui(w).PMenuTisk, ui(w).PMenuSestavy, ui(w).HMenu_Isdoc, ui(w).HMenu_Email})
        menus << m;
    for (const QWidget* menu : menus) {
        QSet<QChar> letters;
        for (const QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            const QString text = a->text();
            const qsizetype amp = text.indexOf(QLatin1Char('&'));
            QVERIFY2(amp >= 0 && amp + 1 < text.size() && text.count(QLatin1Char('&')) == 1,
                     qPrintable(text));
            const QChar letter = text.at(amp + 1).toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(menu->objectName() + ": " + text));
            letters.insert(letter);
        }
    }
}

void THlavniTest::altLetterOpensTheMenuAndTypesNothing() {
    Fixture f;
    THlavni& w = *f.window;
    ShowWithInvoice(w);
    ui(w).Ed_Fa3->setFocus();
    QTest::keyClicks(ui(w).Ed_Fa3, QStringLiteral("OBJ"));
    QTest::keyClick(ui(w).Ed_Fa3, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(ui(w).HMenu_Faktura->isVisible());
    QCOMPARE(ui(w).Ed_Fa3->text(), QStringLiteral("OBJ"));
    QTest::keyClick(ui(w).HMenu_Faktura, Qt::Key_Escape);
    QTRY_VERIFY(!ui(w).HMenu_Faktura->isVisible());
    // The paid amount's key filter lets Alt keys pass to the menus as well.
    ui(w).Ed_UhrazenaCastka->setFocus();
    QTest::keyClick(ui(w).Ed_UhrazenaCastka, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(ui(w).HMenu_Polozky->isVisible());
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QString());
    QTest::keyClick(ui(w).HMenu_Polozky, Qt::Key_Escape);
}

void THlavniTest::menusAndToolBar() {
    Fixture f;
    THlavni& w = *f.window;
    const QStringList top = {"Faktura", "Položky", "Sestavy", "Nástroje", "Nápověda"};
    QStringList shownTop;
    for (const QAction* a : ui(w).HMenu->actions())
        shownTop << Shown(a->text());
    QCOMPARE(shownTop, top);
    QCOMPARE(MenuTexts(ui(w).HMenu_Faktura),
             (QStringList{"Nová faktura", "Otevřít fakturu", "Zavřít fakturu", "Kniha faktur",
                          "Načíst výpis z banky…", "-", "Uložit fakturu", "-", "Odběratelé…", "-",
                          "Náhled a tisk faktury", "Uložit jako ISDOC", "Odeslat e-mailem", "-",
                          "Konec"}));
    QCOMPARE(MenuTexts(ui(w).HMenu_Isdoc),
             (QStringList{"Základní faktura", "Proforma faktura", "Daňový doklad", "Dobropis",
                          "Příjmový doklad s rozpisem"}));
    QCOMPARE(MenuTexts(ui(w).HMenu_Email),
             (QStringList{"Základní faktura", "Proforma faktura", "Daňový doklad", "Dobropis",
                          "Dodací list", "Cenová nabídka", "Příjmový doklad s rozpisem"}));
    QCOMPARE(MenuTexts(ui(w).HMenu_Tisk),
             (QStringList{"Základní faktura", "Proforma faktura", "Daňový doklad", "Dobropis",
                          "Dodací list", "-", "Cenová nabídka", "-", "Příjmový doklad",
                          "Příjmový doklad s rozpisem"}));
    QVERIFY(!ui(w).HMenu_Tisk->icon().isNull());
    QCOMPARE(MenuTexts(ui(w).HMenu_Polozky),
             (QStringList{"Editovat aktuální položku", "Zkopírovat položku", "Vložit položku",
                          "Smazat aktuální položku", "-", "Přesun položky dolů",
                          "Přesun položky nahoru"}));
    QCOMPARE(MenuTexts(ui(w).HMenu_Sestavy),
             (QStringList{"Přehled faktur", "Export pro účetní…", "Přehled DPH…"}));
    QCOMPARE(MenuTexts(ui(w).HMenu_Nastroje),
             (QStringList{"Změna období", "Konfigurace", "EET – odeslané a čekající tržby"}));
    QCOMPARE(MenuTexts(ui(w).HMenu_Napoveda),
             (QStringList{"Nápověda", "Domovská stránka",
                          "Dokumentace k tiskovému modulu (on-line)", "-", "O programu"}));
    QCOMPARE(
        MenuTexts(ui(w).PMenuTisk),
        (QStringList{"Základní faktura", "Proforma faktura", "Daňový doklad", "Dobropis",
                     "Dodací list", "-", "Cenová nabídka", "-", "Příjmový doklad",
                     "Příjmový doklad s rozpisem", "-", "Uložit jako ISDOC", "Odeslat e-mailem"}));
    QCOMPARE(MenuTexts(ui(w).PMenuSestavy),
             (QStringList{"Přehled faktur", "Export pro účetní…", "Přehled DPH…"}));
    QVERIFY(ui(w).PMenu_Rok->actions().isEmpty());

    // Tool bar: buttons in order, groups divided by separators; TB_x carries Akce_x.
    QStringList bar;
    for (QAction* a : ui(w).ToolBar1->actions()) {
        if (a->isSeparator()) {
            bar << QStringLiteral("-");
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(ui(w).ToolBar1->widgetForAction(a));
        QVERIFY(button);
        bar << button->objectName();
        QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
        const QString name = button->objectName().mid(3);
        if (button->defaultAction())
            QCOMPARE(button->defaultAction()->objectName(), QStringLiteral("Akce_") + name);
    }
    QCOMPARE(bar, (QStringList{"TB_KonecProgramu",
                               "-",
                               "TB_NovaFaktura",
                               "TB_OtevritFakturu",
                               "TB_ZavritFakturu",
                               "TB_KnihaFaktur",
                               "-",
                               "TB_UlozitFakturu",
                               "-",
                               "TB_Tisk",
                               "-",
                               "TB_EditovatPolozku",
                               "TB_ZkopirovatPolozku",
                               "TB_VlozitPolozku",
                               "TB_SmazatPolozku",
                               "-",
                               "TB_PolozkaDolu",
                               "TB_PolozkaNahoru",
                               "-",
                               "TB_Sestavy",
                               "-",
                               "TB_ZmenaObdobi",
                               "TB_Konfigurace",
                               "-",
                               "TB_Napoveda"}));
    QCOMPARE(ui(w).TB_Tisk->toolTip(), QStringLiteral("Náhled a tisk faktury"));
    QCOMPARE(ui(w).TB_Sestavy->toolTip(), QStringLiteral("Sestavy"));
    QCOMPARE(ui(w).TB_Tisk->defaultAction(), nullptr);
    QCOMPARE(ui(w).ToolBar1->height(), 30);
    QCOMPARE(ui(w).ToolBar1->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

// Sets an icon theme (and where themes are looked for) for the lifetime of the object.
struct ScopedIconTheme {
    ScopedIconTheme(const QString& name, const QStringList& searchPaths)
        : oldName(QIcon::themeName()), oldPaths(QIcon::themeSearchPaths()) {
        QIcon::setThemeSearchPaths(searchPaths);
        QIcon::setThemeName(name);
    }
    ~ScopedIconTheme() {
        QIcon::setThemeSearchPaths(oldPaths);
        QIcon::setThemeName(oldName);
    }
    QString oldName;
    QStringList oldPaths;
};

QImage Picture(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

void THlavniTest::imagesAreDistinctPictures() {
    // No theme: every picture is the one bundled with the program.
    const ScopedIconTheme noTheme(QStringLiteral("tarvela-no-such-theme"), {});
    Fixture f;
    const QList<QIcon>& images = THlavniTestAccess::ActionImages(*f.window);
    QCOMPARE(images.size(), 16);
    QSet<QByteArray> seen;
    for (const QIcon& icon : images) {
        const QImage image = icon.pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        int painted = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                painted += qAlpha(image.pixel(x, y)) > 0;
        QVERIFY2(painted > 40, "an image is (nearly) blank");
        seen.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    QCOMPARE(seen.size(), 16);
}

// The desktop's theme gives the pictures it has by their freedesktop names; the others are the
// bundled ones.
void THlavniTest::imagesComeFromTheIconThemeOrTheBundledPictures() {
    QTemporaryDir themes;
    QVERIFY(QDir(themes.path()).mkpath(QStringLiteral("small/16x16/actions")));
    QFile index(themes.path() + QStringLiteral("/small/index.theme"));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=small\nDirectories=16x16/actions\n\n"
                "[16x16/actions]\nSize=16\nType=Fixed\n");
    index.close();
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(themes.path() + QStringLiteral("/small/16x16/actions/document-print.png")));
    QImage blue(16, 16, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    QVERIFY(
        blue.save(themes.path() + QStringLiteral("/small/16x16/actions/view-list-details.png")));

    QImage bundledOpen;
    for (const QString& fallback : {QStringLiteral("tarvela-no-such-theme"), QString("hicolor")}) {
        // Without a desktop's theme the book is the style's own "detailed view" picture.
        const ScopedIconTheme noTheme(fallback, {});
        Fixture f;
        bundledOpen = Picture(THlavniTestAccess::ActionImages(*f.window).at(1));
        QCOMPARE(Picture(ui(*f.window).Akce_KnihaFaktur->icon()),
                 Picture(f.window->style()->standardIcon(QStyle::SP_FileDialogDetailedView)));
    }
    const ScopedIconTheme theme(QStringLiteral("small"), {themes.path()});
    Fixture f;
    QCOMPARE(Picture(THlavniTestAccess::ActionImages(*f.window).at(4)), red);
    QCOMPARE(Picture(ui(*f.window).HMenu_Tisk->icon()), red);
    QCOMPARE(Picture(ui(*f.window).TB_Tisk->icon()), red);
    QCOMPARE(Picture(ui(*f.window).Akce_OtevritFakturu->icon()), bundledOpen);
    QCOMPARE(Picture(ui(*f.window).Akce_KnihaFaktur->icon()), blue);
}

// One row of the state table: open?, page, edited?, payer, form of payment.
void THlavniTest::updateActionsTable_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("payer");
    QTest::addColumn<QString>("payment");
    // Expected: new/open, close, save, items, print, vat document, receipts, period/settings.
    QTest::addColumn<QList<bool>>("expected");

    QTest::newRow("start") << false << 0 << false << false << "" //
                           << QList<bool>{true, false, false, false, false, false, false, true};
    QTest::newRow("closed, changed, cash")
        << false << 1 << true << true << "H"
        << QList<bool>{true, false, true, false, false, false, false, true};
    QTest::newRow("open on first page")
        << true << 0 << false << true << "PP"
        << QList<bool>{false, true, false, false, true, true, false, false};
    QTest::newRow("open on items page, changed")
        << true << 1 << true << true << "PP"
        << QList<bool>{false, true, true, true, true, true, false, false};
    QTest::newRow("open, cash payment")
        << true << 0 << false << false << "H"
        << QList<bool>{false, true, false, false, true, false, true, false};
    QTest::newRow("open, lower-case h is not cash")
        << true << 1 << false << true << "h"
        << QList<bool>{false, true, false, true, true, true, false, false};
}

void THlavniTest::updateActionsTable() {
    QFETCH(bool, open);
    QFETCH(int, page);
    QFETCH(bool, changed);
    QFETCH(bool, payer);
    QFETCH(QString, payment);
    QFETCH(QList<bool>, expected);

    Fixture f(payer ? QByteArray("[NASTAVENI]\r\nPlatce=1\r\n")
                    : QByteArray("[NASTAVENI]\r\nPlatce=0\r\n"));
    THlavni& w = *f.window;
    QCOMPARE(w.Settings().Platce, payer);
    if (open) {
        // A new invoice with this form of payment, saved: open and unchanged.
        ui(w).Akce_NovaFaktura->trigger();
        ui(w).CBox_Fa6->setEditText(payment);
        ui(w).Akce_UlozitFakturu->trigger();
        QVERIFY(!w.IsModified());
        ui(w).PageControl1->setCurrentIndex(page);
    } else {
        ui(w).CBox_Fa6->setEditText(payment); // an edit of the hidden form when not empty
    }
    if (changed) // an edit, as typing into a field makes it
        ui(w).Ed_Komentar1->setText(QStringLiteral("změna"));
    QCOMPARE(w.IsModified(), changed);

    auto all = [](std::initializer_list<QAction*> actions, bool state) {
        for (QAction* a : actions)
            if (a->isEnabled() != state)
                return false;
        return true;
    };
    QVERIFY(all({ui(w).Akce_NovaFaktura, ui(w).Akce_OtevritFakturu}, expected[0]));
    QCOMPARE(ui(w).Akce_ZavritFakturu->isEnabled(), expected[1]);
    QCOMPARE(ui(w).Akce_UlozitFakturu->isEnabled(), expected[2]);
    QVERIFY(all({ui(w).Akce_EditovatPolozku, ui(w).Akce_ZkopirovatPolozku, ui(w).Akce_VlozitPolozku,
                 ui(w).Akce_SmazatPolozku, ui(w).Akce_PolozkaDolu, ui(w).Akce_PolozkaNahoru},
                expected[3]));
    QCOMPARE(ui(w).HMenu_Tisk->menuAction()->isEnabled(), expected[4]);
    QCOMPARE(ui(w).TB_Tisk->isEnabled(), expected[4]);
    QVERIFY(all({ui(w).Akce_TiskFaktury01, ui(w).Akce_TiskFaktury02, ui(w).Akce_TiskFaktury06,
                 ui(w).Akce_TiskFaktury10},
                expected[4]));
    QCOMPARE(ui(w).Akce_TiskFaktury03->isEnabled(), expected[5]);
    QVERIFY(all({ui(w).Akce_TiskFaktury20, ui(w).Akce_SestavaPrijmovyDoklad}, expected[6]));
    QVERIFY(all({ui(w).Akce_ZmenaObdobi, ui(w).Akce_Konfigurace}, expected[7]));
    // Never disabled.
    QVERIFY(all({ui(w).Akce_TiskFaktury04, ui(w).Akce_SestavaPrehled, ui(w).Akce_KonecProgramu,
                 ui(w).Akce_Napoveda, ui(w).Akce_WebDomu, ui(w).Akce_NavodFR, ui(w).Akce_OProgramu},
                true));
}

void THlavniTest::vatDocumentHiddenForNonPayer() {
    Fixture f(QByteArray("[NASTAVENI]\r\nPlatce=0\r\n"));
    THlavni& w = *f.window;
    // Before any invoice was open its visibility is left alone.
    QVERIFY(ui(w).Akce_TiskFaktury03->isVisible());
    QVERIFY(!ui(w).Akce_TiskFaktury03->isEnabled());
    ui(w).Akce_NovaFaktura->trigger();
    QVERIFY(!ui(w).Akce_TiskFaktury03->isVisible());
    ui(w).Akce_ZavritFakturu->trigger();
    QVERIFY(!w.InvoiceOpen());
    QVERIFY(!ui(w).Akce_TiskFaktury03->isVisible());

    Fixture payer(QByteArray("[NASTAVENI]\r\nPlatce=1\r\n"));
    ui(*payer.window).Akce_NovaFaktura->trigger();
    QVERIFY(ui(*payer.window).Akce_TiskFaktury03->isVisible());
    QVERIFY(ui(*payer.window).Akce_TiskFaktury03->isEnabled());
}

void THlavniTest::formOfPaymentDrivesReceipts() {
    Fixture f;
    THlavni& w = *f.window;
    ui(w).Akce_NovaFaktura->trigger();
    QVERIFY(!ui(w).Akce_UlozitFakturu->isEnabled());
    ui(w).CBox_Fa6->setCurrentIndex(1); // "H"
    QVERIFY(w.IsModified());
    QVERIFY(ui(w).Akce_UlozitFakturu->isEnabled());
    QVERIFY(ui(w).Akce_TiskFaktury20->isEnabled());
    QVERIFY(ui(w).Akce_SestavaPrijmovyDoklad->isEnabled());
    ui(w).CBox_Fa6->setCurrentIndex(0); // "PP"
    QVERIFY(!ui(w).Akce_TiskFaktury20->isEnabled());
    QVERIFY(!ui(w).Akce_SestavaPrijmovyDoklad->isEnabled());

    // Typing into the combo box counts as well.
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    ui(w).CBox_Fa6->setFocus();
    ui(w).CBox_Fa6->lineEdit()->selectAll();
    QTest::keyClicks(ui(w).CBox_Fa6, QStringLiteral("H"));
    QCOMPARE(w.WindowRecord().FormaUhrady, QStringLiteral("H"));
    QVERIFY(ui(w).Akce_TiskFaktury20->isEnabled());
}

void THlavniTest::changeHandlerMarksInvoiceChanged() {
    // Each edit in a new invoice of its own window: the invoice is unchanged before it.
    const auto newInvoice = [](Fixture& f) {
        ui(*f.window).Akce_NovaFaktura->trigger();
        QVERIFY(!f.window->IsModified());
        QVERIFY(!ui(*f.window).Akce_UlozitFakturu->isEnabled());
    };
    const char* const marking[] = {"Ed_Fa2",         "Ed_Fa3",        "Ed_Fa4",
                                   "Ed_Fa5",         "Ed_Mena",       "Ed_Od1",
                                   "Ed_Od2",         "Ed_Od3",        "Ed_Od4",
                                   "Ed_Od5",         "Ed_Od6",        "Ed_Od7",
                                   "Ed_Od8",         "Ed_Od9",        "Ed_OdberatelEmail",
                                   "Ed_Komentar1",   "Ed_Komentar2",  "Ed_UhrazenaCastka",
                                   "Ed_Kurz",        "Ed_DatumKurzu", "Ed_OpravovanyDoklad",
                                   "Ed_DuvodOpravy", "Datum_Fa7",     "Datum_Fa8",
                                   "Datum_Fa9"};
    for (const char* name : marking) {
        Fixture f;
        THlavni& w = *f.window;
        newInvoice(f);
        if (auto* date = w.findChild<QDateEdit*>(QLatin1String(name)))
            date->setDate(date->date().addDays(3));
        else
            w.findChild<QLineEdit*>(QLatin1String(name))->setText(QStringLiteral("1"));
        QVERIFY2(w.IsModified(), name);
        QVERIFY2(ui(w).Akce_UlozitFakturu->isEnabled(), name);
    }
    // The program setting the number (New, Open) or the payment date (its buttons) is no edit;
    // the user typing the number is.
    Fixture f;
    THlavni& w = *f.window;
    newInvoice(f);
    ui(w).Ed_Fa1->setText(QStringLiteral("2026001"));
    ui(w).Ed_DatumUhrady->setText(QStringLiteral("1.1.2026"));
    QVERIFY(!w.IsModified());
    QVERIFY(!ui(w).Akce_UlozitFakturu->isEnabled());
    QTest::keyClicks(ui(w).Ed_Fa1, QStringLiteral("9"));
    QVERIFY(w.IsModified());
    QVERIFY(ui(w).Akce_UlozitFakturu->isEnabled());
}

void THlavniTest::enterMovesFocusOnFirstPage() {
    Fixture f;
    THlavni& w = *f.window;
    ShowWithInvoice(w);
    ui(w).Ed_Fa3->setFocus();
    QTest::keyClick(ui(w).Ed_Fa3, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), ui(w).Ed_Fa4);
    QTest::keyClick(ui(w).Ed_Fa4, Qt::Key_Enter); // the numeric pad's Enter as well
    QCOMPARE(QApplication::focusWidget(), ui(w).Ed_Fa5);

    // The whole tab order of the page, by Enter.
    const QList<QWidget*> order = {ui(w).Ed_Fa1,
                                   ui(w).Tl_VybratVzorFaktury,
                                   ui(w).Ed_Fa2,
                                   ui(w).Ed_Fa3,
                                   ui(w).Ed_Fa4,
                                   ui(w).Ed_Fa5,
                                   ui(w).CBox_Fa6,
                                   ui(w).Datum_Fa7,
                                   ui(w).Datum_Fa8,
                                   ui(w).Datum_Fa9,
                                   ui(w).Ed_Mena,
                                   ui(w).Ed_Od1,
                                   ui(w).Tl_VybratOdberatele,
                                   ui(w).Tl_Odberatele,
                                   ui(w).Ed_Od2,
                                   ui(w).Ed_Od3,
                                   ui(w).Ed_Od4,
                                   ui(w).Ed_OdberatelEmail,
                                   ui(w).Ed_Od5,
                                   ui(w).Ed_Od6,
                                   ui(w).Ed_Od7,
                                   ui(w).Ed_Od8,
                                   ui(w).Tl_NacistZAres,
                                   ui(w).Ed_Od9,
                                   ui(w).Ed_Komentar1,
                                   ui(w).Ed_Komentar2,
                                   ui(w).Ed_DatumUhrady,
                                   ui(w).Tl_Datum,
                                   ui(w).Tl_Zrusit,
                                   ui(w).Ed_UhrazenaCastka,
                                   ui(w).Ed_Kurz,
                                   ui(w).Ed_DatumKurzu,
                                   ui(w).Tl_KurzCNB,
                                   ui(w).Ed_OpravovanyDoklad,
                                   ui(w).Ed_DuvodOpravy};
    ui(w).Ed_Fa1->setFocus();
    for (int i = 1; i < order.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus, Qt::Key_Return);
        QWidget* now = QApplication::focusWidget();
        QVERIFY2(now == order[i] || order[i]->isAncestorOf(now),
                 qPrintable(QStringLiteral("after %1 came %2 instead of %3")
                                .arg(order[i - 1]->objectName(), now->objectName(),
                                     order[i]->objectName())));
    }
    // Enter on a button moves on without pressing it, and the text of a field is untouched.
    QCOMPARE(ui(w).Ed_Fa3->text(), QString());
}

void THlavniTest::pageControlFillsClientArea() {
    Fixture f;
    THlavni& w = *f.window;
    ShowWithInvoice(w);
    QCOMPARE(ui(w).PageControl1->geometry(), w.centralWidget()->rect());
    QCOMPARE(w.centralWidget()->width(), 759);
    // Client area 759 x 603 below the menu: tool bar (30) and page control.
    QCOMPARE(ui(w).ToolBar1->height() + w.centralWidget()->height(), 603);
    // Nothing of the first page is cut off at the page's edges.
    for (QWidget* child : ui(w).TabSheet1->findChildren<QWidget*>()) {
        if (child->parentWidget() == ui(w).TabSheet1)
            QVERIFY2(ui(w).TabSheet1->rect().contains(child->geometry()),
                     qPrintable(child->objectName()));
    }
    ui(w).PageControl1->setCurrentIndex(1);
    QCOMPARE(ui(w).Panel2->geometry().bottom(), ui(w).TabSheet2->rect().bottom());
    QCOMPARE(ui(w).Panel2->width(), ui(w).TabSheet2->width());
    QCOMPARE(ui(w).Grid1->geometry().bottom() + 1, ui(w).Panel2->geometry().top());
}

void THlavniTest::theWindowGrowsWithItsGridAndComments() {
    Fixture f;
    THlavni& w = *f.window;
    ShowWithInvoice(w);
    QVERIFY(w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(w.minimumSize(), w.size()); // the designed size is the smallest
    const auto order = [&] {
        QList<int> tops;
        for (QWidget* box : QList<QWidget*>{ui(w).GroupBox1, ui(w).GroupBox2, ui(w).GroupBox3,
                                            ui(w).GroupBox4, ui(w).GBox_Oprava})
            tops << box->geometry().top();
        return tops;
    };
    const QList<int> designed = order();
    const int comment = ui(w).Ed_Komentar1->width();
    ui(w).PageControl1->setCurrentIndex(1);
    const QSize grid = ui(w).Grid1->size();

    w.resize(w.width() + 300, w.height() + 200);
    QTRY_COMPARE(ui(w).Grid1->height(), grid.height() + 200);
    QCOMPARE(ui(w).Grid1->width(), grid.width() + 300);
    ui(w).PageControl1->setCurrentIndex(0);
    QTRY_COMPARE(ui(w).Ed_Komentar1->width(), comment + 300);
    QCOMPARE(ui(w).Ed_Komentar2->width(), comment + 300);
    // The first page keeps its designed order, the boxes at their designed places.
    QCOMPARE(order(), designed);
    QVERIFY(std::is_sorted(designed.begin(), designed.end()));
    QCOMPARE(ui(w).GroupBox5->geometry().top(), ui(w).GroupBox4->geometry().top());
    QVERIFY(ui(w).GroupBox4->geometry().right() < ui(w).GroupBox5->geometry().left());
    QVERIFY(ui(w).GroupBox5->geometry().right() < ui(w).GBox_Kurz->geometry().left());
}

void THlavniTest::documentKindsInTheSameOrderInEveryMenu() {
    Fixture f;
    THlavni& w = *f.window;
    // The kinds of a menu by their action names' numbers ("01", "04", ...), in menu order.
    const auto kinds = [](const QList<QAction*>& actions) {
        QStringList numbers;
        for (const QAction* a : actions) {
            const QString name = a->objectName();
            if (name.contains(QLatin1String("Faktury")))
                numbers << name.right(2);
        }
        return numbers;
    };
    const QStringList menuBar = kinds(ui(w).HMenu_Tisk->actions());
    QCOMPARE(menuBar, (QStringList{"01", "02", "03", "04", "06", "10", "20"}));
    QCOMPARE(kinds(ui(w).PMenuTisk->actions()), menuBar);
    QCOMPARE(kinds(ui(w).HMenu_Email->actions()), menuBar);
    QStringList isdoc = menuBar;
    isdoc.removeAll(QStringLiteral("06")); // the kinds without an e-invoice
    isdoc.removeAll(QStringLiteral("10"));
    QCOMPARE(kinds(ui(w).HMenu_Isdoc->actions()), isdoc);
}

void THlavniTest::enterOnTheItemsPageEditsTheRow() {
    Fixture f;
    THlavni& w = *f.window;
    ShowWithInvoice(w);
    ui(w).PageControl1->setCurrentIndex(1);
    ui(w).Grid1->setFocus();
    QCOMPARE(QApplication::focusWidget(), ui(w).Grid1);
    // Enter on a row edits it (the item editor opens on that row); Escape closes the editor.
    bool edited = false;
    QVERIFY(WithModal([&] { QTest::keyClick(ui(w).Grid1, Qt::Key_Return); },
                      [&](QWidget* editor) {
                          edited = qobject_cast<TEditacePolozky*>(editor) != nullptr;
                          QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                      }));
    QVERIFY(edited);
    QVERIFY(!QApplication::activeModalWidget());
    // On the first page Enter moves to the next field; other keys reach the field.
    ui(w).PageControl1->setCurrentIndex(0);
    w.activateWindow(); // the closed item editor leaves no window active offscreen
    QVERIFY(QTest::qWaitForWindowActive(&w));
    ui(w).Ed_Fa3->setFocus();
    QTest::keyClick(ui(w).Ed_Fa3, Qt::Key_A);
    QCOMPARE(ui(w).Ed_Fa3->text(), QStringLiteral("a"));
    QTest::keyClick(ui(w).Ed_Fa3, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), ui(w).Ed_Fa4);
    QCOMPARE(ui(w).Ed_Fa3->text(), QStringLiteral("a"));
}

void THlavniTest::paidAmountKeyFilter() {
    Fixture f;
    THlavni& w = *f.window;
    ShowWithInvoice(w);
    ui(w).Ed_UhrazenaCastka->setFocus();
    // An amount with a decimal comma, typed key by key; the full stop is that comma.
    QTest::keyClicks(ui(w).Ed_UhrazenaCastka, QStringLiteral("567,44"));
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("567,44"));
    QVERIFY(f.boxes.shown().isEmpty());
    // Every key it cannot take is refused aloud, naming the field; a third decimal too.
    ui(w).GroupBox5->setTitle(QStringLiteral("Úhrada v CZK")); // as New and Open set it
    QTest::keyClicks(ui(w).Ed_UhrazenaCastka, QStringLiteral("e.4"));
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("567,44"));
    QCOMPARE(f.boxes.takeShown(),
             (QList<ShownBox>{
                 {BoxKind::Info, QStringLiteral("Tarvela"),
                  QStringLiteral("Úhrada v CZK: znak „e“ do pole nepatří. Pole bere jen číslice "
                                 "a desetinnou čárku (například 1250,50).")},
                 {BoxKind::Info, QStringLiteral("Tarvela"),
                  QStringLiteral("Úhrada v CZK: částka má nejvýše dvě desetinná místa (haléře).")},
             }));
    QTest::keyClick(ui(w).Ed_UhrazenaCastka, Qt::Key_Backspace);
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("567,4"));
    QTest::keyClicks(ui(w).Ed_UhrazenaCastka, QStringLiteral("4"));
    // Ctrl+A selects all and what is typed replaces it; "." into the empty field gives "0,".
    QTest::keyClick(ui(w).Ed_UhrazenaCastka, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(ui(w).Ed_UhrazenaCastka, QStringLiteral("12.5"));
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("12,5"));
    ui(w).Ed_UhrazenaCastka->clear();
    QTest::keyClicks(ui(w).Ed_UhrazenaCastka, QStringLiteral(".5"));
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("0,5"));
    // Keys that type nothing still work: cursor movement and deleting.
    QTest::keyClick(ui(w).Ed_UhrazenaCastka, Qt::Key_Home);
    QTest::keyClick(ui(w).Ed_UhrazenaCastka, Qt::Key_Delete);
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral(",5"));
    QVERIFY(w.IsModified());
    // A digit and backspace reach the field as typed; a letter never does.
    ui(w).Ed_UhrazenaCastka->clear();
    QTest::keyClicks(ui(w).Ed_UhrazenaCastka, QStringLiteral("7"));
    QTest::keyClick(ui(w).Ed_UhrazenaCastka, Qt::Key_Backspace);
    QTest::keyClicks(ui(w).Ed_UhrazenaCastka, QStringLiteral("8x"));
    QCOMPARE(ui(w).Ed_UhrazenaCastka->text(), QStringLiteral("8"));
    QCOMPARE(f.boxes.takeShown().size(), 1);
    // Other fields are not filtered.
    QTest::keyClicks(ui(w).Ed_Fa3, QStringLiteral("a,b"));
    QCOMPARE(ui(w).Ed_Fa3->text(), QStringLiteral("a,b"));
}

void THlavniTest::currencyLabelColour() {
    Fixture f;
    THlavni& w = *f.window;
    ui(w).Akce_NovaFaktura->trigger();
    ui(w).Ed_Mena->setText(QStringLiteral("EUR"));
    ui(w).PageControl1->setCurrentIndex(1);
    QCOMPARE(TextColour(ui(w).La_Mena), QColor(172, 0, 0));
    ui(w).PageControl1->setCurrentIndex(0);
    ui(w).Ed_Mena->setText(QStringLiteral("CZK"));
    // Colour changes only when the items page is shown.
    QCOMPARE(TextColour(ui(w).La_Mena), QColor(172, 0, 0));
    ui(w).PageControl1->setCurrentIndex(1);
    QCOMPARE(TextColour(ui(w).La_Mena), QColor(128, 0, 128));
    // Switching pages runs UpdateActions.
    QVERIFY(ui(w).Akce_EditovatPolozku->isEnabled());
    ui(w).PageControl1->setCurrentIndex(0);
    QVERIFY(!ui(w).Akce_EditovatPolozku->isEnabled());
}

void THlavniTest::symbolLimitAndExistingText() {
    Fixture f(QByteArray("[NASTAVENI]\r\nTypSymbolu=1\r\n"));
    THlavni& w = *f.window;
    QTest::keyClicks(ui(w).Ed_Fa2, QStringLiteral("123456789012"));
    QCOMPARE(ui(w).Ed_Fa2->text(), QStringLiteral("1234567890"));
    // A shorter limit does not cut the symbol already there; typing more is refused.
    AppSettings constant = w.Settings();
    constant.TypSymbolu = SymbolType::Constant;
    editor(w).ApplySettings(constant);
    QCOMPARE(ui(w).Ed_Fa2->text(), QStringLiteral("1234567890"));
    QCOMPARE(ui(w).La_Fa2->text(), QStringLiteral("Konstantní symbol"));
    QCOMPARE(ui(w).Ed_Fa2->width(), 49);
    QTest::keyClicks(ui(w).Ed_Fa2, QStringLiteral("1"));
    QCOMPARE(ui(w).Ed_Fa2->text(), QStringLiteral("1234567890"));
    ui(w).Ed_Fa2->clear();
    QTest::keyClicks(ui(w).Ed_Fa2, QStringLiteral("123456"));
    QCOMPARE(ui(w).Ed_Fa2->text(), QStringLiteral("1234"));
}

void THlavniTest::toolButtonsShowPopUps() {
    Fixture f;
    THlavni& w = *f.window;
    ShowWithInvoice(w);
    QTest::mouseClick(ui(w).TB_Tisk, Qt::LeftButton);
    QTRY_VERIFY(ui(w).PMenuTisk->isVisible());
    const QPoint below = ui(w).TB_Tisk->mapToGlobal(QPoint(0, ui(w).TB_Tisk->height()));
    QVERIFY(ui(w).PMenuTisk->geometry().top() >= below.y());
    QVERIFY(qAbs(ui(w).PMenuTisk->geometry().left() - below.x() - 5) <= 1);
    ui(w).PMenuTisk->hide();
    QTest::mouseClick(ui(w).TB_Sestavy, Qt::LeftButton);
    QTRY_VERIFY(ui(w).PMenuSestavy->isVisible());
    ui(w).PMenuSestavy->hide();
}

void THlavniTest::closingWithoutInvoiceAsksNothing() {
    Fixture f;
    THlavni& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ui(w).Akce_KonecProgramu->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(f.boxes.shown().isEmpty());
}

void THlavniTest::closingWithUnsavedInvoiceAsksOnce() {
    Fixture f;
    THlavni& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ui(w).Akce_NovaFaktura->trigger();
    QVERIFY(w.InvoiceOpen());
    const QString number = ui(w).Ed_Fa1->text();
    QTest::keyClicks(ui(w).Ed_Od2, QStringLiteral("Novak"));
    QVERIFY(w.IsModified());
    f.boxes.queueAnswer(false);
    QVERIFY(w.close());
    QCOMPARE(f.boxes.shown(),
             (QList<ShownBox>{{BoxKind::YesNoCancel, QStringLiteral("Upozornění"),
                               QStringLiteral("Ve faktuře byly provedeny změny, chcete je "
                                              "uložit?")}}));
    QVERIFY(!w.isVisible());
    QVERIFY(!f.folder.exists(QString::number(w.Settings().AktualniRok) + QLatin1Char('/') + number +
                             QStringLiteral(".tvl")));
}

void THlavniTest::gridClickRunsOncePerClick() {
    Fixture f;
    THlavni& w = *f.window;
    ShowWithInvoice(w);
    ui(w).PageControl1->setCurrentIndex(1);
    // A row whose quantity does not read as a number: each run of Grid1Click reports it.
    editor(w).SetCell(4, 3, QStringLiteral("abc"));
    editor(w).SetCell(5, 3, QStringLiteral("1,00"));
    f.boxes.takeShown();
    const QRect cell = ui(w).Grid1->visualItemRect(ui(w).Grid1->item(2, 1));
    QTest::mouseClick(ui(w).Grid1->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(editor(w).CurrentRow(), 3);
    QCOMPARE(f.boxes.shown().size(), 1);
    QCOMPARE(f.boxes.shown().at(0).kind, BoxKind::Error);
    // A second click on the current row runs it again, once.
    QTest::mouseClick(ui(w).Grid1->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(f.boxes.shown().size(), 2);
    // Moving by keyboard runs it too.
    QTest::keyClick(ui(w).Grid1, Qt::Key_Down);
    QCOMPARE(editor(w).CurrentRow(), 4);
    QCOMPARE(f.boxes.shown().size(), 2);
    QTest::keyClick(ui(w).Grid1, Qt::Key_Up);
    QCOMPARE(f.boxes.shown().size(), 3);
}

void THlavniTest::failureInHandlerReachesErrorBox() {
    Fixture f;
    THlavni& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Handlers connected through the guard, as the window connects its own.
    QPushButton button(QStringLiteral("x"));
    int runs = 0;
    ConnectGuarded(&button, &QPushButton::clicked, &button, [&] {
        ++runs;
        if (runs == 1)
            throw ConversionError(QStringLiteral("'abc' is not a valid floating point value"));
        if (runs == 2)
            throw FileError(QStringLiteral("Nelze načíst DLL!"));
        throw std::runtime_error("disk full");
    });
    button.click();
    button.click();
    button.click();
    const QList<ShownBox> expected = {
        {BoxKind::Error, "Tarvela", "'abc' is not a valid floating point value."},
        {BoxKind::Error, "Tarvela", "Nelze načíst DLL!"},
        {BoxKind::Error, "Tarvela", "disk full."}};
    QCOMPARE(f.boxes.shown(), expected);
    // The program goes on: the window still works.
    ui(w).Akce_NovaFaktura->trigger();
    ui(w).Ed_Fa3->setText(QStringLiteral("x"));
    QVERIFY(w.IsModified());

    // The last net: an event handler that throws outside any guard.
    class Throwing : public QWidget {
    protected:
        void mousePressEvent(QMouseEvent*) override {
            throw ValidationError(QStringLiteral("Neplatné číslo faktury"));
        }
    } throwing;
    throwing.resize(50, 50);
    throwing.show();
    QVERIFY(QTest::qWaitForWindowExposed(&throwing));
    f.boxes.takeShown();
    {
#if defined(TARVELA_TEST_ADDRESS_SANITIZER)
        // Qt's mouse event delivery is not exception safe: the event point it was delivering
        // stays allocated when the exception leaves it. That is the price of the last net, not a
        // leak of the program, so the leak checker does not count it.
        const __lsan::ScopedDisabler qtLeaksTheEventPoint;
#endif
        QTest::mouseClick(&throwing, Qt::LeftButton);
    }
    QCOMPARE(f.boxes.shown(),
             (QList<ShownBox>{{BoxKind::Error, "Tarvela", "Neplatné číslo faktury."}}));
}

// The network library is loaded with the network module on the first look-up, and EET's
// libraries with the EET module on first use, not with the program: a shown window with its
// period counted has loaded none of them.
void THlavniTest::networkLibraryIsNotLoadedAtStart() {
    Fixture f;
    f.window->show();
    QTRY_VERIFY(!f.window->OverdueNoticePending());
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray loaded = maps.readAll();
    QVERIFY(loaded.contains("libQt6Widgets"));
    QVERIFY2(!loaded.contains("libQt6Network"), "QtNetwork is loaded");
    QVERIFY2(!loaded.contains("libTarvelaNet"), "the network module is loaded");
    for (const char* eet : {"libTarvelaEet", "libcrypto", "libxml2", "libxmlsec1", "keychain"})
        QVERIFY2(!loaded.contains(eet), eet);
}

int main(int argc, char** argv) {
    TarvelaApplication app(argc, argv);
    SetUpApplication(app);
    THlavniTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "thlavni_test.moc"
