#include "money/decimal.h"
#include "printing/money.h"
#include "text/amount_text.h"
#include "text/errors.h"
#include "text/helpers.h"

#include "support/print_qt.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <algorithm>
#include <iterator>
#include <limits>
#include <random>
#include <string>

using namespace tarvela;

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

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

TEST(ParseHalereLenient, KeepsOnlySignsCommaAndDigits) {
    const struct {
        const char* text;
        qint64 halere;
    } cases[] = {
        {"0", 0},
        {"", 0},
        {"1 234,50 CZK", 123450},
        {"1.234,50", 123450},
        {"-50,50", -5050},
        {"1 210,00 Kč", 121000},
        {" 0 ", 0},
        {"0,125", 13},   // an exact half, away from zero
        {"-0,125", -13}, // the same below zero
        {"1,005", 101},  // no binary approximation below the half
        {"2,675", 268},
        {"-0,004", 0}, // rounds to zero, no sign
        {"9,999", 1000},
        {",", 0},
        {"-,5", -50},
        {"999999999999,99", 99999999999999},
        {"000000000000000000001", 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseHalereLenient(Q(c.text)), c.halere) << c.text;
}

TEST(ParseHalereLenient, FailureShowsWhatWasKept) {
    ExpectConversionError([] { ParseHalereLenient(QStringLiteral("abc")); },
                          QStringLiteral("„“ není číslo."));
    ExpectConversionError([] { ParseHalereLenient(QStringLiteral("1-2 EUR")); },
                          QStringLiteral("„1-2“ není číslo."));
    ExpectConversionError([] { ParseHalereLenient(QStringLiteral("1,2,3")); },
                          QStringLiteral("„1,2,3“ není číslo."));
    // Beyond the largest stored total, also when only the rounding carries it there.
    for (const char* text : {"999999999999,995", "1 000 000 000 000 Kč", "-99999999999999999999"}) {
        const QString t = Q(text);
        QString kept = t;
        kept.remove(QLatin1Char(' ')).remove(Q("Kč"));
        ExpectConversionError([&] { ParseHalereLenient(t); },
                              Q("„%1“ je větší, než pole pojme; největší hodnota je "
                                "999999999999,99.")
                                  .arg(kept));
    }
}

// Random stored totals with text around and inside them, read against the exact value of all
// their digits in 128 bits (rounded half away from zero by one division), and shown as the open
// dialog shows them.
TEST(ParseHalereLenient, RandomTextsAgainstTheExactValueOfTheirDigits) {
    std::mt19937_64 random(25);
    const QString noise[] = {Q(" "), Q("."), Q("Kč"), Q("CZK"), Q("\u00a0"), Q("EUR ")};
    for (int i = 0; i < 20000; ++i) {
        const bool negative = random() % 3 == 0;
        const int wholeDigits = static_cast<int>(random() % 16);
        const int decimals = static_cast<int>(random() % 11) - 1; // -1: no comma
        if (wholeDigits == 0 && decimals < 0)
            continue;
        std::string kept = negative ? "-" : (random() % 4 == 0 ? "+" : "");
        WideInt digits = 0;
        for (int d = 0; d < wholeDigits + std::max(decimals, 0); ++d) {
            if (d == wholeDigits)
                kept += ',';
            const int digit = static_cast<int>(random() % 10);
            kept += static_cast<char>('0' + digit);
            digits = digits * 10 + digit;
        }
        if (decimals == 0)
            kept += ',';
        WideInt scale = 1;
        for (int d = 0; d < std::max(decimals, 0); ++d)
            scale *= 10;
        const WideInt expected = (digits * 200 + scale) / (2 * scale);

        QString text;
        for (const char c : kept) {
            if (random() % 3 == 0)
                text += noise[random() % std::size(noise)];
            text += QLatin1Char(c);
        }
        if (random() % 2 == 0)
            text += noise[random() % std::size(noise)];
        if (text == QLatin1String("0"))
            continue;

        if (expected > kLargestStoredHalere) {
            ExpectConversionError([&] { ParseHalereLenient(text); },
                                  Q("„%1“ je větší, než pole pojme; největší hodnota je "
                                    "999999999999,99.")
                                      .arg(QString::fromStdString(kept)));
            continue;
        }
        const qint64 halere = ParseHalereLenient(text);
        ASSERT_EQ(halere, static_cast<qint64>(negative ? -expected : expected)) << kept;
        std::string shown = std::to_string(static_cast<long long>(expected));
        shown.insert(0, shown.size() < 3 ? 3 - shown.size() : 0, '0');
        shown.insert(shown.size() - 2, ",");
        if (negative && expected != 0)
            shown.insert(0, "-");
        ASSERT_EQ(FormatHalere(halere), QString::fromStdString(shown)) << kept;
        ASSERT_EQ(ParseHalereLenient(FormatHalere(halere)), halere) << kept;
    }
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
    EXPECT_EQ(ParseHalereLenient(QStringLiteral("1234567,5")), 123456750);
    EXPECT_EQ(ParseFieldDecimal(QString(), u"1234567,5"), Decimal::FromMillionths(1234567500000));
    EXPECT_THROW(ParseFieldDecimal(QString(), u"1.234.567,5"), ConversionError);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(ParseHalereLenient(QStringLiteral("1234567,5")), 123456750);
    EXPECT_THROW(ParseFieldDecimal(QString(), u"1234567.5"), ConversionError);
    QLocale::setDefault(before);
}

TEST(ParseFieldDecimal, NamesTheFieldAndTheLimit) {
    EXPECT_EQ(ParseFieldDecimal(QStringLiteral("Cena MJ"), u"999999999,99"), kLargestTypedNumber);
    EXPECT_EQ(ParseFieldDecimal(QStringLiteral("Cena MJ"), u"-999999999,99").millionths(),
              -kLargestTypedNumber.millionths());
    const QString limit = Q("„%1“ je větší, než pole pojme; největší hodnota je 999999999,99.");
    const struct {
        const char* text;
        QString message;
    } refused[] = {
        {"1.5", Q("„1.5“ není číslo.")},
        {"1 000", Q("„1 000“ není číslo.")},
        {"", Q("„“ není číslo.")},
        {"12,5 Kč", Q("„12,5 Kč“ není číslo.")},
        {"--5", Q("„--5“ není číslo.")},
        {"\t5", Q("„\t5“ není číslo.")},
        {"1E3E3", Q("„1E3E3“ není číslo.")},
        {"١٢", Q("„١٢“ není číslo.")},
        {"1e20", limit.arg(Q("1e20"))},
        {"1000000000", limit.arg(Q("1000000000"))},
        {"-999999999,999", limit.arg(Q("-999999999,999"))},
        {"1E400", limit.arg(Q("1E400"))},
        {"0,1234567", Q("„0,1234567“ má víc než 6 desetinných míst; zadejte nejvýš 6.")},
    };
    for (const auto& c : refused) {
        ExpectConversionError([&] { ParseFieldDecimal(Q("Počet MJ"), Q(c.text)); },
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
