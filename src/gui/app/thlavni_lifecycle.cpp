// The invoice lifecycle of the main window: new, open, save, close and emptying the window.
#include "app/invoice_editor.h"
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

void THlavni::Akce_NovaFakturaExecute() {
    const int year = settings_.AktualniRok;
    const QString counter =
        InvoiceStore(programFolder_).NextInvoiceCounter(year, ProcessPaintEvents);
    if (counter == QStringLiteral("000")) {
        ShowInfo(QStringLiteral("Novou fakturu nelze vytvořit. Tato verze programu umožňuje "
                                "vyhotovit v jednom období nejvíce 999 faktur."));
        return;
    }
    // The dates lie inside the period: January's invoices prepared in December start on
    // 1 January, a late invoice of last year ends on 31 December.
    QDate today = Today();
    if (today.year() < year)
        today = QDate(year, 1, 1);
    else if (today.year() > year)
        today = QDate(year, 12, 31);
    ProposedNumber = QString::number(year) + counter;
    OwnInvoiceFile.clear();
    OpenedBytes.clear();
    editor_->show();
    editor_->StartNew(ProposedNumber, today);
    SetCaption(ProposedNumber);
    if (today != Today())
        statusBar()->showMessage(
            QStringLiteral("Faktura patří do období %1: datum plnění a vystavení je %2.")
                .arg(year)
                .arg(FormatInvoiceDate(today)),
            15000);
    else
        statusBar()->clearMessage();
    UpdateActions();
}

void THlavni::Akce_OtevritFakturuExecute() {
    bool confirmed = false;
    QString path;
    {
        TOtevrit dialog(programFolder_, this);
        dialog.SetYear(QString::number(settings_.AktualniRok));
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
        // The record starts from the emptied editor (no invoice is open), so the fields of
        // lines the file lacks keep their cleared values.
        InvoiceRecord record = editor_->Record();
        OpenedBytes = ReadWholeFile(path);
        ReadInvoiceBytes(OpenedBytes, record, settings_.VychoziMena);
        editor_->Load(record);
    } catch (...) {
        // An invoice that cannot be opened leaves nothing behind in the hidden editor: the
        // next new invoice starts empty and Save stays disabled.
        editor_->Clear();
        editor_->SetModified(false);
        OpenedBytes.clear();
        UpdateActions();
        throw;
    }
    editor_->show();
    SetCaption(editor_->Number());
    OwnInvoiceFile = path;
    editor_->SetModified(false);
    UpdateActions();
    const QString eet = editor_->OpenedRecord().Eet;
    if (!eet.isEmpty())
        EetService::Of(programFolder_).catchUp(path, eet);
}

void THlavni::Akce_UlozitFakturuExecute() {
    // An earlier save's "je uložena" must not stand beside this save's refusal.
    statusBar()->clearMessage();
    if (editor_->Number().isEmpty()) {
        ShowInfo(QStringLiteral("Faktura nemůže být uložena - není zadáno číslo faktury."));
        return;
    }
    editor_->CheckExchangeRateFields();
    const InvoiceStore store(programFolder_);
    const int year = settings_.AktualniRok;
    // Each "Ano" to the next free number is one more round here, never a call of this handler
    // from its own message box; the rounds are bounded.
    constexpr int kNumberOffers = 20;
    for (int offer = 0; offer < kNumberOffers; ++offer) {
        const QString number = editor_->Number();
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
        QString eet = ownFile ? editor_->OpenedRecord().Eet : QString();
        if (editor_->IsCash() && !editor_->HasPaymentDate()) {
            const QString typedAmount = editor_->PaidAmountText();
            editor_->RecordCashPayment();
            // Registered before the invoice is written: a kill in between leaves the payment
            // in the outbox, and the next save finds it there under the same receipt number.
            // A payment that cannot be registered (settings to mend) is not recorded either,
            // so that the next save registers it.
            try {
                eet = RegisterEetPayment(
                    number, existing.isEmpty() ? store.InvoiceFilePath(year, number) : existing,
                    eet);
            } catch (...) {
                editor_->UndoCashPayment(typedAmount);
                throw;
            }
            editor_->SetEet(eet);
        }

        // The invoice replaced may have been one of the overdue ones the status bar counts.
        const bool wasOverdue = !existing.isEmpty() && FileIsOverdue(existing);
        const bool created = proposed || existing.isEmpty();
        InvoiceRecord record = editor_->Record();
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
                editor_->ShowPayment(saved.record);
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
            editor_->SetNumber(e.nextNumber());
            ProposedNumber = e.nextNumber();
            SetCaption(ProposedNumber);
            continue;
        }
        OwnInvoiceFile = created ? store.InvoiceFilePath(year, number) : existing;
        editor_->SetEet(record.Eet);
        ProposedNumber.clear();
        editor_->SetModified(false);
        UpdateActions();
        UpdateOverdueNoticeAfterSave(wasOverdue);
        if (!record.Eet.isEmpty())
            EetService::Of(programFolder_).catchUp(OwnInvoiceFile, record.Eet);
        statusBar()->showMessage(QStringLiteral("Faktura %1 je uložena (%2).")
                                     .arg(number, QDir::toNativeSeparators(OwnInvoiceFile)),
                                 15000);
        return;
    }
    ShowWarning(QStringLiteral("Upozornění"),
                QStringLiteral("Fakturu se nepodařilo uložit: další volná čísla mezitím použily "
                               "jiné faktury. Zkuste ji uložit znovu."));
}

QString THlavni::RegisterEetPayment(const QString& number, const QString& path,
                                    const QString& registered) {
    if (!eet::LoadEetSettings(programFolder_).registers)
        return registered;
    // The service takes amounts in CZK: a foreign amount at the invoice's exchange rate.
    const InvoiceRecord invoice = editor_->Record();
    const qint64 amount = EetAmountInCrowns(
        ParseFieldHalere(QStringLiteral("Uhrazená částka"), invoice.UhrazenaCastka), invoice.Mena,
        settings_.VychoziMena, invoice.Kurz, number);
    if (amount == 0)
        return registered;
    const std::optional<eet::OutboxEntry> entry =
        EetService::Of(programFolder_)
            .registerPayment(QStringLiteral("Faktura ") + number,
                             NextEetPoradCis(number, registered), amount,
                             EetPaymentMoment(invoice.DatumVystaveni), path);
    if (!entry)
        return registered;
    QList<EetPayment> payments = ReadEetPayments(registered);
    payments << EetPayment{entry->id, entry->amountHalere, entry->pok, entry->testPok};
    return EetPaymentsValue(payments);
}

void THlavni::EetWritten(const QString& path) {
    if (!ShowsFile(path))
        return;
    const QByteArray bytes = ReadWholeFile(path);
    if (!editor_->IsModified())
        OpenedBytes = bytes; // the window shows what the file holds
    editor_->SetEet(EetValueOf(bytes));
}

void THlavni::Akce_ZavritFakturuExecute() {
    if (editor_->IsModified()) {
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
            if (editor_->IsModified())
                return;
        }
    }
    editor_->hide();
    editor_->Clear();
    SetCaption(QString());
    OwnInvoiceFile.clear();
    OpenedBytes.clear();
    ProposedNumber.clear();
    editor_->SetModified(false);
    UpdateActions();
}

void THlavni::Akce_OdberateleExecute() {
    if (InvoiceOpen())
        editor_->ChooseCustomerFromBook();
}

} // namespace tarvela
