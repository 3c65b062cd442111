// The invoice book from the main window: the book itself, opening an invoice chosen there, the
// payments written there or from a bank statement, and the status bar's notice of overdue
// invoices.
#include "app/invoice_editor.h"
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>

#include <algorithm>

#include "bank/tvypiszbanky.h"
#include "editor/invoice_list.h"
#include "editor/tknihafaktur.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "text/clock.h"
#include "text/errors.h"
#include "text/message_boxes.h"
#include "text/sliced_work.h"

namespace tarvela {

BookHost THlavni::Host() const {
    // A new invoice has no file yet: nothing of it can be paid elsewhere.
    return BookHost{InvoiceOpen() && editor_->IsModified() ? OwnInvoiceFile : QString()};
}

void THlavni::ShowBook(StatusFilter filter) {
    const BookHost host = Host();
    QString chosen;
    int overdue = 0;
    {
        TKnihaFaktur book(programFolder_, settings_, host, this);
        ConnectGuarded(&book, &TKnihaFaktur::paymentWritten, this,
                       [this](const QString& path) { PaymentWritten(path); });
        book.SetStatusFilter(filter);
        if (book.exec() == QDialog::Accepted)
            chosen = book.SelectedFile;
        overdue = book.OverdueCount();
    }
    // A book closed before it was read whole leaves the notice as it was.
    if (overdue >= 0)
        UpdateOverdueNotice(overdue);
    if (!chosen.isEmpty())
        OpenInvoiceFromBook(chosen);
}

void THlavni::Akce_NacistVypisExecute() {
    // The review of the statement's payments, with the open invoice guarded as the book guards
    // it.
    const BookHost host = Host();
    const QStringList written = ImportBankStatements(this, programFolder_, settings_, host);
    for (const QString& path : written)
        PaymentWritten(path);
    if (!written.isEmpty())
        UpdateOverdueNotice(-1);
}

void THlavni::OpenInvoiceFromBook(const QString& path) {
    if (ShowsFile(path))
        return; // already in the window, with whatever edits it has
    if (InvoiceOpen()) {
        Akce_ZavritFakturuExecute();
        if (InvoiceOpen())
            return;
    }
    OpenInvoiceFile(path);
}

void THlavni::PaymentWritten(const QString& path) {
    if (editor_->IsModified() || !ShowsFile(path))
        return;
    InvoiceRecord record;
    OpenedBytes = ReadWholeFile(path);
    ReadInvoiceBytes(OpenedBytes, record, settings_.VychoziMena);
    // The payment and its EET registration (the book registers a payment received in person).
    editor_->ShowPayment(record);
    editor_->SetModified(false);
    UpdateActions();
}

void THlavni::CreateOverdueNotice() {
    auto* notice = new QPushButton(statusBar());
    notice->setObjectName(QStringLiteral("Tl_PoSplatnosti"));
    notice->setFlat(true);
    notice->setCursor(Qt::PointingHandCursor);
    notice->setFocusPolicy(Qt::NoFocus);
    notice->setToolTip(QStringLiteral("Otevřít knihu faktur s fakturami po splatnosti"));
    // As high as a line of the status bar's text, so the bar keeps its height.
    notice->setFixedHeight(notice->fontMetrics().height() + 2);
    QPalette palette = notice->palette();
    palette.setColor(QPalette::ButtonText, QColor(172, 0, 0));
    notice->setPalette(palette);
    notice->hide();
    statusBar()->addPermanentWidget(notice);
    ConnectGuarded(notice, &QPushButton::clicked, this,
                   [this] { ShowBook(StatusFilter::Overdue); });
    ui_->Tl_PoSplatnosti = notice;
}

void THlavni::UpdateOverdueNotice(int count) {
    if (count >= 0) {
        overdueScan_->Stop(); // a count given is newer than the one being made
        overdueKnown_ = true;
        ShowOverdueNotice(count);
        return;
    }
    overdueKnown_ = false;
    const int year = settings_.AktualniRok;
    const QString programFolder = programFolder_;
    const VatRates rates = RatesOf(settings_);
    const QString currency = settings_.VychoziMena;
    const QDate today = Today();
    auto walk = std::make_shared<InvoiceFileWalk>(InvoiceStore(programFolder), year);
    auto overdue = std::make_shared<int>(0);
    overdueScan_->StartWhenShown(
        this,
        [this, walk, overdue, year, programFolder, rates, currency, today] {
            if (!staleFilesRemoved_) {
                // What an interrupted save left in the period folder goes first.
                staleFilesRemoved_ = true;
                InvoiceStore(programFolder).RemoveStaleTemporaryFiles(year);
            }
            const std::optional<InvoiceFileWalk::File> file = walk->Next();
            if (!file)
                return false;
            const BookEntry entry = ReadBookFile(file->Path(), year, rates, currency);
            if (EntryStatus(entry, today).State == PaymentState::Overdue)
                ++*overdue;
            return true;
        },
        [this, overdue] {
            overdueKnown_ = true;
            ShowOverdueNotice(*overdue);
        });
}

bool THlavni::OverdueNoticePending() const {
    return overdueScan_->IsRunning();
}

void THlavni::ShowOverdueNotice(int count) {
    OverdueShown = count;
    ui_->Tl_PoSplatnosti->setText(count > 0 ? OverdueNotice(count) : QString());
    ui_->Tl_PoSplatnosti->setVisible(count > 0);
}

bool THlavni::FileIsOverdue(const QString& path) const {
    try {
        const BookEntry entry = ReadBookEntry(ReadWholeFile(path), path, settings_.AktualniRok,
                                              RatesOf(settings_), settings_.VychoziMena);
        return EntryStatus(entry, Today()).State == PaymentState::Overdue;
    } catch (const FileError&) {
        return false; // the book shows such a file with nothing owed
    }
}

void THlavni::UpdateOverdueNoticeAfterSave(bool wasOverdue) {
    if (!overdueKnown_) {
        // Still being counted: counted anew, so the saved invoice counts as it is now.
        if (overdueScan_->IsRunning())
            UpdateOverdueNotice();
        return;
    }
    const int now = FileIsOverdue(OwnInvoiceFile) ? 1 : 0;
    UpdateOverdueNotice(std::max(0, OverdueShown - (wasOverdue ? 1 : 0) + now));
}

} // namespace tarvela
