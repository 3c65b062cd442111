#include "editor/picker_files.h"
#include "support/sample_invoices.h"

#include <gtest/gtest.h>

using namespace tarvela;
using namespace tarvela::test;

TEST(PickerFiles, TemplateTakesExactlyItsLines) {
    QStringList items;
    for (int row = 1; row <= 25; ++row)
        items << QStringLiteral("K%1|Položka %1|ks|%1|10,00|21|").arg(row);
    const FileLines lines = FileLines::FromBytes(InvoiceBytes(InvoiceLines("2024007", items)));
    const TemplateTaken t = TakeTemplateLines(lines);
    EXPECT_EQ(t.Fa[0], QStringLiteral("VS-2024007"));
    EXPECT_EQ(t.Fa[1], QStringLiteral("Obj 2024007"));
    EXPECT_EQ(t.Fa[2], QStringLiteral("Příjemce 2024007"));
    EXPECT_EQ(t.Fa[3], QStringLiteral("Sklad 2024007"));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(t.Customer.Od[i], QStringLiteral("Od%1-2024007").arg(i + 1));
    for (int row = 1; row <= 25; ++row) {
        ASSERT_TRUE(t.Rows[row - 1].has_value());
        const InvoiceItemRow expected{QStringLiteral("K%1").arg(row),
                                      QStringLiteral("Položka %1").arg(row),
                                      "ks",
                                      QString::number(row),
                                      "10,00",
                                      "21"};
        EXPECT_EQ(*t.Rows[row - 1], expected);
    }
    EXPECT_EQ(t.Komentar1, QStringLiteral("Komentář A 2024007"));
    EXPECT_EQ(t.Komentar2, QStringLiteral("Komentář B 2024007"));
    EXPECT_EQ(t.Mena, QStringLiteral("EUR"));
}

TEST(PickerFiles, ShortTemplateFileGivesOnlyItsLinesAndEmptyMissingCells) {
    // 21 lines: header, customer and the first three item lines, two of them short of cells.
    QStringList lines = InvoiceLines("2024001", {"A|B", "Jen text", "1|2|3|4|5|6|7|8|"});
    lines = lines.mid(0, 21);
    const TemplateTaken t = TakeTemplateLines(FileLines::FromBytes(InvoiceBytes(lines)));
    EXPECT_EQ(t.Customer.Od[8], QStringLiteral("Od9-2024001"));
    ASSERT_TRUE(t.Rows[0] && t.Rows[1] && t.Rows[2]);
    EXPECT_EQ(*t.Rows[0], (InvoiceItemRow{"A", "B", "", "", "", ""}));
    EXPECT_EQ(*t.Rows[1], (InvoiceItemRow{"Jen text", "", "", "", "", ""}));
    EXPECT_EQ(*t.Rows[2], (InvoiceItemRow{"1", "2", "3", "4", "5", "6"}));
    for (int row = 4; row <= 25; ++row)
        EXPECT_FALSE(t.Rows[row - 1].has_value()) << row;
    EXPECT_FALSE(t.Komentar1 || t.Komentar2 || t.Mena);
}

TEST(PickerFiles, CustomerFromSeventeenLineFileLeavesDic) {
    QStringList lines = InvoiceLines("2026003", {});
    lines = lines.mid(0, 17);
    const CustomerTaken c = TakeCustomerLines(FileLines::FromBytes(InvoiceBytes(lines)));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(c.Od[i], QStringLiteral("Od%1-2026003").arg(i + 1));
    EXPECT_FALSE(c.Od[8].has_value());
    EXPECT_FALSE(TakeCustomerLines(FileLines()).Od[0].has_value());
}

TEST(PickerFiles, CustomerEmailComesFromItsOptionalLineOrIsEmpty) {
    const QStringList lines = InvoiceLines("2026004", {});
    const struct {
        QStringList extra;
        const char* email;
    } cases[] = {
        {{}, ""},
        {{"Kurz=24,335", "OdberatelEmail=ucetni@firma.cz"}, "ucetni@firma.cz"},
        {{"DalsiPole=OdberatelEmail=x@y.cz"}, ""},
        {{"OdberatelEmail="}, ""},
    };
    for (const auto& c : cases) {
        const FileLines file = FileLines::FromBytes(InvoiceBytes(lines + c.extra));
        EXPECT_EQ(TakeCustomerLines(file).Email, QString::fromUtf8(c.email)) << c.email;
        EXPECT_EQ(TakeTemplateLines(file).Customer.Email, QString::fromUtf8(c.email));
    }
}

TEST(PickerFiles, MissingFolderMessage) {
    EXPECT_EQ(MissingPeriodFolderMessage("2025"),
              QStringLiteral("Nebyl nalezen adresář \"2025\" do kterého se ukládají vytvořené "
                             "faktury."));
}
