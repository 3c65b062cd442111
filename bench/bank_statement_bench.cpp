// A month's statement of 10 000 movements read and matched against the invoices of 20 periods of
// 999 invoices, against a baseline that only reads the bytes of the same files, the statement
// and the invoice files (goal: within 3× of it). GPC and CAMT.053 alike.

#include "bank/bank_statement.h"
#include "bank/payment_matching.h"
#include "invoice/invoice_store.h"
#include "period_generator.h"
#include "text/codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <vector>

namespace tarvela::bench {
namespace {

constexpr int kPeriods = 20;
constexpr int kFirstYear = 2007;
constexpr int kPayments = 10000;

// The 20 periods in one program folder, and a statement of each format beside them: payments
// with the symbols of random invoices of every period, one in ten with an unknown symbol, one in
// twenty without a symbol but with the number in the message, one in ten an outgoing payment.
class Fixture {
public:
    Fixture() {
        if (!dir_.isValid())
            throw std::runtime_error("cannot create a temporary folder");
        programFolder_ = dir_.path() + QDir::separator();
        for (int year = kFirstYear; year < kFirstYear + kPeriods; ++year) {
            const GeneratedPeriod period(999, 25, year);
            const QString name = QString::number(year);
            if (!QDir().rename(period.programFolder() + name, programFolder_ + name))
                throw std::runtime_error("cannot move a period folder");
            for (const QString& file : period.files())
                invoices_ << programFolder_ + name + QDir::separator() + QFileInfo(file).fileName();
        }
        QRandomGenerator random(30);
        const QByteArray balance = QByteArray(14, '0');
        QByteArray gpc = "074" + QByteArray("2000145399").rightJustified(16, '0') +
                         QByteArray("Truhlarstvi Dvorak").leftJustified(20, ' ') + "010326" +
                         balance + '+' + balance + '+' + balance + '+' + balance + '+' + "003" +
                         "310326" + QByteArray(14, ' ') + "\r\n";
        QByteArray camt = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document xmlns=\"urn:iso:"
                          "std:iso:20022:tech:xsd:camt.053.001.08\"><BkToCstmrStmt><Stmt><Acct>"
                          "<Id><IBAN>CZ5503000000000123456789</IBAN></Id></Acct>\n";
        for (int i = 0; i < kPayments; ++i) {
            const int year = kFirstYear + random.bounded(kPeriods);
            const QByteArray number =
                QByteArray::number(year) +
                QByteArray::number(1 + random.bounded(999)).rightJustified(3, '0');
            const int kind = random.bounded(20);
            const QByteArray symbol =
                kind < 2 ? QByteArray("9") + number : (kind == 2 ? QByteArray() : number);
            const char code = kind >= 18 ? '1' : '2';
            const QByteArray amount = QByteArray::number(100 + random.bounded(200000));
            const QByteArray message = "Faktura " + number;
            gpc += "0750000002000145399" + QByteArray("0000190000123457") +
                   QByteArray::number(i + 1).rightJustified(13, '0') +
                   amount.rightJustified(12, '0') + code + symbol.rightJustified(10, '0') +
                   "0008000308" + QByteArray(10, '0') + "150326" +
                   QByteArray("Odberatel").leftJustified(20, ' ') + "00203150326\r\n078" + message +
                   "\r\n";
            camt += "<Ntry><Amt Ccy=\"CZK\">" + amount.left(amount.size() - 2) + "." +
                    amount.right(2) + "</Amt><CdtDbtInd>" + (code == '2' ? "CRDT" : "DBIT") +
                    "</CdtDbtInd><BookgDt><Dt>2026-03-15</Dt></BookgDt><AcctSvcrRef>" +
                    QByteArray::number(i + 1) +
                    "</AcctSvcrRef><NtryDtls><TxDtls><Refs><EndToEndId>" +
                    (symbol.isEmpty() ? QByteArray("NOTPROVIDED") : "/VS" + symbol) +
                    "</EndToEndId></Refs><RltdPties><Dbtr><Pty><Nm>Odberatel</Nm></Pty></Dbtr>"
                    "<DbtrAcct><Id><IBAN>CZ6508000000192000145399</IBAN></Id></DbtrAcct>"
                    "</RltdPties><RmtInf><Ustrd>" +
                    message +
                    "</Ustrd></RmtInf></TxDtls>"
                    "</NtryDtls></Ntry>\n";
        }
        camt += "</Stmt></BkToCstmrStmt></Document>\n";
        Write(QStringLiteral("vypis.gpc"), gpc);
        Write(QStringLiteral("vypis.xml"), camt);
    }
    const QString& programFolder() const { return programFolder_; }
    const QStringList& invoices() const { return invoices_; }
    QString statement(const char* name) const { return programFolder_ + QString::fromLatin1(name); }

private:
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(programFolder_ + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write a statement");
    }

    QTemporaryDir dir_;
    QString programFolder_;
    QStringList invoices_;
};

const Fixture& Files() {
    static const Fixture fixture;
    return fixture;
}

void RawBytes(benchmark::State& state, const char* statement) {
    const Fixture& f = Files();
    QStringList files = f.invoices();
    files << f.statement(statement);
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = ReadAllBytesOf(files);
        if (bytes < 0)
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void ReadAndMatch(benchmark::State& state, const char* statement) {
    const Fixture& f = Files();
    const InvoiceStore store(f.programFolder());
    size_t matched = 0;
    for (auto _ : state) {
        const BankStatement read = ReadStatementFile(f.statement(statement));
        std::vector<BookEntry> book;
        for (const QString& name : store.ListPeriodFolders()) {
            const int year = name.toInt();
            std::vector<BookEntry> period =
                ReadBook(store.PeriodFolder(year), year, VatRates{}, QStringLiteral("CZK"));
            std::move(period.begin(), period.end(), std::back_inserter(book));
        }
        PaymentReview review(std::move(book), true);
        review.AddStatement(read, {});
        matched = review.Writes().size();
        benchmark::DoNotOptimize(matched);
    }
    if (matched == 0)
        state.SkipWithError("nothing matched");
    state.counters["invoices_paid"] = static_cast<double>(matched);
}

void BM_RawBytesGpc(benchmark::State& state) {
    RawBytes(state, "vypis.gpc");
}
void BM_ReadAndMatchGpc(benchmark::State& state) {
    ReadAndMatch(state, "vypis.gpc");
}
void BM_RawBytesCamt(benchmark::State& state) {
    RawBytes(state, "vypis.xml");
}
void BM_ReadAndMatchCamt(benchmark::State& state) {
    ReadAndMatch(state, "vypis.xml");
}
BENCHMARK(BM_RawBytesGpc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndMatchGpc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawBytesCamt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndMatchCamt)->Unit(benchmark::kMillisecond);

// The matching alone, the book already read.
void BM_MatchOnly(benchmark::State& state) {
    const Fixture& f = Files();
    const InvoiceStore store(f.programFolder());
    std::vector<BookEntry> book;
    for (const QString& name : store.ListPeriodFolders()) {
        const int year = name.toInt();
        std::vector<BookEntry> period =
            ReadBook(store.PeriodFolder(year), year, VatRates{}, QStringLiteral("CZK"));
        std::move(period.begin(), period.end(), std::back_inserter(book));
    }
    const BankStatement read = ReadStatementFile(f.statement("vypis.gpc"));
    for (auto _ : state) {
        PaymentReview review(book, true);
        review.AddStatement(read, {});
        benchmark::DoNotOptimize(review.Rows().size());
    }
}
BENCHMARK(BM_MatchOnly)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvela::bench

BENCHMARK_MAIN();
