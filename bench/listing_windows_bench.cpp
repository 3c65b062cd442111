// The listing windows from their command to the window painted on the screen, over big data: the
// open dialog and the invoice book over the full period (999 invoices of 25 rows), the address
// book over 20 periods of it (19 980 invoices). The iteration's time is the time to the first
// painting of the window (goal: under 20 ms); the counters give the first opening (first_ms),
// the median (median_ms), the same in processor time of the GUI thread (first_cpu_ms,
// median_cpu_ms: what the program itself spent, whatever the load of the machine) and the mean
// time until the window is full (filled_ms, sorted and summed for the book). Each window is
// closed once full.
#include "period_generator.h"

#include "app/thlavni.h"
#include "text/message_boxes.h"
#include "text/sliced_work.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace tarvela::bench {
namespace {

// A program folder with the full period as 2026 and as the 19 periods before it.
class ManyPeriods {
public:
    ManyPeriods() {
        const GeneratedPeriod& period = FullPeriod();
        path_ = dir_.path() + QLatin1Char('/');
        const QString current = period.programFolder() + QString::number(period.year());
        ok_ = true;
        for (int year = 2007; year <= 2026; ++year)
            ok_ = ok_ && QFile::link(current, path_ + QString::number(year));
        QFile ini(path_ + QStringLiteral("Tarvela.ini"));
        ok_ = ok_ && ini.open(QIODevice::WriteOnly) &&
              ini.write("[NASTAVENI]\r\nAktualniRok=2026\r\nPlatce=1\r\n") > 0;
    }
    bool ok() const { return ok_; }
    const QString& path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
    bool ok_ = false;
};

// The processor time of this (the GUI) thread, in milliseconds: unlike the wall time it does not
// grow with the load of the machine.
double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Notes the first painting of a dialog after the clock started.
class FirstPaint : public QObject {
public:
    QElapsedTimer clock;
    double cpuAtStart = 0;
    QPointer<QDialog> dialog;
    double paintedMs = -1;
    double paintedCpuMs = -1;
    double filledMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (paintedMs < 0 && event->type() == QEvent::Paint) {
            if (auto* shown = qobject_cast<QDialog*>(watched)) {
                paintedMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                paintedCpuMs = ThreadCpuMs() - cpuAtStart;
                dialog = shown;
            }
        }
        return false;
    }
};

void MeasureListing(benchmark::State& state, const char* actionName, bool needsInvoice) {
    ManyPeriods folder;
    if (!folder.ok()) {
        state.SkipWithError("cannot prepare the program folder");
        return;
    }
    MessageBoxRecorder boxes;
    THlavni window(folder.path(), QStringLiteral(","));
    window.show();
    while (window.OverdueNoticePending())
        QCoreApplication::processEvents();
    if (needsInvoice) // the address book fills the customer of an open invoice
        window.OpenInvoiceFile(folder.path() + QStringLiteral("2026/2026001.tvl"));
    QAction* action = window.findChild<QAction*>(QLatin1String(actionName));
    double filledSum = 0;
    std::vector<double> painted;
    std::vector<double> paintedCpu;
    for (auto _ : state) {
        FirstPaint watcher;
        qApp->installEventFilter(&watcher);
        // Between two slices of the window's work: full yet? Then it closes.
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&watcher] {
            if (watcher.dialog && watcher.filledMs < 0 &&
                !watcher.dialog->property(kFillingProperty).toBool()) {
                watcher.filledMs = static_cast<double>(watcher.clock.nsecsElapsed()) / 1e6;
                watcher.dialog->reject();
            }
        });
        poll.start();
        watcher.cpuAtStart = ThreadCpuMs();
        watcher.clock.start();
        action->trigger(); // returns once the window has closed
        poll.stop();
        qApp->removeEventFilter(&watcher);
        if (watcher.paintedMs < 0 || watcher.filledMs < 0) {
            state.SkipWithError("the window did not appear or did not fill");
            return;
        }
        state.SetIterationTime(watcher.paintedMs / 1000);
        painted.push_back(watcher.paintedMs);
        paintedCpu.push_back(watcher.paintedCpuMs);
        filledSum += watcher.filledMs;
    }
    // The first opening also loads what the window's kind needs the first time.
    state.counters["first_ms"] = painted.front();
    std::sort(painted.begin(), painted.end());
    state.counters["median_ms"] = painted[painted.size() / 2];
    state.counters["first_cpu_ms"] = paintedCpu.front();
    std::sort(paintedCpu.begin(), paintedCpu.end());
    state.counters["median_cpu_ms"] = paintedCpu[paintedCpu.size() / 2];
    state.counters["filled_ms"] = filledSum / static_cast<double>(state.iterations());
}

void BM_Mapped_OpenDialog(benchmark::State& state) {
    MeasureListing(state, "Akce_OtevritFakturu", false);
}
BENCHMARK(BM_Mapped_OpenDialog)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_Mapped_InvoiceBook(benchmark::State& state) {
    MeasureListing(state, "Akce_KnihaFaktur", false);
}
BENCHMARK(BM_Mapped_InvoiceBook)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// The book again, over an open invoice in the main window (as the address book always is).
void BM_Mapped_InvoiceBookOverInvoice(benchmark::State& state) {
    MeasureListing(state, "Akce_KnihaFaktur", true);
}
BENCHMARK(BM_Mapped_InvoiceBookOverInvoice)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

void BM_Mapped_AddressBook(benchmark::State& state) {
    MeasureListing(state, "Akce_Odberatele", true);
}
BENCHMARK(BM_Mapped_AddressBook)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvela::bench
