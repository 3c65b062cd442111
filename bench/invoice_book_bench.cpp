// The invoice book over a full period (999 invoices), beside a baseline that only reads the same
// bytes with the same event processing after each file.
//
// Goal: the book's window filled (every file read, the status, the rows, the sort and the sums)
// within 3x the baseline of the same run.

#include "editor/invoice_book.h"
#include "editor/tknihafaktur.h"
#include "period_generator.h"
#include "settings/settings_file.h"
#include "text/message_boxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

namespace tarvela::bench {
namespace {

void ProcessPaintEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

AppSettings PeriodSettings(const GeneratedPeriod& period) {
    AppSettings settings;
    settings.AktualniRok = period.year();
    return settings;
}

// Baseline: the bytes of the 999 files, with the same event processing after each file.
void BM_Book_RawBytesWithEvents(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    for (auto _ : state) {
        const qint64 total = ReadAllBytesOf(period, ProcessPaintEvents);
        if (total < 0)
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * period.files().size());
}
BENCHMARK(BM_Book_RawBytesWithEvents)->Unit(benchmark::kMillisecond);

// The book's entries without any widget: reading, the totals from the item rows.
void BM_Book_Entries(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    const AppSettings settings = PeriodSettings(period);
    const QString folder = QDir(period.programFolder()).filePath(QString::number(period.year()));
    for (auto _ : state) {
        const std::vector<BookEntry> book =
            ReadBook(folder, period.year(), VatRates{21, 12, 0}, settings.VychoziMena);
        if (book.size() != static_cast<size_t>(period.files().size()))
            state.SkipWithError("book incomplete");
        benchmark::DoNotOptimize(book.data());
    }
    state.SetItemsProcessed(state.iterations() * period.files().size());
}
BENCHMARK(BM_Book_Entries)->Unit(benchmark::kMillisecond);

// The real window, shown, filling its list (read in slices from the event loop), sorted by
// number, with the statuses and the sums per currency.
void BM_Book_Window(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    MessageBoxRecorder boxes;
    TKnihaFaktur book(period.programFolder(), PeriodSettings(period), BookHost{});
    book.show();
    QCoreApplication::processEvents();
    auto* list = book.findChild<QTreeView*>(QStringLiteral("ListView1"));
    for (auto _ : state) {
        book.FillBook();
        while (book.Filling())
            QCoreApplication::processEvents();
        if (!list || list->model()->rowCount() != static_cast<int>(period.files().size()))
            state.SkipWithError("book incomplete");
    }
    state.SetItemsProcessed(state.iterations() * period.files().size());
}
BENCHMARK(BM_Book_Window)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvela::bench
