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

// Every default of the settings: the value of a key that is missing or unreadable, and of a
// settings record before anything is read. AktualniRok has none of its own: the current year.
namespace settings_defaults {
inline constexpr char VychoziMena[] = "CZK";
inline constexpr bool Platce = false;
inline constexpr int SazbaDPH1 = 21;
// Rates in force since 2024 are 21 % and 12 %; the third slot is 0 so that no rate beyond the
// law's is offered by default (a row at 0 % is always allowed).
inline constexpr int SazbaDPH2 = 12;
inline constexpr int SazbaDPH3 = 0;
inline constexpr int DobaSplatnosti = 14;
inline constexpr SymbolType TypSymbolu = SymbolType::Variable;
} // namespace settings_defaults

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

// One supplier field: its key in section "Dodavatel", its caption in the settings dialog (also
// the field's name in messages), the name of its edit there and where it is kept.
struct SupplierField {
    const char* key;
    const char* caption;
    const char* editName;
    QString SupplierData::*member;
};

// The sixteen supplier fields in the order of the file, of SupplierData and of the dialog's tab
// order.
inline constexpr SupplierField kSupplierFields[16] = {
    {"Nazev", "Název", "Ed_Nazev", &SupplierData::Nazev},
    {"Jmeno", "Jméno", "Ed_Jmeno", &SupplierData::Jmeno},
    {"Ulice", "Ulice, číslo", "Ed_Ulice", &SupplierData::Ulice},
    {"Mesto", "Město", "Ed_Mesto", &SupplierData::Mesto},
    {"ICO", "IČO", "Ed_IC", &SupplierData::ICO},
    {"DIC", "DIČ", "Ed_DIC", &SupplierData::DIC},
    {"Registrace", "Registrace", "Ed_Registrace", &SupplierData::Registrace},
    {"Banka", "Peněžní ústav", "Ed_Banka", &SupplierData::Banka},
    {"Ucet", "Číslo účtu", "Ed_Ucet", &SupplierData::Ucet},
    {"IBAN", "IBAN", "Ed_IBAN", &SupplierData::IBAN},
    {"BIC", "BIC (SWIFT)", "Ed_BIC", &SupplierData::BIC},
    {"Tel", "Telefon", "Ed_Telefon", &SupplierData::Tel},
    {"Fax", "Fax", "Ed_Fax", &SupplierData::Fax},
    {"Email", "E-mail", "Ed_Email", &SupplierData::Email},
    {"WWW", "WWW", "Ed_WWW", &SupplierData::WWW},
    {"Osoba", "Odpovědná osoba", "Ed_Osoba", &SupplierData::Osoba},
};

// The whole configuration, read once at start. Fields carry the names of their INI keys.
struct AppSettings {
    // Section "NASTAVENI"
    int AktualniRok = 0; // the current period; LoadSettings defaults it to the current year
    QString VychoziMena = QLatin1String(settings_defaults::VychoziMena);
    bool Platce = settings_defaults::Platce;
    int SazbaDPH1 = settings_defaults::SazbaDPH1;
    int SazbaDPH2 = settings_defaults::SazbaDPH2;
    int SazbaDPH3 = settings_defaults::SazbaDPH3;
    int DobaSplatnosti = settings_defaults::DobaSplatnosti;
    SymbolType TypSymbolu = settings_defaults::TypSymbolu;
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
// never created here. Never fails: a file too large or no regular file gives the defaults and
// its Czech message in problem (see IniFile::Load).
AppSettings LoadSettings(const QString& programFolder, QString* problem = nullptr);

// Writes all keys except AktualniRok, one key at a time: NASTAVENI VychoziMena, Platce,
// SazbaDPH1..3, DobaSplatnosti, TypSymbolu, PoznamkaOsvobozeni (only when it is not empty or the
// file has the key already, so an existing file stays byte for byte as it was), then the sixteen
// Dodavatel keys. Every value is checked first (line breaks, characters outside Windows-1250:
// ValidationError / EncodingError naming the field, nothing written). A key that cannot be written
// stops the operation with FileError "Nastavení nelze zapsat do souboru „<path>“. …"; keys written
// before it stay written.
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

    // Reads the file; a missing or unreadable file gives an empty snapshot. So does a file
    // larger than kMaxReadFileSize or one that is no regular file (a FIFO, a device), which is
    // never read: problem, when given, receives the Czech message saying so.
    static IniFile Load(const QString& path, QString* problem = nullptr);
    // Parses Windows-1250 bytes (any line ends; a UTF-8 byte order mark at the start is
    // skipped).
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
// of the file, creates a missing file. Every other line stays byte for byte as it was, a byte
// order mark at the start too. A value that reading would change (blanks at its ends, outer
// quotes) is written in double quotes, so that it reads back the same. The file is
// replaced atomically. "what" names the value for the user in a ValidationError /
// EncodingError (value with a line break or a character outside Windows-1250; nothing is
// written). A file that cannot be read or written raises FileError "Nastavení nelze zapsat do
// souboru „<path>“. …".
void WriteIniString(const QString& path, const QString& section, const QString& key,
                    const QString& value, const QString& what = QString());

// WriteIniString of the decimal text of the value.
void WriteIniInteger(const QString& path, const QString& section, const QString& key, int value);

} // namespace tarvela
