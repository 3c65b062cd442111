// The preview library of the print module (preview.h): the preview window and the printer, loaded
// by the module for a preview only.
#include "preview.h"
#include "report_data.h"
#include "report_prepare.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

namespace tarvela::prm1 {
namespace {

// The module runs inside the program's QApplication. A caller without one (a plain C program)
// gets one for the duration of the call.
class WidgetsApplicationScope {
public:
    WidgetsApplicationScope() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "PRM1";
            static char* argv[] = {name, nullptr};
            own_ = std::make_unique<QApplication>(argc, argv);
        }
    }
    bool hasWidgets() const { return qobject_cast<QApplication*>(QCoreApplication::instance()); }

private:
    std::unique_ptr<QApplication> own_;
};

} // namespace
} // namespace tarvela::prm1

using namespace tarvela::prm1;

#if defined(_WIN32)
#define PRM1UI_API __declspec(dllexport)
#else
#define PRM1UI_API __attribute__((visibility("default")))
#endif

extern "C" PRM1UI_API void Prm1NahledSestavy1(const char* templatePath, const char* title,
                                              const char* variables,
                                              const Prm1ReportDataSet* dataSet) {
    static_assert(std::is_same_v<decltype(&Prm1NahledSestavy1), PreviewEntryFn>);
    try {
        WidgetsApplicationScope application;
        if (!application.hasWidgets())
            return; // a process without widgets cannot show a preview
        try {
            ShowPreview(PrepareReport(templatePath, title, variables, dataSet));
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
