#include "editor/ares_subject.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <utility>

namespace tarvela {

namespace {

// A JSON value that is a text or a whole number, as text; empty otherwise.
QString TextOf(const QJsonValue& value) {
    if (value.isString())
        return value.toString().trimmed();
    if (value.isDouble())
        return QString::number(value.toInteger());
    return {};
}

} // namespace

AresAnswer ParseAresSubject(const QByteArray& json, AresSubject& subject) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return AresAnswer::Malformed;
    const QJsonObject object = document.object();
    if (!object.contains(QLatin1String("ico"))) {
        return TextOf(object.value(QLatin1String("kod"))) == QLatin1String("NENALEZENO")
                   ? AresAnswer::NotFound
                   : AresAnswer::Malformed;
    }
    AresSubject found;
    found.Ico = TextOf(object.value(QLatin1String("ico")));
    found.Nazev = TextOf(object.value(QLatin1String("obchodniJmeno")));
    if (found.Ico.isEmpty() || found.Nazev.isEmpty())
        return AresAnswer::Malformed;
    found.DIC = TextOf(object.value(QLatin1String("dic")));

    const QJsonObject seat = object.value(QLatin1String("sidlo")).toObject();
    const QString town = TextOf(seat.value(QLatin1String("nazevObce")));
    const QString district = TextOf(seat.value(QLatin1String("nazevMestskeCastiObvodu")));
    // Prague and the other statutory towns are addressed by their district ("Praha 4").
    found.Mesto =
        !district.isEmpty() && !town.isEmpty() && district.startsWith(town) ? district : town;
    QString street = TextOf(seat.value(QLatin1String("nazevUlice")));
    if (street.isEmpty())
        street = TextOf(seat.value(QLatin1String("nazevCastiObce")));
    if (street.isEmpty())
        street = town;
    QString number = TextOf(seat.value(QLatin1String("cisloDomovni")));
    const QString orientation = TextOf(seat.value(QLatin1String("cisloOrientacni"))) +
                                TextOf(seat.value(QLatin1String("cisloOrientacniPismeno")));
    if (!orientation.isEmpty())
        number = number.isEmpty() ? orientation : number + QLatin1Char('/') + orientation;
    found.UliceCislo = number.isEmpty() ? street : street + QLatin1Char(' ') + number;
    if (street.isEmpty() && number.isEmpty())
        found.UliceCislo = TextOf(seat.value(QLatin1String("textovaAdresa")));
    QString psc = TextOf(seat.value(QLatin1String("psc")));
    if (psc.size() == 5)
        psc.insert(3, QLatin1Char(' '));
    found.PSC = psc;
    subject = found;
    return AresAnswer::Found;
}

QString AresSubjectFault(const AresSubject& subject, const QString& askedIc) {
    const auto padded = [](QString ic) {
        ic.remove(QLatin1Char(' '));
        return ic.rightJustified(8, QLatin1Char('0'));
    };
    if (padded(subject.Ico) != padded(askedIc))
        return QStringLiteral("Registr ARES poslal údaje jiného subjektu (IČ %1 místo %2); údaje "
                              "odběratele zůstaly beze změny.")
            .arg(subject.Ico.left(20), padded(askedIc));
    const std::pair<const QString*, const char*> fields[] = {
        {&subject.Ico, "IČ"},  {&subject.Nazev, "název"}, {&subject.UliceCislo, "ulice"},
        {&subject.PSC, "PSČ"}, {&subject.Mesto, "město"}, {&subject.DIC, "DIČ"}};
    for (const auto& [text, name] : fields) {
        for (const QChar c : *text) {
            if (c.unicode() < 32 || c.unicode() == 127 ||
                (c.unicode() >= 0x80 && c.unicode() < 0xA0))
                return QStringLiteral("Registr ARES poslal v údaji „%1“ řídicí znak (kód %2); "
                                      "údaje odběratele zůstaly beze změny.")
                    .arg(QString::fromUtf8(name))
                    .arg(c.unicode());
        }
        if (text->size() > kMaxAresNameLength)
            return QStringLiteral("Registr ARES poslal údaj „%1“ příliš dlouhý (%2 znaků, nejvýše "
                                  "%3); údaje odběratele zůstaly beze změny.")
                .arg(QString::fromUtf8(name))
                .arg(text->size())
                .arg(kMaxAresNameLength);
    }
    return {};
}

QString AresSubjectPath(const QString& ic) {
    QString digits = ic;
    digits.remove(QLatin1Char(' '));
    return QStringLiteral("/ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/") +
           digits.rightJustified(8, QLatin1Char('0'));
}

} // namespace tarvela
