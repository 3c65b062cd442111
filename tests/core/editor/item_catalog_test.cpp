#include "editor/item_catalog.h"
#include "support/sample_invoices.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace tarvela;
using namespace tarvela::test;

namespace {

class ItemCatalogTest : public ::testing::Test {
protected:
    TempProgramFolder folder;
    QString period() const { return folder.path() + QStringLiteral("2025"); }
};

} // namespace

TEST_F(ItemCatalogTest, FirstOccurrenceOfACodeWinsRowsWithoutCodeAreNeverMerged) {
    WriteInvoice(folder, "2025/2025001.tvl",
                 InvoiceLines("2025001", {"K1|Oprava stroje|h|2|150|21|", "|Doprava|km|10|12,5|21|",
                                          "||||||", "X9||ks|1|5|0|"}));
    WriteInvoice(folder, "2025/2025002.tvl",
                 InvoiceLines("2025002", {"k1|Jiný popis|ks|1|99|15|", "|Doprava|km|3|12,5|21|",
                                          "K2|Materiál|kg|1|150,5|10|"}));
    const ItemCatalog catalog = LoadItemCatalog(period());
    const ItemCatalog expected{
        {"K1", "Oprava stroje", "h", "150,00", "21"},
        {"", "Doprava", "km", "12,5", "21"},
        {"", "Doprava", "km", "12,5", "21"},
        {"K2", "Materiál", "kg", "150,5", "10"},
    };
    EXPECT_EQ(catalog, expected);
}

TEST_F(ItemCatalogTest, FilesAreReadInNameOrderWithoutRegardToCase) {
    WriteInvoice(folder, "2025/b.TVL", InvoiceLines("b", {"|Druhý|||1||"}));
    WriteInvoice(folder, "2025/A.tvl", InvoiceLines("A", {"|První|||1||"}));
    WriteInvoice(folder, "2025/c.tvl", InvoiceLines("c", {"|Třetí|||1||"}));
    folder.writeBytes("2025/poznamka.txt", "x|Nepatří sem|||||\r\n");
    const ItemCatalog catalog = LoadItemCatalog(period());
    ASSERT_EQ(catalog.size(), 3);
    EXPECT_EQ(catalog[0].Dodavka, QStringLiteral("První"));
    EXPECT_EQ(catalog[1].Dodavka, QStringLiteral("Druhý"));
    EXPECT_EQ(catalog[2].Dodavka, QStringLiteral("Třetí"));
}

TEST_F(ItemCatalogTest, ShortFilesAndShortItemLinesAreReadAsFarAsTheyGo) {
    // A file that ends after its second item line, whose lines lack cells, and a normal file
    // after it: nothing stops half-way.
    QStringList shortFile = InvoiceLines("2025001", {"A1|Jen popis", "Bez oddělovače"});
    shortFile = shortFile.mid(0, 20);
    WriteInvoice(folder, "2025/2025001.tvl", shortFile);
    WriteInvoice(folder, "2025/2025002.tvl", InvoiceLines("2025002", {"B1|Celý|ks|1|7|21|"}));
    folder.writeBytes("2025/2025003.tvl", QByteArray()); // an empty file
    const ItemCatalog catalog = LoadItemCatalog(period());
    const ItemCatalog expected{
        {"A1", "Jen popis", "", "", ""},
        {"B1", "Celý", "ks", "7,00", "21"},
    };
    EXPECT_EQ(catalog, expected);
}

TEST_F(ItemCatalogTest, EmptyOrMissingPeriodListsNothing) {
    EXPECT_TRUE(LoadItemCatalog(period()).isEmpty());
    folder.writeBytes("2025/.keep", "");
    EXPECT_TRUE(LoadItemCatalog(period()).isEmpty());
}

TEST_F(ItemCatalogTest, RunsTheEventHookAfterEveryFile) {
    for (int i = 1; i <= 4; ++i)
        WriteInvoice(folder, QStringLiteral("2025/202500%1.tvl").arg(i), InvoiceLines("x", {}));
    int calls = 0;
    LoadItemCatalog(period(), [&] { ++calls; });
    EXPECT_EQ(calls, 4);
}

TEST(ItemCatalogFilter, MatchesCodeOrDescriptionWithoutRegardToCaseInCzech) {
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    struct Case {
        ItemCatalogEntry entry;
        const char* filter;
        bool matches;
    };
    const Case cases[] = {
        {{"", "Oprava stroje", "", "", ""}, "oprav", true},
        {{"", "OPRAVA", "", "", ""}, "oprav", true},
        {{"oprav-1", "Materiál", "", "", ""}, "oprav", true},
        {{"X", "Doprava", "", "", ""}, "oprava stroje", false},
        {{"", "ČERPADLO", "", "", ""}, "čerp", true},
        {{"ŠR-1", "Šroub", "", "", ""}, "šr-", true},
        {{"", "Montáž", "", "", ""}, "", true},
        {{"", "Montáž", "", "", ""}, "oprav", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ItemMatchesFilter(c.entry, FilterLowerCase(QString::fromUtf8(c.filter))),
                  c.matches)
            << c.entry.Dodavka.toStdString() << " / " << c.filter;
    }
    EXPECT_EQ(FilterLowerCase(QStringLiteral("ČŘŽ")), QStringLiteral("čřž"));
}
