// The open dialog's list over a full period (999 invoices) and saving one invoice from the main
// window, each beside a baseline that only moves the same bytes.
//
// Goals: the list fills in under 150 ms, pending GUI events processed after every file as the
// dialog does it; a save takes under 5 ms.

#include "app/invoice_editor.h"
#include "app/thlavni.h"
#include "editor/invoice_list.h"
#include "editor/totevrit.h"
#include "invoice/file_lines.h"
#include "period_generator.h"
#include "settings/settings_file.h"
#include "text/message_boxes.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

namespace tarvela::bench {
namespace {

QString PeriodFolder(const GeneratedPeriod& period) {
    return QDir(period.programFolder()).filePath(QString::number(period.year()));
}

// Baseline: the bytes of the 999 files, with the same event processing after each file.
void BM_OpenList_RawBytesWithEvents(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    for (auto _ : state) {
        const qint64 total = ReadAllBytesOf(
            period, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
        if (total < 0)
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * period.files().size());
}
BENCHMARK(BM_OpenList_RawBytesWithEvents)->Unit(benchmark::kMillisecond);

// The listing and the lines the list takes, without any widget.
void BM_OpenList_Entries(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    const QString folder = PeriodFolder(period);
    for (auto _ : state) {
        const QStringList names = ListInvoiceFileNames(folder);
        for (const QString& name : names)
            benchmark::DoNotOptimize(ReadInvoiceListEntry(folder, name));
    }
    state.SetItemsProcessed(state.iterations() * period.files().size());
}
BENCHMARK(BM_OpenList_Entries)->Unit(benchmark::kMillisecond);

// The real dialog, shown, filling its list in slices from the event loop.
void BM_OpenList_Dialog(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    TOtevrit dialog(period.programFolder());
    dialog.SetYear(QString::number(period.year()));
    dialog.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        dialog.FillInvoiceList(PeriodFolder(period));
        while (dialog.Filling())
            QCoreApplication::processEvents();
        if (dialog.findChild<QTreeView*>(QStringLiteral("ListView1"))->model()->rowCount() !=
            period.files().size())
            state.SkipWithError("list incomplete");
    }
    state.SetItemsProcessed(state.iterations() * period.files().size());
}
BENCHMARK(BM_OpenList_Dialog)->Unit(benchmark::kMillisecond);

// Baseline: writing the bytes of one invoice file in place.
void BM_Save_RawBytes(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    const QByteArray bytes = ReadWholeFile(period.files().at(500));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2026001.tvl"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            state.SkipWithError("cannot write");
    }
}
BENCHMARK(BM_Save_RawBytes)->Unit(benchmark::kMicrosecond);

// Saving an invoice with 25 filled rows from the main window: the record from the controls,
// the checks, the encoding and the atomic write.
void BM_Save_MainWindow(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    QTemporaryDir dir;
    const QString program = dir.path() + QDir::separator();
    const QString year = QString::number(period.year());
    QDir().mkpath(program + year);

    SavePeriodYear(program, period.year());
    MessageBoxRecorder boxes;
    THlavni window(program, QStringLiteral(","));
    auto action = [&window](const char* name) {
        return window.findChild<QAction*>(QLatin1String(name));
    };
    auto* editor = window.findChild<InvoiceEditor*>();
    // A new invoice, every row filled, saved over its own file.
    action("Akce_NovaFaktura")->trigger();
    window.findChild<QLineEdit*>(QStringLiteral("Ed_Fa1"))->setText(QStringLiteral("2026501"));
    for (int row = 1; row <= 25; ++row) {
        editor->SetCell(1, row, QStringLiteral("K%1").arg(row));
        editor->SetCell(2, row, QStringLiteral("Položka číslo %1 s delším popisem").arg(row));
        editor->SetCell(3, row, QStringLiteral("ks"));
        editor->SetCell(4, row, QStringLiteral("%1").arg(row));
        editor->SetCell(5, row, QStringLiteral("123,45"));
        editor->SetCell(6, row, QStringLiteral("21"));
    }
    // Each change of the current row recomputes that row and the totals.
    for (int row = 25; row >= 1; --row)
        editor->SetCurrentRow(row);
    // The first save writes the file: the timed ones save the invoice over its own file.
    action("Akce_UlozitFakturu")->trigger();
    auto* comment = window.findChild<QLineEdit*>(QStringLiteral("Ed_Komentar1"));
    bool odd = false;
    for (auto _ : state) {
        // An edit before each save, as a save follows one.
        odd = !odd;
        comment->setText(odd ? QStringLiteral("a") : QStringLiteral("b"));
        action("Akce_UlozitFakturu")->trigger();
        if (window.IsModified() || !boxes.shown().isEmpty())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_Save_MainWindow)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarvela::bench
