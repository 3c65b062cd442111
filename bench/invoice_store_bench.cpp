// Reading invoice files and numbering over a full period (999 invoices, 25 rows each), against
// a baseline that only reads the same files' bytes.

#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "period_generator.h"

#include <benchmark/benchmark.h>

namespace tarvela::bench {
namespace {

BENCHMARK(BM_RawBytesOf999Files)->Unit(benchmark::kMillisecond);

void BM_ReadInvoiceFileOne(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    const QString path = period.files().at(500);
    for (auto _ : state) {
        InvoiceRecord record;
        ReadInvoiceFile(path, record, QStringLiteral("CZK"));
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_ReadInvoiceFileOne)->Unit(benchmark::kMicrosecond);

void BM_ReadInvoiceFileAll999(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    for (auto _ : state) {
        for (const QString& path : period.files()) {
            InvoiceRecord record;
            ReadInvoiceFile(path, record, QStringLiteral("CZK"));
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetItemsProcessed(state.iterations() * period.files().size());
}
BENCHMARK(BM_ReadInvoiceFileAll999)->Unit(benchmark::kMillisecond);

void BM_NextInvoiceCounter999(benchmark::State& state) {
    const GeneratedPeriod& period = FullPeriod();
    const InvoiceStore store(period.programFolder());
    // The period holds 2026001..2026999: the period is full.
    if (store.NextInvoiceCounter(period.year()) != QStringLiteral("000"))
        state.SkipWithError("unexpected counter");
    for (auto _ : state)
        benchmark::DoNotOptimize(store.NextInvoiceCounter(period.year()));
}
BENCHMARK(BM_NextInvoiceCounter999)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvela::bench

BENCHMARK_MAIN();
