// The parts of the print module's engine: numbers, variables, the C data set, the template
// helpers, template files and the QR code object.
#include "module_text.h"
#include "qr_code.h"
#include "report_data.h"
#include "template_render.h"

#include "support/test_support.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace tarvela::prm1;

namespace {

// Fonts and text layout need a GUI application (offscreen under ctest).
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_prm1_engine";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

QString Number(const QString& text) {
    const std::optional<Decimal> n = ParseNumber(text);
    return n ? FormatNumber(*n) : QStringLiteral("-");
}

ReportTable Table(const QList<TableColumn>& columns, const QList<QStringList>& rows) {
    return ReportTable{columns, rows};
}

TableColumn Text(const QString& name) {
    return TableColumn{name, PRM1_COLUMN_TEXT, 20};
}
TableColumn Integer(const QString& name) {
    return TableColumn{name, PRM1_COLUMN_INTEGER, 0};
}

QString Render(const QString& templateText, const QString& variables,
               const ReportTable& table = ReportTable()) {
    return RenderTemplate(templateText, ParseVariables(variables), table);
}

int ErrorCode(const std::function<void()>& action) {
    try {
        action();
    } catch (const ReportError& e) {
        return e.code();
    }
    return 0;
}

} // namespace

TEST(Numbers, ReadTheWayTheProgramWritesAmounts) {
    EXPECT_EQ(Number("1234,50"), "1234,50");
    EXPECT_EQ(Number(" 1 234,50 "), "1234,50");
    EXPECT_EQ(Number("1\u00a0234"), "1234");
    EXPECT_EQ(Number("-3"), "-3");
    EXPECT_EQ(Number("+0.5"), "0,5");
    EXPECT_EQ(Number("-0,05"), "-0,05");
    EXPECT_EQ(Number("0,000001"), "0,000001");
    for (const char* bad : {"", "  ", "1.1.2026", "12a", ",5", "1,", "1  234", "- 1", "0,0000001",
                            "CZ123", "99999999999999999999"})
        EXPECT_EQ(Number(bad), "-") << bad;
}

TEST(Numbers, RescaleAndFormatKeepSignAndDecimals) {
    Decimal d{-5, 1};
    ASSERT_TRUE(Rescale(d, 3));
    EXPECT_EQ(FormatNumber(d), "-0,500");
    Decimal big{std::numeric_limits<qint64>::max() / 10, 0};
    EXPECT_FALSE(Rescale(big, 2));
    EXPECT_EQ(FormatNumber(Decimal{std::numeric_limits<qint64>::min(), 0}), "-9223372036854775808");
    EXPECT_EQ(FormatNumber(Decimal{0, 2}), "0,00");
}

TEST(Variables, SplitIntoPairsInOrder) {
    const QList<Variable> pairs = ParseVariables("Nazev1|FAKTURA| Nazev2 |Číslo faktury:|Prazdna");
    ASSERT_EQ(pairs.size(), 3);
    EXPECT_EQ(pairs[0].name, "Nazev1");
    EXPECT_EQ(pairs[0].value, "FAKTURA");
    EXPECT_EQ(pairs[1].name, "Nazev2");
    EXPECT_EQ(pairs[1].value, "Číslo faktury:");
    EXPECT_EQ(pairs[2].name, "Prazdna");
    EXPECT_EQ(pairs[2].value, "");
    EXPECT_TRUE(ParseVariables("").isEmpty());
    EXPECT_EQ(ParseVariables("A| mezery kolem ").at(0).value, " mezery kolem ");
}

TEST(DataSet, ReadsColumnsAndCellsInWindows1250) {
    const Prm1Column columns[] = {{"Id", PRM1_COLUMN_AUTOINC, 0},
                                  {"N\xe1zev", PRM1_COLUMN_TEXT, 30}, // "Název"
                                  {"Castka", PRM1_COLUMN_INTEGER, 0}};
    const Prm1Cell cells[] = {{nullptr, 1},   {"\x8e\x6c\x75\x9d\x6f\x75\xe8\x6b\xfd", 0},
                              {nullptr, -42}, {nullptr, 2},
                              {nullptr, 0},   {nullptr, 7}};
    const Prm1ReportDataSet set{sizeof(Prm1ReportDataSet), 3, columns, 2, cells};
    const ReportTable table = ReadDataSet(set);
    ASSERT_EQ(table.columns.size(), 3);
    EXPECT_EQ(table.columns[1].name, "Název");
    EXPECT_EQ(table.columnIndex("Castka"), 2);
    EXPECT_EQ(table.columnIndex("Neni"), -1);
    ASSERT_EQ(table.rows.size(), 2);
    EXPECT_EQ(table.rows[0], (QStringList{"1", "Žluťoučký", "-42"}));
    EXPECT_EQ(table.rows[1], (QStringList{"2", "", "7"}));
    EXPECT_FALSE(table.isBlankRow(0));
    EXPECT_TRUE(table.isBlankRow(1)); // integer cells do not count
}

TEST(DataSet, RefusesMalformedStructures) {
    const Prm1Column good[] = {{"A", PRM1_COLUMN_TEXT, 5}};
    const Prm1Column unnamed[] = {{nullptr, PRM1_COLUMN_TEXT, 5}};
    const Prm1Column badType[] = {{"A", 7, 5}};
    const Prm1Cell cells[] = {{nullptr, 0}};
    const auto code = [](Prm1ReportDataSet set) { return ErrorCode([&] { ReadDataSet(set); }); };
    EXPECT_EQ(code({sizeof(Prm1ReportDataSet), 1, good, 1, cells}), 0);
    EXPECT_EQ(code({8, 1, good, 1, cells}), PRM1_ERROR_ARGUMENTS);
    EXPECT_EQ(code({sizeof(Prm1ReportDataSet), -1, good, 1, cells}), PRM1_ERROR_ARGUMENTS);
    EXPECT_EQ(code({sizeof(Prm1ReportDataSet), 1, nullptr, 1, cells}), PRM1_ERROR_ARGUMENTS);
    EXPECT_EQ(code({sizeof(Prm1ReportDataSet), 1, good, 1, nullptr}), PRM1_ERROR_ARGUMENTS);
    EXPECT_EQ(code({sizeof(Prm1ReportDataSet), 1, unnamed, 1, cells}), PRM1_ERROR_ARGUMENTS);
    EXPECT_EQ(code({sizeof(Prm1ReportDataSet), 1, badType, 1, cells}), PRM1_ERROR_ARGUMENTS);
    EXPECT_EQ(code({sizeof(Prm1ReportDataSet), 0, nullptr, 0, nullptr}), 0);
}

TEST(Sums, AddNumericColumnsWithTheirDecimals) {
    const ReportTable table = Table({Text("Kod"), Text("Zaklad"), Text("DPH"), Integer("Castka")},
                                    {{"A", "1 000,5", "21", "10"},
                                     {"B", "2,25", "12", "-3"},
                                     {"C", "", "21", "0"},
                                     {"D", "100", "21,0", "5"}});
    EXPECT_EQ(table.sum(1).value_or("?"), "1102,75");
    EXPECT_EQ(table.sum(3).value_or("?"), "12");
    EXPECT_FALSE(table.sum(0).has_value()); // codes are not numbers
    EXPECT_FALSE(table.sum(9).has_value());
    // Part of the rows, still with the column's two decimals.
    EXPECT_EQ(table.sum(1, [](int r) { return r == 3; }).value_or("?"), "100,00");
    EXPECT_EQ(table.sum(1, [](int) { return false; }).value_or("?"), "0,00");

    const ReportTable huge = Table({Integer("X")}, {{"9223372036854775807"}, {"1"}});
    EXPECT_FALSE(huge.sum(0).has_value());
}

TEST(Templates, VariablesAreEscapedAndMissingOnesEmpty) {
    EXPECT_EQ(Render("<p>{{A}}|{{Neni}}|{{B}}</p>", "A|<b>&'\"|B|Žluťoučký kůň"),
              "<p>&lt;b&gt;&amp;&#39;&quot;||Žluťoučký kůň</p>");
    // A name given twice: the later value wins.
    EXPECT_EQ(Render("{{A}}", "A|1|A|2"), "2");
}

TEST(Templates, HelperSectionsOverVariables) {
    const QString vars = "PlatceDPH|1|Nula|0,00|Mezery|  |QRCode|SPD*1.0|Castka|-5";
    EXPECT_EQ(
        Render("{{#Ano.PlatceDPH}}plátce{{/Ano.PlatceDPH}}{{^Ano.PlatceDPH}}ne{{/Ano.PlatceDPH}}",
               vars),
        "plátce");
    EXPECT_EQ(
        Render("{{#Ano.PlatceDPH}}plátce{{/Ano.PlatceDPH}}{{^Ano.PlatceDPH}}ne{{/Ano.PlatceDPH}}",
               "PlatceDPH|0"),
        "ne");
    EXPECT_EQ(
        Render("{{#Vyplneno.QRCode}}Q{{/Vyplneno.QRCode}}{{#Vyplneno.Mezery}}M{{/Vyplneno.Mezery}}"
               "{{#Vyplneno.Neni}}N{{/Vyplneno.Neni}}",
               vars),
        "Q");
    EXPECT_EQ(
        Render("{{#Nenulove.Nula}}0{{/Nenulove.Nula}}{{#Nenulove.Castka}}C{{/Nenulove.Castka}}"
               "{{#Nenulove.QRCode}}Q{{/Nenulove.QRCode}}",
               vars),
        "C");
}

TEST(Templates, RowsSumsAndSumWhere) {
    const ReportTable table = Table({Integer("Id"), Text("Dodavka"), Text("DPH"), Text("Zaklad")},
                                    {{"1", "Stůl", "21", "100,00"},
                                     {"2", "", "", ""},
                                     {"3", "Židle", "12", "50,50"},
                                     {"4", "Lampa", "21", "10,00"}});
    EXPECT_EQ(
        Render("{{PocetRadku}}:{{#Radky}}[{{Poradi}}{{#Sudy}}s{{/Sudy}}{{#Prazdny}}p{{/Prazdny}}]"
               "{{/Radky}}",
               "", table),
        "4:[1][2sp][3][4s]");
    EXPECT_EQ(Render("{{#NeprazdneRadky}}{{Poradi}}.{{Dodavka}}(id {{Id}}){{#Sudy}}s{{/Sudy}} "
                     "{{/NeprazdneRadky}}",
                     "", table),
              "1.Stůl(id 1) 2.Židle(id 3)s 3.Lampa(id 4) ");
    EXPECT_EQ(Render("{{#Radky}}{{#Vyplneno.DPH}}{{DPH}}%{{/Vyplneno.DPH}};{{/Radky}}", "", table),
              "21%;;12%;21%;");
    EXPECT_EQ(Render("{{Soucty.Zaklad}} {{Soucty.Id}} [{{Soucty.Dodavka}}]", "", table),
              "160,50 10 []");
    EXPECT_EQ(Render("{{#SoucetKde}}Zaklad|DPH|{{Sazba}}{{/SoucetKde}}", "Sazba|21", table),
              "110,00");
    EXPECT_EQ(Render("{{#SoucetKde}}Zaklad|DPH|15{{/SoucetKde}}", "", table), "0,00");
    EXPECT_EQ(Render("{{#MaRadky}}ano{{/MaRadky}}", "", table), "ano");
    EXPECT_EQ(Render("{{^MaRadky}}bez řádků{{/MaRadky}}", "", ReportTable()), "bez řádků");
}

TEST(Templates, ErrorsNameTheProblem) {
    const auto invalid = [](const QString& text, const ReportTable& table = ReportTable()) {
        try {
            Render(text, "A|1", table);
        } catch (const ReportError& e) {
            EXPECT_EQ(e.code(), PRM1_ERROR_TEMPLATE_INVALID);
            return e.message();
        }
        return QString("no error");
    };
    EXPECT_TRUE(invalid("{{#Radky}}bez konce").contains("Radky"));
    EXPECT_TRUE(invalid("{{#SoucetKde}}Zaklad|DPH{{/SoucetKde}}").contains("SoucetKde"));
    const ReportTable table = Table({Text("DPH")}, {{"21"}});
    EXPECT_TRUE(invalid("{{#SoucetKde}}Neni|DPH|21{{/SoucetKde}}", table).contains("Neni"));
}

// Templates are the user's to edit: one nested too deep for the engine's recursion, one whose
// row sections multiply into billions of parts and one producing gigabytes all end with a
// message naming the template, while a deep but sane one still renders.
TEST(Templates, BeyondTheBoundsEndWithAMessageNamingTheTemplate) {
    QList<QStringList> rows;
    for (int i = 0; i < 25; ++i)
        rows.append({QString::number(i + 1)});
    const ReportTable table = Table({Integer("Id")}, rows);
    const auto nested = [](const QString& open, const QString& close, int depth,
                           const QString& inner) {
        return open.repeated(depth) + inner + close.repeated(depth);
    };
    const QString name = QStringLiteral("/Ses/Upravena.fr3");
    const struct {
        QString text;
        QString reason;
    } cases[] = {
        {nested("{{#A}}", "{{/A}}", 20000, "x"), "hlouběji"},
        {nested("{{^A}}", "{{/A}}", 10000, "x"), "hlouběji"},
        {nested("{{#Radky}}", "{{/Radky}}", 5, "{{Id}}"), "částí"},
        {nested("{{#NeprazdneRadky}}", "{{/NeprazdneRadky}}", 6, ""), "částí"},
        {"{{#Radky}}" + QString(2 << 20, u'x') + "{{/Radky}}", "MB"},
    };
    for (const auto& c : cases) {
        try {
            RenderTemplate(c.text, {{"A", "1"}}, table, name);
            ADD_FAILURE() << "rendered: " << c.text.left(40).toStdString();
        } catch (const ReportError& e) {
            EXPECT_EQ(e.code(), PRM1_ERROR_TEMPLATE_INVALID);
            EXPECT_TRUE(e.message().contains(name)) << e.what();
            EXPECT_TRUE(e.message().contains(c.reason)) << e.what();
        }
    }
    EXPECT_EQ(RenderTemplate(nested("{{#A}}", "{{/A}}", 60, "ok"), {{"A", "1"}}, table, name),
              "ok");
    EXPECT_EQ(RenderTemplate(nested("{{#Radky}}", "{{/Radky}}", 2, "."), {}, table, name),
              QString(625, u'.'));
}

TEST(TemplateFiles, Utf8WithOrWithoutMarkElseWindows1250) {
    tarvela::test::TempProgramFolder folder;
    folder.writeBytes("a.fr3", "\xef\xbb\xbf<p>P\xc5\x99\xc3\xadjem</p>");
    EXPECT_EQ(ReadTemplateFile(folder.file("a.fr3")), "<p>Příjem</p>");
    folder.writeBytes("b.fr3", "<p>P\xf8\xedjem</p>"); // Windows-1250
    EXPECT_EQ(ReadTemplateFile(folder.file("b.fr3")), "<p>Příjem</p>");
    EXPECT_EQ(ErrorCode([&] { ReadTemplateFile(folder.file("neni.fr3")); }),
              PRM1_ERROR_TEMPLATE_UNREADABLE);
}

TEST(QrCode, EncodesAtLevelMOrNotAtAll) {
    const QrMatrix code = EncodeQr("SPD*1.0*ACC:CZ6508000000192000145399*AM:1234.50*CC:CZK");
    ASSERT_GE(code.size, 21);
    EXPECT_EQ((code.size - 17) % 4, 0);
    // The finder pattern's corner is dark, the separator beside it light.
    EXPECT_TRUE(code.isDark(0, 0));
    EXPECT_FALSE(code.isDark(7, 0));
    EXPECT_EQ(EncodeQr("").size, 0);
    EXPECT_EQ(EncodeQr(QString(5000, u'X')).size, 0);
}

TEST(QrCode, DrawnAtAFixedSizeOnPaperNeverBelowTwoAndAHalfCentimetres) {
    QImage device(100, 100, QImage::Format_RGB32);
    device.setDotsPerMeterX(11811); // 300 dpi
    device.setDotsPerMeterY(11811);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);
    document.setHtml("<p><img src=\"prm1:qrcode\" width=\"60\"> <img src=\"prm1:qrcode\"> "
                     "<img src=\"prm1:qrcode\" width=\"151\"> <img src=\"jine.png\"></p>");
    QrTextObject qr(EncodeQr("SPD*1.0"));
    qr.install(document);
    QList<double> sides;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.objectType() == QrTextObject::kObjectType)
            sides << qr.intrinsicSize(&document, it.fragment().position(), format).width();
    }
    ASSERT_EQ(sides.size(), 3);
    const double px = 300 / 25.4; // per mm
    EXPECT_NEAR(sides[0], 25.0 * px, 1.0);
    EXPECT_NEAR(sides[1], 30.0 * px, 1.0);
    EXPECT_NEAR(sides[2], 151 * 25.4 / 96 * px, 1.0);
}
