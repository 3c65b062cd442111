#include "printing/report_data_set.h"

#include "printing/module_data_set.h"
#include "text/errors.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvela {
namespace {

using Type = ReportDataSet::ColumnType;

TEST(ReportDataSet, LifecycleOfOneReport) {
    ReportDataSet dataSet;
    dataSet.addColumn("Id", Type::AutoIncrement);
    dataSet.addColumn("Mena", Type::Text, 3);
    dataSet.addColumn("Castka", Type::Integer);
    EXPECT_THROW(dataSet.appendRow({"1", "CZK", "5"}), std::logic_error); // not open yet
    dataSet.createAndOpen();
    EXPECT_THROW(dataSet.addColumn("X", Type::Text, 1), std::logic_error);
    dataSet.appendRow({"1", "CZKX", ""});
    dataSet.appendRow({"2", "EUR", "-15"});
    EXPECT_THROW(dataSet.appendRow({"3", "EUR"}), std::logic_error);
    EXPECT_THROW(dataSet.appendRow({"3", "EUR", "12,5"}), std::logic_error);
    ASSERT_EQ(dataSet.rowCount(), 2);
    EXPECT_EQ(dataSet.row(0), QStringList({"1", "CZK", "0"}));
    EXPECT_EQ(dataSet.value(1, "Castka"), "-15");
    EXPECT_THROW(dataSet.value(1, "Nic"), std::out_of_range);

    { ReportDataSetCleanup cleanup(dataSet); }
    EXPECT_FALSE(dataSet.isOpen());
    EXPECT_TRUE(dataSet.columns().isEmpty());
    EXPECT_EQ(dataSet.rowCount(), 0);
}

TEST(ReportDataSet, CleanupRunsWhenAStepFails) {
    ReportDataSet dataSet;
    try {
        ReportDataSetCleanup cleanup(dataSet);
        dataSet.addColumn("Id", Type::AutoIncrement);
        dataSet.createAndOpen();
        throw std::runtime_error("step failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(dataSet.isOpen());
    EXPECT_TRUE(dataSet.columns().isEmpty());
}

// The C form handed to the print module: one cell per row and column, row by row; texts in
// Windows-1250 with a null pointer for an empty one; integers as numbers; widths of texts only.
TEST(ModuleDataSet, HoldsTheRowsAsTheModuleReadsThem) {
    ReportDataSet dataSet;
    dataSet.addColumn("Id", Type::AutoIncrement);
    dataSet.addColumn("Název", Type::Text, 10);
    dataSet.addColumn("Částka", Type::Integer);
    dataSet.createAndOpen();
    dataSet.appendRow({"1", "Žluťoučký kůň", "-15"});
    dataSet.appendRow({"2", "", "2147483647"});

    const ModuleDataSet module(dataSet);
    const Prm1ReportDataSet& set = *module.get();
    EXPECT_EQ(set.structSize, sizeof(Prm1ReportDataSet));
    ASSERT_EQ(set.columnCount, 3);
    ASSERT_EQ(set.rowCount, 2);
    EXPECT_STREQ(set.columns[0].name, "Id");
    EXPECT_EQ(set.columns[0].type, PRM1_COLUMN_AUTOINC);
    EXPECT_EQ(set.columns[0].width, 0);
    EXPECT_STREQ(set.columns[1].name, "N\xe1zev");
    EXPECT_EQ(set.columns[1].type, PRM1_COLUMN_TEXT);
    EXPECT_EQ(set.columns[1].width, 10);
    EXPECT_STREQ(set.columns[2].name, "\xc8\xe1stka");
    EXPECT_EQ(set.columns[2].type, PRM1_COLUMN_INTEGER);
    EXPECT_EQ(set.columns[2].width, 0);

    EXPECT_EQ(set.cells[0].integer, 1);
    EXPECT_STREQ(set.cells[1].text, "\x8elu\x9dou\xe8k\xfd "); // cut to the width of 10
    EXPECT_EQ(set.cells[2].integer, -15);
    EXPECT_EQ(set.cells[3].integer, 2);
    EXPECT_EQ(set.cells[4].text, nullptr);
    EXPECT_EQ(set.cells[5].integer, 2147483647);
}

TEST(ModuleDataSet, EmptyAndUnencodable) {
    ReportDataSet dataSet;
    const ModuleDataSet none(dataSet);
    EXPECT_EQ(none.get()->columnCount, 0);
    EXPECT_EQ(none.get()->columns, nullptr);
    EXPECT_EQ(none.get()->cells, nullptr);

    dataSet.addColumn("Popis", Type::Text, 20);
    dataSet.createAndOpen();
    dataSet.appendRow({QStringLiteral("cena 5 \u20ac \u4e2d")}); // euro sign yes, CJK no
    try {
        const ModuleDataSet refused(dataSet);
        ADD_FAILURE() << "a text outside Windows-1250 reached the module";
    } catch (const EncodingError& error) {
        EXPECT_TRUE(error.message().contains("Popis")) << error.message().toStdString();
    }

    EXPECT_EQ(ModuleText(QString(), "x").get(), nullptr);
    EXPECT_STREQ(ModuleText(QStringLiteral("P\u0159\u00edjem"), "x").get(), "P\xf8\xedjem");
    EXPECT_THROW(ModuleText(QStringLiteral("\u4e2d"), "x"), EncodingError);
}

} // namespace
} // namespace tarvela
