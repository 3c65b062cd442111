#include "editor/teditacepolozky.h"

#include "editor/pickers.h"
#include "editor/tseznampolozek.h"
#include "text/amount_text.h"
#include "text/key_filters.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QValidator>

#include <cmath>
#include <optional>

namespace tarvela {
namespace {

// Keeps "|" out of a cell: the invoice file ends every cell with "|" and has no escape for it,
// so a "|" in a cell would split that cell when the invoice is read back. A typed "|" is
// swallowed, a pasted one removed.
class NoCellSeparatorValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        if (!input.contains(QLatin1Char('|')))
            return Acceptable;
        QString cleaned;
        cleaned.reserve(input.size());
        int newPos = pos;
        for (int i = 0; i < input.size(); ++i) {
            if (input[i] == QLatin1Char('|')) {
                if (i < pos)
                    --newPos;
                continue;
            }
            cleaned.append(input[i]);
        }
        input = cleaned;
        pos = newPos;
        return Acceptable;
    }
};

QLineEdit* MakeEdit(QWidget* parent, const char* name, int left, int top, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(left, top, width, 21);
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int left, int top,
                        int width, int height) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, top, width, height);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

bool IsEnterKey(const QKeyEvent* event) {
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsCtrlArrow(const QKeyEvent* event, Qt::Key key) {
    return event->key() == key && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

// A focus change between the dialog's own controls (not a window or a pop-up taking the focus).
bool IsControlFocusChange(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

TEditacePolozky::TEditacePolozky(const InvoiceItemRow& row, const RowAmount& amounts,
                                 const AppSettings& settings, const QString& programFolder,
                                 QWidget* owner)
    : QDialog(owner), row_(row), amounts_(amounts), settings_(settings),
      programFolder_(programFolder) {
    CreateControls();
    FormCreate();
    WatchChildren();
}

void TEditacePolozky::CreateControls() {
    setObjectName(QStringLiteral("TEditacePolozky"));
    setWindowTitle(QStringLiteral("Editace položky"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    QFont font(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    setFont(font);
    setFixedSize(508, 176);

    La_Kod = MakeLabel(this, "La_Kod", QStringLiteral("Kód"), 16, 8);
    Ed_Kod = MakeEdit(this, "Ed_Kod", 16, 24, 73);
    La_OznaceniDodavky =
        MakeLabel(this, "La_OznaceniDodavky", QStringLiteral("Označení dodávky"), 96, 8);
    Ed_OznaceniDodavky = MakeEdit(this, "Ed_OznaceniDodavky", 96, 24, 361);
    Tl_SeznamPolozek = MakeButton(this, "Tl_SeznamPolozek", QStringLiteral("..."), 464, 24, 25, 21);
    Tl_SeznamPolozek->setToolTip(QStringLiteral("Přenést text z jiné existující faktury"));
    Tl_SeznamPolozek->setFocusPolicy(Qt::ClickFocus);

    La_MJ = MakeLabel(this, "La_MJ", QStringLiteral("MJ"), 16, 56);
    Ed_MJ = MakeEdit(this, "Ed_MJ", 16, 72, 73);
    La_PocetMJ = MakeLabel(this, "La_PocetMJ", QStringLiteral("Počet MJ"), 96, 56);
    Ed_PocetMJ = MakeEdit(this, "Ed_PocetMJ", 96, 72, 73);
    La_CenaMJ = MakeLabel(this, "La_CenaMJ", QStringLiteral("Cena MJ"), 176, 56);
    Ed_CenaMJ = MakeEdit(this, "Ed_CenaMJ", 176, 72, 97);
    La_SazbaDPH = MakeLabel(this, "La_SazbaDPH", QStringLiteral("Sazba DPH"), 280, 56);
    SazbaDPH = new QComboBox(this);
    SazbaDPH->setObjectName(QStringLiteral("SazbaDPH"));
    SazbaDPH->setGeometry(280, 72, 65, 21);
    La_CenaSA = MakeLabel(this, "La_CenaSA", QStringLiteral("Celkem bez DPH"), 352, 56);
    Ed_CenaSA = MakeEdit(this, "Ed_CenaSA", 352, 72, 105);
    Ed_CenaSA->setReadOnly(true); // shows the amount only; never read back

    Tl_Vyprazdnit =
        MakeButton(this, "Tl_Vyprazdnit", QStringLiteral("Vyprázdnit vše"), 16, 136, 81, 25);
    Tl_Vyprazdnit->setFocusPolicy(Qt::ClickFocus);
    Tl_VyprazdnitCenu = MakeButton(this, "Tl_VyprazdnitCenu",
                                   QStringLiteral("Vyprázdnit cenové údaje"), 104, 136, 129, 25);
    Tl_VyprazdnitCenu->setFocusPolicy(Qt::ClickFocus);
    // With a font wider than the form's the two captions would be cut off: the buttons grow to
    // their captions, the second one keeping its distance from the first.
    Tl_Vyprazdnit->resize(qMax(81, Tl_Vyprazdnit->sizeHint().width()), 25);
    Tl_VyprazdnitCenu->setGeometry(Tl_Vyprazdnit->geometry().right() + 1 + 7, 136,
                                   qMax(129, Tl_VyprazdnitCenu->sizeHint().width()), 25);
    Tl_Ok = MakeButton(this, "Tl_Ok", QStringLiteral("Ok"), 336, 136, 73, 25);
    Tl_Storno = MakeButton(this, "Tl_Storno", QStringLiteral("Storno"), 416, 136, 75, 25);

    setTabOrder(Ed_Kod, Ed_OznaceniDodavky);
    setTabOrder(Ed_OznaceniDodavky, Ed_MJ);
    setTabOrder(Ed_MJ, Ed_PocetMJ);
    setTabOrder(Ed_PocetMJ, Ed_CenaMJ);
    setTabOrder(Ed_CenaMJ, SazbaDPH);
    setTabOrder(SazbaDPH, Ed_CenaSA);
    setTabOrder(Ed_CenaSA, Tl_Ok);
    setTabOrder(Tl_Ok, Tl_Storno);

    auto* validator = new NoCellSeparatorValidator(this);
    for (QLineEdit* edit : {Ed_Kod, Ed_OznaceniDodavky, Ed_MJ, Ed_PocetMJ, Ed_CenaMJ})
        edit->setValidator(validator);

    Akce_StiskKlavesyEnter = new QAction(this);
    Akce_StiskKlavesyEnter->setObjectName(QStringLiteral("Akce_StiskKlavesyEnter"));
    Akce_StiskKlavesyEnter->setShortcut(QKeySequence(Qt::Key_Return));
    Akce_StiskVpravo = new QAction(this);
    Akce_StiskVpravo->setObjectName(QStringLiteral("Akce_StiskVpravo"));
    Akce_StiskVpravo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Right));
    Akce_StiskVlevo = new QAction(this);
    Akce_StiskVlevo->setObjectName(QStringLiteral("Akce_StiskVlevo"));
    Akce_StiskVlevo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left));
    // The dialog routes these keys itself (eventFilter), ahead of the focused control.
    ConnectGuarded(Akce_StiskKlavesyEnter, &QAction::triggered, this,
                   &TEditacePolozky::Akce_StiskKlavesyEnterExecute);
    ConnectGuarded(Akce_StiskVpravo, &QAction::triggered, this,
                   &TEditacePolozky::Akce_StiskVpravoExecute);
    ConnectGuarded(Akce_StiskVlevo, &QAction::triggered, this,
                   &TEditacePolozky::Akce_StiskVlevoExecute);

    PMenu_Rok = NewPeriodMenu(this);

    for (QLineEdit* edit : {Ed_Kod, Ed_OznaceniDodavky, Ed_MJ, Ed_PocetMJ, Ed_CenaMJ})
        ConnectGuarded(edit, &QLineEdit::textChanged, this, &TEditacePolozky::Ed_KodChange);
    ConnectGuarded(SazbaDPH, &QComboBox::currentIndexChanged, this, &TEditacePolozky::Ed_KodChange);
    ConnectGuarded(SazbaDPH, &QComboBox::editTextChanged, this, &TEditacePolozky::Ed_KodChange);
    ConnectGuarded(Tl_Ok, &QPushButton::clicked, this, &TEditacePolozky::Tl_OkClick);
    ConnectGuarded(Tl_Storno, &QPushButton::clicked, this, &TEditacePolozky::Tl_StornoClick);
    ConnectGuarded(Tl_Vyprazdnit, &QPushButton::clicked, this,
                   &TEditacePolozky::Tl_VyprazdnitClick);
    ConnectGuarded(Tl_VyprazdnitCenu, &QPushButton::clicked, this,
                   &TEditacePolozky::Tl_VyprazdnitCenuClick);
    ConnectGuarded(Tl_SeznamPolozek, &QPushButton::clicked, this,
                   &TEditacePolozky::Tl_SeznamPolozekClick);
}

void TEditacePolozky::FormCreate() {
    const QString rate1 = QString::number(settings_.SazbaDPH1);
    const QString rate2 = QString::number(settings_.SazbaDPH2);
    const QString rate3 = QString::number(settings_.SazbaDPH3);
    SazbaDPH->clear();
    SazbaDPH->addItems({QStringLiteral("0"), rate1, rate2, rate3});

    Ed_Kod->setText(row_.Kod);
    Ed_OznaceniDodavky->setText(row_.Dodavka);
    Ed_MJ->setText(row_.MJ);
    Ed_PocetMJ->setText(row_.PocetMJ);
    Ed_CenaMJ->setText(row_.Cena);

    SazbaDPH->setEditable(false);
    int index = -1;
    if (row_.DPH == rate3)
        index = 3;
    else if (row_.DPH == rate2)
        index = 2;
    else if (row_.DPH == rate1)
        index = 1;
    else if (row_.DPH == QLatin1String("0"))
        index = 0;
    if (index >= 0) {
        SazbaDPH->setCurrentIndex(index);
    } else {
        // A rate the settings do not hold (or none): shown as it is, and any rate may be typed.
        SazbaDPH->setEditable(true);
        SazbaDPH->setInsertPolicy(QComboBox::NoInsert);
        SazbaDPH->setValidator(new NoCellSeparatorValidator(SazbaDPH));
        SazbaDPH->setCurrentIndex(0);
        SazbaDPH->setEditText(row_.DPH);
    }

    Ed_CenaSA->clear();
    La_SazbaDPH->setVisible(settings_.Platce);
    SazbaDPH->setVisible(settings_.Platce);
    QPalette face = Ed_CenaSA->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    Ed_CenaSA->setPalette(face);
    Tl_Ok->setEnabled(false);
}

void TEditacePolozky::WatchChildren() {
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void TEditacePolozky::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        // Centred on the screen, not on the owner.
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        FormActivate();
    }
}

void TEditacePolozky::FormActivate() {
    Ed_Kod->setFocus(Qt::OtherFocusReason);
}

void TEditacePolozky::Ed_KodChange() {
    Tl_Ok->setEnabled(true);
}

QString TEditacePolozky::NetTotalText() const {
    const QString quantity = Ed_PocetMJ->text();
    const QString price = Ed_CenaMJ->text();
    if (quantity.isEmpty() || price.isEmpty())
        return QStringLiteral("0,00");
    double v =
        ParseFieldAmount(La_PocetMJ->text(), quantity) * ParseFieldAmount(La_CenaMJ->text(), price);
    CheckAmountLimit(La_CenaSA->text(), FormatAmount(v), v);
    v = v * 100;
    v = std::nearbyint(v); // halves to even in the default rounding mode
    v = v / 100;
    return FormatAmount(v);
}

void TEditacePolozky::Ed_PocetMJExit() {
    const QString completed = CompleteQuantity(Ed_PocetMJ->text());
    if (completed != Ed_PocetMJ->text())
        Ed_PocetMJ->setText(completed);
    Ed_CenaSA->setText(NetTotalText());
}

void TEditacePolozky::Ed_CenaMJExit() {
    const QString padded = PadAmountDecimals(Ed_CenaMJ->text());
    if (padded != Ed_CenaMJ->text())
        Ed_CenaMJ->setText(padded);
    Ed_CenaSA->setText(NetTotalText());
}

void TEditacePolozky::Ed_CenaSAEnter() {
    Ed_CenaSA->setText(NetTotalText());
}

bool TEditacePolozky::Ed_PocetMJKeyPress(QLineEdit* field, QKeyEvent* event) {
    QChar typed;
    if (event->matches(QKeySequence::Paste)) {
        typed = kCtrlVChar;
    } else if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
        typed = kBackspaceChar;
    } else {
        const QString text = event->text();
        if (text.isEmpty() || text[0].unicode() < 32 || text[0] == QChar(127) ||
            (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false; // cursor keys, Delete, Ctrl+C, ...: the field's own business
        typed = text[0];
    }
    EditFieldState state;
    state.text = field->text();
    state.cursor = field->cursorPosition();
    if (field->hasSelectedText()) {
        state.selectionStart = field->selectionStart();
        state.selectionLength = static_cast<int>(field->selectedText().size());
    } else {
        state.selectionStart = state.cursor;
    }
    std::optional<QString> clipboard;
    if (typed == kCtrlVChar) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (data && data->hasText())
            clipboard = data->text();
    }
    const KeyFilterResult result = tarvela::Ed_PocetMJKeyPress(typed, state, clipboard);
    if (result.text != field->text())
        field->setText(result.text);
    field->setCursorPosition(result.cursor);
    if (result.beep)
        QApplication::beep();
    if (!result.message.isEmpty())
        ShowInfo(result.message);
    return true;
}

void TEditacePolozky::Tl_OkClick() {
    const QString quantity = Ed_PocetMJ->text();
    const QString price = Ed_CenaMJ->text();
    if (!quantity.isEmpty() && price.isEmpty()) {
        ShowInfo(QStringLiteral("Je zadaný počet jednotek, schází zadat cenu."));
        Ed_CenaMJ->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (quantity.isEmpty() && !price.isEmpty()) {
        ShowInfo(QStringLiteral("Je zadaná cena, schází zadat počet jednotek."));
        Ed_PocetMJ->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!SazbaDPH->isHidden() && (!quantity.isEmpty() || !price.isEmpty()) &&
        SazbaDPH->currentText().isEmpty()) {
        ShowInfo(QStringLiteral("Jste plátci DPH! Musíte zadat sazbu DPH."));
        return;
    }

    // A quantity or price that is not a number, or one beyond the largest amount, stops here
    // with its message: nothing is written into the grid, the amounts keep their values and the
    // dialog stays open on the field to mend.
    const InvoiceItemRow row{Ed_Kod->text(), Ed_OznaceniDodavky->text(), Ed_MJ->text(), quantity,
                             price,          SazbaDPH->currentText()};
    RowAmount recomputed = amounts_;
    try {
        RecomputeRow(recomputed, row.PocetMJ, row.Cena, row.DPH,
                     VatRates{settings_.SazbaDPH1, settings_.SazbaDPH2, settings_.SazbaDPH3});
    } catch (const ConversionError& e) {
        QLineEdit* wrong = e.message().startsWith(La_PocetMJ->text()) ? Ed_PocetMJ : Ed_CenaMJ;
        wrong->setFocus(Qt::OtherFocusReason);
        wrong->selectAll();
        throw;
    }
    row_ = row;
    if (RowWritten)
        RowWritten(row_);
    SetAmounts(recomputed);
    if (Confirmed)
        Confirmed();
    accept();
}

void TEditacePolozky::Tl_StornoClick() {
    reject();
}

void TEditacePolozky::SetAmounts(const RowAmount& amounts) {
    amounts_ = amounts;
    if (AmountsChanged)
        AmountsChanged(amounts_);
}

void TEditacePolozky::ClearFields(bool keepTexts) {
    SazbaDPH->setCurrentIndex(-1);
    if (SazbaDPH->isEditable())
        SazbaDPH->setEditText(QString());
    if (!keepTexts) {
        Ed_Kod->clear();
        Ed_OznaceniDodavky->clear();
    }
    Ed_MJ->clear();
    Ed_PocetMJ->clear();
    Ed_CenaMJ->clear();
    Ed_CenaSA->clear();
    SetAmounts(RowAmount{});
    Tl_Ok->setEnabled(true);
}

void TEditacePolozky::Tl_VyprazdnitClick() {
    ClearFields(false);
}

void TEditacePolozky::Tl_VyprazdnitCenuClick() {
    ClearFields(true);
}

void TEditacePolozky::Tl_SeznamPolozekClick() {
    if (!BuildPeriodMenu(PMenu_Rok, programFolder_,
                         [this](QAction* item) { TakeItemFromList(item); }))
        return;
    const QPoint outer = frameGeometry().topLeft();
    PopUpPeriodMenu(PMenu_Rok, QPoint(outer.x() + Tl_SeznamPolozek->x() + 5,
                                      outer.y() + Tl_SeznamPolozek->y() + 46));
}

void TEditacePolozky::TakeItemFromList(QAction* item) {
    const QString year = PeriodMenuYear(item);
    if (!CheckPeriodFolder(programFolder_, year))
        return;
    std::optional<ItemCatalogEntry> taken;
    {
        TSeznamPolozek list(programFolder_, settings_.Platce, this);
        list.SetYear(year);
        if (list.exec() == QDialog::Accepted)
            taken = list.SelectedEntry();
    }
    FormActivate();
    if (!taken || taken->Dodavka.isEmpty())
        return;
    Ed_Kod->setText(taken->Kod);
    Ed_OznaceniDodavky->setText(taken->Dodavka);
    Ed_MJ->setText(taken->MJ);
    Ed_CenaMJ->setText(taken->Cena);
    if (Ed_PocetMJ->text().isEmpty() && (!Ed_MJ->text().isEmpty() || !Ed_CenaMJ->text().isEmpty()))
        Ed_PocetMJ->setText(QStringLiteral("0"));
    if (!SazbaDPH->isHidden()) {
        const int index = SazbaDPH->findText(taken->DPH);
        if (index >= 0)
            SazbaDPH->setCurrentIndex(index);
    }
}

QWidget* TEditacePolozky::FocusedControl() const {
    QWidget* focused = focusWidget();
    if (focused && SazbaDPH->isAncestorOf(focused))
        return SazbaDPH;
    return focused;
}

void TEditacePolozky::MoveFocus(bool forward) {
    QWidget* focused = FocusedControl();
    if (!qobject_cast<QLineEdit*>(focused) && focused != SazbaDPH)
        return;
    const QList<QWidget*> order{Ed_Kod,   Ed_OznaceniDodavky, Ed_MJ, Ed_PocetMJ, Ed_CenaMJ,
                                SazbaDPH, Ed_CenaSA,          Tl_Ok, Tl_Storno};
    const qsizetype at = order.indexOf(focused);
    if (at < 0)
        return;
    const qsizetype n = order.size();
    for (qsizetype step = 1; step < n; ++step) {
        QWidget* candidate = order[((forward ? at + step : at - step) % n + n) % n];
        if (!candidate->isHidden() && candidate->isEnabled() &&
            (candidate->focusPolicy() & Qt::TabFocus)) {
            candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void TEditacePolozky::Akce_StiskKlavesyEnterExecute() {
    // Enter on a button presses it; in a field it walks on.
    if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
        if (button->isEnabled())
            button->click();
        return;
    }
    MoveFocus(true);
}

void TEditacePolozky::Akce_StiskVpravoExecute() {
    Akce_StiskKlavesyEnterExecute();
}

void TEditacePolozky::Akce_StiskVlevoExecute() {
    MoveFocus(false);
}

void TEditacePolozky::keyPressEvent(QKeyEvent* event) {
    // Neither Esc nor Enter presses a button of this dialog.
    if (event->key() == Qt::Key_Escape || IsEnterKey(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TEditacePolozky::eventFilter(QObject* watched, QEvent* event) {
    // The open list of rates is a pop-up of its own: its keys (Enter picks the highlighted rate)
    // are its business.
    if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() != this)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnterKey(key) || IsCtrlArrow(key, Qt::Key_Right) || IsCtrlArrow(key, Qt::Key_Left)) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnterKey(key)) {
            Akce_StiskKlavesyEnter->trigger();
            return true;
        }
        if (IsCtrlArrow(key, Qt::Key_Right)) {
            Akce_StiskVpravo->trigger();
            return true;
        }
        if (IsCtrlArrow(key, Qt::Key_Left)) {
            Akce_StiskVlevo->trigger();
            return true;
        }
        if (watched == Ed_PocetMJ || watched == Ed_CenaMJ) {
            bool handled = false;
            RunGuarded(
                [&] { handled = Ed_PocetMJKeyPress(static_cast<QLineEdit*>(watched), key); });
            return handled;
        }
        break;
    }
    case QEvent::FocusOut:
        if ((watched == Ed_PocetMJ || watched == Ed_CenaMJ) && IsControlFocusChange(event)) {
            RunGuarded([&] {
                if (watched == Ed_PocetMJ)
                    Ed_PocetMJExit();
                else
                    Ed_CenaMJExit();
            });
        }
        break;
    case QEvent::FocusIn:
        if (watched == Ed_CenaSA && IsControlFocusChange(event))
            RunGuarded([this] { Ed_CenaSAEnter(); });
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tarvela
