// What the store promises about a period folder shared by several instances and holding
// anything a folder can hold: a new invoice's file is created by exactly one of two racing
// saves, an opened file is saved over itself, a link is never written through nor followed,
// what is no regular file or is too large is never read, an unreadable folder is said, and
// abandoned temporary files disappear. Settings keep a byte order mark and quoted values.

#include "editor/invoice_list.h"
#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "printing/print_variables.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

namespace tarvela {
namespace {

using test::TempProgramFolder;

constexpr int kYear = 2026;

InvoiceRecord Invoice(const QString& number, const QString& customer) {
    InvoiceRecord r;
    r.Cislo = number;
    r.OdberatelNazev1 = customer;
    r.Mena = QStringLiteral("CZK");
    return r;
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Child exit codes of a racing save.
constexpr int kWrote = 0;
constexpr int kTaken = 1; // NumberTakenError offering the next number
constexpr int kOther = 2;

TEST(ConcurrentSave, OfTwoInstancesCreatingTheSameNumberExactlyOneWrites) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const QString number = QStringLiteral("2026%1").arg(round + 1, 3, 10, QLatin1Char('0'));
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        std::fflush(nullptr);
        pid_t children[2];
        for (int c = 0; c < 2; ++c) {
            children[c] = fork();
            ASSERT_GE(children[c], 0);
            if (children[c] == 0) {
                char byte;
                ::close(go[1]);
                if (::read(go[0], &byte, 1) < 0) // end of file: both start at the same moment
                    _exit(kOther);
                try {
                    store.CreateInvoice(kYear, Invoice(number, QStringLiteral("Okno %1").arg(c)));
                    _exit(kWrote);
                } catch (const NumberTakenError& e) {
                    _exit(e.nextNumber() ==
                                  QStringLiteral("2026%1").arg(round + 2, 3, 10, QLatin1Char('0'))
                              ? kTaken
                              : kOther);
                } catch (...) {
                    _exit(kOther);
                }
            }
        }
        ::close(go[0]);
        ::close(go[1]); // releases both
        int codes[2];
        for (int c = 0; c < 2; ++c) {
            int status = 0;
            ASSERT_EQ(waitpid(children[c], &status, 0), children[c]);
            ASSERT_TRUE(WIFEXITED(status));
            codes[c] = WEXITSTATUS(status);
        }
        ASSERT_EQ(std::min(codes[0], codes[1]), kWrote);
        ASSERT_EQ(std::max(codes[0], codes[1]), kTaken);
        InvoiceRecord saved;
        ReadInvoiceFile(store.InvoiceFilePath(kYear, number), saved, QString());
        EXPECT_EQ(saved.OdberatelNazev1, QStringLiteral("Okno %1").arg(codes[0] == kWrote ? 0 : 1));
    }
    EXPECT_EQ(Entries(store.PeriodFolder(kYear)).size(), 40); // no temporary file left behind
}

TEST(SaveOverOwnFile, AnOpenedUpperCaseFileIsSavedOverItself) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    program.writeBytes(QStringLiteral("2026/2026001.TVL"),
                       InvoiceFileBytes(Invoice(QStringLiteral("2026001"), QStringLiteral("A"))));
    const QString existing = store.ExistingInvoiceFile(kYear, QStringLiteral("2026001"));
    EXPECT_EQ(existing, store.PeriodFolder(kYear) + QStringLiteral("/2026001.TVL"));
    store.SaveInvoice(kYear, Invoice(QStringLiteral("2026001"), QStringLiteral("B")));
    EXPECT_EQ(Entries(store.PeriodFolder(kYear)), QStringList{QStringLiteral("2026001.TVL")});
    EXPECT_EQ(ListInvoiceFileNames(store.PeriodFolder(kYear)).size(), 1);
    // A new invoice of that number is refused, not written beside it.
    EXPECT_THROW(
        store.CreateInvoice(kYear, Invoice(QStringLiteral("2026001"), QStringLiteral("C"))),
        NumberTakenError);
    InvoiceRecord r;
    ReadInvoiceFile(existing, r, QString());
    EXPECT_EQ(r.OdberatelNazev1, QStringLiteral("B"));
}

TEST(SaveOverLink, TheLinkIsReplacedAndItsTargetNeverWritten) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
    program.writeBytes(QStringLiteral("outside.txt"), "not an invoice");
    ASSERT_TRUE(QFile::link(program.file(QStringLiteral("outside.txt")),
                            store.InvoiceFilePath(kYear, QStringLiteral("2026001"))));
    store.SaveInvoice(kYear, Invoice(QStringLiteral("2026001"), QStringLiteral("B")));
    EXPECT_EQ(program.readBytes(QStringLiteral("outside.txt")), QByteArray("not an invoice"));
    const QString path = store.InvoiceFilePath(kYear, QStringLiteral("2026001"));
    EXPECT_TRUE(IsRegularFileEntry(path));
    EXPECT_EQ(test::ReadFileBytes(path),
              InvoiceFileBytes(Invoice(QStringLiteral("2026001"), QStringLiteral("B"))));
}

TEST(TemporaryFiles, AbandonedOnesGoAtTheNextSaveAndFreshOnesHoldTheirNumber) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    program.writeBytes(QStringLiteral("2026/2026001.tvl.aB3dE9"), "killed");
    const QByteArray old =
        QFile::encodeName(program.file(QStringLiteral("2026/2026001.tvl.aB3dE9")));
    const utimbuf hourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
    ASSERT_EQ(utime(old.constData(), &hourAgo), 0);
    program.writeBytes(QStringLiteral("2026/2026002.tvl.Zz9yX1"), "being saved");

    EXPECT_TRUE(ListInvoiceFileNames(store.PeriodFolder(kYear)).isEmpty());
    EXPECT_EQ(store.NextInvoiceCounter(kYear), QStringLiteral("003")); // 002 is being saved
    store.RemoveStaleTemporaryFiles(kYear);
    EXPECT_EQ(Entries(store.PeriodFolder(kYear)),
              QStringList{QStringLiteral("2026002.tvl.Zz9yX1")});
    program.writeBytes(QStringLiteral("2026/2026001.tvl.aB3dE9"), "killed");
    ASSERT_EQ(utime(old.constData(), &hourAgo), 0);
    store.CreateInvoice(kYear, Invoice(QStringLiteral("2026003"), QStringLiteral("C")));
    EXPECT_EQ(Entries(store.PeriodFolder(kYear)),
              (QStringList{QStringLiteral("2026002.tvl.Zz9yX1"), QStringLiteral("2026003.tvl")}));
}

TEST(HostileEntries, LinksFifosDevicesAndHugeFilesAreNeverReadWhole) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    const QString folder = store.PeriodFolder(kYear) + QLatin1Char('/');
    program.writeBytes(QStringLiteral("2026/2026001.tvl"),
                       InvoiceFileBytes(Invoice(QStringLiteral("2026001"), QStringLiteral("A"))));
    program.writeBytes(QStringLiteral("elsewhere.tvl"),
                       InvoiceFileBytes(Invoice(QStringLiteral("2026900"), QStringLiteral("X"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(program.file(QStringLiteral("fifo"))), 0600), 0);
    ASSERT_TRUE(QFile::link(program.file(QStringLiteral("fifo")), folder + "2026002.tvl"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder + "2026003.tvl"));
    ASSERT_TRUE(QFile::link(program.file(QStringLiteral("elsewhere.tvl")), folder + "2026004.tvl"));
    // A sparse file of a gigabyte costs no disk space but would take all memory to read.
    {
        QFile sparse(folder + "2026005.tvl");
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(qint64(1) << 30));
    }

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ListInvoiceFileNames(store.PeriodFolder(kYear)),
              (QStringList{QStringLiteral("2026001.tvl"), QStringLiteral("2026005.tvl")}));
    const InvoiceListEntry huge = ReadInvoiceListEntry(store.PeriodFolder(kYear), "2026005.tvl");
    EXPECT_EQ(huge.Cislo, QStringLiteral("2026005"));
    InvoiceRecord r;
    try {
        ReadInvoiceFile(folder + "2026005.tvl", r, QString());
        ADD_FAILURE() << "a file of a gigabyte was read";
    } catch (const OversizedFileError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("2026005.tvl"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("příliš velký"))) << e.what();
    }
    for (const char* link : {"2026002.tvl", "2026003.tvl", "2026004.tvl"})
        EXPECT_THROW(ReadInvoiceFile(folder + link, r, QString()), FileError) << link;
    EXPECT_EQ(store.NextInvoiceCounter(kYear), QStringLiteral("006"));
    EXPECT_LT(clock.elapsed(), 5000); // nothing waited for a writer or read a gigabyte
}

TEST(UnreadableFolder, IsSaidInsteadOfListedAsEmpty) {
    TempProgramFolder program;
    const InvoiceStore store(program.path());
    program.writeBytes(QStringLiteral("2026/2026001.tvl"), "x");
    const QByteArray folder = QFile::encodeName(store.PeriodFolder(kYear));
    ASSERT_EQ(::chmod(folder.constData(), 0300), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(program.path()).constData(), 0711), 0);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Root reads any folder: the check runs as an ordinary user.
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(3);
        int failures = 0;
        for (const auto& read : std::initializer_list<std::function<void()>>{
                 [&] { ListInvoiceFileNames(store.PeriodFolder(kYear)); },
                 [&] { store.NextInvoiceCounter(kYear); },
                 [&] { store.ListInvoiceFiles(kYear, InvoiceStore::Listing::AsListed); }}) {
            try {
                read();
                ++failures;
            } catch (const FileError& e) {
                if (!e.message().contains(QStringLiteral("nelze přečíst")))
                    ++failures;
            }
        }
        _exit(failures);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ::chmod(folder.constData(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SettingsFile, AByteOrderMarkIsReadThroughAndKept) {
    TempProgramFolder program;
    const QString ini = QString::fromLatin1(kSettingsFileName);
    const QByteArray bytes = "\xEF\xBB\xBF[NASTAVENI]\r\nPlatce=1\r\nSazbaDPH1=20\r\n"
                             "AktualniRok=2025\r\n";
    program.writeBytes(ini, bytes);
    const AppSettings settings = LoadSettings(program.path());
    EXPECT_TRUE(settings.Platce);
    EXPECT_EQ(settings.SazbaDPH1, 20);
    EXPECT_EQ(settings.AktualniRok, 2025);
    SavePeriodYear(program.path(), 2026);
    EXPECT_EQ(program.readBytes(ini),
              "\xEF\xBB\xBF[NASTAVENI]\r\nPlatce=1\r\nSazbaDPH1=20\r\nAktualniRok=2026\r\n");
}

TEST(SettingsFile, ValuesKeepTheirQuotesAndSpacesThroughSaveAndLoad) {
    TempProgramFolder program;
    const QString path = program.file(QString::fromLatin1(kSettingsFileName));
    for (const QString& value :
         {QStringLiteral("\"U Nádraží\""), QStringLiteral("'x'"), QStringLiteral("  dva  "),
          QStringLiteral("\""), QStringLiteral("\"\""), QStringLiteral("a \"b\" c"),
          QStringLiteral("obyčejná")}) {
        WriteIniString(path, QStringLiteral("Dodavatel"), QStringLiteral("Nazev"), value);
        EXPECT_EQ(IniFile::Load(path).ReadString(QStringLiteral("Dodavatel"),
                                                 QStringLiteral("Nazev"), QString()),
                  value);
    }
    // An ordinary value is written as it stands.
    EXPECT_TRUE(test::ReadFileBytes(path).contains("Nazev=oby\xE8"
                                                   "ejn\xE1\r\n"));
}

TEST(SettingsFile, AnOversizedFileIsNotReadAndSaid) {
    TempProgramFolder program;
    const QString path = program.file(QString::fromLatin1(kSettingsFileName));
    {
        QFile sparse(path);
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(qint64(1) << 30));
    }
    QString problem;
    EXPECT_EQ(LoadSettings(program.path(), &problem).SazbaDPH1, 21);
    EXPECT_TRUE(problem.contains(QStringLiteral("příliš velký"))) << problem.toStdString();
    EXPECT_THROW(SavePeriodYear(program.path(), 2027), OversizedFileError);
    EXPECT_EQ(QFileInfo(path).size(), qint64(1) << 30); // left as it was
}

TEST(PrintVariables, ANulCharacterIsRefusedNamingTheField) {
    PrintVariables v;
    v.add(QStringLiteral("CisloDokladu"), QStringLiteral("2026001"));
    try {
        v.add(QStringLiteral("OdberatelNazev1"), QStringLiteral("Firma") + QChar(0) + "s.r.o.");
        ADD_FAILURE() << "a NUL character was handed over";
    } catch (const ValidationError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("OdberatelNazev1"))) << e.what();
    }
    EXPECT_EQ(v.text(), QStringLiteral("CisloDokladu|2026001"));
}

} // namespace
} // namespace tarvela
