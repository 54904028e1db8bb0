#include "mappack/packplan.h"
#include "mappack/setupscript.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testcompiler.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

// script and build without the compiler: what they write, where, and how they fail.
class PackCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        model.NewFile();
        appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
        test::makeCompilerFolder(appDir);
        project = dir.filePath(QStringLiteral("pack.mpr"));
    }

    test::PackRun pack(const QStringList &args)
    {
        SaveProjectFile(model, project);
        return test::runPack(args, dir.path());
    }

    QTemporaryDir dir;
    Settings settings;
    ProjectModel model;
    QString appDir;
    QString project;
};

TEST_F(PackCommands, ScriptPrintsTheScriptAndWritesNothing)
{
    test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {QStringLiteral("russian")}; });
    TreeNode *folder = model.AddDirElement(model.root(FilesRoot), QStringLiteral("extra"));
    const QString page = dir.filePath(QStringLiteral("info.htm"));
    test::writeBytes(page, "x");
    model.AddFileElement(folder, QStringLiteral("info.htm"), InfoPageFile, page);

    const test::PackRun run = pack({QStringLiteral("script"), project, QStringLiteral("--out"),
                                    QStringLiteral("out/pack.exe"), QStringLiteral("--appdir"), QStringLiteral("app")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The relative installer path is taken from the current folder.
    const QString installer = dir.filePath(QStringLiteral("out/pack.exe"));
    EXPECT_EQ(run.out, setupScriptBytes(MakeSetupScript(planPack(model, appDir), installer)));
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_EQ(QDir(compilerFolder(appDir)).entryList(QDir::Files), QStringList());
    EXPECT_EQ(QDir(StagingFolder(appDir)).entryList(QDir::Files), QStringList());
}

TEST_F(PackCommands, BuildWithoutCompilerPrintsOnlyTheFailLine)
{
    const test::PackRun run = pack({QStringLiteral("build"), project, QStringLiteral("--out"), dir.filePath("pack.exe"),
                                    QStringLiteral("--appdir"), appDir});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "Failed to launch InnoSetup compiler!\n");
    // The map list and the script were written before the compiler was looked for.
    EXPECT_TRUE(QFileInfo(StagingFolder(appDir) + QStringLiteral("New map pack.mpl")).isFile());
    // The compiler is given a folder of the build's own beside the installer, which it leaves.
    QByteArray written = test::readBytes(setupScriptPath(appDir));
    const QByteArray expected = setupScriptBytes(MakeSetupScript(planPack(model, appDir), dir.filePath("pack.exe")));
    const QByteArray ownFolder = "\\.pack.exe.build-";
    const qsizetype at = written.indexOf(ownFolder);
    ASSERT_GT(at, 0) << written.toStdString();
    written.remove(at, written.indexOf("\r\n", at) - at);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).filter(".build-"),
              QStringList());
}

TEST_F(PackCommands, RefusedValueStopsTheBuildBeforeAnythingIsWritten)
{
    test::editPack(model, [&](PackProperties &p) { p.PackWebSite = QStringLiteral("http://x.example/\""); });
    const test::PackRun run = pack({QStringLiteral("build"), project, QStringLiteral("--out"), dir.filePath("pack.exe"),
                                    QStringLiteral("--appdir"), appDir});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("http://x.example/\"")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(setupScriptPath(appDir)));
    EXPECT_FALSE(QFileInfo::exists(StagingFolder(appDir) + QStringLiteral("New map pack.mpl")));
}

TEST_F(PackCommands, MissingOutIsAUsageError)
{
    for (const char *command : {"script", "build"}) {
        const test::PackRun run = pack({QString::fromLatin1(command), project});
        EXPECT_EQ(run.exitCode, 2) << command;
        EXPECT_TRUE(run.err.contains("--out")) << command;
    }
}

// A project file holding a name that would leave its folder still opens; everything that
// would write it into a pack refuses it, naming the node and where it lies.
TEST_F(PackCommands, NameLeavingItsFolderIsRefusedByEveryCommandThatPacksIt)
{
    TreeNode *info = model.AddDirElement(model.root(FilesRoot), QStringLiteral("info"));
    model.AddFileElement(info, QStringLiteral("..\\x"), InfoPageFile, dir.filePath(QStringLiteral("x.htm")));
    const QString installer = dir.filePath(QStringLiteral("pack.exe"));
    const QStringList commands[] = {
        {QStringLiteral("script"), project, QStringLiteral("--out"), installer, QStringLiteral("--appdir"), appDir},
        {QStringLiteral("build"), project, QStringLiteral("--out"), installer, QStringLiteral("--appdir"), appDir},
        {QStringLiteral("maplist"), project},
    };
    for (const QStringList &command : commands) {
        const test::PackRun run = pack(command);
        EXPECT_EQ(run.exitCode, 1) << command.first().toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << command.first().toStdString() << ": " << run.out.toStdString();
        EXPECT_TRUE(
            run.err.contains("In Files\\info\\ of the files tree, the file \"..\\x\" cannot be a file or folder name"))
            << command.first().toStdString() << ": " << run.err.toStdString();
    }
    EXPECT_EQ(QDir(compilerFolder(appDir)).entryList(QDir::Files), QStringList());
    EXPECT_EQ(QDir(StagingFolder(appDir)).entryList(QDir::Files), QStringList());
    EXPECT_EQ(pack({QStringLiteral("info"), project}).exitCode, 0) << "the project opens";
}

} // namespace
