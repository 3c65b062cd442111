#include "app/thlavni.h"
#include "editor/date_fields.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/images.h"
#include "invoice/invoice_record.h"
#include "invoice/invoice_store.h"
#include "text/clock.h"
#include "text/gui_helpers.h"
#include "text/key_filters.h"
#include "text/message_boxes.h"

namespace tarvela {

namespace {

constexpr int kClientWidth = 759;
constexpr int kClientHeight = 571;
constexpr int kToolBarHeight = 30;
constexpr int kEditHeight = 21;

const QColor kTeal(0, 128, 128);
const QColor kPurple(128, 0, 128);
const QColor kDarkRed(172, 0, 0);
const QColor kPeriodBlue(40, 84, 127);

QString WithTrailingSeparator(const QString& folder) {
    QString result = QDir::toNativeSeparators(folder);
    if (!result.endsWith(QDir::separator()))
        result += QDir::separator();
    return result;
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

void SetBold(QLabel* label) {
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                  Qt::Alignment align = Qt::AlignLeft) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(x, y, w, 16);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int x, int y, int w) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(x, y, w, kEditHeight);
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                        int h) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, y, w, h);
    button->setAutoDefault(false);
    return button;
}

QDateEdit* MakeDate(QWidget* parent, const char* name, int x, int y) {
    auto* date = new QDateEdit(Today(), parent);
    date->setObjectName(QLatin1String(name));
    date->setGeometry(x, y, 105, kEditHeight);
    date->setCalendarPopup(true);
    date->setDisplayFormat(QStringLiteral("d.M.yyyy"));
    return date;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title, int x, int y, int w,
                     int h) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QLatin1String(name));
    group->setGeometry(x, y, w, h);
    return group;
}

} // namespace

THlavni::THlavni(QWidget* parent)
    : THlavni(QCoreApplication::applicationDirPath(), QLocale::system().decimalPoint(), parent) {}

THlavni::THlavni(const QString& programFolder, const QString& decimalSeparator, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("THlavni"));
    ProgramFolder = WithTrailingSeparator(programFolder);

    // Fixed-size window with system menu and minimise button, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont f(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    setFont(f);

    ImageList1 = CreateActionImages();
    CreateActions();
    CreateMenus();
    CreateToolBar();

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client);
    La_AktualniRok = MakeLabel(client, "La_AktualniRok", QString(), 24, 48 - kToolBarHeight, 177);
    SetBold(La_AktualniRok);

    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, kClientWidth, kClientHeight - kToolBarHeight);
    CreatePage1();
    CreatePage2();
    PageControl1->hide();

    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    SetTabOrder();
    SetUpGrid1Drawing();
    ConnectHandlers();
    qApp->installEventFilter(this);

    FormCreate(decimalSeparator);
}

THlavni::~THlavni() {
    if (qApp)
        qApp->removeEventFilter(this);
}

// ---- Start-up --------------------------------------------------------------------------------

void THlavni::FormCreate(const QString& decimalSeparator) {
    if (decimalSeparator != QStringLiteral(",")) {
        ShowInfo(QStringLiteral("Program Tarvela vyžaduje pro oddělovací znak desetinných míst "
                                "nastavený znak čárky (,).\r\nSpusťte jej s českým prostředím, "
                                "například příkazem:\r\nLC_ALL=cs_CZ.UTF-8 %1\r\n(tak jej "
                                "spouští i spouštěč v nabídce aplikací a skript scripts/run.sh).")
                     .arg(QDir::toNativeSeparators(QCoreApplication::applicationFilePath())));
        // The program ends without the window being used; the remaining steps still run.
        TerminateRequested = true;
    }

    FirstStart = !QFileInfo::exists(SettingsFilePath(ProgramFolder));
    Settings = LoadSettings(ProgramFolder);
    InvoiceStore(ProgramFolder).EnsurePeriodFolder(Settings.AktualniRok);

    // Grid headers and row numbers.
    const QStringList headers = {QStringLiteral("Kód"),     QStringLiteral("Označení dodávky"),
                                 QStringLiteral("MJ"),      QStringLiteral("Počet MJ"),
                                 QStringLiteral("Cena MJ"), QStringLiteral("DPH")};
    Grid1->setHorizontalHeaderLabels(headers);
    for (int col = 3; col < 6; ++col)
        Grid1->horizontalHeaderItem(col)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QStringList numbers;
    for (int row = 1; row <= kItemRowCount; ++row)
        numbers << QString::number(row);
    Grid1->setVerticalHeaderLabels(numbers);

    ApplyVatLabels();

    for (QLabel* label : {La_APCelkem, La_APDPH1, La_APDPH2, La_APDPH3, La_CelkemRadek})
        SetTextColour(label, kTeal);
    for (QLabel* label : {La_SACelkem, La_SADPH1, La_SADPH2, La_SADPH3, La_CelkemFaktura, La_Mena})
        SetTextColour(label, kPurple);
    SetTextColour(La_AktualniRok, kPeriodBlue);

    ApplySymbolType();
    La_AktualniRok->setText(QStringLiteral("Období: %1").arg(Settings.AktualniRok));

    Akce_PolozkaDolu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    Akce_PolozkaNahoru->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));

    PageControl1->setCurrentIndex(0);
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    // The status bar confirms a save; made at start and added below the client area, so the
    // window's layout never jumps and nothing of the pages is cut off.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    setFixedSize(kClientWidth,
                 menuBar()->sizeHint().height() + kClientHeight + statusBar()->sizeHint().height());
    ChangedFlag = false;
    UpdateActions();
}

// ---- Actions, menus, tool bar ----------------------------------------------------------------

void THlavni::CreateActions() {
    auto make = [this](const char* name, const QString& caption, const QString& hint, int image,
                       const QKeySequence& shortcut = QKeySequence()) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        // A null hint is the caption; an action without a hint shows its caption as tool tip.
        // The caption's "&" marks its mnemonic (Alt + the underlined letter), never shown.
        const QString plain = QString(caption).remove(QLatin1Char('&'));
        const QString shownHint = hint.isNull() ? plain : hint;
        action->setToolTip(shownHint.isEmpty() ? plain : shownHint);
        action->setStatusTip(shownHint);
        if (image >= 0)
            action->setIcon(ImageList1.at(image));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        ActionList1.append(action);
        addAction(action);
        return action;
    };
    const QString same;                     // the hint is the caption
    const QString none = QLatin1String(""); // no hint
    Akce_NovaFaktura = make("Akce_NovaFaktura", QStringLiteral("&Nová faktura"),
                            QStringLiteral("Nová faktura"), 0, QKeySequence(Qt::CTRL | Qt::Key_N));
    Akce_OtevritFakturu =
        make("Akce_OtevritFakturu", QStringLiteral("&Otevřít fakturu"),
             QStringLiteral("Otevřít fakturu"), 1, QKeySequence(Qt::CTRL | Qt::Key_O));
    Akce_ZavritFakturu =
        make("Akce_ZavritFakturu", QStringLiteral("&Zavřít fakturu"),
             QStringLiteral("Zavřít fakturu"), 2, QKeySequence(Qt::CTRL | Qt::Key_W));
    Akce_UlozitFakturu =
        make("Akce_UlozitFakturu", QStringLiteral("&Uložit fakturu"),
             QStringLiteral("Uložit fakturu"), 3, QKeySequence(Qt::CTRL | Qt::Key_S));
    Akce_KonecProgramu =
        make("Akce_KonecProgramu", QStringLiteral("&Konec"), QStringLiteral("Konec programu"), 12);
    Akce_TiskFaktury01 = make("Akce_TiskFaktury01", QStringLiteral("&Základní faktura"),
                              QStringLiteral("Základní faktura"), -1);
    Akce_TiskFaktury02 = make("Akce_TiskFaktury02", QStringLiteral("&Proforma faktura"),
                              QStringLiteral("Proforma faktury"), -1);
    Akce_TiskFaktury03 = make("Akce_TiskFaktury03", QStringLiteral("&Daňový doklad"),
                              QStringLiteral("Daňový doklad"), -1);
    Akce_TiskFaktury04 = make("Akce_TiskFaktury04", QStringLiteral("Do&bropis"), none, -1);
    Akce_TiskFaktury06 = make("Akce_TiskFaktury06", QStringLiteral("Dodací &list"),
                              QStringLiteral("Dodací list"), -1);
    Akce_TiskFaktury10 = make("Akce_TiskFaktury10", QStringLiteral("&Cenová nabídka"),
                              QStringLiteral("Cenová nabídka"), -1);
    Akce_TiskFaktury20 = make("Akce_TiskFaktury20", QStringLiteral("Příjmový doklad s &rozpisem"),
                              QStringLiteral("Příjmový doklad s rozpisem"), -1);
    Akce_SestavaPrijmovyDoklad =
        make("Akce_SestavaPrijmovyDoklad", QStringLiteral("Příj&mový doklad"),
             QStringLiteral("Příjmový doklad"), -1);
    Akce_SestavaPrehled = make("Akce_SestavaPrehled", QStringLiteral("&Přehled faktur"),
                               QStringLiteral("Přehled faktur"), -1);
    Akce_EditovatPolozku =
        make("Akce_EditovatPolozku", QStringLiteral("&Editovat aktuální položku"), same, 5,
             QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    Akce_ZkopirovatPolozku = make("Akce_ZkopirovatPolozku", QStringLiteral("&Zkopírovat položku"),
                                  same, 6, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    Akce_VlozitPolozku = make("Akce_VlozitPolozku", QStringLiteral("&Vložit položku"), same, 7,
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    Akce_SmazatPolozku = make("Akce_SmazatPolozku", QStringLiteral("&Smazat aktuální položku"),
                              same, 8, QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    Akce_PolozkaDolu = make("Akce_PolozkaDolu", QStringLiteral("Přesun položky &dolů"), same, 14);
    Akce_PolozkaNahoru =
        make("Akce_PolozkaNahoru", QStringLiteral("Přesun položky &nahoru"), same, 13);
    Akce_ZmenaObdobi = make("Akce_ZmenaObdobi", QStringLiteral("Změna &období"),
                            QStringLiteral("Změna období"), 15);
    Akce_Konfigurace =
        make("Akce_Konfigurace", QStringLiteral("&Konfigurace"), QStringLiteral("Konfigurace"), 10);
    Akce_Napoveda =
        make("Akce_Napoveda", QStringLiteral("&Nápověda"), QStringLiteral("Nápověda"), 11);
    Akce_WebDomu = make("Akce_WebDomu", QStringLiteral("&Domovská stránka"),
                        QStringLiteral("Domovská stránka"), -1);
    Akce_NavodFR =
        make("Akce_NavodFR", QStringLiteral("Do&kumentace k tiskovému modulu (on-line)"), none, -1);
    Akce_OProgramu =
        make("Akce_OProgramu", QStringLiteral("&O programu"), QStringLiteral("O programu"), -1);
}

void THlavni::CreateMenus() {
    HMenu = menuBar();
    HMenu->setObjectName(QStringLiteral("HMenu"));
    auto menu = [this](QWidget* parent, const char* name, const QString& title) {
        auto* m = new QMenu(title, parent);
        m->setObjectName(QLatin1String(name));
        m->setToolTipsVisible(false);
        return m;
    };

    HMenu_Faktura = menu(HMenu, "HMenu_Faktura", QStringLiteral("&Faktura"));
    HMenu_Faktura->addAction(Akce_NovaFaktura);
    HMenu_Faktura->addAction(Akce_OtevritFakturu);
    HMenu_Faktura->addAction(Akce_ZavritFakturu);
    HMenu_Faktura->addSeparator();
    HMenu_Faktura->addAction(Akce_UlozitFakturu);
    HMenu_Faktura->addSeparator();
    HMenu_Tisk = menu(HMenu_Faktura, "HMenu_Tisk", QStringLiteral("Náhled a &tisk faktury"));
    HMenu_Tisk->setIcon(ImageList1.at(4));
    HMenu_Tisk->menuAction()->setObjectName(QStringLiteral("HMenu_Tisk"));
    HMenu_Tisk->addActions({Akce_TiskFaktury01, Akce_TiskFaktury02, Akce_TiskFaktury03,
                            Akce_TiskFaktury06, Akce_TiskFaktury04});
    HMenu_Tisk->addSeparator();
    HMenu_Tisk->addAction(Akce_TiskFaktury10);
    HMenu_Tisk->addSeparator();
    HMenu_Tisk->addActions({Akce_SestavaPrijmovyDoklad, Akce_TiskFaktury20});
    HMenu_Faktura->addMenu(HMenu_Tisk);
    HMenu_Faktura->addSeparator();
    HMenu_Faktura->addAction(Akce_KonecProgramu);
    HMenu->addMenu(HMenu_Faktura);

    HMenu_Polozky = menu(HMenu, "HMenu_Polozky", QStringLiteral("&Položky"));
    HMenu_Polozky->addActions(
        {Akce_EditovatPolozku, Akce_ZkopirovatPolozku, Akce_VlozitPolozku, Akce_SmazatPolozku});
    HMenu_Polozky->addSeparator();
    HMenu_Polozky->addActions({Akce_PolozkaDolu, Akce_PolozkaNahoru});
    HMenu->addMenu(HMenu_Polozky);

    HMenu_Sestavy = menu(HMenu, "HMenu_Sestavy", QStringLiteral("&Sestavy"));
    HMenu_Sestavy->addAction(Akce_SestavaPrehled);
    HMenu->addMenu(HMenu_Sestavy);

    HMenu_Nastroje = menu(HMenu, "HMenu_Nastroje", QStringLiteral("&Nástroje"));
    HMenu_Nastroje->addActions({Akce_ZmenaObdobi, Akce_Konfigurace});
    HMenu->addMenu(HMenu_Nastroje);

    HMenu_Napoveda = menu(HMenu, "HMenu_Napoveda", QStringLiteral("Nápo&věda"));
    HMenu_Napoveda->addActions({Akce_Napoveda, Akce_WebDomu, Akce_NavodFR});
    HMenu_Napoveda->addSeparator();
    HMenu_Napoveda->addAction(Akce_OProgramu);
    HMenu->addMenu(HMenu_Napoveda);

    PMenuTisk = menu(this, "PMenuTisk", QString());
    PMenuTisk->addActions({Akce_TiskFaktury01, Akce_TiskFaktury02, Akce_TiskFaktury03,
                           Akce_TiskFaktury04, Akce_TiskFaktury06});
    PMenuTisk->addSeparator();
    PMenuTisk->addAction(Akce_TiskFaktury10);
    PMenuTisk->addSeparator();
    PMenuTisk->addActions({Akce_SestavaPrijmovyDoklad, Akce_TiskFaktury20});

    PMenuSestavy = menu(this, "PMenuSestavy", QString());
    PMenuSestavy->addAction(Akce_SestavaPrehled);

    PMenu_Rok = menu(this, "PMenu_Rok", QString());
}

void THlavni::CreateToolBar() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    auto button = [this](const char* name, QAction* action) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setFixedSize(23, 22);
        if (action)
            b->setDefaultAction(action);
        ToolBar1->addWidget(b);
        return b;
    };
    TB_KonecProgramu = button("TB_KonecProgramu", Akce_KonecProgramu);
    ToolBar1->addSeparator();
    TB_NovaFaktura = button("TB_NovaFaktura", Akce_NovaFaktura);
    TB_OtevritFakturu = button("TB_OtevritFakturu", Akce_OtevritFakturu);
    TB_ZavritFakturu = button("TB_ZavritFakturu", Akce_ZavritFakturu);
    ToolBar1->addSeparator();
    TB_UlozitFakturu = button("TB_UlozitFakturu", Akce_UlozitFakturu);
    ToolBar1->addSeparator();
    TB_Tisk = button("TB_Tisk", nullptr);
    TB_Tisk->setIcon(ImageList1.at(4));
    TB_Tisk->setToolTip(QStringLiteral("Náhled a tisk faktury"));
    ToolBar1->addSeparator();
    TB_EditovatPolozku = button("TB_EditovatPolozku", Akce_EditovatPolozku);
    TB_ZkopirovatPolozku = button("TB_ZkopirovatPolozku", Akce_ZkopirovatPolozku);
    TB_VlozitPolozku = button("TB_VlozitPolozku", Akce_VlozitPolozku);
    TB_SmazatPolozku = button("TB_SmazatPolozku", Akce_SmazatPolozku);
    ToolBar1->addSeparator();
    TB_PolozkaDolu = button("TB_PolozkaDolu", Akce_PolozkaDolu);
    TB_PolozkaNahoru = button("TB_PolozkaNahoru", Akce_PolozkaNahoru);
    ToolBar1->addSeparator();
    TB_Sestavy = button("TB_Sestavy", nullptr);
    TB_Sestavy->setIcon(ImageList1.at(9));
    TB_Sestavy->setToolTip(QStringLiteral("Sestavy"));
    ToolBar1->addSeparator();
    TB_ZmenaObdobi = button("TB_ZmenaObdobi", Akce_ZmenaObdobi);
    TB_Konfigurace = button("TB_Konfigurace", Akce_Konfigurace);
    ToolBar1->addSeparator();
    TB_Napoveda = button("TB_Napoveda", Akce_Napoveda);
}

// ---- The two pages ---------------------------------------------------------------------------

void THlavni::CreatePage1() {
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Vstupní údaje"));

    const auto right = Qt::AlignRight;
    constexpr int labelX = 4, labelW = 104, editX = 114;
    constexpr int label2X = 432, label2W = 98, edit2X = 536;
    auto rowY = [](int i) { return 20 + i * 26; };
    auto labelY = [](int i) { return 22 + i * 26; };

    // Header of the invoice.
    GroupBox1 = MakeGroup(TabSheet1, "GroupBox1", QStringLiteral("Vstupní údaje"), 6, 4, 737, 156);
    La_Fa1 = MakeLabel(GroupBox1, "La_Fa1", QStringLiteral("Číslo faktury"), labelX, labelY(0),
                       labelW, right);
    La_Fa2 = MakeLabel(GroupBox1, "La_Fa2", QStringLiteral("Konstantní symbol"), labelX, labelY(1),
                       labelW, right);
    La_Fa3 = MakeLabel(GroupBox1, "La_Fa3", QStringLiteral("Objednávka"), labelX, labelY(2), labelW,
                       right);
    La_Fa4 = MakeLabel(GroupBox1, "La_Fa4", QStringLiteral("Příjemce"), labelX, labelY(3), labelW,
                       right);
    La_Fa5 = MakeLabel(GroupBox1, "La_Fa5", QStringLiteral("Místo vyskladnění"), labelX, labelY(4),
                       labelW, right);
    Ed_Fa1 = MakeEdit(GroupBox1, "Ed_Fa1", editX, rowY(0), 121);
    Tl_VybratVzorFaktury = MakeButton(GroupBox1, "Tl_VybratVzorFaktury", QStringLiteral("..."),
                                      editX + 124, rowY(0), 23, kEditHeight);
    Tl_VybratVzorFaktury->setToolTip(QStringLiteral("Vybrat vzor podle existující faktury"));
    Ed_Fa2 = MakeEdit(GroupBox1, "Ed_Fa2", editX, rowY(1), 49);
    Ed_Fa3 = MakeEdit(GroupBox1, "Ed_Fa3", editX, rowY(2), 185);
    Ed_Fa4 = MakeEdit(GroupBox1, "Ed_Fa4", editX, rowY(3), 305);
    Ed_Fa5 = MakeEdit(GroupBox1, "Ed_Fa5", editX, rowY(4), 305);

    La_Fa6 = MakeLabel(GroupBox1, "La_Fa6", QStringLiteral("Forma úhrady"), label2X, labelY(0),
                       label2W, right);
    La_Fa7 = MakeLabel(GroupBox1, "La_Fa7", QStringLiteral("Datum plnění"), label2X, labelY(1),
                       label2W, right);
    La_Fa8 = MakeLabel(GroupBox1, "La_Fa8", QStringLiteral("Datum vystavení"), label2X, labelY(2),
                       label2W, right);
    La_Fa9 = MakeLabel(GroupBox1, "La_Fa9", QStringLiteral("Datum splatnosti"), label2X, labelY(3),
                       label2W, right);
    La_MenaPopiska = MakeLabel(GroupBox1, "La_MenaPopiska", QStringLiteral("Měna"), label2X,
                               labelY(4), label2W, right);
    CBox_Fa6 = new QComboBox(GroupBox1);
    CBox_Fa6->setObjectName(QStringLiteral("CBox_Fa6"));
    CBox_Fa6->setEditable(true);
    CBox_Fa6->setInsertPolicy(QComboBox::NoInsert);
    CBox_Fa6->addItems({QStringLiteral("PP"), QStringLiteral("H")});
    CBox_Fa6->setCurrentIndex(-1);
    CBox_Fa6->setGeometry(edit2X, rowY(0), 105, kEditHeight);
    Datum_Fa7 = MakeDate(GroupBox1, "Datum_Fa7", edit2X, rowY(1));
    Datum_Fa8 = MakeDate(GroupBox1, "Datum_Fa8", edit2X, rowY(2));
    Datum_Fa9 = MakeDate(GroupBox1, "Datum_Fa9", edit2X, rowY(3));
    Ed_Mena = MakeEdit(GroupBox1, "Ed_Mena", edit2X, rowY(4), 49);
    SetTypingLimit(Ed_Mena, 3);

    // The customer.
    GroupBox2 = MakeGroup(TabSheet1, "GroupBox2", QStringLiteral("Odběratel"), 6, 164, 737, 156);
    La_Od1 = MakeLabel(GroupBox2, "La_Od1", QStringLiteral("Kód odběratele"), labelX, labelY(0),
                       labelW, right);
    La_Od2 =
        MakeLabel(GroupBox2, "La_Od2", QStringLiteral("Název 1"), labelX, labelY(1), labelW, right);
    La_Od3 =
        MakeLabel(GroupBox2, "La_Od3", QStringLiteral("Název 2"), labelX, labelY(2), labelW, right);
    Label1 = MakeLabel(GroupBox2, "Label1", QStringLiteral("Odpovědná osoba"), labelX, labelY(3),
                       labelW, right);
    Ed_Od1 = MakeEdit(GroupBox2, "Ed_Od1", editX, rowY(0), 121);
    Tl_VybratOdberatele = MakeButton(GroupBox2, "Tl_VybratOdberatele", QStringLiteral("..."),
                                     editX + 124, rowY(0), 23, kEditHeight);
    Tl_VybratOdberatele->setToolTip(
        QStringLiteral("Přenést údaje odběratele z jiné existující faktury"));
    Ed_Od2 = MakeEdit(GroupBox2, "Ed_Od2", editX, rowY(1), 305);
    Ed_Od3 = MakeEdit(GroupBox2, "Ed_Od3", editX, rowY(2), 305);
    Ed_Od4 = MakeEdit(GroupBox2, "Ed_Od4", editX, rowY(3), 305);
    La_Od5 = MakeLabel(GroupBox2, "La_Od5", QStringLiteral("Ulice, číslo"), label2X, labelY(0),
                       label2W, right);
    La_Od6 =
        MakeLabel(GroupBox2, "La_Od6", QStringLiteral("PSČ"), label2X, labelY(1), label2W, right);
    La_Od7 =
        MakeLabel(GroupBox2, "La_Od7", QStringLiteral("Město"), label2X, labelY(2), label2W, right);
    La_Od8 =
        MakeLabel(GroupBox2, "La_Od8", QStringLiteral("IČ"), label2X, labelY(3), label2W, right);
    La_Od9 =
        MakeLabel(GroupBox2, "La_Od9", QStringLiteral("DIČ"), label2X, labelY(4), label2W, right);
    Ed_Od5 = MakeEdit(GroupBox2, "Ed_Od5", edit2X, rowY(0), 169);
    Ed_Od6 = MakeEdit(GroupBox2, "Ed_Od6", edit2X, rowY(1), 49);
    SetTypingLimit(Ed_Od6, 6);
    Ed_Od7 = MakeEdit(GroupBox2, "Ed_Od7", edit2X, rowY(2), 169);
    Ed_Od8 = MakeEdit(GroupBox2, "Ed_Od8", edit2X, rowY(3), 121);
    Ed_Od9 = MakeEdit(GroupBox2, "Ed_Od9", edit2X, rowY(4), 121);

    // Comments.
    GroupBox3 = MakeGroup(TabSheet1, "GroupBox3", QStringLiteral("Komentáře připojené k faktuře"),
                          6, 324, 737, 100);
    La_Komentar1 = MakeLabel(GroupBox3, "La_Komentar1", QStringLiteral("Komentář 1"), 12, 18, 200);
    Ed_Komentar1 = MakeEdit(GroupBox3, "Ed_Komentar1", 12, 34, 657);
    La_Komentar2 = MakeLabel(GroupBox3, "La_Komentar2", QStringLiteral("Komentář 2"), 12, 57, 200);
    Ed_Komentar2 = MakeEdit(GroupBox3, "Ed_Komentar2", 12, 73, 657);

    // Payment.
    GroupBox4 = MakeGroup(TabSheet1, "GroupBox4", QStringLiteral("Datum úhrady"), 6, 428, 290, 52);
    Ed_DatumUhrady = MakeEdit(GroupBox4, "Ed_DatumUhrady", 10, 21, 113);
    Ed_DatumUhrady->setReadOnly(true);
    Tl_Datum = MakeButton(GroupBox4, "Tl_Datum", QStringLiteral("Datum"), 130, 20, 70, 23);
    Tl_Zrusit = MakeButton(GroupBox4, "Tl_Zrusit", QStringLiteral("Zrušit"), 206, 20, 70, 23);
    GroupBox5 = MakeGroup(TabSheet1, "GroupBox5", QStringLiteral("Úhrada v "), 304, 428, 141, 52);
    Ed_UhrazenaCastka = MakeEdit(GroupBox5, "Ed_UhrazenaCastka", 10, 21, 121);
}

void THlavni::CreatePage2() {
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Položky"));

    constexpr int panelHeight = 61;

    Grid1 = new QTableWidget(kItemRowCount, kItemCellCount, TabSheet2);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Grid1->setWordWrap(false);
    Grid1->setCornerButtonEnabled(false);
    QHeaderView* top = Grid1->horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->setSectionsClickable(false);
    top->setHighlightSections(false);
    top->setFixedHeight(18);
    top->setMinimumSectionSize(8);
    top->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int widths[kItemCellCount] = {83, 395, 43, 60, 80, 37};
    for (int col = 0; col < kItemCellCount; ++col)
        Grid1->setColumnWidth(col, widths[col]);
    QHeaderView* side = Grid1->verticalHeader();
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setDefaultSectionSize(18);
    side->setMinimumSectionSize(18);
    side->setFixedWidth(22);
    side->setSectionsClickable(false);
    side->setHighlightSections(false);
    side->setDefaultAlignment(Qt::AlignCenter);
    for (int row = 0; row < kItemRowCount; ++row)
        for (int col = 0; col < kItemCellCount; ++col)
            Grid1->setItem(row, col, new QTableWidgetItem);
    Grid1->setCurrentCell(0, 0);

    Panel2 = new QFrame(TabSheet2);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::StyledPanel);
    Panel2->setFixedHeight(panelHeight);

    // The grid above, the panel at the bottom, both as wide as the page.
    auto* layout = new QVBoxLayout(TabSheet2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Grid1);
    layout->addWidget(Panel2);

    const auto right = Qt::AlignRight;
    constexpr int captionW = 100, valueW = 96, step = 104, firstX = 112;
    La_AktualPolozka =
        MakeLabel(Panel2, "La_AktualPolozka", QStringLiteral("Aktuální položka"), 8, 22, captionW);
    La_Celkem = MakeLabel(Panel2, "La_Celkem", QStringLiteral("Celkem"), 8, 40, captionW);
    La_Zaklad = MakeLabel(Panel2, "La_Zaklad", QStringLiteral("Základ"), firstX, 4, valueW, right);
    La_DPH1 =
        MakeLabel(Panel2, "La_DPH1", QStringLiteral("DPH 1"), firstX + step, 4, valueW, right);
    La_DPH2 =
        MakeLabel(Panel2, "La_DPH2", QStringLiteral("DPH 2"), firstX + 2 * step, 4, valueW, right);
    La_DPH3 =
        MakeLabel(Panel2, "La_DPH3", QStringLiteral("DPH 3"), firstX + 3 * step, 4, valueW, right);
    La_Uhrnem = MakeLabel(Panel2, "La_Uhrnem", QStringLiteral("Úhrnem"), firstX + 4 * step, 4,
                          valueW, right);
    auto value = [&](const char* name, int col, int y) {
        QLabel* label = MakeLabel(Panel2, name, QString(), firstX + col * step, y, valueW, right);
        SetBold(label);
        return label;
    };
    La_APCelkem = value("La_APCelkem", 0, 22);
    La_APDPH1 = value("La_APDPH1", 1, 22);
    La_APDPH2 = value("La_APDPH2", 2, 22);
    La_APDPH3 = value("La_APDPH3", 3, 22);
    La_CelkemRadek = value("La_CelkemRadek", 4, 22);
    La_SACelkem = value("La_SACelkem", 0, 40);
    La_SADPH1 = value("La_SADPH1", 1, 40);
    La_SADPH2 = value("La_SADPH2", 2, 40);
    La_SADPH3 = value("La_SADPH3", 3, 40);
    La_CelkemFaktura = value("La_CelkemFaktura", 4, 40);
    La_Mena = MakeLabel(Panel2, "La_Mena", QString(), firstX + 4 * step + valueW + 6, 40, 40);
    SetBold(La_Mena);
}

void THlavni::SetTabOrder() {
    const QList<QWidget*> order = {Ed_Fa1,
                                   Tl_VybratVzorFaktury,
                                   Ed_Fa2,
                                   Ed_Fa3,
                                   Ed_Fa4,
                                   Ed_Fa5,
                                   CBox_Fa6,
                                   Datum_Fa7,
                                   Datum_Fa8,
                                   Datum_Fa9,
                                   Ed_Mena,
                                   Ed_Od1,
                                   Tl_VybratOdberatele,
                                   Ed_Od2,
                                   Ed_Od3,
                                   Ed_Od4,
                                   Ed_Od5,
                                   Ed_Od6,
                                   Ed_Od7,
                                   Ed_Od8,
                                   Ed_Od9,
                                   Ed_Komentar1,
                                   Ed_Komentar2,
                                   Ed_DatumUhrady,
                                   Tl_Datum,
                                   Tl_Zrusit,
                                   Ed_UhrazenaCastka};
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// ---- Wiring ----------------------------------------------------------------------------------

void THlavni::ConnectHandlers() {
    auto on = [this](QAction* action, void (THlavni::*handler)()) {
        ConnectGuarded(action, &QAction::triggered, this, handler);
    };
    on(Akce_NovaFaktura, &THlavni::Akce_NovaFakturaExecute);
    on(Akce_OtevritFakturu, &THlavni::Akce_OtevritFakturuExecute);
    on(Akce_ZavritFakturu, &THlavni::Akce_ZavritFakturuExecute);
    on(Akce_UlozitFakturu, &THlavni::Akce_UlozitFakturuExecute);
    on(Akce_KonecProgramu, &THlavni::Akce_KonecProgramuExecute);
    for (QAction* print :
         {Akce_TiskFaktury01, Akce_TiskFaktury02, Akce_TiskFaktury03, Akce_TiskFaktury04,
          Akce_TiskFaktury06, Akce_TiskFaktury10, Akce_TiskFaktury20})
        ConnectGuarded(print, &QAction::triggered, this,
                       [this, print] { Akce_TiskFaktury01Execute(print); });
    on(Akce_SestavaPrijmovyDoklad, &THlavni::Akce_SestavaPrijmovyDokladExecute);
    on(Akce_SestavaPrehled, &THlavni::Akce_SestavaPrehledExecute);
    on(Akce_EditovatPolozku, &THlavni::Akce_EditovatPolozkuExecute);
    on(Akce_ZkopirovatPolozku, &THlavni::Akce_ZkopirovatPolozkuExecute);
    on(Akce_VlozitPolozku, &THlavni::Akce_VlozitPolozkuExecute);
    on(Akce_SmazatPolozku, &THlavni::Akce_SmazatPolozkuExecute);
    on(Akce_PolozkaDolu, &THlavni::Akce_PolozkaDoluExecute);
    on(Akce_PolozkaNahoru, &THlavni::Akce_PolozkaNahoruExecute);
    on(Akce_ZmenaObdobi, &THlavni::Akce_ZmenaObdobiExecute);
    on(Akce_Konfigurace, &THlavni::Akce_KonfiguraceExecute);
    on(Akce_Napoveda, &THlavni::Akce_NapovedaExecute);
    on(Akce_WebDomu, &THlavni::Akce_WebDomuExecute);
    on(Akce_NavodFR, &THlavni::Akce_NavodFRExecute);
    on(Akce_OProgramu, &THlavni::Akce_OProgramuExecute);

    ConnectGuarded(TB_Tisk, &QToolButton::clicked, this, &THlavni::TB_TiskClick);
    ConnectGuarded(TB_Sestavy, &QToolButton::clicked, this, &THlavni::TB_SestavyClick);
    ConnectGuarded(Tl_VybratVzorFaktury, &QPushButton::clicked, this,
                   &THlavni::Tl_VybratVzorFakturyClick);
    ConnectGuarded(Tl_VybratOdberatele, &QPushButton::clicked, this,
                   &THlavni::Tl_VybratOdberateleClick);
    ConnectGuarded(Tl_Datum, &QPushButton::clicked, this, &THlavni::Tl_DatumClick);
    ConnectGuarded(Tl_Zrusit, &QPushButton::clicked, this, &THlavni::Tl_ZrusitClick);
    ConnectGuarded(PageControl1, &QTabWidget::currentChanged, this, &THlavni::PageControl1Change);

    // Grid1Click runs once per click and once per change of the current cell: a press that
    // changes the cell has already run it when the click arrives.
    ConnectGuarded(Grid1, &QTableWidget::currentCellChanged, this, [this] {
        skipNextGridClick_ = QApplication::mouseButtons() != Qt::NoButton;
        Grid1Click();
    });
    ConnectGuarded(Grid1, &QTableWidget::cellClicked, this, [this] {
        if (skipNextGridClick_) {
            skipNextGridClick_ = false;
            return;
        }
        Grid1Click();
    });
    ConnectGuarded(Grid1, &QTableWidget::cellDoubleClicked, this, &THlavni::Grid1DblClick);

    // The shared change handler. The number (Ed_Fa1) and the payment date have none.
    for (QLineEdit* edit :
         {Ed_Fa2, Ed_Fa3, Ed_Fa4, Ed_Fa5, Ed_Mena, Ed_Od1, Ed_Od2, Ed_Od3, Ed_Od4, Ed_Od5, Ed_Od6,
          Ed_Od7, Ed_Od8, Ed_Od9, Ed_Komentar1, Ed_Komentar2, Ed_UhrazenaCastka})
        ConnectGuarded(edit, &QLineEdit::textChanged, this, &THlavni::Ed_Fa2Change);
    ConnectGuarded(CBox_Fa6, &QComboBox::currentTextChanged, this, &THlavni::Ed_Fa2Change);
    for (QDateEdit* date : {Datum_Fa7, Datum_Fa8, Datum_Fa9})
        ConnectGuarded(date, &QDateEdit::dateChanged, this, &THlavni::Ed_Fa2Change);
    MakeTypedDateField(Datum_Fa7, La_Fa7->text());
    MakeTypedDateField(Datum_Fa8, La_Fa8->text());
    MakeTypedDateField(Datum_Fa9, La_Fa9->text());
    LinkDueDate(Datum_Fa8, Datum_Fa9, [this] { return Settings.DobaSplatnosti; });
}

// ---- State -----------------------------------------------------------------------------------

bool THlavni::InvoiceOpen() const {
    return !PageControl1->isHidden();
}

int THlavni::CurrentPage() const {
    return PageControl1->currentIndex();
}

QString THlavni::Cell(int col, int row) const {
    if (row < 1 || col < 1)
        return row == 0 && col >= 1 ? Grid1->horizontalHeaderItem(col - 1)->text()
                                    : (col == 0 && row >= 1 ? QString::number(row) : QString());
    const QTableWidgetItem* item = Grid1->item(row - 1, col - 1);
    return item ? item->text() : QString();
}

void THlavni::SetCell(int col, int row, const QString& text) {
    Q_ASSERT(row >= 1 && row <= kItemRowCount && col >= 1 && col <= kItemCellCount);
    QTableWidgetItem* item = Grid1->item(row - 1, col - 1);
    if (!item) {
        item = new QTableWidgetItem;
        Grid1->setItem(row - 1, col - 1, item);
    }
    item->setText(text);
}

int THlavni::CurrentRow() const {
    return Grid1->currentRow() + 1;
}

void THlavni::SetCurrentRow(int row) {
    const int col = qMax(0, Grid1->currentColumn());
    Grid1->setCurrentCell(row - 1, col);
}

int THlavni::SymbolLengthLimit() const {
    return TypingLimit(Ed_Fa2);
}

void THlavni::UpdateActions() {
    const bool open = InvoiceOpen();
    const bool items = open && CurrentPage() == 1;
    const bool cash = open && CBox_Fa6->currentText() == QStringLiteral("H");

    Akce_NovaFaktura->setEnabled(!open);
    Akce_OtevritFakturu->setEnabled(!open);
    Akce_ZavritFakturu->setEnabled(open);
    Akce_UlozitFakturu->setEnabled(ChangedFlag);
    // The title's "[*]" shows an unsaved invoice.
    setWindowModified(open && ChangedFlag);
    for (QAction* action : {Akce_EditovatPolozku, Akce_ZkopirovatPolozku, Akce_VlozitPolozku,
                            Akce_SmazatPolozku, Akce_PolozkaDolu, Akce_PolozkaNahoru})
        action->setEnabled(items);
    HMenu_Tisk->menuAction()->setEnabled(open);
    TB_Tisk->setEnabled(open);
    for (QAction* action :
         {Akce_TiskFaktury01, Akce_TiskFaktury02, Akce_TiskFaktury06, Akce_TiskFaktury10})
        action->setEnabled(open);
    Akce_TiskFaktury03->setEnabled(open && Settings.Platce);
    if (open)
        Akce_TiskFaktury03->setVisible(Settings.Platce);
    Akce_TiskFaktury20->setEnabled(cash);
    Akce_SestavaPrijmovyDoklad->setEnabled(cash);
    Akce_ZmenaObdobi->setEnabled(!open);
    Akce_Konfigurace->setEnabled(!open);
}

void THlavni::ApplyVatLabels() {
    La_DPH1->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH1));
    La_DPH2->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH2));
    La_DPH3->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH3));
    for (QLabel* label : {La_DPH1, La_DPH2, La_DPH3, La_APDPH1, La_APDPH2, La_APDPH3, La_SADPH1,
                          La_SADPH2, La_SADPH3})
        label->setVisible(Settings.Platce);
}

void THlavni::ApplySymbolType() {
    switch (static_cast<quint8>(Settings.TypSymbolu)) {
    case 0:
        La_Fa2->setText(QStringLiteral("Konstantní symbol"));
        Ed_Fa2->resize(49, Ed_Fa2->height());
        SetTypingLimit(Ed_Fa2, 4);
        break;
    case 1:
        La_Fa2->setText(QStringLiteral("Variabilní symbol"));
        Ed_Fa2->resize(121, Ed_Fa2->height());
        SetTypingLimit(Ed_Fa2, 10);
        break;
    default:
        return;
    }
    La_Fa2->setVisible(true);
    Ed_Fa2->setVisible(true);
    Ed_Fa2->setEnabled(true);
}

// ---- Handlers of the window ------------------------------------------------------------------

void THlavni::Ed_Fa2Change() {
    ChangedFlag = true;
    UpdateActions();
}

bool THlavni::Ed_UhrazenaCastkaKeyPress(const QString& typed) {
    if (typed.isEmpty())
        return true;
    QLineEdit* edit = Ed_UhrazenaCastka;
    const EditFieldState field{edit->text(), edit->cursorPosition(),
                               edit->hasSelectedText() ? edit->selectionStart()
                                                       : edit->cursorPosition(),
                               static_cast<int>(edit->selectedText().size())};
    const KeyFilterResult result = tarvela::Ed_UhrazenaCastkaKeyPress(typed.at(0), field);
    if (result.beep)
        QApplication::beep();
    const bool decimal = typed.at(0) == QLatin1Char(',') || typed.at(0) == QLatin1Char('.');
    if (!decimal)
        return !result.swallowed;
    // The decimal comma: "0," in the empty field, a full stop turned into the comma.
    if (result.text != edit->text()) {
        edit->setText(result.text);
        edit->setCursorPosition(result.cursor);
    }
    return false;
}

bool THlavni::FormKeyPress(int key) {
    if (CurrentPage() != 0 || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return false;
    focusNextChild();
    return true;
}

void THlavni::PageControl1Change() {
    if (CurrentPage() == 1)
        SetTextColour(La_Mena, Ed_Mena->text() == Settings.VychoziMena ? kPurple : kDarkRed);
    UpdateActions();
}

void THlavni::TB_TiskClick() {
    PMenuTisk->popup(TB_Tisk->mapToGlobal(QPoint(5, TB_Tisk->height() + 2)));
}

void THlavni::TB_SestavyClick() {
    PMenuSestavy->popup(TB_Sestavy->mapToGlobal(QPoint(5, TB_Sestavy->height() + 2)));
}

void THlavni::Akce_KonecProgramuExecute() {
    close();
}

void THlavni::FormClose() {
    if (InvoiceOpen())
        Akce_ZavritFakturuExecute();
}

void THlavni::closeEvent(QCloseEvent* event) {
    RunGuarded([this] { FormClose(); });
    // The window closes unless the invoice is still open: the user asked for its edits to be
    // saved and they could not be (no number, a failed write), so they must not be lost.
    if (InvoiceOpen())
        event->ignore();
    else
        event->accept();
}

bool THlavni::eventFilter(QObject* watched, QEvent* event) {
    // The page control fills the client area below the tool bar.
    if (event->type() == QEvent::Resize && watched == centralWidget())
        PageControl1->setGeometry(centralWidget()->rect());
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QMainWindow::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget))
        return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    bool consumed = false;
    RunGuarded([&] {
        // The window sees the key before the focused control.
        consumed = FormKeyPress(key->key());
        if (!consumed && widget == Ed_UhrazenaCastka && key->key() != Qt::Key_Tab &&
            key->key() != Qt::Key_Backtab && !key->text().isEmpty() &&
            !(key->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) &&
            !(key->modifiers().testFlag(Qt::ControlModifier) && key->key() != Qt::Key_V))
            consumed = !Ed_UhrazenaCastkaKeyPress(key->text());
    });
    return consumed || QMainWindow::eventFilter(watched, event);
}

} // namespace tarvela
