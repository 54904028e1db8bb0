#include "image/tgareader.h"
#include "support/testsupport.h"
#include "tgafixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace tervelle;
using namespace tervelle::test;
using Pixel = std::vector<int>;

namespace {

bool decode(const QByteArray &bytes, Picture &picture)
{
    return ViewTga(std::optional<TgaBuffer>(bytes), picture);
}

bool decodes(const QByteArray &bytes)
{
    Picture picture;
    return decode(bytes, picture);
}

// The 2 x 2 file of the plainest kind: 18 header bytes and 12 pixel bytes, bottom row first.
QByteArray twoByTwo()
{
    return standardTga(2, 2, 24, QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 12));
}

} // namespace

TEST(TgaLoad, GivesTheFileBytesOrNoBufferWhenThereIsNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("icon.tga"));
    writeBytes(path, twoByTwo());
    const std::optional<TgaBuffer> buffer = LoadTgaToMemory(path);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(*buffer, twoByTwo());
    EXPECT_EQ(buffer->constData()[buffer->size()], '\0');

    writeBytes(dir.filePath(QStringLiteral("empty.tga")), QByteArray());
    const std::optional<TgaBuffer> empty = LoadTgaToMemory(dir.filePath(QStringLiteral("empty.tga")));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
    Picture picture;
    EXPECT_FALSE(ViewTga(empty, picture));

    QString reason;
    EXPECT_FALSE(LoadTgaToMemory(dir.filePath(QStringLiteral("missing.tga")), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(LoadTgaToMemory(dir.path()));
    EXPECT_FALSE(ViewTga(std::nullopt, picture));
}

TEST(TgaLoad, StopsReadingWhereTheDecoderStopsLooking)
{
    // The largest picture in the longest header, then a tail the decoder has no use for.
    const QByteArray pixels = repeatPixel({10, 20, 30, 0}, 512 * 512);
    PackedHeader header{512, 512, 4, 9, true, true};
    const QByteArray file = packedTga(header, pixels);
    ASSERT_EQ(file.size(), TgaMaxUsefulBytes);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.tga"));
    writeBytes(path, file + QByteArray(100000, 'x'));
    const std::optional<TgaBuffer> buffer = LoadTgaToMemory(path);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(*buffer, file);
    Picture picture;
    ASSERT_TRUE(ViewTga(buffer, picture));
    EXPECT_EQ(picture.width(), 512);
    EXPECT_EQ(pixelAt(picture, 0, 0), Pixel({192, 192, 192, 0}));
    EXPECT_EQ(pixelAt(picture, 0, 511), Pixel({255, 255, 255, 0}));
}

TEST(TgaBounds, SidesUpTo512AreShownAndLongerOnesDeclined)
{
    Picture picture;
    ASSERT_TRUE(decode(standardTga(512, 512, 24, QByteArray(512 * 512 * 3, '\x40')), picture));
    EXPECT_EQ(picture.width(), 512);
    EXPECT_EQ(picture.height(), 512);
    EXPECT_EQ(picture.bytesPerPixel(), 3);

    // Enough pixel bytes follow in both cases: the size alone declines them.
    EXPECT_FALSE(decodes(standardTga(513, 10, 24, QByteArray(513 * 10 * 3, '\x40'))));
    EXPECT_FALSE(decodes(standardTga(10, 513, 24, QByteArray(513 * 10 * 3, '\x40'))));
    EXPECT_FALSE(decodes(packedTga({513, 10, 1}, QByteArray(513 * 10 * 3, '\x40'))));
    EXPECT_FALSE(decodes(packedTga({10, 513, 1}, QByteArray(513 * 10 * 3, '\x40'))));
    // A width of 0xffff read as signed would slip under the limit.
    EXPECT_FALSE(decodes(standardTga(0xffff, 1, 24, QByteArray(0xffff * 3, '\x40'))));
}

TEST(TgaBounds, EveryFileCutShortIsDeclined)
{
    const QByteArray files[] = {
        twoByTwo(),
        standardTga(3, 2, 32, repeatPixel({1, 2, 3, 4}, 6), true),
        standardTga(0, 7, 24, QByteArray()),
        packedTga({2, 3, 1}, repeatPixel({1, 2, 3}, 6)),
        packedTga({3, 1, 4, 9, true, true}, repeatPixel({1, 2, 3, 4}, 3)),
        packedTga({1, 0, 2, 2, false, true}, QByteArray()),
    };
    for (const QByteArray &file : files) {
        EXPECT_TRUE(decodes(file)) << file.toHex().constData();
        // Each prefix is a separate allocation, so a read past it shows under AddressSanitizer.
        for (qsizetype n = 0; n < file.size(); ++n) {
            const QByteArray prefix(file.constData(), n);
            EXPECT_FALSE(decodes(prefix)) << n << " bytes of " << file.toHex().constData();
        }
    }
    EXPECT_EQ(twoByTwo().size(), 30);
}

TEST(TgaBounds, PackedHeadersWithTenOrMoreEntriesAreDeclined)
{
    const QByteArray pixels = repeatPixel({1, 2, 3}, 4);
    EXPECT_TRUE(decodes(packedTga({2, 2, 1, 9}, pixels)));
    EXPECT_FALSE(decodes(packedTga({2, 2, 1, 10}, pixels + QByteArray(64, '\0'))));
    EXPECT_FALSE(decodes(packedTga({2, 2, 1, 255}, pixels + QByteArray(4096, '\0'))));
}

TEST(TgaBounds, AnEmptyPictureIsShownNotDeclined)
{
    Picture picture;
    ASSERT_TRUE(decode(standardTga(0, 5, 24, QByteArray()), picture));
    EXPECT_EQ(picture.width(), 0);
    EXPECT_EQ(picture.height(), 5);
    EXPECT_TRUE(picture.isEmpty());
    ASSERT_TRUE(decode(standardTga(4, 0, 32, QByteArray()), picture));
    EXPECT_EQ(picture.height(), 0);
    EXPECT_EQ(picture.bytesPerPixel(), 4);
}

TEST(TgaPixels, StandardRowsRunBottomUpInBlueGreenRedOrder)
{
    Picture picture;
    ASSERT_TRUE(decode(twoByTwo(), picture));
    EXPECT_EQ(picture.bytesPerPixel(), 3);
    EXPECT_EQ(pixelAt(picture, 0, 1), Pixel({1, 2, 3}));
    EXPECT_EQ(pixelAt(picture, 1, 1), Pixel({4, 5, 6}));
    EXPECT_EQ(pixelAt(picture, 0, 0), Pixel({7, 8, 9}));
    EXPECT_EQ(pixelAt(picture, 1, 0), Pixel({10, 11, 12}));

    // Any depth other than 32 is read as three bytes a pixel.
    ASSERT_TRUE(decode(standardTga(1, 1, 16, QByteArray("\x05\x06\x07", 3)), picture));
    EXPECT_EQ(picture.bytesPerPixel(), 3);
    EXPECT_EQ(pixelAt(picture, 0, 0), Pixel({5, 6, 7}));
}

TEST(TgaPixels, HighByteAtOffsetThreeMovesEveryFieldOneOn)
{
    Picture picture;
    // Width 3, height 1, depth 32, read one byte later than usual.
    ASSERT_TRUE(decode(standardTga(3, 1, 32, repeatPixel({0, 0, 0, 255}, 3), true), picture));
    EXPECT_EQ(picture.width(), 3);
    EXPECT_EQ(picture.height(), 1);
    EXPECT_EQ(picture.bytesPerPixel(), 4);

    ASSERT_TRUE(decode(packedTga({2, 1, 1, 1, true}, repeatPixel({9, 8, 7}, 2)), picture));
    EXPECT_EQ(picture.width(), 2);
    EXPECT_EQ(pixelAt(picture, 1, 0), Pixel({7, 8, 9}));
}

TEST(TgaPixels, PackedPixelsAreRedGreenBlue)
{
    Picture picture;
    ASSERT_TRUE(decode(packedTga({1, 2, 1}, QByteArray("\xff\x00\x00\x00\x00\xff", 6)), picture));
    EXPECT_EQ(picture.bytesPerPixel(), 3);
    EXPECT_EQ(pixelAt(picture, 0, 1), Pixel({0, 0, 255})); // pure red
    EXPECT_EQ(pixelAt(picture, 0, 0), Pixel({255, 0, 0})); // pure blue

    // Formats 2 and 4 carry alpha; any other format three bytes.
    for (int format : {2, 4}) {
        ASSERT_TRUE(decode(packedTga({1, 1, format, 0, false, true}, QByteArray("\xff\x00\x00\xff", 4)), picture));
        EXPECT_EQ(picture.bytesPerPixel(), 4);
        EXPECT_EQ(pixelAt(picture, 0, 0), Pixel({1, 1, 255, 255}));
    }
    for (int format : {0, 3, 32}) {
        ASSERT_TRUE(decode(packedTga({1, 1, format}, QByteArray("\x01\x02\x03", 3)), picture));
        EXPECT_EQ(picture.bytesPerPixel(), 3);
    }
}

TEST(TgaCompositing, ColoursBlendOverTheGreyWithHalvesToEven)
{
    // Stored row 0 is a light square at columns 0 to 7 and a dark one from column 8.
    const auto composite = [](int value, int alpha, bool dark) {
        QByteArray pixels = repeatPixel({0, 0, 0, 0}, 16);
        const int at = dark ? 8 : 0;
        pixels[at * 4] = char(value);
        pixels[at * 4 + 1] = char(value);
        pixels[at * 4 + 2] = char(value);
        pixels[at * 4 + 3] = char(alpha);
        Picture picture;
        EXPECT_TRUE(decode(standardTga(16, 1, 32, pixels), picture));
        const Pixel got = pixelAt(picture, at, 0);
        EXPECT_EQ(got[0], got[1]);
        EXPECT_EQ(got[1], got[2]);
        EXPECT_EQ(got[3], alpha) << "the alpha byte is kept";
        return got[0];
    };
    EXPECT_EQ(composite(77, 0, false), 255);
    EXPECT_EQ(composite(77, 0, true), 192);
    EXPECT_EQ(composite(0, 255, false), 1); // opaque still takes 1/256 of the grey
    EXPECT_EQ(composite(255, 255, false), 255);
    EXPECT_EQ(composite(255, 255, true), 255);
    EXPECT_EQ(composite(2, 128, false), 128); // 128.5
    EXPECT_EQ(composite(0, 128, false), 128); // 127.5
    EXPECT_EQ(composite(100, 128, true), 146);
    EXPECT_EQ(composite(1, 1, true), 191); // 191.25
}

TEST(TgaCompositing, EveryValueAndAlphaRoundsHalfToEvenOverBothGreys)
{
    // Stored row i has alpha i, column x value x + shift; shifting by one square swaps the grey
    // under each value. The odd width leaves pixels for the tail of each row as well.
    constexpr int width = 259;
    const auto expected = [](int value, int alpha, int grey) {
        // nearbyint rounds an exact half to even in the default rounding mode.
        return int(std::nearbyint(double(value * alpha + grey * (256 - alpha)) / 256.0));
    };
    for (int shift : {0, 8}) {
        for (bool packed : {false, true}) {
            QByteArray pixels;
            for (int i = 0; i < 256; ++i) {
                for (int x = 0; x < width; ++x) {
                    const int v = (x + shift) % 256;
                    const int blue = v, green = 255 - v, red = (v * 7) % 256;
                    pixels += char(packed ? red : blue);
                    pixels += char(green);
                    pixels += char(packed ? blue : red);
                    pixels += char(i);
                }
            }
            Picture picture;
            ASSERT_TRUE(decode(packed ? packedTga({width, 256, 4}, pixels) : standardTga(width, 256, 32, pixels),
                               picture));
            int mismatches = 0;
            for (int i = 0; i < 256 && mismatches < 5; ++i) {
                for (int x = 0; x < width; ++x) {
                    const int v = (x + shift) % 256;
                    const int grey = (i / 8 + x / 8) % 2 == 0 ? 255 : 192;
                    const Pixel want{expected(v, i, grey), expected(255 - v, i, grey),
                                     expected((v * 7) % 256, i, grey), i};
                    const Pixel got = pixelAt(picture, x, 255 - i);
                    if (got != want && ++mismatches <= 5)
                        ADD_FAILURE() << "stored row " << i << " column " << x << (packed ? " packed" : "");
                }
            }
        }
    }
}

TEST(TgaCompositing, CheckerboardStartsLightAtTheBottomLeft)
{
    // Twelve rows: the board counts from the stored first row, so the top squares are cut.
    for (bool packed : {false, true}) {
        const QByteArray pixels = repeatPixel({50, 60, 70, 0}, 20 * 12);
        const QByteArray file = packed ? packedTga({20, 12, 4}, pixels) : standardTga(20, 12, 32, pixels);
        Picture picture;
        ASSERT_TRUE(decode(file, picture));
        const auto grey = [&](int x, int y) { return pixelAt(picture, x, y); };
        const Pixel light{255, 255, 255, 0};
        const Pixel dark{192, 192, 192, 0};
        EXPECT_EQ(grey(0, 11), light);
        EXPECT_EQ(grey(7, 4), light);
        EXPECT_EQ(grey(8, 11), dark);
        EXPECT_EQ(grey(0, 3), dark);
        EXPECT_EQ(grey(8, 3), light);
        EXPECT_EQ(grey(15, 0), light);
        EXPECT_EQ(grey(16, 11), light);
        EXPECT_EQ(grey(19, 0), dark);
    }
}

TEST(TgaCompositing, PackedPixelsBlendRedFromTheFirstByte)
{
    Picture picture;
    ASSERT_TRUE(decode(packedTga({1, 1, 4}, QByteArray("\xff\x00\x40\xff", 4)), picture));
    EXPECT_EQ(pixelAt(picture, 0, 0), Pixel({65, 1, 255, 255}));
    ASSERT_TRUE(decode(standardTga(1, 1, 32, QByteArray("\xff\x00\x40\xff", 4)), picture));
    EXPECT_EQ(pixelAt(picture, 0, 0), Pixel({255, 1, 65, 255}));
}
