#include "eet/eet_message.h"

#include "eet/eet_resources.h"
#include "eet/eet_xml.h"
#include "text/errors.h"

#include <QRegularExpression>
#include <QTimeZone>
#include <QUuid>

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

namespace {

constexpr qint64 kAmountLimitHalere = Q_INT64_C(10000000000); // 100 000 000 crowns

bool IsServiceText(const QString& value, int maxLength) {
    static const QRegularExpression mask(QStringLiteral("^[0-9a-zA-Z.,:;/#\\-_ ]+$"));
    return !value.isEmpty() && value.size() <= maxLength && mask.match(value).hasMatch();
}

QString FieldMessage(const QString& field, const QString& what) {
    return QStringLiteral("EET: položka „%1“ %2").arg(field, what);
}

void Append(QByteArray& out, const char* name, const QString& value) {
    if (!out.isEmpty())
        out += ' ';
    out += name;
    out += "=\"";
    out += value.toLatin1();
    out += '"';
}

} // namespace

QString FormatAmount(qint64 halere) {
    if (halere >= kAmountLimitHalere || halere <= -kAmountLimitHalere)
        throw ValidationError(
            QStringLiteral(
                "EET: částka %1 Kč je větší, než služba přijme (nejvýše 99 999 999,99 Kč).")
                .arg(halere / 100));
    const qint64 magnitude = halere < 0 ? -halere : halere;
    return QStringLiteral("%1%2.%3")
        .arg(halere < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString FormatMoment(const QDateTime& moment) {
    static const QTimeZone prague("Europe/Prague");
    // The fraction is dropped on the absolute moment: a wall-clock time of the hour lived twice
    // in October must keep its own offset.
    const QDateTime whole = moment.addMSecs(-(moment.toMSecsSinceEpoch() % 1000 + 1000) % 1000);
    return whole.toTimeZone(prague).toString(Qt::ISODate);
}

QString NewMessageUuid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QByteArray DataAttributes(const Sale& sale) {
    static const QRegularExpression eic(QStringLiteral("^CZ[0-9]{8,10}$"));
    static const QRegularExpression unit(QStringLiteral("^[1-9][0-9]{0,8}$"));
    if (!eic.match(sale.eicPopl).hasMatch())
        throw ValidationError(FieldMessage(QStringLiteral("DIČ poplatníka (eic_popl)"),
                                           QStringLiteral("musí být CZ a 8 až 10 číslic.")));
    if (!sale.eicPoverujiciho.isEmpty() && !eic.match(sale.eicPoverujiciho).hasMatch())
        throw ValidationError(FieldMessage(QStringLiteral("DIČ pověřujícího (eic_poverujiciho)"),
                                           QStringLiteral("musí být CZ a 8 až 10 číslic.")));
    if (!unit.match(sale.idJednotky).hasMatch())
        throw ValidationError(
            FieldMessage(QStringLiteral("Evidenční jednotka (id_jednotky)"),
                         QStringLiteral("musí být číslo 1 až 999999999 bez úvodních nul.")));
    const QString allowed = QStringLiteral("smí obsahovat jen písmena bez diakritiky, číslice, "
                                           "mezeru a znaky . , : ; / # - _ (nejvýše %1 znaků).");
    if (!IsServiceText(sale.idPokl, 20))
        throw ValidationError(FieldMessage(QStringLiteral("Pokladna (id_pokl)"), allowed.arg(20)));
    if (!IsServiceText(sale.poradCis, 25))
        throw ValidationError(
            FieldMessage(QStringLiteral("Pořadové číslo (porad_cis)"), allowed.arg(25)));
    if (!sale.received.isValid())
        throw ValidationError(
            FieldMessage(QStringLiteral("Datum tržby (dat_trzby)"), QStringLiteral("chybí.")));
    QByteArray out;
    Append(out, "eic_popl", sale.eicPopl);
    if (!sale.eicPoverujiciho.isEmpty())
        Append(out, "eic_poverujiciho", sale.eicPoverujiciho);
    Append(out, "id_jednotky", sale.idJednotky);
    Append(out, "id_pokl", sale.idPokl);
    Append(out, "porad_cis", sale.poradCis);
    Append(out, "dat_trzby", FormatMoment(sale.received));
    Append(out, "celk_trzba", FormatAmount(sale.totalHalere));
    if (sale.urcenoCerpZuct)
        Append(out, "urceno_cerp_zuct", FormatAmount(*sale.urcenoCerpZuct));
    if (sale.cerpZuct)
        Append(out, "cerp_zuct", FormatAmount(*sale.cerpZuct));
    return out;
}

QByteArray TrzbaElement(const Header& header, const QByteArray& dataAttributes) {
    QByteArray hlavicka;
    Append(hlavicka, "uuid_zpravy", header.uuid);
    Append(hlavicka, "dat_odesl", FormatMoment(header.sent));
    Append(hlavicka, "prvni_zaslani",
           header.firstSending ? QStringLiteral("true") : QStringLiteral("false"));
    if (header.verification)
        Append(hlavicka, "overeni", QStringLiteral("true"));
    return QByteArray("<v4:Trzba xmlns:v4=\"") + kNamespace + "\"><v4:Hlavicka " + hlavicka +
           "/><v4:Data " + dataAttributes + "/></v4:Trzba>";
}

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
