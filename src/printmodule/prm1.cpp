// The entry points of the print module. Nothing may leave them as a C++ exception.
#include "prm1.h"

#include "module_text.h"
#include "preview.h"
#include "report_data.h"
#include "report_layout.h"
#include "report_prepare.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>

#include <memory>

#if defined(Q_OS_UNIX)
#include <dlfcn.h>
#endif

namespace tarvela::prm1 {
namespace {

constexpr const char* kVersionLabel = PRM1_VERSION;

// The module runs inside the program's QApplication. A caller without one (a plain C program)
// gets a QGuiApplication (without widgets, lighter to start) for the duration of a PDF.
class GuiApplicationScope {
public:
    GuiApplicationScope() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "PRM1";
            static char* argv[] = {name, nullptr};
            own_ = std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    bool hasGui() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

private:
    std::unique_ptr<QGuiApplication> own_;
};

// The folder this module was loaded from; the program's folder when it cannot be told.
QString ModuleFolder() {
#if defined(Q_OS_UNIX)
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&ModuleFolder), &info) != 0 &&
        info.dli_fname != nullptr)
        return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
#endif
    return QCoreApplication::applicationDirPath();
}

// The preview, from the preview library beside the module (preview.h), which is loaded for the
// call and unloaded after it.
void Preview(const char* templatePath, const char* title, const char* variables,
             const Prm1ReportDataSet* dataSet) {
    try {
        QLibrary library(ModuleFolder() + u'/' + QStringLiteral(PRM1_PREVIEW_LIBRARY));
        const auto entry = library.load()
                               ? reinterpret_cast<PreviewEntryFn>(library.resolve(kPreviewEntry))
                               : nullptr;
        if (entry == nullptr) {
            // Without widgets the module cannot show a message; the program checks that the
            // library is there before it asks for a preview.
            qWarning("PRM1: %s", qPrintable(library.errorString()));
            if (library.isLoaded())
                library.unload();
            return;
        }
        entry(templatePath, title, variables, dataSet);
        library.unload();
    } catch (...) {
        // Nothing can be reported any more; the program must not be torn down by the module.
    }
}

} // namespace
} // namespace tarvela::prm1

using namespace tarvela::prm1;

extern "C" PRM1_API const char* PRM1_CALL OznaceniVerzeDLL(void) {
    return kVersionLabel;
}

extern "C" PRM1_API void PRM1_CALL SestavaStandard(void*, const char* templatePath,
                                                   const char* title, const char* variables,
                                                   int32_t, const Prm1ReportDataSet* dataSet) {
    Preview(templatePath, title, variables, dataSet);
}

extern "C" PRM1_API void PRM1_CALL SestavaNeDB(void*, const char* templatePath, const char* title,
                                               const char* variables, int32_t) {
    Preview(templatePath, title, variables, nullptr);
}

extern "C" PRM1_API int32_t PRM1_CALL SestavaDoPDF(const char* templatePath, const char* title,
                                                   const char* variables,
                                                   const Prm1ReportDataSet* dataSet,
                                                   const char* pdfPath, char* message,
                                                   int32_t messageSize) {
    try {
        GuiApplicationScope application;
        if (!application.hasGui())
            throw ReportError(PRM1_ERROR_ARGUMENTS,
                              QStringLiteral("Sestavu nelze vykreslit bez grafického prostředí."));
        const RenderedReport report = PrepareReport(templatePath, title, variables, dataSet);
        const int pages = WritePdf(report, FromCp1250(pdfPath));
        CopyToBuffer(QString(), message, messageSize);
        return pages;
    } catch (const ReportError& e) {
        CopyToBuffer(e.message(), message, messageSize);
        return e.code();
    } catch (const std::exception& e) {
        CopyToBuffer(QString::fromLocal8Bit(e.what()), message, messageSize);
        return PRM1_ERROR_ARGUMENTS;
    } catch (...) {
        CopyToBuffer(QStringLiteral("Neznámá chyba."), message, messageSize);
        return PRM1_ERROR_ARGUMENTS;
    }
}
