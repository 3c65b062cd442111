#include "text/key_filters.h"

#include "support/print_qt.h"

#include <gtest/gtest.h>

using namespace tarvela;

namespace {

const QString kNotNumeric =
    QString::fromUtf8("Počet MJ: vložená hodnota obsahuje jeden nebo více nečíselných znaků!");
const QString kPaid = QString::fromUtf8("Úhrada v CZK");
const QString kQuantity = QString::fromUtf8("Počet MJ");

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
    return Ed_UhrazenaCastkaKeyPress(key, field, std::nullopt, kPaid);
};

auto Quantity = [](QChar key, const EditFieldState& field) {
    return Ed_PocetMJKeyPress(key, field, std::nullopt, kQuantity);
};

} // namespace

TEST(PaidAmountKeys, TypedAsAnAmountWithADecimalComma) {
    // What is typed key by key and what the field holds: a full stop is the decimal comma.
    const struct {
        const char* keys;
        const char* text;
    } cases[] = {
        {"567,44", "567,44"}, {"567.44", "567,44"}, {",5", "0,5"},
        {".5", "0,5"},        {"1,5,0", "1,50"},    {"12,.3", "12,3"},
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

TEST(PaidAmountKeys, AThirdDecimalIsRefusedNamingTheField) {
    // "567,444" is never cut to 567,44 unannounced: the third decimal does not go in, and says so.
    for (const char* keys : {"567,444", "567.444", "1.500"}) {
        Typing t;
        t.type(QString::fromUtf8(keys), PaidAmount);
        EXPECT_EQ(t.field.text.size(), QString::fromUtf8(keys).size() - 1) << keys;
        EXPECT_EQ(t.beeps, 1) << keys;
        EXPECT_EQ(t.messages, QStringList{QString::fromUtf8(
                                  "Úhrada v CZK: částka má nejvýše dvě desetinná místa (haléře).")})
            << keys;
    }
    // Before the comma, digits go on.
    Typing t;
    t.type(QStringLiteral("1,25"), PaidAmount);
    t.field = Field(t.field.text, 0);
    t.type(QStringLiteral("9"), PaidAmount);
    EXPECT_EQ(t.field.text, QStringLiteral("91,25"));
    EXPECT_TRUE(t.messages.isEmpty());
}

TEST(PaidAmountKeys, EverythingElseIsRefusedNamingTheField) {
    for (QChar key : QStringLiteral("ae-+ E") + QChar(0x10D)) {
        const KeyFilterResult r =
            Ed_UhrazenaCastkaKeyPress(key, Field(QStringLiteral("12")), std::nullopt, kPaid);
        EXPECT_TRUE(r.swallowed) << int(key.unicode());
        EXPECT_TRUE(r.beep) << int(key.unicode());
        EXPECT_EQ(r.text, QStringLiteral("12"));
        EXPECT_EQ(r.cursor, 2);
        EXPECT_TRUE(r.message.startsWith(kPaid + QStringLiteral(": znak ")))
            << r.message.toStdString();
        EXPECT_TRUE(r.message.contains(QStringLiteral("jen číslice a desetinnou čárku")));
    }
    EXPECT_EQ(
        Ed_UhrazenaCastkaKeyPress(QLatin1Char('e'), Field(QStringLiteral("1")), std::nullopt, kPaid)
            .message,
        QString::fromUtf8("Úhrada v CZK: znak „e“ do pole nepatří. Pole bere jen číslice a "
                          "desetinnou čárku (například 1250,50)."));
}

TEST(PaidAmountKeys, PasteTakesANumberOfAtMostTwoDecimals) {
    const struct {
        const char* pasted;
        const char* text;
        const char* message;
    } cases[] = {
        {" 567,44\r\n", "567,44", ""},
        {"567,444", "7", "Úhrada v CZK: částka má nejvýše dvě desetinná místa (haléře)."},
        {"12 Kč", "7", "Úhrada v CZK: vložená hodnota obsahuje jeden nebo více nečíselných znaků!"},
    };
    for (const auto& c : cases) {
        const KeyFilterResult r = Ed_UhrazenaCastkaKeyPress(kCtrlVChar, Field(QStringLiteral("7")),
                                                            QString::fromUtf8(c.pasted), kPaid);
        EXPECT_EQ(r.text, QString::fromUtf8(c.text)) << c.pasted;
        EXPECT_EQ(r.message, QString::fromUtf8(c.message)) << c.pasted;
    }
}

TEST(PaidAmountKeys, TypingReplacesTheSelection) {
    const KeyFilterResult r = Ed_UhrazenaCastkaKeyPress(
        QLatin1Char('9'), Selected(QStringLiteral("1234"), 1, 2), std::nullopt, kPaid);
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
    const KeyFilterResult r = Ed_PocetMJKeyPress(
        QLatin1Char(','), Selected(QStringLiteral("1,5"), 0, 3), std::nullopt, kQuantity);
    EXPECT_TRUE(r.swallowed);
    EXPECT_EQ(r.text, QStringLiteral("1,5"));
}

TEST(QuantityKeys, AllowedAndRefusedCharacters) {
    Typing t;
    t.type(QStringLiteral("-1.2"), Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("-1,2")); // the full stop is the decimal comma
    EXPECT_TRUE(t.messages.isEmpty());
    // "1e20" does not silently become 120: every key the field cannot take says so.
    t.type(QStringLiteral("x a+E"), Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("-1,2"));
    EXPECT_EQ(t.beeps, 5);
    ASSERT_EQ(t.messages.size(), 5);
    EXPECT_EQ(t.messages.first(),
              QString::fromUtf8("Počet MJ: znak „x“ do pole nepatří. Pole bere jen číslice, "
                                "znaménko minus a desetinnou čárku (například 1250,50)."));
    EXPECT_EQ(t.messages.at(1), QString::fromUtf8("Počet MJ: znak mezera do pole nepatří. Pole "
                                                  "bere jen číslice, znaménko minus a desetinnou "
                                                  "čárku (například 1250,50)."));
    t.type(QString(kBackspaceChar) + kBackspaceChar, Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("-1"));
    t.type(QStringLiteral(".5.3"), Quantity);
    EXPECT_EQ(t.field.text, QStringLiteral("-1,53"));
}

TEST(QuantityKeys, BackspaceDeletesTheSelectionOrThePreviousCharacter) {
    KeyFilterResult r = Ed_PocetMJKeyPress(kBackspaceChar, Selected(QStringLiteral("12345"), 1, 3),
                                           std::nullopt, kQuantity);
    EXPECT_EQ(r.text, QStringLiteral("15"));
    EXPECT_EQ(r.cursor, 1);
    r = Ed_PocetMJKeyPress(kBackspaceChar, Field(QStringLiteral("123"), 0), std::nullopt,
                           kQuantity);
    EXPECT_EQ(r.text, QStringLiteral("123"));
    EXPECT_EQ(r.cursor, 0);
    r = Ed_PocetMJKeyPress(kBackspaceChar, Field(QStringLiteral("123"), 2), std::nullopt,
                           kQuantity);
    EXPECT_EQ(r.text, QStringLiteral("13"));
    EXPECT_EQ(r.cursor, 1);
}

TEST(QuantityKeys, PasteReplacesTheWholeFieldWithATrimmedNumber) {
    const KeyFilterResult r = Ed_PocetMJKeyPress(kCtrlVChar, Selected(QStringLiteral("7"), 0, 0),
                                                 QStringLiteral("  12,50 \r\n"), kQuantity);
    EXPECT_TRUE(r.swallowed);
    EXPECT_EQ(r.text, QStringLiteral("12,50"));
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_FALSE(r.beep);
}

TEST(QuantityKeys, PasteOfLettersShowsTheMessage) {
    const KeyFilterResult r = Ed_PocetMJKeyPress(kCtrlVChar, Field(QStringLiteral("7")),
                                                 QStringLiteral("12 ks"), kQuantity);
    EXPECT_EQ(r.text, QStringLiteral("7"));
    EXPECT_EQ(r.message, kNotNumeric);
    const KeyFilterResult dot = Ed_PocetMJKeyPress(kCtrlVChar, Field(QStringLiteral("7")),
                                                   QStringLiteral("12.5"), kQuantity);
    EXPECT_EQ(dot.text, QStringLiteral("7"));
    EXPECT_EQ(dot.message, kNotNumeric);
}

TEST(QuantityKeys, PasteLengthLimit) {
    const EditFieldState field = Field(QStringLiteral("7"));
    // 14 characters pass, 15 and more do nothing and say nothing.
    EXPECT_EQ(
        Ed_PocetMJKeyPress(kCtrlVChar, field, QStringLiteral("12345678901234"), kQuantity).text,
        QStringLiteral("12345678901234"));
    for (const QString& pasted :
         {QStringLiteral("123456789012345"), QStringLiteral("12345678901234567890"),
          QStringLiteral("this is no number at all")}) {
        const KeyFilterResult r = Ed_PocetMJKeyPress(kCtrlVChar, field, pasted, kQuantity);
        EXPECT_EQ(r.text, QStringLiteral("7")) << pasted.toStdString();
        EXPECT_TRUE(r.message.isEmpty()) << pasted.toStdString();
        EXPECT_TRUE(r.swallowed);
    }
}

TEST(QuantityKeys, PasteWithoutClipboardTextDoesNothing) {
    const KeyFilterResult r =
        Ed_PocetMJKeyPress(kCtrlVChar, Field(QStringLiteral("7")), std::nullopt, kQuantity);
    EXPECT_TRUE(r.swallowed);
    EXPECT_EQ(r.text, QStringLiteral("7"));
    EXPECT_TRUE(r.message.isEmpty());
}
