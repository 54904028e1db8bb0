// The files tree through the window: what each group takes, the replace question, folders,
// deleting, and drops of resource rows.

#include "filesfixture.h"

#include "project/keyvalue.h"
#include "project/picklists.h"
#include "project/projectfile.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/filestreemodel.h"

#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QUrl>

namespace tervelle::test {
namespace {

class Files : public FilesTest
{
protected:
    static int fileType(const TreeNode *node) { return fileTypeOfImage(node->ImageIndex()); }

    int replaceQuestions() const
    {
        int questions = 0;
        for (const auto &asked : dialogs.asked)
            questions += asked.kind == "replace";
        return questions;
    }

    // Collects files of these names (each in its own folder, so the names may differ only in
    // case) and selects them all.
    void collect(const QStringList &names)
    {
        QStringList paths;
        for (int i = 0; i < names.size(); ++i)
            paths.append(makeFile(QStringLiteral("res%1/%2").arg(i).arg(names[i])));
        addResources(paths);
    }
};

TEST_F(Files, EachGroupTakesItsOwnKindOfFile)
{
    collect(
        {"a.xan", "B.XAN", "page.htm", "PAGE.HTM", "list.mpl", "LIST.MPL", "StdLib.lua", "WORMPOT.LUA", "mylib.lua"});
    const QStringList all = resourceNames();

    addToNode(root(MapsRoot), all);
    EXPECT_EQ(childNames(root(MapsRoot)), QStringList({"a.xan"}));
    EXPECT_EQ(fileType(root(MapsRoot)->child(0)), MapFile);

    addToNode(root(ScriptsRoot), all);
    EXPECT_EQ(childNames(root(ScriptsRoot)), QStringList({"mylib.lua"}));
    EXPECT_EQ(fileType(root(ScriptsRoot)->child(0)), ScriptFile);

    const int before = root(FilesRoot)->childCount(); // the map list node
    addToNode(root(FilesRoot), {"B.XAN", "page.htm", "list.mpl", "LIST.MPL"});
    EXPECT_EQ(childNames(root(FilesRoot)).mid(before), QStringList({"B.XAN", "page.htm"}));
    EXPECT_EQ(fileType(childNamed(root(FilesRoot), "B.XAN")), PlainFile);
    EXPECT_EQ(fileType(childNamed(root(FilesRoot), "page.htm")), InfoPageFile);
    // The extension decides exactly: the same page spelled in capitals is a plain file.
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::Yes);
    addToNode(root(FilesRoot), {"PAGE.HTM"});
    EXPECT_EQ(childNames(root(FilesRoot)).mid(before), QStringList({"B.XAN", "PAGE.HTM"}));
    EXPECT_EQ(fileType(childNamed(root(FilesRoot), "PAGE.HTM")), PlainFile);
    // Passed-over resources give no message.
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(Files, ReplaceAsksOnceForYesToAllMovesTheNodesLastAndAsksAgainNextTime)
{
    collect({"A.tga", "B.tga", "c.tga"});
    addToNode(root(IconsRoot), resourceNames());
    collect({"a.tga", "b.tga"});
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::YesToAll);
    addToNode(root(IconsRoot), {"a.tga", "b.tga"});

    EXPECT_EQ(replaceQuestions(), 1);
    EXPECT_EQ(dialogs.asked.last().text, "File a.tga already exists.\nDo you want to replace it?");
    EXPECT_EQ(childNames(root(IconsRoot)), QStringList({"c.tga", "a.tga", "b.tga"}));
    EXPECT_EQ(root(IconsRoot)->child(1)->Info().Path, tempPath("res0/a.tga"));

    dialogs.replaceAnswers.enqueue(ReplaceAnswer::No);
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::Yes);
    addToNode(root(IconsRoot), {"A.tga", "B.tga"});
    EXPECT_EQ(replaceQuestions(), 3);
    EXPECT_EQ(childNames(root(IconsRoot)), QStringList({"c.tga", "a.tga", "B.tga"}));
    EXPECT_TRUE(dialogs.replaceAnswers.isEmpty());
}

// The replace questions open before anything is added: the timed recovery copy, which may be
// written while a question waits, holds the project as it was before the command.
TEST_F(Files, ARecoveryCopyWrittenWhileReplaceAsksHoldsNoHalfMadeAdd)
{
    collect({"a.tga", "b.tga"});
    addToNode(root(IconsRoot), resourceNames());
    const QByteArray before = ProjectFileBytes(editor->project());
    collect({"B.tga", "c.tga", "A.tga"});
    QStringList copies;
    dialogs.whileAsking = [&](const ScriptedDialogs::Asked &asked) {
        if (asked.kind != "replace")
            return;
        editor->keepTimedCopy();
        copies = recoveryFiles();
    };
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::Yes);
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::Yes);
    addToNode(root(IconsRoot), {"B.tga", "c.tga", "A.tga"});

    EXPECT_EQ(replaceQuestions(), 2);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readBytes(recoveryDir() + "/" + copies.first()), before);
    EXPECT_EQ(childNames(root(IconsRoot)), QStringList({"B.tga", "c.tga", "A.tga"}));
}

TEST_F(Files, RefusedResourcesAreNamedInOneMessageAfterTheRun)
{
    collect({"bad:one.txt", "good.txt", "bad?two.txt"});
    addToNode(root(FilesRoot), resourceNames());
    EXPECT_TRUE(childNamed(root(FilesRoot), "good.txt"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("bad:one.txt"));
    EXPECT_TRUE(dialogs.messages().first().contains("bad?two.txt"));
}

TEST_F(Files, AddingToAFileNodeAddsNothing)
{
    collect({"note", "x.tga"});
    addToNode(root(FilesRoot), {"note"});
    TreeNode *note = childNamed(root(FilesRoot), "note");
    ASSERT_TRUE(note);
    addToNode(note, resourceNames());
    EXPECT_EQ(note->childCount(), 0);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(Files, CreateFolderRefusesANameAnyChildHasAndCancelMakesNothing)
{
    collect({"data"});
    addToNode(root(FilesRoot), {"data"});
    const QStringList before = childNames(root(FilesRoot));

    dialogs.inputAnswers.enqueue(QStringLiteral("Data"));
    item("mnuFilesEditCreateFolder")->trigger();
    ASSERT_GE(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[dialogs.asked.size() - 2].text, "Input name of new folder|New folder");
    EXPECT_EQ(dialogs.asked.last().text, "Folder Data already exists");
    EXPECT_EQ(childNames(root(FilesRoot)), before);

    dialogs.inputAnswers.enqueue(std::nullopt);
    item("mnuFilesEditCreateFolder")->trigger();
    EXPECT_EQ(childNames(root(FilesRoot)), before);

    dialogs.inputAnswers.enqueue(QStringLiteral("Extra"));
    item("mnuFilesEditCreateFolder")->trigger();
    ASSERT_EQ(childNames(root(FilesRoot)), before + QStringList({"Extra"}));
    EXPECT_TRUE(root(FilesRoot)->child(root(FilesRoot)->childCount() - 1)->isFolder());
}

// Rename on the Files panel's Edit menu: the name rules of a new folder, one undoable step, a
// folder's path following, and the maps that named the file offered to follow it.
TEST_F(Files, RenameIsOneStepAndTheMapsThatNamedTheFileMayFollow)
{
    ProjectModel &project = projectToSetUp();
    TreeNode *arena = project.AddFileElement(root(MapsRoot), QStringLiteral("arena.xan"), MapFile,
                                             makeFile(QStringLiteral("src/arena.xan")));
    project.AddFileElement(root(MapsRoot), QStringLiteral("other.xan"), MapFile,
                           makeFile(QStringLiteral("src/other.xan")));
    project.AddMap();
    const int mapRow = FindKey(project.map(0).Info.Properties, QStringLiteral("[map]"));
    project.SetMapPropertyValue(0, mapRow, QStringLiteral("Arena"));
    const auto mapValue = [&] { return ValueOf(project.map(0).Info.Properties[mapRow]); };

    clickNode(arena);
    QAction *rename = item("mnuFilesEditRename");
    ASSERT_TRUE(rename->isEnabled());
    EXPECT_TRUE(widget<QMenu>("pmnuFilesEdit")->actions().contains(rename));
    // Another node's name, in other letters, and a name no file can have: refused.
    for (const char *bad : {"OTHER.xan", "a:b.xan"}) {
        dialogs.inputAnswers.enqueue(QString::fromLatin1(bad));
        rename->trigger();
        EXPECT_EQ(arena->Text(), QStringLiteral("arena.xan"));
        EXPECT_EQ(dialogs.asked.last().kind, QStringLiteral("message"));
    }

    dialogs.inputAnswers.enqueue(QStringLiteral("desert.xan"));
    dialogs.yesNoAnswers.enqueue(true);
    rename->trigger();
    EXPECT_EQ(dialogs.asked.last().kind, QStringLiteral("yesno"));
    EXPECT_EQ(arena->Text(), QStringLiteral("desert.xan"));
    EXPECT_EQ(mapValue(), QStringLiteral("desert"));
    item("mnuEditUndo")->trigger();
    EXPECT_EQ(arena->Text(), QStringLiteral("arena.xan"));
    EXPECT_EQ(mapValue(), QStringLiteral("Arena"));

    // A folder's path and those below it follow its name.
    TreeNode *info = project.AddDirElement(root(FilesRoot), QStringLiteral("info"));
    TreeNode *deep = project.AddDirElement(info, QStringLiteral("a"));
    clickNode(info);
    dialogs.inputAnswers.enqueue(QStringLiteral("web"));
    rename->trigger();
    EXPECT_EQ(info->Text(), QStringLiteral("web"));
    EXPECT_EQ(deep->Info().Path, QStringLiteral("{files}\\web\\a\\"));
    clickNode(root(FilesRoot));
    EXPECT_FALSE(rename->isEnabled());
}

TEST_F(Files, CommandsFollowTheSelectedNode)
{
    QAction *create = item("mnuFilesEditCreateFolder");
    QAction *remove = item("mnuFilesEditDelete");
    FilesPanel *files = test::panelOf<FilesPanel>(*editor);
    for (int group = 0; group < RootCount; ++group) {
        clickNode(root(RootGroup(group)));
        EXPECT_EQ(files->selectedNodeKind(), group);
        EXPECT_FALSE(remove->isEnabled()) << group;
        EXPECT_EQ(create->isEnabled(), group == FilesRoot || group == TexturesRoot) << group;
        remove->trigger();
    }
    clickNode(editor->project().MapListNode());
    EXPECT_EQ(files->selectedNodeKind(), 13);
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(create->isEnabled());
    remove->trigger();
    for (int group = 0; group < RootCount; ++group)
        EXPECT_EQ(editor->project().tree().topLevel(group), root(RootGroup(group)));
    EXPECT_TRUE(editor->project().MapListNode());

    dialogs.inputAnswers.enqueue(QStringLiteral("Sub"));
    clickNode(root(TexturesRoot));
    create->trigger();
    TreeNode *sub = childNamed(root(TexturesRoot), "Sub");
    ASSERT_TRUE(sub);
    clickNode(sub);
    EXPECT_EQ(files->selectedNodeKind(), 0);
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_TRUE(create->isEnabled());
}

TEST_F(Files, DeleteTakesTheWholeSubtreeAndTheSelectionMovesOn)
{
    clickNode(root(FilesRoot));
    dialogs.inputAnswers.enqueue(QStringLiteral("Outer"));
    item("mnuFilesEditCreateFolder")->trigger();
    TreeNode *outer = childNamed(root(FilesRoot), "Outer");
    ASSERT_TRUE(outer);
    collect({"inside.txt", "after.txt"});
    addToNode(outer, {"inside.txt"});
    addToNode(root(FilesRoot), {"after.txt"});
    const int nodes = editor->project().tree().count();

    clickNode(outer);
    item("mnuFilesEditDelete")->trigger();
    EXPECT_FALSE(childNamed(root(FilesRoot), "Outer"));
    EXPECT_EQ(editor->project().tree().count(), nodes - 2);
    const TreeNode *now = test::panelOf<FilesPanel>(*editor)->selectedNode();
    ASSERT_TRUE(now);
    EXPECT_EQ(test::panelOf<FilesPanel>(*editor)->selectedNodeKind(), nodeKindOf(editor->project(), now));
}

TEST_F(Files, DropsGoToGroupsAndFoldersOnlyAndTakeTheGroupsFilter)
{
    collect({"a.tga", "b.lua", "c.txt"});
    selectResources(resourceNames());
    EXPECT_TRUE(dragOntoNode(root(IconsRoot), true));
    EXPECT_EQ(childNames(root(IconsRoot)), QStringList({"a.tga"}));

    // The icon now lies under the pointer: a file node takes no drop.
    selectResources(resourceNames());
    EXPECT_FALSE(dragOntoNode(root(IconsRoot)->child(0), true));
    EXPECT_EQ(root(IconsRoot)->child(0)->childCount(), 0);
    EXPECT_EQ(test::panelOf<FilesPanel>(*editor)->selectedNode(), root(IconsRoot)->child(0));

    // Over empty space nothing is selected and nothing is added.
    const int nodes = editor->project().tree().count();
    QTreeView *tree = test::panelOf<FilesPanel>(*editor)->list();
    std::unique_ptr<QMimeData> data(resourceDrag());
    EXPECT_FALSE(dragOnto(treeViewport(), QPoint(5, tree->viewport()->height() - 2), data.get(), true));
    EXPECT_EQ(editor->project().tree().count(), nodes);
    EXPECT_FALSE(test::panelOf<FilesPanel>(*editor)->selectedNode());
}

TEST_F(Files, WhenNothingFitsTheNodeSaysWhatItTakesAndRefusesTheDrop)
{
    collect({"b.lua", "c.txt"});
    selectResources(resourceNames());
    EXPECT_FALSE(dragOntoNode(root(IconsRoot), false)) << "the pointer shows the drop would be taken";
    addToNode(root(IconsRoot), resourceNames());
    EXPECT_EQ(root(IconsRoot)->childCount(), 0);
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().last().endsWith("Nothing was added: Level icons take .tga files."))
        << dialogs.messages().last().toStdString();

    // Some fit: they are added, and nothing needs saying.
    const qsizetype said = dialogs.messages().size();
    addToNode(root(ScriptsRoot), resourceNames());
    EXPECT_EQ(childNames(root(ScriptsRoot)), QStringList{"b.lua"});
    EXPECT_EQ(dialogs.messages().size(), said);
}

TEST_F(Files, HoveringACollapsedFolderOpensIt)
{
    clickNode(root(FilesRoot));
    dialogs.inputAnswers.enqueue(QStringLiteral("Closed"));
    item("mnuFilesEditCreateFolder")->trigger();
    TreeNode *folder = childNamed(root(FilesRoot), "Closed");
    collect({"x.txt"});
    addToNode(folder, {"x.txt"});
    QTreeView *tree = test::panelOf<FilesPanel>(*editor)->list();
    const QModelIndex index = test::panelOf<FilesPanel>(*editor)->treeModel()->indexOf(folder);
    tree->collapse(index);
    selectResources({"x.txt"});
    EXPECT_TRUE(dragOntoNode(folder, false));
    EXPECT_TRUE(tree->isExpanded(index));
    EXPECT_EQ(test::panelOf<FilesPanel>(*editor)->selectedNodeKind(), 0);
}

TEST_F(Files, TheTreeRefusesDragsFromAnywhereButItsResourcesList)
{
    collect({"a.tga"});
    selectResources({"a.tga"});
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(tempPath("res0/a.tga"))});
    EXPECT_FALSE(dragOnto(treeViewport(), nodePoint(root(IconsRoot)), &files, true));
    QMimeData forged;
    forged.setData("application/x-tervelle-resources", "someone else");
    EXPECT_FALSE(dragOnto(treeViewport(), nodePoint(root(IconsRoot)), &forged, true));
    EXPECT_EQ(root(IconsRoot)->childCount(), 0);
}

TEST_F(Files, PickListsSeeWhatWasAdded)
{
    PickLists lists(editor->project());
    QSignalSpy changed(&lists, &PickLists::listsChanged);
    QSignalSpy added(test::panelOf<FilesPanel>(*editor), &FilesPanel::resourcesAdded);
    collect({"icon.tga"});
    addToNode(root(IconsRoot), {"icon.tga"});
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(added.count(), 1);
    EXPECT_TRUE(lists.levelIcons().contains("icon.tga"));
}

TEST_F(Files, TheDeleteKeyRemovesFromTheListWithTheFocus)
{
    collect({"one.txt", "two.txt"});
    addToNode(root(FilesRoot), {"one.txt"});
    TreeNode *placed = childNamed(root(FilesRoot), "one.txt");
    ASSERT_TRUE(placed);
    editor->activateWindow();
    QTreeView *tree = widget<QTreeView>("lstFiles");
    tree->setFocus();
    clickNode(placed);
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_FALSE(childNamed(root(FilesRoot), "one.txt"));
    EXPECT_EQ(resourceNames().size(), 2);

    QTreeView *list = widget<QTreeView>("lstResources");
    list->setFocus();
    selectResources({"two.txt"});
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(resourceNames(), QStringList({"one.txt"}));
}

} // namespace
} // namespace tervelle::test
