#pragma once

// The tax administration's EET service imitated on 127.0.0.1 over HTTPS (TLS 1.2 or later,
// HTTP/1.1), for the tests of the sending (no test reaches the internet). It checks each request
// as the service does, with independent tools: size (error 7), the schema with `xmllint --schema`
// (error 3), the signature with `xmlsec1 --verify` and the certificate's chain to the test
// taxpayer CA with `openssl verify` (error 4), the EIČ against the certificate (error 6); a
// message in verification mode gets code 0. Otherwise it answers as `mode` says. Header only;
// the test links QtNetwork.

#include "support/eet_test_pki.h"

#include <QFile>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>

namespace tarvela::test {

class EetServiceImitation : public QSslServer {
public:
    enum class Mode {
        Confirm,           // a signed production confirmation
        PlaygroundConfirm, // a signed playground confirmation (POK -ff, test="true")
        Warnings,          // a signed confirmation with warnings 4 and 6
        Error,             // an unsigned Chyba with `errorCode`
        Timeout,           // reads the request and never answers
        Drop,              // reads the request and closes the connection
        Malformed,         // an answer that is not XML
        Http500,           // HTTP 500 with an HTML page
        SoapFault,         // HTTP 500 with a SOAP Fault
        BadSignature,      // a signed confirmation altered after signing
        WrongSigner,       // a confirmation signed by another organisation
        MismatchedUuid,    // a signed confirmation of another message
    };

    struct Request {
        QByteArray requestLine;
        QByteArray contentType;
        QByteArray soapAction;
        QByteArray uuid;
        QByteArray first;        // prvni_zaslani
        QByteArray verification; // overeni
        QByteArray data;         // the Data attributes
        int checkedCode = 0;     // what the service's checks found: 0 none, else the error code
        QString checkLog;
    };

    Mode mode = Mode::Confirm;
    int errorCode = -1;
    QList<Request> requests;

    EetServiceImitation() {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(EetPkiFile(QStringLiteral("tls.pem"))));
        tls.setPrivateKey(QSslKey(EetPkiFile(QStringLiteral("tls-key.pem")), QSsl::Rsa));
        tls.setProtocol(QSsl::TlsV1_2OrLater);
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        setSslConfiguration(tls);
        connect(this, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket,
                        [this, socket] { readFrom(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost);
    }

    QString url() const {
        return QStringLiteral("https://127.0.0.1:%1/eet/services/EETServiceSOAP/v4")
            .arg(serverPort());
    }

private:
    void readFrom(QTcpSocket* socket) {
        QByteArray& buffer = buffers_[socket];
        buffer += socket->readAll();
        const int headerEnd = int(buffer.indexOf("\r\n\r\n"));
        if (headerEnd < 0)
            return;
        const QByteArray head = buffer.left(headerEnd);
        static const QRegularExpression length(QStringLiteral("(?i)content-length:\\s*(\\d+)"));
        const auto m = length.match(QString::fromLatin1(head));
        const int bodyLength = m.hasMatch() ? m.captured(1).toInt() : 0;
        if (buffer.size() < headerEnd + 4 + bodyLength)
            return;
        const QByteArray body = buffer.mid(headerEnd + 4, bodyLength);
        buffers_.remove(socket);
        Request r;
        for (const QByteArray& line : head.split('\n')) {
            const QByteArray l = line.trimmed();
            if (r.requestLine.isEmpty())
                r.requestLine = l;
            else if (l.toLower().startsWith("content-type:"))
                r.contentType = l.mid(13).trimmed();
            else if (l.toLower().startsWith("soapaction:"))
                r.soapAction = l.mid(11).trimmed();
        }
        r.uuid = Attribute(body, "uuid_zpravy");
        r.first = Attribute(body, "prvni_zaslani");
        r.verification = Attribute(body, "overeni");
        const int dataStart = int(body.indexOf("<v4:Data ")) + 9;
        r.data = body.mid(dataStart, body.indexOf("/>", dataStart) - dataStart);
        r.checkedCode = Check(body, &r.checkLog);
        requests << r;

        if (r.checkedCode != 0 || r.verification == "true") {
            respond(socket, 200, Unsigned(r.uuid, r.checkedCode));
            return;
        }
        const QByteArray pok = "2feb2e70-a642-4188-a6e6-986a62bc9598-01";
        switch (mode) {
        case Mode::Confirm:
            respond(socket, 200, SignedServiceAnswer(Confirmation(r.uuid, "pok=\"" + pok + "\"")));
            break;
        case Mode::PlaygroundConfirm:
            respond(socket, 200,
                    SignedServiceAnswer(Confirmation(
                        r.uuid, "pok=\"2feb2e70-a642-4188-a6e6-986a62bc9598-ff\" test=\"true\"")));
            break;
        case Mode::Warnings:
            respond(socket, 200,
                    SignedServiceAnswer(
                        Confirmation(r.uuid, "pok=\"" + pok + "\"",
                                     "<eet:Varovani kod_varov=\"4\">dat_trzby</eet:Varovani>"
                                     "<eet:Varovani kod_varov=\"6\">id_jednotky</eet:Varovani>")));
            break;
        case Mode::Error:
            respond(socket, 200, Unsigned(r.uuid, errorCode));
            break;
        case Mode::Timeout:
            break;
        case Mode::Drop:
            socket->abort();
            break;
        case Mode::Malformed:
            respond(socket, 200, "<soapenv:Envelope><soapenv:Body><eet:Odpoved");
            break;
        case Mode::Http500:
            respond(socket, 500, "<html><body>Internal Server Error</body></html>", "text/html");
            break;
        case Mode::SoapFault:
            respond(socket, 500,
                    "<?xml version=\"1.0\"?><soapenv:Envelope xmlns:soapenv=\"http://"
                    "schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body><soapenv:Fault><faultcode>"
                    "soapenv:Server</faultcode><faultstring>Internal error</faultstring>"
                    "</soapenv:Fault></soapenv:Body></soapenv:Envelope>");
            break;
        case Mode::BadSignature:
            respond(socket, 200,
                    SignedServiceAnswer(Confirmation(r.uuid, "pok=\"" + pok + "\""))
                        .replace("9598-01", "9598-02"));
            break;
        case Mode::WrongSigner:
            respond(socket, 200,
                    SignedServiceAnswer(Confirmation(r.uuid, "pok=\"" + pok + "\""),
                                        QStringLiteral("foreign")));
            break;
        case Mode::MismatchedUuid:
            respond(socket, 200,
                    SignedServiceAnswer(Confirmation("0a5d7a3c-1f2e-4b7a-9c1d-0123456789ab",
                                                     "pok=\"" + pok + "\"")));
            break;
        }
    }

    static QByteArray Attribute(const QByteArray& xml, const QByteArray& name) {
        const int at = int(xml.indexOf(" " + name + "=\""));
        if (at < 0)
            return QByteArray();
        const int start = at + int(name.size()) + 3;
        return xml.mid(start, xml.indexOf('"', start) - start);
    }

    static QByteArray Confirmation(const QByteArray& uuid, const QByteArray& pokAndTest,
                                   const QByteArray& warnings = QByteArray()) {
        return "<eet:Odpoved><eet:Hlavicka uuid_zpravy=\"" + uuid +
               "\" dat_prij=\"2027-01-08T21:19:41+01:00\"/><eet:Potvrzeni " + pokAndTest + "/>" +
               warnings + "</eet:Odpoved>";
    }

    static QByteArray Unsigned(const QByteArray& uuid, int code) {
        const QByteArray header =
            uuid.isEmpty() ? QByteArray("<eet:Hlavicka dat_odmit=\"2027-01-08T21:19:41+01:00\"/>")
                           : "<eet:Hlavicka uuid_zpravy=\"" + uuid +
                                 "\" dat_odmit=\"2027-01-08T21:19:41+01:00\"/>";
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
               "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
               "xmlns:eet=\"http://fs.gov.cz/eet/schema/v4\"><soapenv:Body><eet:Odpoved>" +
               header + "<eet:Chyba kod=\"" + QByteArray::number(code) +
               "\">Chyba</eet:Chyba></eet:Odpoved></soapenv:Body></soapenv:Envelope>";
    }

    // The service's checks of a request; 0 when it passes them, else the error code.
    static int Check(const QByteArray& body, QString* log) {
        if (body.size() > 12 * 1024)
            return 7;
        QTemporaryDir dir;
        const int start = int(body.indexOf("<v4:Trzba>"));
        const int end = int(body.indexOf("</v4:Trzba>"));
        if (start < 0 || end < 0)
            return 3;
        QByteArray trzba = body.mid(start, end + 11 - start);
        trzba.replace("<v4:Trzba>", "<v4:Trzba xmlns:v4=\"http://fs.gov.cz/eet/schema/v4\">");
        QFile file(dir.filePath(QStringLiteral("trzba.xml")));
        if (!file.open(QIODevice::WriteOnly))
            return 3;
        file.write(trzba);
        file.close();
        int rc = 0;
        *log += QString::fromUtf8(RunTool(QStringLiteral("xmllint"),
                                          {QStringLiteral("--noout"), QStringLiteral("--schema"),
                                           QStringLiteral(TARVELA_EET_SCHEMA), file.fileName()},
                                          &rc));
        if (rc != 0)
            return 3;
        if (!XmlsecVerifiesRequest(body, log))
            return 4;
        // the chain of the certificate in the BinarySecurityToken, and its subject
        const int bst = int(body.indexOf("BinarySecurityToken"));
        const int open = int(body.indexOf('>', bst)) + 1;
        const QByteArray der =
            QByteArray::fromBase64(body.mid(open, body.indexOf("</", open) - open));
        const QSslCertificate cert(der, QSsl::Der);
        QFile pem(dir.filePath(QStringLiteral("bst.pem")));
        if (cert.isNull() || !pem.open(QIODevice::WriteOnly))
            return 4;
        pem.write(cert.toPem());
        pem.close();
        *log += QString::fromUtf8(
            RunTool(QStringLiteral("openssl"),
                    {QStringLiteral("verify"), QStringLiteral("-CAfile"),
                     EetPki() + QStringLiteral("/taxpayer-ca.pem"), pem.fileName()},
                    &rc));
        if (rc != 0)
            return 4;
        if (cert.subjectInfo(QSslCertificate::CommonName).value(0).toLatin1() !=
            Attribute(body, "eic_popl"))
            return 6;
        return 0;
    }

    static void respond(QTcpSocket* socket, int status, const QByteArray& body,
                        const QByteArray& type = "text/xml; charset=utf-8") {
        socket->write("HTTP/1.1 " + QByteArray::number(status) +
                      (status == 200 ? " OK" : " Error") + "\r\nContent-Type: " + type +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nX-Global-Transaction-Id: test-transaction-1"
                      "\r\nConnection: close\r\n\r\n" +
                      body);
        socket->disconnectFromHost();
    }

    QHash<QTcpSocket*, QByteArray> buffers_;
};

} // namespace tarvela::test
