#include "net/cnb_fetcher.h"

#include "text/errors.h"
#include "text/helpers.h"

namespace tarvela {

namespace {

constexpr int kTimeoutMs = 15000;

} // namespace

QString CnbOfflineMessage() {
    return QStringLiteral("Kurz ČNB se nepodařilo stáhnout: počítač není připojen k internetu "
                          "nebo server ČNB neodpovídá. Zadejte kurz ručně.");
}

CnbRateFetcher::CnbRateFetcher(const QString& baseUrl, QObject* parent)
    : QObject(parent), baseUrl_(baseUrl) {}

CnbRateFetcher::~CnbRateFetcher() = default;

void CnbRateFetcher::fetch(const QDate& date, const QString& currency) {
    transfer_.reset();
    currency_ = UpperCaseAscii(TrimText(currency));
    transfer_ = StartHttpGet(CnbDailyRatesUrl(date, baseUrl_), {}, kTimeoutMs,
                             [this](const HttpAnswer& answer) { finished(answer); });
}

void CnbRateFetcher::finished(const HttpAnswer& answer) {
    transfer_.reset();
    if (!answer.moduleError.isEmpty()) {
        emit failed(answer.moduleError);
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
    CnbDailyRates rates;
    try {
        rates = ParseCnbDailyRates(answer.body);
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
