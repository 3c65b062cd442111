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

} // namespace

void ValidateInvoiceNumber(const QString& number) {
    if (number.isEmpty())
        throw ValidationError(QStringLiteral("Není zadáno číslo faktury."));
    static const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
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

InvoiceStore::InvoiceStore(const QString& programFolder) : programFolder_(programFolder) {
    if (!programFolder_.endsWith(QLatin1Char('/')) && !programFolder_.endsWith(QDir::separator()))
        programFolder_ += QDir::separator();
}

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
    // The same name with the extension in another case ("2026001.TVL"); links count too.
    const QDir dir(PeriodFolder(year));
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : entries) {
        if (SameTextAscii(name, number + kExtension) &&
            name.left(number.size()) == number) // the number itself as written
            return PeriodFolder(year) + QLatin1Char('/') + name;
    }
    return {};
}

void InvoiceStore::SaveInvoice(int year, const InvoiceRecord& record) const {
    const QString existing = ExistingInvoiceFile(year, record.Cislo);
    RemoveStaleTemporaryFiles(year);
    WriteInvoiceFile(record, existing.isEmpty() ? InvoiceFilePath(year, record.Cislo) : existing);
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
    QStringList names = ListInvoiceFiles(year, Listing::TvlLowerCase, afterEach);
    // A save of another instance under way: its temporary file names the number.
    const QDir dir(PeriodFolder(year));
    for (const QString& name :
         dir.entryList({QStringLiteral("*") + kExtension + QStringLiteral(".*")},
                       QDir::Files | QDir::NoSymLinks)) {
        if (IsTemporaryFileName(name))
            names.append(LowerCaseAscii(name.left(name.size() - 7)));
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
