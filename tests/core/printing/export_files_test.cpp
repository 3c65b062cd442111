// What the accountant's export and the e-mail write: names from the invoice files, never outside
// the chosen folder, never one over another; the set all old or all new after a kill; attachment
// names the mail client cannot misread (tried with the desktop's real xdg-email).
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "printing/accountant_export.h"
#include "printing/file_set.h"
#include "printing/invoice_email.h"
#include "support/printing_fixtures.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarvela;
using namespace tarvela::test;

namespace {

InvoiceRecord March(const QString& number, const char* base) {
    InvoiceRecord f = SampleInvoice().fields;
    f.Polozky = {};
    f.Polozky[0] = Row("A", "Práce", "h", "1", base, "21");
    f.Cislo = number;
    f.Symbol = QStringLiteral("1");
    f.DatumPlneni = QDate(2026, 3, 9);
    return f;
}

// Writes an invoice file under `fileName` whose line 1 says `lineOne`.
void WriteInvoice(const TempProgramFolder& folder, const QString& fileName, const QString& lineOne,
                  const char* base) {
    QByteArray bytes = InvoiceFileBytes(March(QStringLiteral("2026999"), base));
    bytes.replace(0, 7, lineOne.toLatin1());
    folder.writeBytes(QStringLiteral("2026/") + fileName, bytes);
}

QStringList AllFiles(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

TEST(ExportFiles, NamesComeFromTheInvoiceFilesStayInsideAndNeverReplaceEachOther) {
    TempProgramFolder folder;
    const InvoiceStore store(folder.path());
    WriteInvoice(folder, QStringLiteral("2026001.tvl"), QStringLiteral("../../x"), "100");
    WriteInvoice(folder, QStringLiteral("2026002.TVL"), QStringLiteral("2026002"), "200");
    WriteInvoice(folder, QStringLiteral("2026003.tvl"), QStringLiteral("2026002"), "300");
    WriteInvoice(folder, QStringLiteral("2026004.tvl"), QStringLiteral("/tmp/abs"), "400");
    const auto [from, to] = MonthRange(2026, 3);
    const std::vector<PeriodInvoice> invoices =
        ReadPeriodInvoices(store, 2026, from, to, PayerSettings());
    ASSERT_EQ(invoices.size(), 4u); // the upper-case one read as itself
    const QString out = folder.file(QStringLiteral("a/b/export"));
    const QStringList written =
        ExportPeriod(out, invoices, {DocumentKind::Faktura}, PayerSettings());
    const QStringList expected{"2026001.isdoc", "2026002.isdoc", "2026003.isdoc", "2026004.isdoc",
                               "faktury.csv"};
    EXPECT_EQ(written, expected);
    QStringList inside = expected;
    for (QString& name : inside)
        name = QStringLiteral("a/b/export/") + name;
    // Nothing but the export and the period's own files in the whole program folder.
    EXPECT_EQ(AllFiles(folder.path()).filter(QStringLiteral("a/")), inside);
    EXPECT_EQ(AllFiles(folder.path()).size(), 4 + 5);
    // Numbers that could lead out of a folder make no names; duplicates are numbered.
    EXPECT_THROW(PeriodIsdocFileName(QStringLiteral("../../x"), DocumentKind::Faktura),
                 ValidationError);
    NamedFiles twins{{"2026001.isdoc", "a"}, {"2026001.ISDOC", "b"}, {"2026001.isdoc", "c"}};
    MakeNamesUnique(twins);
    EXPECT_EQ(twins[1].first, QStringLiteral("2026001-2.ISDOC"));
    EXPECT_EQ(twins[2].first, QStringLiteral("2026001-3.isdoc"));
}

// The export replacing an earlier one is killed at random moments: each time the folder holds
// the old set or the new one, whole, the user's other file too, and nothing temporary.
TEST(ExportFiles, AKilledExportLeavesAllOldOrAllNew) {
    TempProgramFolder folder;
    const QString out = folder.file(QStringLiteral("export"));
    const NamedFiles older{{"2026001.isdoc", "old 1"}, {"faktury.csv", "old csv"}};
    const NamedFiles newer{
        {"2026001.isdoc", "new 1"}, {"2026002.isdoc", "new 2"}, {"faktury.csv", "new csv"}};
    const auto contents = [&] {
        std::map<QString, QByteArray> files;
        for (const QString& name : QDir(out).entryList(QDir::Files | QDir::Hidden))
            files[name] = ReadFileBytes(QDir(out).filePath(name));
        return files;
    };
    std::map<QString, QByteArray> oldSet{
        {"2026001.isdoc", "old 1"}, {"faktury.csv", "old csv"}, {"moje.txt", "mine"}};
    std::map<QString, QByteArray> newSet{{"2026001.isdoc", "new 1"},
                                         {"2026002.isdoc", "new 2"},
                                         {"faktury.csv", "new csv"},
                                         {"moje.txt", "mine"}};
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        QDir(out).removeRecursively();
        WriteFileSet(out, older);
        folder.writeBytes(QStringLiteral("export/moje.txt"), "mine");
        std::fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            WriteFileSet(out, newer);
            _exit(0);
        }
        ::usleep(QRandomGenerator::global()->bounded(3000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const auto now = contents();
        EXPECT_TRUE(now == oldSet || now == newSet);
        // Another write after the kill clears what the killed one left beside the folder.
        WriteFileSet(out, newer);
        EXPECT_EQ(contents(), newSet);
    }
    EXPECT_EQ(QDir(folder.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                  .filter(QStringLiteral("tarvela-"))
                  .size(),
              0);
}

TEST(EmailNames, AttachmentsAreAFixedWordAndTheDigits) {
    EXPECT_EQ(EmailAttachmentName(DocumentKind::Faktura, "2026001", ".pdf"), "Faktura-2026001.pdf");
    EXPECT_EQ(EmailAttachmentName(DocumentKind::DodaciList, "FV 2026-7", ".isdoc"),
              "DodaciList-20267.isdoc");
    for (const char* number : {"1',bcc='spy@example.com", "../../escaped-by-email", "a,b", "a=b",
                               "jan@firma", "x\"y", "it's"}) {
        SCOPED_TRACE(number);
        EXPECT_THROW(EmailAttachmentName(DocumentKind::Faktura, QString::fromUtf8(number), ".pdf"),
                     ValidationError);
        EXPECT_THROW(ValidateInvoiceNumber(QString::fromUtf8(number)), ValidationError);
    }
}

// The desktop's own xdg-email (xdg-utils) in a GNOME session whose mail client is a recording
// "thunderbird": the command line it builds holds the attachments and nothing else.
TEST(EmailNames, TheRealXdgEmailHandsOnlyTheAttachments) {
    const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    ASSERT_FALSE(xdgEmail.isEmpty()) << "xdg-utils is a build dependency";
    TempProgramFolder home;
    home.writeBytes(QStringLiteral("config/mimeapps.list"),
                    "[Default Applications]\nx-scheme-handler/mailto=thunderbird.desktop\n");
    home.writeBytes(QStringLiteral("data/applications/thunderbird.desktop"),
                    "[Desktop Entry]\nType=Application\nName=Mail\nExec=" +
                        QFile::encodeName(home.file(QStringLiteral("bin/thunderbird"))) +
                        " %u\nMimeType=x-scheme-handler/mailto;\n");
    home.writeBytes(QStringLiteral("bin/thunderbird"),
                    "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/record\"\n");
    QFile::setPermissions(home.file(QStringLiteral("bin/thunderbird")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QStringList attachments;
    for (const char* ext : {".pdf", ".isdoc"}) {
        attachments.append(home.file(
            EmailAttachmentName(DocumentKind::Faktura, "2026001", QString::fromLatin1(ext))));
        home.writeBytes(QFileInfo(attachments.last()).fileName(), "x");
    }
    QProcess process;
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.file(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.file(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_DATA_DIRS"), home.file(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    process.setProcessEnvironment(env);
    // A hostile supplier name in the subject and body too.
    process.start(xdgEmail,
                  MailClientArguments(QStringLiteral("Faktura 2026001 – A',bcc='spy@x.cz"),
                                      QStringLiteral("Dobrý den,',to='spy@x.cz"), attachments));
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    const QList<QByteArray> record = home.readBytes(QStringLiteral("bin/record")).split('\n');
    ASSERT_GE(record.size(), 2);
    EXPECT_EQ(record[0], "-compose");
    const QByteArray compose = record[1];
    EXPECT_TRUE(compose.endsWith(",attachment='" + QFile::encodeName(attachments.join(',')) + "'"))
        << compose.constData();
    EXPECT_FALSE(compose.contains("bcc=")) << compose.constData();
    EXPECT_FALSE(compose.contains(",to=")) << compose.constData();
    EXPECT_EQ(compose.count('\''), 2) << compose.constData();
}

} // namespace
