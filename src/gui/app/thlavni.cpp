#include "app/thlavni.h"
#include "app/invoice_binding.h"
#include "app/item_grid.h"
#include "app/thlavni_ui.h"
#include "editor/date_fields.h"
#include "editor/id_checks.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
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
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/images.h"
#include "eet/eet_service.h"
#include "invoice/invoice_record.h"
#include "invoice/invoice_store.h"
#include "printing/invoice_documents.h"
#include "text/clock.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/key_filters.h"
#include "text/message_boxes.h"
#include "text/sliced_work.h"

namespace tarvela {

namespace {

constexpr int kClientWidth = 759;
constexpr int kClientHeight = 603;
constexpr int kToolBarHeight = 30;

const QColor kTeal(0, 128, 128);
const QColor kPurple(128, 0, 128);
const QColor kDarkRed(172, 0, 0);
const QColor kPeriodBlue(40, 84, 127);

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

// The picture of each action that has one, by its index in ImageList1.
struct ActionImage {
    QAction* THlavniUi::*action;
    int image;
};
constexpr ActionImage kActionImages[] = {
    {&THlavniUi::Akce_NovaFaktura, 0},       {&THlavniUi::Akce_OtevritFakturu, 1},
    {&THlavniUi::Akce_ZavritFakturu, 2},     {&THlavniUi::Akce_UlozitFakturu, 3},
    {&THlavniUi::Akce_KonecProgramu, 12},    {&THlavniUi::Akce_EditovatPolozku, 5},
    {&THlavniUi::Akce_ZkopirovatPolozku, 6}, {&THlavniUi::Akce_VlozitPolozku, 7},
    {&THlavniUi::Akce_SmazatPolozku, 8},     {&THlavniUi::Akce_PolozkaDolu, 14},
    {&THlavniUi::Akce_PolozkaNahoru, 13},    {&THlavniUi::Akce_ZmenaObdobi, 15},
    {&THlavniUi::Akce_Konfigurace, 10},      {&THlavniUi::Akce_Napoveda, 11},
};

// The print actions of the invoice documents and the kind each prints (the action's data).
struct PrintAction {
    QAction* THlavniUi::*action;
    DocumentKind kind;
};
constexpr PrintAction kPrintActions[] = {
    {&THlavniUi::Akce_TiskFaktury01, DocumentKind::Faktura},
    {&THlavniUi::Akce_TiskFaktury02, DocumentKind::ProformaFaktura},
    {&THlavniUi::Akce_TiskFaktury03, DocumentKind::DanovyDoklad},
    {&THlavniUi::Akce_TiskFaktury04, DocumentKind::Dobropis},
    {&THlavniUi::Akce_TiskFaktury06, DocumentKind::DodaciList},
    {&THlavniUi::Akce_TiskFaktury10, DocumentKind::CenovaNabidka},
    {&THlavniUi::Akce_TiskFaktury20, DocumentKind::PrijmovyDokladSRozpisem},
};

// The tool bar from left to right: a button with its action, a button without one (it pops up
// a menu; its picture is given by index), or a separator (no button).
struct ToolBarEntry {
    QToolButton* THlavniUi::*button;
    const char* name;
    QAction* THlavniUi::*action;
    int image;
};
constexpr ToolBarEntry kToolBar[] = {
    {&THlavniUi::TB_KonecProgramu, "TB_KonecProgramu", &THlavniUi::Akce_KonecProgramu, -1},
    {nullptr, nullptr, nullptr, -1},
    {&THlavniUi::TB_NovaFaktura, "TB_NovaFaktura", &THlavniUi::Akce_NovaFaktura, -1},
    {&THlavniUi::TB_OtevritFakturu, "TB_OtevritFakturu", &THlavniUi::Akce_OtevritFakturu, -1},
    {&THlavniUi::TB_ZavritFakturu, "TB_ZavritFakturu", &THlavniUi::Akce_ZavritFakturu, -1},
    {&THlavniUi::TB_KnihaFaktur, "TB_KnihaFaktur", &THlavniUi::Akce_KnihaFaktur, -1},
    {nullptr, nullptr, nullptr, -1},
    {&THlavniUi::TB_UlozitFakturu, "TB_UlozitFakturu", &THlavniUi::Akce_UlozitFakturu, -1},
    {nullptr, nullptr, nullptr, -1},
    {&THlavniUi::TB_Tisk, "TB_Tisk", nullptr, 4},
    {nullptr, nullptr, nullptr, -1},
    {&THlavniUi::TB_EditovatPolozku, "TB_EditovatPolozku", &THlavniUi::Akce_EditovatPolozku, -1},
    {&THlavniUi::TB_ZkopirovatPolozku, "TB_ZkopirovatPolozku", &THlavniUi::Akce_ZkopirovatPolozku,
     -1},
    {&THlavniUi::TB_VlozitPolozku, "TB_VlozitPolozku", &THlavniUi::Akce_VlozitPolozku, -1},
    {&THlavniUi::TB_SmazatPolozku, "TB_SmazatPolozku", &THlavniUi::Akce_SmazatPolozku, -1},
    {nullptr, nullptr, nullptr, -1},
    {&THlavniUi::TB_PolozkaDolu, "TB_PolozkaDolu", &THlavniUi::Akce_PolozkaDolu, -1},
    {&THlavniUi::TB_PolozkaNahoru, "TB_PolozkaNahoru", &THlavniUi::Akce_PolozkaNahoru, -1},
    {nullptr, nullptr, nullptr, -1},
    {&THlavniUi::TB_Sestavy, "TB_Sestavy", nullptr, 9},
    {nullptr, nullptr, nullptr, -1},
    {&THlavniUi::TB_ZmenaObdobi, "TB_ZmenaObdobi", &THlavniUi::Akce_ZmenaObdobi, -1},
    {&THlavniUi::TB_Konfigurace, "TB_Konfigurace", &THlavniUi::Akce_Konfigurace, -1},
    {nullptr, nullptr, nullptr, -1},
    {&THlavniUi::TB_Napoveda, "TB_Napoveda", &THlavniUi::Akce_Napoveda, -1},
};

QMenu* PopUpMenu(QWidget* parent, const char* name, const QList<QAction*>& actions) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(name));
    menu->setToolTipsVisible(false);
    for (QAction* action : actions)
        if (action)
            menu->addAction(action);
        else
            menu->addSeparator();
    return menu;
}

} // namespace

THlavni::THlavni(QWidget* parent)
    : THlavni(QCoreApplication::applicationDirPath(), QLocale::system().decimalPoint(), parent) {}

THlavni::THlavni(const QString& programFolder, const QString& decimalSeparator, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<THlavniUi>()) {
    ProgramFolder = WithTrailingSeparator(programFolder);

    // The window starts at its designed size and may be enlarged or maximised: the pages are
    // laid out, the item grid and the comments grow with it.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    QFont f(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    setFont(f);

    ImageList1 = CreateActionImages();
    ui_->setupUi(this);
    for (QAction* action : findChildren<QAction*>(QRegularExpression(QStringLiteral("^Akce_")),
                                                  Qt::FindDirectChildrenOnly)) {
        ActionList1.append(action);
        addAction(action);
    }
    for (const ActionImage& entry : kActionImages)
        (ui_.get()->*entry.action)->setIcon(ImageList1.at(entry.image));
    ui_->HMenu_Tisk->setIcon(ImageList1.at(4));
    ui_->Akce_KnihaFaktur->setIcon(CreateBookImage(*style()));
    for (const PrintAction& entry : kPrintActions)
        (ui_.get()->*entry.action)->setData(QVariant::fromValue(entry.kind));
    ui_->HMenu_Tisk->menuAction()->setObjectName(QStringLiteral("HMenu_Tisk"));
    CreatePopUpMenus();
    CreateToolBar();

    // The date fields start at today; a few fields take no more than they can hold.
    for (QDateEdit* date : {ui_->Datum_Fa7, ui_->Datum_Fa8, ui_->Datum_Fa9})
        date->setDate(Today());
    SetTypingLimit(ui_->Ed_Mena, 3);
    // The forms of payment show what their codes mean; the file keeps the code.
    ui_->CBox_Fa6->clear();
    ui_->CBox_Fa6->addItem(QStringLiteral("PP – převodem"), QStringLiteral("PP"));
    ui_->CBox_Fa6->addItem(QStringLiteral("H – hotově"), QStringLiteral("H"));
    ui_->CBox_Fa6->setCurrentIndex(-1);
    SetTypingLimit(ui_->Ed_Od6, 6);
    grid_ = std::make_unique<ItemGrid>(ui_->Grid1, Amounts);
    grid_->SetUp();
    ui_->PageControl1->hide();
    // The page control fills the client area below the tool bar; the period label beside it
    // stays where the form puts it.
    auto* clientLayout = new QVBoxLayout(centralWidget());
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->addWidget(ui_->PageControl1);

    SetDesignedSize(menuBar()->sizeHint().height() + kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    overdueScan_ = new SlicedWork(this);
    ConnectHandlers();
    // Key preview: the window sees the keys of its controls before they do (eventFilter).
    qApp->installEventFilter(this);

    FormCreate(decimalSeparator);
}

void THlavni::SetDesignedSize(int height) {
    // The designed size is the smallest: below it the fields of the first page would not fit.
    setMinimumSize(kClientWidth, height);
    resize(qMax(width(), kClientWidth), qMax(this->height(), height));
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
    QString settingsProblem;
    Settings = LoadSettings(ProgramFolder, &settingsProblem);
    if (!settingsProblem.isEmpty())
        ShowWarning(QStringLiteral("Upozornění"),
                    settingsProblem + QStringLiteral("\r\nProgram pracuje s výchozím nastavením."));
    // Nothing of the period is read before the window is shown: its stale temporary files are
    // removed and its overdue invoices counted after (UpdateOverdueNotice).
    InvoiceStore(ProgramFolder).EnsurePeriodFolder(Settings.AktualniRok);

    ApplyVatLabels();
    // EET: a confirmation written into the open invoice's file is shown at once. The payments
    // waiting from the last run are sent once the window is shown (showEvent).
    ConnectGuarded(&EetService::Of(ProgramFolder), &EetService::invoiceChanged, this,
                   [this](const QString& path) { EetWritten(path); });

    for (QLabel* label :
         {ui_->La_APCelkem, ui_->La_APDPH1, ui_->La_APDPH2, ui_->La_APDPH3, ui_->La_CelkemRadek})
        SetTextColour(label, kTeal);
    for (QLabel* label : {ui_->La_SACelkem, ui_->La_SADPH1, ui_->La_SADPH2, ui_->La_SADPH3,
                          ui_->La_CelkemFaktura, ui_->La_Mena})
        SetTextColour(label, kPurple);
    SetTextColour(ui_->La_AktualniRok, kPeriodBlue);

    ApplySymbolType();
    ui_->La_AktualniRok->setText(QStringLiteral("Období: %1").arg(Settings.AktualniRok));

    ui_->Akce_PolozkaDolu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    ui_->Akce_PolozkaNahoru->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));

    ui_->PageControl1->setCurrentIndex(0);
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    // The status bar confirms a save; made at start and added below the client area, so the
    // window's layout never jumps and nothing of the pages is cut off.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    CreateOverdueNotice();
    SetDesignedSize(menuBar()->sizeHint().height() + kClientHeight +
                    statusBar()->sizeHint().height());
    SetModified(false);
    UpdateActions();
}

void THlavni::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownBefore_ || event->spontaneous())
        return;
    shownBefore_ = true;
    RunGuarded([this] { UpdateOverdueNotice(); });
    // The EET service starts after the window has been painted: it may ask for the certificate's
    // password, and its first round sends what waits from the last run.
    QTimer::singleShot(0, this, Guarded([this] { EetService::Of(ProgramFolder).start(); }));
}

// ---- Pop-up menus and tool bar ---------------------------------------------------------------

void THlavni::CreatePopUpMenus() {
    THlavniUi& u = *ui_;
    u.PMenuTisk =
        PopUpMenu(this, "PMenuTisk",
                  {u.Akce_TiskFaktury01, u.Akce_TiskFaktury02, u.Akce_TiskFaktury03,
                   u.Akce_TiskFaktury04, u.Akce_TiskFaktury06, nullptr, u.Akce_TiskFaktury10,
                   nullptr, u.Akce_SestavaPrijmovyDoklad, u.Akce_TiskFaktury20});
    u.PMenuSestavy = PopUpMenu(this, "PMenuSestavy", {u.Akce_SestavaPrehled});
    u.PMenuTisk->addSeparator();
    u.PMenuTisk->addMenu(u.HMenu_Isdoc);
    u.PMenuTisk->addMenu(u.HMenu_Email);
    u.PMenuSestavy->addAction(u.Akce_ExportUcetni);
    u.PMenuSestavy->addAction(u.Akce_PrehledDPH);
    u.PMenu_Rok = PopUpMenu(this, "PMenu_Rok", {});
}

void THlavni::CreateToolBar() {
    QToolBar* bar = new QToolBar(this);
    ui_->ToolBar1 = bar;
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(kToolBarHeight);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, bar);

    for (const ToolBarEntry& entry : kToolBar) {
        if (!entry.button) {
            bar->addSeparator();
            continue;
        }
        auto* button = new QToolButton(bar);
        button->setObjectName(QLatin1String(entry.name));
        button->setAutoRaise(true);
        button->setFixedSize(23, 22);
        if (entry.action)
            button->setDefaultAction(ui_.get()->*entry.action);
        else
            button->setIcon(ImageList1.at(entry.image));
        bar->addWidget(button);
        ui_.get()->*entry.button = button;
    }
    ui_->TB_Tisk->setToolTip(QStringLiteral("Náhled a tisk faktury"));
    ui_->TB_Sestavy->setToolTip(QStringLiteral("Sestavy"));
}

// ---- Wiring ----------------------------------------------------------------------------------

void THlavni::ConnectHandlers() {
    // The actions follow the invoice's edits (Save, and what an unsaved invoice may not do).
    ConnectGuarded(this, &THlavni::modifiedChanged, this, &THlavni::UpdateActions);
    auto on = [this](QAction* action, void (THlavni::*handler)()) {
        ConnectGuarded(action, &QAction::triggered, this, handler);
    };
    on(ui_->Akce_NovaFaktura, &THlavni::Akce_NovaFakturaExecute);
    on(ui_->Akce_OtevritFakturu, &THlavni::Akce_OtevritFakturuExecute);
    on(ui_->Akce_ZavritFakturu, &THlavni::Akce_ZavritFakturuExecute);
    on(ui_->Akce_UlozitFakturu, &THlavni::Akce_UlozitFakturuExecute);
    on(ui_->Akce_KonecProgramu, &THlavni::Akce_KonecProgramuExecute);
    for (const PrintAction& entry : kPrintActions) {
        QAction* print = ui_.get()->*entry.action;
        ConnectGuarded(print, &QAction::triggered, this,
                       [this, print] { Akce_TiskFaktury01Execute(print); });
    }
    on(ui_->Akce_SestavaPrijmovyDoklad, &THlavni::Akce_SestavaPrijmovyDokladExecute);
    on(ui_->Akce_SestavaPrehled, &THlavni::Akce_SestavaPrehledExecute);
    on(ui_->Akce_EditovatPolozku, &THlavni::Akce_EditovatPolozkuExecute);
    on(ui_->Akce_ZkopirovatPolozku, &THlavni::Akce_ZkopirovatPolozkuExecute);
    on(ui_->Akce_VlozitPolozku, &THlavni::Akce_VlozitPolozkuExecute);
    on(ui_->Akce_SmazatPolozku, &THlavni::Akce_SmazatPolozkuExecute);
    on(ui_->Akce_PolozkaDolu, &THlavni::Akce_PolozkaDoluExecute);
    on(ui_->Akce_PolozkaNahoru, &THlavni::Akce_PolozkaNahoruExecute);
    on(ui_->Akce_ZmenaObdobi, &THlavni::Akce_ZmenaObdobiExecute);
    on(ui_->Akce_Konfigurace, &THlavni::Akce_KonfiguraceExecute);
    on(ui_->Akce_EetOdeslane, &THlavni::Akce_EetOdeslaneExecute);
    on(ui_->Akce_Napoveda, &THlavni::Akce_NapovedaExecute);
    on(ui_->Akce_WebDomu, &THlavni::Akce_WebDomuExecute);
    on(ui_->Akce_NavodFR, &THlavni::Akce_NavodFRExecute);
    on(ui_->Akce_OProgramu, &THlavni::Akce_OProgramuExecute);
    ConnectExportHandlers();
    on(ui_->Akce_KnihaFaktur, &THlavni::Akce_KnihaFakturExecute);
    on(ui_->Akce_NacistVypis, &THlavni::Akce_NacistVypisExecute);
    on(ui_->Akce_Odberatele, &THlavni::Akce_OdberateleExecute);

    ConnectGuarded(ui_->TB_Tisk, &QToolButton::clicked, this, &THlavni::TB_TiskClick);
    ConnectGuarded(ui_->TB_Sestavy, &QToolButton::clicked, this, &THlavni::TB_SestavyClick);
    ConnectGuarded(ui_->Tl_VybratVzorFaktury, &QPushButton::clicked, this,
                   &THlavni::Tl_VybratVzorFakturyClick);
    ConnectGuarded(ui_->Tl_VybratOdberatele, &QPushButton::clicked, this,
                   &THlavni::Tl_VybratOdberateleClick);
    connect(ui_->Tl_Odberatele, &QPushButton::clicked, ui_->Akce_Odberatele, &QAction::trigger);
    ConnectGuarded(ui_->Tl_NacistZAres, &QPushButton::clicked, this, &THlavni::Tl_NacistZAresClick);
    ConnectGuarded(ui_->Tl_Datum, &QPushButton::clicked, this, &THlavni::Tl_DatumClick);
    ConnectGuarded(ui_->Tl_Zrusit, &QPushButton::clicked, this, &THlavni::Tl_ZrusitClick);
    ConnectGuarded(ui_->Tl_KurzCNB, &QPushButton::clicked, this, &THlavni::Tl_KurzCNBClick);
    ConnectGuarded(ui_->PageControl1, &QTabWidget::currentChanged, this,
                   &THlavni::PageControl1Change);

    // Grid1Click runs once per click and once per change of the current cell: a press that
    // changes the cell has already run it when the click arrives.
    ConnectGuarded(ui_->Grid1, &QTableWidget::currentCellChanged, this, [this] {
        skipNextGridClick_ = QApplication::mouseButtons() != Qt::NoButton;
        Grid1Click();
    });
    ConnectGuarded(ui_->Grid1, &QTableWidget::cellClicked, this, [this] {
        if (skipNextGridClick_) {
            skipNextGridClick_ = false;
            return;
        }
        Grid1Click();
    });
    ConnectGuarded(ui_->Grid1, &QTableWidget::cellDoubleClicked, this, &THlavni::Grid1DblClick);

    // The shared change handler. The payment date has none (its buttons mark the change); the
    // number marks it when the user edits it (the program sets it on New and Open).
    THlavniUi& u = *ui_;
    ConnectGuarded(u.Ed_Fa1, &QLineEdit::textEdited, this, [this] {
        setWindowTitle(QStringLiteral("Tarvela - ") + ui_->Ed_Fa1->text() + QStringLiteral("[*]"));
        Ed_Fa2Change();
    });
    for (const TextFieldBinding& b : kTextFields) {
        if (b.marksChange)
            ConnectGuarded(u.*b.control, &QLineEdit::textChanged, this, &THlavni::Ed_Fa2Change);
    }
    ConnectGuarded(u.CBox_Fa6, &QComboBox::currentTextChanged, this, &THlavni::Ed_Fa2Change);
    // The form of payment decides the cash receipts and EET, also in an invoice already edited.
    ConnectGuarded(u.CBox_Fa6, &QComboBox::currentTextChanged, this, &THlavni::UpdateActions);
    for (const DateFieldBinding& b : kDateFields) {
        ConnectGuarded(u.*b.control, &QDateEdit::dateChanged, this, &THlavni::Ed_Fa2Change);
        MakeTypedDateField(u.*b.control, (u.*b.caption)->text());
    }
    LinkDueDate(ui_->Datum_Fa8, ui_->Datum_Fa9, [this] { return Settings.DobaSplatnosti; });
    CheckIdWhenLeft(ui_->Ed_Od8, IdKind::IC);
    CheckIdWhenLeft(ui_->Ed_Od9, IdKind::DIC);
}

// ---- State -----------------------------------------------------------------------------------

bool THlavni::InvoiceOpen() const {
    return !ui_->PageControl1->isHidden();
}

int THlavni::CurrentPage() const {
    return ui_->PageControl1->currentIndex();
}

QString THlavni::Cell(int col, int row) const {
    return grid_->Cell(col, row);
}

void THlavni::SetCell(int col, int row, const QString& text) {
    grid_->SetCell(col, row, text);
}

int THlavni::CurrentRow() const {
    return grid_->CurrentRow();
}

void THlavni::SetCurrentRow(int row) {
    grid_->SetCurrentRow(row);
}

int THlavni::SymbolLengthLimit() const {
    return TypingLimit(ui_->Ed_Fa2);
}

void THlavni::UpdateActions() {
    const bool open = InvoiceOpen();
    const bool items = open && CurrentPage() == 1;
    const bool cash = open && PaymentFormCode(ui_->CBox_Fa6) == QStringLiteral("H");

    ui_->Akce_NovaFaktura->setEnabled(!open);
    ui_->Akce_OtevritFakturu->setEnabled(!open);
    ui_->Akce_ZavritFakturu->setEnabled(open);
    ui_->Akce_UlozitFakturu->setEnabled(modified_);
    // The title's "[*]" shows an unsaved invoice.
    setWindowModified(open && modified_);
    for (QAction* action :
         {ui_->Akce_EditovatPolozku, ui_->Akce_ZkopirovatPolozku, ui_->Akce_VlozitPolozku,
          ui_->Akce_SmazatPolozku, ui_->Akce_PolozkaDolu, ui_->Akce_PolozkaNahoru})
        action->setEnabled(items);
    ui_->HMenu_Tisk->menuAction()->setEnabled(open);
    ui_->TB_Tisk->setEnabled(open);
    for (QAction* action : {ui_->Akce_TiskFaktury01, ui_->Akce_TiskFaktury02,
                            ui_->Akce_TiskFaktury06, ui_->Akce_TiskFaktury10})
        action->setEnabled(open);
    ui_->Akce_TiskFaktury03->setEnabled(open && Settings.Platce);
    if (open)
        ui_->Akce_TiskFaktury03->setVisible(Settings.Platce);
    ui_->Akce_TiskFaktury20->setEnabled(cash);
    ui_->Akce_SestavaPrijmovyDoklad->setEnabled(cash);
    ui_->Akce_ZmenaObdobi->setEnabled(!open);
    ui_->Akce_Konfigurace->setEnabled(!open);
    UpdateExportActions();
    ui_->Akce_Odberatele->setEnabled(open);
}

void THlavni::ApplyVatLabels() {
    ui_->La_DPH1->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH1));
    ui_->La_DPH2->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH2));
    ui_->La_DPH3->setText(QStringLiteral("DPH %1%").arg(Settings.SazbaDPH3));
    for (QLabel* label : {ui_->La_DPH1, ui_->La_DPH2, ui_->La_DPH3, ui_->La_APDPH1, ui_->La_APDPH2,
                          ui_->La_APDPH3, ui_->La_SADPH1, ui_->La_SADPH2, ui_->La_SADPH3})
        label->setVisible(Settings.Platce);
}

void THlavni::ApplySymbolType() {
    switch (static_cast<quint8>(Settings.TypSymbolu)) {
    case 0:
        ui_->La_Fa2->setText(QStringLiteral("Konstantní symbol"));
        ui_->Ed_Fa2->resize(49, ui_->Ed_Fa2->height());
        SetTypingLimit(ui_->Ed_Fa2, 4);
        break;
    case 1:
        ui_->La_Fa2->setText(QStringLiteral("Variabilní symbol"));
        ui_->Ed_Fa2->resize(121, ui_->Ed_Fa2->height());
        SetTypingLimit(ui_->Ed_Fa2, 10);
        break;
    default:
        return;
    }
    ui_->La_Fa2->setVisible(true);
    ui_->Ed_Fa2->setVisible(true);
    ui_->Ed_Fa2->setEnabled(true);
}

// ---- Handlers of the window ------------------------------------------------------------------

void THlavni::Ed_Fa2Change() {
    SetModified(true);
}

void THlavni::SetModified(bool modified) {
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

bool THlavni::Ed_UhrazenaCastkaKeyPress(const QString& typed) {
    if (typed.isEmpty())
        return true;
    // Control characters (Escape, Delete, ...) are the field's own business, except backspace
    // and Ctrl+V, which the filter decides.
    const QChar first = typed.at(0);
    if ((first.unicode() < 32 && first != kBackspaceChar && first != kCtrlVChar) ||
        first.unicode() == 127)
        return true;
    QLineEdit* edit = ui_->Ed_UhrazenaCastka;
    const EditFieldState field{edit->text(), edit->cursorPosition(),
                               edit->hasSelectedText() ? edit->selectionStart()
                                                       : edit->cursorPosition(),
                               static_cast<int>(edit->selectedText().size())};
    std::optional<QString> clipboard;
    if (typed.at(0) == kCtrlVChar) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data && data->hasText())
            clipboard = data->text();
    }
    const KeyFilterResult result = tarvela::Ed_UhrazenaCastkaKeyPress(
        typed.at(0), field, clipboard, ui_->GroupBox5->title().trimmed());
    if (result.beep)
        QApplication::beep();
    const bool decimal = typed.at(0) == QLatin1Char(',') || typed.at(0) == QLatin1Char('.');
    if (!decimal && !result.swallowed)
        return true;
    // The decimal comma ("0," in the empty field, a full stop turned into the comma), a paste,
    // or a refused key with its message.
    if (result.text != edit->text()) {
        edit->setText(result.text);
        edit->setCursorPosition(result.cursor);
    }
    if (!result.message.isEmpty())
        ShowInfo(result.message);
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
        SetTextColour(ui_->La_Mena,
                      ui_->Ed_Mena->text() == Settings.VychoziMena ? kPurple : kDarkRed);
    UpdateActions();
}

void THlavni::TB_TiskClick() {
    ui_->PMenuTisk->popup(ui_->TB_Tisk->mapToGlobal(QPoint(5, ui_->TB_Tisk->height() + 2)));
}

void THlavni::TB_SestavyClick() {
    ui_->PMenuSestavy->popup(
        ui_->TB_Sestavy->mapToGlobal(QPoint(5, ui_->TB_Sestavy->height() + 2)));
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
        // Enter on a row of the item grid edits it, as a double click does.
        if (!consumed && (widget == ui_->Grid1 || ui_->Grid1->isAncestorOf(widget)) &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            Grid1DblClick();
            consumed = true;
        }
        if (!consumed && widget == ui_->Ed_UhrazenaCastka && key->key() != Qt::Key_Tab &&
            key->key() != Qt::Key_Backtab && !key->text().isEmpty() &&
            !(key->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) &&
            !(key->modifiers().testFlag(Qt::ControlModifier) && key->key() != Qt::Key_V))
            consumed = !Ed_UhrazenaCastkaKeyPress(key->text());
    });
    return consumed || QMainWindow::eventFilter(watched, event);
}

} // namespace tarvela
