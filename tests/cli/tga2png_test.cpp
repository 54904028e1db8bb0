#include "support/filesizelimit.h"
#include "support/testsupport.h"
#include "support/tgabuilder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using tervelle::test::FileSizeLimit;
using tervelle::test::readBytes;
using tervelle::test::standardTga;
using tervelle::test::writeBytes;

namespace {

class Tga2Png : public ::testing::Test
{
protected:
    struct Result
    {
        int exitCode = -1;
        QByteArray standardError;
    };

    Result run(const QStringList &args)
    {
        QProcess process;
        process.start(QStringLiteral(TERVELLE_BINARY_DIR "/tervelle-pack"), QStringList{"tga2png"} + args);
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), process.readAllStandardError()};
    }

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // One line on standard error, and nothing at the PNG's path.
    void expectFailure(const Result &result, const QString &png)
    {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.standardError.count('\n'), 1) << result.standardError.constData();
        EXPECT_TRUE(result.standardError.endsWith('\n'));
        EXPECT_FALSE(QFile::exists(png));
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Tga2Png, WritesThreeBytePicturesAsRgb)
{
    writeBytes(path("in.tga"), standardTga(2, 1, 24, QByteArray("\x0a\x14\x1e\xc8\x64\x32", 6)));
    const Result result = run({path("in.tga"), path("out.png")});
    ASSERT_EQ(result.exitCode, 0) << result.standardError.constData();
    const QByteArray png = readBytes(path("out.png"));
    ASSERT_GT(png.size(), 26);
    EXPECT_EQ(png[25], 2) << "colour type RGB";
    const QImage image(path("out.png"));
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(30, 20, 10));
    EXPECT_EQ(image.pixel(1, 0), qRgb(50, 100, 200));
}

TEST_F(Tga2Png, WritesFourBytePicturesAsRgbaWithCompositedColoursAndStoredAlpha)
{
    // Bottom row over the light square, from column 8 the dark one; top row opaque black.
    QByteArray pixels;
    for (int x = 0; x < 9; ++x)
        pixels += x == 0 ? QByteArray("\x64\x64\x64\x80", 4) : QByteArray("\x11\x22\x33\x00", 4);
    pixels += QByteArray(9 * 4, '\0').replace(3, 1, "\xff");
    writeBytes(path("in.tga"), standardTga(9, 2, 32, pixels));
    const Result result = run({path("in.tga"), path("out.png")});
    ASSERT_EQ(result.exitCode, 0) << result.standardError.constData();
    const QByteArray png = readBytes(path("out.png"));
    ASSERT_GT(png.size(), 26);
    EXPECT_EQ(png[24], 8) << "8 bits a channel";
    EXPECT_EQ(png[25], 6) << "colour type RGBA";
    const QImage image = QImage(path("out.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(9, 2));
    EXPECT_EQ(image.pixel(0, 1), qRgba(178, 178, 178, 128)); // 177.5 goes to the even neighbour
    EXPECT_EQ(image.pixel(8, 1), qRgba(192, 192, 192, 0));
    EXPECT_EQ(image.pixel(0, 0), qRgba(1, 1, 1, 255));
}

TEST_F(Tga2Png, FailuresWriteNoPngAndLeaveAnOldOneAlone)
{
    writeBytes(path("short.tga"), standardTga(2, 2, 24, QByteArray(11, '\x7f')));
    expectFailure(run({path("short.tga"), path("short.png")}), path("short.png"));
    writeBytes(path("wide.tga"), standardTga(513, 1, 24, QByteArray(513 * 3, '\x7f')));
    expectFailure(run({path("wide.tga"), path("wide.png")}), path("wide.png"));
    expectFailure(run({path("missing.tga"), path("missing.png")}), path("missing.png"));
    // Accepted by the reader, yet a PNG cannot be 0 pixels wide.
    writeBytes(path("empty.tga"), standardTga(0, 4, 24, {}));
    expectFailure(run({path("empty.tga"), path("empty.png")}), path("empty.png"));
    writeBytes(path("good.tga"), standardTga(1, 1, 24, QByteArray(3, '\x7f')));
    expectFailure(run({path("good.tga"), path("no-such-folder/out.png")}), path("no-such-folder/out.png"));

    writeBytes(path("old.png"), "previous");
    EXPECT_EQ(run({path("short.tga"), path("old.png")}).exitCode, 1);
    EXPECT_EQ(readBytes(path("old.png")), "previous");

    EXPECT_EQ(run({path("good.tga")}).exitCode, 2);
    EXPECT_EQ(run({path("good.tga"), path("a.png"), path("b.png")}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(path("a.png")));
}

TEST_F(Tga2Png, FullDiskGivesTheSystemsReasonAndKeepsTheOldPng)
{
    // Noise, so the PNG cannot be compressed below the limit.
    QByteArray pixels(512 * 512 * 3, '\0');
    quint32 noiseState = 12345;
    for (char &byte : pixels) {
        noiseState = noiseState * 1103515245u + 12345u;
        byte = char(noiseState >> 24);
    }
    writeBytes(path("noise.tga"), standardTga(512, 512, 24, pixels));
    writeBytes(path("old.png"), "previous");

    FileSizeLimit smallDisk(64 * 1024);
    const Result result = run({path("noise.tga"), path("old.png")});
    smallDisk.lift();

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError.count('\n'), 1) << result.standardError.constData();
    EXPECT_TRUE(result.standardError.contains(std::strerror(EFBIG))) << result.standardError.constData();
    EXPECT_EQ(readBytes(path("old.png")), "previous");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"noise.tga", "old.png"}));
}
