#include "net/ares_fetcher.h"

#include <QTimer>

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
    : QObject(parent), baseUrl_(baseUrl), timeoutMs_(kAresTimeoutMs), timer_(new QTimer(this)) {
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
    transfer_.reset();
}

void AresFetcher::cancel() {
    drop();
}

void AresFetcher::fetch(const QString& ic) {
    drop();
    ic_ = ic;
    ic_.remove(QLatin1Char(' '));
    HttpRequest request;
    request.url = baseUrl_ + AresSubjectPath(ic_);
    request.headers = {{"Accept", "application/json"}};
    // An endless answer is cut off as soon as it is longer than any answer of the register.
    request.maxAnswerBytes = kMaxAresAnswerBytes;
    request.answerHeaders = {"Content-Type"};
    request.caCertificatesPem = trusted_;
    transfer_ = StartHttpRequest(request, [this](const HttpAnswer& answer) { finished(answer); });
    timer_->start(timeoutMs_);
}

void AresFetcher::timedOut() {
    drop();
    emit failed(QStringLiteral("Registr ARES neodpověděl do %1 s. Zkuste to později nebo "
                               "zadejte údaje ručně.")
                    .arg((timeoutMs_ + 999) / 1000));
}

void AresFetcher::finished(const HttpAnswer& answer) {
    timer_->stop();
    transfer_.reset();
    if (!answer.moduleError.isEmpty()) {
        emit failed(answer.moduleError);
        return;
    }
    if (answer.tooLarge) {
        emit failed(QStringLiteral("Registr ARES poslal příliš dlouhou odpověď (více než %1 kB); "
                                   "údaje odběratele zůstaly beze změny.")
                        .arg(kMaxAresAnswerBytes / 1024));
        return;
    }
    if (answer.redirectRefused) {
        emit failed(QStringLiteral("Registr ARES přesměroval dotaz na jiný server; údaje "
                                   "odběratele zůstaly beze změny."));
        return;
    }
    const int status = answer.status;
    const QByteArray& body = answer.body;
    if (status == 0) {
        // No HTTP answer at all: no connection, no name resolution, a broken TLS handshake.
        emit failed(AresOfflineMessage());
        return;
    }
    if (status == 200 && answer.mediaType() != "application/json") {
        // An error page of a proxy or a captive portal, never the register's data.
        emit failed(QStringLiteral("Registr ARES neodpověděl daty (typ obsahu „%1“ místo "
                                   "„application/json“); údaje odběratele zůstaly beze změny.")
                        .arg(ContentTypeText(answer)));
        return;
    }
    AresSubject subject;
    const AresAnswer parsed = ParseAresSubject(body, subject);
    if (parsed == AresAnswer::NotFound || (status == 404 && parsed != AresAnswer::Found)) {
        emit failed(QStringLiteral("V registru ARES není žádný subjekt s IČ %1.").arg(ic_));
        return;
    }
    if (status != 200) {
        emit failed(QStringLiteral("Registr ARES odpověděl chybou %1. Zkuste to později nebo "
                                   "zadejte údaje ručně.")
                        .arg(status));
        return;
    }
    if (parsed != AresAnswer::Found) {
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
