#include "net/ares_fetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace tarvela {

namespace {

AresServiceOverride* g_override = nullptr;

} // namespace

QString AresOfflineMessage() {
    return QStringLiteral("Údaje z registru ARES se nepodařilo načíst: počítač není připojen "
                          "k internetu nebo server ARES neodpovídá. Zadejte údaje ručně.");
}

AresServiceOverride::AresServiceOverride(const QString& url, int ms)
    : baseUrl(url), timeoutMs(ms), outer_(g_override) {
    g_override = this;
}

AresServiceOverride::~AresServiceOverride() {
    g_override = outer_;
}

AresFetcher::AresFetcher(const QString& baseUrl, QObject* parent)
    : QObject(parent), baseUrl_(baseUrl), timeoutMs_(kAresTimeoutMs),
      network_(new QNetworkAccessManager(this)), timer_(new QTimer(this)) {
    if (baseUrl_.isEmpty()) {
        baseUrl_ = g_override ? g_override->baseUrl : QString::fromLatin1(kAresBaseUrl);
        if (g_override)
            timeoutMs_ = g_override->timeoutMs;
    }
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &AresFetcher::timedOut);
}

AresFetcher::~AresFetcher() {
    drop();
}

void AresFetcher::drop() {
    timer_->stop();
    if (QNetworkReply* reply = reply_.data()) {
        reply_.clear();
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void AresFetcher::cancel() {
    drop();
}

void AresFetcher::fetch(const QString& ic) {
    drop();
    ic_ = ic;
    ic_.remove(QLatin1Char(' '));
    QNetworkRequest request(QUrl(baseUrl_ + AresSubjectPath(ic_)));
    request.setRawHeader("Accept", "application/json");
    // A redirect to another server is not followed: the answer must come from the register.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    reply_ = network_->get(request);
    connect(reply_.data(), &QNetworkReply::finished, this, &AresFetcher::finished);
    // An endless answer is cut off as soon as it is longer than any answer of the register.
    connect(reply_.data(), &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received <= kMaxAresAnswerBytes)
            return;
        drop();
        emit failed(QStringLiteral("Registr ARES poslal příliš dlouhou odpověď (více než %1 kB); "
                                   "údaje odběratele zůstaly beze změny.")
                        .arg(kMaxAresAnswerBytes / 1024));
    });
    timer_->start(timeoutMs_);
}

void AresFetcher::timedOut() {
    drop();
    emit failed(QStringLiteral("Registr ARES neodpověděl do %1 s. Zkuste to později nebo "
                               "zadejte údaje ručně.")
                    .arg((timeoutMs_ + 999) / 1000));
}

void AresFetcher::finished() {
    timer_->stop();
    QNetworkReply* reply = reply_.data();
    reply_.clear();
    if (reply == nullptr)
        return;
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::InsecureRedirectError ||
        reply->error() == QNetworkReply::TooManyRedirectsError) {
        emit failed(QStringLiteral("Registr ARES přesměroval dotaz na jiný server; údaje "
                                   "odběratele zůstaly beze změny."));
        return;
    }
    const QByteArray body = reply->read(kMaxAresAnswerBytes + 1);
    if (status == 0) {
        // No HTTP answer at all: no connection, no name resolution, a broken TLS handshake.
        emit failed(AresOfflineMessage());
        return;
    }
    AresSubject subject;
    const AresAnswer answer = ParseAresSubject(body, subject);
    if (answer == AresAnswer::NotFound || (status == 404 && answer != AresAnswer::Found)) {
        emit failed(QStringLiteral("V registru ARES není žádný subjekt s IČ %1.").arg(ic_));
        return;
    }
    if (status != 200) {
        emit failed(QStringLiteral("Registr ARES odpověděl chybou %1. Zkuste to později nebo "
                                   "zadejte údaje ručně.")
                        .arg(status));
        return;
    }
    if (answer != AresAnswer::Found) {
        emit failed(QStringLiteral("Registr ARES odpověděl v neočekávaném tvaru; údaje odběratele "
                                   "zůstaly beze změny."));
        return;
    }
    const QString fault = AresSubjectFault(subject, ic_);
    if (!fault.isEmpty()) {
        emit failed(fault);
        return;
    }
    emit subjectReady(subject);
}

} // namespace tarvela
