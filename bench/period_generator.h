#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace benchmark {
class State;
}

namespace tarvela::bench {

// A realistic period on disk: a temporary program folder with one period folder holding
// `count` invoice files (numbers year001, year002, ...) with `filledRows` filled item rows each,
// written by the program's own writer. The folder is removed when the object goes.
class GeneratedPeriod {
public:
    explicit GeneratedPeriod(int count = 999, int filledRows = 25, int year = 2026);

    const QString& programFolder() const { return programFolder_; }
    int year() const { return year_; }
    // Full paths of the invoice files, in number order.
    const QStringList& files() const { return files_; }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString programFolder_;
    int year_;
    QStringList files_;
};

// One period of 999 invoices with 25 filled rows, generated on first use and shared by all
// benchmarks of the executable.
const GeneratedPeriod& FullPeriod();

// The baseline of the reading benchmarks: opens and reads the bytes of every file of the period
// and nothing else, calling afterEach (when given) after each file. Gives the number of bytes
// read, or -1 when a file cannot be read.
qint64 ReadAllBytesOf(const GeneratedPeriod& period, void (*afterEach)() = nullptr);
// The same over any list of files (full paths).
qint64 ReadAllBytesOf(const QStringList& files, void (*afterEach)() = nullptr);

// A benchmark body that runs that baseline over the full period, for the files that compare a
// reader with it: BENCHMARK(BM_RawBytesOf999Files)->Unit(benchmark::kMillisecond);
void BM_RawBytesOf999Files(benchmark::State& state);

} // namespace tarvela::bench
