// The print module as the program uses it: load the library from the program folder, render,
// unload. The invoice is rendered to a PDF (the preview paints the same pages); the overview of
// a full period both to a PDF and into the preview, shown and closed.
#include "print_samples.h"

#include <QApplication>
#include <QLibrary>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

using tarvela::bench::SampleReport;

namespace {

QByteArray TemplatePath(const SampleReport& report) {
    return QByteArray(PRM1_TEMPLATE_DIR "/") + report.templateName;
}

int Render(QLibrary& library, const SampleReport& report, const QByteArray& pdf) {
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(library.resolve("SestavaDoPDF"));
    if (render == nullptr)
        return -100;
    return render(TemplatePath(report).constData(), report.title.constData(),
                  report.variables.constData(), report.dataSet(), pdf.constData(), nullptr, 0);
}

// The page the benchmark measures must be the real one: checked once, before timing.
QString PageProblem(const QByteArray& pdf) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QString::fromUtf8(pdf), QStringLiteral("-")});
    if (!text.waitForFinished(60000))
        return QStringLiteral("pdftotext did not finish");
    QString page = QString::fromUtf8(text.readAllStandardOutput());
    page.replace(QRegularExpression(QStringLiteral(" {2,}")), QStringLiteral(" "));
    for (const QString& expected : tarvela::bench::InvoiceSampleMustShow()) {
        if (!page.contains(expected))
            return QStringLiteral("the rendered invoice does not show ") + expected;
    }
    return QString();
}

const SampleReport& Invoice() {
    static const SampleReport report = tarvela::bench::InvoiceSample();
    return report;
}

const SampleReport& Overview() {
    static const SampleReport report = tarvela::bench::OverviewSample(999);
    return report;
}

// What one invoice costs the program: load, render one page, unload.
void BM_LoadRenderUnload(benchmark::State& state) {
    QTemporaryDir dir;
    const QByteArray pdf = (dir.path() + "/faktura.pdf").toUtf8();
    {
        QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
        const int pages = library.load() ? Render(library, Invoice(), pdf) : -100;
        const QString problem = pages == 1 ? PageProblem(pdf) : QStringLiteral("rendering failed");
        if (!problem.isEmpty()) {
            state.SkipWithError(problem.toStdString().c_str());
            return;
        }
    }
    for (auto _ : state) {
        QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
        if (!library.load() || Render(library, Invoice(), pdf) != 1) {
            state.SkipWithError("rendering failed");
            return;
        }
        library.unload();
    }
}
BENCHMARK(BM_LoadRenderUnload)->Unit(benchmark::kMillisecond);

// The parts: loading and unloading alone, rendering alone.
void BM_LoadUnload(benchmark::State& state) {
    for (auto _ : state) {
        QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
        benchmark::DoNotOptimize(library.load());
        library.unload();
    }
}
BENCHMARK(BM_LoadUnload)->Unit(benchmark::kMillisecond);

void BM_RenderLoaded(benchmark::State& state) {
    QTemporaryDir dir;
    const QByteArray pdf = (dir.path() + "/faktura.pdf").toUtf8();
    QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
    library.load();
    for (auto _ : state)
        benchmark::DoNotOptimize(Render(library, Invoice(), pdf));
    library.unload();
}
BENCHMARK(BM_RenderLoaded)->Unit(benchmark::kMillisecond);

// The overview of a full period (999 invoices, 19 pages) written as a PDF: load, render, unload.
void BM_Overview999Pdf(benchmark::State& state) {
    QTemporaryDir dir;
    const QByteArray pdf = (dir.path() + "/prehled.pdf").toUtf8();
    int pages = 0;
    for (auto _ : state) {
        QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
        pages = library.load() ? Render(library, Overview(), pdf) : -100;
        if (pages < 1) {
            state.SkipWithError("rendering failed");
            return;
        }
        library.unload();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_Overview999Pdf)->Unit(benchmark::kMillisecond);

// The same overview into the preview: load, render, the preview window shown with its pages,
// closed at once, unload.
void BM_Overview999Preview(benchmark::State& state) {
    for (auto _ : state) {
        QLibrary library(QStringLiteral(PRM1_LIBRARY_PATH));
        auto preview = reinterpret_cast<Prm1SestavaStandardFn>(
            library.load() ? library.resolve("SestavaStandard") : nullptr);
        if (preview == nullptr) {
            state.SkipWithError("the module does not load");
            return;
        }
        bool shown = false;
        QTimer::singleShot(0, [&shown] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                shown = dialog->isVisible();
                dialog->close();
            }
        });
        const SampleReport& report = Overview();
        preview(qApp, TemplatePath(report).constData(), report.title.constData(),
                report.variables.constData(), PRM1_MODE_PREVIEW, report.dataSet());
        library.unload();
        if (!shown) {
            state.SkipWithError("the preview was not shown");
            return;
        }
    }
}
BENCHMARK(BM_Overview999Preview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // fonts, layout and the preview's widgets, as in the program
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
