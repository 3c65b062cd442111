// The entry points of the print module. Nothing may leave them as a C++ exception.
#include "prm1.h"

#include "module_text.h"
#include "preview.h"
#include "report_data.h"
#include "report_layout.h"
#include "template_render.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>

namespace tarvela::prm1 {
namespace {

constexpr const char* kVersionLabel = PRM1_VERSION;

// The module runs inside the program's QApplication. A caller without one (a plain C program)
// gets one for the duration of the call: with widgets for the preview, without them (lighter to
// start) for a PDF.
class ApplicationScope {
public:
    explicit ApplicationScope(bool widgets = true) {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "PRM1";
            static char* argv[] = {name, nullptr};
            if (widgets)
                own_ = std::make_unique<QApplication>(argc, argv);
            else
                own_ = std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    bool hasWidgets() const { return qobject_cast<QApplication*>(QCoreApplication::instance()); }
    bool hasGui() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

private:
    std::unique_ptr<QCoreApplication> own_;
};

RenderedReport Prepare(const char* templatePath, const char* title, const char* variables,
                       const Prm1ReportDataSet* dataSet) {
    const QString path = FromCp1250(templatePath);
    if (path.isEmpty())
        throw ReportError(PRM1_ERROR_TEMPLATE_UNREADABLE,
                          QStringLiteral("Nebyla zadána předloha sestavy."));
    const QList<Variable> pairs = ParseVariables(FromCp1250(variables));
    const ReportTable table = dataSet != nullptr ? ReadDataSet(*dataSet) : ReportTable();
    RenderedReport report;
    report.title = FromCp1250(title);
    report.templateName = QFileInfo(path).fileName();
    report.resourceFolder = QFileInfo(path).absolutePath();
    report.html = RenderTemplate(ReadTemplateFile(path), pairs, table, path);
    for (const Variable& v : pairs) {
        if (v.name == QLatin1String("QRCode"))
            report.qrText = v.value.trimmed();
        else if (v.name == QLatin1String("NazevSouboru"))
            report.fileName = v.value.trimmed();
        else if (v.name == QLatin1String("QRDuvod"))
            report.qrReason = v.value.trimmed();
    }
    return report;
}

void Preview(const char* templatePath, const char* title, const char* variables,
             const Prm1ReportDataSet* dataSet) {
    try {
        ApplicationScope application;
        if (!application.hasWidgets())
            return; // a process without widgets cannot show a preview
        try {
            ShowPreview(Prepare(templatePath, title, variables, dataSet));
        } catch (const ReportError& e) {
            QMessageBox::warning(ModuleParentWindow(), QStringLiteral("Upozornění"), e.message());
        } catch (const std::exception& e) {
            QMessageBox::warning(
                ModuleParentWindow(), QStringLiteral("Upozornění"),
                QStringLiteral("Sestavu nelze zobrazit: %1").arg(QString::fromLocal8Bit(e.what())));
        }
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
        ApplicationScope application(false);
        if (!application.hasGui())
            throw ReportError(PRM1_ERROR_ARGUMENTS,
                              QStringLiteral("Sestavu nelze vykreslit bez grafického prostředí."));
        const RenderedReport report = Prepare(templatePath, title, variables, dataSet);
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
