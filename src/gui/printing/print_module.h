#pragma once

#include <QString>

namespace tarvela {

class ReportDataSet;

// The print module: the shared library PRM1 beside the program, which renders a report template
// with the variables (and rows) it is given and shows the print preview. The program loads it
// from its folder for each call and unloads it afterwards, so a module replaced while the program
// runs is picked up by the next report.
//
// Every report goes through the program operations below, which hand it to the current
// PrintModule: the library itself, or a recording stand-in while a test installs one.

// The file name of the module on this platform ("libPRM1.so", "PRM1.dll").
QString PrintModuleFileName();
// The file name of the module's preview library beside it ("libPRM1ui.so", "PRM1ui.dll"), which
// the module loads for a preview only: a preview needs both.
QString PrintPreviewLibraryFileName();

class PrintModule {
public:
    virtual ~PrintModule() = default;

    // A report with rows. The data set must stay as it is until the call returns.
    virtual void runStandardReport(const QString& programFolder, const QString& templatePath,
                                   const QString& title, const QString& variables,
                                   const ReportDataSet& dataSet) = 0;
    // A report without rows.
    virtual void runPlainReport(const QString& programFolder, const QString& templatePath,
                                const QString& title, const QString& variables) = 0;
    // The module's version label; empty (after telling the user) when it cannot be had.
    virtual QString printModuleVersion(const QString& programFolder) = 0;
    // A report with rows written to the PDF file pdfPath (A4, the pages the preview shows)
    // without showing anything. False (after telling the user) when the module or the template
    // is missing; a PDF the module cannot write raises TarvelaError with its message.
    virtual bool saveStandardReportPdf(const QString& programFolder, const QString& templatePath,
                                       const QString& title, const QString& variables,
                                       const ReportDataSet& dataSet, const QString& pdfPath) = 0;
};

// The module loaded from the program folder.
//
// A report: when the module file is missing, the warning "Nebyl nalezen modul tisku."
// (caption "Upozornění"); when the template is missing, "Sestavu nelze spustit, nebyl nalezen
// soubor předlohy "<path>"." (caption "Upozornění"); when the library does not load, TarvelaError
// "Nelze načíst DLL!" for the error box; when the entry point is missing, "Knihovna neobsahuje
// požadovanou proceduru!". Texts are handed over in Windows-1250; a text that code page cannot
// hold raises EncodingError before anything is loaded. The library is unloaded in every case.
class LibraryPrintModule final : public PrintModule {
public:
    void runStandardReport(const QString& programFolder, const QString& templatePath,
                           const QString& title, const QString& variables,
                           const ReportDataSet& dataSet) override;
    void runPlainReport(const QString& programFolder, const QString& templatePath,
                        const QString& title, const QString& variables) override;
    QString printModuleVersion(const QString& programFolder) override;
    bool saveStandardReportPdf(const QString& programFolder, const QString& templatePath,
                               const QString& title, const QString& variables,
                               const ReportDataSet& dataSet, const QString& pdfPath) override;
};

// The module in use: the library, unless a test has put a stand-in in its place.
PrintModule& CurrentPrintModule();

// Test seam: while an instance lives, every report goes to `module` instead of the library.
// Instances nest; the innermost one wins.
class PrintModuleOverride {
public:
    explicit PrintModuleOverride(PrintModule& module);
    ~PrintModuleOverride();
    PrintModuleOverride(const PrintModuleOverride&) = delete;
    PrintModuleOverride& operator=(const PrintModuleOverride&) = delete;

private:
    PrintModule* previous_;
};

// The program operations. programFolder ends with the path separator; templatePath is the full
// path of the template.
void RunStandardReport(const QString& programFolder, const QString& templatePath,
                       const QString& title, const QString& variables,
                       const ReportDataSet& dataSet);
void RunPlainReport(const QString& programFolder, const QString& templatePath, const QString& title,
                    const QString& variables);
QString GetPrintModuleVersion(const QString& programFolder);
bool SaveStandardReportPdf(const QString& programFolder, const QString& templatePath,
                           const QString& title, const QString& variables,
                           const ReportDataSet& dataSet, const QString& pdfPath);

} // namespace tarvela
