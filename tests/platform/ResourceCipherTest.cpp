#include "platform/ResourceCipher.h"

#include <QString>

#include <gtest/gtest.h>

TEST(ResourceCipher, RoundTripsAndHidesTheText)
{
    const QByteArray plain = QStringLiteral("<h1>FAKTURA VAT nr {{documentID}}</h1> zażółć gęślą jaźń").toUtf8();
    const QByteArray enciphered = ResourceCipher::encipher(plain);
    ASSERT_FALSE(enciphered.isEmpty());
    EXPECT_FALSE(enciphered.contains("FAKTURA"));
    EXPECT_EQ(ResourceCipher::decipher(enciphered), plain);
    // The same input gives the same bytes, so that builds can be compared.
    EXPECT_EQ(ResourceCipher::encipher(plain), enciphered);
    EXPECT_EQ(ResourceCipher::decipher(ResourceCipher::encipher(QByteArray())), QByteArray());
}

TEST(ResourceCipher, RefusesDamagedOrForeignData)
{
    QByteArray enciphered = ResourceCipher::encipher(QByteArrayLiteral("<p>tekst</p>"));
    for (const qsizetype position : {qsizetype(0), enciphered.size() / 2, enciphered.size() - 1}) {
        QByteArray damaged = enciphered;
        damaged[position] = char(damaged[position] ^ 0x01);
        EXPECT_FALSE(ResourceCipher::decipher(damaged).has_value()) << position;
    }
    EXPECT_FALSE(ResourceCipher::decipher(QByteArrayLiteral("<p>plain html</p>")).has_value());
    EXPECT_FALSE(ResourceCipher::decipher(QByteArray()).has_value());
}
