// The item list's catalog over a full period (999 invoices, 25 filled rows each; goal: under
// 200 ms), against a baseline that only reads the same files' bytes.

#include "editor/item_catalog.h"
#include "period_generator.h"

#include <QDir>

#include <benchmark/benchmark.h>

namespace tarvela::bench {
namespace {

BENCHMARK(BM_RawBytesOf999Files)->Unit(benchmark::kMillisecond);

void BM_LoadItemCatalog999(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    const QString folder = period.programFolder() + QString::number(period.year());
    qsizetype entries = 0;
    for (auto _ : state) {
        const ItemCatalog catalog = LoadItemCatalog(folder);
        entries = catalog.size();
        benchmark::DoNotOptimize(catalog);
    }
    if (entries == 0)
        state.SkipWithError("no items read");
    state.counters["entries"] = static_cast<double>(entries);
    state.SetItemsProcessed(state.iterations() * period.files().size());
}
BENCHMARK(BM_LoadItemCatalog999)->Unit(benchmark::kMillisecond);

// The filter of the list over the whole catalog.
void BM_FilterItemCatalog(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    const ItemCatalog catalog =
        LoadItemCatalog(period.programFolder() + QString::number(period.year()));
    const QString filter = FilterLowerCase(QStringLiteral("OPRAVA"));
    for (auto _ : state) {
        int matches = 0;
        for (const ItemCatalogEntry& entry : catalog)
            matches += ItemMatchesFilter(entry, filter) ? 1 : 0;
        benchmark::DoNotOptimize(matches);
    }
    state.SetItemsProcessed(state.iterations() * catalog.size());
}
BENCHMARK(BM_FilterItemCatalog)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvela::bench

BENCHMARK_MAIN();
