// A whole process that prints the benchmark's invoice to a PDF as the program's printing does:
// load libPRM1 by its path, render through SestavaDoPDF (the module makes its own application,
// as for any caller without one), unload, exit. Measured from outside by whole_process.sh.
//   prm1_render <libPRM1.so> <folder Ses> <output.pdf> [invoices]
// With a number of invoices it prints the overview of a period of that many instead.
#include "print_samples.h"

#include <QLibrary>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr,
                     "usage: prm1_render <libPRM1.so> <folder Ses> <output.pdf> [invoices]\n");
        return 2;
    }
    const tarvela::bench::SampleReport report =
        argc == 5 ? tarvela::bench::OverviewSample(atoi(argv[4])) : tarvela::bench::InvoiceSample();
    QLibrary library(QString::fromLocal8Bit(argv[1]));
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(library.resolve("SestavaDoPDF"));
    if (render == nullptr) {
        std::fprintf(stderr, "%s\n", qPrintable(library.errorString()));
        return 1;
    }
    const QByteArray path = QByteArray(argv[2]) + '/' + report.templateName;
    char message[512] = "";
    const int pages =
        render(path.constData(), report.title.constData(), report.variables.constData(),
               report.dataSet(), argv[3], message, sizeof message);
    library.unload();
    if (pages < 1) {
        std::fprintf(stderr, "%s\n", message);
        return 1;
    }
    return 0;
}
