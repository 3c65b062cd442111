// The sending of registrations against the service imitated on 127.0.0.1 over HTTPS: every kind
// of answer ends with the payment confirmed, or still waiting or refused with a Czech message,
// and a waiting one is resent with the same Data, a new uuid and prvni_zaslani=false.
#include "eet/eet_message.h"
#include "net/eet_sender.h"
#include "support/eet_service_imitation.h"
#include "support/local_http_server.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarvela;
using namespace tarvela::eet;
using namespace tarvela::test;
using Mode = EetServiceImitation::Mode;
using State = OutboxEntry::State;

Q_DECLARE_METATYPE(Mode)
Q_DECLARE_METATYPE(State)

namespace {

Sale SampleSale(const QString& porad) {
    Sale sale;
    sale.eicPopl = QStringLiteral("CZ00000019");
    sale.idJednotky = QStringLiteral("181");
    sale.idPokl = QStringLiteral("1");
    sale.poradCis = porad;
    sale.received = QDateTime::currentDateTime();
    sale.totalHalere = 12345;
    return sale;
}

std::optional<TaxpayerCertificate> Certificate(const QString& file, QString* why) {
    try {
        return TaxpayerCertificate::Load(EetPkiFile(file), QStringLiteral("eet"));
    } catch (const std::exception& e) {
        *why = QString::fromUtf8(e.what());
        return std::nullopt;
    }
}

struct Setup {
    QTemporaryDir dir;
    EetServiceImitation service;
    EetDispatcher dispatcher;
    explicit Setup(const QString& p12 = QStringLiteral("taxpayer.p12"))
        : dispatcher(dir.filePath(QStringLiteral("EET")),
                     [p12](QString* why) { return Certificate(p12, why); }) {
        EetConnection c;
        c.url = service.url();
        c.tlsCaPem = EetPkiFile(QStringLiteral("tls-ca.pem"));
        c.trust.chainPem = EetPkiFile(QStringLiteral("signing-chain.pem"));
        c.trust.production = true;
        c.timeoutMs = 1500;
        dispatcher.setConnection(c);
    }
    OutboxEntry add(const QString& porad) {
        return dispatcher.outbox().add(DataAttributes(SampleSale(porad)), porad, 12345, false,
                                       QDateTime::currentDateTimeUtc());
    }
    // One round; the entry as it came out of it.
    OutboxEntry round() {
        QSignalSpy changed(&dispatcher, &EetDispatcher::entryChanged);
        dispatcher.sendNow();
        if (changed.isEmpty() && !changed.wait(10000))
            throw std::runtime_error("no sending happened");
        return changed.first().first().value<OutboxEntry>();
    }
};

} // namespace

class EetSenderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { EetPki(); }

    void eachAnswer_data() {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<int>("code");
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, Mode mode, int code, State state,
                            const char* message) {
            QTest::newRow(name) << mode << code << state << QString::fromUtf8(message);
        };
        row("confirmation", Mode::Confirm, 0, State::Confirmed, "");
        row("warnings", Mode::Warnings, 0, State::Confirmed, "Evidenční jednotka nemá tvar");
        row("error -1", Mode::Error, -1, State::Waiting, "dočasnou technickou chybu");
        row("error 2", Mode::Error, 2, State::Refused, "kódování XML");
        row("error 3", Mode::Error, 3, State::Refused, "neodpovídá schématu");
        row("error 4", Mode::Error, 4, State::Refused, "odmítla podpis");
        row("error 5", Mode::Error, 5, State::Refused, "neznámým kódem 5");
        row("error 6", Mode::Error, 6, State::Refused, "odmítla DIČ");
        row("error 7", Mode::Error, 7, State::Refused, "příliš velkou");
        row("error 8", Mode::Error, 8, State::Refused,
            "X-Global-Transaction-Id: test-transaction-1");
        row("timeout", Mode::Timeout, 0, State::Waiting, "neodpověděla do 1.5 s");
        row("dropped", Mode::Drop, 0, State::Waiting, "Tržba zůstává k odeslání");
        row("malformed", Mode::Malformed, 0, State::Waiting, "nelze přečíst");
        row("HTTP 500", Mode::Http500, 0, State::Waiting, "chybu HTTP 500");
        row("SOAP Fault", Mode::SoapFault, 0, State::Waiting, "chybu SOAP");
        row("bad signature", Mode::BadSignature, 0, State::Waiting, "nesouhlasí s jejím obsahem");
        row("wrong signer", Mode::WrongSigner, 0, State::Waiting, "nepodepsala Finanční správa");
        row("mismatched uuid", Mode::MismatchedUuid, 0, State::Waiting, "patří k jiné zprávě");
        row("test answer in production", Mode::PlaygroundConfirm, 0, State::Waiting,
            "zkušební odpověď");
    }

    void eachAnswer() {
        QFETCH(Mode, mode);
        QFETCH(int, code);
        QFETCH(State, state);
        QFETCH(QString, message);
        Setup s;
        s.service.mode = mode;
        s.service.errorCode = code;
        const OutboxEntry added = s.add(QStringLiteral("2027001/1"));
        const OutboxEntry after = s.round();
        QCOMPARE(after.id, added.id);
        QCOMPARE(after.state, state);
        QVERIFY2(after.lastError.contains(message) ||
                     after.warnings.join(QLatin1Char(' ')).contains(message),
                 qPrintable(after.lastError + after.warnings.join(QLatin1Char(' '))));
        // Qt repeats a request once or twice by itself when the connection drops before an
        // answer: the same message, the same uuid
        const auto firstRound = s.service.requests.size();
        QVERIFY(firstRound >= 1 && (firstRound == 1 || mode == Mode::Drop));
        const auto request = s.service.requests[0];
        for (const auto& repeated : s.service.requests)
            QCOMPARE(repeated.uuid, request.uuid);
        QVERIFY2(request.checkedCode == 0, qPrintable(request.checkLog));
        QVERIFY(request.requestLine.endsWith("HTTP/1.1"));
        QCOMPARE(request.contentType, QByteArray("text/xml; charset=utf-8"));
        QCOMPARE(request.soapAction, QByteArray("\"http://fs.gov.cz/eet/OdeslaniTrzby\""));
        QCOMPARE(request.first, QByteArray("true"));
        QCOMPARE(request.data, added.data);
        if (state == State::Confirmed) {
            QCOMPARE(after.pok, QStringLiteral("2feb2e70-a642-4188-a6e6-986a62bc9598-01"));
            QVERIFY(!after.testPok);
            return;
        }
        QVERIFY(after.pok.isEmpty());
        if (state == State::Refused)
            s.dispatcher.outbox().retry(after.id);
        // the service is well again: the payment is resent and confirmed
        s.service.mode = Mode::Confirm;
        const OutboxEntry resent = s.round();
        QCOMPARE(resent.state, State::Confirmed);
        QCOMPARE(s.service.requests.size(), firstRound + 1);
        QCOMPARE(s.service.requests.last().first, QByteArray("false"));
        QCOMPARE(s.service.requests.last().data, added.data);
        QVERIFY(s.service.requests.last().uuid != request.uuid);
        QCOMPARE(resent.attempts, 2);
    }

    void playgroundAnswersInThePlayground() {
        Setup s;
        EetConnection c = s.dispatcher.connection();
        c.trust.production = false;
        s.dispatcher.setConnection(c);
        s.service.mode = Mode::PlaygroundConfirm;
        s.add(QStringLiteral("9"));
        const OutboxEntry after = s.round();
        QCOMPARE(after.state, State::Confirmed);
        QVERIFY(after.testPok);
        QVERIFY(after.pok.endsWith(QLatin1String("-ff")));
    }

    void untrustedServerAndNoServer() {
        Setup s;
        EetConnection c = s.dispatcher.connection();
        c.tlsCaPem = EetPkiFile(QStringLiteral("taxpayer-ca.pem")); // not the server's CA
        s.dispatcher.setConnection(c);
        s.add(QStringLiteral("10"));
        OutboxEntry after = s.round();
        QCOMPARE(after.state, State::Waiting);
        QVERIFY2(after.lastError.contains(QStringLiteral("není důvěryhodné")),
                 qPrintable(after.lastError));
        QVERIFY(s.service.requests.isEmpty());
        c.url = QStringLiteral("https://127.0.0.1:%1/v4").arg(LocalHttpServer::ClosedPort());
        s.dispatcher.setConnection(c);
        after = s.round();
        QVERIFY2(after.lastError.contains(QStringLiteral("není dostupná")),
                 qPrintable(after.lastError));
    }

    void aRoundStopsAtTheFirstTemporaryFailureAndKeepsTheOrder() {
        Setup s;
        for (int i = 1; i <= 3; ++i)
            s.add(QStringLiteral("R%1").arg(i));
        s.service.mode = Mode::Error;
        s.service.errorCode = -1;
        QSignalSpy finished(&s.dispatcher, &EetDispatcher::roundFinished);
        s.dispatcher.sendNow();
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toInt(), 3);
        QCOMPARE(s.service.requests.size(), 1);
        s.service.mode = Mode::Confirm;
        finished.clear();
        s.dispatcher.sendNow();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().first().toInt(), 0);
        QCOMPARE(s.service.requests.size(), 4);
        QVERIFY(s.service.requests[1].data.contains("porad_cis=\"R1\""));
        QVERIFY(s.service.requests[2].data.contains("porad_cis=\"R2\""));
        QVERIFY(s.service.requests[3].data.contains("porad_cis=\"R3\""));
        QCOMPARE(s.dispatcher.outbox().confirmed().size(), 3);
    }

    void verificationRegistersNothing() {
        Setup s;
        QSignalSpy verified(&s.dispatcher, &EetDispatcher::verified);
        s.dispatcher.verify(SampleSale(QStringLiteral("overeni")));
        QVERIFY(verified.wait(10000));
        const Answer answer = verified.first().first().value<Answer>();
        QCOMPARE(answer.outcome, Outcome::Verified);
        QCOMPARE(answer.message, ErrorCodeMessage(0));
        QCOMPARE(s.service.requests.size(), 1);
        QCOMPARE(s.service.requests[0].verification, QByteArray("true"));
        QVERIFY(s.dispatcher.outbox().pending().isEmpty());
    }

    void anExpiredCertificateSendsNothing() {
        Setup s(QStringLiteral("expired.p12"));
        s.add(QStringLiteral("11"));
        QSignalSpy problem(&s.dispatcher, &EetDispatcher::problem);
        const OutboxEntry after = s.round();
        QCOMPARE(after.state, State::Waiting);
        QVERIFY2(after.lastError.contains(QStringLiteral("vypršel")), qPrintable(after.lastError));
        QCOMPARE(problem.size(), 1);
        QVERIFY(s.service.requests.isEmpty());
    }
};

QTEST_GUILESS_MAIN(EetSenderTest)
#include "eet_sender_test.moc"
