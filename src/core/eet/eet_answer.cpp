#include "eet/eet_answer.h"

#include "eet/eet_message.h"
#include "eet/eet_resources.h"
#include "eet/eet_xml.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <xmlsec/crypto.h>
#include <xmlsec/openssl/evp.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmltree.h>

#include <memory>

namespace tarvela::eet {

namespace {

constexpr char kSoap[] = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr char kWsse[] =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd";
constexpr char kWsu[] =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd";

using DocPtr = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;
using X509Ptr = std::unique_ptr<X509, decltype(&X509_free)>;

Answer Temporary(const QString& message) {
    Answer answer;
    answer.outcome = Outcome::Temporary;
    answer.message = message;
    return answer;
}

QString NodeText(xmlNodePtr node) {
    if (!node)
        return QString();
    xmlChar* text = xmlNodeGetContent(node);
    const QString out = QString::fromUtf8(reinterpret_cast<const char*>(text)).trimmed();
    xmlFree(text);
    return out;
}

QString SubjectEntry(X509* cert, int nid) {
    X509_NAME* name = X509_get_subject_name(cert);
    const int index = X509_NAME_get_index_by_NID(name, nid, -1);
    if (index < 0)
        return QString();
    ASN1_STRING* data = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index));
    return QString::fromUtf8(reinterpret_cast<const char*>(ASN1_STRING_get0_data(data)),
                             ASN1_STRING_length(data));
}

// Checks that `cert` chains to the trusted certificates at `at`. Empty when it does.
QString ChainProblem(X509* cert, const QByteArray& chainPem, const QDateTime& at) {
    std::unique_ptr<X509_STORE, decltype(&X509_STORE_free)> store(X509_STORE_new(),
                                                                  X509_STORE_free);
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(
        BIO_new_mem_buf(chainPem.constData(), int(chainPem.size())), BIO_free);
    int loaded = 0;
    while (X509* trusted = PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)) {
        X509_STORE_add_cert(store.get(), trusted);
        X509_free(trusted);
        ++loaded;
    }
    ERR_clear_error();
    if (loaded == 0)
        return QStringLiteral("v nastavení chybí důvěryhodné certifikáty pro podpis odpovědí");
    std::unique_ptr<X509_STORE_CTX, decltype(&X509_STORE_CTX_free)> ctx(X509_STORE_CTX_new(),
                                                                        X509_STORE_CTX_free);
    X509_STORE_CTX_init(ctx.get(), store.get(), cert, nullptr);
    X509_STORE_CTX_set_time(ctx.get(), 0, time_t(at.toSecsSinceEpoch()));
    if (X509_verify_cert(ctx.get()) == 1)
        return QString();
    const int error = X509_STORE_CTX_get_error(ctx.get());
    ERR_clear_error();
    return QStringLiteral("certifikát podpisu odpovědi nepochází od důvěryhodné autority (%1)")
        .arg(QString::fromLatin1(X509_verify_cert_error_string(error)));
}

// Checks the confirmation's signature: only the Body signed, by the certificate in the
// BinarySecurityToken, which chains to the trusted certificates and belongs to the expected
// signer. Empty when all holds, otherwise what does not.
QString SignatureProblem(xmlDocPtr doc, xmlNodePtr envelope, xmlNodePtr body,
                         const AnswerTrust& trust, const QDateTime& at) {
    xmlNodePtr header = detail::ChildElement(envelope, "Header", kSoap);
    xmlNodePtr security = detail::ChildElement(header, "Security", kWsse);
    xmlNodePtr token = detail::ChildElement(security, "BinarySecurityToken", kWsse);
    xmlNodePtr signature =
        detail::ChildElement(security, "Signature", reinterpret_cast<const char*>(xmlSecDSigNs));
    if (!token || !signature)
        return QStringLiteral("potvrzení není podepsané");
    xmlAttrPtr id = xmlHasNsProp(body, BAD_CAST "Id", BAD_CAST kWsu);
    if (!id)
        return QStringLiteral("podepsaná část odpovědi nemá označení");
    xmlChar* idValue = xmlGetNsProp(body, BAD_CAST "Id", BAD_CAST kWsu);
    const QByteArray bodyIdBytes(reinterpret_cast<const char*>(idValue));
    xmlFree(idValue);
    if (xmlGetID(doc, BAD_CAST bodyIdBytes.constData()) != nullptr ||
        !xmlAddID(nullptr, doc, BAD_CAST bodyIdBytes.constData(), id))
        return QStringLiteral("podepsaná část odpovědi má neplatné označení");

    QByteArray der = QByteArray::fromBase64(NodeText(token).toLatin1());
    const unsigned char* in = reinterpret_cast<const unsigned char*>(der.constData());
    X509Ptr cert(d2i_X509(nullptr, &in, long(der.size())), X509_free);
    if (!cert) {
        ERR_clear_error();
        return QStringLiteral("certifikát podpisu odpovědi nelze přečíst");
    }
    const QString chain = ChainProblem(cert.get(), trust.chainPem, at);
    if (!chain.isEmpty())
        return chain;
    const QString signer = SubjectEntry(cert.get(), NID_organizationIdentifier);
    if (signer != trust.signerId)
        return QStringLiteral("odpověď nepodepsala Finanční správa (podepsal „%1“)")
            .arg(signer.isEmpty() ? SubjectEntry(cert.get(), NID_commonName) : signer);

    std::unique_ptr<xmlSecDSigCtx, decltype(&xmlSecDSigCtxDestroy)> ctx(
        xmlSecDSigCtxCreate(nullptr), xmlSecDSigCtxDestroy);
    EVP_PKEY* publicKey = X509_get_pubkey(cert.get());
    xmlSecKeyDataPtr keyData = publicKey ? xmlSecOpenSSLEvpKeyAdopt(publicKey) : nullptr;
    xmlSecKeyPtr key = xmlSecKeyCreate();
    if (!ctx || !keyData || !key || xmlSecKeySetValue(key, keyData) < 0) {
        if (key)
            xmlSecKeyDestroy(key);
        return QStringLiteral("klíč podpisu odpovědi nelze použít");
    }
    ctx->signKey = key;
    ctx->enabledReferenceUris = xmlSecTransformUriTypeSameDocument;
    if (xmlSecDSigCtxVerify(ctx.get(), signature) < 0 || ctx->status != xmlSecDSigStatusSucceeded) {
        ERR_clear_error();
        return QStringLiteral("podpis odpovědi nesouhlasí s jejím obsahem");
    }
    if (xmlSecPtrListGetSize(&ctx->signedInfoReferences) != 1)
        return QStringLiteral("podpis odpovědi se netýká jen jejího obsahu");
    auto* reference =
        static_cast<xmlSecDSigReferenceCtxPtr>(xmlSecPtrListGetItem(&ctx->signedInfoReferences, 0));
    if (!reference || !reference->uri ||
        QByteArray(reinterpret_cast<const char*>(reference->uri)) != "#" + bodyIdBytes)
        return QStringLiteral("podpis odpovědi se netýká jejího obsahu");
    return QString();
}

QString Untrusted(const QString& why) {
    return QStringLiteral("Odpovědi služby EET nelze věřit: %1. Tržba zůstává k odeslání.")
        .arg(why);
}

} // namespace

Answer ReadAnswer(const QByteArray& body, const QString& expectedUuid, const AnswerTrust& trust,
                  const QDateTime& at) {
    detail::EnsureCryptoReady();
    const QString unreadable =
        QStringLiteral("Odpověď služby EET nelze přečíst. Tržba zůstává k odeslání.");
    if (body.isEmpty())
        return Temporary(QStringLiteral("Služba EET neodpověděla. Tržba zůstává k odeslání."));
    if (body.size() > kMaxAnswerBytes)
        return Temporary(unreadable);
    DocPtr doc(detail::ParseXml(body), xmlFreeDoc);
    if (!doc)
        return Temporary(unreadable);
    xmlNodePtr envelope = xmlDocGetRootElement(doc.get());
    if (!envelope || !xmlStrEqual(envelope->name, BAD_CAST "Envelope") || !envelope->ns ||
        !xmlStrEqual(envelope->ns->href, BAD_CAST kSoap))
        return Temporary(unreadable);
    xmlNodePtr soapBody = detail::ChildElement(envelope, "Body", kSoap);
    if (!soapBody)
        return Temporary(unreadable);
    if (xmlNodePtr fault = detail::ChildElement(soapBody, "Fault", kSoap)) {
        const QString text = NodeText(detail::ChildElement(fault, "faultstring", nullptr));
        return Temporary(QStringLiteral("Služba EET ohlásila chybu SOAP (%1). Tržba zůstává "
                                        "k odeslání.")
                             .arg(text.left(100)));
    }
    xmlNodePtr odpoved = detail::ChildElement(soapBody, "Odpoved", kNamespace);
    if (!odpoved || !detail::ValidateElement(odpoved).isEmpty())
        return Temporary(unreadable);

    Answer answer;
    xmlNodePtr hlavicka = detail::ChildElement(odpoved, "Hlavicka", kNamespace);
    answer.uuid = detail::Attribute(hlavicka, "uuid_zpravy");
    for (xmlNodePtr n = odpoved->children; n; n = n->next)
        if (n->type == XML_ELEMENT_NODE && xmlStrEqual(n->name, BAD_CAST "Varovani"))
            answer.warnings.append({detail::Attribute(n, "kod_varov").toInt(), NodeText(n)});
    if (!answer.uuid.isEmpty() && answer.uuid.compare(expectedUuid, Qt::CaseInsensitive) != 0)
        return Temporary(Untrusted(QStringLiteral("patří k jiné zprávě")));

    if (xmlNodePtr chyba = detail::ChildElement(odpoved, "Chyba", kNamespace)) {
        answer.code = detail::Attribute(chyba, "kod").toInt();
        answer.serviceText = NodeText(chyba).left(200);
        answer.test = detail::Attribute(chyba, "test") == QLatin1String("true");
        answer.outcome = answer.code == 0    ? Outcome::Verified
                         : answer.code == -1 ? Outcome::Temporary
                                             : Outcome::Final;
        answer.message = ErrorCodeMessage(answer.code);
        return answer;
    }
    xmlNodePtr potvrzeni = detail::ChildElement(odpoved, "Potvrzeni", kNamespace);
    if (!potvrzeni)
        return Temporary(unreadable);
    if (answer.uuid.isEmpty())
        return Temporary(Untrusted(QStringLiteral("neuvádí, ke které zprávě patří")));
    const QString problem = SignatureProblem(doc.get(), envelope, soapBody, trust, at);
    if (!problem.isEmpty())
        return Temporary(Untrusted(problem));
    answer.pok = detail::Attribute(potvrzeni, "pok");
    const QString testFlag = detail::Attribute(potvrzeni, "test");
    answer.test = testFlag == QLatin1String("true") || testFlag == QLatin1String("1") ||
                  answer.pok.endsWith(QLatin1String("-ff"), Qt::CaseInsensitive);
    if (trust.production && answer.test)
        return Temporary(Untrusted(
            QStringLiteral("jde o zkušební odpověď, přestože se odesílá do ostrého provozu")));
    answer.outcome = Outcome::Confirmed;
    QStringList warnings;
    for (const auto& [code, text] : answer.warnings)
        warnings << WarningMessage(code);
    if (!warnings.isEmpty())
        answer.message = QStringLiteral("Tržba je zaevidována s varováním: %1")
                             .arg(warnings.join(QLatin1Char(' ')));
    return answer;
}

} // namespace tarvela::eet
