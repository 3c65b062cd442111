// Writes the benchmark's invoice as the HTML page the module lays out (the template expanded
// with the variables and rows), so that another renderer can be measured on the same page.
//   prm1_html <folder Ses> <output.html>
#include "module_text.h"
#include "print_samples.h"
#include "report_data.h"
#include "template_render.h"

#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace tarvela::prm1;
    if (argc != 3) {
        std::fprintf(stderr, "usage: prm1_html <folder Ses> <output.html>\n");
        return 2;
    }
    const tarvela::bench::SampleReport report = tarvela::bench::InvoiceSample();
    const QString path = QString::fromLocal8Bit(argv[1]) + u'/' + report.templateName;
    const QString html =
        RenderTemplate(ReadTemplateFile(path), ParseVariables(FromCp1250(report.variables)),
                       ReadDataSet(*report.dataSet()), path);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(html.toUtf8()) < 0)
        return 1;
    return 0;
}
