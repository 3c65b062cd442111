#include "text/amount_words.h"

#include "support/print_qt.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tarvela;

namespace {

struct WordsCase {
    qint32 n;
    const char* words;
};

void ExpectWords(const WordsCase& c) {
    EXPECT_EQ(AmountInWords(c.n), QString::fromUtf8(c.words)) << c.n;
}

} // namespace

TEST(AmountInWords, TableOfNumbers) {
    const WordsCase cases[] = {
        {0, "nula"},
        {1, "jedna"},
        {2, "dvě"},
        {10, "deset"},
        {11, "jedenáct"},
        {21, "dvacetjedna"},
        {100, "jednosto"},
        {110, "jednostodeset"},
        {1000, "jedentisíc"},
        {1001, "jedentisícjedna"},
        {2000, "dvatisíce"},
        {5000, "pěttisíc"},
        {10000, "desettisíc"},
        {12345, "dvanácttisíctřistačtyřicetpět"},
        {20000, "dvacettisíc"},
        {21000, "dvacetjedentisíc"},
        {101000, "jednostojedentisíc"},
        {111000, "jednostojedenácttisíc"},
        {1000000, "jedenmilion"},
        {1000001, "jedenmilionjedna"},
        {1010000, "jedenmiliondesettisíc"},
        {2500000, "dvamilionypětsettisíc"},
        {9999999, "devětmilionůdevětsetdevadesátdevěttisícdevětsetdevadesátdevět"},
        {10000000, "10000000"},
    };
    for (const auto& c : cases)
        ExpectWords(c);
}

TEST(AmountInWords, TeensTensAndHundreds) {
    const WordsCase cases[] = {
        {15, "patnáct"},
        {19, "devatenáct"},
        {20, "dvacet"},
        {99, "devadesátdevět"},
        {119, "jednostodevatenáct"},
        {200, "dvěstě"},
        {999, "devětsetdevadesátdevět"},
        {4014, "čtyřitisícečtrnáct"},
        {3000, "třitisíce"},
        {19000, "devatenácttisíc"},
        {19019, "devatenácttisícdevatenáct"},
        {500400, "pětsettisícčtyřista"},
        {900000, "devětsettisíc"},
    };
    for (const auto& c : cases)
        ExpectWords(c);
}

TEST(AmountInWords, MillionsWithAndWithoutThousands) {
    const WordsCase cases[] = {
        {1001000, "jedenmilionjedentisíc"},    {1011000, "jedenmilionjedenácttisíc"},
        {1100000, "jedenmilionjednostotisíc"}, {3000003, "třimilionytři"},
        {5000500, "pětmilionůpětset"},         {7012000, "sedmmilionůdvanácttisíc"},
    };
    for (const auto& c : cases)
        ExpectWords(c);
}

TEST(AmountInWords, BeyondTheWordsTheDigitsStay) {
    ExpectWords({12345678, "12345678"});
    ExpectWords({std::numeric_limits<qint32>::max(), "2147483647"});
}

TEST(AmountInWords, NegativeNumbersAreMinusAndTheirMagnitude) {
    ExpectWords({-1, "minusjedna"});
    ExpectWords({-12345, "minusdvanácttisíctřistačtyřicetpět"});
    ExpectWords({-9999999, "minusdevětmilionůdevětsetdevadesátdevěttisícdevětsetdevadesátdevět"});
    ExpectWords({-10000000, "-10000000"});
    ExpectWords({std::numeric_limits<qint32>::min(), "-2147483648"});
}
