#include "invoice/invoice_store.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <optional>

namespace tarvela {
namespace {

const QString kExtension = QStringLiteral(".tvl");

// A temporary file older than this belongs to a save that will never finish.
constexpr int kStaleTemporarySeconds = 120;

// Ascending by name without regard to case; names equal but for case in a fixed order.
void SortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

bool IsReservedDeviceName(const QString& number) {
    // Windows reserves these names with any extension ("CON.tvl", "nul.abc"), also followed by
    // spaces before the dot.
    QString stem = number.section(QLatin1Char('.'), 0, 0);
    while (stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    stem = UpperCaseAscii(stem);
    static const QStringList kReserved = {QStringLiteral("CON"),    QStringLiteral("PRN"),
                                          QStringLiteral("AUX"),    QStringLiteral("NUL"),
                                          QStringLiteral("CONIN$"), QStringLiteral("CONOUT$"),
                                          QStringLiteral("CLOCK$")};
    if (kReserved.contains(stem))
        return true;
    if (stem.size() == 4 &&
        (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))) {
        // COM0-COM9 and LPT0-LPT9, also with the superscript digits Windows reserves too.
        const QChar digit = stem.at(3);
        return (digit >= QLatin1Char('0') && digit <= QLatin1Char('9')) || digit == u'\u00B9' ||
               digit == u'\u00B2' || digit == u'\u00B3';
    }
    return false;
}

[[noreturn]] void RefuseNumber(const QString& number, const QString& reason) {
    throw ValidationError(
        QStringLiteral("Číslo faktury „%1“ nelze použít jako název souboru faktury: %2.")
            .arg(number, reason));
}

// The lines of a file's bytes, each without its line end, at least 49.
QList<QByteArray> PaddedLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    while (lines.size() < kInvoiceFileLineCount)
        lines.append(QByteArray());
    return lines;
}

// The bytes to write when the file changed from `opened` to `current` while the window made
// `mine` of it: only the payment (lines 47 and 49, and the line "Eet=") may have changed
// meanwhile, and the window must not have changed the same line otherwise. Nothing when they
// cannot be joined.
std::optional<QByteArray> JoinPayment(const QByteArray& opened, const QByteArray& mine,
                                      const QByteArray& current) {
    const QList<QByteArray> base = PaddedLines(opened);
    const QList<QByteArray> theirs = PaddedLines(current);
    QList<QByteArray> joined = PaddedLines(mine);
    if (base.size() != theirs.size())
        return std::nullopt;
    // The EET registrations' line (a confirmation written meanwhile), found by its key: the
    // window may have added optional lines before it.
    const auto eetLine = [](const QList<QByteArray>& lines) {
        for (qsizetype i = 49; i < lines.size(); ++i)
            if (lines[i].startsWith("Eet="))
                return i;
        return qsizetype(-1);
    };
    const qsizetype eetBase = eetLine(base);
    const qsizetype eetMine = eetLine(joined);
    for (qsizetype i = 0; i < base.size(); ++i) {
        if (base[i] == theirs[i])
            continue;
        if (i == eetBase && theirs[i].startsWith("Eet=") && eetMine >= 0 &&
            (joined[eetMine] == base[i] || joined[eetMine] == theirs[i])) {
            joined[eetMine] = theirs[i];
            continue;
        }
        const bool payment = i == 46 || i == 48;
        if (!payment || i >= joined.size() || (joined[i] != base[i] && joined[i] != theirs[i]))
            return std::nullopt;
        joined[i] = theirs[i];
    }
    QByteArray out;
    for (const QByteArray& line : joined)
        out += line + "\r\n";
    return out;
}

// ReplaceFileLocked for an invoice: a failure says that the invoice was not saved.
void ReplaceInvoiceFile(const QString& path,
                        const std::function<QByteArray(const std::optional<QByteArray>&)>& update) {
    try {
        ReplaceFileLocked(path, update);
    } catch (const ChangedMeanwhileError&) {
        throw;
    } catch (const FileError& e) {
        throw FileError(e.message() + QStringLiteral(" Faktura nebyla uložena."));
    }
}

} // namespace

void ValidateInvoiceNumber(const QString& number) {
    if (number.isEmpty())
        throw ValidationError(QStringLiteral("Není zadáno číslo faktury."));
    // Path and shell characters, and what a mail client's command line would read as the end of
    // a value or a new field (quotes, commas, "=" and "@").
    static const QString kForbidden =
        QStringLiteral("/\\:*?\"<>|',=@`\u2018\u2019\u201A\u201E\u201C\u201D");
    for (const QChar c : number) {
        if (c.unicode() < 32 || c.unicode() == 127)
            RefuseNumber(number, QStringLiteral("obsahuje řídicí znak (kód %1)").arg(c.unicode()));
        if (kForbidden.contains(c))
            RefuseNumber(number, QStringLiteral("obsahuje znak „%1“").arg(c));
    }
    // A name beginning with a dot is a hidden file that no listing shows.
    if (number.startsWith(QLatin1Char('.')))
        RefuseNumber(number, QStringLiteral("začíná tečkou (skrytý soubor)"));
    if (number.contains(QLatin1String("..")))
        RefuseNumber(number, QStringLiteral("obsahuje „..“"));
    if (number.endsWith(QLatin1Char('.')) || number.endsWith(QLatin1Char(' ')))
        RefuseNumber(number, QStringLiteral("končí tečkou nebo mezerou"));
    if (IsReservedDeviceName(number))
        RefuseNumber(number, QStringLiteral("je to vyhrazený název zařízení"));
    // Most file systems allow 255 bytes per name; the extension counts too.
    if ((number + kExtension).toUtf8().size() > 255)
        RefuseNumber(number, QStringLiteral("je příliš dlouhé"));
}

InvoiceStore::InvoiceStore(const QString& programFolder)
    : programFolder_(WithTrailingSeparator(programFolder)) {}

QString InvoiceStore::PeriodFolder(int year) const {
    return programFolder_ + QString::number(year);
}

bool InvoiceStore::PeriodFolderExists(int year) const {
    return QFileInfo(PeriodFolder(year)).isDir();
}

bool InvoiceStore::EnsurePeriodFolder(int year) const {
    const QString folder = PeriodFolder(year);
    if (QFileInfo(folder).isDir())
        return true;
    return QDir().mkpath(folder);
}

QString InvoiceStore::InvoiceFilePath(int year, const QString& number) const {
    ValidateInvoiceNumber(number);
    return PeriodFolder(year) + QLatin1Char('/') + number + kExtension;
}

QString InvoiceStore::ExistingInvoiceFile(int year, const QString& number) const {
    const QString own = InvoiceFilePath(year, number);
    if (QFileInfo(own).exists() || QFileInfo(own).isSymLink())
        return own;
    // The same name with the extension in another case ("2026001.TVL"); any entry counts, as in
    // NextInvoiceCounter.
    for (const QString& name :
         ListAllEntries(PeriodFolder(year), QStringLiteral("*") + kExtension)) {
        if (SameTextAscii(name, number + kExtension) &&
            name.left(number.size()) == number) // the number itself as written
            return PeriodFolder(year) + QLatin1Char('/') + name;
    }
    return {};
}

void InvoiceStore::SaveInvoice(int year, const InvoiceRecord& record) const {
    const QString existing = ExistingInvoiceFile(year, record.Cislo);
    const QString path = existing.isEmpty() ? InvoiceFilePath(year, record.Cislo) : existing;
    const QByteArray bytes = InvoiceFileBytes(record);
    RemoveStaleTemporaryFiles(year);
    ReplaceInvoiceFile(path, [&](const std::optional<QByteArray>&) { return bytes; });
}

SavedInvoice InvoiceStore::SaveOpenedInvoice(int year, const InvoiceRecord& record,
                                             const QString& path,
                                             const QByteArray& openedBytes) const {
    ValidateInvoiceNumber(record.Cislo);
    SavedInvoice saved{record, InvoiceFileBytes(record)};
    RemoveStaleTemporaryFiles(year);
    ReplaceInvoiceFile(path, [&](const std::optional<QByteArray>& current) {
        if (!current || *current == openedBytes)
            return saved.bytes; // nothing written meanwhile (or the file was removed)
        const std::optional<QByteArray> joined = JoinPayment(openedBytes, saved.bytes, *current);
        if (!joined)
            throw ChangedMeanwhileError(
                QStringLiteral("Fakturu %1 mezitím změnil jiný program nebo jiné okno programu "
                               "(soubor „%2“). Faktura nebyla uložena, aby se tyto změny "
                               "neztratily. Uložte ji pod jiným číslem, nebo ji zavřete bez "
                               "uložení a otevřete znovu.")
                    .arg(record.Cislo, QDir::toNativeSeparators(path)));
        saved.bytes = *joined;
        ReadInvoiceBytes(saved.bytes, saved.record, record.Mena);
        return saved.bytes;
    });
    return saved;
}

void InvoiceStore::CreateInvoice(int year, const InvoiceRecord& record) const {
    const QString path = InvoiceFilePath(year, record.Cislo);
    const QByteArray bytes = InvoiceFileBytes(record);
    RemoveStaleTemporaryFiles(year);
    WriteOutcome outcome = WriteOutcome::AlreadyExists;
    if (ExistingInvoiceFile(year, record.Cislo).isEmpty())
        outcome = CreateFileAtomically(path, bytes);
    if (outcome == WriteOutcome::Written)
        return;
    if (outcome == WriteOutcome::Failed)
        throw FileError(
            QStringLiteral("Soubor faktury „%1“ nelze zapsat. Faktura nebyla uložena.").arg(path));
    const QString counter = NextInvoiceCounter(year);
    const QString next =
        counter == QLatin1String("000") ? QString() : QString::number(year) + counter;
    QString message = QStringLiteral("Číslo faktury %1 mezitím použila jiná faktura (uložená "
                                     "jinde, např. v jiném okně programu). Faktura nebyla "
                                     "uložena.")
                          .arg(record.Cislo);
    if (!next.isEmpty())
        message += QStringLiteral(" Další volné číslo je %1.").arg(next);
    throw NumberTakenError(message, next);
}

void InvoiceStore::RemoveStaleTemporaryFiles(int year) const {
    const QString folder = PeriodFolder(year) + QLatin1Char('/');
    const QDir dir(folder);
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporarySeconds);
    for (const QString& name :
         dir.entryList({QStringLiteral("*") + kExtension + QStringLiteral(".*")},
                       QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (!IsTemporaryFileName(name) || !IsRegularFileEntry(folder + name))
            continue;
        if (QFileInfo(folder + name).lastModified().toUTC() < before)
            QFile::remove(folder + name);
    }
}

QStringList InvoiceStore::ListInvoiceFiles(int year, Listing listing,
                                           const AfterEachEntry& afterEach) const {
    // Ordinary files only: no folders, no hidden or system entries. Name filters of QDir match
    // without regard to case.
    const QStringList entries =
        ListRegularFiles(PeriodFolder(year), QStringLiteral("*") + kExtension);
    QStringList names;
    names.reserve(entries.size());
    for (const QString& name : entries) {
        if (listing == Listing::TvlLowerCase) {
            if (SameTextAscii(name.right(kExtension.size()), kExtension))
                names.append(LowerCaseAscii(name));
        } else {
            names.append(name);
        }
        if (afterEach)
            afterEach();
    }
    SortNames(names);
    return names;
}

QString InvoiceStore::NextInvoiceCounter(int year, const AfterEachEntry& afterEach) const {
    EnsurePeriodFolder(year);
    // A number is taken when the period holds any entry of its name, whatever it is (a file, a
    // folder, a FIFO, a link that leads nowhere): ExistingInvoiceFile finds the same entries, so
    // the number proposed is always one a new invoice can be created under. A save of another
    // instance under way takes its number too: its temporary file names it.
    QStringList names;
    for (const QString& name : ListAllEntries(PeriodFolder(year), QStringLiteral("*") + kExtension +
                                                                      QStringLiteral("*"))) {
        if (SameTextAscii(name.right(kExtension.size()), kExtension))
            names.append(LowerCaseAscii(name));
        else if (IsTemporaryFileName(name) &&
                 SameTextAscii(name.left(name.size() - 7).right(kExtension.size()), kExtension))
            names.append(LowerCaseAscii(name.left(name.size() - 7)));
        if (afterEach)
            afterEach();
    }
    SortNames(names);
    if (names.isEmpty())
        return QStringLiteral("001");
    QString last = names.last();
    if (last.endsWith(kExtension))
        last.chop(kExtension.size());
    if (last.size() > 3)
        last = last.right(3);
    const qint64 n = qint64(ParseWhole(last)) + 1; // ConversionError when not a number
    if (n < 0 || n > 999)
        return QStringLiteral("000");
    return QString::number(n).rightJustified(3, QLatin1Char('0'));
}

QStringList InvoiceStore::ListPeriodFolders(const AfterEachEntry& afterEach) const {
    QDir dir(programFolder_);
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    QStringList names;
    for (const QString& name : entries) {
        if (!name.isEmpty() && IsDigitsOnly(name))
            names.append(name);
        if (afterEach)
            afterEach();
    }
    SortNames(names);
    return names;
}

} // namespace tarvela
