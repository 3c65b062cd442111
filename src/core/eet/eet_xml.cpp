// The XML and signature libraries behind the messages: the schema check and the shared parts of
// the signer and the answer's check (eet_xml.h). Part of the EET module (eet_module.h).
#include "eet/eet_message.h"

#include "eet/eet_resources.h"
#include "eet/eet_xml.h"
#include "text/errors.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>
#include <openssl/err.h>
#include <openssl/provider.h>
#include <xmlsec/crypto.h>
#include <xmlsec/errors.h>
#include <xmlsec/xmlsec.h>

#include <memory>
#include <mutex>

namespace tarvela::eet {

QString SchemaProblem(const QByteArray& elementXml) {
    detail::EnsureCryptoReady();
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(detail::ParseXml(elementXml), xmlFreeDoc);
    if (!doc)
        return QStringLiteral("XML nelze přečíst.");
    return detail::ValidateElement(xmlDocGetRootElement(doc.get()));
}

namespace detail {

namespace {

struct Schema {
    xmlSchemaParserCtxtPtr parser = nullptr;
    xmlSchemaPtr schema = nullptr;
};

Schema& LoadedSchema() {
    static Schema loaded = [] {
        Schema s;
        s.parser = xmlSchemaNewMemParserCtxt(kSchemaText, int(sizeof(kSchemaText) - 1));
        s.schema = xmlSchemaParse(s.parser);
        return s;
    }();
    return loaded;
}

void CollectError(void* context, xmlError* error) {
    auto* out = static_cast<QString*>(context);
    if (out->isEmpty() && error && error->message)
        *out = QString::fromUtf8(error->message).trimmed();
}

void IgnoreGenericError(void*, const char*, ...) {}

} // namespace

void EnsureCryptoReady() {
    static std::once_flag once;
    // The providers stay loaded for the life of the process. Their handles are kept here: at exit
    // OpenSSL frees its own list of providers, and a provider loaded by a handle nobody holds
    // would then be memory that nothing refers to (the leak check at exit reports it).
    static struct {
        OSSL_PROVIDER* legacy = nullptr;
        OSSL_PROVIDER* standard = nullptr;
    } providers;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetGenericErrorFunc(nullptr, IgnoreGenericError);
        // The tax portal's .p12 files protect the certificate with RC2-40, which OpenSSL 3 keeps
        // in its legacy provider; loading it explicitly keeps the default provider too.
        providers.legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        providers.standard = OSSL_PROVIDER_load(nullptr, "default");
        if (xmlSecInit() < 0 || xmlSecCryptoAppInit(nullptr) < 0 || xmlSecCryptoInit() < 0)
            throw TarvelaError(QStringLiteral("EET: knihovnu pro podpis zpráv nelze spustit."));
        xmlSecErrorsDefaultCallbackEnableOutput(0);
        LoadedSchema();
    });
}

QString ValidateElement(xmlNodePtr element) {
    Schema& s = LoadedSchema();
    if (!s.schema)
        return QStringLiteral("Schéma zpráv EET nelze načíst.");
    if (!element)
        return QStringLiteral("Chybí prvek zprávy.");
    std::unique_ptr<xmlSchemaValidCtxt, decltype(&xmlSchemaFreeValidCtxt)> ctx(
        xmlSchemaNewValidCtxt(s.schema), xmlSchemaFreeValidCtxt);
    QString problem;
    xmlSchemaSetValidStructuredErrors(ctx.get(), CollectError, &problem);
    const int rc = xmlSchemaValidateOneElement(ctx.get(), element);
    if (rc == 0)
        return QString();
    return problem.isEmpty() ? QStringLiteral("Zpráva neodpovídá schématu (%1).").arg(rc) : problem;
}

xmlDocPtr ParseXml(const QByteArray& bytes) {
    return xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
}

xmlNodePtr ChildElement(xmlNodePtr parent, const char* name, const char* ns) {
    if (!parent)
        return nullptr;
    for (xmlNodePtr n = parent->children; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE || !xmlStrEqual(n->name, BAD_CAST name))
            continue;
        if (!ns || (n->ns && xmlStrEqual(n->ns->href, BAD_CAST ns)))
            return n;
    }
    return nullptr;
}

QString Attribute(xmlNodePtr node, const char* name) {
    if (!node)
        return QString();
    xmlChar* value = xmlGetNoNsProp(node, BAD_CAST name);
    if (!value)
        return QString();
    const QString out = QString::fromUtf8(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return out;
}

QString OpenSslError() {
    char buffer[256] = {};
    ERR_error_string_n(ERR_get_error(), buffer, sizeof buffer);
    ERR_clear_error();
    return QString::fromLatin1(buffer);
}

} // namespace detail

} // namespace tarvela::eet
