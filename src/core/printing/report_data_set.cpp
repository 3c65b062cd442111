#include "printing/report_data_set.h"

#include <stdexcept>

namespace tarvela {

void ReportDataSet::addColumn(const QString& name, ColumnType type, int width) {
    if (open_)
        throw std::logic_error("ReportDataSet: columns cannot change while the data set is open");
    columns_.append(Column{name, type, type == ColumnType::Text ? width : 0});
}

void ReportDataSet::clearColumns() {
    if (open_)
        throw std::logic_error("ReportDataSet: columns cannot change while the data set is open");
    columns_.clear();
    rows_.clear();
}

void ReportDataSet::createAndOpen() {
    rows_.clear();
    open_ = true;
}

void ReportDataSet::close() {
    open_ = false;
}

void ReportDataSet::appendRow(const QStringList& values) {
    if (!open_)
        throw std::logic_error("ReportDataSet: append to a closed data set");
    if (values.size() != columns_.size())
        throw std::logic_error("ReportDataSet: wrong number of values");
    QStringList row;
    row.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        const Column& column = columns_.at(i);
        switch (column.type) {
        case ColumnType::Text:
            // Each cell goes to the module as a text of its own ending at a NUL: one inside
            // would cut the cell short, so it shows as a space.
            row.append(
                QString(values.at(i)).replace(QChar(0), QLatin1Char(' ')).left(column.width));
            break;
        case ColumnType::AutoIncrement:
        case ColumnType::Integer: {
            bool ok = false;
            const qint64 number = values.at(i).isEmpty() ? 0 : values.at(i).toLongLong(&ok);
            if (!values.at(i).isEmpty() && !ok)
                throw std::logic_error("ReportDataSet: integer column given a non-number");
            row.append(QString::number(number));
            break;
        }
        }
    }
    rows_.append(row);
}

int ReportDataSet::columnIndex(const QString& name) const {
    for (qsizetype i = 0; i < columns_.size(); ++i) {
        if (columns_.at(i).name == name)
            return static_cast<int>(i);
    }
    return -1;
}

QString ReportDataSet::value(int row, const QString& column) const {
    const int index = columnIndex(column);
    if (index < 0)
        throw std::out_of_range("ReportDataSet: no such column");
    return rows_.at(row).at(index);
}

ReportDataSetCleanup::~ReportDataSetCleanup() {
    dataSet_.close();
    dataSet_.clearColumns();
}

} // namespace tarvela
