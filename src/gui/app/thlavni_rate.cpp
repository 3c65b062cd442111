// The exchange rate of an invoice in a foreign currency: the bank's daily rate fetched in the
// background, and the check of a typed rate and its date before a save.
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QStatusBar>

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

void THlavni::Tl_KurzCNBClick() {
    const InvoiceRecord record = WindowRecord();
    const QString currency = DocumentCurrency(record, Settings);
    if (!IsForeignCurrency(record, Settings) || currency == QLatin1String("CZK")) {
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
    const ServiceSettings services = LoadServiceSettings(ProgramFolder);
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
                       statusBar()->showMessage(
                           QStringLiteral("Kurz ČNB ze dne %1: 1 %2 = %3 Kč.")
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

void THlavni::CheckExchangeRateFields() {
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
