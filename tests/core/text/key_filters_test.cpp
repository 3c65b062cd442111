#include "text/key_filters.h"

#include "support/print_qt.h"

#include <gtest/gtest.h>

using namespace tarvela;

namespace {

const QString kNotNumeric =
    QString::fromUtf8("Vložená hodnota obsahuje jeden nebo více nečíselných znaků!");

EditFieldState Field(const QString& text, int cursor = -1) {
    EditFieldState field;
    field.text = text;
    field.cursor = cursor < 0 ? static_cast<int>(text.size()) : cursor;
    field.selectionStart = field.cursor;
    return field;
}

EditFieldState Selected(const QString& text, int start, int length) {
    EditFieldState field;
    field.text = text;
    field.selectionStart = start;
    field.selectionLength = length;
    field.cursor = start + length;
    return field;
}

// Types the characters one by one at the cursor, as a user does; counts beeps and messages.
struct Typing {
    EditFieldState field;
    int beeps = 0;
    QStringList messages;

    template <class Filter> void type(const QString& keys, Filter filter) {
        for (QChar key : keys) {
            const KeyFilterResult r = filter(key, field);
            beeps += r.beep ? 1 : 0;
            if (!r.message.isEmpty())
                messages.append(r.message);
            field = Field(r.text, r.cursor);
        }
    }
};

auto PaidAmount = [](QChar key, const EditFieldState& field) {
    return Ed_UhrazenaCastkaKeyPress(key, field);
};

auto Quantity = [](QChar key, const EditFieldState& field) {
    return Ed_PocetMJKeyPress(key, field, std::nullopt);
};

} // namespace

TEST(PaidAmountKeys, TypedAsAnAmountWithADecimalComma) {
    // What is typed key by key and what the field holds: a full stop is the decimal comma.
    const struct {
        const char* keys;
        const char* text;
    } cases[] = {
        {"567,44", "567,44"}, {"567.44", "567,44"}, {",5", "0,5"},     {".5", "0,5"},
        {"1,5,0", "1,50"},    {"1.500", "1,500"},   {"12,.3", "12,3"},
    };
    for (const auto& c : cases) {
        Typing t;
        t.type(QString::fromUtf8(c.keys), PaidAmount);
        EXPECT_EQ(t.field.text, QString::fromUtf8(c.text)) << c.keys;
        EXPECT_EQ(t.beeps, 0) << c.keys;
        EXPECT_TRUE(t.messages.isEmpty());
    }
    Typing t;
    t.type(QStringLiteral("1,50"), PaidAmount);
    t.type(QString(kBackspaceChar), PaidAmount);
    EXPECT_EQ(t.field.text, QStringLiteral("1,5"));
}

TEST(PaidAmountKeys, EverythingElseBeeps) {
    for (QChar key : QStringLiteral("a-+ E") + kCtrlVChar + QChar(0x10D)) {
        const KeyFilterResult r = Ed_UhrazenaCastkaKeyPress(key, Field(QStringLiteral("12")));
        EXPECT_TRUE(r.swallowed) << int(key.unicode());
        EXPECT_TRUE(r.beep) << int(key.unicode());
        EXPECT_EQ(r.text, QStringLiteral("12"));
        EXPECT_EQ(r.cursor, 2);
    }
}

TEST(PaidAmountKeys, TypingReplacesTheSelection) {
    const KeyFilterResult r =
        Ed_UhrazenaCastkaKeyPress(QLatin1Char('9'), Selected(QStringLiteral("1234"), 1, 2));
    EXPECT_FALSE(r.swallowed);
    EXPECT_EQ(r.text, QStringLiteral("194"));
    EXPECT_EQ(r.cursor, 2);
}

TEST(QuantityKeys, CommaIntoTheEmptyFieldGivesZeroAndComma) {
    Typing t;
    t.type(QStringLiteral(","), Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("0,"));
    EXPECT_EQ(t.field.cursor, 2);
    t.type(QStringLiteral(","), Quantity); // a second comma is ignored
    EXPECT_EQ(t.field.text, QStringLiteral("0,"));
    t.type(QStringLiteral("5"), Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("0,5"));
    EXPECT_EQ(t.beeps, 0);
}

TEST(QuantityKeys, OneCommaOnly) {
    Typing t;
    t.type(QStringLiteral("12,5,0"), Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("12,50"));

    // The whole text counts, even when the comma is selected and would be replaced.
    const KeyFilterResult r =
        Ed_PocetMJKeyPress(QLatin1Char(','), Selected(QStringLiteral("1,5"), 0, 3), std::nullopt);
    EXPECT_TRUE(r.swallowed);
    EXPECT_EQ(r.text, QStringLiteral("1,5"));
}

TEST(QuantityKeys, AllowedAndSwallowedCharacters) {
    Typing t;
    t.type(QStringLiteral("-1.2x a+E"), Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("-1,2")); // the full stop is the decimal comma
    EXPECT_EQ(t.beeps, 0);
    EXPECT_TRUE(t.messages.isEmpty());
    t.type(QString(kBackspaceChar) + kBackspaceChar, Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("-1"));
    t.type(QStringLiteral(".5.3"), Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("-1,53"));
}

TEST(QuantityKeys, BackspaceDeletesTheSelectionOrThePreviousCharacter) {
    KeyFilterResult r =
        Ed_PocetMJKeyPress(kBackspaceChar, Selected(QStringLiteral("12345"), 1, 3), std::nullopt);
    EXPECT_EQ(r.text, QStringLiteral("15"));
    EXPECT_EQ(r.cursor, 1);
    r = Ed_PocetMJKeyPress(kBackspaceChar, Field(QStringLiteral("123"), 0), std::nullopt);
    EXPECT_EQ(r.text, QStringLiteral("123"));
    EXPECT_EQ(r.cursor, 0);
    r = Ed_PocetMJKeyPress(kBackspaceChar, Field(QStringLiteral("123"), 2), std::nullopt);
    EXPECT_EQ(r.text, QStringLiteral("13"));
    EXPECT_EQ(r.cursor, 1);
}

TEST(QuantityKeys, PasteReplacesTheWholeFieldWithATrimmedNumber) {
    const KeyFilterResult r = Ed_PocetMJKeyPress(kCtrlVChar, Selected(QStringLiteral("7"), 0, 0),
                                                 QStringLiteral("  12,50 \r\n"));
    EXPECT_TRUE(r.swallowed);
    EXPECT_EQ(r.text, QStringLiteral("12,50"));
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_FALSE(r.beep);
}

TEST(QuantityKeys, PasteOfLettersShowsTheMessage) {
    const KeyFilterResult r =
        Ed_PocetMJKeyPress(kCtrlVChar, Field(QStringLiteral("7")), QStringLiteral("12 ks"));
    EXPECT_EQ(r.text, QStringLiteral("7"));
    EXPECT_EQ(r.message, kNotNumeric);
    const KeyFilterResult dot =
        Ed_PocetMJKeyPress(kCtrlVChar, Field(QStringLiteral("7")), QStringLiteral("12.5"));
    EXPECT_EQ(dot.text, QStringLiteral("7"));
    EXPECT_EQ(dot.message, kNotNumeric);
}

TEST(QuantityKeys, PasteLengthLimit) {
    const EditFieldState field = Field(QStringLiteral("7"));
    // 14 characters pass, 15 and more do nothing and say nothing.
    EXPECT_EQ(Ed_PocetMJKeyPress(kCtrlVChar, field, QStringLiteral("12345678901234")).text,
              QStringLiteral("12345678901234"));
    for (const QString& pasted :
         {QStringLiteral("123456789012345"), QStringLiteral("12345678901234567890"),
          QStringLiteral("this is no number at all")}) {
        const KeyFilterResult r = Ed_PocetMJKeyPress(kCtrlVChar, field, pasted);
        EXPECT_EQ(r.text, QStringLiteral("7")) << pasted.toStdString();
        EXPECT_TRUE(r.message.isEmpty()) << pasted.toStdString();
        EXPECT_TRUE(r.swallowed);
    }
}

TEST(QuantityKeys, PasteWithoutClipboardTextDoesNothing) {
    const KeyFilterResult r =
        Ed_PocetMJKeyPress(kCtrlVChar, Field(QStringLiteral("7")), std::nullopt);
    EXPECT_TRUE(r.swallowed);
    EXPECT_EQ(r.text, QStringLiteral("7"));
    EXPECT_TRUE(r.message.isEmpty());
}
