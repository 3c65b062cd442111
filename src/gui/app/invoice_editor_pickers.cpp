// The invoice editor's pickers and look-ups: a template or customer taken from another invoice,
// the address book, the business register, the payment date and the bank's exchange rate.
#include "app/invoice_binding.h"
#include "app/invoice_editor.h"
#include "app/invoice_editor_ui.h"
#include "app/item_grid.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>

#include "editor/ares_lookup.h"
#include "editor/date_dialogs.h"
#include "editor/id_checks.h"
#include "editor/picker_files.h"
#include "editor/pickers.h"
#include "editor/todberatele.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "money/decimal.h"
#include "net/cnb_fetcher.h"
#include "printing/document_rules.h"
#include "printing/money.h"
#include "settings/service_settings.h"
#include "text/clock.h"
#include "text/dates.h"
#include "text/errors.h"
#include "text/helpers.h"
#include "text/message_boxes.h"

namespace tarvela {

namespace {

// Sets each field whose value the other invoice has.
template <std::size_t N>
void SetIfPresent(InvoiceEditorUi& ui, QLineEdit* InvoiceEditorUi::*const (&fields)[N],
                  const std::array<std::optional<QString>, N>& values) {
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i])
            (ui.*fields[i])->setText(*values[i]);
    }
}

void SetIfPresent(QLineEdit* field, const std::optional<QString>& value) {
    if (value)
        field->setText(*value);
}

} // namespace

// ---- Template and customer pickers ----------------------------------------------------------

void InvoiceEditor::TakeTemplate() {
    if (!BuildPeriodMenu(ui_->PMenu_Rok, programFolder_, [this](QAction* item) {
            const std::optional<TemplateTaken> taken =
                TakeTemplateFromInvoice(this, programFolder_, PeriodMenuYear(item));
            if (!taken)
                return;
            SetIfPresent(*ui_, kTemplateHeaderEdits, taken->Fa);
            SetIfPresent(*ui_, kCustomerEdits, taken->Customer.Od);
            ui_->Ed_OdberatelEmail->setText(taken->Customer.Email);
            grid_->SetRowsPresent(taken->Rows);
            SetIfPresent(ui_->Ed_Komentar1, taken->Komentar1);
            SetIfPresent(ui_->Ed_Komentar2, taken->Komentar2);
            SetIfPresent(ui_->Ed_Mena, taken->Mena);
            grid_->RecomputeAll(RatesOf(settings_));
            ShowTotals();
            ShowPaymentBoxTitle();
        }))
        return;
    const QPoint outer = window()->frameGeometry().topLeft();
    PopUpPeriodMenu(ui_->PMenu_Rok, QPoint(outer.x() + ui_->Tl_VybratVzorFaktury->x() + 17,
                                           outer.y() + ui_->GroupBox1->y() + 137));
}

void InvoiceEditor::TakeCustomer() {
    if (!BuildPeriodMenu(ui_->PMenu_Rok, programFolder_, [this](QAction* item) {
            const std::optional<CustomerTaken> taken =
                TakeCustomerFromInvoice(this, programFolder_, PeriodMenuYear(item));
            if (!taken)
                return;
            SetIfPresent(*ui_, kCustomerEdits, taken->Od);
            ui_->Ed_OdberatelEmail->setText(taken->Email);
        }))
        return;
    const QPoint outer = window()->frameGeometry().topLeft();
    PopUpPeriodMenu(ui_->PMenu_Rok, QPoint(outer.x() + ui_->Tl_VybratOdberatele->x() + 17,
                                           outer.y() + ui_->GroupBox2->y() + 137));
}

void InvoiceEditor::ChooseCustomerFromBook() {
    TOdberatele book(programFolder_, this);
    if (book.exec() != QDialog::Accepted)
        return;
    const std::optional<CustomerEntry> chosen = book.SelectedCustomer();
    if (!chosen)
        return;
    const QString email = chosen->FileName.isEmpty()
                              ? QString()
                              : CustomerEmailLine(FileLines::ReadFile(
                                    QDir(InvoiceStore(programFolder_).PeriodFolder(chosen->Year))
                                        .filePath(chosen->FileName)));
    for (int i = 0; i < kCustomerFieldCount; ++i)
        (ui_.get()->*kCustomerEdits[i])->setText(chosen->Fields[static_cast<size_t>(i)]);
    ui_->Ed_OdberatelEmail->setText(email);
}

// ---- The business register -------------------------------------------------------------------

void InvoiceEditor::LookUpInRegister() {
    if (!aresLookup_) {
        aresLookup_ = new AresLookup(this, programFolder_);
        ConnectGuarded(aresLookup_, &AresLookup::found, this, [this](const AresSubject& found) {
            if (isHidden())
                return; // the invoice was closed meanwhile
            ui_->Ed_Od2->setText(found.Nazev);
            ui_->Ed_Od5->setText(found.UliceCislo);
            ui_->Ed_Od6->setText(found.PSC);
            ui_->Ed_Od7->setText(found.Mesto);
            ui_->Ed_Od9->setText(found.DIC);
            emit statusMessage(QStringLiteral("Údaje odběratele byly načteny z registru ARES."),
                               5000);
        });
    }
    const bool asked = aresLookup_->Start(ui_->Ed_Od8->text());
    // A refused IČ has just been explained: leaving the field does not warn about it again.
    if (!asked)
        MarkIdWarned(ui_->Ed_Od8);
}

// ---- Payment date ---------------------------------------------------------------------------

void InvoiceEditor::SetPaymentDate() {
    QDate date = Today();
    if (!AskDate(date, QStringLiteral("Datum"), this))
        return;
    ui_->Ed_DatumUhrady->setText(FormatInvoiceDate(date));
    SetModified(true);
}

void InvoiceEditor::ClearPaymentDate() {
    ui_->Ed_DatumUhrady->clear();
    SetModified(true);
}

// ---- Exchange rate ---------------------------------------------------------------------------

void InvoiceEditor::FetchExchangeRate() {
    const InvoiceRecord record = Record();
    const QString currency = DocumentCurrency(record, settings_);
    if (!IsForeignCurrency(record, settings_) || currency == QLatin1String("CZK")) {
        ShowInfo(QStringLiteral("Faktura je v měně %1. Kurz ČNB se zadává jen u faktury v cizí "
                                "měně.")
                     .arg(currency));
        return;
    }
    const QDate date = ui_->Datum_Fa7->date();

    // The window stays live while the bank answers: a progress box with Storno, no waiting here.
    auto* progress = new QProgressDialog(
        QStringLiteral("Stahuji kurz %1 ČNB ke dni %2…").arg(currency, FormatInvoiceDate(date)),
        QStringLiteral("Storno"), 0, 0, this);
    progress->setObjectName(QStringLiteral("KurzCNBProgress"));
    progress->setWindowTitle(QStringLiteral("Kurz ČNB"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    const ServiceSettings services = LoadServiceSettings(programFolder_);
    auto* fetcher = new CnbRateFetcher(services.cnbUrl, progress);
    fetcher->setTrustedCertificates(services.trustedTls);

    // Ends the progress box; the fetcher goes with it, so a late answer changes nothing.
    auto finish = [progress, fetcher] {
        fetcher->disconnect(progress);
        progress->hide();
        progress->deleteLater();
    };
    ConnectGuarded(fetcher, &CnbRateFetcher::rateReady, progress,
                   [this, finish, currency](const QString& rate, const QDate& rateDate) {
                       finish();
                       ui_->Ed_Kurz->setText(rate);
                       ui_->Ed_DatumKurzu->setText(FormatInvoiceDate(rateDate));
                       emit statusMessage(QStringLiteral("Kurz ČNB ze dne %1: 1 %2 = %3 Kč.")
                                              .arg(FormatInvoiceDate(rateDate), currency, rate),
                                          15000);
                   });
    ConnectGuarded(fetcher, &CnbRateFetcher::failed, progress,
                   [this, finish](const QString& message) {
                       finish();
                       ShowInfo(message);
                       ui_->Ed_Kurz->setFocus(Qt::OtherFocusReason);
                   });
    ConnectGuarded(progress, &QProgressDialog::canceled, progress, finish);
    fetcher->fetch(date, currency);
    progress->show();
}

void InvoiceEditor::CheckExchangeRateFields() {
    // A rate is exact and plausible: 0,0001 to 100 000 crowns per unit, at most six decimals.
    try {
        CheckExchangeRate(ui_->Ed_Kurz->text());
    } catch (const ConversionError&) {
        ui_->Ed_Kurz->setFocus(Qt::OtherFocusReason);
        throw;
    }
    const QString date = ui_->Ed_DatumKurzu->text();
    if (!TrimText(date).isEmpty()) {
        try {
            CheckExchangeRateDate(ParseTypedDate(QStringLiteral("Datum kurzu"), date), Today());
        } catch (const TarvelaError&) {
            ui_->Ed_DatumKurzu->setFocus(Qt::OtherFocusReason);
            throw;
        }
    }
}

} // namespace tarvela
