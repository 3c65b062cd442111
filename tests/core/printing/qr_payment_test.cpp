#include "printing/qr_payment.h"
#include "support/printing_fixtures.h"

#include <gtest/gtest.h>

namespace tarvela::test {
namespace {

// The first case of the payment text: variable symbol, currency from the default, no message.
struct QrFixture : ::testing::Test {
    InvoiceSnapshot invoice;
    AppSettings settings;

    // The invoice's total is its one priced row, the last (none for "").
    void SetTotal(const char* total) {
        invoice.fields.Polozky[kItemRowCount - 1] =
            *total ? Row("", "Položka", "", "1", total, "0") : InvoiceItemRow{};
    }

    QrFixture() {
        SetTotal("1234,50");
        invoice.fields.Symbol = QStringLiteral("2026001");
        invoice.fields.Mena = QString();
        settings.VychoziMena = QStringLiteral("CZK");
        settings.TypSymbolu = SymbolType::Variable;
        settings.Dodavatel.IBAN = QStringLiteral("CZ65 0800 0000 1920 0014 5399");
    }
    std::string Text() const { return S(QrPaymentText(invoice, settings)); }
};

TEST_F(QrFixture, BasicTextWithoutMessage) {
    EXPECT_EQ(Text(), "SPD*1.0*ACC:CZ6508000000192000145399*AM:1234.50*CC:CZK*X-VS:2026001");
}

TEST_F(QrFixture, SymbolKeyFollowsTheSymbolType) {
    settings.TypSymbolu = SymbolType::Constant;
    invoice.fields.Symbol = QStringLiteral("0308");
    EXPECT_EQ(Text(), "SPD*1.0*ACC:CZ6508000000192000145399*AM:1234.50*CC:CZK*X-KS:0308");
    settings.TypSymbolu = static_cast<SymbolType>(7);
    // No key for the symbol: no symbol field, rather than a value without its key.
    EXPECT_EQ(Text(), "SPD*1.0*ACC:CZ6508000000192000145399*AM:1234.50*CC:CZK");
    // An empty symbol is left out: a bank app refuses an empty X-VS.
    settings.TypSymbolu = SymbolType::Variable;
    invoice.fields.Symbol.clear();
    EXPECT_EQ(Text(), "SPD*1.0*ACC:CZ6508000000192000145399*AM:1234.50*CC:CZK");
}

TEST_F(QrFixture, CurrencyFromTheFieldThenTheDefaultThenCzk) {
    invoice.fields.Mena = QStringLiteral("EUR");
    EXPECT_NE(Text().find("*CC:EUR*"), std::string::npos);
    invoice.fields.Mena.clear();
    settings.VychoziMena = QStringLiteral("USD");
    EXPECT_NE(Text().find("*CC:USD*"), std::string::npos);
    settings.VychoziMena.clear();
    EXPECT_NE(Text().find("*CC:CZK*"), std::string::npos);
}

TEST_F(QrFixture, NoTextWithoutAmountOrAccount) {
    SetTotal("");
    EXPECT_EQ(Text(), "");
    SetTotal("0");
    EXPECT_EQ(Text(), "");
    SetTotal("0,00");
    EXPECT_EQ(Text(), ""); // nothing to pay: no code
    SetTotal("1234,50");
    settings.Dodavatel.IBAN = QStringLiteral("   ");
    EXPECT_EQ(Text(), "");
}

TEST_F(QrFixture, NegativeTotalAsksForNoPayment) {
    SetTotal("-50,50");
    EXPECT_EQ(Text(), "");
}

TEST_F(QrFixture, AmountIsTheTotalOfTheRows) {
    SetTotal("1234");
    invoice.fields.Polozky[1] = Row("", "Drobné", "", "2", "0,25", "0");
    EXPECT_NE(Text().find("*AM:1234.50*"), std::string::npos);
}

TEST_F(QrFixture, MessageFromTheFirstMsgRow) {
    invoice.fields.Polozky[2] = Row("  MSG ", "  Záloha za služby ", "", "", "", "");
    invoice.fields.Polozky[4] = Row("msg", "druhá zpráva", "", "", "", "");
    EXPECT_EQ(S(QrPaymentMessage(invoice.fields.Polozky)), "Záloha za služby");
    EXPECT_EQ(Text(), "SPD*1.0*ACC:CZ6508000000192000145399*AM:1234.50*CC:CZK*X-VS:2026001"
                      "*MSG:ZALOHA ZA SLUZBY");
}

TEST_F(QrFixture, NoMessageWithoutAMsgRowOrWithAnEmptyDescription) {
    invoice.fields.Polozky[0] = Row("msgx", "Text", "", "", "", "");
    EXPECT_EQ(S(QrPaymentMessage(invoice.fields.Polozky)), "");
    invoice.fields.Polozky[1] = Row("msg", "   ", "", "", "", "");
    EXPECT_EQ(Text(), "SPD*1.0*ACC:CZ6508000000192000145399*AM:1234.50*CC:CZK*X-VS:2026001");
}

TEST_F(QrFixture, LongMessageIsCutTo55Characters) {
    const QString sixty = QStringLiteral("abcdefghij").repeated(6);
    invoice.fields.Polozky[0] = Row("msg", "", "", "", "", "");
    invoice.fields.Polozky[0].Dodavka = sixty;
    const std::string text = Text();
    const std::string expected = "*MSG:" + S(sixty.left(55).toUpper());
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(text.substr(text.size() - expected.size()), expected);
}

TEST_F(QrFixture, OnlyTheTableLettersLoseTheirAccentsAndOnlyAsciiIsUpperCased) {
    invoice.fields.Polozky[0] = Row("msg", "Žluťoučký kůň Ů ä ß", "", "", "", "");
    const std::string text = Text();
    EXPECT_EQ(text.substr(text.find("*MSG:")), "*MSG:ZLUTOUCKY KUN Ů A ß");
}

TEST_F(QrFixture, AsteriskAndPercentInTheMessageAreEncodedAndASymbolWithOneIsLeftOut) {
    invoice.fields.Symbol = QStringLiteral("12*34");
    // A typed "%2A" stays those three characters: its "%" is encoded too.
    invoice.fields.Polozky[0] = Row("msg", "sleva *5 % kód %2a", "", "", "", "");
    EXPECT_EQ(Text(), "SPD*1.0*ACC:CZ6508000000192000145399*AM:1234.50*CC:CZK"
                      "*MSG:SLEVA %2A5 %25 KOD %252A");
}

TEST_F(QrFixture, EncodedMessageStaysWithin55CharactersWithoutSplittingAnEscape) {
    // 53 letters and then "*": the encoded "*" would need characters 54 to 56, so it is left out.
    invoice.fields.Polozky[0] = Row("msg", "", "", "", "", "");
    invoice.fields.Polozky[0].Dodavka = QString(53, QLatin1Char('a')) + QStringLiteral("*b");
    std::string text = Text();
    EXPECT_EQ(text.substr(text.find("*MSG:") + 5), std::string(53, 'A'));

    invoice.fields.Polozky[0].Dodavka = QString(52, QLatin1Char('a')) + QStringLiteral("*b");
    text = Text();
    EXPECT_EQ(text.substr(text.find("*MSG:") + 5), std::string(52, 'A').append("%2A"));
}

} // namespace
} // namespace tarvela::test
