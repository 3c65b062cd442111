#include "editor/invoice_list.h"

#include "support/test_support.h"
#include "text/codec.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace tarvela {
namespace {

using test::TempProgramFolder;

// An invoice file of `count` lines; the listed lines get recognisable texts.
QByteArray InvoiceLines(int count, const QString& total = QStringLiteral("363,00")) {
    QByteArray bytes;
    for (int n = 1; n <= count; ++n) {
        QString line;
        switch (n) {
        case 7:
            line = QStringLiteral("5.3.2026");
            break;
        case 9:
            line = QStringLiteral("19.3.2026");
            break;
        case 11:
            line = QStringLiteral("Řeznictví Šťastný");
            break;
        case 46:
            line = total;
            break;
        case 47:
            line = QStringLiteral("20.3.2026");
            break;
        case 48:
            line = QStringLiteral("EUR");
            break;
        case 49:
            line = QStringLiteral("363");
            break;
        default:
            line = QStringLiteral("řádek %1").arg(n);
        }
        bytes += EncodeCp1250(line) + "\r\n";
    }
    return bytes;
}

TEST(ListInvoiceFileNames, SortsAsTextWithoutRegardToCase) {
    TempProgramFolder folder;
    for (const char* name : {"2026002.tvl", "2026001.tvl", "2025999.tvl", "202602.tvl",
                             "2026010.tvl", "vzor.tvl", "Abc.tvl", "ZZZ.TVL"})
        folder.writeBytes(QStringLiteral("2026/") + QString::fromLatin1(name), "x");
    // Not invoice files: another extension, a hidden file, a folder, a link to an invoice file.
    folder.writeBytes(QStringLiteral("2026/2026003.txt"), "x");
    folder.writeBytes(QStringLiteral("2026/.2026004.tvl"), "x");
    QDir().mkpath(folder.file(QStringLiteral("2026/2026005.tvl")));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("2026/2026001.tvl")),
                            folder.file(QStringLiteral("2026/2026006.tvl"))));

    EXPECT_EQ(ListInvoiceFileNames(folder.file(QStringLiteral("2026"))),
              (QStringList{"2025999.tvl", "2026001.tvl", "2026002.tvl", "2026010.tvl", "202602.tvl",
                           "Abc.tvl", "vzor.tvl", "ZZZ.TVL"}));
}

TEST(ListInvoiceFileNames, MissingFolderListsNothing) {
    TempProgramFolder folder;
    EXPECT_TRUE(ListInvoiceFileNames(folder.file(QStringLiteral("1999"))).isEmpty());
}

struct EntryCase {
    const char* name;
    int lineCount;
    const char* total;
    InvoiceListEntry expected;
};

class ReadInvoiceListEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ReadInvoiceListEntryTest, TakesTheListedLines) {
    const EntryCase& c = GetParam();
    TempProgramFolder folder;
    folder.writeBytes(QStringLiteral("2026/2026001.tvl"),
                      InvoiceLines(c.lineCount, QString::fromUtf8(c.total)));
    EXPECT_EQ(
        ReadInvoiceListEntry(folder.file(QStringLiteral("2026")), QStringLiteral("2026001.tvl")),
        c.expected);
}

InvoiceListEntry Entry(const char* total, const char* paid, const char* currency) {
    return {QStringLiteral("2026001.tvl"), QStringLiteral("2026001"),
            QStringLiteral("5.3.2026"),    QStringLiteral("Řeznictví Šťastný"),
            QString::fromUtf8(total),      QStringLiteral("19.3.2026"),
            QString::fromUtf8(paid),       QString::fromUtf8(currency)};
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadInvoiceListEntryTest,
    ::testing::Values(
        EntryCase{"Full", 49, "363,00", Entry("363,00", "20.3.2026", "EUR")},
        EntryCase{"NoPaidAmountLine", 48, "363,00", Entry("363,00", "20.3.2026", "EUR")},
        EntryCase{"NoCurrencyLine", 47, "363,00", Entry("363,00", "20.3.2026", "")},
        EntryCase{"NoPaymentDateLine", 46, "363,00", Entry("363,00", "", "")},
        EntryCase{"ShortFileHasEmptyCells", 20, "363,00", Entry("", "", "")},
        EntryCase{"WholeTotal", 49, "1210", Entry("1210,00", "20.3.2026", "EUR")},
        EntryCase{"GroupedTotal", 49, "1 210,00", Entry("1210,00", "20.3.2026", "EUR")},
        EntryCase{"ZeroTotal", 49, "0", Entry("0,00", "20.3.2026", "EUR")},
        EntryCase{"EmptyTotal", 49, "", Entry("0,00", "20.3.2026", "EUR")},
        EntryCase{"NegativeTotal", 49, "-50,5", Entry("-50,50", "20.3.2026", "EUR")},
        EntryCase{"HalfHalerRoundsAway", 49, "1,005", Entry("1,01", "20.3.2026", "EUR")},
        EntryCase{"DecimalPointAsTheOverviewReadsIt", 49, "1210.50",
                  Entry("1210,50", "20.3.2026", "EUR")},
        EntryCase{"CurrencyAfterTheFigure", 49, "1 234,50 CZK",
                  Entry("1234,50", "20.3.2026", "EUR")},
        EntryCase{"BeyondLargestIsEmpty", 49, "1000000000000", Entry("", "20.3.2026", "EUR")},
        EntryCase{"UnreadableTotalIsEmpty", 49, "abc", Entry("", "20.3.2026", "EUR")}),
    [](const ::testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

TEST(ReadInvoiceListEntry, VeryShortFileKeepsItsNumber) {
    TempProgramFolder folder;
    folder.writeBytes(QStringLiteral("2026/Vzor.tvl"), "2026001\r\n");
    InvoiceListEntry expected;
    expected.FileName = QStringLiteral("Vzor.tvl");
    expected.Cislo = QStringLiteral("Vzor");
    EXPECT_EQ(ReadInvoiceListEntry(folder.file(QStringLiteral("2026")), QStringLiteral("Vzor.tvl")),
              expected);
}

TEST(ReadInvoiceListEntry, UnreadableFileKeepsItsNumber) {
    TempProgramFolder folder;
    const InvoiceListEntry entry =
        ReadInvoiceListEntry(folder.file(QStringLiteral("2026")), QStringLiteral("2026007.tvl"));
    EXPECT_EQ(entry.Cislo, QStringLiteral("2026007"));
    EXPECT_TRUE(entry.Datum.isEmpty());
    EXPECT_TRUE(entry.Celkem.isEmpty());
}

TEST(ReadInvoiceListEntry, LoneLineFeedsReadLikeCrLf) {
    TempProgramFolder folder;
    QByteArray lf = InvoiceLines(49);
    lf.replace("\r\n", "\n");
    folder.writeBytes(QStringLiteral("2026/2026001.tvl"), lf);
    EXPECT_EQ(
        ReadInvoiceListEntry(folder.file(QStringLiteral("2026")), QStringLiteral("2026001.tvl")),
        Entry("363,00", "20.3.2026", "EUR"));
}

} // namespace
} // namespace tarvela
