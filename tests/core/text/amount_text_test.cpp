#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include "support/print_qt.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

using namespace tarvela;

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct FormatCase {
    double value;
    const char* text;
};

// Expects a ConversionError with exactly this message.
template <class F> void ExpectConversionError(F&& f, const QString& message) {
    try {
        f();
        ADD_FAILURE() << "no ConversionError for " << message.toStdString();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), message);
    }
}

} // namespace

TEST(FormatAmount, TableOfValues) {
    const FormatCase cases[] = {
        {1234.5, "1234,50"},
        {-7, "-7,00"},
        {1000000, "1000000,00"},
        {0.125, "0,13"},   // exact half, away from zero
        {-0.125, "-0,13"}, // exact half, away from zero
        {0.135, "0,14"},   // held as 0.13500000000000000888...
        {2.675, "2,67"},   // held as 2.67499999999999982...
        {-0.004, "0,00"},  // rounds to zero, no sign
        {-0.001, "0,00"},
        {0.375, "0,38"},
        {0.0, "0,00"},
        {-0.0, "0,00"},
        {0.005, "0,01"},      // held as 0.00500000000000000010...
        {-0.005, "-0,01"},    // a sign only when something is left
        {9.999, "10,00"},     // carry into the integer digits
        {-99.995, "-100,00"}, // held as 99.99500000000000454...
        {-9.995, "-9,99"},    // held as 9.99499999999999921...
        {1.005, "1,00"},      // held as 1.00499999999999989...
        {999.996, "1000,00"},
        {0.1, "0,10"},
        {0.1 + 0.2, "0,30"},
        {1210, "1210,00"},
        {-50.5, "-50,50"},
        {1e15 + 0.5, "1000000000000000,50"},
        {1e17 + 16, "100000000000000016,00"},
        {1e20, "100000000000000000000,00"},
        {123456789012345678.0, "123456789012345680,00"}, // 18 significant digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatAmount(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(FormatAmount, EveryWholeNumberOfHundredthsIsWrittenExactly) {
    for (int cents = -200000; cents <= 200000; cents += 7) {
        const int whole = std::abs(cents) / 100;
        const int rest = std::abs(cents) % 100;
        const QString expected = QStringLiteral("%1%2,%3")
                                     .arg(cents < 0 ? "-" : "")
                                     .arg(whole)
                                     .arg(rest, 2, 10, QLatin1Char('0'));
        ASSERT_EQ(FormatAmount(cents / 100.0), expected) << cents;
        ASSERT_EQ(ParseAmount(expected), cents / 100.0) << cents;
    }
}

TEST(FormatAmount, NonFiniteValuesDoNotCrash) {
    EXPECT_EQ(FormatAmount(std::numeric_limits<double>::infinity()), QStringLiteral("INF"));
    EXPECT_EQ(FormatAmount(-std::numeric_limits<double>::infinity()), QStringLiteral("-INF"));
    EXPECT_EQ(FormatAmount(std::nan("")), QStringLiteral("NAN"));
}

TEST(ParseAmount, AcceptedTexts) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {" 12,5 ", 12.5},
        {"12,5", 12.5},
        {"1E3", 1000},
        {"1e3", 1000},
        {"1E+3", 1000},
        {"1E-3", 0.001},
        {"1,5E2", 150},
        {"-1,5e-1", -0.15},
        {"+5", 5},
        {"-5", -5},
        {",", 0},
        {"-,", 0},
        {"+,", 0},
        {"5,", 5},
        {",5", 0.5},
        {"-,25", -0.25},
        {"007", 7},
        {"0", 0},
        {"0,00", 0},
        {"1234,50", 1234.5},
        {"-7,00", -7},
        {"1E0000000000000000000003", 1000},
        {"1E-99999999999999999999", 0},
        {"0,0000000000000000000000000000001E31", 1},
        {"1E-400", 0},
        {"1,7E308", 1.7e308},
        {"   3", 3},
        {"2,675", 2.675},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseAmount(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(ParseAmount, PlainTextsReadAsTheNearestDouble) {
    // Texts of up to 15 digits take a shorter way than the others; both must give the double
    // nearest to the decimal value, as a general reading of the same digits does.
    const char* texts[] = {"0,1",
                           "0,3",
                           "2,675",
                           "1,005",
                           "-98765,4321",
                           "999999999,99",
                           "0,000000000000001",
                           "123456789012345",
                           "12345678901234,5",
                           "1234567890123456",
                           "9007199254740993",
                           "0,1000000000000000055511151231257827"};
    for (const char* text : texts) {
        std::string general(text);
        std::replace(general.begin(), general.end(), ',', '.');
        double expected = 0;
        std::from_chars(general.data(), general.data() + general.size(), expected);
        EXPECT_EQ(ParseAmount(QString::fromLatin1(text)), expected) << text;
    }
}

TEST(AmountText, ZeroIsNeverNegative) {
    EXPECT_FALSE(std::signbit(RoundAmount(-0.004, -2)));
    EXPECT_FALSE(std::signbit(ParseAmount(QStringLiteral("-0"))));
    EXPECT_FALSE(std::signbit(ParseAmount(QStringLiteral("-0,00"))));
}

TEST(ParseAmount, RefusedTextsNameTheTextAsRead) {
    const char* refused[] = {"",
                             " ",
                             "+",
                             "-",
                             "12.5",
                             "1 2",
                             "1,2,3",
                             "abc",
                             "1E",
                             "1E+",
                             "E5",
                             "12,5 Kč",
                             "--5",
                             "+-5",
                             "5-",
                             "\t5",
                             "5\n",
                             "1E400",
                             "1E99999999999999999999",
                             "1E-",
                             "1e+-3",
                             "-1E999",
                             "0x10",
                             "1e3,5",
                             "1E3E3",
                             "١٢"};
    for (const char* text : refused) {
        const QString t = Q(text);
        ExpectConversionError([&] { ParseAmount(t); }, QStringLiteral("„%1“ není číslo.").arg(t));
    }
}

TEST(ParseAmount, ErrorBoxShowsTheConversionMessageWithAFullStop) {
    try {
        ParseAmount(QStringLiteral("12.5"));
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(AppendFullStop(e.message()), QStringLiteral("„12.5“ není číslo."));
    }
}

TEST(ParseAmountLenient, KeepsOnlySignsCommaAndDigits) {
    EXPECT_EQ(ParseAmountLenient(QStringLiteral("0")), 0.0);
    EXPECT_EQ(ParseAmountLenient(QString()), 0.0);
    EXPECT_EQ(ParseAmountLenient(QStringLiteral("1 234,50 CZK")), 1234.5);
    EXPECT_EQ(ParseAmountLenient(QStringLiteral("1.234,50")), 1234.5);
    EXPECT_EQ(ParseAmountLenient(QStringLiteral("-50,50")), -50.5);
    EXPECT_EQ(ParseAmountLenient(Q("1 210,00 Kč")), 1210.0);
    EXPECT_EQ(ParseAmountLenient(QStringLiteral(" 0 ")), 0.0);
}

TEST(ParseAmountLenient, FailureShowsWhatWasKept) {
    ExpectConversionError([] { ParseAmountLenient(QStringLiteral("abc")); },
                          QStringLiteral("„“ není číslo."));
    ExpectConversionError([] { ParseAmountLenient(QStringLiteral("1-2 EUR")); },
                          QStringLiteral("„1-2“ není číslo."));
    ExpectConversionError([] { ParseAmountLenient(QStringLiteral("1,2,3")); },
                          QStringLiteral("„1,2,3“ není číslo."));
}

TEST(ParseWholeLenient, NeverFails) {
    const struct {
        const char* text;
        qint32 value;
    } cases[] = {
        {"", 0},
        {"0", 0},
        {"1-2", 0},
        {"99999999999", 0},
        {"-15", -15},
        {"+7", 7},
        {"12,50", 1250},
        {"1.500", 1500},
        {" 42 Kč", 42},
        {"abc", 0},
        {"-", 0},
        {"+-", 0},
        {"--1", 0},
        {"2147483647", 2147483647},
        {"2147483648", 0},
        {"-2147483648", std::numeric_limits<qint32>::min()},
        {"-2147483649", 0},
        {"000000000000000000001", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseWholeLenient(Q(c.text)), c.value) << c.text;
}

TEST(ParseWhole, StrictReading) {
    EXPECT_EQ(ParseWhole(QStringLiteral("12")), 12);
    EXPECT_EQ(ParseWhole(QStringLiteral(" -12 ")), -12);
    EXPECT_EQ(ParseWhole(QStringLiteral("+2026")), 2026);
    EXPECT_EQ(ParseWhole(QStringLiteral("-2147483648")), std::numeric_limits<qint32>::min());
    EXPECT_EQ(ParseWhole(QStringLiteral("2147483647")), std::numeric_limits<qint32>::max());
    for (const char* text : {"", "-", "1,5", "1.5", "2147483648", "-2147483649", "1 2", "x1"}) {
        const QString t = Q(text);
        ExpectConversionError([&] { ParseWhole(t); },
                              QStringLiteral("„%1“ není celé číslo.").arg(t));
    }
}

TEST(RoundAmount, TableOfHundredths) {
    const struct {
        double value;
        double rounded;
    } cases[] = {
        {0.125, 0.12},          {0.375, 0.37}, {2.625, 2.62}, {-0.125, -0.12},
        {0.025, 0.03},          {0.015, 0.01}, {0.0, 0.0},    {1234.5678, 1234.57},
        {-1234.5678, -1234.57}, {21.0, 21.0},  {0.004, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundAmount(c.value, -2), c.rounded) << c.value;
}

TEST(RoundAmount, DiffersFromFormatAmountOnBinaryHalves) {
    EXPECT_EQ(FormatAmount(0.375), QStringLiteral("0,38"));
    EXPECT_EQ(RoundAmount(0.375, -2), 0.37);
}

TEST(RoundAmount, WholeHundredthsKeepTheirValueAndText) {
    // The product with the stored factor may land one binary step beside the double nearest to
    // the hundredths (999.93 does), but never further, and it always prints the same.
    for (int cents = -100000; cents <= 100000; ++cents) {
        const double value = cents / 100.0;
        const double rounded = RoundAmount(value, -2);
        ASSERT_LE(std::fabs(rounded - value), std::fabs(value) * 3e-16) << cents;
        ASSERT_EQ(FormatAmount(rounded), FormatAmount(value)) << cents;
    }
}

TEST(RoundAmount, OtherDigitPositionsRoundHalvesToEven) {
    EXPECT_EQ(RoundAmount(1234.5, 0), 1234.0);
    EXPECT_EQ(RoundAmount(1235.5, 0), 1236.0);
    EXPECT_EQ(RoundAmount(-2.5, 0), -2.0);
    EXPECT_EQ(RoundAmount(125.0, 1), 120.0);
    EXPECT_EQ(RoundAmount(135.0, 1), 140.0);
    EXPECT_EQ(RoundAmount(1250.0, 2), 1200.0);
    EXPECT_EQ(RoundAmount(0.1234, -3), 0.123);
}

TEST(AmountNormalisers, PadAmountDecimals) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"", "0,00"},      {"7", "7,00"},      {",5", ",50"},        {"7,", "7,"},
                 {"12,5", "12,50"}, {"12,50", "12,50"}, {"12,505", "12,505"}, {"-3", "-3,00"}};
    for (const auto& c : cases)
        EXPECT_EQ(PadAmountDecimals(Q(c.in)), Q(c.out)) << c.in;
}

TEST(AmountNormalisers, AppendZeroDecimals) {
    EXPECT_EQ(AppendZeroDecimals(QString()), QString());
    EXPECT_EQ(AppendZeroDecimals(QStringLiteral("12")), QStringLiteral("12,00"));
    EXPECT_EQ(AppendZeroDecimals(QStringLiteral("12,5")), QStringLiteral("12,5"));
    EXPECT_EQ(AppendZeroDecimals(QStringLiteral("12,")), QStringLiteral("12,"));
    EXPECT_EQ(AppendZeroDecimals(QStringLiteral(" ")), QStringLiteral(" ,00"));
}

TEST(AmountNormalisers, CompleteQuantity) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"5,", "5,0"},    {"", "0"},   {"5", "5"},
                 {"5,25", "5,25"}, {",", ",0"}, {"5,,", "5,,"}};
    for (const auto& c : cases)
        EXPECT_EQ(CompleteQuantity(Q(c.in)), Q(c.out)) << c.in;
}

TEST(AmountNormalisers, StripSpacesRemovesOnlyCode32) {
    EXPECT_EQ(StripSpaces(QStringLiteral(" 1 234,50 ")), QStringLiteral("1234,50"));
    const QString other = QStringLiteral("1\t2") + QChar(0xA0) + QStringLiteral("3");
    EXPECT_EQ(StripSpaces(other), other);
    EXPECT_EQ(StripSpaces(QStringLiteral("   ")), QString());
}

TEST(AmountPredicates, DigitsAndNumberCharacters) {
    EXPECT_TRUE(IsDigitsOnly(QString()));
    EXPECT_TRUE(IsDigitsOnly(QStringLiteral("2026")));
    EXPECT_FALSE(IsDigitsOnly(QStringLiteral("20a6")));
    EXPECT_FALSE(IsDigitsOnly(QStringLiteral("-1")));
    EXPECT_FALSE(IsDigitsOnly(QStringLiteral(" 2026")));
    EXPECT_FALSE(IsDigitsOnly(Q("٢٠٢٦"))); // other scripts' digits are no digits here

    EXPECT_TRUE(IsNumberChars(QString()));
    EXPECT_TRUE(IsNumberChars(QStringLiteral("-12,5")));
    EXPECT_TRUE(IsNumberChars(QStringLiteral("1-,-2")));
    EXPECT_FALSE(IsNumberChars(QStringLiteral("12.5")));
    EXPECT_FALSE(IsNumberChars(QStringLiteral("1 2")));
    EXPECT_FALSE(IsNumberChars(QStringLiteral("+1")));
    EXPECT_FALSE(IsNumberChars(QStringLiteral("1e3")));
}

TEST(AmountText, DoesNotFollowTheDefaultLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // "." groups, "," decimals
    EXPECT_EQ(FormatAmount(1234567.5), QStringLiteral("1234567,50"));
    EXPECT_EQ(ParseAmount(QStringLiteral("1234567,5")), 1234567.5);
    EXPECT_THROW(ParseAmount(QStringLiteral("1.234.567,5")), ConversionError);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatAmount(1234567.5), QStringLiteral("1234567,50"));
    EXPECT_THROW(ParseAmount(QStringLiteral("1234567.5")), ConversionError);
    QLocale::setDefault(before);
}

TEST(ParseFieldAmount, NamesTheFieldAndTheLimit) {
    EXPECT_EQ(ParseFieldAmount(QStringLiteral("Cena MJ"), QStringLiteral("999999999,99")),
              999999999.99);
    EXPECT_EQ(ParseFieldAmount(QStringLiteral("Cena MJ"), QStringLiteral("-999999999,99")),
              -999999999.99);
    const QString limit = Q("„%1“ je větší, než pole pojme; největší hodnota je 999999999,99.");
    const struct {
        const char* text;
        QString message;
    } refused[] = {
        {"1.5", Q("„1.5“ není číslo.")},
        {"1 000", Q("„1 000“ není číslo.")},
        {"", Q("„“ není číslo.")},
        {"1e20", limit.arg(Q("1e20"))},
        {"1000000000", limit.arg(Q("1000000000"))},
        {"-999999999,999", limit.arg(Q("-999999999,999"))},
        {"1E400", Q("„1E400“ není číslo.")},
    };
    for (const auto& c : refused) {
        ExpectConversionError([&] { ParseFieldAmount(Q("Počet MJ"), Q(c.text)); },
                              Q("Počet MJ: ") + c.message);
    }
}

TEST(WholeCrownsOfPaidAmount, ReadsTheDecimalComma) {
    const struct {
        const char* text;
        qint32 value;
    } cases[] = {{"567,44", 567},    {"1.500", 1500},
                 {"0,99", 0},        {"", 0},
                 {"abc", 0},         {"12", 12},
                 {"506.75", 506},    {"506.5", 506},
                 {"1.234,50", 1234}, {"1.234.567", 1234567}};
    for (const auto& c : cases)
        EXPECT_EQ(WholeCrownsOfPaidAmount(Q(c.text)), c.value) << c.text;
}
