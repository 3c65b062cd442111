#include "printing/report_data_set.h"

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

} // namespace
} // namespace tarvela
