#include "report_prepare.h"

#include "module_text.h"
#include "report_data.h"
#include "template_render.h"

#include <QFileInfo>

namespace tarvela::prm1 {

RenderedReport PrepareReport(const char* templatePath, const char* title, const char* variables,
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

} // namespace tarvela::prm1
