#pragma once

// A stand-in for the print module that hands each report to the real module's PDF entry point
// (the build's libPRM1.so) instead of the preview, for the tests that read the printed page.

#include "printing/module_data_set.h"
#include "printing/print_module.h"
#include "printing/report_data_set.h"
#include "printmodule/prm1_test_support.h"
#include "text/codec.h"

#include <QTest>

#include <utility>

namespace tarvela::test {

// Hands each report to the module's PDF entry point instead of the preview, with the template
// path, title, variables and rows exactly as the window passed them.
class PdfPrintModule final : public PrintModule {
public:
    PdfPrintModule(const QString& pdfPath) : pdfPath_(pdfPath), override_(*this) {}

    int calls = 0;
    int result = 0;
    QString message;

    void runStandardReport(const QString&, const QString& templatePath, const QString& title,
                           const QString& variables, const ReportDataSet& dataSet) override {
        const ModuleDataSet set(dataSet);
        render(templatePath, title, variables, set.get());
    }
    void runPlainReport(const QString&, const QString& templatePath, const QString& title,
                        const QString& variables) override {
        render(templatePath, title, variables, nullptr);
    }
    QString printModuleVersion(const QString&) override { return QString(); }
    bool saveStandardReportPdf(const QString&, const QString& templatePath, const QString& title,
                               const QString& variables, const ReportDataSet& dataSet,
                               const QString& pdfPath) override {
        const ModuleDataSet set(dataSet);
        const QString kept = std::exchange(pdfPath_, pdfPath);
        render(templatePath, title, variables, set.get());
        pdfPath_ = kept;
        return result >= 1;
    }

private:
    void render(const QString& templatePath, const QString& title, const QString& variables,
                const Prm1ReportDataSet* dataSet) {
        ++calls;
        auto toPdf = reinterpret_cast<Prm1SestavaDoPDFFn>(module_.resolve("SestavaDoPDF"));
        QVERIFY2(toPdf, "SestavaDoPDF missing");
        const ModuleText path(templatePath, QStringLiteral("template"));
        const ModuleText titleText(title, QStringLiteral("title"));
        const ModuleText vars(variables, QStringLiteral("variables"));
        const ModuleText pdf(pdfPath_, QStringLiteral("PDF"));
        char buffer[512] = "";
        result = toPdf(path.get(), titleText.get(), vars.get(), dataSet, pdf.get(), buffer,
                       sizeof buffer);
        message = DecodeCp1250(QByteArray(buffer));
    }

    LoadedModule module_;
    QString pdfPath_;
    PrintModuleOverride override_;
};

} // namespace tarvela::test
