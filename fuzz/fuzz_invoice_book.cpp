// The invoice book and the payment on arbitrary file bytes: the book lists the file by its
// number whatever it holds; a payment recorded changes lines 47 and 49 and no other byte, and
// the book then reads the payment back.

#include "fuzz_support.h"

#include "editor/invoice_book.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/dates.h"
#include "text/errors.h"

#include <QDir>

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QDate date(2026, 1 + in.ConsumeIntegralInRange(0, 11),
                     1 + in.ConsumeIntegralInRange(0, 27));
    const qint64 amount = in.ConsumeIntegralInRange<qint64>(0, 100000000);
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), qsizetype(rest.size()));
    const QString folder = ScratchFolder() + QStringLiteral("2026");
    QDir().mkpath(folder);
    EmptyFolder(folder);
    const QString path = folder + QStringLiteral("/2026001.tvl");
    WriteBytes(path, bytes);
    const VatRates rates{21, 12, 0};
    const std::vector<BookEntry> before = ReadBook(folder, 2026, rates, QStringLiteral("CZK"));
    TARVELA_FUZZ_CHECK(before.size() == 1 && before[0].Cislo == QStringLiteral("2026001"),
                       "the book lists the file by its number");

    MarkInvoicePaid(path, date, amount);
    const QByteArray after = ReadBytes(path);
    TARVELA_FUZZ_CHECK(after == WithPayment(bytes, FormatInvoiceDate(date), FormatHalere(amount)),
                       "the payment changes the two lines only");
    const std::vector<BookEntry> book = ReadBook(folder, 2026, rates, QStringLiteral("CZK"));
    TARVELA_FUZZ_CHECK(book.size() == 1 && book[0].DatumUhrady == FormatInvoiceDate(date) &&
                           book[0].UhrazenaCastka == FormatHalere(amount),
                       "the book reads the payment back", Quote(book[0].UhrazenaCastka));
    TARVELA_FUZZ_CHECK(QDir(folder).entryList(QDir::Files | QDir::Hidden).size() == 1,
                       "no temporary file is left");
    return 0;
}
