#include "settings/settings_file.h"

#include "invoice/file_lines.h"
#include "text/codec.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <variant>

namespace tarvela {
namespace {

const QString kSectionGeneral = QStringLiteral("NASTAVENI");
const QString kSectionSupplier = QStringLiteral("Dodavatel");

// A UTF-8 byte order mark that an editor may put before the first section.
const QByteArray kByteOrderMark("\xEF\xBB\xBF");

QByteArray WithoutByteOrderMark(const QByteArray& bytes) {
    return bytes.startsWith(kByteOrderMark) ? bytes.mid(kByteOrderMark.size()) : bytes;
}

int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == QLatin1Char(' ') || text[begin] == QLatin1Char('\t')))
        ++begin;
    while (end > begin && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t')))
        --end;
    return text.mid(begin, end - begin);
}

// What one line of an INI file is.
struct ParsedLine {
    enum Kind { Other, Section, Entry } kind = Other;
    QString name;            // section name or key, trimmed
    QString value;           // entry value, trimmed, quotes removed
    qsizetype equalsAt = -1; // byte index of "=" in the raw line
};

ParsedLine ParseLine(const QByteArray& raw) {
    ParsedLine parsed;
    qsizetype first = 0;
    while (first < raw.size() && IsBlank(raw[first]))
        ++first;
    if (first >= raw.size() || raw[first] == ';')
        return parsed;
    if (raw[first] == '[') {
        const qsizetype close = raw.indexOf(']', first + 1);
        const QByteArray name =
            close < 0 ? raw.mid(first + 1) : raw.mid(first + 1, close - first - 1);
        parsed.kind = ParsedLine::Section;
        parsed.name = TrimBlanks(DecodeCp1250(name));
        return parsed;
    }
    const qsizetype equals = raw.indexOf('=');
    if (equals < 0)
        return parsed;
    parsed.name = TrimBlanks(DecodeCp1250(raw.left(equals)));
    if (parsed.name.isEmpty())
        return parsed;
    parsed.kind = ParsedLine::Entry;
    parsed.equalsAt = equals;
    QString value = TrimBlanks(DecodeCp1250(raw.mid(equals + 1)));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        value = value.mid(1, value.size() - 2);
    parsed.value = value.left(kIniMaxValueLength);
    return parsed;
}

[[noreturn]] void ThrowUnableToWrite(const QString& path) {
    throw FileError(QStringLiteral("Nastavení nelze zapsat do souboru „%1“. Zkontrolujte, zda "
                                   "soubor není jen pro čtení a zda je na disku místo.")
                        .arg(QDir::toNativeSeparators(path)));
}

// A value must be one line and fit Windows-1250; raises ValidationError / EncodingError.
QByteArray CheckedValueBytes(const QString& value, const QString& what) {
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
        throw ValidationError(QStringLiteral("Pole „%1“ obsahuje konec řádku, který nelze uložit "
                                             "do souboru nastavení.")
                                  .arg(what));
    QByteArray bytes = EncodeCp1250(value, what);
    // Reading trims blanks and one pair of outer quotes: a value that would lose either is
    // written in double quotes, which reading removes again.
    const bool blankAtEdge = !bytes.isEmpty() && (IsBlank(bytes.front()) || IsBlank(bytes.back()));
    const bool quoted = bytes.size() >= 2 && bytes.front() == bytes.back() &&
                        (bytes.front() == '"' || bytes.front() == '\'');
    if (blankAtEdge || quoted)
        bytes = '"' + bytes + '"';
    return bytes;
}

} // namespace

QString SettingsFilePath(const QString& programFolder) {
    return WithTrailingSeparator(programFolder) + QLatin1String(kSettingsFileName);
}

// --- IniFile ---------------------------------------------------------------------------------

IniFile IniFile::Load(const QString& path, QString* problem) {
    if (!QFileInfo::exists(path))
        return {};
    try {
        return FromBytes(ReadWholeFile(path, FollowLinks::Yes));
    } catch (const OversizedFileError& e) {
        if (problem != nullptr)
            *problem = e.message();
    } catch (const FileError& e) {
        // A file that cannot be opened reads as missing; one that is no file at all (a FIFO, a
        // device) is said.
        if (problem != nullptr && QFileInfo(path).isReadable())
            *problem = e.message();
    }
    return {};
}

IniFile IniFile::FromBytes(const QByteArray& bytes) {
    IniFile ini;
    Section* current = nullptr;
    for (const RawLine& line : SplitRawLines(WithoutByteOrderMark(bytes))) {
        ParsedLine parsed = ParseLine(line.text);
        if (parsed.kind == ParsedLine::Section) {
            ini.sections_.push_back({parsed.name, {}});
            current = &ini.sections_.back();
        } else if (parsed.kind == ParsedLine::Entry && current) {
            current->entries.emplace_back(std::move(parsed.name), std::move(parsed.value));
        }
    }
    return ini;
}

std::optional<QString> IniFile::Value(const QString& section, const QString& key) const {
    for (const Section& s : sections_) {
        if (!SameTextAscii(s.name, section))
            continue;
        for (const auto& [name, value] : s.entries) {
            if (SameTextAscii(name, key))
                return value;
        }
        return std::nullopt; // only the first section of that name counts
    }
    return std::nullopt;
}

QString IniFile::ReadString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    return Value(section, key).value_or(defaultValue);
}

int IniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const std::optional<QString> text = Value(section, key);
    if (!text)
        return defaultValue;
    return ParseIniInteger(*text).value_or(defaultValue);
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::optional<int> ParseIniInteger(const QString& text) {
    if (text.size() >= 3 && text[0] == QLatin1Char('0') &&
        (text[1] == QLatin1Char('x') || text[1] == QLatin1Char('X'))) {
        // Up to eight hexadecimal digits, taken as the bits of a 32-bit integer.
        quint64 value = 0;
        for (qsizetype i = 2; i < text.size(); ++i) {
            const int digit = HexDigitValue(text[i].unicode());
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + quint64(digit);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        return static_cast<int>(static_cast<quint32>(value));
    }
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(1) << 31)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

// --- Single-key writes -----------------------------------------------------------------------

void WriteIniString(const QString& path, const QString& section, const QString& key,
                    const QString& value, const QString& what) {
    const QByteArray valueBytes = CheckedValueBytes(value, what.isEmpty() ? key : what);
    const QByteArray sectionBytes = EncodeCp1250(section);
    const QByteArray keyBytes = EncodeCp1250(key);

    QByteArray old;
    if (QFileInfo::exists(path)) {
        try {
            old = ReadWholeFile(path, FollowLinks::Yes);
        } catch (const OversizedFileError&) {
            throw; // its own message: the file is left as it is
        } catch (const FileError&) {
            ThrowUnableToWrite(path);
        }
    }

    std::vector<RawLine> lines = SplitRawLines(old);
    const QByteArray crlf("\r\n");

    // Locate the first section of that name and, within it, the first entry of the key.
    qsizetype sectionAt = -1;
    qsizetype lastEntryInSection = -1;
    qsizetype entryAt = -1;
    qsizetype entryEquals = -1;
    // A byte order mark before the first line stays where it is; the line is read after it.
    const qsizetype markLength = old.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const ParsedLine parsed = ParseLine(i == 0 ? lines[i].text.mid(markLength) : lines[i].text);
        if (parsed.kind == ParsedLine::Section) {
            if (sectionAt >= 0)
                break; // the next section ends ours
            if (SameTextAscii(parsed.name, section)) {
                sectionAt = i;
                lastEntryInSection = i;
            }
            continue;
        }
        if (sectionAt < 0)
            continue;
        if (parsed.kind != ParsedLine::Entry)
            continue; // comments and blank lines after the last entry belong to what follows
        lastEntryInSection = i;
        if (entryAt < 0 && SameTextAscii(parsed.name, key)) {
            entryAt = i;
            entryEquals = parsed.equalsAt + (i == 0 ? markLength : 0);
        }
    }

    if (entryAt >= 0) {
        // Replace the value in place; the key as spelled in the file and its line end stay.
        lines[entryAt].text = lines[entryAt].text.left(entryEquals + 1) + valueBytes;
    } else if (sectionAt >= 0) {
        if (lines[lastEntryInSection].end.isEmpty())
            lines[lastEntryInSection].end = crlf;
        lines.insert(lines.begin() + lastEntryInSection + 1, {keyBytes + '=' + valueBytes, crlf});
    } else {
        if (!lines.empty()) {
            if (lines.back().end.isEmpty())
                lines.back().end = crlf;
            lines.push_back({QByteArray(), crlf});
        }
        lines.push_back({'[' + sectionBytes + ']', crlf});
        lines.push_back({keyBytes + '=' + valueBytes, crlf});
    }

    QByteArray out;
    out.reserve(old.size() + valueBytes.size() + keyBytes.size() + sectionBytes.size() + 8);
    for (const RawLine& line : lines) {
        out += line.text;
        out += line.end;
    }
    if (!WriteFileAtomically(path, out))
        ThrowUnableToWrite(path);
}

void WriteIniInteger(const QString& path, const QString& section, const QString& key, int value) {
    WriteIniString(path, section, key, QString::number(value));
}

// --- The program's settings ------------------------------------------------------------------

namespace {

// The keys of [NASTAVENI] after the year, in the order they are written, with the member each
// is kept in; a text's caption names it in messages. The year (AktualniRok) is read with them but
// written alone (SavePeriodYear).
struct GeneralKey {
    const char* key;
    std::variant<QString AppSettings::*, bool AppSettings::*, int AppSettings::*,
                 SymbolType AppSettings::*>
        member;
    const char* caption = nullptr;
    // Written only once it has a value or the file has the key, so that an existing file stays
    // byte for byte as it was.
    bool onlyWhenSet = false;
};
const GeneralKey kGeneralKeys[] = {
    {"VychoziMena", &AppSettings::VychoziMena, "Výchozí označení měny"},
    {"Platce", &AppSettings::Platce},
    {"SazbaDPH1", &AppSettings::SazbaDPH1},
    {"SazbaDPH2", &AppSettings::SazbaDPH2},
    {"SazbaDPH3", &AppSettings::SazbaDPH3},
    {"DobaSplatnosti", &AppSettings::DobaSplatnosti},
    {"TypSymbolu", &AppSettings::TypSymbolu},
    {"PoznamkaOsvobozeni", &AppSettings::PoznamkaOsvobozeni, "Poznámka k osvobození od DPH", true},
};

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

QString Caption(const GeneralKey& k) {
    return QString::fromUtf8(k.caption ? k.caption : k.key);
}

} // namespace

AppSettings LoadSettings(const QString& programFolder, QString* problem) {
    const IniFile ini = IniFile::Load(SettingsFilePath(programFolder), problem);
    AppSettings s;
    for (const SupplierField& f : kSupplierFields)
        s.Dodavatel.*f.member = ini.ReadString(kSectionSupplier, QLatin1String(f.key), QString());
    const QString& g = kSectionGeneral;
    const AppSettings d; // the defaults
    s.AktualniRok = ini.ReadInteger(g, QStringLiteral("AktualniRok"), CurrentYear());
    for (const GeneralKey& k : kGeneralKeys) {
        const QString key = QLatin1String(k.key);
        std::visit(Overloaded{
                       [&](QString AppSettings::*m) { s.*m = ini.ReadString(g, key, d.*m); },
                       [&](bool AppSettings::*m) { s.*m = ini.ReadBool(g, key, d.*m); },
                       [&](int AppSettings::*m) { s.*m = ini.ReadInteger(g, key, d.*m); },
                       [&](SymbolType AppSettings::*m) {
                           // only the low byte of the number counts
                           s.*m = static_cast<SymbolType>(
                               ini.ReadInteger(g, key, static_cast<int>(d.*m)) & 0xFF);
                       },
                   },
                   k.member);
    }
    return s;
}

void SaveSettings(const QString& programFolder, const AppSettings& settings) {
    const QString path = SettingsFilePath(programFolder);
    const QString& g = kSectionGeneral;
    // The text of a key as written.
    const auto text = [&settings](const GeneralKey& k) {
        return std::visit(Overloaded{
                              [&](QString AppSettings::*m) { return settings.*m; },
                              [&](bool AppSettings::*m) { return BoolToDigit(settings.*m); },
                              [&](int AppSettings::*m) { return QString::number(settings.*m); },
                              [&](SymbolType AppSettings::*m) {
                                  return QString::number(static_cast<int>(settings.*m));
                              },
                          },
                          k.member);
    };

    // Refuse a value that cannot be stored before anything is written.
    for (const GeneralKey& k : kGeneralKeys)
        CheckedValueBytes(text(k), Caption(k));
    for (const SupplierField& f : kSupplierFields)
        CheckedValueBytes(settings.Dodavatel.*f.member, QString::fromUtf8(f.caption));

    for (const GeneralKey& k : kGeneralKeys) {
        const QString key = QLatin1String(k.key);
        const QString value = text(k);
        if (k.onlyWhenSet && value.isEmpty() && !IniFile::Load(path).Value(g, key).has_value())
            continue;
        WriteIniString(path, g, key, value, Caption(k));
    }
    for (const SupplierField& f : kSupplierFields)
        WriteIniString(path, kSectionSupplier, QLatin1String(f.key), settings.Dodavatel.*f.member,
                       QString::fromUtf8(f.caption));
}

void SavePeriodYear(const QString& programFolder, int year) {
    WriteIniInteger(SettingsFilePath(programFolder), kSectionGeneral, QStringLiteral("AktualniRok"),
                    year);
}

} // namespace tarvela
