// The settings file on arbitrary bytes: reading never fails, and a single-key write on any
// existing file changes no other line, keeps the file's line ends and reads back to the value.

#include "fuzz_support.h"

#include "settings/settings_file.h"
#include "text/codec.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>

#include <iterator>
#include <vector>

using namespace tarvela;
using namespace tarvela::fuzz;

namespace {

// The raw lines of a file, each with its line end (CR LF, CR, LF or nothing at the end).
std::vector<QByteArray> RawLines(const QByteArray& bytes) {
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            lines.push_back(bytes.mid(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < bytes.size())
        lines.push_back(bytes.mid(start));
    return lines;
}

QByteArray WithoutLineEnd(QByteArray line) {
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

struct Key {
    const char* section;
    const char* key;
};

const Key kKeys[] = {
    {"NASTAVENI", "AktualniRok"},    {"NASTAVENI", "VychoziMena"},
    {"NASTAVENI", "Platce"},         {"NASTAVENI", "SazbaDPH1"},
    {"NASTAVENI", "DobaSplatnosti"}, {"NASTAVENI", "TypSymbolu"},
    {"Dodavatel", "Nazev"},          {"Dodavatel", "ICO"},
    {"Dodavatel", "Email"},          {"Dodavatel", "Osoba"},
};

// The value as the reader gives it back: the value itself, cut to the maximum length. A value
// that reading would change (blanks at its ends, one pair of surrounding quotes) is written in
// double quotes.
QString AsRead(const QString& value) {
    return value.left(kIniMaxValueLength);
}

QByteArray StoredBytes(const QString& value) {
    QByteArray bytes = EncodeCp1250(value);
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool blankAtEdge = !bytes.isEmpty() && (blank(bytes.front()) || blank(bytes.back()));
    const bool quoted = bytes.size() >= 2 && bytes.front() == bytes.back() &&
                        (bytes.front() == '"' || bytes.front() == '\'');
    return blankAtEdge || quoted ? '"' + bytes + '"' : bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Key& key = kKeys[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kKeys) - 1)];
    const QString section = QString::fromLatin1(key.section);
    const QString name = QString::fromLatin1(key.key);
    const QString value = TakeText(in, 60);
    const bool fileExists = in.ConsumeIntegralInRange<int>(0, 15) != 0;
    const std::vector<char> rest = in.ConsumeRemainingBytes<char>();
    const QByteArray old(rest.data(), static_cast<qsizetype>(rest.size()));

    const QString folder = ScratchFolder() + QStringLiteral("settings/");
    QDir().mkpath(folder);
    const QString path = SettingsFilePath(folder);
    QFile::remove(path);
    if (fileExists)
        WriteBytes(path, old);

    // Reading never fails, and the file reader agrees with the byte reader.
    const IniFile before = fileExists ? IniFile::FromBytes(old) : IniFile();
    const AppSettings loaded = LoadSettings(folder);
    TARVELA_FUZZ_CHECK(
        loaded.VychoziMena == before.ReadString(QStringLiteral("NASTAVENI"),
                                                QStringLiteral("VychoziMena"),
                                                QStringLiteral("CZK")) &&
            loaded.Dodavatel.Nazev ==
                before.ReadString(QStringLiteral("Dodavatel"), QStringLiteral("Nazev"), {}) &&
            loaded.SazbaDPH1 ==
                before.ReadInteger(QStringLiteral("NASTAVENI"), QStringLiteral("SazbaDPH1"), 21),
        "LoadSettings reads what IniFile reads");

    try {
        WriteIniString(path, section, name, value, QStringLiteral("Pole"));
    } catch (const TarvelaError& e) {
        TARVELA_FUZZ_CHECK(dynamic_cast<const ValidationError*>(&e) ||
                               dynamic_cast<const EncodingError*>(&e),
                           "only a value that cannot be stored is refused", e.message());
        TARVELA_FUZZ_CHECK(value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')) ||
                               !CanEncodeCp1250(value),
                           "a storable value was refused", Quote(value));
        TARVELA_FUZZ_CHECK(QFile::exists(path) == fileExists &&
                               (!fileExists || ReadBytes(path) == old),
                           "a refused write leaves the file as it was");
        return 0;
    }
    const QByteArray written = ReadBytes(path);

    // The key reads back to the value; no other key changes.
    const IniFile after = IniFile::FromBytes(written);
    TARVELA_FUZZ_CHECK(after.Value(section, name) == AsRead(value),
                       "the key reads back to the value",
                       Quote(value) + QStringLiteral(" read as ") +
                           Quote(after.Value(section, name).value_or(QStringLiteral("<missing>"))));
    for (const Key& other : kKeys) {
        if (&other == &key)
            continue;
        const QString s = QString::fromLatin1(other.section);
        const QString k = QString::fromLatin1(other.key);
        TARVELA_FUZZ_CHECK(after.Value(s, k) == before.Value(s, k), "another key changed", k);
    }

    // Line by line: everything before and after the change stays byte for byte.
    const std::vector<QByteArray> oldLines = RawLines(fileExists ? old : QByteArray());
    const std::vector<QByteArray> newLines = RawLines(written);
    std::size_t prefix = 0;
    while (prefix < oldLines.size() && prefix < newLines.size() &&
           oldLines[prefix] == newLines[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < oldLines.size() - prefix && suffix < newLines.size() - prefix &&
           oldLines[oldLines.size() - 1 - suffix] == newLines[newLines.size() - 1 - suffix])
        ++suffix;
    const std::vector<QByteArray> oldMid(oldLines.begin() + prefix, oldLines.end() - suffix);
    const std::vector<QByteArray> newMid(newLines.begin() + prefix, newLines.end() - suffix);
    const QByteArray valueBytes = StoredBytes(value);
    const QByteArray entry = key.key + QByteArray("=") + valueBytes + "\r\n";

    TARVELA_FUZZ_CHECK(oldMid.size() <= 1, "more than one line of the file changed");
    if (oldMid.size() == 1 && newMid.size() == 1) {
        // The value replaced in place: the key as spelled, and the line end, stay.
        const QByteArray& was = oldMid[0];
        const QByteArray& now = newMid[0];
        const qsizetype equals = was.indexOf('=');
        TARVELA_FUZZ_CHECK(equals >= 0, "a line without \"=\" was changed", DecodeCp1250(was));
        const QByteArray end = was.mid(WithoutLineEnd(was).size());
        TARVELA_FUZZ_CHECK(now == was.left(equals + 1) + valueBytes + end,
                           "only the value of the key's line changed", DecodeCp1250(now));
        return 0;
    }
    std::size_t i = 0;
    if (!oldMid.empty()) {
        // A last line without a line end gets one before the new lines.
        TARVELA_FUZZ_CHECK(!newMid.empty() && WithoutLineEnd(oldMid[0]) == oldMid[0] &&
                               newMid[0] == oldMid[0] + "\r\n" && prefix + 1 == oldLines.size(),
                           "a changed line that is not the key's line");
        i = 1;
    }
    int entries = 0;
    for (; i < newMid.size(); ++i) {
        const QByteArray& line = newMid[i];
        if (line == entry) {
            ++entries;
            continue;
        }
        TARVELA_FUZZ_CHECK(line == "\r\n" || line == "[" + QByteArray(key.section) + "]\r\n",
                           "an added line that is neither the key nor its section",
                           DecodeCp1250(line));
    }
    TARVELA_FUZZ_CHECK(entries == 1 || (newMid.empty() && oldMid.empty()),
                       "the key's line added once");
    return 0;
}
