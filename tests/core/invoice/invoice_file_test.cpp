#include "invoice/invoice_file.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvela {
namespace {

using namespace Qt::StringLiterals;

using test::TempProgramFolder;

// An invoice with Czech letters in every kind of field: header, customer, item cells, comments.
InvoiceRecord CzechInvoice() {
    InvoiceRecord r;
    r.Cislo = u"2026001"_s;
    r.Symbol = u"0308"_s;
    r.Objednavka = u"Obj. č. 15"_s;
    r.Prijemce = u"Jiří Šťastný"_s;
    r.MistoVyskladneni = u"Sklad Říčany"_s;
    r.FormaUhrady = u"PP"_s;
    r.DatumPlneni = QDate(2026, 3, 5);
    r.DatumVystaveni = QDate(2026, 3, 7);
    r.DatumSplatnosti = QDate(2026, 3, 21);
    r.OdberatelKod = u"ODB-1"_s;
    r.OdberatelNazev1 = u"Žluťoučký kůň s.r.o."_s;
    r.OdberatelNazev2 = u"Ďábelské ódy"_s;
    r.OdberatelOdpovedOsoba = u"Ěva Ňůková"_s;
    r.OdberatelUliceCislo = u"Čápkova 12"_s;
    r.OdberatelPSC = u"602 00"_s;
    r.OdberatelMesto = u"Brno – střed"_s;
    r.OdberatelIC = u"12345678"_s;
    r.OdberatelDIC = u"CZ12345678"_s;
    r.Polozky[0] = {u"A1"_s, u"Oprava"_s, u"ks"_s, u"2"_s, u"150,00"_s, u"21"_s};
    r.Polozky[2] = {u"Ř2"_s, u"Šroubek „M6“"_s, u"ks"_s, u"10"_s, u"1,50"_s, u"21"_s};
    r.Komentar1 = u"Děkujeme za objednávku."_s;
    r.Komentar2 = u"Převzal: ____"_s;
    r.Uhrnem = u"1 210,00"_s; // spaces are dropped on writing
    r.Mena = u"CZK"_s;
    return r;
}

// The expected bytes of CzechInvoice(), written out by hand in Windows-1250.
const QByteArray kCzechInvoiceBytes = QByteArray("2026001\r\n"
                                                 "0308\r\n"
                                                 "Obj. \xE8. 15\r\n"
                                                 "Ji\xF8\xED \x8A\x9D"
                                                 "astn\xFD\r\n"
                                                 "Sklad \xD8\xED\xE8"
                                                 "any\r\n"
                                                 "PP\r\n"
                                                 "5.3.2026\r\n"
                                                 "7.3.2026\r\n"
                                                 "21.3.2026\r\n"
                                                 "ODB-1\r\n"
                                                 "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2 s.r.o.\r\n"
                                                 "\xCF\xE1"
                                                 "belsk\xE9 \xF3"
                                                 "dy\r\n"
                                                 "\xCCva \xD2\xF9kov\xE1\r\n"
                                                 "\xC8\xE1pkova 12\r\n"
                                                 "602 00\r\n"
                                                 "Brno \x96 st\xF8"
                                                 "ed\r\n"
                                                 "12345678\r\n"
                                                 "CZ12345678\r\n"
                                                 "A1|Oprava|ks|2|150,00|21|\r\n"
                                                 "||||||\r\n"
                                                 "\xD8"
                                                 "2|\x8Aroubek \x84M6\x93|ks|10|1,50|21|\r\n") +
                                      QByteArray("||||||\r\n").repeated(22) +
                                      QByteArray("D\xECkujeme za objedn\xE1vku.\r\n"
                                                 "P\xF8"
                                                 "evzal: ____\r\n"
                                                 "1210,00\r\n"
                                                 "\r\n"
                                                 "CZK\r\n"
                                                 "\r\n");

TEST(InvoiceFileWrite, CzechInvoiceIsWrittenByteForByteInWindows1250WithCrLf) {
    TempProgramFolder folder;
    const QString path = folder.file(u"2026001.tvl"_s);
    WriteInvoiceFile(CzechInvoice(), path);
    EXPECT_EQ(test::ReadFileBytes(path), kCzechInvoiceBytes);
}

// The optional lines after line 49: written only when set, read back into their fields; lines
// this program does not know survive a read and a write unchanged.
TEST(InvoiceFileOptionalLines, RoundTripAndTheirBytes) {
    struct Case {
        const char* what;
        void (*set)(InvoiceRecord&);
        QByteArray tail; // the bytes after line 49
    };
    const Case cases[] = {
        {"none", [](InvoiceRecord&) {}, ""},
        {"credit note",
         [](InvoiceRecord& r) {
             r.OpravovanyDoklad = u"2026001"_s;
             r.DuvodOpravy = u"Vrácení zboží"_s;
         },
         "OpravovanyDoklad=2026001\r\nDuvodOpravy=Vr\xE1\x63\x65n\xED zbo\x9E\xED\r\n"},
        {"exchange rate, set out of order",
         [](InvoiceRecord& r) {
             r.DatumKurzu = u"2.3.2026"_s;
             r.Kurz = u"25,125"_s;
         },
         "Kurz=25,125\r\nDatumKurzu=2.3.2026\r\n"},
        {"unknown lines after the known ones",
         [](InvoiceRecord& r) {
             r.Kurz = u"1"_s;
             r.DalsiRadky = {u"Novy=1"_s, u""_s, u"Kurz"_s};
         },
         "Kurz=1\r\nNovy=1\r\n\r\nKurz\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InvoiceRecord record = CzechInvoice();
        c.set(record);
        const QByteArray bytes = InvoiceFileBytes(record);
        ASSERT_TRUE(bytes.startsWith(kCzechInvoiceBytes));
        EXPECT_EQ(bytes.mid(kCzechInvoiceBytes.size()), c.tail);
        InvoiceRecord back;
        ReadInvoiceBytes(bytes, back, u"CZK"_s);
        back.Uhrnem = record.Uhrnem; // the total is never read back
        EXPECT_EQ(back, record);
        EXPECT_EQ(InvoiceFileBytes(back), bytes);
    }
}

TEST(InvoiceFileOptionalLines, AreRefusedByNameLikeEveryField) {
    InvoiceRecord record = CzechInvoice();
    record.DuvodOpravy = u"dva\nřádky"_s;
    EXPECT_THROW(InvoiceFileBytes(record), ValidationError);
    record.DuvodOpravy = u"€ ano, ☃ ne"_s;
    try {
        InvoiceFileBytes(record);
        FAIL() << "a snowman was written";
    } catch (const EncodingError& e) {
        EXPECT_TRUE(e.message().contains(u"Důvod opravy"_s)) << e.message().toStdString();
    }
}

TEST(InvoiceFileWrite, EmptyInvoiceHas49LinesWith25EmptyItemLinesAndTotalZero) {
    TempProgramFolder folder;
    InvoiceRecord r;
    r.Cislo = u"2026002"_s;
    r.DatumPlneni = r.DatumVystaveni = r.DatumSplatnosti = QDate(2026, 12, 31);
    const QString path = folder.file(u"2026002.tvl"_s);
    WriteInvoiceFile(r, path);
    const QByteArray expected = QByteArray("2026002\r\n\r\n\r\n\r\n\r\n\r\n"
                                           "31.12.2026\r\n31.12.2026\r\n31.12.2026\r\n") +
                                QByteArray("\r\n").repeated(9) +
                                QByteArray("||||||\r\n").repeated(25) +
                                QByteArray("\r\n\r\n0\r\n\r\n\r\n\r\n");
    EXPECT_EQ(test::ReadFileBytes(path), expected);

    InvoiceRecord back;
    ReadInvoiceFile(path, back, u"EUR"_s);
    for (const InvoiceItemRow& row : back.Polozky)
        EXPECT_TRUE(row.isEmpty());
    EXPECT_EQ(back.Mena, u"EUR"_s);
}

TEST(InvoiceFileWrite, TotalLosesEverySpaceAndBecomesZeroWhenNothingRemains) {
    const struct {
        QString held;
        QByteArray line46;
    } cases[] = {{u""_s, "0"},
                 {u"   "_s, "0"},
                 {u"1 234 567,50"_s, "1234567,50"},
                 {u"-50,50"_s, "-50,50"},
                 {u"\t1 0"_s, "\t10"}};
    for (const auto& c : cases) {
        InvoiceRecord r;
        r.Uhrnem = c.held;
        const QByteArray bytes = InvoiceFileBytes(r);
        const QList<QByteArray> lines = bytes.split('\n');
        ASSERT_EQ(lines.size(), 50); // 49 lines and the empty rest after the last LF
        EXPECT_EQ(lines[45], c.line46 + "\r") << c.held.toStdString();
    }
}

TEST(InvoiceFileWrite, SavingTwiceWritesIdenticalBytesAndReplacesTheOldFile) {
    TempProgramFolder folder;
    const QString path = folder.file(u"x.tvl"_s);
    folder.writeBytes(u"x.tvl"_s, QByteArray(5000, 'z'));
    WriteInvoiceFile(CzechInvoice(), path);
    const QByteArray first = test::ReadFileBytes(path);
    WriteInvoiceFile(CzechInvoice(), path);
    EXPECT_EQ(test::ReadFileBytes(path), first);
    EXPECT_EQ(first, kCzechInvoiceBytes);
}

TEST(InvoiceFileWrite, MissingFolderIsAFileErrorNamingTheFile) {
    TempProgramFolder folder;
    const QString path = folder.file(u"2030/2030001.tvl"_s);
    try {
        WriteInvoiceFile(CzechInvoice(), path);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

// A field holding a line break, an item cell holding "|" or a character outside Windows-1250 is
// refused with the field's Czech name, and the previous file stays as it was.
TEST(InvoiceFileWrite, UnstorableFieldsAreRefusedByNameAndNothingIsWritten) {
    using Setter = void (*)(InvoiceRecord&);
    const struct {
        Setter set;
        const char* name; // UTF-8
        bool encoding;
    } cases[] = {
        {[](InvoiceRecord& r) { r.Cislo = u"2026\n001"_s; }, "Číslo faktury", false},
        {[](InvoiceRecord& r) { r.Symbol = u"1\r2"_s; }, "Symbol", false},
        {[](InvoiceRecord& r) { r.OdberatelNazev1 = u"Firma\r\na.s."_s; }, "Odběratel - název 1",
         false},
        {[](InvoiceRecord& r) { r.OdberatelDIC = u"CZ\n"_s; }, "Odběratel - DIČ", false},
        {[](InvoiceRecord& r) { r.Komentar2 = u"a\nb"_s; }, "Komentář 2", false},
        {[](InvoiceRecord& r) { r.UhrazenaCastka = u"1\n"_s; }, "Uhrazená částka", false},
        {[](InvoiceRecord& r) { r.Polozky[4].Dodavka = u"dvě\nřádky"_s; },
         "Položka 5 - Označení dodávky", false},
        {[](InvoiceRecord& r) { r.Polozky[0].Kod = u"A|B"_s; }, "Položka 1 - Kód", false},
        {[](InvoiceRecord& r) { r.Polozky[24].DPH = u"21|"_s; }, "Položka 25 - DPH", false},
        {[](InvoiceRecord& r) { r.Prijemce = u"Jan → Petr"_s; }, "Příjemce", true},
        {[](InvoiceRecord& r) { r.OdberatelMesto = u"Łódź ✓"_s; }, "Odběratel - město", true},
        {[](InvoiceRecord& r) { r.Polozky[1].Cena = u"5 ¥"_s; }, "Položka 2 - Cena MJ", true},
        {[](InvoiceRecord& r) { r.Mena = u"€€😀"_s; }, "Měna", true},
    };
    TempProgramFolder folder;
    const QString path = folder.file(u"2026001.tvl"_s);
    folder.writeBytes(u"2026001.tvl"_s, "previous");
    for (const auto& c : cases) {
        InvoiceRecord r = CzechInvoice();
        c.set(r);
        const QString name = QString::fromUtf8(c.name);
        try {
            WriteInvoiceFile(r, path);
            ADD_FAILURE() << "accepted: " << c.name;
        } catch (const ValidationError& e) {
            EXPECT_FALSE(c.encoding) << c.name;
            EXPECT_TRUE(e.message().contains(u"„"_s + name + u"“"_s)) << e.message().toStdString();
        } catch (const EncodingError& e) {
            EXPECT_TRUE(c.encoding) << c.name;
            EXPECT_TRUE(e.message().contains(name)) << e.message().toStdString();
        }
        EXPECT_EQ(folder.readBytes(u"2026001.tvl"_s), "previous") << c.name;
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// A write that dies half-way (here: the file size limit of the process is hit) leaves the
// previous file intact. The write runs in a child process so that the limit is its alone.
TEST(InvoiceFileWrite, FailedWriteLeavesThePreviousFileIntact) {
    TempProgramFolder folder;
    const QString path = folder.file(u"2026001.tvl"_s);
    const QByteArray previous = QByteArray("previous invoice\r\n").repeated(3);
    folder.writeBytes(u"2026001.tvl"_s, previous);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN); // let write() fail with EFBIG instead of killing us
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 300; // the invoice is larger than this
        setrlimit(RLIMIT_FSIZE, &limit);
        int code = 1;
        try {
            WriteInvoiceFile(CzechInvoice(), path);
        } catch (const FileError& e) {
            code = e.message().contains(path) ? 0 : 2;
        } catch (...) {
            code = 3;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child did not see a FileError naming the file";
    EXPECT_EQ(folder.readBytes(u"2026001.tvl"_s), previous);
    // No half-written temporary file is left beside it either.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"2026001.tvl"_s});
}

} // namespace
} // namespace tarvela
