// The invoice lifecycle of the main window: new, open, save, close and emptying the window.
#include "app/invoice_binding.h"
#include "app/item_grid.h"
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include "editor/totevrit.h"
#include "eet/eet_service.h"
#include "eet/eet_settings.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_eet.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_record.h"
#include "invoice/invoice_store.h"
#include "money/decimal.h"
#include "money/invoice_figures.h"
#include "printing/document_rules.h"
#include "printing/money.h"
#include "text/clock.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/gui_helpers.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

namespace tarvela {

namespace {

const QString kCaptionPrefix = QStringLiteral("Tarvela - ");

bool SameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    const QString ca = fa.canonicalFilePath();
    const QString cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

} // namespace

InvoiceRecord THlavni::WindowRecord() const {
    InvoiceRecord r = OpenedRecord;
    ReadInvoiceControls(*ui_, r);
    r.Polozky = grid_->AllRows();
    return r;
}

void THlavni::ClearInvoice() {
    for (const TextFieldBinding& b : kTextFields) {
        if (b.control != &THlavniUi::Ed_Mena)
            (ui_.get()->*b.control)->clear();
    }
    ui_->Ed_Mena->setText(Settings.VychoziMena);
    ui_->CBox_Fa6->setCurrentIndex(-1);
    ui_->CBox_Fa6->setEditText(QString());
    const QDate today = Today();
    for (const DateFieldBinding& b : kDateFields)
        (ui_.get()->*b.control)->setDate(today);
    for (QLabel* label : {ui_->La_APCelkem, ui_->La_APDPH1, ui_->La_APDPH2, ui_->La_APDPH3,
                          ui_->La_CelkemRadek, ui_->La_SACelkem, ui_->La_SADPH1, ui_->La_SADPH2,
                          ui_->La_SADPH3, ui_->La_CelkemFaktura, ui_->La_Mena})
        label->clear();
    OpenedRecord = InvoiceRecord();
    ShowEet();
    ui_->PageControl1->setCurrentIndex(0);
    // Empty cells and amounts; the emptied labels stay empty (moving to the first cell is no
    // click in the grid).
    grid_->Clear();
}

void THlavni::Akce_NovaFakturaExecute() {
    const int year = Settings.AktualniRok;
    const QString counter =
        InvoiceStore(ProgramFolder).NextInvoiceCounter(year, ProcessPaintEvents);
    if (counter == QStringLiteral("000")) {
        ShowInfo(QStringLiteral("Novou fakturu nelze vytvořit. Tato verze programu umožňuje "
                                "vyhotovit v jednom období nejvíce 999 faktur."));
        return;
    }
    ui_->PageControl1->show();
    ui_->Ed_Fa1->setText(QString::number(year) + counter);
    ProposedNumber = ui_->Ed_Fa1->text();
    OpenedRecord = InvoiceRecord();
    ShowEet();
    setWindowTitle(kCaptionPrefix + ui_->Ed_Fa1->text() + QStringLiteral("[*]"));
    ui_->CBox_Fa6->setCurrentIndex(0);
    // The dates lie inside the period: January's invoices prepared in December start on
    // 1 January, a late invoice of last year ends on 31 December.
    QDate today = Today();
    if (today.year() < year)
        today = QDate(year, 1, 1);
    else if (today.year() > year)
        today = QDate(year, 12, 31);
    ui_->Datum_Fa7->setDate(today);
    ui_->Datum_Fa8->setDate(today);
    ui_->Datum_Fa9->setDate(today.addDays(Settings.DobaSplatnosti));
    if (today != Today())
        statusBar()->showMessage(
            QStringLiteral("Faktura patří do období %1: datum plnění a vystavení je %2.")
                .arg(year)
                .arg(FormatInvoiceDate(today)),
            15000);
    else
        statusBar()->clearMessage();
    // A variable symbol is the invoice number's digits, as Czech invoices have it; the user may
    // change it.
    if (Settings.TypSymbolu == SymbolType::Variable) {
        QString digits = ui_->Ed_Fa1->text();
        digits.removeIf([](QChar c) { return !c.isDigit(); });
        ui_->Ed_Fa2->setText(digits);
    }
    ui_->Ed_Mena->setText(Settings.VychoziMena);
    OwnInvoiceFile.clear();
    OpenedBytes.clear();
    SetModified(false);
    UpdateActions();
    ShowTotals();
    ui_->GroupBox5->setTitle(QStringLiteral("Úhrada v ") + Settings.VychoziMena);
}

void THlavni::Akce_OtevritFakturuExecute() {
    bool confirmed = false;
    QString path;
    {
        TOtevrit dialog(ProgramFolder, this);
        dialog.SetYear(QString::number(Settings.AktualniRok));
        confirmed = dialog.exec() == QDialog::Accepted;
        path = dialog.SelectedFile;
    }
    if (!confirmed || path.isEmpty())
        return;
    OpenInvoiceFile(path);
}

bool THlavni::ShowsFile(const QString& path) const {
    return InvoiceOpen() && SameFile(path, OwnInvoiceFile);
}

void THlavni::OpenInvoiceFile(const QString& path) {
    try {
        // The record starts from the emptied window, so the fields of lines the file lacks
        // keep their cleared values.
        OpenedRecord = InvoiceRecord();
        InvoiceRecord record = WindowRecord();
        OpenedBytes = ReadWholeFile(path);
        ReadInvoiceBytes(OpenedBytes, record, Settings.VychoziMena);
        FillInvoiceControls(*ui_, record);
        grid_->SetAllRows(record.Polozky);
        OpenedRecord = record;
        grid_->RecomputeAll(RatesOf(Settings));
        ShowTotals();
        ShowEet();
    } catch (...) {
        // An invoice that cannot be opened leaves nothing behind in the hidden editor: the
        // next new invoice starts empty and Save stays disabled.
        ClearInvoice();
        SetModified(false);
        UpdateActions();
        throw;
    }
    ui_->GroupBox5->setTitle(QStringLiteral("Úhrada v ") + Settings.VychoziMena);
    ui_->PageControl1->show();
    setWindowTitle(kCaptionPrefix + ui_->Ed_Fa1->text() + QStringLiteral("[*]"));
    OwnInvoiceFile = path;
    SetModified(false);
    UpdateActions();
    if (!OpenedRecord.Eet.isEmpty())
        EetService::Of(ProgramFolder).catchUp(path, OpenedRecord.Eet);
}

void THlavni::Akce_UlozitFakturuExecute() {
    // An earlier save's "je uložena" must not stand beside this save's refusal.
    statusBar()->clearMessage();
    if (ui_->Ed_Fa1->text().isEmpty()) {
        ShowInfo(QStringLiteral("Faktura nemůže být uložena - není zadáno číslo faktury."));
        return;
    }
    CheckExchangeRateFields();
    const InvoiceStore store(ProgramFolder);
    const int year = Settings.AktualniRok;
    // Each "Ano" to the next free number is one more round here, never a call of this handler
    // from its own message box; the rounds are bounded.
    constexpr int kNumberOffers = 20;
    for (int offer = 0; offer < kNumberOffers; ++offer) {
        const QString number = ui_->Ed_Fa1->text();
        // The number's file as it is on disk ("2026001.TVL" too); empty for a new number.
        const QString existing = store.ExistingInvoiceFile(year, number);

        // The proposed number of a new invoice is only ever created, never replaced.
        const bool proposed = OwnInvoiceFile.isEmpty() && number == ProposedNumber;

        // Another invoice's file is never replaced without the user's word.
        if (!proposed && !existing.isEmpty() && !SameFile(existing, OwnInvoiceFile) &&
            !AskYesNo(QStringLiteral("Upozornění"),
                      QStringLiteral("Faktura číslo %1 již existuje. Chcete ji přepsat touto "
                                     "fakturou?")
                          .arg(number)))
            return;

        // EET registrations belong to the file they were made for: saved as another invoice,
        // the invoice carries none of them.
        const bool ownFile =
            OwnInvoiceFile.isEmpty() || (!existing.isEmpty() && SameFile(existing, OwnInvoiceFile));
        QString eet = ownFile ? OpenedRecord.Eet : QString();
        if (PaymentFormCode(ui_->CBox_Fa6) == QStringLiteral("H") &&
            ui_->Ed_DatumUhrady->text().isEmpty()) {
            const QString typedAmount = ui_->Ed_UhrazenaCastka->text();
            RecordCashPayment();
            // Registered before the invoice is written: a kill in between leaves the payment
            // in the outbox, and the next save finds it there under the same receipt number.
            // A payment that cannot be registered (settings to mend) is not recorded either,
            // so that the next save registers it.
            try {
                eet = RegisterEetPayment(
                    number, existing.isEmpty() ? store.InvoiceFilePath(year, number) : existing,
                    eet);
            } catch (...) {
                ui_->Ed_DatumUhrady->clear();
                ui_->Ed_UhrazenaCastka->setText(typedAmount);
                throw;
            }
            OpenedRecord.Eet = eet;
            ShowEet();
        }

        // The invoice replaced may have been one of the overdue ones the status bar counts.
        const bool wasOverdue = !existing.isEmpty() && FileIsOverdue(existing);
        const bool created = proposed || existing.isEmpty();
        InvoiceRecord record = WindowRecord();
        record.Eet = eet;
        try {
            if (created) {
                store.CreateInvoice(year, record); // only if still free
                OpenedBytes = InvoiceFileBytes(record);
            } else if (SameFile(existing, OwnInvoiceFile) && !OpenedBytes.isEmpty()) {
                // The window's own file: a payment written meanwhile is kept, any other change
                // refused (ChangedMeanwhileError reaches the error box, nothing written).
                const SavedInvoice saved =
                    store.SaveOpenedInvoice(year, record, existing, OpenedBytes);
                OpenedBytes = saved.bytes;
                ShowJoinedPayment(saved.record);
            } else {
                store.SaveInvoice(year, record); // another file, replaced with the user's word
                OpenedBytes = InvoiceFileBytes(record);
            }
        } catch (const NumberTakenError& e) {
            // Another instance saved this number meanwhile: nothing was written.
            if (e.nextNumber().isEmpty())
                throw;
            if (!AskYesNo(QStringLiteral("Upozornění"),
                          e.message() + QStringLiteral("\r\nChcete fakturu uložit pod číslem %1?")
                                            .arg(e.nextNumber())))
                return;
            ui_->Ed_Fa1->setText(e.nextNumber());
            ProposedNumber = e.nextNumber();
            setWindowTitle(kCaptionPrefix + ui_->Ed_Fa1->text() + QStringLiteral("[*]"));
            continue;
        }
        OwnInvoiceFile = created ? store.InvoiceFilePath(year, number) : existing;
        OpenedRecord.Eet = record.Eet;
        ShowEet();
        ProposedNumber.clear();
        SetModified(false);
        UpdateActions();
        UpdateOverdueNoticeAfterSave(wasOverdue);
        if (!record.Eet.isEmpty())
            EetService::Of(ProgramFolder).catchUp(OwnInvoiceFile, record.Eet);
        statusBar()->showMessage(QStringLiteral("Faktura %1 je uložena (%2).")
                                     .arg(number, QDir::toNativeSeparators(OwnInvoiceFile)),
                                 15000);
        return;
    }
    ShowWarning(QStringLiteral("Upozornění"),
                QStringLiteral("Fakturu se nepodařilo uložit: další volná čísla mezitím použily "
                               "jiné faktury. Zkuste ji uložit znovu."));
}

void THlavni::ShowJoinedPayment(const InvoiceRecord& saved) {
    OpenedRecord.DatumUhrady = saved.DatumUhrady;
    OpenedRecord.UhrazenaCastka = saved.UhrazenaCastka;
    OpenedRecord.Eet = saved.Eet;
    const QSignalBlocker blockDate(ui_->Ed_DatumUhrady);
    const QSignalBlocker blockAmount(ui_->Ed_UhrazenaCastka);
    ui_->Ed_DatumUhrady->setText(saved.DatumUhrady);
    ui_->Ed_UhrazenaCastka->setText(saved.UhrazenaCastka);
}

void THlavni::RecordCashPayment() {
    // Cash changes hands when the invoice is issued: the receipt bears the date of issue and
    // the amount rounded to whole crowns, and so does the payment. (Neither the due date, which
    // lies ahead, nor today, which differs from the receipt's date for an invoice written up
    // afterwards.)
    ui_->Ed_DatumUhrady->setText(FormatInvoiceDate(ui_->Datum_Fa8->date()));
    if (!TrimText(ui_->Ed_UhrazenaCastka->text()).isEmpty())
        return; // the amount the user typed stands
    const InvoiceFigures figures =
        ComputeInvoiceFigures(WindowRecord(), Settings, DocumentKind::PrijmovyDokladSRozpisem);
    ui_->Ed_UhrazenaCastka->setText(FormatHalere(figures.Due.Due));
}

QString THlavni::RegisterEetPayment(const QString& number, const QString& path,
                                    const QString& registered) {
    if (!eet::LoadEetSettings(ProgramFolder).registers)
        return registered;
    // The service takes amounts in CZK: a foreign amount at the invoice's exchange rate.
    const qint64 amount = EetAmountInCrowns(
        ParseFieldHalere(QStringLiteral("Uhrazená částka"), ui_->Ed_UhrazenaCastka->text()),
        ui_->Ed_Mena->text(), Settings.VychoziMena, ui_->Ed_Kurz->text(), number);
    if (amount == 0)
        return registered;
    const std::optional<eet::OutboxEntry> entry =
        EetService::Of(ProgramFolder)
            .registerPayment(QStringLiteral("Faktura ") + number,
                             NextEetPoradCis(number, registered), amount,
                             EetPaymentMoment(ui_->Datum_Fa8->date()), path);
    if (!entry)
        return registered;
    QList<EetPayment> payments = ReadEetPayments(registered);
    payments << EetPayment{entry->id, entry->amountHalere, entry->pok, entry->testPok};
    return EetPaymentsValue(payments);
}

void THlavni::ShowEet() {
    // The box shows while the supplier registers sales, or for an invoice registered before.
    ui_->GBox_Eet->setVisible(!OpenedRecord.Eet.isEmpty() ||
                              eet::LoadEetSettings(ProgramFolder).registers);
    const QString status = EetStatusText(OpenedRecord.Eet);
    ui_->Ed_Eet->setText(status);
    ui_->Ed_Eet->setCursorPosition(0);
    ui_->Ed_Eet->setToolTip(
        status.isEmpty() ? QStringLiteral("Platba faktury není evidována v EET.") : status);
}

void THlavni::EetWritten(const QString& path) {
    if (!ShowsFile(path))
        return;
    const QByteArray bytes = ReadWholeFile(path);
    OpenedRecord.Eet = EetValueOf(bytes);
    if (!modified_)
        OpenedBytes = bytes; // the window shows what the file holds
    ShowEet();
}

void THlavni::Akce_ZavritFakturuExecute() {
    if (modified_) {
        // Storno is the default and Escape's answer: neither Enter nor a slip loses the edits.
        const Answer answer =
            AskYesNoCancel(QStringLiteral("Upozornění"),
                           QStringLiteral("Ve faktuře byly provedeny změny, chcete je uložit?"));
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes) {
            Akce_UlozitFakturuExecute();
            // The user wants the edits kept: when they were not saved (no number, another
            // invoice's file not to be replaced), the invoice stays open with them.
            if (modified_)
                return;
        }
    }
    ui_->PageControl1->hide();
    ClearInvoice();
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    OwnInvoiceFile.clear();
    OpenedBytes.clear();
    ProposedNumber.clear();
    SetModified(false);
    UpdateActions();
}

} // namespace tarvela
