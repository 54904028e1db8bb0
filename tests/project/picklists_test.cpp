#include "project/picklists.h"
#include "project/projectmodel.h"
#include "support/testsupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

class PickListsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        model.NewFile();
    }

    TreeNode *addFile(RootGroup group, const QString &name, int type)
    {
        return model.AddFileElement(model.root(group), name, type, "/src/" + name);
    }

    Settings settings;
    ProjectModel model;
    PickLists lists{model};
};

TEST_F(PickListsTest, PropertyListsComeFromTheirGroupsInTreeOrder)
{
    addFile(IconsRoot, "Zed.TGA", LevelIconFile);
    addFile(IconsRoot, "icon.tga", LevelIconFile);
    addFile(MapsRoot, "cave.xan", MapFile);
    addFile(MapsRoot, "two.dots.xan", MapFile);
    addFile(MapsRoot, "noext", MapFile);
    addFile(TexturesRoot, "mine.txt", TextureListFile);
    model.AddDirElement(model.root(TexturesRoot), "Folder");
    addFile(FilesRoot, "elsewhere.tga", PlainFile);

    EXPECT_EQ(lists.levelIcons(), QStringList({"nolevel.tga", "Zed.TGA", "icon.tga"}));
    EXPECT_EQ(lists.mapFiles(), QStringList({"cave", "two.dots", "noext"}));
    EXPECT_EQ(lists.textureLists(),
              QStringList({"ThemeArabian\\ThemeArabian.txt", "ThemeBuilding\\ThemeBuilding.txt",
                           "ThemeCamelot\\ThemeCamelot.txt", "ThemePrehistoric\\ThemePrehistoric.txt",
                           "ThemeWildwest\\ThemeWildwest.txt", "mine.txt", "Folder"}));
    EXPECT_EQ(lists.itemsFor(LevelIconValue), lists.levelIcons());
    EXPECT_EQ(lists.itemsFor(MapFileValue), lists.mapFiles());
    EXPECT_EQ(lists.itemsFor(TextureListValue), lists.textureLists());
    EXPECT_TRUE(lists.itemsFor(TextValue).isEmpty());
    EXPECT_TRUE(lists.itemsFor(ScriptsValue).isEmpty());
    EXPECT_TRUE(lists.itemsFor(TextureTileValue).isEmpty());
}

TEST_F(PickListsTest, ScriptsAreNamedWithoutExtensionAfterTheTwoStandardOnes)
{
    EXPECT_EQ(lists.scripts(), QStringList({"stdvs.lua", "wormpot.lua"}));
    addFile(ScriptsRoot, "mylib.lua", ScriptFile);
    addFile(ScriptsRoot, "more.v2.lua", ScriptFile);
    EXPECT_EQ(lists.scripts(), QStringList({"stdvs.lua", "wormpot.lua", "mylib", "more.v2"}));
}

TEST_F(PickListsTest, AChosenScriptIsAppendedAfterAComma)
{
    EXPECT_EQ(PickLists::withScript("stdvs,wormpot", "wormpot.lua"), "stdvs,wormpot,wormpot.lua");
    EXPECT_EQ(PickLists::withScript("", "mylib"), "mylib");
    EXPECT_EQ(PickLists::withScript("mylib", "mylib"), "mylib,mylib");
}

TEST_F(PickListsTest, HeaderLinksWalkTheFilesGroupWithBackslashedFolders)
{
    EXPECT_EQ(lists.headerLinks(), QStringList({"New map pack.mpl"}));

    TreeNode *info = model.AddDirElement(model.root(FilesRoot), "info");
    addFile(FilesRoot, "after.htm", InfoPageFile);
    model.AddFileElement(info, "page.htm", InfoPageFile, "/src/page.htm");
    TreeNode *deeper = model.AddDirElement(info, "deeper");
    model.AddFileElement(deeper, "pic.tga", PlainFile, "/src/pic.tga");
    model.AddFileElement(info, "last.html", InfoPageFile, "/src/last.html");
    model.AddDirElement(model.root(FilesRoot), "empty");
    addFile(IconsRoot, "icon.tga", LevelIconFile); // other groups are not linked

    EXPECT_EQ(
        lists.headerLinks(),
        QStringList({"New map pack.mpl", "info\\page.htm", "info\\deeper\\pic.tga", "info\\last.html", "after.htm"}));
}

TEST_F(PickListsTest, ListsTellWhenTheTreeChangesWhatTheyShow)
{
    QSignalSpy changed(&lists, &PickLists::listsChanged);
    TreeNode *icon = addFile(IconsRoot, "icon.tga", LevelIconFile);
    EXPECT_EQ(changed.count(), 1);
    model.RenameNode(icon, "other.tga");
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(lists.levelIcons(), QStringList({"nolevel.tga", "other.tga"}));
    model.DeleteNode(icon);
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(lists.levelIcons(), QStringList({"nolevel.tga"}));

    // Anything under {files} can be a link; a file inside a folder of a property group is not
    // listed, so it changes nothing.
    TreeNode *folder = model.AddDirElement(model.root(FilesRoot), "f");
    model.AddFileElement(folder, "p.htm", InfoPageFile, "/p.htm");
    EXPECT_EQ(changed.count(), 5);
    TreeNode *mapFolder = model.AddDirElement(model.root(MapsRoot), "sub");
    EXPECT_EQ(changed.count(), 6);
    model.AddFileElement(mapFolder, "hidden.xan", MapFile, "/hidden.xan");
    EXPECT_EQ(changed.count(), 6);

    // The header's "[english]" renames the map list node, which is a link.
    model.SetHeaderValue(0, "Renamed");
    EXPECT_EQ(changed.count(), 7);
    EXPECT_EQ(lists.headerLinks().first(), "Renamed.mpl");

    model.NewFile();
    EXPECT_EQ(changed.count(), 8); // one signal for the whole new project
    EXPECT_EQ(lists.mapFiles(), QStringList());
}

TEST_F(PickListsTest, TheSelectedItemMatchesTheValueIgnoringCase)
{
    const QStringList items{"nolevel.tga", "Icon.TGA", "icon.tga"};
    EXPECT_EQ(PickLists::indexOfValue(items, "icon.tga"), 1);
    EXPECT_EQ(PickLists::indexOfValue(items, "NOLEVEL.TGA"), 0);
    EXPECT_EQ(PickLists::indexOfValue(items, "icon"), -1);
    EXPECT_EQ(PickLists::indexOfValue({}, ""), -1);
}

} // namespace
