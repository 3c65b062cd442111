// The open invoice as an e-invoice and by e-mail, and the accountant's exports of a period.
//
// The e-invoice and the e-mail take what the window shows (unsaved edits included), like
// printing; the period export and the VAT summary read the saved invoice files.
#include "app/thlavni.h"
#include "app/thlavni_documents.h"
#include "app/thlavni_ui.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_store.h"
#include "money/invoice_figures.h"
#include "printing/accountant_export.h"
#include "printing/document_rules.h"
#include "printing/invoice_email.h"
#include "printing/isdoc_invoice.h"
#include "printing/money.h"
#include "printing/print_module.h"
#include "printing/report_data_set.h"
#include "printing/texportucetni.h"
#include "printing/tprehleddph.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/file_dialogs.h"
#include "text/gui_helpers.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tarvela {

namespace {

// The actions of each kind: its print action, whose state the others follow, its e-invoice
// action (none for the kinds without one) and its e-mail action.
struct KindActions {
    DocumentKind kind;
    QAction* THlavniUi::*print;
    QAction* THlavniUi::*isdoc;
    QAction* THlavniUi::*email;
};
constexpr KindActions kKindActions[] = {
    {DocumentKind::Faktura, &THlavniUi::Akce_TiskFaktury01, &THlavniUi::Akce_IsdocFaktury01,
     &THlavniUi::Akce_EmailFaktury01},
    {DocumentKind::ProformaFaktura, &THlavniUi::Akce_TiskFaktury02, &THlavniUi::Akce_IsdocFaktury02,
     &THlavniUi::Akce_EmailFaktury02},
    {DocumentKind::DanovyDoklad, &THlavniUi::Akce_TiskFaktury03, &THlavniUi::Akce_IsdocFaktury03,
     &THlavniUi::Akce_EmailFaktury03},
    {DocumentKind::Dobropis, &THlavniUi::Akce_TiskFaktury04, &THlavniUi::Akce_IsdocFaktury04,
     &THlavniUi::Akce_EmailFaktury04},
    {DocumentKind::DodaciList, &THlavniUi::Akce_TiskFaktury06, nullptr,
     &THlavniUi::Akce_EmailFaktury06},
    {DocumentKind::CenovaNabidka, &THlavniUi::Akce_TiskFaktury10, nullptr,
     &THlavniUi::Akce_EmailFaktury10},
    {DocumentKind::PrijmovyDokladSRozpisem, &THlavniUi::Akce_TiskFaktury20,
     &THlavniUi::Akce_IsdocFaktury20, &THlavniUi::Akce_EmailFaktury20},
};

const QString kEmailCaption = QStringLiteral("Odeslat e-mailem");

QList<int> PeriodYears(const InvoiceStore& store) {
    QList<int> years;
    for (const QString& name : store.ListPeriodFolders())
        years.append(name.toInt());
    return years;
}

// The invoices whose date of taxable supply lies in the period, from the folder of its year and
// of the next one (December's supply is often invoiced in January).
std::vector<PeriodInvoice> InvoicesOfPeriod(const QString& programFolder, int year,
                                            const std::pair<QDate, QDate>& period,
                                            const AppSettings& settings) {
    const InvoiceStore store(programFolder);
    std::vector<PeriodInvoice> invoices;
    for (const int folder : {year, year + 1}) {
        if (!store.PeriodFolderExists(folder))
            continue;
        std::vector<PeriodInvoice> read = ReadPeriodInvoices(
            store, folder, period.first, period.second, settings, ProcessPaintEvents);
        std::move(read.begin(), read.end(), std::back_inserter(invoices));
    }
    return invoices;
}

QString PeriodText(const std::pair<QDate, QDate>& period) {
    return FormatInvoiceDate(period.first) + QStringLiteral(" - ") +
           FormatInvoiceDate(period.second);
}

// "prehled-dph-2026-03.csv" for a month, "prehled-dph-2026-01-03.csv" for a quarter.
QString VatCsvName(const std::pair<QDate, QDate>& period) {
    QString name =
        QStringLiteral("prehled-dph-") + period.first.toString(QStringLiteral("yyyy-MM"));
    if (period.first.month() != period.second.month())
        name += QLatin1Char('-') + period.second.toString(QStringLiteral("MM"));
    return name + QStringLiteral(".csv");
}

// The reason a write failed, in words the user can act on.
QString WriteFailureReason(int error) {
    switch (error) {
    case ENOENT:
        return QStringLiteral("složka neexistuje");
    case ENOTDIR:
    case EEXIST:
        return QStringLiteral("v cestě je soubor místo složky");
    case EACCES:
    case EPERM:
        return QStringLiteral("do složky nemáte právo zapisovat");
    case EROFS:
        return QStringLiteral("disk je jen pro čtení");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("na disku není místo");
    case EISDIR:
        return QStringLiteral("pod tímto jménem je složka");
    case ENAMETOOLONG:
        return QStringLiteral("jméno je příliš dlouhé");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// Writes the file, creating its folder when the user chose one that does not exist; a failure
// names the file and the reason.
void WriteOrThrow(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        errno = 0;
        if (!QDir().mkpath(folder)) {
            const int error = errno != 0 ? errno : EACCES;
            throw FileError(QStringLiteral("Složku „%1“ nelze vytvořit: %2.")
                                .arg(QDir::toNativeSeparators(folder), WriteFailureReason(error)));
        }
    }
    errno = 0;
    if (!WriteFileAtomically(path, bytes)) {
        const int error = errno != 0 ? errno : EIO;
        throw FileError(QStringLiteral("Soubor „%1“ nelze zapsat: %2.")
                            .arg(QDir::toNativeSeparators(path), WriteFailureReason(error)));
    }
}

// The customer's e-mail address goes to xdg-email as an argument: it must be one address.
void CheckRecipient(const QString& email) {
    const QString address = email.trimmed();
    if (address.isEmpty())
        return;
    static const QRegularExpression kAddress(
        QStringLiteral(R"(^[^\s@,;<>"-][^\s@,;<>"]*@[^\s@,;<>"]+$)"));
    if (!kAddress.match(address).hasMatch())
        throw ValidationError(QStringLiteral("E-mail odběratele „%1“ není platná adresa (například "
                                             "jmeno@firma.cz). E-mail nebyl připraven.")
                                  .arg(address));
}

} // namespace

void THlavni::ConnectExportHandlers() {
    for (const KindActions& k : kKindActions) {
        const DocumentKind kind = k.kind;
        if (k.isdoc)
            ConnectGuarded(ui_.get()->*k.isdoc, &QAction::triggered, this,
                           [this, kind] { Akce_IsdocFakturyExecute(kind); });
        ConnectGuarded(ui_.get()->*k.email, &QAction::triggered, this,
                       [this, kind] { Akce_EmailFakturyExecute(kind); });
    }
    ConnectGuarded(ui_->Akce_ExportUcetni, &QAction::triggered, this,
                   &THlavni::Akce_ExportUcetniExecute);
    ConnectGuarded(ui_->Akce_PrehledDPH, &QAction::triggered, this,
                   &THlavni::Akce_PrehledDPHExecute);
}

void THlavni::UpdateExportActions() {
    const bool open = InvoiceOpen();
    ui_->HMenu_Isdoc->menuAction()->setEnabled(open);
    ui_->HMenu_Email->menuAction()->setEnabled(open);
    for (const KindActions& k : kKindActions) {
        const QAction* print = ui_.get()->*k.print;
        for (QAction* follower : {k.isdoc ? ui_.get()->*k.isdoc : nullptr, ui_.get()->*k.email}) {
            if (!follower)
                continue;
            follower->setEnabled(print->isEnabled());
            follower->setVisible(print->isVisible());
        }
    }
}

void THlavni::Akce_IsdocFakturyExecute(DocumentKind kind) {
    const InvoiceSnapshot invoice = TakeSnapshot(*this);
    // What cannot be printed or lacks data the e-invoice needs is refused before the dialog.
    CheckDocumentPrintable(kind, invoice, settings_);
    const QByteArray isdoc = BuildIsdocInvoice(kind, invoice, settings_);
    const QString path = AskSaveFileName(
        this, QStringLiteral("Uložit jako ISDOC"),
        DocumentsFolder() + QLatin1Char('/') + PeriodIsdocFileName(invoice.fields, kind),
        QStringLiteral("Elektronická faktura ISDOC (*.isdoc)"), QStringLiteral("isdoc"));
    if (path.isEmpty())
        return;
    WriteOrThrow(path, isdoc);
    statusBar()->showMessage(
        QStringLiteral("Uloženo jako ISDOC: %1").arg(QDir::toNativeSeparators(path)), 15000);
}

void THlavni::Akce_EmailFakturyExecute(DocumentKind kind) {
    const InvoiceSnapshot invoice = TakeSnapshot(*this);
    CheckDocumentPrintable(kind, invoice, settings_);
    CheckRecipient(invoice.fields.OdberatelEmail);
    // Missing data is refused before any file is written.
    const QByteArray isdoc =
        HasIsdoc(kind) ? BuildIsdocInvoice(kind, invoice, settings_) : QByteArray();

    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/tarvela-email-XXXXXX"));
    if (!folder.isValid())
        throw FileError(QStringLiteral("Dočasnou složku pro přílohy e-mailu nelze vytvořit."));
    // Fixed names from the number's digits: nothing of the number reaches the mail client.
    const QString pdf =
        folder.filePath(EmailAttachmentName(kind, invoice.fields.Cislo, QStringLiteral(".pdf")));
    bool written = false;
    const bool built =
        WithInvoiceDocument(*this, kind,
                            [&](const QString& templatePath, const QString& title,
                                const QString& variables, const ReportDataSet& rows) {
                                written = SaveStandardReportPdf(programFolder_, templatePath, title,
                                                                variables, rows, pdf);
                            });
    if (!built || !written)
        return;
    QStringList attachments{pdf};
    if (HasIsdoc(kind)) {
        attachments.append(folder.filePath(
            EmailAttachmentName(kind, invoice.fields.Cislo, QStringLiteral(".isdoc"))));
        WriteOrThrow(attachments.last(), isdoc);
    }
    // The mail client reads the attachments after xdg-email has ended: they stay.
    folder.setAutoRemove(false);
    const QString folderPath = folder.path();

    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty()) {
        ShowWarning(kEmailCaption, MailClientFailure(kMailClientMissing, folderPath));
        return;
    }
    auto* process = new QProcess(this);
    process->setObjectName(QStringLiteral("EmailProcess"));
    process->setProgram(program);
    QStringList arguments = MailClientArguments(
        InvoiceEmailSubject(kind, invoice.fields, settings_),
        InvoiceEmailBody(
            kind, invoice.fields, settings_,
            FormatHalere(ComputeInvoiceFigures(invoice.fields, settings_, kind).Due.Due),
            HasIsdoc(kind)),
        attachments);
    // The customer's address, when the invoice has one, is the recipient (xdg-email takes the
    // addresses after the options).
    const QString recipient = invoice.fields.OdberatelEmail.trimmed();
    if (!recipient.isEmpty())
        arguments << recipient;
    process->setArguments(arguments);
    ConnectGuarded(
        process, &QProcess::finished, this,
        [this, process, folderPath](int exitCode, QProcess::ExitStatus status) {
            process->deleteLater();
            if (status != QProcess::NormalExit || exitCode != 0)
                statusBar()->showMessage(
                    QStringLiteral("E-mail se nepodařilo předat poštovnímu programu."), 15000);
            if (status != QProcess::NormalExit)
                ShowWarning(kEmailCaption, MailClientFailure(kMailClientCrashed, folderPath));
            else if (exitCode != 0)
                ShowWarning(kEmailCaption, MailClientFailure(exitCode, folderPath));
            else
                statusBar()->showMessage(
                    QStringLiteral("E-mail je připraven v poštovním programu."), 15000);
        });
    ConnectGuarded(
        process, &QProcess::errorOccurred, this,
        [this, process, folderPath](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            process->deleteLater();
            statusBar()->showMessage(
                QStringLiteral("E-mail se nepodařilo předat poštovnímu programu."), 15000);
            ShowWarning(kEmailCaption, MailClientFailure(kMailClientMissing, folderPath));
        });
    statusBar()->showMessage(QStringLiteral("Předávám e-mail poštovnímu programu…"), 15000);
    process->start();
}

void THlavni::Akce_ExportUcetniExecute() {
    TExportUcetni dialog(PeriodYears(InvoiceStore(programFolder_)), settings_.AktualniRok,
                         DocumentsFolder() + QStringLiteral("/Export pro účetní"), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::pair<QDate, QDate> period = dialog.Period();
    const std::vector<PeriodInvoice> invoices =
        InvoicesOfPeriod(programFolder_, dialog.Year(), period, settings_);
    if (invoices.empty()) {
        ShowInfo(QStringLiteral("V období %1 není žádná faktura (podle data plnění), nic nebylo "
                                "zapsáno.")
                     .arg(PeriodText(period)));
        return;
    }
    const QString folder = QDir::fromNativeSeparators(dialog.Folder());
    if (!QDir().mkpath(folder))
        throw FileError(
            QStringLiteral("Složku „%1“ nelze vytvořit.").arg(QDir::toNativeSeparators(folder)));
    const QStringList written = ExportPeriod(folder, invoices, dialog.Kinds(), settings_);
    ShowInfo(QStringLiteral("Export za období %1 je hotov.\r\nSložka: %2\r\nFaktur: %3\r\n"
                            "Souborů ISDOC: %4\r\nPřehled faktur: %5")
                 .arg(PeriodText(period), QDir::toNativeSeparators(folder))
                 .arg(invoices.size())
                 .arg(written.size() - 1)
                 .arg(written.last()));
}

void THlavni::Akce_PrehledDPHExecute() {
    const QString templatePath = ExistingTemplate(programFolder_, VatSummaryTemplate());
    if (templatePath.isEmpty())
        return;
    TPrehledDPH dialog(PeriodYears(InvoiceStore(programFolder_)), settings_.AktualniRok, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::pair<QDate, QDate> period = dialog.Period();
    const VatSummary summary =
        SummarizeVat(InvoicesOfPeriod(programFolder_, dialog.Year(), period, settings_),
                     period.first, period.second);
    if (dialog.SaveCsv()) {
        const QString path =
            AskSaveFileName(this, QStringLiteral("Uložit přehled DPH jako CSV"),
                            DocumentsFolder() + QLatin1Char('/') + VatCsvName(period),
                            QStringLiteral("Tabulka CSV (*.csv)"), QStringLiteral("csv"));
        if (!path.isEmpty())
            WriteOrThrow(path, VatSummaryCsv(summary, settings_));
    }
    ReportDataSet dataSet;
    const ReportDataSetCleanup cleanup(dataSet);
    FillVatSummary(dataSet, summary, settings_);
    RunStandardReport(programFolder_, templatePath, VatSummaryTitle(summary),
                      VatSummaryVariables(summary, settings_).text(), dataSet);
}

} // namespace tarvela
