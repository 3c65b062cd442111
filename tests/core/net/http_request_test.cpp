// The network module's requests against servers on 127.0.0.1: the method sent, the bound on the
// answer's size, the headers asked for, and what a missing server comes back as.
#include "net/http_get.h"
#include "support/local_http_server.h"

#include <QTest>

#include <optional>

using namespace tarvela;
using tarvela::test::LocalHttpServer;

namespace {

HttpAnswer Run(const HttpRequest& request) {
    std::optional<HttpAnswer> answer;
    const std::unique_ptr<HttpTransfer> transfer =
        StartHttpRequest(request, [&](const HttpAnswer& a) { answer = a; });
    if (!QTest::qWaitFor([&] { return answer.has_value(); }, 20000))
        return {};
    return *answer;
}

} // namespace

class HttpRequestTest : public QObject {
    Q_OBJECT
private slots:
    void answersAreBoundedAndTold_data();
    void answersAreBoundedAndTold();
    void aMissingServerIsUnreachable();
};

void HttpRequestTest::answersAreBoundedAndTold_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("size");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("tooLarge");
    QTest::newRow("GET, no limit") << int(HttpMethod::Get) << 5000 << qint64(0) << false;
    QTest::newRow("GET, exactly the limit")
        << int(HttpMethod::Get) << 5000 << qint64(5000) << false;
    QTest::newRow("GET, one byte over") << int(HttpMethod::Get) << 5001 << qint64(5000) << true;
    QTest::newRow("POST, within") << int(HttpMethod::Post) << 10 << qint64(100) << false;
    QTest::newRow("POST, far over") << int(HttpMethod::Post) << 300000 << qint64(100) << true;
}

void HttpRequestTest::answersAreBoundedAndTold() {
    QFETCH(int, method);
    QFETCH(int, size);
    QFETCH(qint64, limit);
    QFETCH(bool, tooLarge);
    QByteArray body(size, 'a');
    body.back() = 'z';
    LocalHttpServer server(200, body, "application/x-test");
    HttpRequest request;
    request.method = HttpMethod(method);
    request.url = server.url(QStringLiteral("/path"));
    request.body = "payload";
    request.maxAnswerBytes = limit;
    request.answerHeaders = {"content-type", "X-Not-Sent"};
    const HttpAnswer answer = Run(request);
    QCOMPARE(server.requestLine,
             (method == int(HttpMethod::Post) ? QByteArray("POST") : QByteArray("GET")) +
                 " /path HTTP/1.1");
    QCOMPARE(answer.tooLarge, tooLarge);
    QCOMPARE(answer.failure, tooLarge ? HttpFailure::TooLarge : HttpFailure::None);
    QCOMPARE(answer.transferOk, !tooLarge);
    QCOMPARE(answer.body, tooLarge ? QByteArray() : body);
    QCOMPARE(answer.header("Content-Type"), QByteArray("application/x-test"));
    QCOMPARE(answer.header("X-Not-Sent"), QByteArray());
    QVERIFY(!answer.redirectRefused);
}

void HttpRequestTest::aMissingServerIsUnreachable() {
    HttpRequest request;
    request.url = QStringLiteral("http://127.0.0.1:%1/").arg(LocalHttpServer::ClosedPort());
    const HttpAnswer answer = Run(request);
    QCOMPARE(answer.status, 0);
    QCOMPARE(answer.failure, HttpFailure::Unreachable);
    QVERIFY(answer.moduleError.isEmpty());
    QVERIFY(!answer.transferOk);
}

QTEST_GUILESS_MAIN(HttpRequestTest)
#include "http_request_test.moc"
