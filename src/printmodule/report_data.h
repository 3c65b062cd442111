#pragma once

#include "prm1.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

// What a report is made of, once read from the C arguments: the variables and the rows.
namespace tarvela::prm1 {

// A failure of the module, with the Czech text shown to the user or returned to the caller.
class ReportError : public std::runtime_error {
public:
    ReportError(int code, const QString& message)
        : std::runtime_error(message.toStdString()), code_(code), message_(message) {}
    int code() const { return code_; }
    const QString& message() const { return message_; }

private:
    int code_;
    QString message_;
};

struct Variable {
    QString name;
    QString value;
};

// Splits "name|value|name|value" into its pairs, in order. A trailing name without a value gets
// the empty value; an empty text gives no pairs. Names are trimmed; values are kept as they are.
QList<Variable> ParseVariables(const QString& text);

struct TableColumn {
    QString name;
    int type = PRM1_COLUMN_TEXT;
    int width = 0;
    bool isInteger() const { return type != PRM1_COLUMN_TEXT; }
};

// The rows of a data set; integer cells are held as decimal text.
struct ReportTable {
    QList<TableColumn> columns;
    QList<QStringList> rows;

    int columnIndex(const QString& name) const; // -1 when there is none
    // True when every text cell of the row is blank (integer columns are not looked at).
    bool isBlankRow(int row) const;

    // The sum of a column over the rows that `keep` accepts, written with the column's
    // decimals: the most decimals any of its cells has. No value when the column holds a
    // non-blank cell that is not a number, or when the sum overflows. Blank cells count as 0.
    template <class Keep> std::optional<QString> sum(int column, Keep keep) const;
    std::optional<QString> sum(int column) const {
        return sum(column, [](int) { return true; });
    }

private:
    std::optional<QString> sumOfRows(int column, const QList<int>& rows) const;
};

// Reads the C data set. Raises ReportError (PRM1_ERROR_ARGUMENTS) for a malformed structure.
ReportTable ReadDataSet(const Prm1ReportDataSet& dataSet);

template <class Keep> std::optional<QString> ReportTable::sum(int column, Keep keep) const {
    QList<int> chosen;
    for (int r = 0; r < rows.size(); ++r) {
        if (keep(r))
            chosen.append(r);
    }
    return sumOfRows(column, chosen);
}

} // namespace tarvela::prm1
