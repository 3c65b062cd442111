#include "bank/imported_payments.h"

#include "book_fixtures.h"
#include "invoice/file_lines.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvela {
namespace {

using test::BankInvoice;
using test::TempProgramFolder;

std::vector<BookEntry> WriteInvoices(const TempProgramFolder& folder, int count) {
    for (int i = 1; i <= count; ++i) {
        const QString number = QStringLiteral("2026%1").arg(i, 3, 10, QLatin1Char('0'));
        folder.writeBytes(QStringLiteral("2026/%1.tvl").arg(number),
                          InvoiceFileBytes(BankInvoice(number, number, "1000,00")));
    }
    return ReadBook(folder.file("2026"), 2026, VatRates{}, QStringLiteral("CZK"));
}

BankStatement Statement(int count, qint64 halere = 121000) {
    BankStatement s{"v", "GPC", {}};
    for (int i = 1; i <= count; ++i) {
        BankPayment p;
        p.Datum = QDate(2026, 3, 20);
        p.Halere = halere;
        p.Mena = QStringLiteral("CZK");
        p.Ucet = QStringLiteral("2000145399");
        p.Symbol = QStringLiteral("2026%1").arg(i, 3, 10, QLatin1Char('0'));
        p.Reference = QString::number(1000 + i);
        s.Platby.push_back(p);
    }
    return s;
}

PaymentReview Review(const TempProgramFolder& folder, const std::vector<BookEntry>& book,
                     const BankStatement& statement) {
    const ImportedPayments record = ImportedPayments::Load(folder.path());
    PaymentReview review(book, true);
    review.AddStatement(statement, [&](const QString& id) { return record.Contains(id); });
    return review;
}

TEST(ImportedPayments, WritingOnlyChangesLines47And49AndASecondImportNothing) {
    TempProgramFolder folder;
    const std::vector<BookEntry> book = WriteInvoices(folder, 3);
    const QByteArray before = folder.readBytes("2026/2026002.tvl");
    BankStatement statement = Statement(2, 50000);
    statement.Platby.push_back(statement.Platby[1]); // a second payment of 2026002, same day
    statement.Platby[2].Reference = QStringLiteral("2000");
    statement.Platby[2].Halere = 80000;

    PaymentReview review = Review(folder, book, statement);
    ImportedPayments record = ImportedPayments::Load(folder.path());
    record.Write(review.Writes());
    EXPECT_EQ(record.Count(), 3);
    const QByteArray after = folder.readBytes("2026/2026002.tvl");
    EXPECT_EQ(after, WithPayment(before, QStringLiteral("20.3.2026"), QStringLiteral("1300,00")));
    EXPECT_EQ(folder.readBytes("2026/2026003.tvl"),
              InvoiceFileBytes(BankInvoice("2026003", "2026003", "1000,00")));
    EXPECT_EQ(record.InvoiceOf(review.Rows()[0].Identita), folder.file("2026/2026001.tvl"));

    // The second import of the same statement: every payment already written, nothing to write.
    const auto reread = ReadBook(folder.file("2026"), 2026, VatRates{}, QStringLiteral("CZK"));
    const PaymentReview again = Review(folder, reread, statement);
    for (const ReviewRow& row : again.Rows())
        EXPECT_TRUE(row.UzZapsano);
    EXPECT_TRUE(again.Writes().empty());
    const QByteArray recordBytes = folder.readBytes(kImportedPaymentsFileName);
    EXPECT_TRUE(recordBytes.endsWith("\r\n"));
    EXPECT_EQ(recordBytes.count("\r\n"), 4); // the header and three payments
}

TEST(ImportedPayments, HalfDoneWritesAreSettledAgainstTheInvoiceFiles) {
    TempProgramFolder folder;
    WriteInvoices(folder, 2);
    MarkInvoicePaid(folder.file("2026/2026001.tvl"), QDate(2026, 3, 20), 121000);
    folder.writeBytes(kImportedPaymentsFileName,
                      "# zaznam\r\n"
                      "zapisuje se\tA\t2026/2026001.tvl\t20.3.2026\t1210,00\r\n"
                      "zapisuje se\tB\t2026/2026002.tvl\t20.3.2026\t1210,00\r\n"
                      "zapisuje se\tC\t2026/2026009.tvl\t20.3.2026\t1210,00\r\n"
                      "zapsano\tD\t2026/2026002.tvl\t1.3.2026\t5,00\r\n");
    const ImportedPayments record = ImportedPayments::Load(folder.path());
    EXPECT_TRUE(record.Contains("A"));  // its invoice holds what it wrote
    EXPECT_FALSE(record.Contains("B")); // its invoice is as before: it was never written
    EXPECT_FALSE(record.Contains("C")); // its invoice is gone
    EXPECT_TRUE(record.Contains("D"));
    const QByteArray settled = folder.readBytes(kImportedPaymentsFileName);
    EXPECT_FALSE(settled.contains("zapisuje se"));
    EXPECT_EQ(ImportedPayments::Load(folder.path()).Count(), 2);

    for (const QByteArray& damaged :
         {QByteArray("zapsano\tA\tx\n"), QByteArray("hotovo\tA\tx\t1.1.2026\t1,00\n"),
          QByteArray("zapsano\t\tx\t1.1.2026\t1,00\n")}) {
        folder.writeBytes(kImportedPaymentsFileName, damaged);
        EXPECT_THROW(ImportedPayments::Load(folder.path()), FileError) << damaged.constData();
    }
}

TEST(ImportedPayments, KilledWhileWriting200PaymentsLeavesFilesOldOrNewAndTheRecordTrue) {
    constexpr int kCount = 200;
    TempProgramFolder folder;
    const std::vector<BookEntry> book = WriteInvoices(folder, kCount);
    std::vector<QByteArray> old(kCount + 1);
    for (int i = 1; i <= kCount; ++i)
        old[i] =
            folder.readBytes(QStringLiteral("2026/2026%1.tvl").arg(i, 3, 10, QLatin1Char('0')));
    const BankStatement statement = Statement(kCount);
    // Kill the writer after it has written 0, some and nearly all invoice files.
    for (const int killAfter : {0, 1, 37, 150, 199}) {
        SCOPED_TRACE(killAfter);
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        std::fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipe[0]);
            PaymentReview review = Review(folder, book, statement);
            ImportedPayments record = ImportedPayments::Load(folder.path());
            record.Write(review.Writes(), [&] {
                const char tick = 1;
                (void)!::write(pipe[1], &tick, 1); // one byte per invoice file written
            });
            _exit(0);
        }
        ::close(pipe[1]);
        int written = 0;
        char tick = 0;
        while (written < killAfter && ::read(pipe[0], &tick, 1) == 1)
            ++written;
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(pipe[0]);

        const ImportedPayments record = ImportedPayments::Load(folder.path());
        int newFiles = 0;
        for (int i = 1; i <= kCount; ++i) {
            const QString name = QStringLiteral("2026%1").arg(i, 3, 10, QLatin1Char('0'));
            const QByteArray bytes = folder.readBytes(QStringLiteral("2026/%1.tvl").arg(name));
            const QByteArray paid = WithPayment(old[i], "20.3.2026", "1210,00");
            ASSERT_TRUE(bytes == old[i] || bytes == paid) << name.toStdString();
            const bool isNew = bytes == paid;
            newFiles += isNew;
            EXPECT_EQ(record.Contains(PaymentIdentity(statement.Platby[i - 1])), isNew)
                << name.toStdString();
        }
        EXPECT_GE(newFiles, killAfter);
        EXPECT_EQ(record.Count(), newFiles);
        EXPECT_FALSE(folder.readBytes(kImportedPaymentsFileName).contains("zapisuje se"));
        // No temporary file is left that a later listing would take for an invoice.
        for (const QString& name : QDir(folder.file("2026")).entryList(QDir::Files))
            EXPECT_TRUE(name.endsWith(QLatin1String(".tvl")) || IsTemporaryFileName(name));
    }
}

} // namespace
} // namespace tarvela
