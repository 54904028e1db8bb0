#include "editorfixture.h"
#include "gridtesting.h"

#include "ui/editor/headerpanel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

namespace tervelle::test {

namespace {

class HeaderEditing : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        grid = widget<QTableView>("lstHeader");
    }

    QStringList items(QComboBox *combo) const
    {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    }
    const QStringList &rows() const { return editor->project().headerRows(); }

    // The pack title's value cell opened with F2, its text selected.
    QLineEdit *editTitle()
    {
        clickCell(grid, 0, 1);
        QTest::keyClick(grid, Qt::Key_F2);
        auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (edit)
            edit->selectAll();
        return edit;
    }

    QTableView *grid = nullptr;
};

TEST_F(HeaderEditing, LinkPickListListsTheFilesGroupInTreeOrder)
{
    clickCell(grid, 1, 1);
    auto *pick = cellEditor<QComboBox>(grid, 1);
    ASSERT_NE(pick, nullptr);
    EXPECT_EQ(pick->objectName(), "cmbHeader");
    EXPECT_EQ(items(pick), QStringList{"New map pack.mpl"});
    EXPECT_EQ(grid->rowHeight(1), 19);
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->valueEditorRow(), 1);

    // Files added while the list is open show at once, folders joined with "\".
    ProjectModel &project = projectToSetUp();
    TreeNode *info = project.AddDirElement(project.root(FilesRoot), "info");
    project.AddFileElement(info, "page.htm", 6, "/nowhere/page.htm");
    EXPECT_EQ(items(pick), (QStringList{"New map pack.mpl", "info\\page.htm"}));

    pick->setCurrentIndex(1);
    emit pick->activated(1);
    EXPECT_EQ(rows().value(1), "[htmlenglish]=info\\page.htm");
    EXPECT_EQ(cellText(grid, 1, 1), "info\\page.htm");

    // The title row is text: no pick list.
    clickCell(grid, 0, 1);
    EXPECT_EQ(grid->indexWidget(grid->model()->index(0, 1)), nullptr);
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->valueEditorRow(), -1);
    EXPECT_EQ(grid->rowHeight(1), grid->rowHeight(0));
}

TEST_F(HeaderEditing, TypedLinkIsWrittenOnEnter)
{
    clickCell(grid, 1, 1);
    auto *pick = cellEditor<QComboBox>(grid, 1);
    ASSERT_NE(pick, nullptr);
    ASSERT_EQ(QApplication::focusWidget(), pick);
    QTest::keyClicks(pick, "about.htm");
    QTest::keyClick(pick, Qt::Key_Return);
    EXPECT_EQ(rows().value(1), "[htmlenglish]=about.htm");
}

TEST_F(HeaderEditing, AddedLinkKeyIsSelectedWithItsPickListAndItsKeyCellKeepsTheKeyboard)
{
    dialogs.inputAnswers.enqueue(QString("[htmlgerman]"));
    item("mnuHeaderEditAddInfo")->trigger();
    ASSERT_EQ(rows().size(), 3);
    EXPECT_EQ(dialogs.asked.value(0).caption, "New link to info file");
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->selectedHeaderRow(), 2);
    EXPECT_NE(cellEditor<QComboBox>(grid, 2), nullptr);
    EXPECT_TRUE(item("mnuHeaderEditDelete")->isEnabled());

    clickCell(grid, 0, 1);
    clickCell(grid, 2, 0);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 0));
    ASSERT_NE(cellEditor<QComboBox>(grid, 2), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), grid);

    // Cancel and an empty text add nothing.
    item("mnuHeaderEditAddInfo")->trigger();
    dialogs.inputAnswers.enqueue(QString());
    item("mnuHeaderEditAdd")->trigger();
    EXPECT_EQ(rows().size(), 3);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(HeaderEditing, ExistingKeysAreNamedAsTyped)
{
    dialogs.inputAnswers.enqueue(QString("[ENGLISH]"));
    item("mnuHeaderEditAdd")->trigger();
    dialogs.inputAnswers.enqueue(QString("[HtmlEnglish]=x"));
    item("mnuHeaderEditAddInfo")->trigger();
    EXPECT_EQ(rows().size(), 2);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].endsWith("Key [ENGLISH] already exists"));
    EXPECT_TRUE(dialogs.messages()[1].contains("[HtmlEnglish]"));
}

TEST_F(HeaderEditing, FixedKeysCannotBeEditedOrDeleted)
{
    clickCell(grid, 0, 0);
    EXPECT_NE(grid->currentIndex(), grid->model()->index(0, 0));
    clickCell(grid, 1, 1);
    EXPECT_FALSE(item("mnuHeaderEditDelete")->isEnabled());
    item("mnuHeaderEditDelete")->trigger();
    EXPECT_EQ(rows().size(), 2);
}

TEST_F(HeaderEditing, DeletingTheLastRowWithItsPickListLeavesNone)
{
    dialogs.inputAnswers.enqueue(QString("[htmlgerman]"));
    item("mnuHeaderEditAddInfo")->trigger();
    ASSERT_NE(cellEditor<QComboBox>(grid, 2), nullptr);
    item("mnuHeaderEditDelete")->trigger();
    EXPECT_EQ(rows().size(), 2);
    EXPECT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->selectedHeaderRow(), 1);
    // The row now current is the other link row, and carries the pick list.
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->valueEditorRow(), 1);
    EXPECT_NE(cellEditor<QComboBox>(grid, 1), nullptr);
    EXPECT_FALSE(item("mnuHeaderEditDelete")->isEnabled());
    clickCell(grid, 0, 1);
    clickCell(grid, 1, 1);
    EXPECT_NE(cellEditor<QComboBox>(grid, 1), nullptr);
    EXPECT_EQ(grid->rowHeight(1), 19);
}

TEST_F(HeaderEditing, PackTitleFollowsEveryKeystrokeAndABadNameIsToldWhenFinished)
{
    QLineEdit *edit = editTitle();
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "Ice");
    EXPECT_EQ(editor->project().packTitle(), "Ice");
    EXPECT_EQ(editor->project().MapListNode()->Text(), "Ice.mpl");
    EXPECT_TRUE(editor->windowTitle().endsWith(" - Ice[*]"));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    QTest::keyClicks(edit, "?");
    EXPECT_TRUE(dialogs.messages().isEmpty()); // half-typed text is accepted
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("Ice?"));
    EXPECT_EQ(editor->project().packTitle(), "Ice?");
}

TEST_F(HeaderEditing, APastedLineBreakIsRefusedAndTheValueKept)
{
    QLineEdit *edit = editTitle();
    ASSERT_NE(edit, nullptr);
    edit->insert("Ice\nPeak");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().last().contains("Ice\\nPeak"));
    EXPECT_FALSE(editor->project().packTitle().contains('\n'));
    EXPECT_FALSE(cellText(grid, 0, 1).contains('\n'));
}

TEST_F(HeaderEditing, ACharacterTheCodePageLacksIsToldOnceAndLeavesTheCell)
{
    QLineEdit *edit = editTitle();
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "Ice");
    // As an input method hands it over.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("中"));
    QApplication::sendEvent(edit, &typed);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("code page")) << dialogs.messages().first().toStdString();
    EXPECT_EQ(edit->text(), "Ice");
    // Typing on is not refused again.
    QTest::keyClicks(edit, " Peak");
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(editor->project().packTitle(), "Ice Peak");
}

TEST_F(HeaderEditing, AfterNewALinkRowOpensItsPickListNormally)
{
    dialogs.inputAnswers.enqueue(QString("[htmlgerman]"));
    item("mnuHeaderEditAddInfo")->trigger();
    item("mnuFileNew")->trigger();
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->valueEditorRow(), -1);
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->selectedHeaderRow(), -1);
    EXPECT_FALSE(item("mnuHeaderEditDelete")->isEnabled());
    clickCell(grid, 1, 1);
    EXPECT_NE(cellEditor<QComboBox>(grid, 1), nullptr);
    EXPECT_EQ(grid->rowHeight(1), 19);
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        if (row != 1) {
            EXPECT_EQ(grid->rowHeight(row), grid->verticalHeader()->defaultSectionSize()) << row;
        }
    }
}

} // namespace

} // namespace tervelle::test
