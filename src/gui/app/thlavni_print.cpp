// Printing from the main window: the invoice documents, the overview and the cash receipt.
//
// Each handler takes what the window shows at that moment (unsaved edits included), lets the
// printing core build the variables and the rows, and hands them to the print module. The data
// set belongs to the handler; a cleanup guard clears its columns and closes it again whatever
// happens on the way.
#include "app/thlavni.h"
#include "app/thlavni_documents.h"
#include "app/thlavni_ui.h"

#include "eet/eet_settings.h"
#include "invoice/invoice_eet.h"
#include "invoice/invoice_store.h"
#include "printing/cash_receipt.h"
#include "printing/document_rules.h"
#include "printing/invoice_documents.h"
#include "printing/period_overview.h"
#include "printing/print_module.h"
#include "printing/report_data_set.h"
#include "text/gui_helpers.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <stdexcept>

namespace tarvela {

InvoiceSnapshot TakeSnapshot(const THlavni& w) {
    InvoiceSnapshot s;
    s.fields = w.WindowRecord();
    return s;
}

QString ExistingTemplate(const QString& programFolder, const QString& relativePath) {
    const QString path = programFolder + relativePath;
    if (!QFileInfo::exists(path)) {
        ShowInfo(QStringLiteral("Nebyl nalezen soubor předlohy \"") + path + QStringLiteral("\"."));
        return QString();
    }
    return path;
}

namespace {

// True when there is nothing to warn of or the user answers Ano.
bool ConfirmDocumentWarnings(const QStringList& warnings) {
    if (warnings.isEmpty())
        return true;
    return AskYesNo(QStringLiteral("Upozornění"),
                    warnings.join(QStringLiteral("\n")) +
                        QStringLiteral("\n\nChcete doklad přesto vytvořit?"));
}

} // namespace

bool WithInvoiceDocument(const THlavni& w, DocumentKind kind, const InvoiceDocumentRun& run) {
    const QString templatePath = ExistingTemplate(w.ProgramFolder(), DocumentTemplate(kind));
    if (templatePath.isEmpty())
        return false;

    const InvoiceSnapshot invoice = TakeSnapshot(w);
    // A tax document with a rate the settings do not know, or in another currency without its
    // rate, is refused before anything is printed (the error box names the rows).
    CheckDocumentPrintable(kind, invoice, w.Settings());
    // What may be printed but looks wrong (a credit note asking for a payment) is asked first.
    const DocumentFigures figures = DocumentFiguresOf(kind, invoice, w.Settings());
    if (!ConfirmDocumentWarnings(DocumentWarnings(kind, figures)))
        return false;
    const PrintVariables variables = InvoiceDocumentVariables(kind, invoice, w.Settings());

    ReportDataSet dataSet;
    const ReportDataSetCleanup cleanup(dataSet);
    FillInvoiceItems(dataSet, kind, invoice);
    run(templatePath,
        DocumentReportTitle(kind, w.Settings().Platce, invoice.fields.Cislo,
                            kind == DocumentKind::PrijmovyDokladSRozpisem && IsCashPayout(figures)),
        variables.text(), dataSet);
    return true;
}

namespace {

// One document of the open invoice, as the window shows it.
void PrintInvoiceDocument(const THlavni& w, DocumentKind kind) {
    WithInvoiceDocument(w, kind,
                        [&w](const QString& templatePath, const QString& title,
                             const QString& variables, const ReportDataSet& rows) {
                            RunStandardReport(w.ProgramFolder(), templatePath, title, variables,
                                              rows);
                        });
}

} // namespace

void THlavni::Akce_TiskFaktury01Execute(QAction* akce) {
    if (!akce)
        throw std::invalid_argument("print handler called without its action");
    // The action carries the kind it prints as its data (set where the actions are set up).
    if (akce->data().metaType() != QMetaType::fromType<DocumentKind>())
        throw std::invalid_argument("print action without its document kind: " +
                                    akce->objectName().toStdString());
    PrintInvoiceDocument(*this, akce->data().value<DocumentKind>());
}

void THlavni::Akce_SestavaPrijmovyDokladExecute() {
    const QString templatePath = ExistingTemplate(programFolder_, CashReceiptTemplate());
    if (templatePath.isEmpty())
        return;
    const InvoiceSnapshot invoice = TakeSnapshot(*this);
    CheckDocumentPrintable(DocumentKind::PrijmovyDokladSRozpisem, invoice, settings_);
    PrintVariables variables = CashReceiptVariables(invoice, settings_);
    // The POK of the payment's EET registration when the user chose to print it: a confirmed
    // one of the production service; the playground's only as "ověřovací režim".
    if (eet::LoadEetSettings(programFolder_).printPok) {
        const QString pok = EetReceiptText(invoice.fields.Eet);
        if (!pok.isEmpty())
            variables.add(QStringLiteral("EetPok"), pok);
    }
    RunPlainReport(
        programFolder_, templatePath,
        CashReceiptReportTitle(invoice.fields.Cislo, CashReceiptPaysOut(invoice, settings_)),
        variables.text());
}

void THlavni::Akce_SestavaPrehledExecute() {
    const QString templatePath = ExistingTemplate(programFolder_, PeriodOverviewTemplate());
    if (templatePath.isEmpty())
        return;

    const QList<OverviewEntry> entries =
        CollectPeriodOverview(InvoiceStore(programFolder_), settings_, ProcessPaintEvents);
    if (entries.isEmpty()) {
        ShowInfo(QStringLiteral("Není nalezena žádná faktura ..."));
        return;
    }

    ReportDataSet dataSet;
    const ReportDataSetCleanup cleanup(dataSet);
    FillPeriodOverview(dataSet, entries, settings_.VychoziMena);
    RunStandardReport(programFolder_, templatePath, PeriodOverviewTitle(settings_.AktualniRok),
                      PeriodOverviewVariables(settings_, entries).text(), dataSet);
}

} // namespace tarvela
