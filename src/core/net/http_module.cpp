// The network module: HTTP GET requests made with QtNetwork for the program's fetchers. A
// shared library loaded by the program on its first request (http_get.h); it links QtCore and
// QtNetwork only.
#include "net/http_get.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

namespace tarvela {
namespace {

class ReplyTransfer final : public HttpTransfer {
public:
    explicit ReplyTransfer(QNetworkReply* reply) : reply_(reply) {}
    ~ReplyTransfer() override {
        if (QNetworkReply* reply = reply_.data()) {
            reply->disconnect();
            reply->abort();
            reply->deleteLater();
        }
    }

private:
    QPointer<QNetworkReply> reply_;
};

class NetworkModule final : public HttpModule {
public:
    std::unique_ptr<HttpTransfer> Get(const QString& url, const HttpHeaders& headers,
                                      int transferTimeoutMs,
                                      std::function<void(const HttpAnswer&)> done) override {
        QNetworkRequest request{QUrl(url)};
        for (const auto& [name, value] : headers)
            request.setRawHeader(name, value);
        if (transferTimeoutMs > 0)
            request.setTransferTimeout(transferTimeoutMs);
        QNetworkReply* reply = network()->get(request);
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done = std::move(done)] {
            HttpAnswer answer;
            answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            answer.transferOk = reply->error() == QNetworkReply::NoError;
            answer.body = reply->readAll();
            reply->disconnect();
            reply->deleteLater();
            done(answer);
        });
        return std::make_unique<ReplyTransfer>(reply);
    }

private:
    // One manager for every request, made on the first one and owned by the application.
    QNetworkAccessManager* network() {
        if (!network_)
            network_ = new QNetworkAccessManager(QCoreApplication::instance());
        return network_;
    }
    QPointer<QNetworkAccessManager> network_;
};

} // namespace
} // namespace tarvela

extern "C" Q_DECL_EXPORT tarvela::HttpModule* TarvelaHttpModule() {
    static tarvela::NetworkModule module;
    return &module;
}
