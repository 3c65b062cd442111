#include "net/eet_sender.h"

#include "text/errors.h"

#include <QDir>
#include <QFile>
#include <QTimer>

namespace tarvela {

namespace {

eet::Answer Temporary(const QString& message) {
    eet::Answer answer;
    answer.outcome = eet::Outcome::Temporary;
    answer.message = message;
    return answer;
}

QString NetworkProblem(HttpFailure failure, int timeoutMs) {
    switch (failure) {
    case HttpFailure::Timeout:
        return QStringLiteral("Služba EET neodpověděla do %1 s. Tržba zůstává k odeslání a "
                              "odešle se znovu.")
            .arg(timeoutMs / 1000.0, 0, 'g', 3);
    case HttpFailure::Tls:
        return QStringLiteral("Spojení se službou EET není důvěryhodné (certifikát serveru "
                              "neodpovídá). Tržba zůstává k odeslání.");
    case HttpFailure::Closed:
        return QStringLiteral("Služba EET přerušila spojení bez odpovědi. Tržba zůstává "
                              "k odeslání a odešle se znovu.");
    case HttpFailure::Unreachable:
        return QStringLiteral("Služba EET není dostupná – počítač je zřejmě bez připojení "
                              "k internetu. Tržba zůstává k odeslání a odešle se, jakmile to "
                              "půjde.");
    default:
        return QStringLiteral("Spojení se službou EET selhalo. Tržba zůstává k odeslání a "
                              "odešle se znovu.");
    }
}

} // namespace

EetConnection EetConnectionFor(const eet::EetSettings& settings) {
    const auto read = [](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
            throw FileError(QStringLiteral("Soubor důvěryhodných certifikátů pro EET „%1“ nelze "
                                           "přečíst.")
                                .arg(QDir::toNativeSeparators(path)));
        return file.readAll();
    };
    EetConnection c;
    c.url = !settings.serviceUrl.isEmpty() ? settings.serviceUrl
            : settings.playground          ? QString::fromLatin1(kEetPlaygroundUrl)
                                           : QString::fromLatin1(kEetProductionUrl);
    if (!settings.tlsCaFile.isEmpty())
        c.tlsCaPem = read(settings.tlsCaFile);
    c.trust.chainPem = settings.signingChainFile.isEmpty() ? eet::BundledSigningChain()
                                                           : read(settings.signingChainFile);
    c.trust.production = !settings.playground;
    c.timeoutMs = std::max(kEetMinimumTimeoutMs, settings.timeoutMs);
    return c;
}

EetSender::EetSender(QObject* parent) : QObject(parent) {}

EetSender::~EetSender() = default;

void EetSender::post(const EetConnection& connection, const QByteArray& envelope,
                     const QString& uuid) {
    transfer_.reset(); // a message still on its way is abandoned
    connection_ = connection;
    uuid_ = uuid;
    HttpRequest request;
    request.method = HttpMethod::Post;
    request.url = connection.url;
    request.headers = {{"Content-Type", "text/xml; charset=utf-8"},
                       {"SOAPAction", "\"http://fs.gov.cz/eet/OdeslaniTrzby\""}};
    request.body = envelope;
    // The service speaks HTTP/1.1 only; Qt would offer HTTP/2 by ALPN.
    request.http2Allowed = false;
    request.transferTimeoutMs = connection.timeoutMs;
    request.maxAnswerBytes = eet::kMaxAnswerBytes;
    request.caCertificatesPem = connection.tlsCaPem;
    request.answerHeaders = {"X-Global-Transaction-Id"};
    transfer_ = StartHttpRequest(request, [this](const HttpAnswer& reply) { finished(reply); });
}

void EetSender::finished(const HttpAnswer& reply) {
    transfer_.reset();
    const QString transaction =
        QString::fromLatin1(reply.header("X-Global-Transaction-Id").left(64));
    eet::Answer answer;
    if (!reply.moduleError.isEmpty()) {
        answer = Temporary(reply.moduleError + QStringLiteral(" Tržba zůstává k odeslání."));
    } else if (reply.tooLarge) {
        answer = Temporary(QStringLiteral("Odpověď služby EET je nepřiměřeně velká. Tržba "
                                          "zůstává k odeslání."));
    } else if (reply.body.isEmpty() && !reply.transferOk) {
        answer = Temporary(NetworkProblem(reply.failure, connection_.timeoutMs));
    } else {
        answer =
            eet::ReadAnswer(reply.body, uuid_, connection_.trust, QDateTime::currentDateTimeUtc());
        if (answer.outcome == eet::Outcome::Temporary && reply.status >= 400 && answer.code != -1 &&
            !answer.message.contains(QLatin1String("SOAP")))
            answer.message = QStringLiteral("Služba EET vrátila chybu HTTP %1. Tržba zůstává "
                                            "k odeslání a odešle se znovu.")
                                 .arg(reply.status);
    }
    answer.transactionId = transaction;
    emit answered(answer);
}

EetDispatcher::EetDispatcher(const QString& outboxFolder, CertificateSource certificate,
                             QObject* parent)
    : QObject(parent), outbox_(outboxFolder), certificate_(std::move(certificate)),
      sender_(new EetSender(this)), timer_(new QTimer(this)) {
    connect(sender_, &EetSender::answered, this, &EetDispatcher::onAnswer);
    connect(timer_, &QTimer::timeout, this, &EetDispatcher::sendNow);
}

EetDispatcher::~EetDispatcher() = default;

void EetDispatcher::start(int intervalMs) {
    timer_->start(intervalMs);
    QTimer::singleShot(0, this, &EetDispatcher::sendNow);
}

void EetDispatcher::sendNow() {
    if (roundRunning_ || verifying_)
        return;
    QString why;
    roundCertificate_ = certificate_ ? certificate_(&why) : std::nullopt;
    roundIds_.clear();
    for (const eet::OutboxEntry& e : outbox_.pending())
        if (e.state == eet::OutboxEntry::State::Waiting)
            roundIds_ << e.id;
    if (roundIds_.isEmpty()) {
        emit roundFinished(0);
        return;
    }
    if (!roundCertificate_) {
        emit problem(why.isEmpty() ? QStringLiteral("Certifikát pro EET není nastaven.") : why);
        emit roundFinished(int(roundIds_.size()));
        return;
    }
    roundRunning_ = true;
    next();
}

void EetDispatcher::next() {
    while (!roundIds_.isEmpty()) {
        const QString id = roundIds_.takeFirst();
        try {
            current_.reset();
            if (std::optional<eet::Sending> sending =
                    outbox_.beginSending(id, *roundCertificate_, QDateTime::currentDateTimeUtc()))
                current_.emplace(std::move(*sending));
        } catch (const TarvelaError& e) {
            if (std::optional<eet::OutboxEntry> entry = outbox_.find(id))
                emit entryChanged(*entry);
            emit problem(e.message());
            break; // the certificate cannot sign: no other entry can be sent either
        }
        if (!current_)
            continue; // confirmed or being sent by another instance
        sender_->post(connection_, current_->envelope(), current_->uuid());
        return;
    }
    roundRunning_ = false;
    int waiting = 0;
    for (const eet::OutboxEntry& e : outbox_.pending())
        waiting += e.state == eet::OutboxEntry::State::Confirmed ? 0 : 1;
    emit roundFinished(waiting);
}

void EetDispatcher::onAnswer(const eet::Answer& answer) {
    if (verifying_) {
        verifying_ = false;
        current_.reset();
        emit verified(answer);
        return;
    }
    if (!current_)
        return;
    eet::Answer recorded = answer;
    if (recorded.outcome == eet::Outcome::Final && !recorded.transactionId.isEmpty())
        recorded.message +=
            QStringLiteral(" (X-Global-Transaction-Id: %1)").arg(recorded.transactionId);
    if (recorded.outcome == eet::Outcome::Verified)
        recorded.outcome = eet::Outcome::Temporary; // a registration never asks for verification
    eet::OutboxEntry entry;
    try {
        entry = outbox_.finishSending(*current_, recorded, QDateTime::currentDateTimeUtc());
    } catch (const TarvelaError& e) {
        current_.reset();
        roundRunning_ = false;
        emit problem(e.message());
        return;
    }
    current_.reset();
    emit entryChanged(entry);
    if (answer.outcome == eet::Outcome::Temporary)
        roundIds_.clear(); // unreachable or untrustworthy: try again with the next round
    next();
}

void EetDispatcher::verify(const eet::Sale& sale) {
    QString why;
    const std::optional<eet::TaxpayerCertificate> cert =
        certificate_ ? certificate_(&why) : std::nullopt;
    eet::Answer failure;
    failure.outcome = eet::Outcome::Final;
    if (!cert) {
        failure.message = why.isEmpty() ? QStringLiteral("Certifikát pro EET není nastaven.") : why;
        QTimer::singleShot(0, this, [this, failure] { emit verified(failure); });
        return;
    }
    if (roundRunning_ || verifying_) {
        failure.outcome = eet::Outcome::Temporary;
        failure.message = QStringLiteral("Právě se odesílají tržby; zkuste ověření za chvíli.");
        QTimer::singleShot(0, this, [this, failure] { emit verified(failure); });
        return;
    }
    try {
        eet::Header header;
        header.uuid = eet::NewMessageUuid();
        header.sent = QDateTime::currentDateTimeUtc();
        header.verification = true;
        const QByteArray envelope =
            cert->signedEnvelope(eet::TrzbaElement(header, eet::DataAttributes(sale)), header.sent);
        verifying_ = true;
        sender_->post(connection_, envelope, header.uuid);
    } catch (const TarvelaError& e) {
        failure.message = e.message();
        QTimer::singleShot(0, this, [this, failure] { emit verified(failure); });
    }
}

} // namespace tarvela
