#pragma once

// A small HTTP server on 127.0.0.1 for the tests of what the program fetches: it answers every
// request with one canned response and remembers the request line. No test reaches the internet.

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <utility>

namespace tarvela::test {

class OneShotHttpServer : public QTcpServer {
public:
    OneShotHttpServer(int status, QByteArray body) : status_(status), body_(std::move(body)) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray request = socket->readAll();
                requestLine = request.left(request.indexOf("\r\n"));
                socket->write("HTTP/1.1 " + QByteArray::number(status_) +
                              (status_ == 200 ? " OK" : " Error") +
                              "\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Length: " +
                              QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" +
                              body_);
                socket->disconnectFromHost();
            });
        });
        listen(QHostAddress::LocalHost);
    }
    QString url() const {
        return QStringLiteral("http://127.0.0.1:%1/denni_kurz.txt").arg(serverPort());
    }
    QByteArray requestLine;

private:
    int status_;
    QByteArray body_;
};

// An address on 127.0.0.1 that nobody listens on any more: a computer offline.
inline QString ClosedLocalUrl() {
    quint16 port = 0;
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        port = closed.serverPort();
    }
    return QStringLiteral("http://127.0.0.1:%1/denni_kurz.txt").arg(port);
}

// The bank's daily file as the tests serve it: declared on 5 March 2026.
inline const QByteArray kCnbDailySample = QByteArray("05.03.2026 #45\n"
                                                     "země|měna|množství|kód|kurz\n"
                                                     "Austrálie|dolar|1|AUD|15,871\n"
                                                     "EMU|euro|1|EUR|24,335\n"
                                                     "Japonsko|jen|100|JPY|16,123\n"
                                                     "Maďarsko|forint|100|HUF|6,402\n");

} // namespace tarvela::test
