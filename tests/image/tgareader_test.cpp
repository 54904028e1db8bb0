#include "core/errors.h"
#include "image/checkerboard.h"
#include "image/pictureimage.h"
#include "image/tgareader.h"
#include "support/testsupport.h"
#include "support/tgabuilder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>

using namespace tervelle;
using tervelle::test::Packed;
using tervelle::test::packedTga;
using tervelle::test::repeatPixel;
using tervelle::test::standardTga;
using tervelle::test::writeBytes;
using Pixel = std::vector<int>;

namespace {

std::optional<Picture> decode(const QByteArray &file)
{
    Picture picture;
    if (!decodeTga(std::optional<TgaBuffer>(file), picture))
        return std::nullopt;
    return picture;
}

// The bytes of the pixel at column x, row y counted from the top.
Pixel pixelAt(const Picture &picture, int x, int y)
{
    const uchar *p = picture.scanLine(y) + x * picture.bytesPerPixel();
    return Pixel(p, p + picture.bytesPerPixel());
}

// 18 header bytes and 12 pixel bytes, bottom row first.
const QByteArray TwoByTwo = standardTga(2, 2, 24, QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 12));

} // namespace

TEST(TgaLoad, GivesTheFileBytesOrNoBuffer)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("icon.tga"), TwoByTwo);
    const std::optional<TgaBuffer> buffer = LoadTgaToMemory(dir.filePath("icon.tga"));
    ASSERT_TRUE(buffer);
    EXPECT_EQ(*buffer, TwoByTwo);

    EXPECT_FALSE(LoadTgaToMemory(dir.filePath("missing.tga")));
    EXPECT_THROW(readTgaFile(dir.filePath("missing.tga")), UserError);
    EXPECT_FALSE(LoadTgaToMemory(dir.path())) << "a folder is no picture";
    Picture picture;
    EXPECT_FALSE(decodeTga(std::nullopt, picture));
}

// The type is checked on the opened file (opened without blocking), as every input the editor
// reads: a check by name first would leave a moment in which a FIFO could take the file's place.
TEST(TgaLoad, AFifoIsRefusedFromTheOpenedFileWithoutWaiting)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("tile.tga");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    try {
        readTgaFile(fifo);
        ADD_FAILURE() << "a FIFO was read";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains("FIFO")) << e.message().toStdString();
    }
    EXPECT_FALSE(LoadTgaToMemory(fifo));
}

TEST(TgaLoad, ALongFileIsReadOnlyAsFarAsTheDecoderLooks)
{
    // The largest picture behind the longest header, then a tail nobody needs.
    const QByteArray file = packedTga({512, 512, 4, 9, true}, repeatPixel({10, 20, 30, 0}, 512 * 512));
    ASSERT_EQ(file.size(), TgaMaxUsefulBytes);
    QTemporaryDir dir;
    writeBytes(dir.filePath("long.tga"), file + QByteArray(100000, 'x'));
    const std::optional<TgaBuffer> buffer = LoadTgaToMemory(dir.filePath("long.tga"));
    ASSERT_TRUE(buffer);
    EXPECT_EQ(*buffer, file);
    Picture picture;
    EXPECT_TRUE(decodeTga(buffer, picture));
}

TEST(TgaBounds, SidesUpTo512AreShownAndLongerOnesDeclined)
{
    const std::optional<Picture> largest = decode(standardTga(512, 512, 24, QByteArray(512 * 512 * 3, '\x40')));
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->width(), 512);
    EXPECT_EQ(largest->height(), 512);

    // Enough pixel bytes follow: the size alone declines these.
    const QByteArray pixels(0xffff * 3, '\x40');
    EXPECT_FALSE(decode(standardTga(513, 10, 24, pixels)));
    EXPECT_FALSE(decode(standardTga(10, 513, 24, pixels)));
    EXPECT_FALSE(decode(standardTga(0xffff, 1, 24, pixels)));
    EXPECT_FALSE(decode(packedTga({513, 10}, pixels)));
    EXPECT_FALSE(decode(packedTga({10, 513}, pixels)));
    EXPECT_FALSE(decode(packedTga({2, 2, 1, 10}, pixels)));

    // An empty picture is shown, not declined.
    const std::optional<Picture> empty = decode(standardTga(0, 5, 32, {}));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_EQ(empty->height(), 5);
}

TEST(TgaBounds, EveryFileCutShortIsDeclined)
{
    ASSERT_EQ(TwoByTwo.size(), 30);
    const QByteArray files[] = {
        TwoByTwo,
        standardTga(3, 2, 32, repeatPixel({1, 2, 3, 4}, 6), true),
        standardTga(0, 7, 24, {}),
        packedTga({2, 3, 1}, repeatPixel({1, 2, 3}, 6)),
        packedTga({3, 1, 4, 9, true}, repeatPixel({1, 2, 3, 4}, 3)),
        packedTga({1, 0, 2, 2, true}, {}),
    };
    for (const QByteArray &file : files) {
        EXPECT_TRUE(decode(file)) << file.toHex().constData();
        // Each prefix is its own allocation, so a read past it shows under AddressSanitizer.
        for (qsizetype n = 0; n < file.size(); ++n)
            EXPECT_FALSE(decode(QByteArray(file.constData(), n))) << n << " bytes of " << file.toHex().constData();
    }
}

TEST(TgaPixels, RowsRunBottomUpInTheLayoutsChannelOrder)
{
    std::optional<Picture> picture = decode(TwoByTwo);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->bytesPerPixel(), 3);
    EXPECT_EQ(pixelAt(*picture, 0, 1), Pixel({1, 2, 3}));
    EXPECT_EQ(pixelAt(*picture, 1, 1), Pixel({4, 5, 6}));
    EXPECT_EQ(pixelAt(*picture, 0, 0), Pixel({7, 8, 9}));
    EXPECT_EQ(pixelAt(*picture, 1, 0), Pixel({10, 11, 12}));

    // Packed pixels are red, green, blue: 255, 0, 0 is pure red.
    picture = decode(packedTga({1, 2, 1}, QByteArray("\xff\x00\x00\x00\x00\xff", 6)));
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelAt(*picture, 0, 1), Pixel({0, 0, 255}));
    EXPECT_EQ(pixelAt(*picture, 0, 0), Pixel({255, 0, 0}));

    // A high byte at offset 3 moves every field one on, in both layouts.
    picture = decode(standardTga(3, 1, 32, repeatPixel({0, 0, 0, 255}, 3), true));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 3);
    EXPECT_EQ(picture->bytesPerPixel(), 4);
    picture = decode(packedTga({2, 1, 1, 1, true}, repeatPixel({9, 8, 7}, 2)));
    ASSERT_TRUE(picture);
    EXPECT_EQ(pixelAt(*picture, 1, 0), Pixel({7, 8, 9}));
}

TEST(TgaPixels, OnlyDepth32AndPackedFormats2And4CarryAlpha)
{
    for (int format : {0, 1, 2, 3, 4, 32}) {
        const std::optional<Picture> picture = decode(packedTga({1, 1, format}, QByteArray(4, '\x10')));
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->bytesPerPixel(), format == 2 || format == 4 ? 4 : 3) << format;
    }
    for (int depth : {8, 16, 24, 32, 33}) {
        const std::optional<Picture> picture = decode(standardTga(1, 1, depth, QByteArray(4, '\x10')));
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->bytesPerPixel(), depth == 32 ? 4 : 3) << depth;
    }
}

TEST(TgaCompositing, ColoursBlendOverTheGreyWithHalvesToEven)
{
    // Stored row 0 has the light square at columns 0 to 7 and the dark one from column 8.
    const auto composite = [](int value, int alpha, bool dark) {
        const int at = dark ? 8 : 0;
        QByteArray pixels = repeatPixel({0, 0, 0, 0}, 16);
        pixels.replace(at * 4, 4, repeatPixel({value, value, value, alpha}, 1));
        const std::optional<Picture> picture = decode(standardTga(16, 1, 32, pixels));
        const Pixel got = picture ? pixelAt(*picture, at, 0) : Pixel(4, -1);
        EXPECT_EQ(got[3], alpha) << "the alpha byte is kept";
        return got[0];
    };
    EXPECT_EQ(composite(77, 0, false), 255);
    EXPECT_EQ(composite(77, 0, true), 192);
    EXPECT_EQ(composite(0, 255, false), 1); // opaque still takes 1/256 of the grey
    EXPECT_EQ(composite(255, 255, true), 255);
    EXPECT_EQ(composite(2, 128, false), 128); // 128.5
    EXPECT_EQ(composite(0, 128, false), 128); // 127.5
    EXPECT_EQ(composite(100, 128, true), 146);
}

TEST(TgaCompositing, EveryValueAndAlphaRoundsAlikeInBothLayouts)
{
    // Stored row i has alpha i, column x value x + shift; shifting by a square swaps the grey
    // under each value. The odd width leaves a tail at the end of each row.
    constexpr int width = 259;
    const auto expected = [](int value, int alpha, int grey) {
        // nearbyint takes an exact half to the even integer in the default rounding mode.
        return int(std::nearbyint(double(value * alpha + grey * (256 - alpha)) / 256.0));
    };
    for (int shift : {0, 8}) {
        for (bool packed : {false, true}) {
            QByteArray pixels;
            for (int i = 0; i < 256; ++i) {
                for (int x = 0; x < width; ++x) {
                    const int v = (x + shift) % 256;
                    pixels += repeatPixel({packed ? v * 7 % 256 : v, 255 - v, packed ? v : v * 7 % 256, i}, 1);
                }
            }
            const std::optional<Picture> picture =
                decode(packed ? packedTga({width, 256, 4}, pixels) : standardTga(width, 256, 32, pixels));
            ASSERT_TRUE(picture);
            int mismatches = 0;
            for (int i = 0; i < 256; ++i) {
                for (int x = 0; x < width; ++x) {
                    const int v = (x + shift) % 256;
                    const int grey = (i / 8 + x / 8) % 2 == 0 ? 255 : 192;
                    const Pixel want{expected(v, i, grey), expected(255 - v, i, grey), expected(v * 7 % 256, i, grey),
                                     i};
                    if (pixelAt(*picture, x, 255 - i) != want && ++mismatches <= 3)
                        ADD_FAILURE() << "stored row " << i << ", column " << x << (packed ? ", packed" : "");
                }
            }
        }
    }
}

TEST(TgaCompositing, EveryInstructionSetGivesTheSameBytes)
{
    // Rows of every length up to three squares and a tail, on rows of either square parity, so
    // each vector path and each hand-over to a narrower one is compared with the plain loop.
    QByteArray src(4 * 29, Qt::Uninitialized);
    for (qsizetype i = 0; i < src.size(); ++i)
        src[i] = char((i * 97 + 13) % 256);
    for (ChannelOrder order : {ChannelOrder::Bgr, ChannelOrder::Rgb}) {
        for (int storedRow : {0, 9}) {
            for (int width = 0; width <= 29; ++width) {
                const auto run = [&](CompositeInstructions use) {
                    QByteArray dst(src.size(), '\x5a');
                    compositeRow(reinterpret_cast<const uchar *>(src.constData()),
                                 reinterpret_cast<uchar *>(dst.data()), width, storedRow, order, use);
                    return dst;
                };
                const QByteArray plain = run(CompositeInstructions::Plain);
                EXPECT_EQ(run(CompositeInstructions::Sse2), plain) << width << " pixels, stored row " << storedRow;
                EXPECT_EQ(run(CompositeInstructions::Best), plain) << width << " pixels, stored row " << storedRow;
            }
        }
    }
}

TEST(TgaCompositing, TheLightSquareSitsAtTheBottomLeftWhateverTheHeight)
{
    // Twelve rows: the board counts from the bottom, so the top squares are the cut ones.
    const std::optional<Picture> picture = decode(standardTga(20, 12, 32, repeatPixel({50, 60, 70, 0}, 20 * 12)));
    ASSERT_TRUE(picture);
    const Pixel light{255, 255, 255, 0};
    const Pixel dark{192, 192, 192, 0};
    EXPECT_EQ(pixelAt(*picture, 0, 11), light);
    EXPECT_EQ(pixelAt(*picture, 7, 4), light);
    EXPECT_EQ(pixelAt(*picture, 8, 11), dark);
    EXPECT_EQ(pixelAt(*picture, 0, 3), dark);
    EXPECT_EQ(pixelAt(*picture, 8, 3), light);
    EXPECT_EQ(pixelAt(*picture, 19, 0), dark);
}

TEST(PictureImage, ViewsShowTheCompositedColoursOpaqueAndExportKeepsAlpha)
{
    // Bottom row: transparent over the light square; top row: opaque red.
    const std::optional<Picture> picture =
        decode(standardTga(1, 2, 32, QByteArray("\x10\x20\x30\x00\x00\x00\xff\xff", 8)));
    ASSERT_TRUE(picture);
    const QImage shown = pictureToImage(*picture);
    EXPECT_FALSE(shown.hasAlphaChannel());
    EXPECT_EQ(shown.pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 1, 1));
    const QImage exported = pictureToImageWithAlpha(*picture);
    EXPECT_EQ(exported.pixel(0, 1), qRgba(255, 255, 255, 0));
    EXPECT_EQ(exported.pixel(0, 0), qRgba(255, 1, 1, 255));

    const std::optional<Picture> threeBytes = decode(standardTga(1, 1, 24, QByteArray("\x0a\x14\x1e", 3)));
    ASSERT_TRUE(threeBytes);
    EXPECT_EQ(pictureToImage(*threeBytes).pixel(0, 0), qRgb(30, 20, 10));
    EXPECT_FALSE(pictureToImageWithAlpha(*threeBytes).hasAlphaChannel());
    EXPECT_TRUE(pictureToImage(*decode(standardTga(0, 3, 24, {}))).isNull());
}
