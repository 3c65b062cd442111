// Writes that fail part-way: a file size limit hit in the middle of the write (set with
// setrlimit in a forked child, SIGXFSZ ignored there so the write returns short instead of
// killing the process), a period folder that vanished, a settings folder that is gone, a
// directory where the file should be. Each must raise a clear error and leave the previous
// invoice and settings files byte for byte as they were.

#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvela {
namespace {

using test::TempProgramFolder;

constexpr int kYear = 2026;

// Exit codes of the child.
constexpr int kRaisedExpected = 0; // the expected error, with the expected message
constexpr int kNoError = 1;        // the write claimed success
constexpr int kOtherError = 2;     // another exception, or the wrong message

// Runs `write` in a forked child whose files may not grow beyond `limit` bytes; the child
// passes when `write` raises FileError whose message contains `messagePart`.
int RunWithFileSizeLimit(rlim_t limit, const std::function<void()>& write,
                         const QString& messagePart) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lim{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &lim) != 0)
            _exit(3);
        int code = kNoError;
        try {
            write();
        } catch (const FileError& e) {
            code = e.message().contains(messagePart) ? kRaisedExpected : kOtherError;
        } catch (...) {
            code = kOtherError;
        }
        _exit(code);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

InvoiceRecord SampleInvoice(const QString& number, int items) {
    InvoiceRecord r;
    r.Cislo = number;
    r.Symbol = QStringLiteral("0308");
    r.FormaUhrady = QStringLiteral("PP");
    r.DatumPlneni = QDate(2026, 3, 5);
    r.DatumVystaveni = QDate(2026, 3, 5);
    r.DatumSplatnosti = QDate(2026, 3, 19);
    r.OdberatelNazev1 = QStringLiteral("Žluťoučký kůň s.r.o.");
    for (int i = 0; i < items; ++i)
        r.Polozky[i] = {QStringLiteral("K%1").arg(i), QStringLiteral("Oprava střechy č. %1").arg(i),
                        QStringLiteral("ks"),         QStringLiteral("2"),
                        QStringLiteral("150,00"),     QStringLiteral("21")};
    r.Komentar1 = QString(400, QLatin1Char('x'));
    r.Uhrnem = QStringLiteral("1 210,00");
    r.Mena = QStringLiteral("CZK");
    return r;
}

// Names in the folder, to see that no temporary file was left behind.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class FaultInjection : public ::testing::Test {
protected:
    TempProgramFolder program;
    InvoiceStore store{program.path()};
};

TEST_F(FaultInjection, InvoiceWriteCutShortKeepsThePreviousFile) {
    ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
    const QString path = store.InvoiceFilePath(kYear, QStringLiteral("2026001"));
    store.SaveInvoice(kYear, SampleInvoice(QStringLiteral("2026001"), 1));
    const QByteArray previous = test::ReadFileBytes(path);
    ASSERT_FALSE(previous.isEmpty());

    const InvoiceRecord edited = SampleInvoice(QStringLiteral("2026001"), 25);
    const qsizetype newSize = InvoiceFileBytes(edited).size();
    ASSERT_GT(newSize, previous.size());
    // Cut at nothing, one byte, in the middle of the header, of the items, one byte short.
    for (const rlim_t limit :
         {rlim_t(0), rlim_t(1), rlim_t(60), rlim_t(newSize / 2), rlim_t(newSize - 1)}) {
        SCOPED_TRACE(limit);
        EXPECT_EQ(RunWithFileSizeLimit(
                      limit, [&] { store.SaveInvoice(kYear, edited); },
                      QStringLiteral("Faktura nebyla uložena")),
                  kRaisedExpected);
        EXPECT_EQ(test::ReadFileBytes(path), previous);
        EXPECT_EQ(Entries(store.PeriodFolder(kYear)), QStringList{QStringLiteral("2026001.tvl")});
    }
    // With room enough the same write succeeds: the limit was the only fault.
    EXPECT_EQ(RunWithFileSizeLimit(
                  rlim_t(newSize), [&] { store.SaveInvoice(kYear, edited); }, QString()),
              kNoError);
    EXPECT_EQ(test::ReadFileBytes(path), InvoiceFileBytes(edited));
}

TEST_F(FaultInjection, NewInvoiceCutShortLeavesNoFile) {
    ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
    EXPECT_EQ(RunWithFileSizeLimit(
                  100,
                  [&] { store.SaveInvoice(kYear, SampleInvoice(QStringLiteral("2026002"), 3)); },
                  QStringLiteral("2026002.tvl")),
              kRaisedExpected);
    EXPECT_TRUE(Entries(store.PeriodFolder(kYear)).isEmpty());
}

TEST_F(FaultInjection, SaveIntoVanishedPeriodFolderFailsClearly) {
    ASSERT_TRUE(store.EnsurePeriodFolder(kYear));
    store.SaveInvoice(kYear, SampleInvoice(QStringLiteral("2026001"), 1));
    ASSERT_TRUE(QDir(store.PeriodFolder(kYear)).removeRecursively());
    try {
        store.SaveInvoice(kYear, SampleInvoice(QStringLiteral("2026001"), 2));
        FAIL() << "saving into a vanished folder reported success";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("2026001.tvl"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("Faktura nebyla uložena"))) << e.what();
    }
    // The folder is not silently created anew by the save.
    EXPECT_FALSE(QFileInfo::exists(store.PeriodFolder(kYear)));
}

TEST_F(FaultInjection, PeriodFolderReplacedByAFileFailsClearly) {
    program.writeBytes(QStringLiteral("2026"), "not a folder");
    EXPECT_THROW(store.SaveInvoice(kYear, SampleInvoice(QStringLiteral("2026001"), 1)), FileError);
    EXPECT_EQ(program.readBytes(QStringLiteral("2026")), QByteArray("not a folder"));
}

TEST_F(FaultInjection, InvoiceFileThatIsAFolderIsNotReplaced) {
    const QString path = store.InvoiceFilePath(kYear, QStringLiteral("2026001"));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/inside")));
    EXPECT_THROW(store.SaveInvoice(kYear, SampleInvoice(QStringLiteral("2026001"), 1)), FileError);
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/inside")).isDir());
}

// --- Settings ----------------------------------------------------------------------------------

const QByteArray kSettings = "; nastavení\r\n[NASTAVENI]\r\nAktualniRok=2025\r\nVychoziMena=CZK\r\n"
                             "Platce=1\r\n\r\n[Dodavatel]\r\nNazev=Firma\r\nICO=12345678\r\n";

TEST_F(FaultInjection, SettingsWriteCutShortKeepsThePreviousFile) {
    program.writeBytes(QString::fromLatin1(kSettingsFileName), kSettings);
    const QString path = SettingsFilePath(program.path());
    AppSettings settings = LoadSettings(program.path());
    settings.Dodavatel.Nazev = QStringLiteral("Nová firma s dlouhým názvem, a. s.");
    settings.Dodavatel.Osoba = QStringLiteral("Jan Novák");

    for (const rlim_t limit :
         {rlim_t(0), rlim_t(1), rlim_t(kSettings.size() / 2), rlim_t(kSettings.size() - 1)}) {
        SCOPED_TRACE(limit);
        EXPECT_EQ(RunWithFileSizeLimit(
                      limit, [&] { SavePeriodYear(program.path(), 2026); },
                      QStringLiteral("Nastavení nelze zapsat do souboru „")),
                  kRaisedExpected);
        EXPECT_EQ(program.readBytes(QString::fromLatin1(kSettingsFileName)), kSettings);
        EXPECT_EQ(RunWithFileSizeLimit(
                      limit, [&] { SaveSettings(program.path(), settings); },
                      QDir::toNativeSeparators(path)),
                  kRaisedExpected);
        EXPECT_EQ(program.readBytes(QString::fromLatin1(kSettingsFileName)), kSettings);
        EXPECT_EQ(Entries(program.path()), QStringList{QString::fromLatin1(kSettingsFileName)});
    }
}

TEST_F(FaultInjection, SettingsLimitReachedPartWayKeepsEveryWriteWhole) {
    // Room for the first keys but not for all sixteen supplier texts: the keys written before
    // the failure stay, and the file is never half a write.
    program.writeBytes(QString::fromLatin1(kSettingsFileName), kSettings);
    AppSettings settings = LoadSettings(program.path());
    for (QString* text : {&settings.Dodavatel.Ulice, &settings.Dodavatel.Mesto,
                          &settings.Dodavatel.Banka, &settings.Dodavatel.Osoba})
        *text = QString(60, QLatin1Char('z'));
    const rlim_t limit = rlim_t(kSettings.size() + 120);
    EXPECT_EQ(RunWithFileSizeLimit(
                  limit, [&] { SaveSettings(program.path(), settings); },
                  QStringLiteral("Nastavení nelze zapsat do souboru „")),
              kRaisedExpected);
    const QByteArray after = program.readBytes(QString::fromLatin1(kSettingsFileName));
    EXPECT_LE(after.size(), qsizetype(limit));
    EXPECT_TRUE(after.startsWith("; nastavení\r\n[NASTAVENI]\r\nAktualniRok=2025\r\n"));
    EXPECT_TRUE(after.endsWith("\r\n"));
    const AppSettings reread = LoadSettings(program.path());
    EXPECT_EQ(reread.AktualniRok, 2025);
    EXPECT_EQ(reread.VychoziMena, settings.VychoziMena);
    EXPECT_TRUE(reread.Dodavatel.Osoba.isEmpty()); // the last key was never reached
}

TEST_F(FaultInjection, SettingsFolderGoneFailsClearly) {
    const QString gone = program.path() + QStringLiteral("gone/");
    ASSERT_TRUE(QDir().mkpath(gone));
    ASSERT_TRUE(QDir(gone).removeRecursively());
    try {
        SavePeriodYear(gone, 2026);
        FAIL() << "writing into a missing folder reported success";
    } catch (const FileError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Nastavení nelze zapsat do souboru „") +
                                   QDir::toNativeSeparators(SettingsFilePath(gone)) +
                                   QStringLiteral("“. Zkontrolujte, zda soubor není jen pro čtení "
                                                  "a zda je na disku místo."));
    }
    AppSettings settings;
    EXPECT_THROW(SaveSettings(gone, settings), FileError);
    EXPECT_FALSE(QFileInfo::exists(gone));
    // Reading a settings file whose folder is gone gives the defaults.
    EXPECT_EQ(LoadSettings(gone).VychoziMena, QStringLiteral("CZK"));
}

TEST_F(FaultInjection, SettingsFileThatIsAFolderIsNotReplaced) {
    ASSERT_TRUE(QDir().mkpath(program.file(QString::fromLatin1(kSettingsFileName)) +
                              QStringLiteral("/inside")));
    EXPECT_THROW(SavePeriodYear(program.path(), 2026), FileError);
    EXPECT_TRUE(
        QFileInfo(program.file(QString::fromLatin1(kSettingsFileName)) + QStringLiteral("/inside"))
            .isDir());
    EXPECT_EQ(LoadSettings(program.path()).SazbaDPH1, 21);
}

} // namespace
} // namespace tarvela
