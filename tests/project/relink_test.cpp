#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/relink.h"
#include "support/testsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

// A project saved on a Windows machine opens here with every source missing; pointing at the
// folder the files were copied to brings each back by its name, in its place and under its
// name, without guessing between two files of one name.
TEST(Relink, ProjectWithWindowsPathsFindsItsFilesAgain)
{
    test::resetLanguage();
    QTemporaryDir dir;
    const auto put = [&](const QString &relative) {
        QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        test::writeBytes(path, "x");
        return path;
    };
    const QString arena = put(QStringLiteral("copy/maps/arena.xan"));
    put(QStringLiteral("copy/other/Arena.xan"));                      // the exact name wins over this
    const QString icon = put(QStringLiteral("copy/icons/ARENA.TGA")); // found ignoring case
    put(QStringLiteral("copy/a/dup.lua"));
    put(QStringLiteral("copy/b/dup.lua")); // twice: not guessed
    const QString page = put(QStringLiteral("copy/web/.hidden/about.htm"));

    Settings settings;
    ProjectModel written;
    written.NewFile();
    written.AddFileElement(written.root(MapsRoot), QStringLiteral("arena.xan"), MapFile,
                           QStringLiteral("C:\\Maps\\arena.xan"));
    written.AddFileElement(written.root(IconsRoot), QStringLiteral("level.tga"), LevelIconFile,
                           QStringLiteral("C:\\Maps\\Icons\\arena.tga"));
    written.AddFileElement(written.root(ScriptsRoot), QStringLiteral("dup.lua"), ScriptFile,
                           QStringLiteral("D:\\dup.lua"));
    written.AddFileElement(written.root(HeightMapsRoot), QStringLiteral("gone.hmp"), HeightMapFile,
                           QStringLiteral("C:\\gone.hmp"));
    TreeNode *info = written.AddDirElement(written.root(FilesRoot), QStringLiteral("info"));
    written.AddFileElement(info, QStringLiteral("about.htm"), InfoPageFile, QStringLiteral("C:/web/about.htm"));
    const QString file = dir.filePath(QStringLiteral("pack.mpr"));
    SaveProjectFile(written, file);

    ProjectModel project;
    project.NewFile();
    OpenProjectFile(project, file);
    ASSERT_TRUE(hasMissingFiles(project));
    QSignalSpy changed(&project, &ProjectModel::nodeChanged);
    const RelinkResult result = LocateMissingFiles(project, dir.filePath(QStringLiteral("copy")));
    EXPECT_EQ(result.found, 3);
    EXPECT_EQ(result.notFound, 1);
    EXPECT_EQ(result.ambiguous, QStringList(QStringLiteral("dup.lua")));
    EXPECT_EQ(changed.count(), 3);

    const auto node = [&](RootGroup group, int row) { return project.root(group)->child(row); };
    EXPECT_EQ(node(MapsRoot, 0)->Info().Path, arena);
    EXPECT_EQ(node(MapsRoot, 0)->Info().Kind, FileFoundKind);
    EXPECT_EQ(node(IconsRoot, 0)->Info().Path, icon);
    EXPECT_EQ(node(IconsRoot, 0)->Text(), QStringLiteral("level.tga")); // the name in the pack stays
    EXPECT_EQ(node(ScriptsRoot, 0)->Info().Path, QStringLiteral("D:\\dup.lua"));
    EXPECT_EQ(node(ScriptsRoot, 0)->Info().Kind, FileMissingKind);
    EXPECT_EQ(node(HeightMapsRoot, 0)->Info().Kind, FileMissingKind);
    EXPECT_EQ(node(FilesRoot, 1)->child(0)->Info().Path, page);
    EXPECT_EQ(project.tree().count(), written.tree().count());

    // Once back, nothing is asked again; the map list node is never missing.
    EXPECT_EQ(LocateMissingFiles(project, dir.filePath(QStringLiteral("copy"))).found, 0);
    project.NewFile();
    EXPECT_FALSE(hasMissingFiles(project));
}

// A link in the chosen folder that leads into someone's hidden folder is not taken: the pack
// would publish what it reaches. The map maker is told where it led.
TEST(Relink, LinksIntoHiddenFoldersAreNotTaken)
{
    test::resetLanguage();
    QTemporaryDir dir;
    const QString key = dir.filePath(QStringLiteral("home/.ssh/id_rsa"));
    test::writeBytes(key, "secret");
    QDir().mkpath(dir.filePath(QStringLiteral("copy")));
    const QString planted = dir.filePath(QStringLiteral("copy/id_rsa.xan"));
    ASSERT_TRUE(QFile::link(key, planted));

    ProjectModel project;
    project.NewFile();
    TreeNode *node = project.AddFileElement(project.root(MapsRoot), QStringLiteral("id_rsa.xan"), MapFile,
                                            QStringLiteral("C:\\Maps\\id_rsa.xan"));
    const RelinkResult result = LocateMissingFiles(project, dir.filePath(QStringLiteral("copy")));
    EXPECT_EQ(result.found, 0);
    EXPECT_EQ(result.notFound, 1);
    EXPECT_EQ(result.privateOnly, QStringList(planted + QStringLiteral(" -> ") + key));
    EXPECT_EQ(node->Info().Path, QStringLiteral("C:\\Maps\\id_rsa.xan"));
}

} // namespace
