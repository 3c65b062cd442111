#include "editor/teditacepolozky.h"
#include "ui_teditacepolozky.h"

#include "editor/pickers.h"
#include "editor/tseznampolozek.h"
#include "money/decimal.h"
#include "printing/money.h"
#include "printing/vat_recap.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/form_font.h"
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

bool IsEnterKey(const QKeyEvent* event) {
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Ctrl+Enter confirms the item from any field.
bool IsCtrlEnterKey(const QKeyEvent* event) {
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
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
    : QDialog(owner), ui_(std::make_unique<Ui::TEditacePolozky>()), row_(row), amounts_(amounts),
      settings_(settings), programFolder_(programFolder) {
    CreateControls();
    FormCreate();
    WatchChildren();
}

TEditacePolozky::~TEditacePolozky() = default;

void TEditacePolozky::CreateControls() {
    ui_->setupUi(this);
    SetUpFixedDialog(this, false);

    // With a font wider than the form's the two captions would be cut off: the buttons grow to
    // their captions, the second one keeping its distance from the first.
    ui_->Tl_Vyprazdnit->resize(
        qMax(ui_->Tl_Vyprazdnit->width(), ui_->Tl_Vyprazdnit->sizeHint().width()),
        ui_->Tl_Vyprazdnit->height());
    ui_->Tl_VyprazdnitCenu->setGeometry(
        ui_->Tl_Vyprazdnit->geometry().right() + 1 + 7, ui_->Tl_VyprazdnitCenu->y(),
        qMax(ui_->Tl_VyprazdnitCenu->width(), ui_->Tl_VyprazdnitCenu->sizeHint().width()),
        ui_->Tl_VyprazdnitCenu->height());

    auto* validator = new NoCellSeparatorValidator(this);
    for (QLineEdit* edit :
         {ui_->Ed_Kod, ui_->Ed_OznaceniDodavky, ui_->Ed_MJ, ui_->Ed_PocetMJ, ui_->Ed_CenaMJ})
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

    for (QLineEdit* edit :
         {ui_->Ed_Kod, ui_->Ed_OznaceniDodavky, ui_->Ed_MJ, ui_->Ed_PocetMJ, ui_->Ed_CenaMJ})
        ConnectGuarded(edit, &QLineEdit::textChanged, this, &TEditacePolozky::Ed_KodChange);
    ConnectGuarded(ui_->SazbaDPH, &QComboBox::currentIndexChanged, this,
                   &TEditacePolozky::Ed_KodChange);
    ConnectGuarded(ui_->SazbaDPH, &QComboBox::editTextChanged, this,
                   &TEditacePolozky::Ed_KodChange);
    ConnectGuarded(ui_->Tl_Ok, &QPushButton::clicked, this, &TEditacePolozky::Tl_OkClick);
    ConnectGuarded(ui_->Tl_Storno, &QPushButton::clicked, this, &TEditacePolozky::Tl_StornoClick);
    ConnectGuarded(ui_->Tl_Vyprazdnit, &QPushButton::clicked, this,
                   &TEditacePolozky::Tl_VyprazdnitClick);
    ConnectGuarded(ui_->Tl_VyprazdnitCenu, &QPushButton::clicked, this,
                   &TEditacePolozky::Tl_VyprazdnitCenuClick);
    ConnectGuarded(ui_->Tl_SeznamPolozek, &QPushButton::clicked, this,
                   &TEditacePolozky::Tl_SeznamPolozekClick);
}

void TEditacePolozky::FormCreate() {
    const QString rate1 = QString::number(settings_.SazbaDPH1);
    const QString rate2 = QString::number(settings_.SazbaDPH2);
    const QString rate3 = QString::number(settings_.SazbaDPH3);
    ui_->SazbaDPH->clear();
    ui_->SazbaDPH->addItems({QStringLiteral("0"), rate1, rate2, rate3});

    ui_->Ed_Kod->setText(row_.Kod);
    ui_->Ed_OznaceniDodavky->setText(row_.Dodavka);
    ui_->Ed_MJ->setText(row_.MJ);
    ui_->Ed_PocetMJ->setText(row_.PocetMJ);
    ui_->Ed_CenaMJ->setText(row_.Cena);

    ui_->SazbaDPH->setEditable(false);
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
        ui_->SazbaDPH->setCurrentIndex(index);
    } else {
        // A rate the settings do not hold (or none): shown as it is, and any rate may be typed.
        ui_->SazbaDPH->setEditable(true);
        ui_->SazbaDPH->setInsertPolicy(QComboBox::NoInsert);
        ui_->SazbaDPH->setValidator(new NoCellSeparatorValidator(ui_->SazbaDPH));
        ui_->SazbaDPH->setCurrentIndex(0);
        ui_->SazbaDPH->setEditText(row_.DPH);
    }

    ui_->Ed_CenaSA->clear();
    ui_->La_SazbaDPH->setVisible(settings_.Platce);
    ui_->SazbaDPH->setVisible(settings_.Platce);
    QPalette face = ui_->Ed_CenaSA->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    ui_->Ed_CenaSA->setPalette(face);
    ui_->Tl_Ok->setEnabled(false);
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
    ui_->Ed_Kod->setFocus(Qt::OtherFocusReason);
}

void TEditacePolozky::Ed_KodChange() {
    ui_->Tl_Ok->setEnabled(true);
}

QString TEditacePolozky::NetTotalText() const {
    const QString quantity = ui_->Ed_PocetMJ->text();
    const QString price = ui_->Ed_CenaMJ->text();
    if (quantity.isEmpty() || price.isEmpty())
        return QStringLiteral("0,00");
    // The row amount of the document model: exact, rounded half away from zero to haléře.
    const qint64 amount = RowAmountHalere(ParseFieldDecimal(ui_->La_PocetMJ->text(), quantity),
                                          ParseFieldDecimal(ui_->La_CenaMJ->text(), price));
    if (amount > 99999999999 || amount < -99999999999)
        throw ConversionError(WithFieldName(
            ui_->La_CenaSA->text(), QStringLiteral("„%1“ je větší, než pole pojme; největší "
                                                   "hodnota je %2.")
                                        .arg(FormatHalere(amount), LargestAmountText())));
    return FormatHalere(amount);
}

void TEditacePolozky::Ed_PocetMJExit() {
    const QString completed = CompleteQuantity(ui_->Ed_PocetMJ->text());
    if (completed != ui_->Ed_PocetMJ->text())
        ui_->Ed_PocetMJ->setText(completed);
    ui_->Ed_CenaSA->setText(NetTotalText());
}

void TEditacePolozky::Ed_CenaMJExit() {
    const QString padded = PadAmountDecimals(ui_->Ed_CenaMJ->text());
    if (padded != ui_->Ed_CenaMJ->text())
        ui_->Ed_CenaMJ->setText(padded);
    ui_->Ed_CenaSA->setText(NetTotalText());
}

void TEditacePolozky::Ed_CenaSAEnter() {
    ui_->Ed_CenaSA->setText(NetTotalText());
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
    const QString caption =
        field == ui_->Ed_PocetMJ ? ui_->La_PocetMJ->text() : ui_->La_CenaMJ->text();
    const KeyFilterResult result = tarvela::Ed_PocetMJKeyPress(typed, state, clipboard, caption);
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
    const QString quantity = ui_->Ed_PocetMJ->text();
    const QString price = ui_->Ed_CenaMJ->text();
    if (!quantity.isEmpty() && price.isEmpty()) {
        ShowInfo(QStringLiteral("Je zadaný počet jednotek, schází zadat cenu."));
        ui_->Ed_CenaMJ->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (quantity.isEmpty() && !price.isEmpty()) {
        ShowInfo(QStringLiteral("Je zadaná cena, schází zadat počet jednotek."));
        ui_->Ed_PocetMJ->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!ui_->SazbaDPH->isHidden() && (!quantity.isEmpty() || !price.isEmpty()) &&
        ui_->SazbaDPH->currentText().isEmpty()) {
        ShowInfo(QStringLiteral("Jste plátci DPH! Musíte zadat sazbu DPH."));
        return;
    }

    // A quantity or price that is not a number, or one beyond the largest amount, stops here
    // with its message: nothing is written into the grid, the amounts keep their values and the
    // dialog stays open on the field to mend.
    const InvoiceItemRow row{ui_->Ed_Kod->text(),
                             ui_->Ed_OznaceniDodavky->text(),
                             ui_->Ed_MJ->text(),
                             quantity,
                             price,
                             ui_->SazbaDPH->currentText()};
    // A payer's row carries only a rate the settings know: nothing is written otherwise.
    try {
        CheckVatRate(settings_, row.DPH);
    } catch (const ValidationError&) {
        ui_->SazbaDPH->setFocus(Qt::OtherFocusReason);
        throw;
    }
    RowAmount recomputed = amounts_;
    try {
        RecomputeRow(recomputed, row.PocetMJ, row.Cena, row.DPH, RatesOf(settings_));
    } catch (const ConversionError& e) {
        QLineEdit* wrong =
            e.message().startsWith(ui_->La_PocetMJ->text()) ? ui_->Ed_PocetMJ : ui_->Ed_CenaMJ;
        wrong->setFocus(Qt::OtherFocusReason);
        wrong->selectAll();
        throw;
    }
    // A non-payer's rate cell is kept as typed but charges nothing: say so.
    const QString notice = NonPayerRateNotice(settings_, row.DPH);
    if (!notice.isEmpty())
        ShowWarning(QStringLiteral("Sazba DPH"), notice);
    row_ = row;
    emit rowWritten(row_);
    SetAmounts(recomputed);
    emit confirmed();
    accept();
}

void TEditacePolozky::Tl_StornoClick() {
    reject();
}

void TEditacePolozky::SetAmounts(const RowAmount& amounts) {
    amounts_ = amounts;
    emit amountsChanged(amounts_);
}

void TEditacePolozky::ClearFields(bool keepTexts) {
    ui_->SazbaDPH->setCurrentIndex(-1);
    if (ui_->SazbaDPH->isEditable())
        ui_->SazbaDPH->setEditText(QString());
    if (!keepTexts) {
        ui_->Ed_Kod->clear();
        ui_->Ed_OznaceniDodavky->clear();
    }
    ui_->Ed_MJ->clear();
    ui_->Ed_PocetMJ->clear();
    ui_->Ed_CenaMJ->clear();
    ui_->Ed_CenaSA->clear();
    SetAmounts(RowAmount{});
    ui_->Tl_Ok->setEnabled(true);
}

void TEditacePolozky::Tl_VyprazdnitClick() {
    // The row's amounts are cleared at once and Storno does not bring them back: asked first.
    if (!AskYesNo(QStringLiteral("Upozornění"),
                  QStringLiteral("Opravdu vyprázdnit všechny údaje položky?")))
        return;
    ClearFields(false);
}

void TEditacePolozky::Tl_VyprazdnitCenuClick() {
    if (!AskYesNo(QStringLiteral("Upozornění"),
                  QStringLiteral("Opravdu vyprázdnit cenové údaje položky?")))
        return;
    ClearFields(true);
}

void TEditacePolozky::ConfirmFromAnyField() {
    if (!ui_->Tl_Ok->isEnabled()) {
        reject(); // nothing was changed
        return;
    }
    // Leaving the field completes it as Enter or Tab would, then Ok checks and writes.
    ui_->Tl_Ok->setFocus(Qt::TabFocusReason);
    if (isVisible() && ui_->Tl_Ok->isEnabled())
        ui_->Tl_Ok->click();
}

void TEditacePolozky::Tl_SeznamPolozekClick() {
    if (!BuildPeriodMenu(PMenu_Rok, programFolder_,
                         [this](QAction* item) { TakeItemFromList(item); }))
        return;
    const QPoint outer = frameGeometry().topLeft();
    PopUpPeriodMenu(PMenu_Rok, QPoint(outer.x() + ui_->Tl_SeznamPolozek->x() + 5,
                                      outer.y() + ui_->Tl_SeznamPolozek->y() + 46));
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
    ui_->Ed_Kod->setText(taken->Kod);
    ui_->Ed_OznaceniDodavky->setText(taken->Dodavka);
    ui_->Ed_MJ->setText(taken->MJ);
    ui_->Ed_CenaMJ->setText(taken->Cena);
    if (ui_->Ed_PocetMJ->text().isEmpty() &&
        (!ui_->Ed_MJ->text().isEmpty() || !ui_->Ed_CenaMJ->text().isEmpty()))
        ui_->Ed_PocetMJ->setText(QStringLiteral("0"));
    if (!ui_->SazbaDPH->isHidden()) {
        const int index = ui_->SazbaDPH->findText(taken->DPH);
        if (index >= 0)
            ui_->SazbaDPH->setCurrentIndex(index);
    }
}

QWidget* TEditacePolozky::FocusedControl() const {
    QWidget* focused = focusWidget();
    if (focused && ui_->SazbaDPH->isAncestorOf(focused))
        return ui_->SazbaDPH;
    return focused;
}

void TEditacePolozky::MoveFocus(bool forward) {
    QWidget* focused = FocusedControl();
    if (!qobject_cast<QLineEdit*>(focused) && focused != ui_->SazbaDPH)
        return;
    const QList<QWidget*> order{
        ui_->Ed_Kod,   ui_->Ed_OznaceniDodavky, ui_->Ed_MJ, ui_->Ed_PocetMJ, ui_->Ed_CenaMJ,
        ui_->SazbaDPH, ui_->Ed_CenaSA,          ui_->Tl_Ok, ui_->Tl_Storno};
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
    // Enter presses no button of this dialog (it walks the fields); Escape is Storno.
    if (IsEnterKey(event)) {
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
        if (IsEnterKey(key) || IsCtrlEnterKey(key) || IsCtrlArrow(key, Qt::Key_Right) ||
            IsCtrlArrow(key, Qt::Key_Left)) {
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
        if (IsCtrlEnterKey(key)) {
            RunGuarded([this] { ConfirmFromAnyField(); });
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
        if (watched == ui_->Ed_PocetMJ || watched == ui_->Ed_CenaMJ) {
            bool handled = false;
            RunGuarded(
                [&] { handled = Ed_PocetMJKeyPress(static_cast<QLineEdit*>(watched), key); });
            return handled;
        }
        break;
    }
    case QEvent::FocusOut:
        if ((watched == ui_->Ed_PocetMJ || watched == ui_->Ed_CenaMJ) &&
            IsControlFocusChange(event)) {
            RunGuarded([&] {
                if (watched == ui_->Ed_PocetMJ)
                    Ed_PocetMJExit();
                else
                    Ed_CenaMJExit();
            });
        }
        break;
    case QEvent::FocusIn:
        if (watched == ui_->Ed_CenaSA && IsControlFocusChange(event))
            RunGuarded([this] { Ed_CenaSAEnter(); });
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tarvela
