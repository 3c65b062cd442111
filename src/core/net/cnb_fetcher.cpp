#include "net/cnb_fetcher.h"

#include "text/errors.h"
#include "text/helpers.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace tarvela {

namespace {

constexpr int kTimeoutMs = 15000;

} // namespace

QString CnbOfflineMessage() {
    return QStringLiteral("Kurz ČNB se nepodařilo stáhnout: počítač není připojen k internetu "
                          "nebo server ČNB neodpovídá. Zadejte kurz ručně.");
}

CnbRateFetcher::CnbRateFetcher(const QString& baseUrl, QObject* parent)
    : QObject(parent), baseUrl_(baseUrl), network_(new QNetworkAccessManager(this)) {}

CnbRateFetcher::~CnbRateFetcher() {
    if (reply_)
        reply_->abort();
}

void CnbRateFetcher::fetch(const QDate& date, const QString& currency) {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    currency_ = UpperCaseAscii(TrimText(currency));
    QNetworkRequest request(QUrl(CnbDailyRatesUrl(date, baseUrl_)));
    request.setTransferTimeout(kTimeoutMs);
    reply_ = network_->get(request);
    connect(reply_.data(), &QNetworkReply::finished, this, &CnbRateFetcher::finished);
}

void CnbRateFetcher::finished() {
    QNetworkReply* reply = reply_.data();
    reply_.clear();
    if (reply == nullptr)
        return;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        emit failed(
            status >= 400
                ? QStringLiteral("Server ČNB odpověděl chybou %1. Zadejte kurz ručně.").arg(status)
                : CnbOfflineMessage());
        return;
    }
    CnbDailyRates rates;
    try {
        rates = ParseCnbDailyRates(reply->readAll());
    } catch (const TarvelaError& e) {
        emit failed(e.message() + QStringLiteral(" Zadejte kurz ručně."));
        return;
    }
    const std::optional<double> rate = rates.rate(currency_);
    if (!rate) {
        emit failed(
            QStringLiteral("ČNB nevyhlašuje kurz měny %1. Zadejte kurz ručně.").arg(currency_));
        return;
    }
    emit rateReady(CnbRateText(*rate), rates.date);
}

} // namespace tarvela
