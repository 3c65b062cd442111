#pragma once

#include "net/cnb_rates.h"
#include "net/http_get.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <memory>

class QTimer;

namespace tarvela {

// The longest answer read (the daily file is about 2 kB) and the longest a fetch may take, all
// of it, however slowly the bytes come.
inline constexpr qint64 kMaxCnbAnswerBytes = qint64(256) << 10;
inline constexpr int kCnbDeadlineMs = 30000;

// Fetches the bank's daily rate of one currency in the background: fetch() returns at once and
// one of the signals follows from the event loop. No widgets; the request goes through the
// network module (http_get.h).
class CnbRateFetcher : public QObject {
    Q_OBJECT
public:
    // baseUrl: the daily file's address without the query (the bank's when empty).
    explicit CnbRateFetcher(const QString& baseUrl = QString(), QObject* parent = nullptr);
    ~CnbRateFetcher() override;

    // Asks for the rate of `currency` on `date`; a fetch still running is abandoned.
    void fetch(const QDate& date, const QString& currency);
    bool isRunning() const { return transfer_ != nullptr; }

    // The deadline of a whole fetch (kCnbDeadlineMs unless a test shortens it).
    void setDeadlineMs(int ms) { deadlineMs_ = ms; }
    // The PEM certificates trusted for HTTPS instead of the system's (none: the system's).
    void setTrustedCertificates(const QByteArray& pem) { trusted_ = pem; }

signals:
    // The rate as the field holds it ("24,335") and the day the bank declared it for (the last
    // working day on or before the date asked for).
    void rateReady(const QString& rateText, const QDate& rateDate);
    // A Czech message for the user: offline, no such currency, an unreadable answer.
    void failed(const QString& message);

private:
    void finished(const HttpAnswer& answer);

    QString baseUrl_;
    QByteArray trusted_;
    QString currency_;
    std::unique_ptr<HttpTransfer> transfer_; // the request on its way
    QTimer* deadline_;
    int deadlineMs_;
    void fail(const QString& message);
};

// The message when the bank cannot be reached.
QString CnbOfflineMessage();

} // namespace tarvela
