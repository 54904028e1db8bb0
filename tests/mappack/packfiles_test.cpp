#include "mappack/packfiles.h"
#include "support/testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

class PackFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        model.NewFile();
    }
    Settings settings;
    ProjectModel model;
};

TEST_F(PackFiles, NewProjectStagesOnlyTheMapList)
{
    const auto entries = NumberPackFiles(model, "/opt/tervelle/");
    ASSERT_EQ(entries.size(), 7u);
    for (const auto &entry : entries)
        EXPECT_EQ(entry.isPackFile, entry.absoluteIndex == 1) << entry.absoluteIndex;
    EXPECT_EQ(entries[1].source(), "/opt/tervelle/iscc/maplists/New map pack.mpl");
    EXPECT_EQ(NumberedName(entries[1].absoluteIndex), "1.tmp");
    EXPECT_EQ(entries[2].group, MapsRoot);
    EXPECT_EQ(entries[6].group, ScriptsRoot);
}

TEST_F(PackFiles, NewFilesRenumberEverythingAfterThem)
{
    QTemporaryDir disk;
    const QString page = disk.filePath("about.htm");
    test::writeBytes(page, "x");
    TreeNode *info = model.AddDirElement(model.root(FilesRoot), "info");
    TreeNode *a = model.AddDirElement(info, "a");
    model.AddFileElement(a, "about.htm", InfoPageFile, page);
    model.AddFileElement(model.root(FilesRoot), "late.htm", InfoPageFile, disk.filePath("late.htm"));
    TreeNode *themes = model.AddDirElement(model.root(TexturesRoot), "MyTheme");
    model.AddFileElement(themes, "MyTheme.txt", TextureListFile, "/missing/MyTheme.txt");

    const auto entries = NumberPackFiles(model, "/app/");
    ASSERT_EQ(entries.size(), 13u);
    EXPECT_EQ(entries[2].node, info);
    EXPECT_FALSE(entries[2].isPackFile);
    EXPECT_EQ(entries[3].relativeFolder(), "info\\a\\");
    EXPECT_EQ(entries[4].source(), page);
    EXPECT_EQ(entries[4].relativeFolder(), "info\\a\\");
    EXPECT_EQ(entries[5].source(), "/app/iscc/maplists/late.htm");
    EXPECT_EQ(entries[5].relativeFolder(), "");
    EXPECT_EQ(entries[6].node, model.root(MapsRoot));
    EXPECT_EQ(entries[10].node, themes);
    EXPECT_EQ(entries[11].group, TexturesRoot);
    EXPECT_EQ(entries[11].relativeFolder(), "MyTheme\\");
    EXPECT_EQ(entries[11].source(), "/app/iscc/maplists/MyTheme.txt");
    EXPECT_EQ(entries[12].group, ScriptsRoot);
}

} // namespace
