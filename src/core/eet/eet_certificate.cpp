#include "eet/eet_certificate.h"

#include "eet/eet_message.h"
#include "eet/eet_xml.h"
#include "text/errors.h"

#include <QUuid>

#include <openssl/err.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <xmlsec/crypto.h>
#include <xmlsec/openssl/evp.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmltree.h>

namespace tarvela::eet {

namespace {

constexpr char kWsu[] =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd";
constexpr char kPlaygroundPolicy[] = "1.2.203.19122063.10.4.";
constexpr qint64 kWarnDays = 30;

QDateTime FromAsn1(const ASN1_TIME* time) {
    struct tm parts = {};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1)
        return QDateTime();
    return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                     QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
}

QString CommonName(X509* cert) {
    X509_NAME* name = X509_get_subject_name(cert);
    const int index = X509_NAME_get_index_by_NID(name, NID_commonName, -1);
    if (index < 0)
        return QString();
    ASN1_STRING* data = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index));
    return QString::fromUtf8(reinterpret_cast<const char*>(ASN1_STRING_get0_data(data)),
                             ASN1_STRING_length(data));
}

bool HasPlaygroundPolicy(X509* cert) {
    auto* policies = static_cast<CERTIFICATEPOLICIES*>(
        X509_get_ext_d2i(cert, NID_certificate_policies, nullptr, nullptr));
    if (!policies)
        return false;
    bool playground = false;
    for (int i = 0; i < sk_POLICYINFO_num(policies); ++i) {
        char oid[128] = {};
        OBJ_obj2txt(oid, sizeof oid, sk_POLICYINFO_value(policies, i)->policyid, 1);
        if (QByteArray(oid).startsWith(kPlaygroundPolicy))
            playground = true;
    }
    CERTIFICATEPOLICIES_free(policies);
    return playground;
}

QString Readable(const QDateTime& utc) {
    return utc.toLocalTime().toString(QStringLiteral("d.M.yyyy"));
}

} // namespace

struct TaxpayerCertificate::Data {
    EVP_PKEY* key = nullptr;
    X509* cert = nullptr;
    QString eic;
    QDateTime from;
    QDateTime until;
    bool playground = false;
    QByteArray der;
    ~Data() {
        EVP_PKEY_free(key);
        X509_free(cert);
    }
};

TaxpayerCertificate::TaxpayerCertificate(std::shared_ptr<const Data> data) : d_(std::move(data)) {}
TaxpayerCertificate::TaxpayerCertificate(const TaxpayerCertificate&) = default;
TaxpayerCertificate& TaxpayerCertificate::operator=(const TaxpayerCertificate&) = default;
TaxpayerCertificate::~TaxpayerCertificate() = default;

TaxpayerCertificate TaxpayerCertificate::Load(const QByteArray& p12, const QString& password) {
    detail::EnsureCryptoReady();
    if (p12.isEmpty() || p12.size() > 64 * 1024)
        throw ValidationError(QStringLiteral("EET: soubor certifikátu je prázdný nebo příliš "
                                             "velký – nejde o certifikát z daňového portálu."));
    const unsigned char* in = reinterpret_cast<const unsigned char*>(p12.constData());
    PKCS12* bundle = d2i_PKCS12(nullptr, &in, long(p12.size()));
    if (!bundle) {
        ERR_clear_error();
        throw ValidationError(
            QStringLiteral("EET: soubor certifikátu nelze přečíst (není to soubor .p12)."));
    }
    auto data = std::make_shared<Data>();
    const QByteArray pass = password.toUtf8();
    STACK_OF(X509)* extra = nullptr;
    const int ok = PKCS12_parse(bundle, pass.constData(), &data->key, &data->cert, &extra);
    PKCS12_free(bundle);
    sk_X509_pop_free(extra, X509_free);
    if (!ok) {
        const unsigned long error = ERR_peek_last_error();
        ERR_clear_error();
        if (ERR_GET_REASON(error) == PKCS12_R_MAC_VERIFY_FAILURE)
            throw ValidationError(QStringLiteral("EET: heslo k certifikátu není správné."));
        throw ValidationError(QStringLiteral("EET: certifikát nelze otevřít (chybné heslo nebo "
                                             "poškozený soubor .p12)."));
    }
    if (!data->key || !data->cert)
        throw ValidationError(
            QStringLiteral("EET: soubor .p12 neobsahuje soukromý klíč s certifikátem."));
    data->eic = CommonName(data->cert);
    data->from = FromAsn1(X509_get0_notBefore(data->cert));
    data->until = FromAsn1(X509_get0_notAfter(data->cert));
    data->playground = HasPlaygroundPolicy(data->cert);
    unsigned char* der = nullptr;
    const int length = i2d_X509(data->cert, &der);
    data->der = QByteArray(reinterpret_cast<const char*>(der), length);
    OPENSSL_free(der);
    return TaxpayerCertificate(std::move(data));
}

QString TaxpayerCertificate::eic() const {
    return d_->eic;
}
QDateTime TaxpayerCertificate::validFrom() const {
    return d_->from;
}
QDateTime TaxpayerCertificate::validUntil() const {
    return d_->until;
}
bool TaxpayerCertificate::isPlayground() const {
    return d_->playground;
}

Expiry TaxpayerCertificate::expiry(const QDateTime& now) const {
    if (now < d_->from || now >= d_->until)
        return Expiry::Expired;
    return now.addDays(kWarnDays) >= d_->until ? Expiry::ExpiresSoon : Expiry::Valid;
}

QString TaxpayerCertificate::expiryWarning(const QDateTime& now) const {
    switch (expiry(now)) {
    case Expiry::Valid:
        return QString();
    case Expiry::ExpiresSoon:
        return QStringLiteral("Certifikát pro EET (%1) platí jen do %2. Vydejte si nový "
                              "v daňovém portálu a vyberte ho v nastavení.")
            .arg(d_->eic, Readable(d_->until));
    case Expiry::Expired:
        break;
    }
    if (now < d_->from)
        return QStringLiteral("Certifikát pro EET (%1) platí až od %2; tržby zatím nelze "
                              "podepsat.")
            .arg(d_->eic, Readable(d_->from));
    return QStringLiteral("Certifikát pro EET (%1) vypršel %2; tržby nelze podepsat. Vydejte "
                          "si nový v daňovém portálu a vyberte ho v nastavení.")
        .arg(d_->eic, Readable(d_->until));
}

QByteArray TaxpayerCertificate::signedEnvelope(const QByteArray& trzbaElement,
                                               const QDateTime& now) const {
    if (expiry(now) == Expiry::Expired)
        throw ValidationError(expiryWarning(now));
    const QString schemaProblem = SchemaProblem(trzbaElement);
    if (!schemaProblem.isEmpty())
        throw ValidationError(
            QStringLiteral("EET: zpráva neodpovídá schématu služby: %1").arg(schemaProblem));
    const QByteArray bodyId = "id-" + NewMessageUuid().toLatin1();
    const QByteArray tokenId = "X509-" + NewMessageUuid().toLatin1();
    // The Trzba element declares v4 itself; inside the envelope the declaration moves up.
    QByteArray trzba = trzbaElement;
    trzba.replace(QByteArray(" xmlns:v4=\"") + kNamespace + "\"", QByteArray());
    const QByteArray envelope =
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                   "xmlns:v4=\"") +
        kNamespace +
        "\"><soapenv:Header><wsse:Security xmlns:wsse=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-wssecurity-secext-1.0.xsd\" xmlns:wsu=\"" +
        kWsu +
        "\" soapenv:mustUnderstand=\"1\"><wsse:BinarySecurityToken EncodingType=\"http://"
        "docs.oasis-open.org/wss/2004/01/oasis-200401-wss-soap-message-security-1.0#Base64Binary\" "
        "ValueType=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-x509-token-profile-1.0#X509v3\" wsu:Id=\"" +
        tokenId + "\">" + d_->der.toBase64() +
        "</wsse:BinarySecurityToken><ds:Signature xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\">"
        "<ds:SignedInfo><ds:CanonicalizationMethod "
        "Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\"><ec:InclusiveNamespaces "
        "xmlns:ec=\"http://www.w3.org/2001/10/xml-exc-c14n#\" PrefixList=\"soapenv v4\"/>"
        "</ds:CanonicalizationMethod><ds:SignatureMethod "
        "Algorithm=\"http://www.w3.org/2001/04/xmldsig-more#rsa-sha256\"/><ds:Reference URI=\"#" +
        bodyId +
        "\"><ds:Transforms><ds:Transform Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\">"
        "<ec:InclusiveNamespaces xmlns:ec=\"http://www.w3.org/2001/10/xml-exc-c14n#\" "
        "PrefixList=\"v4\"/></ds:Transform></ds:Transforms><ds:DigestMethod "
        "Algorithm=\"http://www.w3.org/2001/04/xmlenc#sha256\"/><ds:DigestValue></ds:DigestValue>"
        "</ds:Reference></ds:SignedInfo><ds:SignatureValue></ds:SignatureValue><ds:KeyInfo>"
        "<wsse:SecurityTokenReference><wsse:Reference URI=\"#" +
        tokenId +
        "\" ValueType=\"http://docs.oasis-open.org/wss/2004/01/"
        "oasis-200401-wss-x509-token-profile-1.0#X509v3\"/></wsse:SecurityTokenReference>"
        "</ds:KeyInfo></ds:Signature></wsse:Security></soapenv:Header><soapenv:Body "
        "xmlns:wsu=\"" +
        kWsu + "\" wsu:Id=\"" + bodyId + "\">" + trzba + "</soapenv:Body></soapenv:Envelope>";

    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(detail::ParseXml(envelope), xmlFreeDoc);
    const auto fail = [](const char* what) {
        return TarvelaError(
            QStringLiteral("EET: zprávu nelze podepsat (%1).").arg(QString::fromLatin1(what)));
    };
    if (!doc)
        throw fail("obálka");
    xmlNodePtr root = xmlDocGetRootElement(doc.get());
    xmlNodePtr body = detail::ChildElement(root, "Body", nullptr);
    xmlAttrPtr id = xmlHasNsProp(body, BAD_CAST "Id", BAD_CAST kWsu);
    if (!id || !xmlAddID(nullptr, doc.get(), BAD_CAST bodyId.constData(), id))
        throw fail("Id");
    xmlNodePtr signature = xmlSecFindNode(root, xmlSecNodeSignature, xmlSecDSigNs);
    std::unique_ptr<xmlSecDSigCtx, decltype(&xmlSecDSigCtxDestroy)> ctx(
        xmlSecDSigCtxCreate(nullptr), xmlSecDSigCtxDestroy);
    if (!signature || !ctx)
        throw fail("šablona");
    EVP_PKEY_up_ref(d_->key);
    xmlSecKeyDataPtr keyData = xmlSecOpenSSLEvpKeyAdopt(d_->key);
    xmlSecKeyPtr key = xmlSecKeyCreate();
    if (!keyData || !key || xmlSecKeySetValue(key, keyData) < 0)
        throw fail("klíč");
    ctx->signKey = key;
    if (xmlSecDSigCtxSign(ctx.get(), signature) < 0)
        throw fail("podpis");
    xmlChar* out = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc.get(), &out, &size, "UTF-8");
    QByteArray signedBytes(reinterpret_cast<const char*>(out), size);
    xmlFree(out);
    return signedBytes;
}

} // namespace tarvela::eet
