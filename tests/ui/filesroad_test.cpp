// A map maker's road through the files panels: a folder of resources collected, placed by
// dragging, a folder made for the pages, the project saved and opened again.

#include "filesfixture.h"

#include "support/tgabuilder.h"

#include <QTreeView>

namespace tervelle::test {
namespace {

class FilesRoad : public FilesTest
{
};

TEST_F(FilesRoad, CollectedFilesPlacedByDraggingSurviveSaveAndOpen)
{
    makeFile("pack/level.xan", "map");
    makeFile("pack/icons/level.tga", standardTga(2, 2, 24, repeatPixel({1, 2, 3}, 4)));
    makeFile("pack/scripts/level.lua", "-- script");
    makeFile("pack/pages/about.htm", "<html></html>");
    dialogs.folderAnswers.enqueue(tempPath("pack"));
    item("mnuResourcesEditAddSubDirs")->trigger();
    ASSERT_EQ(resourceNames().size(), 4);

    // Everything dragged onto each group: each takes its own kind.
    for (RootGroup group : {MapsRoot, IconsRoot, ScriptsRoot}) {
        selectResources(resourceNames());
        EXPECT_TRUE(dragOntoNode(root(group), true)) << group;
    }
    clickNode(root(FilesRoot));
    dialogs.inputAnswers.enqueue(QStringLiteral("Pages"));
    item("mnuFilesEditCreateFolder")->trigger();
    TreeNode *pages = childNamed(root(FilesRoot), "Pages");
    ASSERT_TRUE(pages);
    selectResources({"about.htm"});
    EXPECT_TRUE(dragOntoNode(pages, true));
    ASSERT_EQ(childNames(pages), QStringList({"about.htm"}));

    const QString project = tempPath("road.mpr");
    dialogs.saveAnswers.enqueue(project);
    item("mnuFileSaveProject")->trigger();
    item("mnuFileNew")->trigger();
    EXPECT_EQ(root(MapsRoot)->childCount(), 0);
    dialogs.openAnswers.enqueue({project});
    item("mnuFileOpen")->trigger();
    ASSERT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("\n").toStdString();

    EXPECT_EQ(childNames(root(MapsRoot)), QStringList({"level.xan"}));
    EXPECT_EQ(childNames(root(IconsRoot)), QStringList({"level.tga"}));
    EXPECT_EQ(childNames(root(ScriptsRoot)), QStringList({"level.lua"}));
    EXPECT_EQ(root(IconsRoot)->child(0)->Info.Path, tempPath("pack/icons/level.tga"));
    pages = childNamed(root(FilesRoot), "Pages");
    ASSERT_TRUE(pages);
    ASSERT_EQ(childNames(pages), QStringList({"about.htm"}));
    EXPECT_EQ(pages->child(0)->ImageIndex, FirstFileImage + InfoPageFile);
    // New emptied the resources list; the opened tree takes drops as the new one did.
    EXPECT_TRUE(resourceNames().isEmpty());
    addResources({tempPath("pack/level.xan")});
    selectResources({"level.xan"});
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::No);
    EXPECT_TRUE(dragOntoNode(root(MapsRoot), true));
    EXPECT_EQ(dialogs.asked.last().kind, "replace");
}

} // namespace
} // namespace tervelle::test
