#include "printing/module_data_set.h"

#include "printing/print_variables.h"
#include "printing/report_data_set.h"
#include "text/codec.h"

namespace tarvela {
namespace {

int32_t ColumnTypeCode(ReportDataSet::ColumnType type) {
    switch (type) {
    case ReportDataSet::ColumnType::AutoIncrement:
        return PRM1_COLUMN_AUTOINC;
    case ReportDataSet::ColumnType::Integer:
        return PRM1_COLUMN_INTEGER;
    case ReportDataSet::ColumnType::Text:
        break;
    }
    return PRM1_COLUMN_TEXT;
}

} // namespace

ModuleText::ModuleText(const QString& text, const QString& what)
    : bytes_(EncodeCp1250(text, what)) {}

ModuleDataSet::ModuleDataSet(const ReportDataSet& dataSet) {
    const auto& columns = dataSet.columns();
    // Reserved up front: columns_ points into names_, cells_ into texts_.
    names_.reserve(static_cast<size_t>(columns.size()));
    for (const ReportDataSet::Column& column : columns) {
        names_.push_back(EncodeCp1250(column.name, column.name));
        columns_.push_back(Prm1Column{names_.back().constData(), ColumnTypeCode(column.type),
                                      column.type == ReportDataSet::ColumnType::Text
                                          ? static_cast<int32_t>(column.width)
                                          : 0});
    }
    const size_t cellCount = static_cast<size_t>(dataSet.rowCount()) * columns_.size();
    texts_.reserve(cellCount);
    cells_.reserve(cellCount);
    for (int r = 0; r < dataSet.rowCount(); ++r) {
        const QStringList& row = dataSet.row(r);
        for (qsizetype c = 0; c < columns.size(); ++c) {
            Prm1Cell cell{nullptr, 0};
            if (columns.at(c).type == ReportDataSet::ColumnType::Text) {
                texts_.push_back(
                    EncodeCp1250(row.at(c), PrintVariables::FieldCaption(columns.at(c).name)));
                if (!texts_.back().isEmpty())
                    cell.text = texts_.back().constData();
            } else {
                cell.integer = row.at(c).toLongLong();
            }
            cells_.push_back(cell);
        }
    }
    set_.structSize = sizeof(Prm1ReportDataSet);
    set_.columnCount = static_cast<int32_t>(columns_.size());
    set_.columns = columns_.empty() ? nullptr : columns_.data();
    set_.rowCount = dataSet.rowCount();
    set_.cells = cells_.empty() ? nullptr : cells_.data();
}

} // namespace tarvela
