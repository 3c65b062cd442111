#include "settings/tkonfig.h"
#include "eet/eet_settings_page.h"
#include "ui_tkonfig.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <iterator>

#include "editor/id_checks.h"
#include "invoice/invoice_store.h"
#include "printing/qr_payment.h"
#include "text/form_font.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

namespace tarvela {

// ---- TUpDown --------------------------------------------------------------------------------

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(80);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    ConnectGuarded(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    ConnectGuarded(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    SetPosition(position_);
}

void TUpDown::SetPosition(int value) {
    position_ = std::clamp(value, min_, max_);
    ShowPosition();
}

void TUpDown::SetBuddy(QLineEdit* edit) {
    if (buddy_)
        buddy_->removeEventFilter(this);
    buddy_ = edit;
    if (buddy_)
        buddy_->installEventFilter(this);
    ShowPosition();
}

void TUpDown::Step(int delta) {
    if (!isEnabled())
        return;
    emit changing(delta);
    SetPosition(position_ + delta);
    emit clicked(delta);
}

void TUpDown::ShowPosition() {
    if (buddy_)
        buddy_->setText(QString::number(position_));
}

void TUpDown::ShowFocus(bool on) {
    // The arrows cannot show the focus; the edit beside them does.
    if (!buddy_)
        return;
    QPalette pal = buddy_->palette();
    if (on) {
        pal.setColor(QPalette::Base, palette().color(QPalette::Highlight));
        pal.setColor(QPalette::Text, palette().color(QPalette::HighlightedText));
        buddy_->setPalette(pal);
    } else {
        buddy_->setPalette(QPalette());
    }
}

void TUpDown::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        Step(+1);
        return;
    }
    if (event->key() == Qt::Key_Down) {
        Step(-1);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TUpDown::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    ShowFocus(true);
}

void TUpDown::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    ShowFocus(false);
}

void TUpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- TKonfig --------------------------------------------------------------------------------

namespace {

// A caption too wide for its place in a wide font is set narrower, not cut off.
void NarrowIfCut(QLabel* label) {
    if (label->sizeHint().width() > label->width()) {
        QFont narrow = label->font();
        narrow.setStretch(QFont::Condensed);
        label->setFont(narrow);
    }
}

} // namespace

TKonfig::TKonfig(const AppSettings& settings, const QString& programFolder, QWidget* parent)
    : QDialog(parent, FixedDialogFlags(true)), ui_(std::make_unique<Ui::TKonfig>()),
      settings_(settings), programFolder_(programFolder) {
    CreateControls();
    ConnectHandlers();
    FormCreate();

    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TKonfig::~TKonfig() = default;

void TKonfig::CreateControls() {
    ui_->setupUi(this);
    ApplyFormFont(this);
    setFixedSize(size());

    // 0 % is a rate too (the third default): a spin from 1 would turn it into 1 % unseen.
    for (TUpDown* spin : {ui_->UpDown_SazbaDPH1, ui_->UpDown_SazbaDPH2, ui_->UpDown_SazbaDPH3})
        spin->SetRange(0, 99);
    ui_->UpDown_SazbaDPH1->SetBuddy(ui_->Ed_SazbaDPH1);
    ui_->UpDown_SazbaDPH2->SetBuddy(ui_->Ed_SazbaDPH2);
    ui_->UpDown_SazbaDPH3->SetBuddy(ui_->Ed_SazbaDPH3);
    // The edit beside it takes the focus and its arrow keys; the arrows themselves need none.
    ui_->DobaSplatnosti->SetRange(0, 90);
    ui_->DobaSplatnosti->SetBuddy(ui_->Text_DobaSplatnosti);
    for (QLabel* label : {ui_->La_SazbaDPH1, ui_->La_SazbaDPH2, ui_->La_SazbaDPH3})
        NarrowIfCut(label);

    // The EET settings: a page of their own, with their own form.
    eetPage_ = new EetSettingsPage(programFolder_, ui_->PageControl1);
    ui_->PageControl1->addTab(eetPage_, QStringLiteral("EET"));

    symbolGroup_ = new QButtonGroup(this);
    symbolGroup_->addButton(ui_->RBox_TypSymbolu0, 0);
    symbolGroup_->addButton(ui_->RBox_TypSymbolu1, 1);

    // The supplier rows: the edits by their names, the captions from the table of the fields.
    for (std::size_t i = 0; i < std::size(kSupplierFields); ++i) {
        const SupplierField& field = kSupplierFields[i];
        supplierEdits_[i] = findChild<QLineEdit*>(QLatin1String(field.editName));
        auto* label = findChild<QLabel*>(QStringLiteral("La_") + QLatin1String(field.editName + 3));
        Q_ASSERT(supplierEdits_[i] && label);
        label->setText(QString::fromUtf8(field.caption));
        NarrowIfCut(label);
    }
}

void TKonfig::ConnectHandlers() {
    ConnectGuarded(ui_->Ok, &QPushButton::clicked, this, &TKonfig::OkClick);
    ConnectGuarded(eetPage_, &EetSettingsPage::edited, this, &TKonfig::Ed_NazevChange);
    ConnectGuarded(ui_->Storno, &QPushButton::clicked, this, &TKonfig::StornoClick);
    ConnectGuarded(ui_->Ed_VychoziMena, &QLineEdit::textChanged, this, &TKonfig::Ed_NazevChange);
    ConnectGuarded(ui_->Ed_PoznamkaOsvobozeni, &QLineEdit::textChanged, this,
                   &TKonfig::Ed_NazevChange);
    for (QLineEdit* edit : supplierEdits_) {
        ConnectGuarded(edit, &QLineEdit::textChanged, this, &TKonfig::Ed_NazevChange);
        edit->installEventFilter(this);
    }
    CheckIdWhenLeft(ui_->Ed_IC, IdKind::IC);
    CheckIdWhenLeft(ui_->Ed_DIC, IdKind::DIC);
    ConnectGuarded(ui_->Platce, &QCheckBox::clicked, this, &TKonfig::PlatceClick);
    for (TUpDown* spin : {ui_->UpDown_SazbaDPH1, ui_->UpDown_SazbaDPH2, ui_->UpDown_SazbaDPH3})
        ConnectGuarded(spin, &TUpDown::clicked, this,
                       [this, spin] { PohyblivaCastCislaClick(spin); });
    ConnectGuarded(ui_->DobaSplatnosti, &TUpDown::changing, this, &TKonfig::DobaSplatnostiChanging);
    // The days keep their own record of being stepped: the change handler is the "changing" one.
    ConnectGuarded(ui_->DobaSplatnosti, &TUpDown::clicked, this, [this] {
        if (!stepped_.contains(ui_->DobaSplatnosti))
            stepped_.append(ui_->DobaSplatnosti);
    });
    ConnectGuarded(symbolGroup_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            RBox_TypSymboluClick();
    });
    // Like a radio group, the symbol type is one stop in the tab order: its selected item.
    ConnectGuarded(symbolGroup_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        symbolGroup_->button(id)->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
}

void TKonfig::FormCreate() {
    ui_->Ed_VychoziMena->setText(settings_.VychoziMena);
    ui_->Platce->setChecked(settings_.Platce);
    ui_->UpDown_SazbaDPH1->SetPosition(settings_.SazbaDPH1);
    ui_->UpDown_SazbaDPH2->SetPosition(settings_.SazbaDPH2);
    ui_->UpDown_SazbaDPH3->SetPosition(settings_.SazbaDPH3);
    ui_->Ed_PoznamkaOsvobozeni->setText(settings_.PoznamkaOsvobozeni);
    EnableRateControls(settings_.Platce);
    ui_->DobaSplatnosti->SetPosition(settings_.DobaSplatnosti);
    const int type = static_cast<int>(settings_.TypSymbolu);
    (type == 0 ? ui_->RBox_TypSymbolu0 : ui_->RBox_TypSymbolu1)->setChecked(true);
    const SupplierData& d = settings_.Dodavatel;
    for (int i = 0; i < 16; ++i)
        supplierEdits_[i]->setText(d.*kSupplierFields[i].member);
    ui_->Ok->setEnabled(false);
    ui_->PageControl1->setCurrentIndex(0);
}

void TKonfig::EnableRateControls(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->Ed_SazbaDPH1, ui_->Ed_SazbaDPH2,
                                                      ui_->Ed_SazbaDPH3, ui_->UpDown_SazbaDPH1,
                                                      ui_->UpDown_SazbaDPH2, ui_->UpDown_SazbaDPH3})
        w->setEnabled(on);
    // The exemption note is printed on a payer's documents only.
    ui_->La_PoznamkaOsvobozeni->setEnabled(on);
    ui_->Ed_PoznamkaOsvobozeni->setEnabled(on);
}

int TKonfig::TypSymboluIndex() const {
    return ui_->RBox_TypSymbolu0->isChecked() ? 0 : 1;
}

void TKonfig::Ed_NazevChange() {
    ui_->Ok->setEnabled(true);
}

bool TKonfig::Ed_NazevKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    focusNextChild();
    return true;
}

void TKonfig::PlatceClick() {
    ui_->Ok->setEnabled(true);
    EnableRateControls(ui_->Platce->isChecked());
}

void TKonfig::PohyblivaCastCislaClick(TUpDown* control) {
    if (control && !stepped_.contains(control))
        stepped_.append(control);
    ui_->Ok->setEnabled(true);
}

void TKonfig::DobaSplatnostiChanging() {
    ui_->Ok->setEnabled(true);
}

void TKonfig::RBox_TypSymboluClick() {
    ui_->Ok->setEnabled(true);
}

void TKonfig::StornoClick() {
    reject();
}

int TKonfig::SpinValue(const TUpDown* control, int original) const {
    return stepped_.contains(control) ? control->Position() : original;
}

void TKonfig::OkClick() {
    AppSettings s = settings_;
    s.VychoziMena = ui_->Ed_VychoziMena->text();
    s.Platce = ui_->Platce->isChecked();
    s.SazbaDPH1 = SpinValue(ui_->UpDown_SazbaDPH1, settings_.SazbaDPH1);
    s.SazbaDPH2 = SpinValue(ui_->UpDown_SazbaDPH2, settings_.SazbaDPH2);
    s.SazbaDPH3 = SpinValue(ui_->UpDown_SazbaDPH3, settings_.SazbaDPH3);
    s.DobaSplatnosti = SpinValue(ui_->DobaSplatnosti, settings_.DobaSplatnosti);
    s.TypSymbolu = static_cast<SymbolType>(TypSymboluIndex());
    s.PoznamkaOsvobozeni = ui_->Ed_PoznamkaOsvobozeni->text();
    for (int i = 0; i < 16; ++i)
        s.Dodavatel.*kSupplierFields[i].member = supplierEdits_[i]->text();

    // A failure here leaves the dialog open with the user's values and the settings unchanged.
    SaveSettings(programFolder_, s);
    eetPage_->save();
    // A payment code needs an IBAN whose check digits agree; the user hears of a wrong one now,
    // not from a document without its code.
    if (!TrimText(s.Dodavatel.IBAN).isEmpty() && !IsValidIban(s.Dodavatel.IBAN))
        ShowWarning(QStringLiteral("Upozornění"),
                    QStringLiteral("IBAN „%1“ není platný (nesouhlasí jeho kontrolní číslice). "
                                   "Dokud jej neopravíte, faktury se tisknou bez QR Platby.")
                        .arg(TrimText(s.Dodavatel.IBAN)));

    settings_ = s;
    saved_ = true;
    emit settingsSaved(settings_);
    // A period folder that cannot be created is reported later by the store.
    InvoiceStore(programFolder_).EnsurePeriodFolder(settings_.AktualniRok);
    accept();
}

bool TKonfig::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit &&
            std::find(supplierEdits_.begin(), supplierEdits_.end(), edit) != supplierEdits_.end()) {
            if (Ed_NazevKeyPress(static_cast<QKeyEvent*>(event)->key()))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TKonfig::ShowPage(int page) {
    ui_->PageControl1->setCurrentIndex(page);
    if (page == 1)
        ui_->Ed_Nazev->setFocus(Qt::OtherFocusReason);
}

} // namespace tarvela
