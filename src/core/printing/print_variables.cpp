#include "printing/print_variables.h"

#include "settings/settings_file.h"

#include "text/codec.h"
#include "text/errors.h"

#include <QHash>

namespace tarvela {

void RefuseNulCharacter(const QString& value, const QString& field) {
    if (value.contains(QChar(0)))
        throw ValidationError(
            QStringLiteral("Pole „%1“ obsahuje znak NUL (kód 0), který nelze předat k tisku: "
                           "vše za ním by se ztratilo. Opravte pole, prosím; sestava nebyla "
                           "vytištěna.")
                .arg(field));
}

QString PrintVariables::FieldCaption(const QString& name) {
    static const QHash<QString, QString> kCaptions = [] {
        const char* const pairs[][2] = {
            {"DodavNazev", "Dodavatel - název"},
            {"DodavJmeno", "Dodavatel - jméno"},
            {"DodavUlice", "Dodavatel - ulice, číslo"},
            {"DodavMesto", "Dodavatel - město"},
            {"DodavIC", "Dodavatel - IČO"},
            {"DodavDIC", "Dodavatel - DIČ"},
            {"DodavRegistrace", "Dodavatel - registrace"},
            {"DodavBanka", "Dodavatel - peněžní ústav"},
            {"DodavUcet", "Dodavatel - číslo účtu"},
            {"DodavIBAN", "Dodavatel - IBAN"},
            {"DodavBIC", "Dodavatel - BIC (SWIFT)"},
            {"DodavTel", "Dodavatel - telefon"},
            {"DodavFax", "Dodavatel - fax"},
            {"DodavEmail", "Dodavatel - e-mail"},
            {"DodavWWW", "Dodavatel - WWW"},
            {"DodavOsoba", "Dodavatel - odpovědná osoba"},
            {"Pokladnik", "Dodavatel - odpovědná osoba"},
            {"OdberatelKod", "Odběratel - kód"},
            {"OdberatelNazev1", "Odběratel - název 1"},
            {"OdberatelNazev2", "Odběratel - název 2"},
            {"OdberatelOdpovedOsoba", "Odběratel - odpovědná osoba"},
            {"OdberatelUliceCislo", "Odběratel - ulice, číslo"},
            {"OdberatelPSC", "Odběratel - PSČ"},
            {"OdberatelMesto", "Odběratel - město"},
            {"OdberatelIC", "Odběratel - IČ"},
            {"OdberatelDIC", "Odběratel - DIČ"},
            {"Prijem", "Odběratel - název 1 nebo odpovědná osoba"},
            {"JmenoPlatce", "Odběratel - název 1 nebo odpovědná osoba"},
            {"CisloDokladu", "Číslo faktury"},
            {"UcelPlatby", "Číslo faktury"},
            {"Symbol", "Symbol"},
            {"Objednavka", "Objednávka"},
            {"Prijemce", "Příjemce"},
            {"MistoVyskladneni", "Místo vyskladnění"},
            {"FormaUhrady", "Forma úhrady"},
            {"Mena", "Měna"},
            {"VychoziMena", "Výchozí měna"},
            {"Komentar1", "Komentář 1"},
            {"Komentar2", "Komentář 2"},
            {"OpravovanyDoklad", "Opravovaný doklad"},
            {"DuvodOpravy", "Důvod opravy"},
            {"Kurz", "Kurz"},
            {"DatumKurzu", "Datum kurzu"},
            {"PoznamkaOsvobozeni", "Poznámka k osvobození od DPH"},
            {"QRCode", "QR platba"},
            {"Kod", "Položka - kód"},
            {"Dodavka", "Položka - označení dodávky"},
            {"MJ", "Položka - MJ"},
            {"PocetMJ", "Položka - počet MJ"},
            {"Cena", "Položka - cena MJ"},
            {"DPH", "Položka - DPH"},
            {"Odberatel", "Odběratel"},
        };
        QHash<QString, QString> captions;
        for (const auto& pair : pairs)
            captions.insert(QString::fromUtf8(pair[0]), QString::fromUtf8(pair[1]));
        return captions;
    }();
    return kCaptions.value(name, name);
}

QString PrintVariables::SafeValue(const QString& value) {
    QString safe = value;
    safe.replace(QLatin1Char('|'), QChar(0x00A6));
    safe.replace(QLatin1String("\r\n"), QLatin1String(" "));
    safe.replace(QLatin1Char('\r'), QLatin1Char(' '));
    safe.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return safe;
}

void PrintVariables::add(const QString& name, const QString& value) {
    RefuseNulCharacter(value, name);
    if (!CanEncodeCp1250(value))
        EncodeCp1250(value, FieldCaption(name)); // raises EncodingError naming the field
    if (!text_.isEmpty())
        text_ += QLatin1Char('|');
    text_ += name;
    text_ += QLatin1Char('|');
    text_ += SafeValue(value);
}

void AddSupplierVariables(PrintVariables& v, const SupplierData& supplier) {
    for (const SupplierField& f : kSupplierFields) {
        const QLatin1String key(f.key);
        v.add(QStringLiteral("Dodav") + (key == QLatin1String("ICO") ? QStringLiteral("IC") : key),
              supplier.*f.member);
    }
}

} // namespace tarvela
