#pragma once

#include <QByteArray>
#include <QString>

namespace tarvela {

// A subject of the public Czech business register as its REST interface describes it: GET
// <base>/ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/<IČ> answers 200 with a JSON object
// ("ico", "obchodniJmeno", "dic", "sidlo" with "nazevObce", "nazevUlice", "cisloDomovni",
// "cisloOrientacni", "psc", "textovaAdresa", ...) or 404 with {"kod": "NENALEZENO", "popis": ...}.

// What the customer fields get from a subject.
struct AresSubject {
    QString Ico;
    QString Nazev;      // obchodniJmeno
    QString UliceCislo; // "Budějovická 778/3a"
    QString PSC;        // "140 00"
    QString Mesto;      // "Praha 4"
    QString DIC;        // "CZ27074358", empty when the subject has none
    bool operator==(const AresSubject&) const = default;
};

enum class AresAnswer { Found, NotFound, Malformed };

// Reads a body of the register. A 200 body must be an object with "ico" and "obchodniJmeno";
// an error body with "kod" "NENALEZENO" is NotFound; anything else is Malformed.
AresAnswer ParseAresSubject(const QByteArray& json, AresSubject& subject);

// The longest answer of the register read (a real one is a few kilobytes) and the longest name
// taken (the register's names are at most a few hundred characters).
inline constexpr qint64 kMaxAresAnswerBytes = qint64(1) << 20;
inline constexpr int kMaxAresNameLength = 255;

// What is wrong with a subject the register gave for `askedIc`, as a Czech sentence for the
// user; empty when it may fill the customer fields. Refused: another IČ than the one asked for,
// a control character or NUL in any field, a name or another field longer than the fields hold.
QString AresSubjectFault(const AresSubject& subject, const QString& askedIc);

// The request path of one IČ (eight digits, padded with leading zeros).
QString AresSubjectPath(const QString& ic);

} // namespace tarvela
