#include "net/cnb_fetcher.h"

#include "text/errors.h"
#include "text/helpers.h"

#include <QTimer>

namespace tarvela {

namespace {

constexpr int kTimeoutMs = 15000;

} // namespace

QString CnbOfflineMessage() {
    return QStringLiteral("Kurz ČNB se nepodařilo stáhnout: počítač není připojen k internetu "
                          "nebo server ČNB neodpovídá. Zadejte kurz ručně.");
}

CnbRateFetcher::CnbRateFetcher(const QString& baseUrl, QObject* parent)
    : QObject(parent), baseUrl_(baseUrl), deadline_(new QTimer(this)), deadlineMs_(kCnbDeadlineMs) {
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("Server ČNB neposlal kurz do %1 s. Zadejte kurz ručně.")
                 .arg((deadlineMs_ + 999) / 1000));
    });
}

CnbRateFetcher::~CnbRateFetcher() = default;

void CnbRateFetcher::fail(const QString& message) {
    deadline_->stop();
    transfer_.reset();
    emit failed(message);
}

void CnbRateFetcher::fetch(const QDate& date, const QString& currency) {
    transfer_.reset();
    currency_ = UpperCaseAscii(TrimText(currency));
    HttpRequest request;
    request.url = CnbDailyRatesUrl(date, baseUrl_);
    request.transferTimeoutMs = kTimeoutMs;
    request.maxAnswerBytes = kMaxCnbAnswerBytes;
    request.answerHeaders = {"Content-Type"};
    request.caCertificatesPem = trusted_;
    transfer_ = StartHttpRequest(request, [this](const HttpAnswer& answer) { finished(answer); });
    // The transfer timeout starts anew with each byte: the deadline holds for the whole fetch.
    deadline_->start(deadlineMs_);
}

void CnbRateFetcher::finished(const HttpAnswer& answer) {
    deadline_->stop();
    transfer_.reset();
    if (!answer.moduleError.isEmpty()) {
        emit failed(answer.moduleError);
        return;
    }
    if (answer.tooLarge) {
        emit failed(QStringLiteral("Server ČNB poslal příliš dlouhou odpověď (více než %1 kB). "
                                   "Zadejte kurz ručně.")
                        .arg(kMaxCnbAnswerBytes / 1024));
        return;
    }
    if (answer.redirectRefused) {
        emit failed(QStringLiteral("Server ČNB přesměroval dotaz na jiný server. Zadejte kurz "
                                   "ručně."));
        return;
    }
    if (!answer.transferOk) {
        const int status = answer.status;
        emit failed(
            status >= 400
                ? QStringLiteral("Server ČNB odpověděl chybou %1. Zadejte kurz ručně.").arg(status)
                : CnbOfflineMessage());
        return;
    }
    if (answer.mediaType() != "text/plain") {
        // An error page of a proxy or a captive portal, never the bank's rates.
        emit failed(QStringLiteral("Server ČNB neodpověděl kurzovním lístkem (typ obsahu „%1“ "
                                   "místo „text/plain“). Zadejte kurz ručně.")
                        .arg(ContentTypeText(answer)));
        return;
    }
    CnbDailyRates rates;
    try {
        rates = ParseCnbDailyRates(answer.body);
    } catch (const TarvelaError& e) {
        emit failed(e.message() + QStringLiteral(" Zadejte kurz ručně."));
        return;
    }
    const std::optional<Decimal> rate = rates.rate(currency_);
    if (!rate) {
        emit failed(
            QStringLiteral("ČNB nevyhlašuje kurz měny %1. Zadejte kurz ručně.").arg(currency_));
        return;
    }
    emit rateReady(CnbRateText(*rate), rates.date);
}

} // namespace tarvela
