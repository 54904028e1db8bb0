// Undo and Redo in the window where a random walk seldom goes: typing in one cell, the pack
// title that names the map list node and the caption, and the menu the items stand in.
#include "editorfixture.h"
#include "gridtesting.h"

#include "project/projectdocument.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>

namespace tervelle::test {

namespace {

class Undo : public EditorTest
{
protected:
    void typeInCell(QTableView *grid, int row, int column, const QString &text)
    {
        if (grid->currentIndex() != grid->model()->index(row, column))
            clickCell(grid, row, column);
        grid->edit(grid->model()->index(row, column));
        auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        ASSERT_NE(line, nullptr);
        line->selectAll();
        line->insert(text);
        QTest::keyClick(line, Qt::Key_Return);
        // The editor closes once the events of Enter have run, as between a person's keystrokes.
        QApplication::processEvents();
    }

    QUndoStack &history() const { return editor->document().history(); }

    // Keys as a person presses them, each to whatever has the keyboard.
    static void press(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
};

TEST_F(Undo, TypingInOneCellIsOneStepUntilEnterOrLeavingTheCell)
{
    item("mnuEditAdd")->trigger();
    QTableView *grid = test::panelOf<PropertiesPanel>(*editor)->list();
    const QStringList added = editor->project().map(0).Info.Properties;
    typeInCell(grid, 0, 1, QStringLiteral("Fjord"));
    typeInCell(grid, 0, 1, QStringLiteral("Fjords"));
    EXPECT_EQ(history().count(), 3); // the map, then each typing ended by Enter
    dialogs.inputAnswers.enqueue(QStringLiteral("[note]"));
    item("mnuPropertiesEditAdd")->trigger();
    typeInCell(grid, 7, 1, QStringLiteral("cold"));
    EXPECT_EQ(history().count(), 5);

    QAction *undo = item("mnuEditUndo");
    EXPECT_EQ(undo->text(), QStringLiteral("Undo Edit property"));
    undo->trigger();
    undo->trigger();
    EXPECT_EQ(cellText(grid, 0, 1), QStringLiteral("Fjords"));
    undo->trigger();
    EXPECT_EQ(cellText(grid, 0, 1), QStringLiteral("Fjord"));
    undo->trigger();
    EXPECT_EQ(editor->project().map(0).Info.Properties, added);
    EXPECT_EQ(test::panelOf<PropertiesPanel>(*editor)->gridRows(), added);
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->list()->model()->index(0, 0).data().toString(),
              QStringLiteral("New map"));

    // Undoing the new map empties the grid; redoing brings the map back selected.
    undo->trigger();
    EXPECT_EQ(editor->project().mapCount(), 0);
    EXPECT_TRUE(test::panelOf<PropertiesPanel>(*editor)->gridRows().isEmpty());
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("Undo"));
    QAction *redo = item("mnuEditRedo");
    redo->trigger();
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->selectedMap(), 0);
    EXPECT_EQ(test::panelOf<PropertiesPanel>(*editor)->gridRows(), added);
    redo->trigger();
    EXPECT_EQ(cellText(grid, 0, 1), QStringLiteral("Fjord"));
    redo->trigger();
    EXPECT_EQ(cellText(grid, 0, 1), QStringLiteral("Fjords"));
    EXPECT_EQ(redo->text(), QStringLiteral("Redo Add property"));
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->list()->model()->index(0, 0).data().toString(),
              QStringLiteral("Fjords"));
}

// Esc gives back the value the cell had when its editing began, and leaves no step.
TEST_F(Undo, EscInAValueCellTakesBackWhatWasTypedAndLeavesNoStep)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    item("mnuEditAdd")->trigger();
    QTableView *grid = test::panelOf<PropertiesPanel>(*editor)->list();
    clickCell(grid, 0, 1);
    press(QStringLiteral("Foo"));
    ASSERT_EQ(editor->project().map(0).displayName, QStringLiteral("Foo")); // followed as typed
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(editor->project().map(0).displayName, QStringLiteral("New map"));
    EXPECT_EQ(editor->project().map(0).Info.Properties[0], QStringLiteral("[text]=New map"));
    EXPECT_EQ(cellText(grid, 0, 1), QStringLiteral("New map"));
    EXPECT_EQ(history().count(), 1);
    EXPECT_EQ(item("mnuEditUndo")->text(), QStringLiteral("Undo Add map"));
    EXPECT_FALSE(item("mnuEditRedo")->isEnabled());

    // After a saved step, Esc takes back only its own typing.
    press(QStringLiteral("Bar"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_F2);
    press(QStringLiteral("ney"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(editor->project().map(0).displayName, QStringLiteral("Bar"));
    EXPECT_EQ(history().count(), 2);
}

// An undo or redo shows what it changed: the map and its row, the map a copy came from, the
// node with its parents open.
TEST_F(Undo, UndoAndRedoSelectWhatTheyChanged)
{
    item("mnuEditAdd")->trigger();
    item("mnuEditAdd")->trigger();
    auto *maps = test::panelOf<MapsPanel>(*editor);
    QTableView *grid = test::panelOf<PropertiesPanel>(*editor)->list();
    maps->list()->setCurrentIndex(maps->list()->model()->index(0, 0));
    dialogs.inputAnswers.enqueue(QStringLiteral("[note]"));
    item("mnuPropertiesEditAdd")->trigger();
    typeInCell(grid, 7, 1, QStringLiteral("cold"));
    maps->list()->setCurrentIndex(maps->list()->model()->index(1, 0));
    clickCell(grid, 0, 1);

    item("mnuEditUndo")->trigger();
    EXPECT_EQ(maps->selectedMap(), 0);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(7, 1));
    item("mnuEditRedo")->trigger();
    EXPECT_EQ(cellText(grid, 7, 1), QStringLiteral("cold"));
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(7, 1));

    item("mnuEditDuplicate")->trigger();
    ASSERT_EQ(editor->project().mapCount(), 3);
    item("mnuEditUndo")->trigger();
    EXPECT_EQ(maps->selectedMap(), 0) << "the map the copy was made of";

    TreeNode *inner = nullptr;
    editor->document().change(QStringLiteral("Create folder"), [&](ProjectModel &project) {
        inner = project.AddDirElement(project.AddDirElement(project.root(FilesRoot), "Outer"), "Inner");
    });
    editor->document().change(QStringLiteral("Delete"), [&](ProjectModel &project) { project.DeleteNode(inner); });
    auto *tree = test::panelOf<FilesPanel>(*editor)->list();
    tree->collapseAll();
    item("mnuEditUndo")->trigger();
    const TreeNode *back = test::panelOf<FilesPanel>(*editor)->selectedNode();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Text(), QStringLiteral("Inner"));
    const QModelIndex shown = tree->currentIndex();
    EXPECT_TRUE(tree->isExpanded(shown.parent()));
    EXPECT_TRUE(tree->isExpanded(shown.parent().parent()));
}

TEST_F(Undo, ThePackTitleTakesTheMapListNodeAndTheCaptionAlong)
{
    const QString caption = editor->windowTitle();
    typeInCell(test::panelOf<HeaderPanel>(*editor)->list(), 0, 1, QStringLiteral("Fjords"));
    EXPECT_EQ(editor->project().MapListNode()->Text(), QStringLiteral("Fjords.mpl"));
    EXPECT_NE(editor->windowTitle(), caption);

    // The shortcut from the window, with no cell being typed in.
    test::panelOf<MapsPanel>(*editor)->list()->setFocus();
    QTest::keyClick(editor.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->project().packTitle(), QStringLiteral("New map pack"));
    EXPECT_EQ(editor->project().MapListNode()->Text(), QStringLiteral("New map pack.mpl"));
    EXPECT_EQ(editor->windowTitle(), caption);
    EXPECT_EQ(cellText(test::panelOf<HeaderPanel>(*editor)->list(), 0, 1), QStringLiteral("New map pack"));
    QTest::keyClick(editor.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor->project().MapListNode()->Text(), QStringLiteral("Fjords.mpl"));
    QTest::keyClick(editor.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(editor.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->project().packTitle(), QStringLiteral("Fjords"));
}

TEST_F(Undo, TheItemsEndTheMapsEditMenuAfterASeparatorAndTheDisabledPanelsStopThem)
{
    const QList<QAction *> items = widget<QMenu>("pmnuEdit")->actions();
    ASSERT_GE(items.size(), 5);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("mnuEditAdd"));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("mnuEditDelete"));
    const qsizetype end = items.size();
    EXPECT_TRUE(items[end - 3]->isSeparator());
    EXPECT_EQ(items[end - 2]->objectName(), QStringLiteral("mnuEditUndo"));
    EXPECT_EQ(items[end - 1]->objectName(), QStringLiteral("mnuEditRedo"));

    item("mnuEditAdd")->trigger();
    QAction *undo = items[end - 2];
    EXPECT_TRUE(undo->isEnabled());
    editor->PanelsChangeEnabled(false);
    EXPECT_FALSE(undo->isEnabled());
    QTest::keyClick(editor.get(), Qt::Key_Z, Qt::ControlModifier);
    editor->mnuEditUndoClick();
    EXPECT_EQ(editor->project().mapCount(), 1);
    editor->PanelsChangeEnabled(true);
    EXPECT_TRUE(undo->isEnabled());
}

} // namespace

} // namespace tervelle::test
