// Writers that meet: a payment and a save of another instance at the same moment, a number
// taken by something that is no invoice file, and an invoice too large to be read again.

#include "editor/invoice_book.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvela {
namespace {

using test::TempProgramFolder;

constexpr int kYear = 2026;

InvoiceRecord Invoice(const QString& number) {
    InvoiceRecord r;
    r.Cislo = number;
    r.OdberatelNazev1 = QStringLiteral("Dvořák");
    r.Polozky[0] = {QStringLiteral("K1"), QStringLiteral("Stůl"), QStringLiteral("ks"),
                    QStringLiteral("1"),  QStringLiteral("100"),  QStringLiteral("21")};
    r.Mena = QStringLiteral("CZK");
    return r;
}

// Runs each function in a forked child, all released at one moment; true when every child
// ended with 0.
bool RunTogether(const std::vector<std::function<int()>>& work) {
    int go[2];
    if (pipe(go) != 0)
        return false;
    std::fflush(nullptr);
    std::vector<pid_t> children;
    for (const auto& w : work) {
        const pid_t pid = fork();
        if (pid < 0)
            return false;
        if (pid == 0) {
            char byte;
            ::close(go[1]);
            if (::read(go[0], &byte, 1) < 0)
                _exit(9);
            int code = 8;
            try {
                code = w();
            } catch (...) {
            }
            _exit(code);
        }
        children.push_back(pid);
    }
    ::close(go[0]);
    ::close(go[1]);
    bool ok = true;
    for (const pid_t pid : children) {
        int status = 0;
        ok = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && ok;
    }
    return ok;
}

constexpr int kWrites = 6;

// One instance records payments 1..kWrites from the book while another saves the opened
// invoice with comments 1..kWrites (reopening it when told that it changed): both last writes
// arrive, in every round.
TEST(ConcurrentWrites, APaymentAndASaveOfAnotherInstanceAreBothKept) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        const QString number = QStringLiteral("2026%1").arg(round + 1, 3, 10, QLatin1Char('0'));
        store.CreateInvoice(kYear, Invoice(number));
        const QString path = store.InvoiceFilePath(kYear, number);
        const auto pay = [&] {
            for (int k = 1; k <= kWrites; ++k)
                MarkInvoicePaid(path, QDate(2026, 4, k), qint64(k) * 100);
            return 0;
        };
        const auto save = [&] {
            for (int c = 1; c <= kWrites; ++c) {
                bool saved = false;
                for (int attempt = 0; attempt < 50 && !saved; ++attempt) {
                    const QByteArray opened = ReadWholeFile(path);
                    InvoiceRecord record;
                    ReadInvoiceBytes(opened, record, QString());
                    record.Komentar1 = QString::number(c);
                    try {
                        store.SaveOpenedInvoice(kYear, record, path, opened);
                        saved = true;
                    } catch (const ChangedMeanwhileError&) {
                    }
                }
                if (!saved)
                    return 3;
            }
            return 0;
        };
        ASSERT_TRUE(RunTogether({pay, save}));
        InvoiceRecord result;
        ReadInvoiceFile(path, result, QString());
        EXPECT_EQ(result.Komentar1, QString::number(kWrites));
        EXPECT_EQ(result.DatumUhrady, QStringLiteral("%1.4.2026").arg(kWrites));
        EXPECT_EQ(result.UhrazenaCastka, QStringLiteral("%1,00").arg(kWrites));
    }
    // no temporary file left behind
    EXPECT_EQ(QDir(store.PeriodFolder(kYear)).entryList(QDir::Files | QDir::Hidden).size(), 30);
}

// The window opened the invoice; meanwhile the file changed. What may be joined is joined, the
// rest is refused with the file left as it was.
TEST(ConcurrentWrites, ASaveJoinsAPaymentWrittenMeanwhileAndRefusesOtherChanges) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
    const QString number = QStringLiteral("2026001");
    struct Case {
        const char* name;
        std::function<void(InvoiceRecord&)> meanwhile; // another instance's change
        std::function<void(InvoiceRecord&)> window;    // the window's edit
        bool joined;
    };
    const auto pay = [](InvoiceRecord& r) {
        r.DatumUhrady = QStringLiteral("3.4.2026");
        r.UhrazenaCastka = QStringLiteral("121,00");
    };
    const auto comment = [](InvoiceRecord& r) { r.Komentar2 = QStringLiteral("Okno"); };
    const std::vector<Case> cases = {
        {"payment meanwhile, comment in the window", pay, comment, true},
        {"the same payment in both", pay, pay, true},
        {"customer meanwhile", [](InvoiceRecord& r) { r.OdberatelNazev1 = QStringLiteral("Jiný"); },
         comment, false},
        {"another payment in the window", pay,
         [](InvoiceRecord& r) { r.UhrazenaCastka = QStringLiteral("50,00"); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = store.InvoiceFilePath(kYear, number);
        QFile::remove(path);
        store.CreateInvoice(kYear, Invoice(number));
        const QByteArray opened = ReadWholeFile(path);
        InvoiceRecord other = Invoice(number);
        c.meanwhile(other);
        store.SaveInvoice(kYear, other);
        const QByteArray meanwhile = ReadWholeFile(path);
        InvoiceRecord mine = Invoice(number);
        c.window(mine);
        if (!c.joined) {
            EXPECT_THROW(store.SaveOpenedInvoice(kYear, mine, path, opened), ChangedMeanwhileError);
            EXPECT_EQ(ReadWholeFile(path), meanwhile);
            continue;
        }
        const SavedInvoice saved = store.SaveOpenedInvoice(kYear, mine, path, opened);
        EXPECT_EQ(ReadWholeFile(path), saved.bytes);
        InvoiceRecord result;
        ReadInvoiceFile(path, result, QString());
        EXPECT_EQ(result.Komentar2, mine.Komentar2);
        EXPECT_EQ(result.UhrazenaCastka, QStringLiteral("121,00"));
        EXPECT_EQ(saved.record.UhrazenaCastka, QStringLiteral("121,00"));
        EXPECT_EQ(saved.record.DatumUhrady, QStringLiteral("3.4.2026"));
    }
}

// Whatever holds the next number's name, New never proposes it, and the proposed number can be
// created at once.
TEST(Numbering, AnyEntryUnderANumberTakesIt) {
    const std::vector<std::pair<const char*, std::function<bool(const QString&)>>> holders = {
        {"dangling link",
         [](const QString& p) {
             return ::symlink("/nonexistent/2026001.tvl", QFile::encodeName(p).constData()) == 0;
         }},
        {"folder", [](const QString& p) { return QDir().mkdir(p); }},
        {"FIFO",
         [](const QString& p) { return ::mkfifo(QFile::encodeName(p).constData(), 0600) == 0; }},
        {"link to a file, upper case",
         [](const QString& p) {
             return ::symlink("/etc/hostname",
                              QFile::encodeName(p.left(p.size() - 3) + "TVL").constData()) == 0;
         }},
    };
    for (const auto& [name, make] : holders) {
        SCOPED_TRACE(name);
        TempProgramFolder program;
        const InvoiceStore store(program.path());
        ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
        ASSERT_TRUE(make(store.PeriodFolder(kYear) + QStringLiteral("/2026001.tvl")));
        ASSERT_FALSE(store.ExistingInvoiceFile(kYear, QStringLiteral("2026001")).isEmpty());
        const QString next = store.NextInvoiceCounter(kYear);
        EXPECT_EQ(next, QStringLiteral("002"));
        EXPECT_NO_THROW(store.CreateInvoice(kYear, Invoice(QStringLiteral("2026") + next)));
    }
}

// What the reader would refuse as too large is never written.
TEST(WriteBound, AnInvoiceTooLargeToBeReadAgainIsRefusedBeforeWriting) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
    for (const qsizetype length :
         {kMaxReadFileSize - 4096, kMaxReadFileSize + 1, qsizetype(5000000)}) {
        SCOPED_TRACE(length);
        InvoiceRecord r = Invoice(QStringLiteral("2026001"));
        r.Polozky[1].Dodavka = QString(length, QLatin1Char('x'));
        const QString path = store.InvoiceFilePath(kYear, r.Cislo);
        QFile::remove(path);
        if (length < kMaxReadFileSize) {
            store.CreateInvoice(kYear, r);
            InvoiceRecord back;
            EXPECT_NO_THROW(ReadInvoiceFile(path, back, QString()));
            EXPECT_EQ(back.Polozky[1].Dodavka.size(), length);
            continue;
        }
        try {
            store.CreateInvoice(kYear, r);
            ADD_FAILURE() << "written";
        } catch (const ValidationError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("nejvýše 4096 kB")));
        }
        EXPECT_FALSE(QFile::exists(path));
    }
}

} // namespace
} // namespace tarvela
