#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>
#include <vector>

namespace tarvela {

// Name of the settings file in the program folder.
inline constexpr char kSettingsFileName[] = "Tarvela.ini";

// Which payment symbol the invoice header shows. The file value is read as an integer and only
// its low byte counts, so values other than 0 and 1 can occur.
enum class SymbolType : quint8 {
    Constant = 0, // "Konstantní symbol"
    Variable = 1  // "Variabilní symbol"
};

// Section "Dodavatel": the supplier printed on every document; all empty by default.
struct SupplierData {
    QString Nazev;
    QString Jmeno;
    QString Ulice;
    QString Mesto;
    QString ICO;
    QString DIC;
    QString Registrace;
    QString Banka;
    QString Ucet;
    QString IBAN;
    QString BIC;
    QString Tel;
    QString Fax;
    QString Email;
    QString WWW;
    QString Osoba;

    friend bool operator==(const SupplierData&, const SupplierData&) = default;
};

// The whole configuration, read once at start. Fields carry the names of their INI keys.
struct AppSettings {
    // Section "NASTAVENI"
    int AktualniRok = 0; // the current period; LoadSettings defaults it to the current year
    QString VychoziMena = QStringLiteral("CZK");
    bool Platce = false;
    int SazbaDPH1 = 21;
    // Rates in force since 2024 are 21 % and 12 %; the third slot is 0 so that no rate beyond
    // the law's is offered by default (a row at 0 % is always allowed).
    int SazbaDPH2 = 12;
    int SazbaDPH3 = 0;
    int DobaSplatnosti = 14;
    SymbolType TypSymbolu = SymbolType::Variable;
    // Printed on a payer's tax document with a base at 0 % ("Osvobozeno od daně podle § 51
    // zákona o DPH."); empty by default. The key is written only once it has a value or exists.
    QString PoznamkaOsvobozeni;
    // Section "Dodavatel"
    SupplierData Dodavatel;

    friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

// programFolder (with or without trailing separator) + "Tarvela.ini".
QString SettingsFilePath(const QString& programFolder);

// Reads every key of the settings file with defaults for all that is missing or unreadable
// (AktualniRok defaults to the current year). A missing file gives the defaults; the file is
// never created here. Never fails.
AppSettings LoadSettings(const QString& programFolder);

// Writes all keys except AktualniRok, one key at a time: NASTAVENI VychoziMena, Platce,
// SazbaDPH1..3, DobaSplatnosti, TypSymbolu, PoznamkaOsvobozeni (only when it is not empty or the
// file has the key already, so an existing file stays byte for byte as it was), then the sixteen
// Dodavatel keys. Every value is checked first (line breaks, characters outside Windows-1250:
// ValidationError / EncodingError naming the field, nothing written). A key that cannot be written
// stops the operation with FileError "Unable to write to <path>"; keys written before it stay
// written.
void SaveSettings(const QString& programFolder, const AppSettings& settings);

// Writes NASTAVENI / AktualniRok alone (the file is created when missing).
void SavePeriodYear(const QString& programFolder, int year);

// --- The INI layer ---------------------------------------------------------------------------
// Sections and keys are matched without regard to case; the first matching section and key
// count. Lines starting with ";" are comments. Whitespace around keys and values is ignored and
// one pair of surrounding quotes is removed from a value. A value is cut to 2047 characters.

// Maximum length of a value as read.
inline constexpr int kIniMaxValueLength = 2047;

// A parsed snapshot of an INI file, for reading many keys at once.
class IniFile {
public:
    IniFile() = default;

    // Reads the file; a missing or unreadable file gives an empty snapshot.
    static IniFile Load(const QString& path);
    // Parses Windows-1250 bytes (any line ends).
    static IniFile FromBytes(const QByteArray& bytes);

    // The value of a key, or nothing when the section or the key is missing. A key present with
    // an empty value gives an empty text.
    std::optional<QString> Value(const QString& section, const QString& key) const;

    // Text value, or defaultValue when the key is missing.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

    // Integer value: "0x"/"0X" followed by hexadecimal digits (at least three characters in
    // all), otherwise a signed decimal 32-bit integer; anything else (empty, letters, overflow)
    // gives defaultValue.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;

    // ReadInteger with default 0/1, true when not zero.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

private:
    struct Section {
        QString name;
        std::vector<std::pair<QString, QString>> entries; // key, value
    };
    std::vector<Section> sections_;
};

// The integer rule of ReadInteger applied to a text; nothing when it does not read.
std::optional<int> ParseIniInteger(const QString& text);

// Writes one key: replaces its value where the key exists (the rest of that line's key text
// kept), adds a missing key after the last entry of its section, adds a missing section at the end
// of the file, creates a missing file. Every other line stays byte for byte as it was. The file is
// replaced atomically. "what" names the value for the user in a ValidationError /
// EncodingError (value with a line break or a character outside Windows-1250; nothing is
// written). A file that cannot be read or written raises FileError "Unable to write to <path>".
void WriteIniString(const QString& path, const QString& section, const QString& key,
                    const QString& value, const QString& what = QString());

// WriteIniString of the decimal text of the value.
void WriteIniInteger(const QString& path, const QString& section, const QString& key, int value);

} // namespace tarvela
