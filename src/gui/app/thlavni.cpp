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
#include "app/invoice_editor.h"
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
// The window's usual height with its menu bar and status bar, for the frame shown before the
// form is made.
constexpr int kFrameHeight = kClientHeight + 40;
constexpr int kToolBarHeight = 30;

const QColor kPeriodBlue(40, 84, 127);

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

// The picture of each action that has one, by its index in the action images (images.h).
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

THlavni::THlavni(Making making, QWidget* parent)
    : THlavni(QCoreApplication::applicationDirPath(), QLocale::system().decimalPoint(), making,
              parent) {}

THlavni::THlavni(const QString& programFolder, const QString& decimalSeparator, Making making,
                 QWidget* parent)
    : QMainWindow(parent), programFolder_(WithTrailingSeparator(programFolder)) {
    // The window starts at its designed size and may be enlarged or maximised: the pages are
    // laid out, the item grid and the comments grow with it.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    QFont f(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    setFont(f);
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    FormCreate(decimalSeparator);
    if (making == Making::Whole) {
        MakeForm();
    } else {
        // Nothing measures a text before the form is made (that loads the fonts): the frame
        // takes the form's usual size, which MakeForm corrects before anything is painted.
        resize(kClientWidth, kFrameHeight);
        CentreOnScreen();
    }
}

void THlavni::MakeForm() {
    if (ui_)
        return;
    ui_ = std::make_unique<THlavniUi>();
    imageList_ = CreateActionImages();
    ui_->setupUi(this);
    for (QAction* action : findChildren<QAction*>(QRegularExpression(QStringLiteral("^Akce_")),
                                                  Qt::FindDirectChildrenOnly)) {
        actionList_.append(action);
        addAction(action);
    }
    for (const ActionImage& entry : kActionImages)
        (ui_.get()->*entry.action)->setIcon(imageList_.at(entry.image));
    ui_->HMenu_Tisk->setIcon(imageList_.at(4));
    ui_->Akce_KnihaFaktur->setIcon(CreateBookImage(*style()));
    for (const PrintAction& entry : kPrintActions)
        (ui_.get()->*entry.action)->setData(QVariant::fromValue(entry.kind));
    ui_->HMenu_Tisk->menuAction()->setObjectName(QStringLiteral("HMenu_Tisk"));
    CreatePopUpMenus();
    CreateToolBar();

    SetDesignedSize(menuBar()->sizeHint().height() + kClientHeight);
    CentreOnScreen();

    overdueScan_ = new SlicedWork(this);
    ConnectHandlers();
    // Key preview: the window sees the keys of its controls before they do (eventFilter).
    qApp->installEventFilter(this);

    CreateEditor();
    // EET: a confirmation written into the open invoice's file is shown at once. The payments
    // waiting from the last run are sent once the window is shown (showEvent).
    ConnectGuarded(&EetService::Of(programFolder_), &EetService::invoiceChanged, this,
                   [this](const QString& path) { EetWritten(path); });

    SetTextColour(ui_->La_AktualniRok, kPeriodBlue);
    ui_->La_AktualniRok->setText(QStringLiteral("Období: %1").arg(settings_.AktualniRok));

    ui_->Akce_PolozkaDolu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    ui_->Akce_PolozkaNahoru->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));

    // The status bar confirms a save; made at start and added below the client area, so the
    // window's layout never jumps and nothing of the pages is cut off.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    CreateOverdueNotice();
    SetDesignedSize(menuBar()->sizeHint().height() + kClientHeight +
                    statusBar()->sizeHint().height());
    UpdateActions();
    if (isVisible())
        FirstShown();
}

void THlavni::CentreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
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
        terminateRequested_ = true;
    }

    firstStart_ = !QFileInfo::exists(SettingsFilePath(programFolder_));
    QString settingsProblem;
    settings_ = LoadSettings(programFolder_, &settingsProblem);
    if (!settingsProblem.isEmpty())
        ShowWarning(QStringLiteral("Upozornění"),
                    settingsProblem + QStringLiteral("\r\nProgram pracuje s výchozím nastavením."));
    // Nothing of the period is read before the window is shown: its stale temporary files are
    // removed and its overdue invoices counted after (UpdateOverdueNotice).
    InvoiceStore(programFolder_).EnsurePeriodFolder(settings_.AktualniRok);
}

void THlavni::CreateEditor() {
    editor_ = new InvoiceEditor(programFolder_, settings_, centralWidget());
    editor_->setObjectName(QStringLiteral("Editor"));
    editor_->hide();
    // The editor fills the client area below the tool bar; the period label beside it stays
    // where the form puts it.
    auto* clientLayout = new QVBoxLayout(centralWidget());
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->addWidget(editor_);

    // The actions follow the invoice's edits (Save, and what an unsaved invoice may not do),
    // its page and its form of payment.
    ConnectGuarded(editor_, &InvoiceEditor::modifiedChanged, this, &THlavni::UpdateActions);
    ConnectGuarded(editor_, &InvoiceEditor::pageChanged, this, &THlavni::UpdateActions);
    ConnectGuarded(editor_, &InvoiceEditor::paymentFormChanged, this, &THlavni::UpdateActions);
    ConnectGuarded(editor_, &InvoiceEditor::numberEdited, this,
                   [this](const QString& number) { SetCaption(number); });
    connect(editor_, &InvoiceEditor::customersRequested, ui_->Akce_Odberatele, &QAction::trigger);
    ConnectGuarded(editor_, &InvoiceEditor::itemEditRequested, this, [this] {
        if (ui_->Akce_EditovatPolozku->isEnabled())
            ui_->Akce_EditovatPolozku->trigger();
    });
    ConnectGuarded(
        editor_, &InvoiceEditor::statusMessage, this,
        [this](const QString& text, int timeout) { statusBar()->showMessage(text, timeout); });
}

void THlavni::SetCaption(const QString& number) {
    setWindowTitle(number.isNull() ? QString::fromLatin1(kApplicationTitle)
                                   : QStringLiteral("Tarvela - ") + number + QStringLiteral("[*]"));
}

void THlavni::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window shown before its form is made (Making::FrameFirst) starts with MakeForm.
    if (!event->spontaneous() && ui_)
        FirstShown();
}

void THlavni::FirstShown() {
    if (shownBefore_)
        return;
    shownBefore_ = true;
    RunGuarded([this] { UpdateOverdueNotice(); });
    // The EET service starts after the window has been painted: it may ask for the certificate's
    // password, and its first round sends what waits from the last run.
    QTimer::singleShot(0, this, Guarded([this] { EetService::Of(programFolder_).start(); }));
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
            button->setIcon(imageList_.at(entry.image));
        bar->addWidget(button);
        ui_.get()->*entry.button = button;
    }
    ui_->TB_Tisk->setToolTip(QStringLiteral("Náhled a tisk faktury"));
    ui_->TB_Sestavy->setToolTip(QStringLiteral("Sestavy"));
}

// ---- Wiring ----------------------------------------------------------------------------------

void THlavni::ConnectHandlers() {
    auto on = [this](QAction* action, void (THlavni::*handler)()) {
        ConnectGuarded(action, &QAction::triggered, this, handler);
    };
    on(ui_->Akce_NovaFaktura, &THlavni::Akce_NovaFakturaExecute);
    on(ui_->Akce_OtevritFakturu, &THlavni::Akce_OtevritFakturuExecute);
    on(ui_->Akce_ZavritFakturu, &THlavni::Akce_ZavritFakturuExecute);
    on(ui_->Akce_UlozitFakturu, &THlavni::Akce_UlozitFakturuExecute);
    ConnectGuarded(ui_->Akce_KonecProgramu, &QAction::triggered, this, [this] { close(); });
    for (const PrintAction& entry : kPrintActions) {
        QAction* print = ui_.get()->*entry.action;
        ConnectGuarded(print, &QAction::triggered, this,
                       [this, print] { Akce_TiskFaktury01Execute(print); });
    }
    on(ui_->Akce_SestavaPrijmovyDoklad, &THlavni::Akce_SestavaPrijmovyDokladExecute);
    on(ui_->Akce_SestavaPrehled, &THlavni::Akce_SestavaPrehledExecute);
    // The item actions work on the editor's current row.
    auto onItem = [this](QAction* action, void (InvoiceEditor::*handler)()) {
        ConnectGuarded(action, &QAction::triggered, this,
                       [this, handler] { (editor_->*handler)(); });
    };
    onItem(ui_->Akce_EditovatPolozku, &InvoiceEditor::EditItem);
    onItem(ui_->Akce_ZkopirovatPolozku, &InvoiceEditor::CopyItem);
    onItem(ui_->Akce_VlozitPolozku, &InvoiceEditor::PasteItem);
    onItem(ui_->Akce_SmazatPolozku, &InvoiceEditor::DeleteItem);
    onItem(ui_->Akce_PolozkaDolu, &InvoiceEditor::MoveItemDown);
    onItem(ui_->Akce_PolozkaNahoru, &InvoiceEditor::MoveItemUp);
    on(ui_->Akce_ZmenaObdobi, &THlavni::Akce_ZmenaObdobiExecute);
    ConnectGuarded(ui_->Akce_Konfigurace, &QAction::triggered, this, [this] { OpenSettings(0); });
    on(ui_->Akce_EetOdeslane, &THlavni::Akce_EetOdeslaneExecute);
    on(ui_->Akce_Napoveda, &THlavni::Akce_NapovedaExecute);
    on(ui_->Akce_WebDomu, &THlavni::Akce_WebDomuExecute);
    on(ui_->Akce_NavodFR, &THlavni::Akce_NavodFRExecute);
    on(ui_->Akce_OProgramu, &THlavni::Akce_OProgramuExecute);
    ConnectExportHandlers();
    ConnectGuarded(ui_->Akce_KnihaFaktur, &QAction::triggered, this,
                   [this] { ShowBook(StatusFilter::All); });
    on(ui_->Akce_NacistVypis, &THlavni::Akce_NacistVypisExecute);
    on(ui_->Akce_Odberatele, &THlavni::Akce_OdberateleExecute);

    ConnectGuarded(ui_->TB_Tisk, &QToolButton::clicked, this, &THlavni::TB_TiskClick);
    ConnectGuarded(ui_->TB_Sestavy, &QToolButton::clicked, this, &THlavni::TB_SestavyClick);
}

// ---- State -----------------------------------------------------------------------------------

bool THlavni::InvoiceOpen() const {
    return !editor_->isHidden();
}

bool THlavni::IsModified() const {
    return editor_->IsModified();
}

InvoiceRecord THlavni::WindowRecord() const {
    return editor_->Record();
}

void THlavni::UpdateActions() {
    const bool open = InvoiceOpen();
    const bool items = open && editor_->CurrentPage() == 1;
    const bool cash = open && editor_->IsCash();
    const bool modified = editor_->IsModified();

    ui_->Akce_NovaFaktura->setEnabled(!open);
    ui_->Akce_OtevritFakturu->setEnabled(!open);
    ui_->Akce_ZavritFakturu->setEnabled(open);
    ui_->Akce_UlozitFakturu->setEnabled(modified);
    // The title's "[*]" shows an unsaved invoice.
    setWindowModified(open && modified);
    for (QAction* action :
         {ui_->Akce_EditovatPolozku, ui_->Akce_ZkopirovatPolozku, ui_->Akce_VlozitPolozku,
          ui_->Akce_SmazatPolozku, ui_->Akce_PolozkaDolu, ui_->Akce_PolozkaNahoru})
        action->setEnabled(items);
    ui_->HMenu_Tisk->menuAction()->setEnabled(open);
    ui_->TB_Tisk->setEnabled(open);
    for (QAction* action : {ui_->Akce_TiskFaktury01, ui_->Akce_TiskFaktury02,
                            ui_->Akce_TiskFaktury06, ui_->Akce_TiskFaktury10})
        action->setEnabled(open);
    ui_->Akce_TiskFaktury03->setEnabled(open && settings_.Platce);
    if (open)
        ui_->Akce_TiskFaktury03->setVisible(settings_.Platce);
    ui_->Akce_TiskFaktury20->setEnabled(cash);
    ui_->Akce_SestavaPrijmovyDoklad->setEnabled(cash);
    ui_->Akce_ZmenaObdobi->setEnabled(!open);
    ui_->Akce_Konfigurace->setEnabled(!open);
    UpdateExportActions();
    ui_->Akce_Odberatele->setEnabled(open);
}

// ---- Handlers of the window ------------------------------------------------------------------

bool THlavni::FormKeyPress(int key) {
    if (editor_->CurrentPage() != 0 || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return false;
    focusNextChild();
    return true;
}

void THlavni::TB_TiskClick() {
    ui_->PMenuTisk->popup(ui_->TB_Tisk->mapToGlobal(QPoint(5, ui_->TB_Tisk->height() + 2)));
}

void THlavni::TB_SestavyClick() {
    ui_->PMenuSestavy->popup(
        ui_->TB_Sestavy->mapToGlobal(QPoint(5, ui_->TB_Sestavy->height() + 2)));
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
        if (!consumed)
            consumed = editor_->KeyPreview(widget, *key);
    });
    return consumed || QMainWindow::eventFilter(watched, event);
}

} // namespace tarvela
