#include "core/errors.h"
#include "core/textcodec.h"

#include <gtest/gtest.h>

using namespace tervelle;

TEST(TextCodec, EveryByteRoundTripsInTheDefaultCodePage)
{
    const TextCodec codec(QString::fromLatin1(DefaultCodePage));
    ASSERT_TRUE(codec.isValid());
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(codec.encode(codec.decode(all)), all);
    EXPECT_EQ(codec.decode("\x80"), QString::fromUtf8("€"));
}

TEST(TextCodec, TextTheCodePageCannotHoldIsRefusedByName)
{
    const TextCodec codec(QStringLiteral("windows-1252"));
    const QString cyrillic = QString::fromUtf8("Карта");
    EXPECT_FALSE(codec.canEncode(cyrillic));
    try {
        codec.encode(cyrillic);
        FAIL() << "encoding must fail";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(cyrillic));
        EXPECT_TRUE(e.message().contains("windows-1252"));
    }
    // One refused text does not spoil the next.
    EXPECT_EQ(codec.encode(QStringLiteral("Map")), QByteArray("Map"));
    const TextCodec russian(QStringLiteral("windows-1251"));
    EXPECT_EQ(russian.encode(cyrillic), QByteArray("\xCA\xE0\xF0\xF2\xE0"));
}

TEST(TextCodec, UnknownCodePageIsInvalid)
{
    EXPECT_FALSE(TextCodec(QStringLiteral("no-such-page")).isValid());
    EXPECT_FALSE(setTextCodec(QStringLiteral("no-such-page")));
}
