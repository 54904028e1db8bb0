// A map maker's road through the files panels: a folder of resources collected, placed by
// dragging, a folder made for the pages, the project saved and opened again.

#include "filesfixture.h"

#include "support/tgabuilder.h"

#include <QApplication>
#include <QTreeView>

namespace tervelle::test {
namespace {

class FilesRoad : public FilesTest
{
protected:
    static QByteArray gradientTga(int side)
    {
        QByteArray pixels;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x)
                pixels.append(char(40 + 4 * y)).append(char(200 - 3 * x)).append(char(60 + 4 * x));
        }
        return standardTga(side, side, 24, pixels);
    }
};

TEST_F(FilesRoad, CollectedFilesPlacedByDraggingSurviveSaveAndOpen)
{
    makeFile("pack/level.xan", "map");
    makeFile("pack/icons/level.tga", gradientTga(48));
    makeFile("pack/scripts/level.lua", "-- script");
    makeFile("pack/pages/about.htm", "<html></html>");
    dialogs.folderAnswers.enqueue(tempPath("pack"));
    untilScansEnd([this] { item("mnuResourcesEditAddSubDirs")->trigger(); });
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
    EXPECT_EQ(root(IconsRoot)->child(0)->Info().Path, tempPath("pack/icons/level.tga"));
    pages = childNamed(root(FilesRoot), "Pages");
    ASSERT_TRUE(pages);
    ASSERT_EQ(childNames(pages), QStringList({"about.htm"}));
    EXPECT_EQ(pages->child(0)->ImageIndex(), FirstFileImage + InfoPageFile);
    // New emptied the resources list; the opened tree takes drops as the new one did.
    EXPECT_TRUE(resourceNames().isEmpty());
    addResources({tempPath("pack/level.xan")});
    selectResources({"level.xan"});
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::No);
    EXPECT_TRUE(dragOntoNode(root(MapsRoot), true));
    EXPECT_EQ(dialogs.asked.last().kind, "replace");

    const QString shots = qEnvironmentVariable("TERVELLE_SHOTS_DIR");
    if (shots.isEmpty())
        return;
    dialogs.folderAnswers.enqueue(tempPath("pack"));
    untilScansEnd([this] { item("mnuResourcesEditAddSubDirs")->trigger(); });
    selectResources({"level.tga", "about.htm"});
    clickNode(root(IconsRoot)->child(0));
    QApplication::processEvents();
    editor->grab().save(shots + "/files.png");
}

} // namespace
} // namespace tervelle::test
