#pragma once

#include "net/cnb_rates.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

namespace tarvela {

// Fetches the bank's daily rate of one currency in the background: fetch() returns at once and
// one of the signals follows from the event loop. No widgets: the network is the only thing this
// needs besides QtCore.
class CnbRateFetcher : public QObject {
    Q_OBJECT
public:
    // baseUrl: the daily file's address without the query (the bank's when empty).
    explicit CnbRateFetcher(const QString& baseUrl = QString(), QObject* parent = nullptr);
    ~CnbRateFetcher() override;

    // Asks for the rate of `currency` on `date`; a fetch still running is abandoned.
    void fetch(const QDate& date, const QString& currency);
    bool isRunning() const { return !reply_.isNull(); }

signals:
    // The rate as the field holds it ("24,335") and the day the bank declared it for (the last
    // working day on or before the date asked for).
    void rateReady(const QString& rateText, const QDate& rateDate);
    // A Czech message for the user: offline, no such currency, an unreadable answer.
    void failed(const QString& message);

private:
    void finished();

    QString baseUrl_;
    QString currency_;
    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
};

// The message when the bank cannot be reached.
QString CnbOfflineMessage();

} // namespace tarvela
