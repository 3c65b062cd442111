#include "printing/print_module.h"

#include "printing/module_data_set.h"
#include "printmodule/prm1.h"
#include "text/codec.h"
#include "text/errors.h"
#include "text/message_boxes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace tarvela {
namespace {

const QString kCaptionWarning = QStringLiteral("Upozornění");
const QString kModuleMissing = QStringLiteral("Nebyl nalezen modul tisku.");
const QString kCannotLoad = QStringLiteral("Nelze načíst DLL!");
const QString kNoProcedure = QStringLiteral("Knihovna neobsahuje požadovanou proceduru!");

PrintModule* gOverride = nullptr;

// The library, unloaded when this goes out of scope whatever happened meanwhile.
class ScopedLibrary {
public:
    explicit ScopedLibrary(const QString& programFolder)
        : library_(programFolder + PrintModuleFileName()) {}
    ~ScopedLibrary() {
        if (library_.isLoaded())
            library_.unload();
    }
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;

    bool load() { return library_.load(); }
    QFunctionPointer resolve(const char* name) { return library_.resolve(name); }

private:
    QLibrary library_;
};

// Checks 1 and 2 of a report: false (after telling the user) when the module or the template is
// missing.
bool ModuleAndTemplateExist(const QString& programFolder, const QString& templatePath) {
    if (!QFileInfo::exists(programFolder + PrintModuleFileName())) {
        ShowWarning(kCaptionWarning, kModuleMissing);
        return false;
    }
    if (!QFileInfo::exists(templatePath)) {
        ShowInfoCaption(kCaptionWarning,
                        QStringLiteral("Sestavu nelze spustit, nebyl nalezen soubor předlohy \"") +
                            templatePath + QStringLiteral("\"."));
        return false;
    }
    return true;
}

void* ApplicationObject() {
    return QCoreApplication::instance();
}

// The module shows a preview with its preview library beside it, and cannot say so itself when
// that is missing: false (after telling the user) then.
bool PreviewLibraryExists(const QString& programFolder) {
    if (QFileInfo::exists(programFolder + PrintPreviewLibraryFileName()))
        return true;
    ShowWarning(kCaptionWarning, kModuleMissing);
    return false;
}

} // namespace

QString PrintModuleFileName() {
#if defined(Q_OS_WIN)
    return QStringLiteral("PRM1.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libPRM1.dylib");
#else
    return QStringLiteral("libPRM1.so");
#endif
}

QString PrintPreviewLibraryFileName() {
    return QStringLiteral(PRM1_PREVIEW_LIBRARY);
}

void LibraryPrintModule::runStandardReport(const QString& programFolder,
                                           const QString& templatePath, const QString& title,
                                           const QString& variables, const ReportDataSet& dataSet) {
    if (!ModuleAndTemplateExist(programFolder, templatePath))
        return;
    const ModuleText path(templatePath, QStringLiteral("Předloha sestavy"));
    const ModuleText name(title, QStringLiteral("Název sestavy"));
    const ModuleText values(variables, QStringLiteral("Údaje sestavy"));
    const ModuleDataSet rows(dataSet);

    ScopedLibrary library(programFolder);
    if (!library.load())
        throw TarvelaError(kCannotLoad);
    const auto entry = reinterpret_cast<Prm1SestavaStandardFn>(library.resolve("SestavaStandard"));
    if (entry == nullptr) {
        ShowInfo(kNoProcedure);
        return;
    }
    if (!PreviewLibraryExists(programFolder))
        return;
    entry(ApplicationObject(), path.get(), name.get(), values.get(), PRM1_MODE_PREVIEW, rows.get());
}

void LibraryPrintModule::runPlainReport(const QString& programFolder, const QString& templatePath,
                                        const QString& title, const QString& variables) {
    if (!ModuleAndTemplateExist(programFolder, templatePath))
        return;
    const ModuleText path(templatePath, QStringLiteral("Předloha sestavy"));
    const ModuleText name(title, QStringLiteral("Název sestavy"));
    const ModuleText values(variables, QStringLiteral("Údaje sestavy"));

    ScopedLibrary library(programFolder);
    if (!library.load())
        throw TarvelaError(kCannotLoad);
    const auto entry = reinterpret_cast<Prm1SestavaNeDBFn>(library.resolve("SestavaNeDB"));
    if (entry == nullptr) {
        ShowInfo(kNoProcedure);
        return;
    }
    if (!PreviewLibraryExists(programFolder))
        return;
    entry(ApplicationObject(), path.get(), name.get(), values.get(), PRM1_MODE_PREVIEW);
}

QString LibraryPrintModule::printModuleVersion(const QString& programFolder) {
    ScopedLibrary library(programFolder);
    if (!library.load()) {
        ShowInfo(kCannotLoad);
        return QString();
    }
    const auto entry =
        reinterpret_cast<Prm1OznaceniVerzeDLLFn>(library.resolve("OznaceniVerzeDLL"));
    if (entry == nullptr) {
        ShowInfo(kNoProcedure);
        return QString();
    }
    const char* label = entry();
    // Copied before the library goes away with the text.
    return label == nullptr ? QString() : DecodeCp1250(QByteArray(label));
}

bool LibraryPrintModule::saveStandardReportPdf(const QString& programFolder,
                                               const QString& templatePath, const QString& title,
                                               const QString& variables,
                                               const ReportDataSet& dataSet,
                                               const QString& pdfPath) {
    if (!ModuleAndTemplateExist(programFolder, templatePath))
        return false;
    const ModuleText path(templatePath, QStringLiteral("Předloha sestavy"));
    const ModuleText name(title, QStringLiteral("Název sestavy"));
    const ModuleText values(variables, QStringLiteral("Údaje sestavy"));
    const ModuleText pdf(pdfPath, QStringLiteral("Soubor PDF"));
    const ModuleDataSet rows(dataSet);

    ScopedLibrary library(programFolder);
    if (!library.load())
        throw TarvelaError(kCannotLoad);
    const auto entry = reinterpret_cast<Prm1SestavaDoPDFFn>(library.resolve("SestavaDoPDF"));
    if (entry == nullptr) {
        ShowInfo(kNoProcedure);
        return false;
    }
    char message[512] = "";
    const int32_t pages = entry(path.get(), name.get(), values.get(), rows.get(), pdf.get(),
                                message, static_cast<int32_t>(sizeof message));
    if (pages < 1)
        throw TarvelaError(QStringLiteral("Dokument nelze uložit jako PDF: ") +
                           DecodeCp1250(QByteArray(message)));
    return true;
}

PrintModule& CurrentPrintModule() {
    static LibraryPrintModule library;
    return gOverride != nullptr ? *gOverride : library;
}

PrintModuleOverride::PrintModuleOverride(PrintModule& module) : previous_(gOverride) {
    gOverride = &module;
}

PrintModuleOverride::~PrintModuleOverride() {
    gOverride = previous_;
}

void RunStandardReport(const QString& programFolder, const QString& templatePath,
                       const QString& title, const QString& variables,
                       const ReportDataSet& dataSet) {
    CurrentPrintModule().runStandardReport(programFolder, templatePath, title, variables, dataSet);
}

void RunPlainReport(const QString& programFolder, const QString& templatePath, const QString& title,
                    const QString& variables) {
    CurrentPrintModule().runPlainReport(programFolder, templatePath, title, variables);
}

bool SaveStandardReportPdf(const QString& programFolder, const QString& templatePath,
                           const QString& title, const QString& variables,
                           const ReportDataSet& dataSet, const QString& pdfPath) {
    return CurrentPrintModule().saveStandardReportPdf(programFolder, templatePath, title, variables,
                                                      dataSet, pdfPath);
}

QString GetPrintModuleVersion(const QString& programFolder) {
    return CurrentPrintModule().printModuleVersion(programFolder);
}

} // namespace tarvela
