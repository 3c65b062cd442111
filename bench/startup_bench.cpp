// Start-up as a user waits for it: from starting the process to its main window mapped on the X
// display, the program against a bare Qt Widgets window (bare_window.cpp) in the same run. The
// program starts over 30 periods with a full current one (999 invoices of 25 rows), from a copy
// of its executable in that program folder, without the network module beside it (a start that
// needed it would fail). Needs an X display: run it under xvfb-run.
#include "period_generator.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace tarvela::bench {
namespace {

// The program folder: the program's executable, its settings, the full current period 2026 and
// 29 earlier periods (links to the same files; nothing of them is read at start).
class StartUpFolder {
public:
    StartUpFolder() {
        const GeneratedPeriod& period = FullPeriod();
        path_ = dir_.path() + QLatin1Char('/');
        program_ = path_ + QStringLiteral("tarvela");
        ok_ = QFile::copy(QStringLiteral(TARVELA_PROGRAM), program_) &&
              QFile::setPermissions(program_, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::WriteOwner);
        const QString current = period.programFolder() + QString::number(period.year());
        ok_ = ok_ && QFile::link(current, path_ + QStringLiteral("2026"));
        for (int year = 1997; year < 2026; ++year)
            ok_ = ok_ && QFile::link(current, path_ + QString::number(year));
        QFile ini(path_ + QStringLiteral("Tarvela.ini"));
        ok_ = ok_ && ini.open(QIODevice::WriteOnly) &&
              ini.write("[NASTAVENI]\r\nAktualniRok=2026\r\nPlatce=1\r\n") > 0;
    }
    bool ok() const { return ok_; }
    const QString& program() const { return program_; }

private:
    QTemporaryDir dir_;
    QString path_;
    QString program_;
    bool ok_ = false;
};

// Watches the X display for top-level windows being mapped.
class MapWatcher {
public:
    MapWatcher() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, sizeof(name) - 1, name), nullptr);
        if (atom) {
            pidAtom_ = atom->atom;
            free(atom);
        }
        xcb_flush(connection_);
        ok_ = pidAtom_ != XCB_NONE;
    }
    ~MapWatcher() { xcb_disconnect(connection_); }
    bool ok() const { return ok_; }

    // Waits until a window of process `pid` is mapped (ten seconds at most); false otherwise.
    bool WaitForMap(qint64 pid, const QElapsedTimer& since) {
        while (since.elapsed() < 10000) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (!event) {
                if (xcb_connection_has_error(connection_))
                    return false;
                Pause();
                continue;
            }
            const bool mapped =
                (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                PidOf(reinterpret_cast<xcb_map_notify_event_t*>(event)->window) == pid;
            free(event);
            if (mapped)
                return true;
        }
        return false;
    }

    // Drops what is left of earlier runs.
    void Drain() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
            free(event);
    }

private:
    // A short pause between polls of the connection: 0.1 ms.
    static void Pause() {
        const timespec pause{0, 100000};
        nanosleep(&pause, nullptr);
    }

    qint64 PidOf(xcb_window_t window) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        qint64 pid = -1;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
        free(reply);
        return pid;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    xcb_atom_t pidAtom_ = XCB_NONE;
    bool ok_ = false;
};

// The processor time the process `pid` has used so far, all its threads, in milliseconds
// (/proc/<pid>/task/<tid>/schedstat: nanoseconds on a processor). The wall time to the window
// grows with the load of the machine; this does not.
double ProcessorMs(qint64 pid) {
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    double ns = 0;
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks + QLatin1Char('/') + task + QStringLiteral("/schedstat"));
        if (stat.open(QIODevice::ReadOnly))
            ns += stat.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e6;
}

struct ToMapped {
    double wallMs = -1; // from starting the process to its window mapped; -1: never mapped
    double cpuMs = -1;  // processor time used by then
};

ToMapped TimeToMapped(MapWatcher& watcher, const QString& program, const QString& folder) {
    watcher.Drain();
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("cs_CZ.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("cs_CZ.UTF-8"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer since;
    since.start();
    process.start();
    if (!process.waitForStarted(5000))
        return {};
    const bool mapped = watcher.WaitForMap(process.processId(), since);
    ToMapped result;
    if (mapped) {
        result.wallMs = static_cast<double>(since.nsecsElapsed()) / 1e6;
        result.cpuMs = ProcessorMs(process.processId());
    }
    process.kill();
    process.waitForFinished(5000);
    return result;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Each iteration starts the bare window and then the program, one after the other, so both see
// the same load of the machine; the iteration's time is the program's wall time. The counters
// give the medians of both, wall and processor time, and their ratios.
void BM_StartUpToWindowMapped(benchmark::State& state) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        state.SkipWithError("needs an X display: run under xvfb-run");
        return;
    }
    StartUpFolder folder;
    MapWatcher watcher;
    if (!folder.ok() || !watcher.ok()) {
        state.SkipWithError("cannot prepare the program folder or watch the display");
        return;
    }
    const QString bare = QStringLiteral(BARE_WINDOW_PROGRAM);
    // One start of each first, so the files are in the cache for both.
    TimeToMapped(watcher, bare, QDir::tempPath());
    TimeToMapped(watcher, folder.program(), QDir::tempPath());
    std::vector<double> bareWall, bareCpu, programWall, programCpu;
    for (auto _ : state) {
        const ToMapped b = TimeToMapped(watcher, bare, QDir::tempPath());
        const ToMapped p = TimeToMapped(watcher, folder.program(), QDir::tempPath());
        if (b.wallMs < 0 || p.wallMs < 0) {
            state.SkipWithError("a window was not mapped within 10 s");
            return;
        }
        bareWall.push_back(b.wallMs);
        bareCpu.push_back(b.cpuMs);
        programWall.push_back(p.wallMs);
        programCpu.push_back(p.cpuMs);
        state.SetIterationTime(p.wallMs / 1000);
    }
    state.counters["bare_ms"] = Median(bareWall);
    state.counters["tarvela_ms"] = Median(programWall);
    state.counters["ratio"] = Median(programWall) / Median(bareWall);
    state.counters["bare_cpu_ms"] = Median(bareCpu);
    state.counters["tarvela_cpu_ms"] = Median(programCpu);
    state.counters["cpu_ratio"] = Median(programCpu) / Median(bareCpu);
}
BENCHMARK(BM_StartUpToWindowMapped)->UseManualTime()->Iterations(41)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvela::bench

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
