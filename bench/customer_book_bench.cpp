// The address book over 20 periods of 999 invoices (about 32 MB), against a baseline that only
// reads the same files' bytes (goal: within 3× of it).

#include "editor/customer_book.h"
#include "invoice/invoice_store.h"
#include "period_generator.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace tarvela::bench {
namespace {

constexpr int kPeriods = 20;
constexpr int kFirstYear = 2007;

// One program folder holding the periods 2007 to 2026, each a full period written by the
// program's own writer (generated period by period, then moved under one folder).
class TwentyPeriods {
public:
    TwentyPeriods() {
        if (!dir_.isValid())
            throw std::runtime_error("cannot create a temporary folder");
        programFolder_ = dir_.path() + QDir::separator();
        for (int year = kFirstYear; year < kFirstYear + kPeriods; ++year) {
            const GeneratedPeriod period(999, 25, year);
            const QString name = QString::number(year);
            if (!QDir().rename(period.programFolder() + name, programFolder_ + name))
                throw std::runtime_error("cannot move a period folder");
            for (const QString& file : period.files())
                files_ << programFolder_ + name + QDir::separator() + QFileInfo(file).fileName();
        }
    }
    const QString& programFolder() const { return programFolder_; }
    const QStringList& files() const { return files_; }

private:
    QTemporaryDir dir_;
    QString programFolder_;
    QStringList files_;
};

const TwentyPeriods& Periods() {
    static const TwentyPeriods periods;
    return periods;
}

void BM_RawBytesOf20Periods(benchmark::State& state) {
    const TwentyPeriods& periods = Periods();
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = ReadAllBytesOf(periods.files());
        if (bytes < 0)
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetItemsProcessed(state.iterations() * periods.files().size());
}
BENCHMARK(BM_RawBytesOf20Periods)->Unit(benchmark::kMillisecond);

void BM_CustomerBook20Periods(benchmark::State& state) {
    const TwentyPeriods& periods = Periods();
    const InvoiceStore store(periods.programFolder());
    size_t customers = 0;
    for (auto _ : state) {
        const std::vector<CustomerEntry> book = ReadCustomerBook(store);
        customers = book.size();
        benchmark::DoNotOptimize(book);
    }
    if (customers == 0)
        state.SkipWithError("no customers read");
    state.counters["customers"] = static_cast<double>(customers);
    state.SetItemsProcessed(state.iterations() * periods.files().size());
}
BENCHMARK(BM_CustomerBook20Periods)->Unit(benchmark::kMillisecond);

// The search as the user types, over the whole book.
void BM_SearchCustomerBook(benchmark::State& state) {
    const std::vector<CustomerEntry> book =
        ReadCustomerBook(InvoiceStore(Periods().programFolder()));
    const QString text = QStringLiteral("odberatel 4");
    for (auto _ : state) {
        int matches = 0;
        for (const CustomerEntry& entry : book)
            matches += MatchesCustomerSearch(entry, text) ? 1 : 0;
        benchmark::DoNotOptimize(matches);
    }
    state.SetItemsProcessed(state.iterations() * book.size());
}
BENCHMARK(BM_SearchCustomerBook)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarvela::bench

BENCHMARK_MAIN();
