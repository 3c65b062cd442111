#include "settings/tkonfig.h"

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

#include "invoice/invoice_store.h"
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
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
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

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  int width = -1) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    if (width < 0) {
        label->move(left, top);
        label->adjustSize();
    } else {
        label->setGeometry(left, top, width, 15);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // A caption too wide for its place in a wide font is set narrower, not cut off.
        if (label->sizeHint().width() > width) {
            QFont narrow = label->font();
            narrow.setStretch(QFont::Condensed);
            label->setFont(narrow);
        }
    }
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int left, int top, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(left, top, width, 21);
    return edit;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title, int top, int height) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(8, top, 409, height);
    return box;
}

// One rate row of the VAT group: label, read-only edit and its spin control.
void MakeRateRow(QWidget* box, int row, QLabel*& label, QLineEdit*& edit, TUpDown*& spin) {
    const int top = 48 + 32 * row;
    const QByteArray n = QByteArray::number(row + 1);
    label = MakeLabel(box, QByteArray("La_SazbaDPH" + n).constData(),
                      QStringLiteral("Sazba DPH %1 (v %)").arg(row + 1), 80, top + 4, 113);
    edit = MakeEdit(box, QByteArray("Ed_SazbaDPH" + n).constData(), 208, top, 49);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    spin = new TUpDown(box);
    spin->setObjectName(QString::fromLatin1("UpDown_SazbaDPH" + n));
    spin->setGeometry(257, top, 16, 21);
    spin->SetRange(1, 99);
    spin->SetBuddy(edit);
}

// An item of the symbol-type group: a click anywhere on its row selects it.
class RadioItem : public QRadioButton {
public:
    RadioItem(const QString& text, QWidget* parent) : QRadioButton(text, parent) {}

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

struct SupplierRow {
    const char* edit;
    const char* label;
    const char* caption;
    int width;
    QString SupplierData::*field;
};

const SupplierRow kSupplierRows[16] = {
    {"Ed_Nazev", "La_Nazev", "Název", 305, &SupplierData::Nazev},
    {"Ed_Jmeno", "La_Jmeno", "Jméno", 305, &SupplierData::Jmeno},
    {"Ed_Ulice", "La_Ulice", "Ulice, číslo", 305, &SupplierData::Ulice},
    {"Ed_Mesto", "La_Mesto", "Město", 305, &SupplierData::Mesto},
    {"Ed_IC", "La_IC", "IČO", 129, &SupplierData::ICO},
    {"Ed_DIC", "La_DIC", "DIČ", 129, &SupplierData::DIC},
    {"Ed_Registrace", "La_Registrace", "Registrace", 305, &SupplierData::Registrace},
    {"Ed_Banka", "La_Banka", "Peněžní ústav", 225, &SupplierData::Banka},
    {"Ed_Ucet", "La_Ucet", "Číslo účtu", 129, &SupplierData::Ucet},
    {"Ed_IBAN", "La_IBAN", "IBAN", 305, &SupplierData::IBAN},
    {"Ed_BIC", "La_BIC", "BIC (SWIFT)", 129, &SupplierData::BIC},
    {"Ed_Telefon", "La_Telefon", "Telefon", 129, &SupplierData::Tel},
    {"Ed_Fax", "La_Fax", "Fax", 129, &SupplierData::Fax},
    {"Ed_Email", "La_Email", "E-mail", 225, &SupplierData::Email},
    {"Ed_WWW", "La_WWW", "WWW", 225, &SupplierData::WWW},
    {"Ed_Osoba", "La_Osoba", "Odpovědná osoba", 225, &SupplierData::Osoba},
};

} // namespace

TKonfig::TKonfig(const AppSettings& settings, const QString& programFolder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      settings_(settings), programFolder_(programFolder) {
    setObjectName(QStringLiteral("Konfigurace"));
    setWindowTitle(QStringLiteral("Konfigurace"));
    QFont f(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    setFont(f);
    setFixedSize(448, 483);

    Ok = new QPushButton(QStringLiteral("Ok"), this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Ok->setGeometry(256, 448, 75, 25);
    Ok->setAutoDefault(false); // Enter in a field never presses it
    Storno = new QPushButton(QStringLiteral("Storno"), this);
    Storno->setObjectName(QStringLiteral("Storno"));
    Storno->setGeometry(336, 448, 75, 25);
    Storno->setAutoDefault(false);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 8, 433, 425);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Obecné"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Údaje dodavatele"));

    CreatePage1();
    CreatePage2();
    SetTabOrder();
    ConnectHandlers();
    FormCreate();

    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TKonfig::CreatePage1() {
    GBox_Mena = MakeGroup(TabSheet1, "GBox_Mena", QStringLiteral("Výchozí označení měny"), 8, 57);
    Ed_VychoziMena = MakeEdit(GBox_Mena, "Ed_VychoziMena", 24, 24, 57);
    Ed_VychoziMena->setMaxLength(3);
    La_KodMeny = MakeLabel(GBox_Mena, "La_KodMeny",
                           QStringLiteral("Kód měny (např. CZK, EUR, GBP, USD ... )"), 96, 27);

    GBox_DPH = MakeGroup(TabSheet1, "GBox_DPH", QStringLiteral("Daň z přidané hodnoty"), 72, 145);
    Platce = new QCheckBox(QStringLiteral("Plátce DPH"), GBox_DPH);
    Platce->setObjectName(QStringLiteral("Platce"));
    Platce->setGeometry(24, 24, 97, 17);
    MakeRateRow(GBox_DPH, 0, La_SazbaDPH1, Ed_SazbaDPH1, UpDown_SazbaDPH1);
    MakeRateRow(GBox_DPH, 1, La_SazbaDPH2, Ed_SazbaDPH2, UpDown_SazbaDPH2);
    MakeRateRow(GBox_DPH, 2, La_SazbaDPH3, Ed_SazbaDPH3, UpDown_SazbaDPH3);

    GBox_VychoziSplatnost = MakeGroup(TabSheet1, "GBox_VychoziSplatnost",
                                      QStringLiteral("Výchozí doba splatnosti"), 224, 57);
    Text_DobaSplatnosti = MakeEdit(GBox_VychoziSplatnost, "Text_DobaSplatnosti", 24, 24, 57);
    Text_DobaSplatnosti->setReadOnly(true);
    DobaSplatnosti = new TUpDown(GBox_VychoziSplatnost);
    DobaSplatnosti->setObjectName(QStringLiteral("DobaSplatnosti"));
    DobaSplatnosti->setGeometry(81, 24, 16, 21);
    // The edit beside it takes the focus and its arrow keys; the arrows themselves need none.
    DobaSplatnosti->setFocusPolicy(Qt::NoFocus);
    DobaSplatnosti->SetRange(0, 90);
    DobaSplatnosti->SetBuddy(Text_DobaSplatnosti);

    RBox_TypSymbolu = MakeGroup(TabSheet1, "RBox_TypSymbolu",
                                QStringLiteral("Typ symbolu v hlavičce faktury"), 288, 57);
    RBox_TypSymbolu0 = new RadioItem(QStringLiteral("Konstantní symbol"), RBox_TypSymbolu);
    RBox_TypSymbolu0->setObjectName(QStringLiteral("RBox_TypSymbolu0"));
    RBox_TypSymbolu0->setGeometry(8, 19, 393, 17);
    RBox_TypSymbolu1 = new RadioItem(QStringLiteral("Variabilní symbol"), RBox_TypSymbolu);
    RBox_TypSymbolu1->setObjectName(QStringLiteral("RBox_TypSymbolu1"));
    RBox_TypSymbolu1->setGeometry(8, 37, 393, 17);
    RBox_TypSymbolu0->setFocusPolicy(Qt::ClickFocus); // the selected item takes the tab stop
    RBox_TypSymbolu1->setFocusPolicy(Qt::ClickFocus);
    symbolGroup_ = new QButtonGroup(this);
    symbolGroup_->addButton(RBox_TypSymbolu0, 0);
    symbolGroup_->addButton(RBox_TypSymbolu1, 1);
}

void TKonfig::CreatePage2() {
    QLineEdit** targets[16] = {&Ed_Nazev, &Ed_Jmeno, &Ed_Ulice,      &Ed_Mesto,
                               &Ed_IC,    &Ed_DIC,   &Ed_Registrace, &Ed_Banka,
                               &Ed_Ucet,  &Ed_IBAN,  &Ed_BIC,        &Ed_Telefon,
                               &Ed_Fax,   &Ed_Email, &Ed_WWW,        &Ed_Osoba};
    for (int i = 0; i < 16; ++i) {
        const SupplierRow& row = kSupplierRows[i];
        const int top = 8 + 24 * i;
        MakeLabel(TabSheet2, row.label, QString::fromUtf8(row.caption), 8, top + 4, 97);
        QLineEdit* edit = MakeEdit(TabSheet2, row.edit, 112, top, row.width);
        *targets[i] = edit;
        SupplierEdits[i] = edit;
    }
}

void TKonfig::SetTabOrder() {
    QList<QWidget*> chain = {Ok,
                             Storno,
                             PageControl1,
                             Ed_VychoziMena,
                             Platce,
                             UpDown_SazbaDPH1,
                             UpDown_SazbaDPH2,
                             UpDown_SazbaDPH3,
                             Text_DobaSplatnosti,
                             RBox_TypSymbolu0,
                             RBox_TypSymbolu1};
    for (QLineEdit* edit : SupplierEdits)
        chain.append(edit);
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TKonfig::ConnectHandlers() {
    ConnectGuarded(Ok, &QPushButton::clicked, this, &TKonfig::OkClick);
    ConnectGuarded(Storno, &QPushButton::clicked, this, &TKonfig::StornoClick);
    ConnectGuarded(Ed_VychoziMena, &QLineEdit::textChanged, this, &TKonfig::Ed_NazevChange);
    for (QLineEdit* edit : SupplierEdits) {
        ConnectGuarded(edit, &QLineEdit::textChanged, this, &TKonfig::Ed_NazevChange);
        edit->installEventFilter(this);
    }
    ConnectGuarded(Platce, &QCheckBox::clicked, this, &TKonfig::PlatceClick);
    for (TUpDown* spin : {UpDown_SazbaDPH1, UpDown_SazbaDPH2, UpDown_SazbaDPH3})
        ConnectGuarded(spin, &TUpDown::clicked, this,
                       [this, spin] { PohyblivaCastCislaClick(spin); });
    ConnectGuarded(DobaSplatnosti, &TUpDown::changing, this, &TKonfig::DobaSplatnostiChanging);
    // The days keep their own record of being stepped: the change handler is the "changing" one.
    connect(DobaSplatnosti, &TUpDown::clicked, this, [this] {
        if (!stepped_.contains(DobaSplatnosti))
            stepped_.append(DobaSplatnosti);
    });
    ConnectGuarded(symbolGroup_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            RBox_TypSymboluClick();
    });
    // Like a radio group, the symbol type is one stop in the tab order: its selected item.
    connect(symbolGroup_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        symbolGroup_->button(id)->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
}

void TKonfig::FormCreate() {
    Ed_VychoziMena->setText(settings_.VychoziMena);
    Platce->setChecked(settings_.Platce);
    UpDown_SazbaDPH1->SetPosition(settings_.SazbaDPH1);
    UpDown_SazbaDPH2->SetPosition(settings_.SazbaDPH2);
    UpDown_SazbaDPH3->SetPosition(settings_.SazbaDPH3);
    EnableRateControls(settings_.Platce);
    DobaSplatnosti->SetPosition(settings_.DobaSplatnosti);
    const int type = static_cast<int>(settings_.TypSymbolu);
    (type == 0 ? RBox_TypSymbolu0 : RBox_TypSymbolu1)->setChecked(true);
    const SupplierData& d = settings_.Dodavatel;
    for (int i = 0; i < 16; ++i)
        SupplierEdits[i]->setText(d.*kSupplierRows[i].field);
    Ok->setEnabled(false);
    PageControl1->setCurrentIndex(0);
}

void TKonfig::EnableRateControls(bool on) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{Ed_SazbaDPH1, Ed_SazbaDPH2, Ed_SazbaDPH3, UpDown_SazbaDPH1,
                                         UpDown_SazbaDPH2, UpDown_SazbaDPH3})
        w->setEnabled(on);
}

int TKonfig::TypSymboluIndex() const {
    return RBox_TypSymbolu0->isChecked() ? 0 : 1;
}

void TKonfig::Ed_NazevChange() {
    Ok->setEnabled(true);
}

bool TKonfig::Ed_NazevKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    focusNextChild();
    return true;
}

void TKonfig::PlatceClick() {
    Ok->setEnabled(true);
    EnableRateControls(Platce->isChecked());
}

void TKonfig::PohyblivaCastCislaClick(TUpDown* control) {
    if (control && !stepped_.contains(control))
        stepped_.append(control);
    Ok->setEnabled(true);
}

void TKonfig::DobaSplatnostiChanging() {
    Ok->setEnabled(true);
}

void TKonfig::RBox_TypSymboluClick() {
    Ok->setEnabled(true);
}

void TKonfig::StornoClick() {
    reject();
}

int TKonfig::SpinValue(const TUpDown* control, int original) const {
    return stepped_.contains(control) ? control->Position() : original;
}

void TKonfig::OkClick() {
    AppSettings s = settings_;
    s.VychoziMena = Ed_VychoziMena->text();
    s.Platce = Platce->isChecked();
    s.SazbaDPH1 = SpinValue(UpDown_SazbaDPH1, settings_.SazbaDPH1);
    s.SazbaDPH2 = SpinValue(UpDown_SazbaDPH2, settings_.SazbaDPH2);
    s.SazbaDPH3 = SpinValue(UpDown_SazbaDPH3, settings_.SazbaDPH3);
    s.DobaSplatnosti = SpinValue(DobaSplatnosti, settings_.DobaSplatnosti);
    s.TypSymbolu = static_cast<SymbolType>(TypSymboluIndex());
    for (int i = 0; i < 16; ++i)
        s.Dodavatel.*kSupplierRows[i].field = SupplierEdits[i]->text();

    // A failure here leaves the dialog open with the user's values and the settings unchanged.
    SaveSettings(programFolder_, s);

    settings_ = s;
    saved_ = true;
    if (applyHook_)
        applyHook_(settings_);
    // A period folder that cannot be created is reported later by the store.
    InvoiceStore(programFolder_).EnsurePeriodFolder(settings_.AktualniRok);
    accept();
}

bool TKonfig::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit &&
            std::find(SupplierEdits.begin(), SupplierEdits.end(), edit) != SupplierEdits.end()) {
            if (Ed_NazevKeyPress(static_cast<QKeyEvent*>(event)->key()))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tarvela
