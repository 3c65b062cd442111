#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

namespace tarvela {

// The program's HTTP requests (the bank's rates, the business register, EET). The network
// library is not part of the program: the requests are made by the network module, a shared
// library beside the program (libTarvelaNet.so) that is loaded on the first request, so a start
// of the program without any request never loads the network library.

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

enum class HttpMethod { Get, Post };

// One request and the bounds it is made within.
struct HttpRequest {
    HttpMethod method = HttpMethod::Get;
    QString url;
    HttpHeaders headers; // sent as given ("Content-Type" of a POST among them)
    QByteArray body;     // of a POST
    // The longest pause in the transfer before it is given up (0: none). It starts anew with
    // each byte: a deadline of the whole request is the caller's.
    int transferTimeoutMs = 0;
    // The longest answer read (0: no limit): a longer one is aborted while it comes, the answer
    // then has tooLarge set and no body.
    qint64 maxAnswerBytes = 0;
    // The certificates the server's TLS certificate must chain to, PEM; empty for the system's.
    QByteArray caCertificatesPem;
    bool http2Allowed = true;
    // The answer's headers wanted in HttpAnswer::headers (names as sent, any case).
    QList<QByteArray> answerHeaders;
    // Always: HTTPS with TLS 1.2 or later, and a redirect followed only to the same scheme, host
    // and port (any other is refused and flagged).
};

// Why no complete answer came.
enum class HttpFailure {
    None,        // an HTTP answer came (perhaps with an error status)
    Unreachable, // no connection: offline, no such host, refused, the network down
    Timeout,     // the transfer paused longer than transferTimeoutMs
    Tls,         // the TLS handshake failed (an untrusted or wrong certificate)
    Closed,      // the server closed the connection without a whole answer
    Redirect,    // a redirect to another server (or too many) was refused
    TooLarge,    // the answer was longer than maxAnswerBytes
    Other,       // any other failure of the transfer
};

// What came back.
struct HttpAnswer {
    int status = 0;          // the HTTP status; 0 when no HTTP answer came at all
    bool transferOk = false; // the transfer ended without an error (status below 400)
    HttpFailure failure = HttpFailure::None;
    bool tooLarge = false;        // aborted beyond maxAnswerBytes (failure TooLarge)
    bool redirectRefused = false; // a redirect was not followed (failure Redirect)
    QByteArray body;              // the answer's body (also of an error page); empty when tooLarge
    HttpHeaders headers;          // the answer's headers asked for in answerHeaders, when present
    QString moduleError;          // not empty when the network module could not be loaded

    // The value of the answer's header `name` (any case) among `headers`; empty when absent.
    QByteArray header(const QByteArray& name) const;
    // The media type of the answer's Content-Type (asked for in answerHeaders), lower case and
    // without its parameters ("text/plain" of "text/plain; charset=UTF-8"); empty when absent.
    QByteArray mediaType() const;
};

// The answer's media type as a message may show it: printable ASCII only, at most 60 characters,
// "žádný" when the answer has none.
QString ContentTypeText(const HttpAnswer& answer);

// A request on its way: destroying it abandons the request, and its callback never runs.
class HttpTransfer {
public:
    virtual ~HttpTransfer() = default;
};

// Starts `request`; `done` runs once from the event loop with the answer. When the module cannot
// be loaded, `done` runs (from the event loop too) with moduleError set.
std::unique_ptr<HttpTransfer> StartHttpRequest(const HttpRequest& request,
                                               std::function<void(const HttpAnswer&)> done);

// A GET of `url` with the headers given (the request's other bounds at their defaults).
std::unique_ptr<HttpTransfer> StartHttpGet(const QString& url, const HttpHeaders& headers,
                                           int transferTimeoutMs,
                                           std::function<void(const HttpAnswer&)> done);

// The file name of the network module on this platform ("libTarvelaNet.so").
QString NetModuleFileName();

// The interface the module gives through its entry point kHttpModuleEntry (a function without
// arguments that returns the module's one HttpModule). Only the program and its module use it;
// the entry's name changes with the interface, so a module of another build is refused.
class HttpModule {
public:
    virtual ~HttpModule() = default;
    virtual std::unique_ptr<HttpTransfer> Start(const HttpRequest& request,
                                                std::function<void(const HttpAnswer&)> done) = 0;
};
inline constexpr char kHttpModuleEntry[] = "TarvelaHttpModule2";

} // namespace tarvela
