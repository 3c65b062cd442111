#pragma once

#include "printing/print_module.h"
#include "printing/report_data_set.h"
#include "text/errors.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvela::test {

// What the window handed to the print module in one call.
struct PrintCall {
    bool withRows = false; // RunStandardReport (true) or RunPlainReport
    QString programFolder;
    QString templatePath;
    QString title;
    QString variables;
    bool dataSetOpen = false;
    QList<ReportDataSet::Column> columns;
    QList<QStringList> rows;
    QString pdfPath; // the file of SaveStandardReportPdf, empty for the preview

    // The variables as (name, value) pairs.
    QList<QPair<QString, QString>> pairs() const {
        QList<QPair<QString, QString>> result;
        const QStringList parts = variables.split(QLatin1Char('|'));
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
            result.append({parts[i], parts[i + 1]});
        return result;
    }
    QStringList names() const {
        QStringList result;
        for (const auto& pair : pairs())
            result.append(pair.first);
        return result;
    }
    QString value(const QString& name) const {
        for (const auto& pair : pairs()) {
            if (pair.first == name)
                return pair.second;
        }
        return QStringLiteral("<missing>");
    }
    QString cell(int row, const QString& column) const {
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (columns[c].name == column)
                return rows.at(row).at(c);
        }
        return QStringLiteral("<missing>");
    }
};

// Stands in for the print module: records every call, optionally fails like a module that
// cannot be loaded.
class RecordingPrintModule final : public PrintModule {
public:
    RecordingPrintModule() : override_(*this) {}

    QList<PrintCall> calls;
    std::optional<QString> failWith;

    void runStandardReport(const QString& programFolder, const QString& templatePath,
                           const QString& title, const QString& variables,
                           const ReportDataSet& dataSet) override {
        PrintCall call{true,      programFolder,    templatePath,      title,
                       variables, dataSet.isOpen(), dataSet.columns(), {},
                       {}};
        for (int r = 0; r < dataSet.rowCount(); ++r)
            call.rows.append(dataSet.row(r));
        calls.append(call);
        if (failWith)
            throw TarvelaError(*failWith);
    }
    void runPlainReport(const QString& programFolder, const QString& templatePath,
                        const QString& title, const QString& variables) override {
        calls.append(
            PrintCall{false, programFolder, templatePath, title, variables, false, {}, {}, {}});
        if (failWith)
            throw TarvelaError(*failWith);
    }
    QString printModuleVersion(const QString&) override { return QStringLiteral("test"); }
    // Records the call like a report with rows; writes no file.
    bool saveStandardReportPdf(const QString& programFolder, const QString& templatePath,
                               const QString& title, const QString& variables,
                               const ReportDataSet& dataSet, const QString& pdfPath) override {
        runStandardReport(programFolder, templatePath, title, variables, dataSet);
        calls.last().pdfPath = pdfPath;
        return true;
    }

private:
    PrintModuleOverride override_;
};

} // namespace tarvela::test
