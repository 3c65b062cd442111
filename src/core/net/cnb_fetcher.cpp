#include "net/cnb_fetcher.h"

#include "text/errors.h"
#include "text/helpers.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
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
    : QObject(parent), baseUrl_(baseUrl), network_(new QNetworkAccessManager(this)),
      deadline_(new QTimer(this)), deadlineMs_(kCnbDeadlineMs) {
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("Server ČNB neposlal kurz do %1 s. Zadejte kurz ručně.")
                 .arg((deadlineMs_ + 999) / 1000));
    });
}

void CnbRateFetcher::fail(const QString& message) {
    deadline_->stop();
    if (QNetworkReply* reply = reply_.data()) {
        reply_.clear();
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    emit failed(message);
}

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
    // A redirect to another server is not followed: the rate must come from the bank's address.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    reply_ = network_->get(request);
    connect(reply_.data(), &QNetworkReply::finished, this, &CnbRateFetcher::finished);
    connect(reply_.data(), &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > kMaxCnbAnswerBytes)
            fail(QStringLiteral("Server ČNB poslal příliš dlouhou odpověď (více než %1 kB). "
                                "Zadejte kurz ručně.")
                     .arg(kMaxCnbAnswerBytes / 1024));
    });
    // The transfer timeout starts anew with each byte: the deadline holds for the whole fetch.
    deadline_->start(deadlineMs_);
}

void CnbRateFetcher::finished() {
    QNetworkReply* reply = reply_.data();
    reply_.clear();
    if (reply == nullptr)
        return;
    reply->deleteLater();
    deadline_->stop();
    if (reply->error() == QNetworkReply::InsecureRedirectError ||
        reply->error() == QNetworkReply::TooManyRedirectsError) {
        emit failed(QStringLiteral("Server ČNB přesměroval dotaz na jiný server. Zadejte kurz "
                                   "ručně."));
        return;
    }
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
        rates = ParseCnbDailyRates(reply->read(kMaxCnbAnswerBytes + 1));
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
