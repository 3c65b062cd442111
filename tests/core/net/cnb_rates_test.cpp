// The bank's daily file read, and fetched from a small HTTP server on 127.0.0.1 (never the
// internet): the rate, a currency the bank does not list, an error page and no server at all.
#include "net/cnb_fetcher.h"
#include "net/cnb_rates.h"
#include "support/local_http_server.h"
#include "text/errors.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tarvela;
using namespace tarvela::test;

namespace {

const QByteArray kDaily = kCnbDailySample;

} // namespace

class CnbRatesTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheDailyFile() {
        const CnbDailyRates r = ParseCnbDailyRates(kDaily);
        QCOMPARE(r.date, QDate(2026, 3, 5));
        QCOMPARE(r.rates.size(), 4);
        QCOMPARE(r.rate("eur")->millionths(), 24335000);
        QCOMPARE(CnbRateText(*r.rate("EUR")), QStringLiteral("24,335"));
        QCOMPARE(CnbRateText(*r.rate("JPY")), QStringLiteral("0,16123")); // per 1 yen, not 100
        QCOMPARE(CnbRateText(*r.rate("HUF")), QStringLiteral("0,06402"));
        QVERIFY(!r.rate("USD"));
        QCOMPARE(CnbDailyRatesUrl(QDate(2026, 3, 7), "http://h/k.txt"),
                 QStringLiteral("http://h/k.txt?date=07.03.2026"));
    }

    // Crowns for one unit exactly, rounded to six decimals with halves away from zero.
    void dividesByTheAmountExactly_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("rate");
        QTest::newRow("thousand units")
            << QByteArray("Indonésie|rupie|1000|IDR|1,523") << "0,001523";
        QTest::newRow("half rounds up") << QByteArray("X|x|1000|XXA|0,0005") << "0,000001";
        QTest::newRow("below half") << QByteArray("X|x|3|XXB|1") << "0,333333";
        QTest::newRow("above half") << QByteArray("X|x|3|XXC|2") << "0,666667";
        QTest::newRow("binary-inexact") << QByteArray("X|x|1|XXD|0,1") << "0,1";
    }
    void dividesByTheAmountExactly() {
        QFETCH(QByteArray, line);
        QFETCH(QString, rate);
        const CnbDailyRates r = ParseCnbDailyRates(kDaily + line + "\n");
        QCOMPARE(CnbRateText(*r.rate(QString::fromUtf8(line.split('|').value(3)))), rate);
    }

    void refusesAnotherShape_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("no date") << QByteArray("kurzy\nzemě|měna|množství|kód|kurz\n") << 1;
        QTest::newRow("other header")
            << QByteArray("05.03.2026 #45\nx|y\nEMU|euro|1|EUR|24,3") << 2;
        QTest::newRow("decimal point") << kDaily + "USA|dolar|1|USD|23.1\n" << 7;
        QTest::newRow("four cells") << kDaily + "USA|dolar|1|USD\n" << 7;
        QTest::newRow("no amount") << kDaily + "USA|dolar|0|USD|23,1\n" << 7;
        QTest::newRow("negative") << kDaily + "USA|dolar|1|USD|-23,1\n" << 7;
        QTest::newRow("zero per unit") << kDaily + "X|x|1000|XXZ|0,0004\n" << 7;
        QTest::newRow("seven decimals") << kDaily + "USA|dolar|1|USD|23,1234567\n" << 7;
        QTest::newRow("no rates") << QByteArray("05.03.2026 #45\nzemě|měna|množství|kód|kurz\n")
                                  << 3;
    }
    void refusesAnotherShape() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        try {
            ParseCnbDailyRates(bytes);
            QFAIL("not refused");
        } catch (const ValidationError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Soubor kurzů ČNB má neočekávaný tvar (řádek %1).").arg(line));
        }
    }

    void fetchesWithoutBlocking_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("message");
        QTest::newRow("euro") << 200 << "EUR"
                              << "24,335" << QString();
        QTest::newRow("yen") << 200 << "jpy"
                             << "0,16123" << QString();
        QTest::newRow("unknown currency")
            << 200 << "XYZ" << QString() << "ČNB nevyhlašuje kurz měny XYZ. Zadejte kurz ručně.";
        QTest::newRow("error page")
            << 404 << "EUR" << QString() << "Server ČNB odpověděl chybou 404. Zadejte kurz ručně.";
    }
    void fetchesWithoutBlocking() {
        QFETCH(int, status);
        QFETCH(QString, currency);
        QFETCH(QString, rate);
        QFETCH(QString, message);
        LocalHttpServer server(status, kDaily);
        QVERIFY(server.isListening());
        CnbRateFetcher fetcher(server.url("/denni_kurz.txt"));
        QSignalSpy ready(&fetcher, &CnbRateFetcher::rateReady);
        QSignalSpy failed(&fetcher, &CnbRateFetcher::failed);
        fetcher.fetch(QDate(2026, 3, 7), currency);
        // fetch() only starts: nothing has arrived before the event loop runs.
        QVERIFY(fetcher.isRunning());
        QCOMPARE(ready.count() + failed.count(), 0);
        QTRY_COMPARE(ready.count() + failed.count(), 1);
        QCOMPARE(server.requestLine, QByteArray("GET /denni_kurz.txt?date=07.03.2026 HTTP/1.1"));
        if (rate.isEmpty()) {
            QCOMPARE(failed.first().first().toString(), message);
        } else {
            QCOMPARE(ready.first().at(0).toString(), rate);
            QCOMPARE(ready.first().at(1).toDate(), QDate(2026, 3, 5));
        }
    }

    void offlineSaysSo() {
        const quint16 port = LocalHttpServer::ClosedPort();
        CnbRateFetcher fetcher(QStringLiteral("http://127.0.0.1:%1/denni_kurz.txt").arg(port));
        QSignalSpy failed(&fetcher, &CnbRateFetcher::failed);
        fetcher.fetch(QDate(2026, 3, 7), "EUR");
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.first().first().toString(), CnbOfflineMessage());
        QVERIFY(CnbOfflineMessage().contains(QStringLiteral("není připojen k internetu")));
    }
};

QTEST_GUILESS_MAIN(CnbRatesTest)
#include "cnb_rates_test.moc"
