#pragma once

// The EET tests' certificates and the service's side of the signature, made at test time with
// the openssl and xmlsec1 commands (make_test_pki.sh beside this file): nothing is fetched and no
// real key is used. Header only; the test target defines TARVELA_EET_PKI_SCRIPT and
// TARVELA_EET_PKI_DIR.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <stdexcept>

namespace tarvela::test {

// The folder of the test certificates, made on first use (once per build folder).
inline QString EetPki() {
    static const QString folder = [] {
        const QString dir = QStringLiteral(TARVELA_EET_PKI_DIR);
        QProcess make;
        make.start(QStringLiteral("bash"), {QStringLiteral(TARVELA_EET_PKI_SCRIPT), dir});
        if (!make.waitForFinished(120000) || make.exitCode() != 0)
            throw std::runtime_error("make_test_pki.sh failed: " +
                                     make.readAllStandardError().toStdString());
        return dir;
    }();
    return folder;
}

inline QByteArray EetPkiFile(const QString& name) {
    QFile file(EetPki() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing test certificate " + name.toStdString());
    return file.readAll();
}

// Runs a command with arguments; its standard output, or an exception with its errors.
inline QByteArray RunTool(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        throw std::runtime_error("tool did not finish: " + program.toStdString());
    *exitCode = process.exitCode();
    return process.readAllStandardOutput() + process.readAllStandardError();
}

// The service's signed answer: `odpoved` (an <eet:Odpoved> element) in a SOAP envelope whose Body
// is signed by `signer` ("signer" or "foreign" of the test PKI) with the xmlsec1 command.
inline QByteArray SignedServiceAnswer(const QByteArray& odpoved,
                                      const QString& signer = QStringLiteral("signer")) {
    QByteArray pem = EetPkiFile(signer + QStringLiteral(".pem"));
    QByteArray base64;
    for (const QByteArray& line : pem.split('\n'))
        if (!line.startsWith("-----"))
            base64 += line.trimmed();
    const QByteArray wsu =
        "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd";
    const QByteArray tmpl =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<soapenv:Envelope "
        "xmlns:eet=\"http://fs.gov.cz/eet/schema/v4\" "
        "xmlns:wsu=\"" +
        wsu +
        "\" xmlns:wsse=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-wssecurity-secext-1.0.xsd\" "
        "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Header>"
        "<wsse:Security soapenv:mustUnderstand=\"1\"><wsse:BinarySecurityToken "
        "wsu:Id=\"SecurityToken-1\" EncodingType=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-soap-message-security-1.0#Base64Binary\" ValueType=\"http://"
        "docs.oasis-open.org/wss/2004/01/oasis-200401-wss-x509-token-profile-1.0#X509v3\">" +
        base64 +
        "</wsse:BinarySecurityToken><Signature xmlns=\"http://www.w3.org/2000/09/xmldsig#\">"
        "<SignedInfo><CanonicalizationMethod Algorithm=\"http://www.w3.org/2001/10/"
        "xml-exc-c14n#\"/><SignatureMethod Algorithm=\"http://www.w3.org/2001/04/"
        "xmldsig-more#rsa-sha256\"/><Reference URI=\"#Body-1\"><Transforms><Transform "
        "Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\"/></Transforms><DigestMethod "
        "Algorithm=\"http://www.w3.org/2001/04/xmlenc#sha256\"/><DigestValue/></Reference>"
        "</SignedInfo><SignatureValue/><KeyInfo><wsse:SecurityTokenReference><wsse:Reference "
        "URI=\"#SecurityToken-1\"/></wsse:SecurityTokenReference></KeyInfo></Signature>"
        "</wsse:Security></soapenv:Header><soapenv:Body wsu:Id=\"Body-1\">" +
        odpoved + "</soapenv:Body></soapenv:Envelope>";
    QTemporaryDir dir;
    QFile in(dir.filePath(QStringLiteral("tmpl.xml")));
    if (!in.open(QIODevice::WriteOnly) || in.write(tmpl) != tmpl.size())
        throw std::runtime_error("cannot write the template");
    in.close();
    const QString out = dir.filePath(QStringLiteral("signed.xml"));
    int rc = 0;
    const QByteArray log =
        RunTool(QStringLiteral("xmlsec1"),
                {QStringLiteral("--sign"), QStringLiteral("--privkey-pem"),
                 EetPki() + QStringLiteral("/%1-key.pem,").arg(signer) + EetPki() +
                     QStringLiteral("/%1.pem").arg(signer),
                 QStringLiteral("--id-attr:Id"),
                 QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/:Body"),
                 QStringLiteral("--output"), out, in.fileName()},
                &rc);
    QFile result(out);
    if (rc != 0 || !result.open(QIODevice::ReadOnly))
        throw std::runtime_error("xmlsec1 --sign failed: " + log.toStdString());
    return result.readAll();
}

// Checks a signed request as the service does, with the xmlsec1 command: the Body's signature by
// the certificate in its BinarySecurityToken. True when it verifies.
inline bool XmlsecVerifiesRequest(const QByteArray& envelope, QString* log = nullptr) {
    QTemporaryDir dir;
    const int start = envelope.indexOf("BinarySecurityToken");
    const int open = envelope.indexOf('>', start) + 1;
    const int close = envelope.indexOf("</", open);
    const QByteArray base64 = envelope.mid(open, close - open);
    QByteArray pem = "-----BEGIN CERTIFICATE-----\n";
    for (int i = 0; i < base64.size(); i += 64)
        pem += base64.mid(i, 64) + '\n';
    pem += "-----END CERTIFICATE-----\n";
    QFile cert(dir.filePath(QStringLiteral("bst.pem")));
    QFile message(dir.filePath(QStringLiteral("message.xml")));
    if (!cert.open(QIODevice::WriteOnly) || !message.open(QIODevice::WriteOnly))
        return false;
    cert.write(pem);
    message.write(envelope);
    cert.close();
    message.close();
    int rc = 0;
    const QByteArray out = RunTool(
        QStringLiteral("xmlsec1"),
        {QStringLiteral("--verify"), QStringLiteral("--pubkey-cert-pem"), cert.fileName(),
         QStringLiteral("--id-attr:Id"),
         QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/:Body"), message.fileName()},
        &rc);
    if (log)
        *log = QString::fromUtf8(out);
    return rc == 0;
}

} // namespace tarvela::test
