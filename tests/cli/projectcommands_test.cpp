#include "mappack/maplist.h"
#include "mappack/packplan.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

// info, maplist and resave: the commands that read a project and write no installer.
class ProjectCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        QSettings(config.editorFile(), QSettings::IniFormat).setValue("AppDir", app.path());
        model.NewFile();
    }

    test::PackRun run(const QStringList &args) const { return test::runPack(args); }

    QString file(const QString &name) const { return work.filePath(name); }
    QString saved(const QString &name)
    {
        SaveProjectFile(model, file(name));
        return file(name);
    }

    test::TempConfigHome config; // the child process inherits it
    QTemporaryDir app;
    QTemporaryDir work;
    Settings settings;
    ProjectModel model;
};

TEST_F(ProjectCommands, InfoShowsEachNodeWithTheNumberItTravelsUnder)
{
    const QString page = file("about.htm");
    test::writeBytes(page, "<p>");
    test::editPack(model, [&](PackProperties &p) { p.PackName = "Island Pack"; });
    TreeNode *info = model.AddDirElement(model.root(FilesRoot), "info");
    model.AddFileElement(info, "about.htm", InfoPageFile, page);
    TreeNode *theme = model.AddDirElement(model.root(TexturesRoot), "Theme");
    model.AddFileElement(theme, "Theme.txt", TextureListFile, "/nowhere/Theme.txt");
    model.AddFileElement(model.root(IconsRoot), "isle.tga", LevelIconFile, "/nowhere/isle.tga");
    model.AddMap();

    const test::PackRun result = run({"info", saved("p.mpr")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    const QString out = QString::fromUtf8(result.out);
    const QString staging = app.path() + "/iscc/maplists/";
    EXPECT_TRUE(out.contains("Pack name: Island Pack\n"));
    EXPECT_TRUE(out.contains("  [htmlenglish]=  (link)\n"));
    EXPECT_TRUE(out.contains("  1. New map\n"));
    EXPECT_TRUE(out.contains("\n    1    New map pack.mpl  (file, kind -1)  pack file 1.tmp from " + staging
                             + "New map pack.mpl to launcher maplists\\\n"))
        << qPrintable(out);
    EXPECT_TRUE(out.contains("\n    2    info  (folder)\n"));
    EXPECT_TRUE(out.contains("\n    3      about.htm  (file, kind 2)  pack file 3.tmp from " + page
                             + " to launcher maplists\\info\\\n"));
    EXPECT_TRUE(out.contains("\n    4  Maps  (group {maps})\n"));
    EXPECT_TRUE(out.contains("\n   10      Theme.txt  (file, kind -1)  pack file 10.tmp from " + staging
                             + "Theme.txt to game data\\maps\\Theme\\\n"));
    EXPECT_TRUE(out.contains("isle.tga  (file, kind -1)  pack file 7.tmp from " + staging
                             + "isle.tga to game data\\frontend\\levels\\\n"));
}

// Release scripts go by the exit status: errors fail, warnings only with --strict; each finding
// is one line, with the summary last.
TEST_F(ProjectCommands, CheckExitsByWhatTheReviewFinds)
{
    model.AddMap();
    const QString map = file("arena.xan");
    test::writeBytes(map, "map");
    model.AddFileElement(model.root(MapsRoot), "arena.xan", MapFile, map);
    model.SetMapPropertyValue(0, 3, "arena");
    test::editPack(model, [&](PackProperties &p) { p.PackPropertiesSet = true; });
    const QString clean = saved("clean.mpr");
    test::PackRun result = run({"check", clean});
    EXPECT_EQ(result.exitCode, 0) << result.out.constData() << result.err.constData();
    EXPECT_EQ(result.out, "0 error(s), 0 warning(s), 0 note(s)\n");
    EXPECT_EQ(run({"check", clean, "--strict"}).exitCode, 0);

    model.SetMapPropertyValue(0, 1, "gone.tga");
    const QString warned = saved("warned.mpr");
    result = run({"check", warned});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "warning: New map, [image]: [image] holds gone.tga, which is not in its list. "
              "Choose a value from the list, or add the file it names.\n"
              "0 error(s), 1 warning(s), 0 note(s)\n");
    EXPECT_EQ(run({"check", "--strict", warned}).exitCode, 1);

    QFile::remove(map);
    result = run({"check", warned});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.startsWith("error: Maps\\arena.xan: The source file " + map.toUtf8() + " was not found."))
        << result.out.constData();
    EXPECT_TRUE(result.out.endsWith("1 error(s), 1 warning(s), 0 note(s)\n"));

    EXPECT_EQ(run({"check", file("missing.mpr")}).exitCode, 1);
    EXPECT_EQ(run({"check"}).exitCode, 2);
    EXPECT_EQ(run({"check", warned, "--loose"}).exitCode, 2);
}

TEST_F(ProjectCommands, MapListWritesTheStagedBytes)
{
    model.SetHeaderValue(0, QString::fromUtf8("Île"));
    model.AddMap();
    const test::PackRun result = run({"maplist", saved("p.mpr")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, MapListBytes(planPack(model, QString())));
    EXPECT_TRUE(result.out.startsWith("[english]=\xCEle\r\n"));
    EXPECT_TRUE(result.err.isEmpty());
}

TEST_F(ProjectCommands, ResaveWritesTheSameBytesOrNothing)
{
    model.AddMap();
    model.AddDirElement(model.root(FilesRoot), "docs");
    const QString in = saved("in.mpr");
    test::PackRun result = run({"resave", in, file("out.mpr")});
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(test::readBytes(file("out.mpr")), test::readBytes(in));

    QByteArray cut = test::readBytes(in);
    cut.chop(20);
    test::writeBytes(file("cut.mpr"), cut);
    result = run({"resave", file("cut.mpr"), file("never.mpr")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("ends early")) << result.err.constData();
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.constData();
    EXPECT_FALSE(QFile::exists(file("never.mpr")));
}

TEST_F(ProjectCommands, FailuresExitOneAndMisuseExitsTwo)
{
    for (const char *command : {"info", "maplist"}) {
        const test::PackRun missing = run({command, file("missing.mpr")});
        EXPECT_EQ(missing.exitCode, 1) << command;
        EXPECT_TRUE(missing.err.contains("missing.mpr")) << missing.err.constData();
        EXPECT_TRUE(missing.out.isEmpty()) << command;
    }
    const QString in = saved("in.mpr");
    EXPECT_EQ(run({"resave", in, file("no/such/folder/out.mpr")}).exitCode, 1);

    EXPECT_EQ(run({"info"}).exitCode, 2);
    EXPECT_EQ(run({"maplist", in, in}).exitCode, 2);
    EXPECT_EQ(run({"resave", in}).exitCode, 2);
}

// Projects travel between map makers: an escape sequence hidden in one must reach the terminal
// as text, never as a command to it.
TEST_F(ProjectCommands, InfoAndErrorsShowControlCharactersVisibly)
{
    test::editPack(model, [&](PackProperties &p) { p.PackAuthor = "Bob\x1b[2J"; });
    model.AddFileElement(model.root(FilesRoot), "x\x1b]0;owned\x07.htm", InfoPageFile, "/nowhere/x.htm");
    test::putHeaderValue(model, 1,
                         "page\x7f"
                         "31m");
    const QString project = saved("p.mpr");

    const test::PackRun info = run({"info", project});
    ASSERT_EQ(info.exitCode, 0) << info.err.constData();
    EXPECT_FALSE(info.out.contains('\x1b')) << info.out.constData();
    EXPECT_FALSE(info.out.contains('\x07'));
    EXPECT_FALSE(info.out.contains('\x7f'));
    EXPECT_TRUE(info.out.contains("Pack author: Bob\\x1b[2J\n")) << info.out.constData();
    EXPECT_TRUE(info.out.contains("x\\x1b]0;owned\\x07.htm  (file, kind -1)")) << info.out.constData();
    EXPECT_TRUE(info.out.contains("[htmlenglish]=page\\x7f31m  (link)")) << info.out.constData();

    const test::PackRun mapList = run({"maplist", project});
    EXPECT_EQ(mapList.exitCode, 1);
    EXPECT_TRUE(mapList.out.isEmpty());
    EXPECT_FALSE(mapList.err.contains('\x1b')) << mapList.err.constData();
    EXPECT_TRUE(mapList.err.contains("Bob\\x1b[2J")) << mapList.err.constData();
    EXPECT_EQ(mapList.err.count('\n'), 1) << mapList.err.constData();

    // Messages that quote a path the user gave are shown the same way.
    const test::PackRun missing = run({"info", file("gone\x1b[2J.mpr")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.contains('\x1b')) << missing.err.constData();
    EXPECT_TRUE(missing.err.contains("gone\\x1b[2J.mpr")) << missing.err.constData();
}

} // namespace
