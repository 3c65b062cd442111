// The CAMT.053 statement reader on arbitrary bytes: it reads or refuses with a message naming
// the file; what it reads is sane. The input is spliced into a valid statement (an entry's text
// or the whole document), so the fuzzer reaches the entries as well as the XML around them.

#include "fuzz_support.h"

#include "bank/bank_statement.h"

#include <cstdint>

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 2);
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray fuzzed(rest.data(), static_cast<qsizetype>(rest.size()));
    QByteArray bytes;
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document xmlns=\"urn:iso:"
                            "std:iso:20022:tech:xsd:camt.053.001.02\"><BkToCstmrStmt><Stmt><Acct>"
                            "<Id><IBAN>CZ5503000000000123456789</IBAN></Id></Acct>\n";
    const QByteArray tail = "</Stmt></BkToCstmrStmt></Document>\n";
    if (mode == 0) {
        bytes = fuzzed;
    } else if (mode == 1) {
        bytes = head + "<Ntry>" + fuzzed + "</Ntry>" + tail;
    } else {
        bytes = head + "<Ntry><Amt Ccy=\"CZK\">" + fuzzed +
                "</Amt><CdtDbtInd>CRDT</CdtDbtInd><BookgDt><Dt>2026-03-05</Dt></BookgDt>"
                "</Ntry>" +
                tail;
    }
    try {
        const BankStatement s = ReadCamtStatement(bytes, QStringLiteral("f.xml"));
        for (const BankPayment& p : s.Platby) {
            TARVELA_FUZZ_CHECK(p.Halere >= 0, "amount");
            TARVELA_FUZZ_CHECK(p.Datum.isValid(), "date");
            TARVELA_FUZZ_CHECK(p.Mena.size() == 3, "currency", p.Mena);
            TARVELA_FUZZ_CHECK(p.Symbol.size() <= 10, "symbol", p.Symbol);
            TARVELA_FUZZ_CHECK(p.Zprava.size() <= 64 * 4096, "message");
        }
    } catch (const StatementError& e) {
        TARVELA_FUZZ_CHECK(e.message().startsWith(QStringLiteral("Výpis „f.xml“")),
                           "the message names the file", e.message());
    }
    return 0;
}
