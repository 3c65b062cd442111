#pragma once

// A small HTTP server on 127.0.0.1 for the tests of the network fetchers (no test reaches the
// internet): it answers every request with one canned response and remembers the request line.
// Header only; the test links QtNetwork through the fetcher it tests.

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <utility>

namespace tarvela::test {

class LocalHttpServer : public QTcpServer {
public:
    // status 0: reads the request and never answers, as a server that hangs.
    LocalHttpServer(int status, QByteArray body,
                    QByteArray contentType = "text/plain; charset=UTF-8")
        : status_(status), body_(std::move(body)), contentType_(std::move(contentType)) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::disconnected, this, [this] { ++closedConnections; });
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray request = socket->readAll();
                requestLine = request.left(request.indexOf("\r\n"));
                if (status_ == 0)
                    return;
                socket->write("HTTP/1.1 " + QByteArray::number(status_) +
                              (status_ == 200 ? " OK" : " Error") +
                              "\r\nContent-Type: " + contentType_ +
                              "\r\nContent-Length: " + QByteArray::number(body_.size()) +
                              "\r\nConnection: close\r\n\r\n" + body_);
                socket->disconnectFromHost();
            });
        });
        listen(QHostAddress::LocalHost);
    }

    // "http://127.0.0.1:<port>" followed by `path`.
    QString url(const QString& path = QString()) const {
        return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()) + path;
    }

    // A port on 127.0.0.1 that nobody listens on any more: a server that is not there.
    static quint16 ClosedPort() {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        return closed.serverPort();
    }

    QByteArray requestLine;
    int closedConnections = 0; // connections that ended, by either side

private:
    int status_;
    QByteArray body_;
    QByteArray contentType_;
};

// The bank's daily file as the tests serve it: declared on 5 March 2026.
inline const QByteArray kCnbDailySample = QByteArray("05.03.2026 #45\n"
                                                     "země|měna|množství|kód|kurz\n"
                                                     "Austrálie|dolar|1|AUD|15,871\n"
                                                     "EMU|euro|1|EUR|24,335\n"
                                                     "Japonsko|jen|100|JPY|16,123\n"
                                                     "Maďarsko|forint|100|HUF|6,402\n");

} // namespace tarvela::test
