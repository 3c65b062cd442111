#include "tarvela_version.h"
#include "text/clock.h"
#include "text/codec.h"
#include "text/helpers.h"

#include "support/print_qt.h"

#include <gtest/gtest.h>

using namespace tarvela;

namespace {
QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}
} // namespace

TEST(SplitCells, PiecesBetweenBars) {
    const struct {
        const char* text;
        QStringList parts;
    } cases[] = {
        {"a|b|", {"a", "b", ""}},
        {"", {""}},
        {"|a", {"", "a"}},
        {"abc", {"abc"}},
        {"7|12|2026", {"7", "12", "2026"}},
        {"||", {"", "", ""}},
        {"A1|Oprava|ks|2|150,00|21|", {"A1", "Oprava", "ks", "2", "150,00", "21", ""}},
        {"||||||", {"", "", "", "", "", "", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCells(Q(c.text)), c.parts) << c.text;
}

TEST(SplitCells, ListFormEmptiesTheListFirst) {
    QStringList list{QStringLiteral("old"), QStringLiteral("older")};
    SplitCells(QStringLiteral("x|y"), list);
    EXPECT_EQ(list, (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
}

TEST(ReplaceChar, ReplacesEveryOccurrence) {
    EXPECT_EQ(ReplaceChar(QStringLiteral("7.12.2026"), QLatin1Char('.'), QLatin1Char('|')),
              QStringLiteral("7|12|2026"));
    EXPECT_EQ(ReplaceChar(QString(), QLatin1Char('.'), QLatin1Char('|')), QString());
    EXPECT_EQ(ReplaceChar(Q("čáp č"), QChar(0x10D), QLatin1Char('c')), Q("cáp c"));
}

TEST(StripDiacritics, SampleSentence) {
    EXPECT_EQ(StripDiacritics(Q("Žluťoučký kůň úpěl ďábelské ódy")),
              QStringLiteral("Zlutoucky kun upel dabelske ody"));
}

TEST(StripDiacritics, ExactlyTheThirtyFiveLetters) {
    const QString from = Q("ŠŤŽšťžÁČĎÉĚÍŇÓŘÚÝáäčďéëěíňóőöřůúűüý");
    const QString to = QStringLiteral("STZstzACDEEINORUYaacdeeeinoooruuuuy");
    ASSERT_EQ(from.size(), 35);
    EXPECT_EQ(StripDiacritics(from), to);

    // Every other character of the code page stays, the upper-case Ů Ä Ë Ö Ő Ű Ü among them.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString codePage = DecodeCp1250(all);
    const QString stripped = StripDiacritics(codePage);
    int changed = 0;
    for (qsizetype i = 0; i < codePage.size(); ++i) {
        if (stripped[i] != codePage[i]) {
            ++changed;
            EXPECT_TRUE(from.contains(codePage[i])) << int(codePage[i].unicode());
        }
    }
    EXPECT_EQ(changed, 35);
    const QString kept = Q("ŮÄËÖŐŰÜ ĽľŔŕĹĺ");
    EXPECT_EQ(StripDiacritics(kept), kept);
}

TEST(BoolToDigit, OneAndZero) {
    EXPECT_EQ(BoolToDigit(true), QStringLiteral("1"));
    EXPECT_EQ(BoolToDigit(false), QStringLiteral("0"));
}

TEST(Clock, TestsCanFixToday) {
    const QDate system = QDate::currentDate();
    {
        ScopedToday fixed(QDate(2031, 5, 1));
        EXPECT_EQ(Today(), QDate(2031, 5, 1));
        EXPECT_EQ(CurrentYear(), 2031);
        {
            ScopedToday inner(QDate(1999, 12, 31));
            EXPECT_EQ(CurrentYear(), 1999);
        }
        EXPECT_EQ(CurrentYear(), 2031);
    }
    // Back on the system clock (allowing for a run across midnight).
    EXPECT_GE(Today(), system);
    EXPECT_LE(Today(), QDate::currentDate());

    SetTodayForTests(QDate(2020, 2, 29));
    EXPECT_EQ(Today(), QDate(2020, 2, 29));
    ResetTodayForTests();
    EXPECT_EQ(CurrentYear(), QDate::currentDate().year());
}

TEST(ProgramVersionText, MajorAndMinorOfTheProductVersion) {
    const QString text = ProgramVersionText();
    // The full version is major.minor.patch; the program shows its first two numbers.
    EXPECT_TRUE(QString::fromLatin1(TARVELA_VERSION_TEXT).startsWith(text + QLatin1Char('.')))
        << text.toStdString();
    EXPECT_EQ(text.count(QLatin1Char('.')), 1);
}

TEST(AppendFullStop, OnlyAfterCharactersAboveTheFullStop) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"", ""},
        {"abc", "abc."},
        {"Nelze načíst DLL!", "Nelze načíst DLL!"},
        {"'12.5' is not a valid floating point value",
         "'12.5' is not a valid floating point value."},
        {"konec'", "konec'"},  // closing quote, code 39
        {"konec.", "konec."},  // the full stop itself
        {"cesta/", "cesta/."}, // code 47
        {"a-", "a-"},          // code 45
        {"rok 2026", "rok 2026."},
        {"Žluť", "Žluť."},
        {"řádek\r\n", "řádek\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AppendFullStop(Q(c.message)), Q(c.shown)) << c.message;
}

TEST(TextCase, TrimAndAsciiCasing) {
    EXPECT_EQ(TrimText(QStringLiteral("\t x y \r\n")), QStringLiteral("x y"));
    EXPECT_EQ(TrimText(QString(QChar(0)) + QStringLiteral("a") + QChar(31)), QStringLiteral("a"));
    const QString nbsp = QString(QChar(0xA0)) + QStringLiteral("a");
    EXPECT_EQ(TrimText(nbsp), nbsp);
    EXPECT_EQ(TrimText(QStringLiteral("   ")), QString());

    EXPECT_EQ(UpperCaseAscii(Q("příliš žluťoučký")), Q("PříLIš žLUťOUčKý"));
    EXPECT_EQ(LowerCaseAscii(Q("PŘÍLIŠ Žluťoučký")), Q("pŘÍliŠ Žluťoučký"));
    EXPECT_TRUE(SameTextAscii(QStringLiteral("Abc-1"), QStringLiteral("aBC-1")));
    EXPECT_FALSE(SameTextAscii(Q("č"), Q("Č")));
    EXPECT_FALSE(SameTextAscii(QStringLiteral("a"), QStringLiteral("ab")));
}
