// Servers on 127.0.0.1 that answer the register and bank fetches with what no real one sends:
// an endless body, one byte at a time, a redirect to another server, another company's data,
// control characters, an enormous name. Each fetch ends with one Czech message and bounded
// memory; nothing is filled in.
#include "editor/ares_subject.h"
#include "net/ares_fetcher.h"
#include "net/cnb_fetcher.h"
#include "support/local_http_server.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace tarvela;
using tarvela::test::kCnbDailySample;
using tarvela::test::LocalHttpServer;

namespace {

// Answers 200 and then sends `chunk` every `intervalMs` for ever (until the client leaves).
class EndlessServer : public QTcpServer {
public:
    EndlessServer(QByteArray chunk, int intervalMs) : chunk_(std::move(chunk)) {
        connect(this, &QTcpServer::newConnection, this, [this, intervalMs] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, intervalMs] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                              "Connection: close\r\n\r\n");
                auto* timer = new QTimer(socket);
                connect(timer, &QTimer::timeout, socket, [this, socket] {
                    if (socket->bytesToWrite() < (1 << 20))
                        socket->write(chunk_);
                });
                timer->start(intervalMs);
            });
        });
        listen(QHostAddress::LocalHost);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

private:
    QByteArray chunk_;
};

// Answers every request with a redirect to `target`.
class RedirectServer : public QTcpServer {
public:
    explicit RedirectServer(QString target) : target_(std::move(target)) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                socket->readAll();
                socket->write("HTTP/1.1 302 Found\r\nLocation: " + target_.toUtf8() +
                              "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
            });
        });
        listen(QHostAddress::LocalHost);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

private:
    QString target_;
};

QByteArray Subject(const QByteArray& ico, const QByteArray& name) {
    return "{\"ico\":\"" + ico + "\",\"obchodniJmeno\":\"" + name +
           "\",\"sidlo\":{\"nazevObce\":\"Praha\",\"psc\":14000}}";
}

// The message of a failed ARES fetch from `url` for IČ 27074358 (empty when it did not fail).
QString AresFailure(const QString& url) {
    const AresServiceOverride service(url, 20000);
    AresFetcher fetcher;
    QSignalSpy ready(&fetcher, &AresFetcher::subjectReady);
    QSignalSpy failed(&fetcher, &AresFetcher::failed);
    fetcher.fetch(QStringLiteral("27074358"));
    if (!QTest::qWaitFor([&] { return ready.count() + failed.count() > 0; }, 20000))
        return QStringLiteral("(no answer)");
    return failed.isEmpty() ? QString() : failed.first().first().toString();
}

QString CnbFailure(const QString& url, int deadlineMs = kCnbDeadlineMs) {
    CnbRateFetcher fetcher(url);
    fetcher.setDeadlineMs(deadlineMs);
    QSignalSpy ready(&fetcher, &CnbRateFetcher::rateReady);
    QSignalSpy failed(&fetcher, &CnbRateFetcher::failed);
    fetcher.fetch(QDate(2026, 3, 5), QStringLiteral("EUR"));
    if (!QTest::qWaitFor([&] { return ready.count() + failed.count() > 0; }, 20000))
        return QStringLiteral("(no answer)");
    return failed.isEmpty() ? QString() : failed.first().first().toString();
}

} // namespace

class HostileAnswersTest : public QObject {
    Q_OBJECT
private slots:
    void aresRefusesWhatTheRegisterNeverSends_data();
    void aresRefusesWhatTheRegisterNeverSends();
    void endlessAnswersAreCutOff();
    void theBankFetchHasADeadline();
    void redirectsToAnotherServerAreRefused();
    void answersOfAnotherContentTypeAreRefused_data();
    void answersOfAnotherContentTypeAreRefused();
};

void HostileAnswersTest::aresRefusesWhatTheRegisterNeverSends_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("said");
    QTest::newRow("the asked one") << Subject("27074358", "Firma s.r.o.") << QString();
    QTest::newRow("another IČ") << Subject("12345678", "Jiná s.r.o.") << "jiného subjektu";
    QTest::newRow("NUL in the name")
        << Subject("27074358", "Firma\\u0000 s.r.o.") << "řídicí znak (kód 0)";
    QTest::newRow("line break in the name")
        << Subject("27074358", "Firma\\ns.r.o.") << "řídicí znak (kód 10)";
    QTest::newRow("100 000 characters")
        << Subject("27074358", QByteArray(100000, 'A')) << "příliš dlouhý (100000 znaků";
}

void HostileAnswersTest::aresRefusesWhatTheRegisterNeverSends() {
    QFETCH(QByteArray, body);
    QFETCH(QString, said);
    LocalHttpServer server(200, body, "application/json");
    const QString message = AresFailure(server.url());
    if (said.isEmpty())
        QCOMPARE(message, QString());
    else
        QVERIFY2(message.contains(said), qPrintable(message));
}

void HostileAnswersTest::endlessAnswersAreCutOff() {
    EndlessServer server(QByteArray(64 * 1024, 'x'), 0);
    QVERIFY2(AresFailure(server.url()).contains(QStringLiteral("příliš dlouhou odpověď")),
             qPrintable(AresFailure(server.url())));
    QVERIFY2(CnbFailure(server.url()).contains(QStringLiteral("příliš dlouhou odpověď")),
             qPrintable(CnbFailure(server.url())));
}

void HostileAnswersTest::theBankFetchHasADeadline() {
    // One byte every 100 ms restarts the transfer timeout each time; the deadline still holds.
    EndlessServer server("0", 100);
    const QString message = CnbFailure(server.url(), 1500);
    QVERIFY2(message.contains(QStringLiteral("neposlal kurz do 2 s")), qPrintable(message));
}

void HostileAnswersTest::redirectsToAnotherServerAreRefused() {
    LocalHttpServer cnb(200, kCnbDailySample);
    RedirectServer toCnb(cnb.url(QStringLiteral("/daily.txt")));
    QVERIFY2(CnbFailure(toCnb.url()).contains(QStringLiteral("přesměroval")),
             qPrintable(CnbFailure(toCnb.url())));
    LocalHttpServer ares(200, Subject("27074358", "Podvrh s.r.o."), "application/json");
    RedirectServer toAres(ares.url(QStringLiteral("/x")));
    QVERIFY2(AresFailure(toAres.url()).contains(QStringLiteral("přesměroval")),
             qPrintable(AresFailure(toAres.url())));
}

void HostileAnswersTest::answersOfAnotherContentTypeAreRefused_data() {
    QTest::addColumn<QByteArray>("aresType");
    QTest::addColumn<QByteArray>("cnbType");
    QTest::addColumn<QString>("said"); // empty: both answers are taken
    QTest::newRow("as the services send")
        << QByteArray("application/json") << QByteArray("text/plain;charset=UTF-8") << QString();
    QTest::newRow("parameters and case")
        << QByteArray("Application/JSON; charset=utf-8") << QByteArray("TEXT/PLAIN") << QString();
    QTest::newRow("a portal's page") << QByteArray("text/html") << QByteArray("text/html")
                                     << QStringLiteral("typ obsahu „text/html“");
    QTest::newRow("none") << QByteArray() << QByteArray() << QStringLiteral("typ obsahu „žádný“");
    QTest::newRow("control characters") << QByteArray("a\x01"
                                                      "b")
                                        << QByteArray("a\x01"
                                                      "b")
                                        << QStringLiteral("typ obsahu „a?b“");
}

void HostileAnswersTest::answersOfAnotherContentTypeAreRefused() {
    QFETCH(QByteArray, aresType);
    QFETCH(QByteArray, cnbType);
    QFETCH(QString, said);
    LocalHttpServer ares(200, Subject("27074358", "Firma s.r.o."), aresType);
    LocalHttpServer cnb(200, kCnbDailySample, cnbType);
    for (const QString& message : {AresFailure(ares.url()), CnbFailure(cnb.url())}) {
        if (said.isEmpty())
            QCOMPARE(message, QString());
        else
            QVERIFY2(message.contains(said), qPrintable(message));
    }
}

QTEST_GUILESS_MAIN(HostileAnswersTest)
#include "hostile_answers_test.moc"
