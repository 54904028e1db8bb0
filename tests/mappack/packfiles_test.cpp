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
    SharedState state;
    ProjectModel model{state};
};

TEST_F(PackFiles, NewProjectStagesOnlyTheMapList)
{
    const auto entries = NumberPackFiles(model, "/opt/tervelle/");
    ASSERT_EQ(entries.size(), 7u);
    for (const auto &entry : entries)
        EXPECT_EQ(entry.IsPackFile, entry.AbsoluteIndex == 1) << entry.AbsoluteIndex;
    EXPECT_EQ(entries[1].Source, "/opt/tervelle/iscc/maplists/New map pack.mpl");
    EXPECT_EQ(NumberedName(entries[1].AbsoluteIndex), "1.tmp");
    EXPECT_EQ(entries[2].Group, MapsRoot);
    EXPECT_EQ(entries[6].Group, ScriptsRoot);
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
    EXPECT_EQ(entries[2].Node, info);
    EXPECT_FALSE(entries[2].IsPackFile);
    EXPECT_EQ(entries[3].RelativeFolder, "info\\a\\");
    EXPECT_EQ(entries[4].Source, page);
    EXPECT_EQ(entries[4].RelativeFolder, "info\\a\\");
    EXPECT_EQ(entries[5].Source, "/app/iscc/maplists/late.htm");
    EXPECT_EQ(entries[5].RelativeFolder, "");
    EXPECT_EQ(entries[6].Node, model.root(MapsRoot));
    EXPECT_EQ(entries[10].Node, themes);
    EXPECT_EQ(entries[11].Group, TexturesRoot);
    EXPECT_EQ(entries[11].RelativeFolder, "MyTheme\\");
    EXPECT_EQ(entries[11].Source, "/app/iscc/maplists/MyTheme.txt");
    EXPECT_EQ(entries[12].Group, ScriptsRoot);
}

} // namespace
