// The network module: the program's HTTP requests made with QtNetwork. A shared library loaded
// by the program on its first request (http_get.h); it links QtCore and QtNetwork only.
#include "net/http_get.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QUrl>

namespace tarvela {
namespace {

// Only the module's own handlers are ever disconnected from a reply (the connections whose
// receiver is the reply itself): Qt's own connections of the reply carry the abort to the
// thread that holds the connection, and with them cut an abandoned request would keep its
// connection open until the server answered or gave up.
void DisconnectOurHandlers(QNetworkReply* reply) {
    QObject::disconnect(reply, nullptr, reply, nullptr);
}

class ReplyTransfer final : public HttpTransfer {
public:
    explicit ReplyTransfer(QNetworkReply* reply) : reply_(reply) {}
    ~ReplyTransfer() override {
        if (QNetworkReply* reply = reply_.data()) {
            DisconnectOurHandlers(reply);
            if (!reply->isFinished()) // not from within its own answer
                reply->abort();
            reply->deleteLater();
        }
    }

private:
    QPointer<QNetworkReply> reply_;
};

HttpFailure FailureOf(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::NoError:
        return HttpFailure::None;
    case QNetworkReply::OperationCanceledError: // the transfer timeout aborts the reply
    case QNetworkReply::TimeoutError:
        return HttpFailure::Timeout;
    case QNetworkReply::SslHandshakeFailedError:
        return HttpFailure::Tls;
    case QNetworkReply::RemoteHostClosedError:
        return HttpFailure::Closed;
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::TooManyRedirectsError:
        return HttpFailure::Redirect;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
        return HttpFailure::Unreachable;
    default:
        return HttpFailure::Other;
    }
}

QNetworkRequest MakeRequest(const HttpRequest& r) {
    QNetworkRequest request{QUrl(r.url)};
    for (const auto& [name, value] : r.headers)
        request.setRawHeader(name, value);
    if (r.transferTimeoutMs > 0)
        request.setTransferTimeout(r.transferTimeoutMs);
    // A redirect to another server is not followed: the answer must come from the address asked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, r.http2Allowed);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    if (!r.caCertificatesPem.isEmpty())
        tls.setCaCertificates(QSslCertificate::fromData(r.caCertificatesPem, QSsl::Pem));
    request.setSslConfiguration(tls);
    return request;
}

class NetworkModule final : public HttpModule {
public:
    std::unique_ptr<HttpTransfer> Start(const HttpRequest& r,
                                        std::function<void(const HttpAnswer&)> done) override {
        const QNetworkRequest request = MakeRequest(r);
        QNetworkReply* reply = r.method == HttpMethod::Post ? network()->post(request, r.body)
                                                            : network()->get(request);
        auto tooLarge = std::make_shared<bool>(false);
        if (r.maxAnswerBytes > 0) {
            // An endless answer is cut off as soon as it is longer than the limit.
            QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                             [reply, tooLarge, max = r.maxAnswerBytes](qint64 received, qint64) {
                                 if (received <= max || *tooLarge)
                                     return;
                                 *tooLarge = true;
                                 reply->abort(); // finishes the reply
                             });
        }
        QObject::connect(reply, &QNetworkReply::finished, reply,
                         [reply, tooLarge, max = r.maxAnswerBytes, wanted = r.answerHeaders,
                          done = std::move(done)] {
                             HttpAnswer answer;
                             answer.status =
                                 reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                             answer.transferOk = reply->error() == QNetworkReply::NoError;
                             answer.failure = FailureOf(reply->error());
                             if (answer.failure == HttpFailure::Other && answer.status >= 400)
                                 answer.failure =
                                     HttpFailure::None; // an error status: the answer came
                             answer.redirectRefused = answer.failure == HttpFailure::Redirect;
                             if (*tooLarge) {
                                 answer.tooLarge = true;
                                 answer.transferOk = false;
                                 answer.failure = HttpFailure::TooLarge;
                             } else if (reply->isOpen()) {
                                 answer.body = max > 0 ? reply->read(max) : reply->readAll();
                             }
                             for (const QByteArray& name : wanted)
                                 if (reply->hasRawHeader(name))
                                     answer.headers.append({name, reply->rawHeader(name)});
                             const auto callback = done; // the connection goes with it
                             DisconnectOurHandlers(reply);
                             reply->deleteLater();
                             callback(answer);
                         });
        return std::make_unique<ReplyTransfer>(reply);
    }

    // Deletes the manager while the application still exists: its open TLS connections are
    // closed then, not after the application is gone, when closing one would look up the TLS
    // backend's plugin again without an application.
    void dropNetwork() { delete network_.data(); }

private:
    // One manager for every request, made on the first one and owned by the application.
    QNetworkAccessManager* network() {
        if (!network_) {
            network_ = new QNetworkAccessManager(QCoreApplication::instance());
            qAddPostRoutine(DropNetwork);
        }
        return network_;
    }
    static void DropNetwork();
    QPointer<QNetworkAccessManager> network_;
};

NetworkModule& TheModule() {
    static NetworkModule module;
    return module;
}

void NetworkModule::DropNetwork() {
    TheModule().dropNetwork();
}

} // namespace
} // namespace tarvela

extern "C" Q_DECL_EXPORT tarvela::HttpModule* TarvelaHttpModule2() {
    return &tarvela::TheModule();
}
