#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tarvela {

// An in-memory table of named, typed columns that a report fills row by row and hands to the
// print module. Each report makes its own: it defines its columns, creates it empty and opens
// it, appends its rows, and afterwards (ReportDataSetCleanup) clears the column definitions and
// closes it again.
class ReportDataSet {
public:
    enum class ColumnType {
        AutoIncrement, // integer row key; the reports set it explicitly
        Integer,       // 32-bit signed integer, held as decimal text
        Text           // text of a fixed width; longer texts are cut to the width
    };

    struct Column {
        QString name;
        ColumnType type = ColumnType::Text;
        int width = 0; // characters, for Text columns only

        bool operator==(const Column&) const = default;
    };

    // Adds a column definition. Only while the data set is closed.
    void addColumn(const QString& name, ColumnType type, int width = 0);
    // Drops every column definition and every row. Only while the data set is closed.
    void clearColumns();

    // Creates the table empty from the column definitions and opens it.
    void createAndOpen();
    // Closes the table; its rows stay readable until the columns are cleared or it is created
    // anew.
    void close();
    bool isOpen() const { return open_; }

    // Appends one record and posts it: one value per column, in column order. Text values are
    // cut to their column's width; integer values must be decimal text (an empty value is
    // stored as "0"). Only while open.
    void appendRow(const QStringList& values);

    const QList<Column>& columns() const { return columns_; }
    int columnIndex(const QString& name) const; // -1 when there is no such column
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const QStringList& row(int index) const { return rows_.at(index); }
    // The value of a row (0-based) and a named column; raises std::out_of_range for a wrong name.
    QString value(int row, const QString& column) const;

private:
    QList<Column> columns_;
    QList<QStringList> rows_;
    bool open_ = false;
};

// Clears the column definitions and closes the data set when it goes out of scope, so a report
// leaves it clean also when one of its steps failed.
class ReportDataSetCleanup {
public:
    explicit ReportDataSetCleanup(ReportDataSet& dataSet) : dataSet_(dataSet) {}
    ~ReportDataSetCleanup();
    ReportDataSetCleanup(const ReportDataSetCleanup&) = delete;
    ReportDataSetCleanup& operator=(const ReportDataSetCleanup&) = delete;

private:
    ReportDataSet& dataSet_;
};

} // namespace tarvela
