#pragma once

#include "eet/eet_answer.h"
#include "eet/eet_certificate.h"
#include "eet/eet_message.h"
#include "eet/eet_outbox.h"
#include "eet/eet_settings.h"
#include "net/http_get.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace tarvela {

// The service's addresses (interface 4.x).
inline constexpr char kEetProductionUrl[] =
    "https://trzbyeet.gov.cz/eet/services/EETServiceSOAP/v4";
inline constexpr char kEetPlaygroundUrl[] =
    "https://pg.trzbyeet.gov.cz/eet/services/EETServiceSOAP/v4";
// How long an answer may take by default, and at least.
inline constexpr int kEetDefaultTimeoutMs = 3000;
inline constexpr int kEetMinimumTimeoutMs = 2000;

// Where and how the messages go.
struct EetConnection {
    QString url = QString::fromLatin1(kEetProductionUrl);
    QByteArray tlsCaPem;    // the certificates the server's TLS certificate must chain to;
                            // empty for the system's
    eet::AnswerTrust trust; // whom the answers must be signed by
    int timeoutMs = kEetDefaultTimeoutMs;
};

// The connection the settings describe: the official address of the environment unless
// AdresaSluzby says otherwise, the trusted certificates from their files or the defaults (the
// system's TLS roots, the bundled I.CA chain), production unless the playground is chosen. A file
// that cannot be read raises FileError naming it.
EetConnection EetConnectionFor(const eet::EetSettings& settings);

// Posts one signed message to the service over HTTPS (TLS 1.2 or later, HTTP/1.1) and reads the
// answer, in the background: post() returns at once, answered() follows from the event loop,
// always exactly once per post (a timeout, a dropped connection or an untrusted server become a
// Temporary answer with a Czech message).
class EetSender : public QObject {
    Q_OBJECT
public:
    explicit EetSender(QObject* parent = nullptr);
    ~EetSender() override;

    void post(const EetConnection& connection, const QByteArray& envelope, const QString& uuid);
    bool isRunning() const { return transfer_ != nullptr; }

signals:
    void answered(const tarvela::eet::Answer& answer);

private:
    void finished(const HttpAnswer& reply);

    std::unique_ptr<HttpTransfer> transfer_; // the message on its way
    EetConnection connection_;
    QString uuid_;
};

// Sends the outbox's waiting entries, oldest first, one at a time, at start, when asked, and
// periodically; stops a round at the first temporary failure (the service is unreachable) and
// tries again with the next round. The certificate comes from `certificate` at each round (it may
// be missing, e.g. no password yet: then nothing is sent and `problem` says why).
class EetDispatcher : public QObject {
    Q_OBJECT
public:
    using CertificateSource = std::function<std::optional<eet::TaxpayerCertificate>(QString*)>;

    EetDispatcher(const QString& outboxFolder, CertificateSource certificate,
                  QObject* parent = nullptr);
    ~EetDispatcher() override;

    void setConnection(const EetConnection& connection) { connection_ = connection; }
    const EetConnection& connection() const { return connection_; }
    eet::Outbox& outbox() { return outbox_; }

    // Starts the periodic rounds (every `intervalMs`) and one round now.
    void start(int intervalMs = 5 * 60 * 1000);
    // One round now, unless one is running.
    void sendNow();
    bool isSending() const { return sender_->isRunning() || current_.has_value(); }

    // Sends `sale` in verification mode: the service checks the message and registers nothing.
    // verified() follows.
    void verify(const eet::Sale& sale);

signals:
    // An entry's state after a sending (or a failure to sign it).
    void entryChanged(const tarvela::eet::OutboxEntry& entry);
    // A round has ended; `waiting` entries are still not confirmed.
    void roundFinished(int waiting);
    // The answer to verify().
    void verified(const tarvela::eet::Answer& answer);
    // Nothing could be sent: no certificate, or it cannot be used. Czech.
    void problem(const QString& message);

private:
    void next();
    void onAnswer(const eet::Answer& answer);

    eet::Outbox outbox_;
    CertificateSource certificate_;
    EetConnection connection_;
    EetSender* sender_;
    QTimer* timer_;
    std::optional<eet::Sending> current_;
    std::optional<eet::TaxpayerCertificate> roundCertificate_;
    QStringList roundIds_;
    bool verifying_ = false;
    bool roundRunning_ = false;
};

} // namespace tarvela
