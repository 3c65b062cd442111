#include "printing/period_overview.h"

#include "invoice/file_lines.h"
#include "printing/invoice_documents.h"
#include "printing/report_data_set.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>

#include <algorithm>

namespace tarvela {

namespace {

using Type = ReportDataSet::ColumnType;

QString LineOr(const FileLines& lines, int n, const QString& fallback) {
    return lines.has(n) ? lines.line(n) : fallback;
}

OverviewEntry ReadEntry(const QString& path, const QString& name, const QString& defaultCurrency) {
    FileLines lines;
    try {
        lines = FileLines::ReadFile(path);
    } catch (const OversizedFileError&) {
        // Listed by its name like an empty file; opening it tells why it is not read.
    }
    OverviewEntry entry;
    entry.Cislo = LineOr(lines, 1, name);
    entry.Odberatel = lines.line(11);
    if (lines.has(46)) {
        QString total = StripSpaces(lines.line(46));
        if (total.isEmpty())
            total = QStringLiteral("0");
        const qsizetype comma = total.indexOf(QLatin1Char(','));
        if (comma >= 0)
            total.truncate(comma);
        entry.Castka = total;
    }
    entry.DatumVystaveni = lines.line(7);
    entry.DatumSplatnosti = lines.line(9);
    entry.DatumUhrady = lines.line(47);
    entry.Mena = LineOr(lines, 48, defaultCurrency);
    entry.UhrazenaCastka = lines.line(49);
    return entry;
}

} // namespace

QString PeriodOverviewTemplate() {
    return QStringLiteral("Ses/PrehledFaktur.fr3");
}

QString PeriodOverviewTitle(int year) {
    return QStringLiteral("Evidence odeslaných faktur - rok ") + QString::number(year);
}

QList<OverviewEntry> CollectPeriodOverview(const InvoiceStore& store, const AppSettings& settings,
                                           const AfterEachEntry& afterEach) {
    const int year = settings.AktualniRok;
    store.EnsurePeriodFolder(year);

    // Names are kept lower-cased, as the overview shows them; the file is opened by its name as
    // listed, which matters on a file system that tells letter case apart.
    struct Listed {
        QString name; // lower-cased
        QString onDisk;
    };
    QList<Listed> files;
    static const QString extension = QStringLiteral(".tvl");
    for (const QString& name :
         store.ListInvoiceFiles(year, InvoiceStore::Listing::AsListed, afterEach)) {
        if (SameTextAscii(name.right(extension.size()), extension))
            files.append({LowerCaseAscii(name), name});
    }
    std::stable_sort(files.begin(), files.end(), [](const Listed& a, const Listed& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });

    // Joined by hand: QDir::filePath takes a name beginning with ":" for a resource path.
    const QString folder = store.PeriodFolder(year) + QLatin1Char('/');
    QList<OverviewEntry> entries;
    entries.reserve(files.size());
    for (const Listed& file : files)
        entries.append(ReadEntry(folder + file.onDisk, file.name, settings.VychoziMena));
    return entries;
}

PrintVariables PeriodOverviewVariables(const AppSettings& settings) {
    PrintVariables v;
    v.add(QStringLiteral("Nadpis"), PeriodOverviewTitle(settings.AktualniRok));
    v.add(QStringLiteral("VychoziMena"), settings.VychoziMena);
    return v;
}

void FillPeriodOverview(ReportDataSet& dataSet, const QList<OverviewEntry>& entries,
                        const QString& defaultCurrency) {
    ResetDataSet(dataSet);
    dataSet.addColumn(QStringLiteral("Id"), Type::AutoIncrement);
    dataSet.addColumn(QStringLiteral("Cislo"), Type::Text, 50);
    dataSet.addColumn(QStringLiteral("Odberatel"), Type::Text, 100);
    dataSet.addColumn(QStringLiteral("Castka"), Type::Integer);
    dataSet.addColumn(QStringLiteral("CastkaJinaMena"), Type::Integer);
    dataSet.addColumn(QStringLiteral("DatumVystaveni"), Type::Text, 10);
    dataSet.addColumn(QStringLiteral("DatumSplatnosti"), Type::Text, 10);
    dataSet.addColumn(QStringLiteral("DatumUhrady"), Type::Text, 10);
    dataSet.addColumn(QStringLiteral("Uhrazeno"), Type::Integer);
    dataSet.addColumn(QStringLiteral("Mena"), Type::Text, 3);
    dataSet.createAndOpen();

    int id = 0;
    for (const OverviewEntry& e : entries) {
        const bool otherCurrency = e.Mena != defaultCurrency;
        const qint32 total = ParseWholeLenient(e.Castka);
        const qint32 castka = otherCurrency ? 0 : total;
        const qint32 castkaJinaMena = otherCurrency ? total : 0;
        qint32 uhrazeno = 0;
        if (!e.DatumUhrady.isEmpty())
            uhrazeno = otherCurrency ? WholeCrownsOfPaidAmount(e.UhrazenaCastka) : castka;
        dataSet.appendRow({QString::number(++id), e.Cislo, e.Odberatel, QString::number(castka),
                           QString::number(castkaJinaMena), e.DatumVystaveni, e.DatumSplatnosti,
                           e.DatumUhrady, QString::number(uhrazeno), e.Mena});
    }
}

} // namespace tarvela
