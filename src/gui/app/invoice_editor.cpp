#include "app/invoice_editor.h"
#include "app/invoice_binding.h"
#include "app/invoice_editor_ui.h"
#include "app/item_grid.h"
#include "editor/date_fields.h"
#include "editor/id_checks.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>

#include "eet/eet_settings.h"
#include "invoice/invoice_eet.h"
#include "money/invoice_figures.h"
#include "printing/invoice_documents.h"
#include "printing/money.h"
#include "text/clock.h"
#include "text/dates.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/key_filters.h"
#include "text/message_boxes.h"

namespace tarvela {

namespace {

const QColor kTeal(0, 128, 128);
const QColor kPurple(128, 0, 128);
const QColor kDarkRed(172, 0, 0);

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

} // namespace

InvoiceEditor::InvoiceEditor(const QString& programFolder, const AppSettings& settings,
                             QWidget* parent)
    : QWidget(parent), programFolder_(programFolder), settings_(settings),
      ui_(std::make_unique<InvoiceEditorUi>()) {
    ui_->setupUi(this);
    ui_->PMenu_Rok = new QMenu(this);
    ui_->PMenu_Rok->setObjectName(QStringLiteral("PMenu_Rok"));
    ui_->PMenu_Rok->setToolTipsVisible(false);

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
    grid_ = std::make_unique<ItemGrid>(ui_->Grid1, amounts_);
    grid_->SetUp();

    ConnectHandlers();

    for (QLabel* label :
         {ui_->La_APCelkem, ui_->La_APDPH1, ui_->La_APDPH2, ui_->La_APDPH3, ui_->La_CelkemRadek})
        SetTextColour(label, kTeal);
    for (QLabel* label : {ui_->La_SACelkem, ui_->La_SADPH1, ui_->La_SADPH2, ui_->La_SADPH3,
                          ui_->La_CelkemFaktura, ui_->La_Mena})
        SetTextColour(label, kPurple);
    ApplyVatLabels();
    ApplySymbolType();
    ui_->PageControl1->setCurrentIndex(0);
}

InvoiceEditor::~InvoiceEditor() = default;

void InvoiceEditor::ConnectHandlers() {
    ConnectGuarded(ui_->Tl_VybratVzorFaktury, &QPushButton::clicked, this,
                   &InvoiceEditor::TakeTemplate);
    ConnectGuarded(ui_->Tl_VybratOdberatele, &QPushButton::clicked, this,
                   &InvoiceEditor::TakeCustomer);
    connect(ui_->Tl_Odberatele, &QPushButton::clicked, this, &InvoiceEditor::customersRequested);
    ConnectGuarded(ui_->Tl_NacistZAres, &QPushButton::clicked, this,
                   &InvoiceEditor::LookUpInRegister);
    ConnectGuarded(ui_->Tl_Datum, &QPushButton::clicked, this, &InvoiceEditor::SetPaymentDate);
    ConnectGuarded(ui_->Tl_Zrusit, &QPushButton::clicked, this, &InvoiceEditor::ClearPaymentDate);
    ConnectGuarded(ui_->Tl_KurzCNB, &QPushButton::clicked, this, &InvoiceEditor::FetchExchangeRate);
    ConnectGuarded(ui_->PageControl1, &QTabWidget::currentChanged, this,
                   &InvoiceEditor::PageChanged);

    // GridClick runs once per click and once per change of the current cell: a press that
    // changes the cell has already run it when the click arrives.
    ConnectGuarded(ui_->Grid1, &QTableWidget::currentCellChanged, this, [this] {
        skipNextGridClick_ = QApplication::mouseButtons() != Qt::NoButton;
        GridClick();
    });
    ConnectGuarded(ui_->Grid1, &QTableWidget::cellClicked, this, [this] {
        if (skipNextGridClick_) {
            skipNextGridClick_ = false;
            return;
        }
        GridClick();
    });
    connect(ui_->Grid1, &QTableWidget::cellDoubleClicked, this, &InvoiceEditor::itemEditRequested);

    // Every edit marks the invoice changed. The payment date has no handler (its buttons mark
    // the change); the number marks it when the user edits it (New and Open set it).
    InvoiceEditorUi& u = *ui_;
    auto edited = [this] { SetModified(true); };
    ConnectGuarded(u.Ed_Fa1, &QLineEdit::textEdited, this, [this](const QString& number) {
        emit numberEdited(number);
        SetModified(true);
    });
    for (const TextFieldBinding& b : kTextFields) {
        if (b.marksChange)
            ConnectGuarded(u.*b.control, &QLineEdit::textChanged, this, edited);
    }
    ConnectGuarded(u.CBox_Fa6, &QComboBox::currentTextChanged, this, edited);
    // The form of payment decides the cash receipts and EET, also in an invoice already edited.
    connect(u.CBox_Fa6, &QComboBox::currentTextChanged, this, &InvoiceEditor::paymentFormChanged);
    for (const DateFieldBinding& b : kDateFields) {
        ConnectGuarded(u.*b.control, &QDateEdit::dateChanged, this, edited);
        MakeTypedDateField(u.*b.control, (u.*b.caption)->text());
    }
    LinkDueDate(ui_->Datum_Fa8, ui_->Datum_Fa9, [this] { return settings_.DobaSplatnosti; });
    CheckIdWhenLeft(ui_->Ed_Od8, IdKind::IC);
    CheckIdWhenLeft(ui_->Ed_Od9, IdKind::DIC);
}

// ---- Settings --------------------------------------------------------------------------------

void InvoiceEditor::ApplySettings(const AppSettings& settings) {
    const bool symbolTypeChanged = settings.TypSymbolu != settings_.TypSymbolu;
    settings_ = settings;
    ApplyVatLabels();
    // The symbol's typing limit only changes with its type (a limit cuts a longer text).
    if (symbolTypeChanged)
        ApplySymbolType();
    ShowPaymentBoxTitle();
}

void InvoiceEditor::ApplyVatLabels() {
    ui_->La_DPH1->setText(QStringLiteral("DPH %1%").arg(settings_.SazbaDPH1));
    ui_->La_DPH2->setText(QStringLiteral("DPH %1%").arg(settings_.SazbaDPH2));
    ui_->La_DPH3->setText(QStringLiteral("DPH %1%").arg(settings_.SazbaDPH3));
    for (QLabel* label : {ui_->La_DPH1, ui_->La_DPH2, ui_->La_DPH3, ui_->La_APDPH1, ui_->La_APDPH2,
                          ui_->La_APDPH3, ui_->La_SADPH1, ui_->La_SADPH2, ui_->La_SADPH3})
        label->setVisible(settings_.Platce);
}

void InvoiceEditor::ApplySymbolType() {
    switch (static_cast<quint8>(settings_.TypSymbolu)) {
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

void InvoiceEditor::ShowPaymentBoxTitle() {
    ui_->GroupBox5->setTitle(QStringLiteral("Úhrada v ") + settings_.VychoziMena);
}

// ---- State -----------------------------------------------------------------------------------

void InvoiceEditor::SetModified(bool modified) {
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

InvoiceRecord InvoiceEditor::Record() const {
    InvoiceRecord r = opened_;
    ReadInvoiceControls(*ui_, r);
    r.Polozky = grid_->AllRows();
    return r;
}

QString InvoiceEditor::Number() const {
    return ui_->Ed_Fa1->text();
}

void InvoiceEditor::SetNumber(const QString& number) {
    ui_->Ed_Fa1->setText(number);
}

bool InvoiceEditor::IsCash() const {
    return PaymentFormCode(ui_->CBox_Fa6) == QStringLiteral("H");
}

int InvoiceEditor::CurrentPage() const {
    return ui_->PageControl1->currentIndex();
}

int InvoiceEditor::SymbolLengthLimit() const {
    return TypingLimit(ui_->Ed_Fa2);
}

// ---- New, open, close ------------------------------------------------------------------------

void InvoiceEditor::StartNew(const QString& number, const QDate& date) {
    ui_->Ed_Fa1->setText(number);
    opened_ = InvoiceRecord();
    ShowEet();
    ui_->CBox_Fa6->setCurrentIndex(0);
    ui_->Datum_Fa7->setDate(date);
    ui_->Datum_Fa8->setDate(date);
    ui_->Datum_Fa9->setDate(date.addDays(settings_.DobaSplatnosti));
    // A variable symbol is the invoice number's digits, as Czech invoices have it; the user may
    // change it.
    if (settings_.TypSymbolu == SymbolType::Variable) {
        QString digits = number;
        digits.removeIf([](QChar c) { return !c.isDigit(); });
        ui_->Ed_Fa2->setText(digits);
    }
    ui_->Ed_Mena->setText(settings_.VychoziMena);
    SetModified(false);
    ShowTotals();
    ShowPaymentBoxTitle();
}

void InvoiceEditor::Load(const InvoiceRecord& record) {
    FillInvoiceControls(*ui_, record);
    grid_->SetAllRows(record.Polozky);
    opened_ = record;
    grid_->RecomputeAll(RatesOf(settings_));
    ShowTotals();
    ShowEet();
    ShowPaymentBoxTitle();
}

void InvoiceEditor::Clear() {
    for (const TextFieldBinding& b : kTextFields) {
        if (b.control != &InvoiceEditorUi::Ed_Mena)
            (ui_.get()->*b.control)->clear();
    }
    ui_->Ed_Mena->setText(settings_.VychoziMena);
    ui_->CBox_Fa6->setCurrentIndex(-1);
    ui_->CBox_Fa6->setEditText(QString());
    const QDate today = Today();
    for (const DateFieldBinding& b : kDateFields)
        (ui_.get()->*b.control)->setDate(today);
    for (QLabel* label : {ui_->La_APCelkem, ui_->La_APDPH1, ui_->La_APDPH2, ui_->La_APDPH3,
                          ui_->La_CelkemRadek, ui_->La_SACelkem, ui_->La_SADPH1, ui_->La_SADPH2,
                          ui_->La_SADPH3, ui_->La_CelkemFaktura, ui_->La_Mena})
        label->clear();
    opened_ = InvoiceRecord();
    ShowEet();
    ui_->PageControl1->setCurrentIndex(0);
    // Empty cells and amounts; the emptied labels stay empty (moving to the first cell is no
    // click in the grid).
    grid_->Clear();
}

// ---- Payments and EET ------------------------------------------------------------------------

bool InvoiceEditor::HasPaymentDate() const {
    return !ui_->Ed_DatumUhrady->text().isEmpty();
}

QString InvoiceEditor::PaidAmountText() const {
    return ui_->Ed_UhrazenaCastka->text();
}

void InvoiceEditor::RecordCashPayment() {
    // Cash changes hands when the invoice is issued: the receipt bears the date of issue and
    // the amount rounded to whole crowns, and so does the payment. (Neither the due date, which
    // lies ahead, nor today, which differs from the receipt's date for an invoice written up
    // afterwards.)
    ui_->Ed_DatumUhrady->setText(FormatInvoiceDate(ui_->Datum_Fa8->date()));
    if (!TrimText(ui_->Ed_UhrazenaCastka->text()).isEmpty())
        return; // the amount the user typed stands
    const InvoiceFigures figures =
        ComputeInvoiceFigures(Record(), settings_, DocumentKind::PrijmovyDokladSRozpisem);
    ui_->Ed_UhrazenaCastka->setText(FormatHalere(figures.Due.Due));
}

void InvoiceEditor::UndoCashPayment(const QString& typedAmount) {
    ui_->Ed_DatumUhrady->clear();
    ui_->Ed_UhrazenaCastka->setText(typedAmount);
}

void InvoiceEditor::SetEet(const QString& eet) {
    opened_.Eet = eet;
    ShowEet();
}

void InvoiceEditor::ShowEet() {
    // The box shows while the supplier registers sales, or for an invoice registered before.
    ui_->GBox_Eet->setVisible(!opened_.Eet.isEmpty() ||
                              eet::LoadEetSettings(programFolder_).registers);
    const QString status = EetStatusText(opened_.Eet);
    ui_->Ed_Eet->setText(status);
    ui_->Ed_Eet->setCursorPosition(0);
    ui_->Ed_Eet->setToolTip(
        status.isEmpty() ? QStringLiteral("Platba faktury není evidována v EET.") : status);
}

void InvoiceEditor::ShowPayment(const InvoiceRecord& written) {
    opened_.DatumUhrady = written.DatumUhrady;
    opened_.UhrazenaCastka = written.UhrazenaCastka;
    opened_.Eet = written.Eet;
    ShowEet();
    // The file already holds what the fields now show: nothing to save.
    const QSignalBlocker blockDate(ui_->Ed_DatumUhrady);
    const QSignalBlocker blockAmount(ui_->Ed_UhrazenaCastka);
    ui_->Ed_DatumUhrady->setText(written.DatumUhrady);
    ui_->Ed_UhrazenaCastka->setText(written.UhrazenaCastka);
}

// ---- Keys ------------------------------------------------------------------------------------

bool InvoiceEditor::KeyPreview(QWidget* widget, const QKeyEvent& key) {
    if (!isAncestorOf(widget))
        return false;
    // Enter on a row of the item grid edits it, as a double click does.
    if ((widget == ui_->Grid1 || ui_->Grid1->isAncestorOf(widget)) &&
        (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
        (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        emit itemEditRequested();
        return true;
    }
    if (widget == ui_->Ed_UhrazenaCastka && key.key() != Qt::Key_Tab &&
        key.key() != Qt::Key_Backtab && !key.text().isEmpty() &&
        !(key.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) &&
        !(key.modifiers().testFlag(Qt::ControlModifier) && key.key() != Qt::Key_V))
        return !PaidAmountKeyPress(key.text());
    return false;
}

bool InvoiceEditor::PaidAmountKeyPress(const QString& typed) {
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

void InvoiceEditor::PageChanged() {
    if (CurrentPage() == 1)
        SetTextColour(ui_->La_Mena,
                      ui_->Ed_Mena->text() == settings_.VychoziMena ? kPurple : kDarkRed);
    emit pageChanged(CurrentPage());
}

} // namespace tarvela
