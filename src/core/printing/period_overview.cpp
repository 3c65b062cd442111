#include "printing/period_overview.h"

#include "invoice/file_lines.h"
#include "money/invoice_figures.h"
#include "printing/invoice_documents.h"
#include "printing/money.h"
#include "printing/report_data_set.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>

#include <algorithm>
#include <map>

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
        entry.CastkaPresne = total;
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
    // The proposed name of a saved PDF, not one made of the title's letters and underscores.
    v.add(QStringLiteral("NazevSouboru"),
          QStringLiteral("Evidence odeslaných faktur ") + QString::number(settings.AktualniRok));
    return v;
}

qint64 OverviewExactTotal(const OverviewEntry& entry) {
    return ReadTotalHalere(entry.CastkaPresne).value_or(0);
}

qint64 OverviewExactPaid(const OverviewEntry& entry, const QString&) {
    return PaidHalere(entry.UhrazenaCastka, entry.DatumUhrady, OverviewExactTotal(entry));
}

namespace {

// "1210,00 CZK; 443,83 EUR": the default currency first, then the others by name.
QString SumsPerCurrency(const std::map<QString, qint64>& sums, const QString& defaultCurrency) {
    QStringList parts;
    const auto own = sums.find(defaultCurrency);
    if (own != sums.end())
        parts << FormatHalere(own->second) + QLatin1Char(' ') + own->first;
    for (const auto& [currency, sum] : sums) {
        if (currency != defaultCurrency)
            parts << FormatHalere(sum) + QLatin1Char(' ') + currency;
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace

PrintVariables PeriodOverviewVariables(const AppSettings& settings,
                                       const QList<OverviewEntry>& entries) {
    PrintVariables v = PeriodOverviewVariables(settings);
    const QString& own = settings.VychoziMena;
    qint64 ownTotal = 0;
    std::map<QString, qint64> others;
    std::map<QString, qint64> paid;
    for (const OverviewEntry& e : entries) {
        if (e.Mena == own)
            ownTotal += OverviewExactTotal(e);
        else
            others[e.Mena] += OverviewExactTotal(e);
        const qint64 paidHalere = OverviewExactPaid(e, own);
        if (!e.DatumUhrady.isEmpty() || paidHalere != 0)
            paid[e.Mena] += paidHalere;
    }
    v.add(QStringLiteral("SoucetCastka"), FormatHalere(ownTotal));
    v.add(QStringLiteral("SoucetJinaMena"), SumsPerCurrency(others, own));
    v.add(QStringLiteral("SoucetUhrazeno"), SumsPerCurrency(paid, own));
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
    dataSet.addColumn(QStringLiteral("CastkaPresne"), Type::Text, 15);
    dataSet.addColumn(QStringLiteral("CastkaJinaMenaPresne"), Type::Text, 15);
    dataSet.addColumn(QStringLiteral("UhrazenoPresne"), Type::Text, 15);
    dataSet.createAndOpen();

    int id = 0;
    for (const OverviewEntry& e : entries) {
        const bool otherCurrency = e.Mena != defaultCurrency;
        // Whole crowns of the exact figures (the decimals dropped, in 64 bits: nothing is cut).
        const qint64 exactTotal = OverviewExactTotal(e);
        const qint64 exactPaid = OverviewExactPaid(e, defaultCurrency);
        const qint64 castka = otherCurrency ? 0 : exactTotal / 100;
        const qint64 castkaJinaMena = otherCurrency ? exactTotal / 100 : 0;
        const bool paidShown = !e.DatumUhrady.isEmpty() || exactPaid != 0;
        const qint64 uhrazeno = paidShown ? exactPaid / 100 : 0;
        const auto exact = [](bool shown, qint64 halere) {
            return shown ? FormatHalere(halere) : QString();
        };
        dataSet.appendRow({QString::number(++id), e.Cislo, e.Odberatel, QString::number(castka),
                           QString::number(castkaJinaMena), e.DatumVystaveni, e.DatumSplatnosti,
                           e.DatumUhrady, QString::number(uhrazeno), e.Mena,
                           exact(!otherCurrency && exactTotal != 0, exactTotal),
                           exact(otherCurrency && exactTotal != 0, exactTotal),
                           exact(paidShown, exactPaid)});
    }
}

} // namespace tarvela
