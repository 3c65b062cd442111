#include "eet/eet_message.h"

#include "text/errors.h"

#include <QRegularExpression>
#include <QTimeZone>
#include <QUuid>

#include <memory>

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

} // namespace tarvela::eet
