#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tarvela {
namespace {

using namespace Qt::StringLiterals;
using test::TempProgramFolder;

// Every file and folder beneath a folder, relative, sorted.
QStringList TreeOf(const QString& root) {
    QStringList all;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        all << QDir(root).relativeFilePath(it.next());
    all.sort();
    return all;
}

TEST(InvoiceStoreTest, PeriodFolderIsProgramFolderAndYear) {
    TempProgramFolder folder;
    const InvoiceStore store(folder.path());
    EXPECT_EQ(store.ProgramFolder(), folder.path());
    EXPECT_EQ(store.PeriodFolder(2026), folder.path() + u"2026"_s);
    EXPECT_EQ(store.InvoiceFilePath(2026, u"2026001"_s), folder.path() + u"2026/2026001.tvl"_s);
    // A program folder given without its trailing separator gets one.
    const QString bare = folder.path().chopped(1);
    EXPECT_EQ(InvoiceStore(bare).ProgramFolder(), folder.path());
}

TEST(InvoiceStoreTest, EnsurePeriodFolderCreatesMissingParents) {
    TempProgramFolder folder;
    const InvoiceStore store(folder.file(u"a/b/"_s));
    EXPECT_FALSE(store.PeriodFolderExists(2026));
    EXPECT_TRUE(store.EnsurePeriodFolder(2026));
    EXPECT_TRUE(QFileInfo(folder.file(u"a/b/2026"_s)).isDir());
    EXPECT_TRUE(store.EnsurePeriodFolder(2026)); // already there
}

TEST(InvoiceStoreTest, EnsurePeriodFolderReportsAFolderItCannotCreate) {
    TempProgramFolder folder;
    folder.writeBytes(u"2026"_s, "a file in the way");
    const InvoiceStore store(folder.path());
    EXPECT_FALSE(store.EnsurePeriodFolder(2026));
    EXPECT_EQ(store.NextInvoiceCounter(2026), u"001"_s); // not reported here
}

TEST(InvoiceStoreTest, ListsInvoiceFilesInCaseInsensitiveOrderInBothVariants) {
    TempProgramFolder folder;
    for (const QString& name : {u"c.TVL"_s, u"A.tvl"_s, u"b.Tvl"_s, u"B2.tvl"_s, u"x.txt"_s,
                                u"y.tvl.bak"_s, u".hidden.tvl"_s})
        folder.writeBytes(u"2026/"_s + name, "x");
    QDir().mkpath(folder.file(u"2026/folder.tvl"_s));
    const InvoiceStore store(folder.path());

    int calls = 0;
    const QStringList asListed =
        store.ListInvoiceFiles(2026, InvoiceStore::Listing::AsListed, [&] { ++calls; });
    EXPECT_EQ(asListed, (QStringList{u"A.tvl"_s, u"b.Tvl"_s, u"B2.tvl"_s, u"c.TVL"_s}));
    EXPECT_EQ(calls, 4); // once after each listed file

    EXPECT_EQ(store.ListInvoiceFiles(2026, InvoiceStore::Listing::TvlLowerCase),
              (QStringList{u"a.tvl"_s, u"b.tvl"_s, u"b2.tvl"_s, u"c.tvl"_s}));
    EXPECT_TRUE(store.ListInvoiceFiles(2031, InvoiceStore::Listing::AsListed).isEmpty());
}

TEST(InvoiceStoreTest, NextInvoiceCounterFollowsTheGreatestName) {
    const struct {
        QStringList files;
        QString counter;
    } cases[] = {
        {{}, u"001"_s},
        {{u"2026001.tvl"_s, u"2026002.tvl"_s}, u"003"_s},
        {{u"2026001.tvl"_s, u"2026010.TVL"_s}, u"011"_s},
        {{u"2026099.tvl"_s}, u"100"_s},
        {{u"2026998.tvl"_s}, u"999"_s},
        {{u"2026999.tvl"_s, u"2026001.tvl"_s}, u"000"_s}, // full although lower ones are free
        {{u"2026001.tvl"_s, u"2026-15.tvl"_s}, u"002"_s}, // "2026-15" is not the greatest
        {{u"2026-01.tvl"_s}, u"000"_s},                   // -1 + 1 = 0
        {{u"42.tvl"_s}, u"043"_s},                        // a short name is taken whole
        {{u"7.tvl"_s}, u"008"_s},
        {{u"2026005.tvl"_s, u"2026999.txt"_s, u".2026999.tvl"_s}, u"006"_s},
        {{u"Faktura2026005.tvl"_s, u"2026007.tvl"_s}, u"006"_s}, // "f..." sorts after "2..."
    };
    for (const auto& c : cases) {
        TempProgramFolder folder;
        for (const QString& name : c.files)
            folder.writeBytes(u"2026/"_s + name, "x");
        const InvoiceStore store(folder.path());
        EXPECT_EQ(store.NextInvoiceCounter(2026), c.counter) << c.files.join(' ').toStdString();
    }
}

TEST(InvoiceStoreTest, NextInvoiceCounterCreatesTheMissingPeriodFolder) {
    TempProgramFolder folder;
    const InvoiceStore store(folder.path());
    EXPECT_EQ(store.NextInvoiceCounter(2027), u"001"_s);
    EXPECT_TRUE(QFileInfo(folder.file(u"2027"_s)).isDir());
}

TEST(InvoiceStoreTest, GreatestNameWithoutANumberIsAConversionError) {
    TempProgramFolder folder;
    folder.writeBytes(u"2026/2026001.tvl"_s, "x");
    folder.writeBytes(u"2026/2026abc.tvl"_s, "x");
    const InvoiceStore store(folder.path());
    try {
        store.NextInvoiceCounter(2026);
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), u"„abc“ není celé číslo."_s);
    }
}

TEST(InvoiceStoreTest, PeriodFoldersAreFoldersWithDigitsOnly) {
    TempProgramFolder folder;
    for (const QString& name :
         {u"2025"_s, u"Ses"_s, u"2024x"_s, u"20 26"_s, u"2024"_s, u".2023"_s, u"1999"_s})
        QDir().mkpath(folder.file(name));
    folder.writeBytes(u"2022"_s, "a file, not a folder");
    const InvoiceStore store(folder.path());
    int calls = 0;
    EXPECT_EQ(store.ListPeriodFolders([&] { ++calls; }),
              (QStringList{u"1999"_s, u"2024"_s, u"2025"_s}));
    EXPECT_EQ(calls, 6); // every listed folder, period or not
}

TEST(InvoiceStoreTest, InvoiceNumbersThatAreNoSafeFileNameAreRefused) {
    const QStringList good = {u"2026001"_s, u"FA 2026-1"_s, u"Faktura č. 5"_s,
                              u"a.b"_s,     u"CONSOLE"_s,   u"COM10"_s,
                              u"LPT10"_s,   u" x"_s,        QString(250, u'9')};
    for (const QString& number : good)
        EXPECT_NO_THROW(ValidateInvoiceNumber(number)) << number.toStdString();

    const QStringList bad = {u""_s, u"../x"_s, u"a/b"_s, u"a\\b"_s, u".."_s, u"."_s, u"a..b"_s,
                             u"C:x"_s, u"a*"_s, u"a?"_s, u"a\"b"_s, u"<a"_s, u"a>"_s, u"a|b"_s,
                             u"a\tb"_s, u"a\nb"_s, u"a\x01"_s, u"abc."_s, u"abc "_s, u"CON"_s,
                             u"con"_s, u"Nul.txt"_s, u"aux .x"_s, u"PRN"_s, u"COM1"_s, u"lpt9"_s,
                             QString(252, u'9'),
                             // hidden files and the remaining device names
                             u".5"_s, u".2026001"_s, u"COM0"_s, u"lpt0.x"_s, u"CONIN$"_s,
                             u"conout$"_s, u"CLOCK$"_s, u"COM\u00B9"_s};
    for (const QString& number : bad) {
        try {
            ValidateInvoiceNumber(number);
            ADD_FAILURE() << "accepted: " << number.toStdString();
        } catch (const ValidationError& e) {
            EXPECT_FALSE(e.message().isEmpty());
        }
    }
}

// A number that would leave the period folder writes nothing, neither inside the program folder
// nor beside it.
TEST(InvoiceStoreTest, PathEscapingNumberWritesNothingAnywhere) {
    TempProgramFolder root;
    QDir().mkpath(root.file(u"program/2026"_s));
    const InvoiceStore store(root.file(u"program/"_s));
    const QStringList before = TreeOf(root.path());
    for (const QString& number :
         {u"../2026002"_s, u"../../escape"_s, u"..\\escape"_s, u"/tmp/escape"_s, u".."_s}) {
        InvoiceRecord r;
        r.Cislo = number;
        EXPECT_THROW(store.SaveInvoice(2026, r), ValidationError) << number.toStdString();
        EXPECT_THROW(store.InvoiceFilePath(2026, number), ValidationError);
    }
    EXPECT_EQ(TreeOf(root.path()), before);
    EXPECT_FALSE(QFileInfo::exists(u"/tmp/escape.tvl"_s));
}

TEST(InvoiceStoreTest, SaveInvoiceWritesTheFileOfTheNumberInThePeriodFolder) {
    TempProgramFolder folder;
    const InvoiceStore store(folder.path());
    InvoiceRecord r;
    r.Cislo = u"2026005"_s;
    EXPECT_THROW(store.SaveInvoice(2026, r), FileError); // the period folder is not created here
    ASSERT_TRUE(store.EnsurePeriodFolder(2026));
    store.SaveInvoice(2026, r);
    EXPECT_EQ(folder.readBytes(u"2026/2026005.tvl"_s), InvoiceFileBytes(r));
    EXPECT_EQ(store.NextInvoiceCounter(2026), u"006"_s);
}

} // namespace
} // namespace tarvela
