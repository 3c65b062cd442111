#pragma once

#include "editor/ares_subject.h"

#include "net/http_get.h"

#include <QObject>
#include <QString>

#include <memory>

class QTimer;

namespace tarvela {

// The register's public address.
inline constexpr char kAresBaseUrl[] = "https://ares.gov.cz";
// How long an answer may take before the look-up gives up.
inline constexpr int kAresTimeoutMs = 15000;

// Looks a subject up in the public Czech business register by IČ, in the background: fetch()
// returns at once and one of the signals follows from the event loop (none after cancel()).
class AresFetcher : public QObject {
    Q_OBJECT
public:
    // baseUrl: scheme and host without a trailing slash ("https://ares.gov.cz"); empty for the
    // register's own address (or the one an AresServiceOverride sets).
    explicit AresFetcher(const QString& baseUrl = QString(), QObject* parent = nullptr);
    ~AresFetcher() override;

    void setTimeout(int ms) { timeoutMs_ = ms; }
    int timeout() const { return timeoutMs_; }
    // The PEM certificates trusted for HTTPS instead of the system's (none: the system's).
    void setTrustedCertificates(const QByteArray& pem) { trusted_ = pem; }

    // Asks for the subject of `ic`; a fetch still running is abandoned. The IČ must be valid
    // (IsValidIC): callers refuse an invalid one before asking.
    void fetch(const QString& ic);
    // Abandons the running fetch without a signal.
    void cancel();
    bool isRunning() const { return transfer_ != nullptr; }

signals:
    void subjectReady(const tarvela::AresSubject& subject);
    // A Czech message for the user: offline, no such IČ, an unreadable answer, no answer in time.
    void failed(const QString& message);

private:
    void finished(const HttpAnswer& answer);
    void timedOut();
    void drop();

    QString baseUrl_;
    QByteArray trusted_;
    QString ic_;
    int timeoutMs_;
    QTimer* timer_;
    std::unique_ptr<HttpTransfer> transfer_; // the request on its way
};

// The message when the register cannot be reached.
QString AresOfflineMessage();

// Test seam: while an instance lives, fetchers made without an address ask `baseUrl` and wait
// `timeoutMs` at most. Instances nest; the innermost one counts.
class AresServiceOverride {
public:
    explicit AresServiceOverride(const QString& baseUrl, int timeoutMs = kAresTimeoutMs);
    ~AresServiceOverride();
    AresServiceOverride(const AresServiceOverride&) = delete;
    AresServiceOverride& operator=(const AresServiceOverride&) = delete;

    const QString baseUrl;
    const int timeoutMs;

private:
    AresServiceOverride* outer_;
};

} // namespace tarvela
