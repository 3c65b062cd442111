#include "invoice/invoice_store.h"

#include "invoice/invoice_file.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tarvela {
namespace {

const QString kExtension = QStringLiteral(".tvl");

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
    static const QStringList kReserved = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                          QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (kReserved.contains(stem))
        return true;
    if (stem.size() == 4 &&
        (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))) {
        const QChar digit = stem.at(3);
        return digit >= QLatin1Char('1') && digit <= QLatin1Char('9');
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

void InvoiceStore::SaveInvoice(int year, const InvoiceRecord& record) const {
    const QString path = InvoiceFilePath(year, record.Cislo);
    WriteInvoiceFile(record, path);
}

QStringList InvoiceStore::ListInvoiceFiles(int year, Listing listing,
                                           const AfterEachEntry& afterEach) const {
    // Ordinary files only: no folders, no hidden or system entries. Name filters of QDir match
    // without regard to case.
    QDir dir(PeriodFolder(year));
    if (!dir.exists())
        return {};
    const QStringList entries =
        dir.entryList({QStringLiteral("*") + kExtension}, QDir::Files, QDir::NoSort);
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
    const QStringList names = ListInvoiceFiles(year, Listing::TvlLowerCase, afterEach);
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
