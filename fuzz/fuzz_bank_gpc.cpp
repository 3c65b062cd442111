// The GPC/ABO statement reader on arbitrary bytes: it reads or refuses with a message naming the
// file and a line; what it reads is sane, and matching it against a small book holds the
// review's invariants. The input is mostly a valid statement with fuzzed records.

#include "fuzz_support.h"

#include "bank/bank_statement.h"
#include "bank/payment_matching.h"

#include <cstdint>

using namespace tarvela;
using namespace tarvela::fuzz;

namespace {

std::vector<BookEntry> SmallBook() {
    std::vector<BookEntry> book(3);
    const char* numbers[] = {"2026001", "2026002", "2025001"};
    for (int i = 0; i < 3; ++i) {
        book[i].Cislo = book[i].Symbol = QString::fromLatin1(numbers[i]);
        book[i].Celkem = 1210.0 * (i + 1);
        book[i].Mena = QStringLiteral("CZK");
    }
    return book;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    QByteArray bytes;
    if (in.ConsumeBool()) {
        // A valid header, then records from the input.
        bytes = "0740000002000145399Novak               010326" + QByteArray(14, '0') + "+" +
                QByteArray(14, '0') + "+" + QByteArray(14, '0') + "+" + QByteArray(14, '0') +
                "+003310326" + QByteArray(14, ' ') + "\r\n";
    }
    const std::string rest = in.ConsumeRemainingBytesAsString();
    bytes += QByteArray(rest.data(), static_cast<qsizetype>(rest.size()));
    const QString name = QStringLiteral("f.gpc");
    try {
        const BankStatement s = ReadGpcStatement(bytes, name);
        for (const BankPayment& p : s.Platby) {
            TARVELA_FUZZ_CHECK(p.Halere >= 0 && p.Halere < qint64(1000000000000), "amount");
            TARVELA_FUZZ_CHECK(p.Datum.isValid(), "date");
            TARVELA_FUZZ_CHECK(p.Mena.size() == 3, "currency", p.Mena);
            TARVELA_FUZZ_CHECK(p.Symbol.size() <= 10 && !p.Symbol.startsWith(QLatin1Char('0')),
                               "symbol", p.Symbol);
            TARVELA_FUZZ_CHECK(!PaymentIdentity(p).contains(QLatin1Char('\t')), "identity");
        }
        PaymentReview review(SmallBook(), true);
        review.AddStatement(s, {});
        for (const ReviewRow& row : review.Rows())
            TARVELA_FUZZ_CHECK(row.Faktura < 0 || row.Platba.Druh == PaymentKind::Incoming,
                               "only incoming payments are matched");
        for (const InvoicePayment& w : review.Writes())
            TARVELA_FUZZ_CHECK(w.UhrazenoCelkem > 0, "a written total");
    } catch (const StatementError& e) {
        TARVELA_FUZZ_CHECK(e.message().startsWith(QStringLiteral("Výpis „f.gpc“, řádek ")),
                           "the message names the file and the line", e.message());
    }
    return 0;
}
