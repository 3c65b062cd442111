#include "money/decimal.h"

#include "text/errors.h"

#include <gtest/gtest.h>

#include <random>

namespace tarvela {
namespace {

struct ReadCase {
    const char* text;
    DecimalError error;
    qint64 millionths;
};

TEST(ReadDecimal, FormsAndRefusals) {
    const ReadCase cases[] = {
        {"12,5", DecimalError::None, 12500000},
        {" -0,000001 ", DecimalError::None, -1},
        {"+3", DecimalError::None, 3000000},
        {",", DecimalError::None, 0},
        {"-0", DecimalError::None, 0},
        {"1,5E2", DecimalError::None, 150000000},
        {"125e-3", DecimalError::None, 125000},
        {"1,2345600000", DecimalError::None, 1234560}, // trailing zeros are no decimals
        {"0,0000001", DecimalError::TooManyDecimals, 0},
        {"1e-7", DecimalError::TooManyDecimals, 0},
        {"999999999,99", DecimalError::None, 999999999990000},
        {"999999999,991", DecimalError::TooLarge, 0},
        {"1e20", DecimalError::TooLarge, 0},
        {"00000000000000000000000000001", DecimalError::None, 1000000},
        {"1.5", DecimalError::NotANumber, 0},
        {"1 000", DecimalError::NotANumber, 0},
        {"", DecimalError::NotANumber, 0},
        {"-", DecimalError::NotANumber, 0},
        {"1e", DecimalError::NotANumber, 0},
        {"1,2,3", DecimalError::NotANumber, 0},
    };
    for (const ReadCase& c : cases) {
        Decimal value = Decimal::FromWhole(7);
        EXPECT_EQ(ReadDecimal(QString::fromUtf8(c.text), value, kLargestTypedNumber), c.error)
            << c.text;
        if (c.error == DecimalError::None) {
            EXPECT_EQ(value.millionths(), c.millionths) << c.text;
        }
    }
}

TEST(Decimal, TextRoundTripsEveryValue) {
    std::mt19937_64 random(25);
    for (int i = 0; i < 20000; ++i) {
        const qint64 units =
            static_cast<qint64>(random() % 1999999999980001ULL) - 999999999990000LL;
        const Decimal d = Decimal::FromMillionths(units);
        Decimal back;
        ASSERT_EQ(ReadDecimal(d.toText(), back, kLargestTypedNumber), DecimalError::None)
            << d.toText().toStdString();
        EXPECT_EQ(back, d);
    }
    EXPECT_EQ(Decimal::FromMillionths(-1500000).toText(QLatin1Char('.')), QStringLiteral("-1.5"));
    EXPECT_EQ(Decimal::FromMillionths(25125000).toText(), QStringLiteral("25,125"));
}

TEST(Rounding, HalfAwayFromZero) {
    const struct {
        qint64 numerator, denominator, expected;
    } cases[] = {{5, 10, 1},    {-5, 10, -1}, {4, 10, 0}, {-4, 10, 0},         {15, 10, 2},
                 {-15, 10, -2}, {14, 10, 1},  {0, 7, 0},  {921525, 1000, 922}, {-25, 100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DivideRounded(c.numerator, c.denominator), c.expected)
            << c.numerator << "/" << c.denominator;
    // The three figures of the same example: 12,5 x 614,35 at 12 %.
    const qint64 amount =
        RowAmountHalere(Decimal::FromMillionths(12500000), Decimal::FromMillionths(614350000));
    EXPECT_EQ(amount, 767938);
    EXPECT_EQ(TaxHalere(amount, 12), 92153);
    EXPECT_EQ(TaxHalere(-1250, 21), -263);
    EXPECT_EQ(ToCrowns(10001, Decimal::FromMillionths(25125000)), 251275);   // 2512,75125
    EXPECT_EQ(ToCrowns(-10002, Decimal::FromMillionths(25125000)), -251300); // -2513,0025
}

TEST(ExchangeRate, PlausibleRatesOnly) {
    const struct {
        const char* text;
        bool accepted;
    } cases[] = {{"25,125", true},      {" 0,0001 ", true},   {"100000", true}, {"24,315678", true},
                 {"0,00009", false},    {"100000,01", false}, {"0", false},     {"-25", false},
                 {"25,1234567", false}, {"25.1", false},      {"", false},      {"abc", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseExchangeRate(QString::fromUtf8(c.text)).has_value(), c.accepted) << c.text;
        if (c.accepted || QString::fromUtf8(c.text).trimmed().isEmpty()) {
            EXPECT_NO_THROW(CheckExchangeRate(QString::fromUtf8(c.text))) << c.text;
        } else
            EXPECT_THROW(CheckExchangeRate(QString::fromUtf8(c.text)), ConversionError) << c.text;
    }
    try {
        CheckExchangeRate(QStringLiteral("0"));
        ADD_FAILURE() << "accepted";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("Kurz: „0“ není kurz; zadejte počet korun za "
                                                 "jednotku měny od 0,0001 do 100000, nejvýš 6 "
                                                 "desetinných míst, například 25,125."));
    }
}

TEST(ExchangeRate, DateFrom1991ToToday) {
    const QDate today(2026, 12, 9);
    EXPECT_NO_THROW(CheckExchangeRateDate(QDate(1991, 1, 1), today));
    EXPECT_NO_THROW(CheckExchangeRateDate(today, today));
    EXPECT_NO_THROW(CheckExchangeRateDate(QDate(), today));
    EXPECT_THROW(CheckExchangeRateDate(QDate(1990, 12, 31), today), ValidationError);
    EXPECT_THROW(CheckExchangeRateDate(today.addDays(1), today), ValidationError);
}

TEST(ParseFieldHalere, TwoDecimalsAtMost) {
    EXPECT_EQ(ParseFieldHalere(QStringLiteral("Uhrazená částka"), u"1210,5"), 121050);
    EXPECT_EQ(ParseFieldHalere(QStringLiteral("Uhrazená částka"), u"-0,01"), -1);
    try {
        ParseFieldHalere(QStringLiteral("Uhrazená částka"), u"12,345");
        ADD_FAILURE() << "accepted";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("Uhrazená částka: „12,345“ má víc než 2 "
                                                 "desetinná místa."));
    }
}

} // namespace
} // namespace tarvela
