#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "support/test_support.h"
#include "text/codec.h"
#include "text/dates.h"
#include "text/errors.h"

#include <gtest/gtest.h>

namespace tarvela {
namespace {

using namespace Qt::StringLiterals;
using test::TempProgramFolder;

// The 60 lines of a file with every field filled and 11 lines too many; line n of the table is
// kLines[n - 1].
QStringList FullLines() {
    QStringList lines = {u"2026007"_s, u"1234"_s,     u"OBJ-9"_s,    u"Příjemce"_s, u"Sklad"_s,
                         u"H"_s,       u"1.2.2026"_s, u"2.2.2026"_s, u"16.2.2026"_s};
    for (int i = 10; i <= 18; ++i)
        lines << u"odběratel %1"_s.arg(i);
    for (int row = 1; row <= 25; ++row)
        lines << u"K%1|Zboží %1|ks|%1|10,00|21|"_s.arg(row);
    lines << u"Komentář 1"_s << u"Komentář 2"_s << u"999,99"_s << u"20.2.2026"_s << u"EUR"_s
          << u"500.50"_s;
    for (int i = 50; i <= 60; ++i)
        lines << u"navíc %1"_s.arg(i);
    return lines;
}

QByteArray Join(const QStringList& lines, const char* end, bool finalEnd = true) {
    QByteArray bytes;
    for (int i = 0; i < lines.size(); ++i) {
        bytes += EncodeCp1250(lines[i]);
        if (i + 1 < lines.size() || finalEnd)
            bytes += end;
    }
    return bytes;
}

// A record filled with marks, so that a field the reader does not touch is seen to keep them.
InvoiceRecord MarkedRecord() {
    InvoiceRecord r;
    r.DatumPlneni = r.DatumVystaveni = r.DatumSplatnosti = QDate(2000, 1, 1);
    r.Uhrnem = u"kept"_s;
    return r;
}

// Which fields a file of n lines fills: line k when n >= k, items only with 43 lines or more,
// line 46 never, the default currency when line 48 is missing.
TEST(InvoiceFileRead, LineCountDecidesWhichFieldsAreTaken) {
    const QStringList full = FullLines();
    for (int n : {0, 17, 42, 43, 46, 48, 49, 60}) {
        SCOPED_TRACE(n);
        InvoiceRecord r = MarkedRecord();
        ReadInvoiceBytes(Join(full.mid(0, n), "\r\n"), r, u"CZK"_s);

        EXPECT_EQ(r.Cislo, n >= 1 ? u"2026007"_s : QString());
        EXPECT_EQ(r.FormaUhrady, n >= 6 ? u"H"_s : QString());
        EXPECT_EQ(r.DatumPlneni, n >= 7 ? QDate(2026, 2, 1) : QDate(2000, 1, 1));
        EXPECT_EQ(r.DatumVystaveni, n >= 8 ? QDate(2026, 2, 2) : QDate(2000, 1, 1));
        EXPECT_EQ(r.DatumSplatnosti, n >= 9 ? QDate(2026, 2, 16) : QDate(2000, 1, 1));
        EXPECT_EQ(r.OdberatelKod, n >= 10 ? u"odběratel 10"_s : QString());
        EXPECT_EQ(r.OdberatelIC, n >= 17 ? u"odběratel 17"_s : QString());
        EXPECT_EQ(r.OdberatelDIC, n >= 18 ? u"odběratel 18"_s : QString());
        for (int row = 1; row <= 25; ++row) {
            const InvoiceItemRow& item = r.Polozky[row - 1];
            if (n >= 43) {
                EXPECT_EQ(item, (InvoiceItemRow{u"K%1"_s.arg(row), u"Zboží %1"_s.arg(row), u"ks"_s,
                                                QString::number(row), u"10,00"_s, u"21"_s}));
            } else {
                EXPECT_TRUE(item.isEmpty()) << "row " << row;
            }
        }
        EXPECT_EQ(r.Komentar1, n >= 44 ? u"Komentář 1"_s : QString());
        EXPECT_EQ(r.Komentar2, n >= 45 ? u"Komentář 2"_s : QString());
        EXPECT_EQ(r.Uhrnem, u"kept"_s);
        EXPECT_EQ(r.DatumUhrady, n >= 47 ? u"20.2.2026"_s : QString());
        EXPECT_EQ(r.Mena, n >= 48 ? u"EUR"_s : u"CZK"_s);
        EXPECT_EQ(r.UhrazenaCastka, n >= 49 ? u"500.50"_s : QString());
    }
}

TEST(InvoiceFileRead, EveryLineEndStyleReadsTheSame) {
    const QStringList lines = FullLines().mid(0, 49);
    InvoiceRecord expected;
    ReadInvoiceBytes(Join(lines, "\r\n"), expected, u"CZK"_s);
    ASSERT_EQ(expected.UhrazenaCastka, u"500.50"_s);

    QByteArray mixed;
    for (int i = 0; i < lines.size(); ++i)
        mixed += Join({lines[i]}, i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"LF", Join(lines, "\n")},
        {"CR", Join(lines, "\r")},
        {"CR LF, no final line end", Join(lines, "\r\n", false)},
        {"LF, no final line end", Join(lines, "\n", false)},
        {"mixed", mixed},
    };
    for (const auto& c : cases) {
        InvoiceRecord r;
        ReadInvoiceBytes(c.bytes, r, u"CZK"_s);
        EXPECT_EQ(r, expected) << c.name;
    }
}

TEST(FileLinesTest, CutsAtEveryLineEndAndCountsAFinalLineWithoutOne) {
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {u""_s}},
        {"a", {u"a"_s}},
        {"a\r\n", {u"a"_s}},
        {"a\r\n\r\nb", {u"a"_s, u""_s, u"b"_s}},
        {"a\n\rb", {u"a"_s, u""_s, u"b"_s}}, // LF then a lone CR: two line ends
        {"a\r\rb\n", {u"a"_s, u""_s, u"b"_s}},
        {"\n\n", {u""_s, u""_s}},
        {"\xE8\x9A|x\r\n", {u"čš|x"_s}},
    };
    for (const auto& c : cases) {
        const FileLines lines = FileLines::FromBytes(c.bytes);
        EXPECT_EQ(lines.lines(), c.lines) << c.bytes.toHex().toStdString();
        EXPECT_EQ(lines.count(), c.lines.size());
    }
    const FileLines three = FileLines::FromBytes("x\ny\nz");
    EXPECT_FALSE(three.has(0));
    EXPECT_TRUE(three.has(3));
    EXPECT_FALSE(three.has(4));
    EXPECT_EQ(three.line(3), u"z"_s);
    EXPECT_EQ(three.line(4), QString());
}

TEST(InvoiceFileRead, ItemLineFillsCellsFromTheLeftUpToTheLastBar) {
    const struct {
        QString line;
        InvoiceItemRow row;
    } cases[] = {
        {u"A|B|C"_s, {u"A"_s, u"B"_s, {}, {}, {}, {}}},
        {u"A|B|C|D|E|F|G|H|"_s, {u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s, u"F"_s}},
        {u"no bar at all"_s, {}},
        {u""_s, {}},
        {u"||||||"_s, {}},
        {u"|x||||21|"_s, {{}, u"x"_s, {}, {}, {}, u"21"_s}},
    };
    for (const auto& c : cases) {
        QStringList lines = FullLines().mid(0, 49);
        lines[18] = c.line; // row 1
        InvoiceRecord r;
        ReadInvoiceBytes(Join(lines, "\r\n"), r, u"CZK"_s);
        EXPECT_EQ(r.Polozky[0], c.row) << c.line.toStdString();
        EXPECT_EQ(r.Polozky[1].Kod, u"K2"_s);
    }
}

TEST(InvoiceFileRead, ItemRowTextRoundTripsThroughTheLine) {
    const InvoiceItemRow row{u"A1"_s, u"Oprava"_s, u"ks"_s, u"2"_s, u"150,00"_s, u"21"_s};
    EXPECT_EQ(ItemRowText(row), u"A1|Oprava|ks|2|150,00|21|"_s);
    EXPECT_EQ(ItemRowText(InvoiceItemRow{}), u"||||||"_s);
    InvoiceItemRow back;
    FillItemRowFromLine(ItemRowText(row), back);
    EXPECT_EQ(back, row);
}

TEST(InvoiceFileRead, DateLinesFollowTheDateRules) {
    QStringList lines = FullLines().mid(0, 49);
    lines[6] = u"1.1.26"_s;      // shorter than 8 characters: the zero date
    lines[7] = u"7.12.2026.1"_s; // four parts: the zero date
    lines[8] = u"31.12.2026"_s;
    InvoiceRecord r;
    ReadInvoiceBytes(Join(lines, "\r\n"), r, u"CZK"_s);
    EXPECT_EQ(r.DatumPlneni, ZeroDate());
    EXPECT_EQ(r.DatumVystaveni, ZeroDate());
    EXPECT_EQ(r.DatumSplatnosti, QDate(2026, 12, 31));
}

TEST(InvoiceFileRead, DateThatDoesNotConvertStopsTheReadingAfterTheTexts) {
    QStringList lines = FullLines().mid(0, 49);
    lines[7] = u"31.2.2026"_s;
    InvoiceRecord r;
    EXPECT_THROW(ReadInvoiceBytes(Join(lines, "\r\n"), r, u"CZK"_s), ConversionError);
    // Texts of lines 1-6 and 10-18 come before the dates; the items do not.
    EXPECT_EQ(r.Cislo, u"2026007"_s);
    EXPECT_EQ(r.OdberatelDIC, u"odběratel 18"_s);
    EXPECT_EQ(r.DatumPlneni, QDate(2026, 2, 1));
    EXPECT_TRUE(r.Polozky[0].isEmpty());
}

TEST(InvoiceFileRead, WrittenFileReadsBackAsTheRecordExceptTheTotal) {
    TempProgramFolder folder;
    InvoiceRecord r;
    r.Cislo = u"2026010"_s;
    r.FormaUhrady = u"H"_s;
    r.DatumPlneni = QDate(2026, 1, 5);
    r.DatumVystaveni = QDate(2026, 10, 15);
    r.DatumSplatnosti = QDate(2026, 10, 29);
    r.OdberatelNazev1 = u"Šťastná & syn"_s;
    r.Polozky[24] = {u"Z"_s, u"Poslední řádek"_s, u"h"_s, u"1,5"_s, u"450,00"_s, u"0"_s};
    r.Uhrnem = u"675,00"_s;
    r.DatumUhrady = u"29.10.2026"_s;
    r.Mena = u"CZK"_s;
    r.UhrazenaCastka = u"675.00"_s;
    WriteInvoiceFile(r, folder.file(u"2026010.tvl"_s));

    InvoiceRecord back;
    ReadInvoiceFile(folder.file(u"2026010.tvl"_s), back, u"EUR"_s);
    r.Uhrnem.clear(); // line 46 is never read back
    EXPECT_EQ(back, r);
}

TEST(InvoiceFileRead, MissingFileIsAFileErrorNamingIt) {
    TempProgramFolder folder;
    InvoiceRecord r;
    try {
        ReadInvoiceFile(folder.file(u"chybi.tvl"_s), r, u"CZK"_s);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().contains(folder.file(u"chybi.tvl"_s)));
    }
}

} // namespace
} // namespace tarvela
