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

TEST(TextCodec, ExactDecodingRefusesWhatIsNoText)
{
    const TextCodec utf8(QStringLiteral("utf-8"));
    EXPECT_EQ(utf8.decodeExactly("Caf\xC3\xA9"), QString::fromUtf8("Café"));
    EXPECT_FALSE(utf8.decodeExactly("a\xFFz"));
    EXPECT_FALSE(utf8.decodeExactly("cut \xC3")) << "a character cut off at the end";
    // One refusal does not spoil the next text.
    EXPECT_EQ(utf8.decodeExactly("\xE2\x82\xAC"), QString::fromUtf8("€"));

    const TextCodec windows(QString::fromLatin1(DefaultCodePage));
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const std::optional<QString> text = windows.decodeExactly(all);
    ASSERT_TRUE(text);
    EXPECT_EQ(windows.encode(*text), all);
}

TEST(TextCodec, ExactDecodingKeepsCodePagesThatAreNotAscii)
{
    // This Shift JIS moves some control characters (0x7F is U+001A): bytes below 0x80 still go
    // through the code page.
    const TextCodec japanese(QStringLiteral("shift_jis"));
    ASSERT_TRUE(japanese.isValid());
    ASSERT_NE(japanese.decode("a\x7F"), QString::fromLatin1("a\x7F"));
    EXPECT_EQ(japanese.decodeExactly("a\x7F"), japanese.decode("a\x7F"));
}
