#include "image/texturetiles.h"
#include "support/testsupport.h"
#include "support/tgabuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;
using tervelle::test::repeatPixel;
using tervelle::test::standardTga;
using tervelle::test::writeBytes;

namespace {

TEST(TextureTileNames, ThreeHundredTwentyTilesInThemeOrder)
{
    QStringList names = tileNames();
    ASSERT_EQ(names.size(), 320);
    EXPECT_EQ(names[0], "A01");
    EXPECT_EQ(names[63], "A64");
    EXPECT_EQ(names[64], "B01");
    EXPECT_EQ(names[130], "C03"); // a default map's tile
    EXPECT_EQ(names[319], "W64");
    EXPECT_EQ(names.removeDuplicates(), 0);
}

TEST(TextureTileNames, FilesLieInTheirThemesFolder)
{
    EXPECT_EQ(tileFilePath("/games/Themes/", 0), "/games/Themes/ThemeArabian/A01.tga");
    EXPECT_EQ(tileFilePath("/games/Themes", 130), "/games/Themes/ThemeCamelot/C03.tga");
    EXPECT_EQ(tileFilePath("/t/", 200), "/t/ThemePrehistoric/P09.tga");
    EXPECT_EQ(tileFilePath("", 0), "");
}

class TextureTilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const TextureTheme &theme : TextureThemes)
            ASSERT_TRUE(QDir(dir.path()).mkpath(theme.folder));
    }

    void writeTile(const QString &folder, int index, const QByteArray &tga)
    {
        writeBytes(tileFilePath(folder, index), tga);
    }

    static QByteArray solidTile(int red) { return standardTga(64, 64, 24, repeatPixel({0, 0, red}, 64 * 64)); }

    QTemporaryDir dir;
    TextureTiles tiles;
};

TEST_F(TextureTilesTest, ThumbnailsAreSixtyFourSquareWhateverTheFile)
{
    writeTile(dir.path(), 0, solidTile(200));
    // Two pixels, blue on the left and red on the right, stretched over the whole square.
    writeTile(dir.path(), 1, standardTga(2, 1, 24, QByteArray("\xff\x00\x00\x00\x00\xff", 6)));
    // Fully transparent: the bare checkerboard, its light square at the bottom left.
    writeTile(dir.path(), 2, standardTga(16, 16, 32, repeatPixel({9, 9, 9, 0}, 16 * 16)));
    writeTile(dir.path(), 3, standardTga(513, 1, 24, QByteArray(513 * 3, '\x10'))); // declined
    tiles.setFolder(dir.path());

    const QImage solid = tiles.thumbnail(0);
    ASSERT_EQ(solid.size(), QSize(64, 64));
    EXPECT_EQ(solid.pixel(10, 10), qRgb(200, 0, 0));

    const QImage stretched = tiles.thumbnail(1);
    ASSERT_EQ(stretched.size(), QSize(64, 64));
    EXPECT_EQ(stretched.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(stretched.pixel(63, 63), qRgb(255, 0, 0));

    const QImage checker = tiles.thumbnail(2);
    ASSERT_EQ(checker.size(), QSize(64, 64));
    EXPECT_EQ(checker.pixel(2, 61), qRgb(255, 255, 255));
    EXPECT_EQ(checker.pixel(2, 29), qRgb(192, 192, 192));

    EXPECT_TRUE(tiles.thumbnail(3).isNull());
    EXPECT_TRUE(tiles.thumbnail(4).isNull()); // no file
    EXPECT_TRUE(tiles.thumbnail(-1).isNull());
    EXPECT_TRUE(tiles.thumbnail(320).isNull());
}

TEST_F(TextureTilesTest, EachTileIsReadOncePerFolder)
{
    writeTile(dir.path(), 128, solidTile(10));
    tiles.setFolder(dir.path());
    EXPECT_EQ(tiles.thumbnail(128).pixel(0, 0), qRgb(10, 0, 0));
    EXPECT_TRUE(tiles.thumbnail(129).isNull());

    // Asked again, neither the tile nor the missing one is read again.
    ASSERT_TRUE(QFile::remove(tileFilePath(dir.path(), 128)));
    writeTile(dir.path(), 129, solidTile(20));
    EXPECT_EQ(tiles.thumbnail(128).pixel(0, 0), qRgb(10, 0, 0));
    EXPECT_TRUE(tiles.thumbnail(129).isNull());

    // Another folder, or the same one chosen again, reads afresh.
    QTemporaryDir other;
    ASSERT_TRUE(QDir(other.path()).mkpath("ThemeCamelot"));
    writeTile(other.path(), 128, solidTile(30));
    tiles.setFolder(other.path());
    EXPECT_EQ(tiles.thumbnail(128).pixel(0, 0), qRgb(30, 0, 0));
    tiles.setFolder(dir.path());
    EXPECT_TRUE(tiles.thumbnail(128).isNull());
    EXPECT_EQ(tiles.thumbnail(129).pixel(0, 0), qRgb(20, 0, 0));
}

TEST_F(TextureTilesTest, AFolderWithoutThemesGivesNamesWithoutPictures)
{
    QTemporaryDir empty;
    tiles.setFolder(empty.path());
    EXPECT_EQ(tiles.count(), 320);
    EXPECT_EQ(tiles.name(319), "W64");
    for (int i = 0; i < tiles.count(); ++i)
        ASSERT_TRUE(tiles.thumbnail(i).isNull()) << i;
    tiles.setFolder(QString());
    EXPECT_TRUE(tiles.filePath(0).isEmpty());
    EXPECT_TRUE(tiles.thumbnail(0).isNull());
}

} // namespace
