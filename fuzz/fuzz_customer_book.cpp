// The customers' address book over two periods of arbitrary invoice files: every entry has a
// merge key of its own, counts at least one invoice and names a file that exists; the counts add
// up to the files that hold a customer.

#include "fuzz_support.h"

#include "editor/customer_book.h"
#include "invoice/invoice_store.h"

#include <QDir>
#include <QSet>

using namespace tarvela;
using namespace tarvela::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QString program = ScratchFolder() + QStringLiteral("program/");
    QDir(program).removeRecursively();
    int withCustomer = 0;
    for (int file = 0; file < 4 && in.remaining_bytes() > 0; ++file) {
        const std::string text = in.ConsumeRandomLengthString(600);
        const QByteArray bytes(text.data(), qsizetype(text.size()));
        const int year = file % 2 == 0 ? 2025 : 2026;
        QDir().mkpath(program + QString::number(year));
        WriteBytes(
            program +
                QStringLiteral("%1/%1%2.tvl").arg(year).arg(file + 1, 3, 10, QLatin1Char('0')),
            bytes);
        CustomerFields fields;
        QDate issued;
        if (ReadInvoiceCustomer(bytes, fields, issued) && !CustomerMergeKey(fields).isEmpty())
            ++withCustomer;
    }
    const std::vector<CustomerEntry> book = ReadCustomerBook(InvoiceStore(program));
    QSet<QString> keys;
    int counted = 0;
    for (const CustomerEntry& entry : book) {
        const QString key = CustomerMergeKey(entry.Fields);
        TARVELA_FUZZ_CHECK(!keys.contains(key), "one entry per customer", Quote(key));
        keys.insert(key);
        TARVELA_FUZZ_CHECK(entry.PocetFaktur >= 1, "an entry counts its invoices");
        TARVELA_FUZZ_CHECK(QFile::exists(program + QString::number(entry.Year) + QLatin1Char('/') +
                                         entry.FileName),
                           "an entry names its file", Quote(entry.FileName));
        counted += entry.PocetFaktur;
    }
    TARVELA_FUZZ_CHECK(counted <= withCustomer, "no invoice counted twice");
    return 0;
}
