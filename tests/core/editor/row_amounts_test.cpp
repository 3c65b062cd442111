#include "editor/row_amounts.h"

#include "text/errors.h"

#include <gtest/gtest.h>

namespace tarvela {
namespace {

const VatRates kRates{21, 15, 10};

struct RowCase {
    const char* name;
    VatRates rates;
    RowAmount before;
    const char* quantity;
    const char* price;
    const char* rate;
    RowAmount expected;
};

const RowAmount kOldTax{500, 105, 0, 0};

class RecomputeRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(RecomputeRowTest, SetsAmountAndTaxInHalere) {
    const RowCase& c = GetParam();
    RowAmount amounts = c.before;
    RecomputeRow(amounts, QString::fromUtf8(c.quantity), QString::fromUtf8(c.price),
                 QString::fromUtf8(c.rate), c.rates);
    EXPECT_EQ(amounts, c.expected);
}

const VatRates kNonPayer{21, 12, 0, false};

// Amounts in haléře: the row amount is quantity x price rounded half away from zero, the tax
// that rounded amount x rate / 100 rounded half away from zero.
INSTANTIATE_TEST_SUITE_P(
    Rows, RecomputeRowTest,
    ::testing::Values(
        RowCase{"ThirdOfACrownAtRate1", kRates, {}, "3", "0,333", "21", {100, 21, 0, 0}},
        RowCase{"TwoTimes150AtRate1", kRates, {}, "2", "150,00", "21", {30000, 6300, 0, 0}},
        RowCase{"TwoTimes150AtRate2", kRates, kOldTax, "2", "150,00", "15", {30000, 0, 4500, 0}},
        RowCase{"AtRate3", kRates, kOldTax, "1", "100", "10", {10000, 0, 0, 1000}},
        RowCase{
            "EqualRatesLastMatchWins", {21, 12, 12}, {}, "1", "100,00", "12", {10000, 0, 0, 1200}},
        RowCase{"HalfRoundsAwayFromZero", kRates, {}, "1", "12,50", "21", {1250, 263, 0, 0}},
        RowCase{"NegativeHalf", kRates, {}, "-1", "12,50", "21", {-1250, -263, 0, 0}},
        RowCase{"HalfHalerOfTheAmount", kRates, {}, "1,5", "0,67", "0", {101, 0, 0, 0}},
        RowCase{"TaxOfTheRoundedAmount",
                {21, 12, 0},
                {},
                "12,5",
                "614,35",
                "12",
                {767938, 0, 92153, 0}},
        RowCase{"SixDecimals", kRates, {}, "0,000001", "999999", "21", {100, 21, 0, 0}},
        RowCase{"ExponentIsExact", kRates, {}, "1,5E2", "0,01", "0", {150, 0, 0, 0}},
        RowCase{"RateZeroClearsTaxes", kRates, kOldTax, "1", "7", "0", {700, 0, 0, 0}},
        RowCase{"UnknownRateChargesNoTax", kRates, kOldTax, "2", "3", "19", {600, 0, 0, 0}},
        RowCase{"EmptyRateChargesNoTax", kRates, kOldTax, "2", "3", "", {600, 0, 0, 0}},
        RowCase{"RateWithDecimalsIsNotARate", kRates, kOldTax, "2", "3", "21,0", {600, 0, 0, 0}},
        RowCase{"RateWithSpaceIsNotARate", kRates, kOldTax, "2", "3", " 21", {600, 0, 0, 0}},
        RowCase{"NonPayerChargesNoTax", kNonPayer, kOldTax, "2", "150,00", "21", {30000, 0, 0, 0}},
        RowCase{"EmptyRowHasZeroAmount", kRates, kOldTax, "", "", "21", {0, 0, 0, 0}},
        RowCase{"SpacesAroundNumbers", kRates, {}, " 2 ", "1,5", "21", {300, 63, 0, 0}}),
    [](const ::testing::TestParamInfo<RowCase>& info) { return std::string(info.param.name); });

TEST(RecomputeRow, UnreadableNumbersFailAndKeepTheRow) {
    const char* bad[][2] = {{"2", ""},          {"", "150,00"}, {"1.5", "2"},  {"2", "abc"},
                            {"1 000", "1"},     {"1e20", "1"},  {"2", "1e20"}, {"100000", "100000"},
                            {"1", "0,1234567"}, {"1e-7", "1"}};
    for (const auto& cells : bad) {
        RowAmount amounts = kOldTax;
        EXPECT_THROW(RecomputeRow(amounts, QString::fromUtf8(cells[0]), QString::fromUtf8(cells[1]),
                                  QStringLiteral("21"), kRates),
                     ConversionError)
            << cells[0] << " x " << cells[1];
        EXPECT_EQ(amounts, kOldTax);
    }
    const char* messages[][3] = {
        {"1.5", "1e20", "Počet MJ: „1.5“ není číslo."},
        {"1", "0,1234567", "Cena MJ: „0,1234567“ má víc než 6 desetinných míst; zadejte nejvýš 6."},
        {"1", "1e20",
         "Cena MJ: „1e20“ je větší, než pole pojme; největší hodnota je 999999999,99."},
        {"100000", "100000",
         "Celkem bez DPH: „10000000000,00“ je větší, než pole pojme; největší hodnota je "
         "999999999,99."}};
    for (const auto& m : messages) {
        try {
            RowAmount amounts;
            RecomputeRow(amounts, QString::fromUtf8(m[0]), QString::fromUtf8(m[1]), {}, kRates);
            ADD_FAILURE() << "read " << m[0] << " x " << m[1];
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(m[2]));
        }
    }
}

RowAmounts AmountsOf(std::initializer_list<std::pair<int, RowAmount>> rows) {
    RowAmounts a;
    for (const auto& [row, amount] : rows)
        a[row] = amount;
    return a;
}

TEST(ComputeTotals, ThreeRowsOfAlmostOneSumRoundedAmounts) {
    RowAmounts a;
    for (int row = 1; row <= 3; ++row)
        RecomputeRow(a[row], QStringLiteral("3"), QStringLiteral("0,333"), QStringLiteral("0"),
                     kRates);
    for (int row = 1; row <= 3; ++row) {
        const TotalsTexts t = ComputeTotals(a, row, QStringLiteral("CZK"));
        EXPECT_EQ(t.APCelkem, QStringLiteral("1,00"));
        EXPECT_EQ(t.CelkemRadek, QStringLiteral("1,00"));
        EXPECT_EQ(t.SACelkem, QStringLiteral("3,00"));
        EXPECT_EQ(t.CelkemFaktura, QStringLiteral("3,00"));
    }
}

TEST(ComputeTotals, FillsAllElevenTexts) {
    const RowAmounts a =
        AmountsOf({{1, {30000, 6300, 0, 0}}, {2, {10000, 0, 1500, 0}}, {25, {5050, 0, 0, 505}}});
    const TotalsTexts t = ComputeTotals(a, 1, QStringLiteral("EUR"));
    const TotalsTexts expected{
        QStringLiteral("EUR"),    QStringLiteral("300,00"), QStringLiteral("63,00"),
        QStringLiteral("0,00"),   QStringLiteral("0,00"),   QStringLiteral("363,00"),
        QStringLiteral("450,50"), QStringLiteral("63,00"),  QStringLiteral("15,00"),
        QStringLiteral("5,05"),   QStringLiteral("533,55")};
    EXPECT_EQ(t, expected);
}

TEST(ComputeTotals, NoCurrentRowShowsZerosForTheRow) {
    const RowAmounts a = AmountsOf({{1, {30000, 6300, 0, 0}}});
    for (int row : {0, -1, 26}) {
        const TotalsTexts t = ComputeTotals(a, row, QStringLiteral("CZK"));
        EXPECT_EQ(t.APCelkem, QStringLiteral("0,00"));
        EXPECT_EQ(t.CelkemRadek, QStringLiteral("0,00"));
        EXPECT_EQ(t.CelkemFaktura, QStringLiteral("363,00"));
    }
}

TEST(RowAmounts, ClearAndSwap) {
    RowAmounts a = AmountsOf({{3, {1, 2, 0, 0}}, {4, {5, 0, 6, 0}}});
    a.Swap(3, 4);
    EXPECT_EQ(a[3], (RowAmount{5, 0, 6, 0}));
    EXPECT_EQ(a[4], (RowAmount{1, 2, 0, 0}));
    a.Clear();
    for (int row = 1; row <= kItemRowCount; ++row)
        EXPECT_EQ(a[row], RowAmount{});
}

InvoiceItemRow Row(const char* c1, const char* c2, const char* c3, const char* c4, const char* c5,
                   const char* c6) {
    return {QString::fromUtf8(c1), QString::fromUtf8(c2), QString::fromUtf8(c3),
            QString::fromUtf8(c4), QString::fromUtf8(c5), QString::fromUtf8(c6)};
}

struct PasteCase {
    const char* name;
    const char* text;
    InvoiceItemRow expected;
};

class PasteIntoRowTest : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PasteIntoRowTest, FillsCells) {
    InvoiceItemRow row = Row("K", "Popis", "ks", "1", "10,00", "21");
    PasteIntoRow(row, QString::fromUtf8(GetParam().text));
    EXPECT_EQ(row, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PasteIntoRowTest,
    ::testing::Values(
        PasteCase{"WholeRow", "A1|Oprava|ks|2|150,00|21|",
                  Row("A1", "Oprava", "ks", "2", "150,00", "21")},
        PasteCase{"EmptyRow", "||||||", Row("", "", "", "", "", "")},
        PasteCase{"NoBarReplacesDescription", "Jen text",
                  Row("K", "Jen text", "ks", "1", "10,00", "21")},
        PasteCase{"EmptyTextEmptiesDescription", "", Row("K", "", "ks", "1", "10,00", "21")},
        PasteCase{"PiecesAfterTheSixthDropped", "1|2|3|4|5|6|7|8|",
                  Row("1", "2", "3", "4", "5", "6")},
        PasteCase{"TextAfterLastBarIgnored", "A|B", Row("A", "Popis", "ks", "1", "10,00", "21")},
        PasteCase{"TwoPieces", "X|Y|Z", Row("X", "Y", "ks", "1", "10,00", "21")},
        PasteCase{"FirstLineOfARow", "A1|Oprava|ks|2|150,00|21|\r\nB|C|D|E|F|G|\r\n",
                  Row("A1", "Oprava", "ks", "2", "150,00", "21")},
        PasteCase{"FirstLineOfText", "Jen\ntext", Row("K", "Jen", "ks", "1", "10,00", "21")},
        PasteCase{"LoneCarriageReturn", "Jen\rtext", Row("K", "Jen", "ks", "1", "10,00", "21")},
        PasteCase{"BarOnlyOnSecondLine", "Popis\nA|B|",
                  Row("K", "Popis", "ks", "1", "10,00", "21")}),
    [](const ::testing::TestParamInfo<PasteCase>& info) { return std::string(info.param.name); });

TEST(PasteIntoRow, CopyThenPasteReproducesTheRow) {
    const InvoiceItemRow source = Row("A1", "Oprava", "ks", "2", "150,00", "21");
    InvoiceItemRow target;
    PasteIntoRow(target, ItemRowText(source));
    EXPECT_EQ(target, source);
}

} // namespace
} // namespace tarvela
