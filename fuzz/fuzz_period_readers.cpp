// Every reader of a period's invoice files on arbitrary files with arbitrary names, side by
// side: the open dialog's listing and rows, the item list, the customer and template pickers,
// the overview and the open action. Each must survive every file, and they must agree on what
// the files say. The period folder always holds a folder named like an invoice file too.

#include "fuzz_support.h"

#include "editor/invoice_list.h"
#include "editor/item_catalog.h"
#include "editor/picker_files.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "money/invoice_figures.h"
#include "printing/money.h"
#include "printing/period_overview.h"
#include "printing/report_data_set.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include <QDir>
#include <QMap>
#include <QSet>

using namespace tarvela;
using namespace tarvela::fuzz;

namespace {

constexpr int kYear = 2026;

QString LineOr(const FileLines& lines, int n, const QString& fallback) {
    return lines.has(n) ? lines.line(n) : fallback;
}

// A file name from the input: any Windows-1250 text without "/" and NUL, with an extension
// that mostly makes it an invoice file.
QString TakeFileName(FuzzedDataProvider& in) {
    static const char* const kExtensions[] = {".tvl", ".TVL", ".Tvl", ".tvl.bak", ".txt", ""};
    QString name = TakeCp1250Text(in, 10);
    name.remove(QLatin1Char('/')).remove(QChar(0));
    name += QLatin1String(kExtensions[in.ConsumeIntegralInRange<int>(0, 5)]);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("2026001.tvl");
    return name;
}

bool IsListedInvoiceFile(const QString& name) {
    return !name.startsWith(QLatin1Char('.')) && name.size() >= 4 &&
           SameTextAscii(name.right(4), QStringLiteral(".tvl"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);

    const QString program = ScratchFolder() + QStringLiteral("program/");
    const InvoiceStore store(program);
    const QString folder = store.PeriodFolder(kYear);
    QDir().mkpath(folder);
    EmptyFolder(folder);
    // A folder named like an invoice file, which no reader may take for one.
    QDir().mkpath(folder + QStringLiteral("/2026999.tvl"));

    QMap<QString, QByteArray> files; // name -> bytes
    const int count = in.ConsumeIntegralInRange<int>(1, 4);
    for (int i = 0; i < count && in.remaining_bytes() > 0; ++i) {
        const QString name = TakeFileName(in);
        if (files.contains(name) || name == QLatin1String("2026999.tvl"))
            continue;
        const std::string content = in.ConsumeRandomLengthString(4096);
        const QByteArray bytes(content.data(), static_cast<qsizetype>(content.size()));
        WriteBytes(folder + QLatin1Char('/') + name, bytes);
        files.insert(name, bytes);
    }

    QSet<QString> invoiceNames;
    for (const QString& name : files.keys()) {
        if (IsListedInvoiceFile(name))
            invoiceNames.insert(name);
    }

    // The open dialog: the listing holds exactly the invoice files.
    const QStringList listed = ListInvoiceFileNames(folder);
    TARVELA_FUZZ_CHECK(QSet<QString>(listed.begin(), listed.end()) == invoiceNames &&
                           listed.size() == invoiceNames.size(),
                       "the open dialog lists exactly the invoice files",
                       listed.join(QLatin1Char(',')));
    const QStringList storeListed = store.ListInvoiceFiles(kYear, InvoiceStore::Listing::AsListed);
    TARVELA_FUZZ_CHECK(QSet<QString>(storeListed.begin(), storeListed.end()) == invoiceNames,
                       "the store lists exactly the invoice files",
                       storeListed.join(QLatin1Char(',')));

    AppSettings settings;
    settings.AktualniRok = kYear;
    settings.VychoziMena = QStringLiteral("CZK");
    QList<OverviewEntry> overview;
    try {
        overview = CollectPeriodOverview(store, settings);
    } catch (const TarvelaError& e) {
        Fail("the overview failed on readable files", e.message());
    }
    TARVELA_FUZZ_CHECK(overview.size() == invoiceNames.size(),
                       "the overview has one entry per invoice file");
    QMap<QString, OverviewEntry> overviewByName; // lower-cased name -> entry
    ReportDataSet dataSet;
    FillPeriodOverview(dataSet, overview, settings.VychoziMena);
    TARVELA_FUZZ_CHECK(dataSet.rowCount() == overview.size(), "one overview row per entry");

    QSet<QString> codesWithDescription; // lower-cased codes of lines with a description
    for (const QString& name : invoiceNames) {
        const QByteArray& bytes = files[name];
        const FileLines lines = FileLines::FromBytes(bytes);
        const FileLines fromFile = FileLines::ReadFile(folder + QLatin1Char('/') + name);
        TARVELA_FUZZ_CHECK(fromFile.lines() == lines.lines(),
                           "reading the file gives the same lines");

        // The open dialog's row.
        const InvoiceListEntry entry = ReadInvoiceListEntry(folder, name);
        TARVELA_FUZZ_CHECK(entry.FileName == name && entry.Cislo == name.left(name.size() - 4),
                           "the row names the file", entry.Cislo);
        TARVELA_FUZZ_CHECK(entry.Datum == lines.line(7) && entry.Odberatel == lines.line(11) &&
                               entry.Splatnost == lines.line(9) &&
                               entry.Uhrazeno == lines.line(47) && entry.Mena == lines.line(48),
                           "the row shows lines 7, 11, 9, 47 and 48");
        TARVELA_FUZZ_CHECK(lines.has(46) || entry.Celkem.isEmpty(), "no total without a total line",
                           Quote(entry.Celkem));

        // The pickers.
        const TemplateTaken taken = TakeTemplateLines(lines);
        for (int i = 0; i < 9; ++i)
            TARVELA_FUZZ_CHECK(
                taken.Customer.Od[i] ==
                    (lines.has(10 + i) ? std::optional(lines.line(10 + i)) : std::nullopt),
                "the customer picker takes lines 10 to 18 that exist");
        for (int row = 1; row <= kItemRowCount; ++row) {
            TARVELA_FUZZ_CHECK(taken.Rows[row - 1].has_value() == lines.has(18 + row),
                               "the template picker takes the item lines that exist");
            if (!taken.Rows[row - 1])
                continue;
            const QStringList parts = SplitCells(lines.line(18 + row));
            for (int cell = 0; cell < kItemCellCount; ++cell) {
                TARVELA_FUZZ_CHECK(taken.Rows[row - 1]->cell(cell) ==
                                       (cell < parts.size() ? parts[cell] : QString()),
                                   "a template row's cells are the line's pieces");
                TARVELA_FUZZ_CHECK(!taken.Rows[row - 1]->cell(cell).contains(QLatin1Char('|')),
                                   "no \"|\" in a template cell");
            }
            const QString code = parts.value(0);
            if (!parts.value(1).isEmpty() && !code.isEmpty())
                codesWithDescription.insert(code.toLower());
        }
        TARVELA_FUZZ_CHECK(TakeCustomerLines(lines).Od == taken.Customer.Od,
                           "both pickers take the customer");

        // The overview's entry for this file.
        const QString lower = LowerCaseAscii(name);
        const auto found =
            std::find_if(overview.begin(), overview.end(), [&](const OverviewEntry& e) {
                return e.Cislo == LineOr(lines, 1, lower) && e.Odberatel == entry.Odberatel &&
                       e.DatumVystaveni == entry.Datum && e.DatumSplatnosti == entry.Splatnost &&
                       e.DatumUhrady == entry.Uhrazeno &&
                       e.Mena == LineOr(lines, 48, QStringLiteral("CZK")) &&
                       e.UhrazenaCastka == lines.line(49);
            });
        TARVELA_FUZZ_CHECK(found != overview.end(), "the overview shows what the open dialog shows",
                           Quote(name));
        // The total the overview counts is the one the open dialog shows.
        const std::optional<qint64> counted = ReadTotalHalere(found->CastkaPresne);
        TARVELA_FUZZ_CHECK(!lines.has(46) || !counted || entry.Celkem == FormatHalere(*counted),
                           "the open dialog shows the total the overview counts",
                           Quote(entry.Celkem));
        if (lines.has(46))
            TARVELA_FUZZ_CHECK(!found->Castka.contains(QLatin1Char(',')) &&
                                   !found->Castka.contains(QLatin1Char(' ')),
                               "the overview's amount is cut at its comma", Quote(found->Castka));

        // The open action: the same lines, whatever it makes of them.
        InvoiceRecord record;
        try {
            ReadInvoiceFile(folder + QLatin1Char('/') + name, record, QStringLiteral("CZK"));
            TARVELA_FUZZ_CHECK(record.OdberatelNazev1 == entry.Odberatel || !lines.has(11),
                               "the open action reads the customer the row shows");
        } catch (const ConversionError&) {
        }
    }

    // The item list: descriptions never empty, each code once, and every code that comes with a
    // description somewhere is offered.
    const ItemCatalog catalog = LoadItemCatalog(folder);
    QSet<QString> codes;
    for (const ItemCatalogEntry& item : catalog) {
        TARVELA_FUZZ_CHECK(!item.Dodavka.isEmpty(), "an item without a description");
        if (!item.Kod.isEmpty()) {
            TARVELA_FUZZ_CHECK(!codes.contains(item.Kod.toLower()), "an item code offered twice",
                               Quote(item.Kod));
            codes.insert(item.Kod.toLower());
        }
        TARVELA_FUZZ_CHECK(item.Cena.isEmpty() || item.Cena.contains(QLatin1Char(',')),
                           "a price without decimals gets them", Quote(item.Cena));
    }
    TARVELA_FUZZ_CHECK(codes == codesWithDescription,
                       "every code with a description is offered once");

    // Numbering looks at the names only; a name that does not end in a number is reported.
    try {
        const QString next = store.NextInvoiceCounter(kYear);
        TARVELA_FUZZ_CHECK(next.size() == 3 && IsDigitsOnly(next),
                           "the next counter is three digits", next);
    } catch (const ConversionError&) {
    }
    return 0;
}
