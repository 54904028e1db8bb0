#include "core/errors.h"
#include "core/textcodec.h"
#include "project/previewkind.h"
#include "project/projectmodel.h"
#include "support/testsupport.h"
#include "support/tgabuilder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace tervelle;
using tervelle::test::writeBytes;

namespace {

TEST(PreviewKind, TheFileTypeDecidesNotTheName)
{
    test::resetLanguage();
    Settings settings;
    ProjectModel model;
    model.NewFile();
    TreeNode *files = model.root(FilesRoot);
    const auto kindOf = [&](int type) {
        return previewKindFor(model.AddFileElement(files, "same.tga", type, "/x/same.tga"));
    };
    EXPECT_EQ(kindOf(LevelIconFile), PreviewKind::Picture);
    EXPECT_EQ(kindOf(TextureListFile), PreviewKind::Text);
    EXPECT_EQ(kindOf(ScriptFile), PreviewKind::Text);
    EXPECT_EQ(kindOf(InfoPageFile), PreviewKind::Text);
    for (int type : {PlainFile, MapFile, HeightMapFile})
        EXPECT_EQ(kindOf(type), PreviewKind::None) << type;
    EXPECT_EQ(previewKindFor(model.MapListNode()), PreviewKind::None);
    EXPECT_EQ(previewKindFor(model.root(IconsRoot)), PreviewKind::None);
    EXPECT_EQ(previewKindFor(model.AddDirElement(model.root(TexturesRoot), "folder")), PreviewKind::None);
    EXPECT_EQ(previewKindFor(nullptr), PreviewKind::None);
}

TEST(PreviewPicture, LevelIconsAreShownThroughTheReaderOrNotAtAll)
{
    QTemporaryDir dir;
    const QString icon = dir.filePath("icon.tga");
    writeBytes(icon, test::standardTga(2, 1, 24, QByteArray("\x00\x00\xff\xff\x00\x00", 6)));
    const std::optional<QImage> picture = readPreviewPicture(icon);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->size(), QSize(2, 1));
    EXPECT_EQ(picture->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(picture->pixel(1, 0), qRgb(0, 0, 255));

    // A picture of width 0 is still a picture, not "No preview".
    writeBytes(dir.filePath("empty.tga"), test::standardTga(0, 5, 24, {}));
    const std::optional<QImage> empty = readPreviewPicture(dir.filePath("empty.tga"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isNull());

    writeBytes(dir.filePath("wide.tga"), test::standardTga(513, 1, 24, QByteArray(513 * 3, '\x10')));
    EXPECT_FALSE(readPreviewPicture(dir.filePath("wide.tga")));
    EXPECT_FALSE(readPreviewPicture(dir.filePath("deleted.tga")));
    EXPECT_FALSE(readPreviewPicture(dir.path()));
}

class PreviewText : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(setTextCodec("windows-1252")); }
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(PreviewText, LinesEndAtCrLfCrOrLfInTheCodePage)
{
    writeBytes(path("a.txt"), "one\r\ntwo\nthree\rcaf\xe9\r\n\r\nlast");
    EXPECT_EQ(readPreviewText(path("a.txt")),
              QStringList({"one", "two", "three", QString::fromUtf8("café"), "", "last"}));
    writeBytes(path("b.txt"), "only\r\n");
    EXPECT_EQ(readPreviewText(path("b.txt")), QStringList({"only"}));
    writeBytes(path("empty.txt"), "");
    EXPECT_EQ(readPreviewText(path("empty.txt")), QStringList());
}

TEST_F(PreviewText, AFileOfExactlyTheLimitIsWholeALongerOneIsCutWithANote)
{
    QByteArray line = QByteArray(1023, 'x') + "\n";
    writeBytes(path("exact.txt"), line.repeated(1024));
    const QStringList exact = readPreviewText(path("exact.txt"));
    EXPECT_EQ(exact.size(), 1024);
    EXPECT_NE(exact.last(), previewCutNote());

    writeBytes(path("long.txt"), line.repeated(1024) + "beyond the limit\n");
    const QStringList cut = readPreviewText(path("long.txt"));
    ASSERT_EQ(cut.size(), 1025);
    EXPECT_EQ(cut[1023], QString(1023, 'x'));
    EXPECT_EQ(cut.last(), previewCutNote());
    EXPECT_FALSE(cut.join('\n').contains("beyond"));
}

TEST_F(PreviewText, AHugeSparseFileIsReadOnlyAsFarAsTheLimit)
{
    QFile huge(path("huge.lua"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(4) << 30)); // 4 GB of holes
    huge.close();
    const QStringList lines = readPreviewText(path("huge.lua"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), PreviewTextLimit);
    EXPECT_EQ(lines[1], previewCutNote());
}

TEST_F(PreviewText, WhatIsNotARegularFileIsRefusedNamingIt)
{
    const auto message = [](const QString &file) -> QString {
        try {
            readPreviewText(file);
        } catch (const UserError &error) {
            return error.message();
        }
        return QString();
    };
    EXPECT_TRUE(message(path("missing.txt")).contains(path("missing.txt")));
    EXPECT_TRUE(message(dir.path()).contains("not a file"));
#ifdef Q_OS_UNIX
    // A FIFO with no writer would block a plain open for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    EXPECT_TRUE(message(path("pipe")).contains("not a file"));
    ASSERT_TRUE(QFile::link(path("pipe"), path("pipe.lua")));
    EXPECT_TRUE(message(path("pipe.lua")).contains("not a file"));
    EXPECT_TRUE(message("/dev/zero").contains("not a file"));
#endif
}

} // namespace
