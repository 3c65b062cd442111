#include "text/codec.h"
#include "text/errors.h"

#include <gtest/gtest.h>

using namespace tarvela;

TEST(Cp1250Codec, EveryByteDecodesAndEncodesBackToItself) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = DecodeCp1250(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(EncodeCp1250(text), all);
}

TEST(Cp1250Codec, CzechLettersHaveTheirCodePageBytes) {
    const QString text = QStringLiteral("Žluťoučký kůň úpěl ďábelské ódy €");
    const QByteArray bytes = EncodeCp1250(text);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x8E);     // Ž
    EXPECT_EQ(static_cast<unsigned char>(bytes[3]), 0x9D);     // ť
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 0x80); // €
    EXPECT_EQ(DecodeCp1250(bytes), text);
}

TEST(Cp1250Codec, UnencodableCharacterIsRefusedNamingTheText) {
    const QString text = QStringLiteral("Cena 100 ₽ za kus");
    EXPECT_FALSE(CanEncodeCp1250(text));
    EXPECT_EQ(FirstUnencodableChar(text), QChar(0x20BD));
    try {
        EncodeCp1250(text, QStringLiteral("Dodávka"));
        FAIL() << "no error raised";
    } catch (const EncodingError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Dodávka")));
        EXPECT_TRUE(e.message().contains(text));
        EXPECT_TRUE(e.message().contains(QStringLiteral("U+20BD")));
    }
}

TEST(Cp1250Codec, CharacterOutsideTheBasicPlaneIsRefused) {
    const QString text = QString::fromUcs4(U"smile \U0001F600");
    EXPECT_FALSE(CanEncodeCp1250(text));
    EXPECT_THROW(EncodeCp1250(text), EncodingError);
}

TEST(Cp1250Codec, EmptyAndNulTexts) {
    EXPECT_EQ(EncodeCp1250(QString()), QByteArray());
    EXPECT_EQ(EncodeCp1250(QString(QChar(0))), QByteArray(1, '\0'));
}
