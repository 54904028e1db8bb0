#include "image/pictureimage.h"
#include "image/tgareader.h"
#include "tgafixtures.h"

#include <gtest/gtest.h>

using namespace tervelle;
using namespace tervelle::test;

namespace {

Picture decoded(const QByteArray &file)
{
    Picture picture;
    EXPECT_TRUE(ViewTga(std::optional<TgaBuffer>(file), picture));
    return picture;
}

} // namespace

TEST(PictureImage, ViewsShowTheCompositedColoursOpaque)
{
    // Bottom row: transparent over the light square; top row: opaque red.
    const Picture picture = decoded(standardTga(1, 2, 32, QByteArray("\x10\x20\x30\x00\x00\x00\xff\xff", 8)));
    const QImage image = pictureToImage(picture);
    ASSERT_EQ(image.size(), QSize(1, 2));
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 1, 1));

    const QImage withAlpha = pictureToImageWithAlpha(picture);
    ASSERT_TRUE(withAlpha.hasAlphaChannel());
    EXPECT_EQ(withAlpha.pixel(0, 1), qRgba(255, 255, 255, 0));
    EXPECT_EQ(withAlpha.pixel(0, 0), qRgba(255, 1, 1, 255));
}

TEST(PictureImage, ThreeBytePicturesKeepTheirColoursAndEmptyOnesGiveNoImage)
{
    const Picture picture = decoded(packedTga({2, 1, 1}, QByteArray("\x0a\x14\x1e\xc8\x64\x32", 6)));
    for (const QImage &image : {pictureToImage(picture), pictureToImageWithAlpha(picture)}) {
        ASSERT_EQ(image.size(), QSize(2, 1));
        EXPECT_FALSE(image.hasAlphaChannel());
        EXPECT_EQ(image.pixel(0, 0), qRgb(10, 20, 30));
        EXPECT_EQ(image.pixel(1, 0), qRgb(200, 100, 50));
    }
    EXPECT_TRUE(pictureToImage(decoded(standardTga(0, 3, 24, {}))).isNull());
    EXPECT_TRUE(pictureToImageWithAlpha(decoded(standardTga(3, 0, 32, {}))).isNull());
}
