// A period folder that holds what no invoice file should be: a folder named like an invoice
// file, a named pipe, a link to nothing, a file with NUL bytes, a 50 MB file without a line end, a
// file of 100 000 lines, an empty file, a file of line ends only, and a file whose name begins with
// ":". Every reader of the period (the open dialog's listing and rows, the open action, the item
// list, the pickers, the overview, the numbering) must get through it without crashing and without
// hanging, and the ordinary invoice beside them must still read whole. The files are made at run
// time.

#include "editor/invoice_list.h"
#include "editor/item_catalog.h"
#include "editor/picker_files.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "printing/period_overview.h"
#include "printing/report_data_set.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tarvela {
namespace {

using test::TempProgramFolder;

constexpr int kYear = 2026;
constexpr qsizetype kHugeSize = 50 * 1024 * 1024;
constexpr int kManyLines = 100000;

QByteArray GoodInvoice() {
    InvoiceRecord r;
    r.Cislo = QStringLiteral("2026001");
    r.DatumPlneni = QDate(2026, 3, 5);
    r.DatumVystaveni = QDate(2026, 3, 5);
    r.DatumSplatnosti = QDate(2026, 3, 19);
    r.OdberatelNazev1 = QStringLiteral("Firma s.r.o.");
    r.Polozky[0] = {QStringLiteral("A1"), QStringLiteral("Oprava"), QStringLiteral("ks"),
                    QStringLiteral("2"),  QStringLiteral("150"),    QStringLiteral("21")};
    r.Uhrnem = QStringLiteral("363,00");
    r.Mena = QStringLiteral("CZK");
    return InvoiceFileBytes(r);
}

class HostilePeriodFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        program_ = new TempProgramFolder;
        const QString p = QString::number(kYear) + QLatin1Char('/');
        program_->writeBytes(p + QStringLiteral("2026001.tvl"), GoodInvoice());
        QDir().mkpath(program_->file(p + QStringLiteral("2026002.tvl")));
        QByteArray nuls(4096, '\0');
        for (qsizetype i = 50; i < nuls.size(); i += 50)
            nuls[i] = '\n';
        program_->writeBytes(p + QStringLiteral("2026003.tvl"), nuls);
        program_->writeBytes(p + QStringLiteral("2026004.tvl"), QByteArray(kHugeSize, 'A'));
        QByteArray many;
        many.reserve(kManyLines * 20);
        for (int i = 0; i < kManyLines; ++i)
            many += "K" + QByteArray::number(i) + "|Položka|ks|1|1|21|\r\n";
        program_->writeBytes(p + QStringLiteral("2026005.tvl"), many);
        program_->writeBytes(p + QStringLiteral("2026006.tvl"), QByteArray());
        program_->writeBytes(p + QStringLiteral("2026007.tvl"), QByteArray(5000, '\r'));
        // A name that Qt would take for a resource path if joined with QDir::filePath.
        QByteArray colon = GoodInvoice();
        colon.replace("Oprava", "Montaz");
        colon.replace("A1|", "C9|");
        program_->writeBytes(p + QStringLiteral(":2026008.tvl"), colon);
        // A named pipe would block whoever opens it for reading until a writer comes; a link
        // that leads nowhere cannot be opened at all. Neither is an invoice file.
        ASSERT_EQ(
            ::mkfifo(QFile::encodeName(program_->file(p + QStringLiteral("2026009.tvl"))), 0600),
            0);
        ASSERT_TRUE(QFile::link(program_->file(p + QStringLiteral("nowhere")),
                                program_->file(p + QStringLiteral("2026010.tvl"))));
    }
    static void TearDownTestSuite() {
        delete program_;
        program_ = nullptr;
    }

    static QString Folder() { return program_->file(QString::number(kYear)); }
    static InvoiceStore Store() { return InvoiceStore(program_->path()); }

    static TempProgramFolder* program_;
};

TempProgramFolder* HostilePeriodFolder::program_ = nullptr;

// In plain sort order (":" comes after the digits).
const QStringList kFiles = {QStringLiteral("2026001.tvl"), QStringLiteral("2026003.tvl"),
                            QStringLiteral("2026004.tvl"), QStringLiteral("2026005.tvl"),
                            QStringLiteral("2026006.tvl"), QStringLiteral("2026007.tvl"),
                            QStringLiteral(":2026008.tvl")};

TEST_F(HostilePeriodFolder, OpenDialogListsFilesOnlyAndReadsEveryRow) {
    QStringList names = ListInvoiceFileNames(Folder());
    names.sort();
    EXPECT_EQ(names, kFiles); // not the folder 2026002.tvl, the pipe or the dead link
    for (const QString& name : names) {
        const InvoiceListEntry entry = ReadInvoiceListEntry(Folder(), name);
        EXPECT_EQ(entry.FileName, name);
    }
    const InvoiceListEntry good = ReadInvoiceListEntry(Folder(), QStringLiteral("2026001.tvl"));
    EXPECT_EQ(good.Odberatel, QStringLiteral("Firma s.r.o."));
    EXPECT_EQ(good.Celkem, QStringLiteral("363,00"));
    // The folder itself, if asked for, shows only its number.
    const InvoiceListEntry folder = ReadInvoiceListEntry(Folder(), QStringLiteral("2026002.tvl"));
    EXPECT_EQ(folder.Cislo, QStringLiteral("2026002"));
    EXPECT_TRUE(folder.Odberatel.isEmpty());
    const InvoiceListEntry colon = ReadInvoiceListEntry(Folder(), QStringLiteral(":2026008.tvl"));
    EXPECT_EQ(colon.Odberatel, QStringLiteral("Firma s.r.o."));
}

TEST_F(HostilePeriodFolder, OpenActionReadsOrRefusesEachFile) {
    const QString folder = Folder() + QLatin1Char('/');
    InvoiceRecord good;
    ReadInvoiceFile(folder + QStringLiteral("2026001.tvl"), good, QStringLiteral("CZK"));
    EXPECT_EQ(good.Polozky[0].Dodavka, QStringLiteral("Oprava"));

    InvoiceRecord r;
    EXPECT_THROW(ReadInvoiceFile(folder + QStringLiteral("2026002.tvl"), r, QStringLiteral("CZK")),
                 FileError);
    for (const QString& name : kFiles) {
        SCOPED_TRACE(name.toStdString());
        InvoiceRecord record;
        try {
            ReadInvoiceFile(folder + name, record, QStringLiteral("CZK"));
        } catch (const ConversionError&) {
            // A date line that does not convert is reported, not a crash.
        } catch (const OversizedFileError&) {
            // The 50 MB file is refused unread.
        }
    }
    InvoiceRecord huge;
    EXPECT_THROW(
        ReadInvoiceFile(folder + QStringLiteral("2026004.tvl"), huge, QStringLiteral("CZK")),
        OversizedFileError);
    EXPECT_TRUE(huge.Cislo.isEmpty()); // nothing of it was taken
    InvoiceRecord many;
    ReadInvoiceFile(folder + QStringLiteral("2026005.tvl"), many, QStringLiteral("CZK"));
    EXPECT_EQ(many.Polozky[0].Kod, QStringLiteral("K18")); // line 19 is the first item line
}

TEST_F(HostilePeriodFolder, ItemListSkipsNothingReadable) {
    const ItemCatalog catalog = LoadItemCatalog(Folder());
    // The good invoice, the 25 item lines of the long file, and the file named with a colon.
    ASSERT_EQ(catalog.size(), 2 + kItemRowCount);
    EXPECT_EQ(catalog[0].Kod, QStringLiteral("A1"));
    EXPECT_EQ(catalog[1].Kod, QStringLiteral("K18"));
    EXPECT_EQ(catalog[kItemRowCount].Kod, QStringLiteral("K42"));
    EXPECT_EQ(catalog.last().Kod, QStringLiteral("C9"));
    EXPECT_EQ(catalog.last().Dodavka, QStringLiteral("Montaz"));
}

TEST_F(HostilePeriodFolder, PickersTakeWhatTheFileHas) {
    for (const QString& name : kFiles) {
        SCOPED_TRACE(name.toStdString());
        if (name == QStringLiteral("2026004.tvl")) {
            EXPECT_THROW(FileLines::ReadFile(Folder() + QLatin1Char('/') + name),
                         OversizedFileError);
            continue;
        }
        const FileLines lines = FileLines::ReadFile(Folder() + QLatin1Char('/') + name);
        const TemplateTaken taken = TakeTemplateLines(lines);
        EXPECT_EQ(taken.Mena.has_value(), lines.has(48));
        EXPECT_EQ(TakeCustomerLines(lines).Od[0].has_value(), lines.has(10));
    }
    EXPECT_THROW(FileLines::ReadFile(Folder() + QStringLiteral("/2026002.tvl")), FileError);
    const FileLines many = FileLines::ReadFile(Folder() + QStringLiteral("/2026005.tvl"));
    EXPECT_EQ(many.count(), kManyLines);
    EXPECT_EQ(TakeTemplateLines(many).Rows[24]->Kod, QStringLiteral("K42"));
    const FileLines returns = FileLines::ReadFile(Folder() + QStringLiteral("/2026007.tvl"));
    EXPECT_EQ(returns.count(), 5000);
    EXPECT_EQ(TakeTemplateLines(returns).Rows[0], InvoiceItemRow{});
}

TEST_F(HostilePeriodFolder, OverviewHasOneRowPerFile) {
    AppSettings settings;
    settings.AktualniRok = kYear;
    const QList<OverviewEntry> entries = CollectPeriodOverview(Store(), settings);
    ASSERT_EQ(entries.size(), kFiles.size());
    QStringList numbers;
    for (const OverviewEntry& e : entries)
        numbers.append(e.Cislo.left(20));
    EXPECT_TRUE(numbers.contains(QStringLiteral("2026001")));
    EXPECT_TRUE(numbers.contains(QStringLiteral("2026006.tvl"))); // empty file: its name
    ReportDataSet dataSet;
    FillPeriodOverview(dataSet, entries, settings.VychoziMena);
    EXPECT_EQ(dataSet.rowCount(), kFiles.size());
}

TEST_F(HostilePeriodFolder, NumberingLooksPastTheFolder) {
    // The greatest name is ":2026008.tvl" (":" sorts after the digits); the folder 2026002.tvl
    // does not count.
    EXPECT_EQ(Store().NextInvoiceCounter(kYear), QStringLiteral("009"));
}

TEST(HostileSettingsFile, HugeAndBrokenSettingsReadAsDefaults) {
    TempProgramFolder program;
    const QString ini = QString::fromLatin1(kSettingsFileName);

    program.writeBytes(ini, QByteArray(kHugeSize, 'A'));
    EXPECT_EQ(LoadSettings(program.path()).SazbaDPH1, 21);

    QByteArray many = "[NASTAVENI]\r\n";
    for (int i = 0; i < kManyLines; ++i)
        many += "Klic" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
    many += "SazbaDPH1=20\r\n";
    program.writeBytes(ini, many);
    EXPECT_EQ(LoadSettings(program.path()).SazbaDPH1, 20);
    SavePeriodYear(program.path(), 2030);
    EXPECT_EQ(program.readBytes(ini), many + "AktualniRok=2030\r\n");
    EXPECT_EQ(LoadSettings(program.path()).AktualniRok, 2030);

    static const char kNuls[] = "[NASTAVENI]\r\nSazbaDPH2=1\0\0\r\nVychoziMena=E\0R\r\n\0";
    const QByteArray nuls(kNuls, sizeof kNuls - 1);
    program.writeBytes(ini, nuls);
    const AppSettings settings = LoadSettings(program.path());
    EXPECT_EQ(settings.SazbaDPH2, 12); // "1\0\0" is no number: the default
    SavePeriodYear(program.path(), 2031);
    EXPECT_EQ(program.readBytes(ini),
              nuls.left(nuls.size() - 1) + "AktualniRok=2031\r\n" + QByteArray(1, '\0'));
}

} // namespace
} // namespace tarvela
