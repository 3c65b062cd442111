#include "report_data.h"

#include "module_text.h"

namespace tarvela::prm1 {

QList<Variable> ParseVariables(const QString& text) {
    QList<Variable> out;
    if (text.isEmpty())
        return out;
    const QStringList parts = text.split(u'|');
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString value = i + 1 < parts.size() ? parts.at(i + 1) : QString();
        out.append(Variable{parts.at(i).trimmed(), value});
    }
    return out;
}

int ReportTable::columnIndex(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).name == name)
            return i;
    }
    return -1;
}

bool ReportTable::isBlankRow(int row) const {
    const QStringList& cells = rows.at(row);
    for (int c = 0; c < columns.size(); ++c) {
        if (!columns.at(c).isInteger() && !cells.at(c).trimmed().isEmpty())
            return false;
    }
    return true;
}

std::optional<QString> ReportTable::sumOfRows(int column, const QList<int>& chosen) const {
    if (column < 0 || column >= columns.size())
        return std::nullopt;
    // The decimals come from the whole column, so that sums over parts of it look alike.
    int decimals = 0;
    for (const QStringList& cells : rows) {
        const QString& cell = cells.at(column);
        if (cell.trimmed().isEmpty())
            continue;
        const std::optional<Decimal> number = ParseNumber(cell);
        if (!number)
            return std::nullopt;
        decimals = std::max(decimals, number->decimals);
    }
    Decimal total{0, decimals};
    for (int r : chosen) {
        std::optional<Decimal> number = ParseNumber(rows.at(r).at(column));
        if (!number)
            continue; // blank
        if (!Rescale(*number, decimals) ||
            __builtin_add_overflow(total.units, number->units, &total.units))
            return std::nullopt;
    }
    return FormatNumber(total);
}

ReportTable ReadDataSet(const Prm1ReportDataSet& dataSet) {
    const auto bad = [](const QString& what) {
        return ReportError(PRM1_ERROR_ARGUMENTS, QStringLiteral("Chybná data sestavy: ") + what);
    };
    if (dataSet.structSize < sizeof(Prm1ReportDataSet))
        throw bad(QStringLiteral("neznámá velikost struktury."));
    if (dataSet.columnCount < 0 || dataSet.rowCount < 0)
        throw bad(QStringLiteral("záporný počet sloupců nebo řádků."));
    if ((dataSet.columnCount > 0 && dataSet.columns == nullptr) ||
        (dataSet.columnCount > 0 && dataSet.rowCount > 0 && dataSet.cells == nullptr))
        throw bad(QStringLiteral("chybí sloupce nebo buňky."));

    ReportTable table;
    for (int c = 0; c < dataSet.columnCount; ++c) {
        const Prm1Column& column = dataSet.columns[c];
        if (column.name == nullptr)
            throw bad(QStringLiteral("sloupec %1 nemá jméno.").arg(c + 1));
        if (column.type != PRM1_COLUMN_AUTOINC && column.type != PRM1_COLUMN_INTEGER &&
            column.type != PRM1_COLUMN_TEXT)
            throw bad(QStringLiteral("sloupec %1 má neznámý typ.").arg(FromCp1250(column.name)));
        table.columns.append(TableColumn{FromCp1250(column.name).trimmed(), column.type,
                                         column.type == PRM1_COLUMN_TEXT ? column.width : 0});
    }
    table.rows.reserve(dataSet.rowCount);
    for (qint64 r = 0; r < dataSet.rowCount; ++r) {
        QStringList cells;
        cells.reserve(dataSet.columnCount);
        for (int c = 0; c < dataSet.columnCount; ++c) {
            const Prm1Cell& cell = dataSet.cells[r * dataSet.columnCount + c];
            cells.append(table.columns.at(c).isInteger() ? QString::number(cell.integer)
                                                         : FromCp1250(cell.text));
        }
        table.rows.append(cells);
    }
    return table;
}

} // namespace tarvela::prm1
