#include "editorfixture.h"
#include "gridtesting.h"

#include "image/texturetiles.h"
#include "mappack/maplist.h"
#include "mappack/packplan.h"
#include "project/projectmodel.h"
#include "support/tgabuilder.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QScrollBar>
#include <QToolButton>

namespace tervelle::test {

namespace {

class MapsAndProperties : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        grid = widget<QTableView>("lstProperties");
    }

    void addMap() { item("mnuEditAdd")->trigger(); }
    QString mapName(int row) const
    {
        auto *maps = widget<QListView>("lstMaps");
        return maps->model()->index(row, 0).data().toString();
    }
    QString property(int row) const { return editor->project().map(0).Info.Properties[row]; }

    QTableView *grid = nullptr;
};

TEST_F(MapsAndProperties, AddingTheFirstMapSelectsItAndEnablesTheGrid)
{
    addMap();
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->selectedMap(), 0);
    EXPECT_EQ(widget<QListView>("lstMaps")->currentIndex().row(), 0);
    EXPECT_EQ(mapName(0), "New map");
    EXPECT_TRUE(grid->isEnabled());
    ASSERT_EQ(grid->model()->rowCount(), 7);
    EXPECT_EQ(cellText(grid, 5, 0), "[texture1]");
    EXPECT_TRUE(item("mnuEditDelete")->isEnabled());
    EXPECT_TRUE(item("mnuPropertiesEditAdd")->isEnabled());
    EXPECT_FALSE(item("mnuPropertiesEditDelete")->isEnabled());
}

TEST_F(MapsAndProperties, TypingTheTitleRenamesTheMapAtEveryKeystroke)
{
    addMap();
    clickCell(grid, 0, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(mapName(0), "a");
    QTest::keyClick(edit, Qt::Key_B);
    EXPECT_EQ(mapName(0), "ab");
    // The project holds what was typed before any commit.
    EXPECT_EQ(property(0), "[text]=ab");
}

// A second click on the selected cell opens its editor once no double-click can follow; when
// another map is chosen in between, nothing is edited and Qt has nothing to warn about.
TEST_F(MapsAndProperties, ClickingTheSelectedCellEditsItUnlessAnotherMapCameFirst)
{
    addMap();
    addMap();
    auto *maps = widget<QListView>("lstMaps");
    const auto editing = [this] {
        QWidget *focus = QApplication::focusWidget();
        return focus && focus != grid && grid->isAncestorOf(focus);
    };
    clickCell(grid, 0, 1);
    clickCell(grid, 0, 1);
    EXPECT_TRUE(QTest::qWaitFor(editing));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    ASSERT_FALSE(editing());

    clickCell(grid, 0, 1);
    QTest::mouseClick(maps->viewport(), Qt::LeftButton, {}, maps->visualRect(maps->model()->index(0, 0)).center());
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    EXPECT_FALSE(editing());
}

TEST_F(MapsAndProperties, LevelIconPickListOffersTheIconsAndWritesTheChoice)
{
    ProjectModel &project = projectToSetUp();
    project.AddFileElement(project.root(IconsRoot), "arctic.tga", LevelIconFile, "/nowhere/arctic.tga");
    addMap();
    clickCell(grid, 1, 1);
    auto *pick = cellEditor<QComboBox>(grid, 1);
    ASSERT_NE(pick, nullptr);
    EXPECT_EQ(pick->objectName(), "cmbProperties");
    ASSERT_EQ(pick->count(), 2);
    EXPECT_EQ(pick->itemText(0), "nolevel.tga");
    EXPECT_EQ(pick->itemText(1), "arctic.tga");
    EXPECT_EQ(pick->currentIndex(), 0);
    EXPECT_EQ(grid->rowHeight(1), 19);
    emit pick->activated(1);
    pick->setCurrentIndex(1);
    emit pick->activated(1);
    EXPECT_EQ(cellText(grid, 1, 1), "arctic.tga");
    EXPECT_EQ(property(1), "[image]=arctic.tga");

    // An icon added while the list is open shows in it.
    project.AddFileElement(project.root(IconsRoot), "beach.tga", LevelIconFile, "/nowhere/beach.tga");
    EXPECT_EQ(pick->count(), 3);
    EXPECT_EQ(pick->currentText(), "arctic.tga");
}

TEST_F(MapsAndProperties, TextTypedIntoAPickListIsKept)
{
    addMap();
    clickCell(grid, 3, 1);
    auto *pick = cellEditor<QComboBox>(grid, 3);
    ASSERT_NE(pick, nullptr);
    // Clicking the value cell hands the keyboard to the pick list.
    ASSERT_EQ(QApplication::focusWidget(), pick);
    QTest::keyClicks(pick, "arct");
    // Written as typed, so a save from a shortcut sees it.
    EXPECT_EQ(property(3), "[map]=arct");
    QTest::keyClicks(pick, "ic");
    QTest::keyClick(pick, Qt::Key_Return);
    EXPECT_EQ(property(3), "[map]=arctic");
    EXPECT_EQ(cellText(grid, 3, 1), "arctic");
    EXPECT_EQ(pick->currentText(), "arctic");
}

// Reached with the keyboard, a pick-list cell takes what is typed whole, in place of its value.
TEST_F(MapsAndProperties, TypingOverAPickListCellLosesNoKeyAndReplacesTheValue)
{
    ProjectModel &project = projectToSetUp();
    project.AddFileElement(project.root(IconsRoot), "arena.tga", LevelIconFile, "/nowhere/arena.tga");
    addMap();
    clickCell(grid, 1, 1);
    auto *pick = cellEditor<QComboBox>(grid, 1);
    ASSERT_NE(pick, nullptr);
    pick->setCurrentIndex(1);
    emit pick->activated(1);
    ASSERT_EQ(property(1), "[image]=arena.tga");

    clickCell(grid, 0, 1);
    QTest::keyClick(grid, Qt::Key_Escape);
    QTest::keyClick(grid, Qt::Key_Down);
    ASSERT_EQ(grid->currentIndex().row(), 1);
    for (const char c : {'x', 'y', 'z'})
        QTest::keyClick(QApplication::focusWidget(), c);
    EXPECT_EQ(property(1), "[image]=xyz");

    // The same with a header link just added.
    dialogs.inputAnswers.enqueue(QString("[htmlgerman]"));
    item("mnuHeaderEditAddInfo")->trigger();
    ASSERT_EQ(QApplication::focusWidget(), widget<QTableView>("lstHeader"));
    for (const char c : {'a', 'b', 'c'})
        QTest::keyClick(QApplication::focusWidget(), c);
    EXPECT_EQ(editor->project().headerRows().value(2), "[htmlgerman]=abc");
}

// Tab and Shift+Tab leave a pick list for the next cell as from any other cell (Qt warns of a
// failed edit otherwise, which fails the test).
TEST_F(MapsAndProperties, TabAndShiftTabLeaveAPickListForTheNextCell)
{
    addMap();
    clickCell(grid, 1, 1);
    ASSERT_NE(cellEditor<QComboBox>(grid, 1), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 1));
    EXPECT_EQ(QApplication::focusWidget(), cellEditor<QWidget>(grid, 2)->focusProxy());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(1, 1));
    EXPECT_EQ(property(1), "[image]=nolevel.tga");
}

TEST_F(MapsAndProperties, ArrowKeysMoveOverPickListsWithoutChangingThem)
{
    ProjectModel &project = projectToSetUp();
    project.AddFileElement(project.root(IconsRoot), "arctic.tga", LevelIconFile, "/nowhere/arctic.tga");
    addMap();
    clickCell(grid, 0, 1);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->currentIndex().row(), 1);
    ASSERT_NE(cellEditor<QComboBox>(grid, 1), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), grid);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_EQ(property(1), "[image]=nolevel.tga");
}

TEST_F(MapsAndProperties, FixedKeysAndUserPropertiesGetNoEditor)
{
    addMap();
    clickCell(grid, 1, 0);
    EXPECT_NE(grid->currentIndex(), grid->model()->index(1, 0));
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(1, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(editor->findChild<QComboBox *>("cmbProperties"), nullptr);

    // A user property named like a fixed one is still plain text.
    dialogs.inputAnswers.enqueue(QString("[image2]"));
    item("mnuPropertiesEditAdd")->trigger();
    ASSERT_EQ(grid->model()->rowCount(), 8);
    EXPECT_EQ(grid->currentIndex().row(), 7);
    EXPECT_TRUE(item("mnuPropertiesEditDelete")->isEnabled());
    clickCell(grid, 7, 1);
    EXPECT_EQ(grid->indexWidget(grid->model()->index(7, 1)), nullptr);
    EXPECT_EQ(test::panelOf<PropertiesPanel>(*editor)->valueEditorRow(), -1);
    // Its key can be renamed, but not to a key the map has.
    clickCell(grid, 7, 0);
    EXPECT_FALSE(grid->model()->setData(grid->model()->index(7, 0), "[TEXT]"));
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().value(0).contains("[TEXT]"));
    EXPECT_EQ(cellText(grid, 7, 0), "[image2]");
}

TEST_F(MapsAndProperties, NewKeyPromptCancelAddsNothingAndAnExistingKeyIsNamedAsTyped)
{
    addMap();
    item("mnuPropertiesEditAdd")->trigger(); // cancelled
    EXPECT_EQ(editor->project().map(0).Info.Properties.size(), 7);
    dialogs.inputAnswers.enqueue(QString("[MAP]"));
    item("mnuPropertiesEditAdd")->trigger();
    EXPECT_EQ(editor->project().map(0).Info.Properties.size(), 7);
    EXPECT_EQ(dialogs.messages().value(0).section(": ", 1), "Key [MAP] already exists");
}

TEST_F(MapsAndProperties, DeletingAPropertyKeepsTheFixedRows)
{
    addMap();
    dialogs.inputAnswers.enqueue(QString("[extra]=1"));
    item("mnuPropertiesEditAdd")->trigger();
    clickCell(grid, 5, 1); // the tile list on a fixed row
    item("mnuPropertiesEditDelete")->trigger();
    EXPECT_EQ(grid->model()->rowCount(), 8);
    clickCell(grid, 7, 1);
    item("mnuPropertiesEditDelete")->trigger();
    EXPECT_EQ(grid->model()->rowCount(), 7);
    EXPECT_EQ(editor->project().map(0).Info.Properties.size(), 7);
    EXPECT_EQ(editor->project().map(0).Info.ValueKinds.size(), 7);
    EXPECT_FALSE(item("mnuPropertiesEditDelete")->isEnabled());
}

TEST_F(MapsAndProperties, TileListShowsTheTilesWithTheCurrentOneChosen)
{
    addMap();
    clickCell(grid, 5, 1);
    auto *tiles = cellEditor<QComboBox>(grid, 5);
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(tiles->objectName(), "cmbPropertiesTga");
    EXPECT_EQ(tiles->count(), TileCount);
    EXPECT_EQ(tiles->currentText(), "C01");
    EXPECT_EQ(grid->rowHeight(5), 70);
    EXPECT_EQ(tiles->height(), 72);
    tiles->setCurrentIndex(tiles->findText("W64"));
    emit tiles->activated(tiles->currentIndex());
    EXPECT_EQ(property(5), "[texture1]=W64");

    // Another row: the tile row is back to the grid's height.
    clickCell(grid, 0, 1);
    EXPECT_EQ(grid->rowHeight(5), grid->rowHeight(4));
}

TEST_F(MapsAndProperties, EditorsStayOnTheirCellWhenTheGridScrollsOrItsColumnsChange)
{
    addMap();
    for (int i = 0; i < 40; ++i)
        projectToSetUp().AddMapProperty(0, QString("[extra%1]").arg(i));
    ASSERT_EQ(grid->model()->rowCount(), 47);
    clickCell(grid, 5, 1);
    auto *tiles = cellEditor<QComboBox>(grid, 5);
    ASSERT_NE(tiles, nullptr);
    grid->verticalScrollBar()->setValue(3);
    QCoreApplication::processEvents();
    const QRect cell = grid->visualRect(grid->model()->index(5, 1));
    EXPECT_EQ(tiles->geometry().topLeft(), cell.topLeft());
    grid->setColumnWidth(0, 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(tiles->x(), grid->visualRect(grid->model()->index(5, 1)).x());
    EXPECT_EQ(tiles->width(), grid->visualRect(grid->model()->index(5, 1)).width());
}

TEST_F(MapsAndProperties, AnotherMapShowsItsValueInTheOpenEditor)
{
    addMap();
    addMap();
    projectToSetUp().SetMapPropertyValue(1, 5, "A07");
    auto *maps = widget<QListView>("lstMaps");
    maps->setCurrentIndex(maps->model()->index(0, 0));
    clickCell(grid, 5, 1);
    ASSERT_EQ(cellEditor<QComboBox>(grid, 5)->currentText(), "C01");
    maps->setCurrentIndex(maps->model()->index(1, 0));
    auto *tiles = cellEditor<QComboBox>(grid, 5);
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(tiles->currentText(), "A07");
    EXPECT_EQ(test::panelOf<PropertiesPanel>(*editor)->valueEditorRow(), 5);
    EXPECT_EQ(editor->project().map(0).Info.Properties[5], "[texture1]=C01");
}

TEST_F(MapsAndProperties, TexturesFolderCommandRebuildsTheOpenTileList)
{
    const QString folder = tempPath("Themes");
    QDir().mkpath(folder + "/ThemeCamelot");
    QFile tile(tileFilePath(folder, 2 * TilesPerTheme));
    ASSERT_TRUE(tile.open(QIODevice::WriteOnly));
    tile.write(standardTga(64, 64, 32, QByteArray(64 * 64 * 4, char(0x80))));
    tile.close();

    addMap();
    clickCell(grid, 5, 1);
    dialogs.folderAnswers.enqueue(tempPath("missing"));
    item("mnuPropertiesEditTexturesDir")->trigger();
    EXPECT_TRUE(settings.TexturesDir.isEmpty());
    dialogs.folderAnswers.enqueue(folder);
    item("mnuPropertiesEditTexturesDir")->trigger();
    EXPECT_EQ(dialogs.asked.value(1).caption, "Select textures directory(Ex. /data/Themes/)");
    EXPECT_EQ(settings.TexturesDir, folder + QDir::separator());
    auto *tiles = cellEditor<QComboBox>(grid, 5);
    ASSERT_NE(tiles, nullptr);
    EXPECT_EQ(tiles->count(), TileCount);
    EXPECT_EQ(tiles->currentText(), "C01");
    EXPECT_FALSE(test::panelOf<PropertiesPanel>(*editor)->tiles().thumbnail(2 * TilesPerTheme).isNull());
    EXPECT_TRUE(test::panelOf<PropertiesPanel>(*editor)->tiles().thumbnail(0).isNull());
}

TEST_F(MapsAndProperties, ScriptListAppendsOrStartsTheValue)
{
    ProjectModel &project = projectToSetUp();
    project.AddFileElement(project.root(ScriptsRoot), "arena.lua", ScriptFile, "/nowhere/arena.lua");
    addMap();
    clickCell(grid, 2, 1);
    auto *button = editor->findChild<QToolButton *>("cmdScripts");
    auto *list = editor->findChild<QListWidget *>("lstScripts");
    ASSERT_NE(button, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(button->isVisible());
    EXPECT_FALSE(list->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), "arena");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(property(2), "[scripts]=stdvs,wormpot,wormpot.lua");
    EXPECT_FALSE(list->isVisible());

    auto *edit = cellEditor<QWidget>(grid, 2)->findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    edit->clear();
    emit edit->textEdited(QString());
    EXPECT_EQ(property(2), "[scripts]=");
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(property(2), "[scripts]=arena");
}

TEST_F(MapsAndProperties, EightyNinthMapStopsAddUntilOneGoesAlsoAfterOpen)
{
    ProjectModel &project = projectToSetUp();
    for (int i = 0; i < MaxMaps - 1; ++i)
        project.AddMap();
    EXPECT_TRUE(item("mnuEditAdd")->isEnabled());
    addMap();
    EXPECT_EQ(project.mapCount(), MaxMaps);
    EXPECT_FALSE(item("mnuEditAdd")->isEnabled());

    const QString path = tempPath("full.mpr");
    dialogs.saveAnswers.enqueue(path);
    item("mnuFileSaveProject")->trigger();
    item("mnuFileNew")->trigger();
    EXPECT_TRUE(item("mnuEditAdd")->isEnabled());
    dialogs.openAnswers.enqueue({path});
    item("mnuFileOpen")->trigger();
    ASSERT_EQ(project.mapCount(), MaxMaps);
    EXPECT_FALSE(item("mnuEditAdd")->isEnabled());

    auto *maps = widget<QListView>("lstMaps");
    maps->setCurrentIndex(maps->model()->index(3, 0));
    item("mnuEditDelete")->trigger();
    EXPECT_TRUE(item("mnuEditAdd")->isEnabled());
}

TEST_F(MapsAndProperties, DeletingTheMapLeavesNoMapCurrent)
{
    addMap();
    addMap();
    clickCell(grid, 5, 1);
    item("mnuEditDelete")->trigger();
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->selectedMap(), -1);
    EXPECT_FALSE(widget<QListView>("lstMaps")->currentIndex().isValid());
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_FALSE(grid->isEnabled());
    EXPECT_EQ(test::panelOf<PropertiesPanel>(*editor)->valueEditorRow(), -1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(editor->findChild<QComboBox *>("cmbPropertiesTga"), nullptr);
    EXPECT_FALSE(item("mnuEditDelete")->isEnabled());
    // Nothing is deleted twice.
    item("mnuEditDelete")->trigger();
    EXPECT_EQ(editor->project().mapCount(), 1);
}

TEST_F(MapsAndProperties, RepeatedKeysShowAndKeepEveryRow)
{
    TMapInfo info = ProjectModel::defaultMapInfo();
    info.Properties << "[extra]=1"
                    << "[EXTRA]=2";
    info.ValueKinds << TextValue << ValueKind(9); // a kind this editor does not know is plain text
    projectToSetUp().appendMap("Twice", info);
    auto *maps = widget<QListView>("lstMaps");
    maps->setCurrentIndex(maps->model()->index(0, 0));
    ASSERT_EQ(grid->model()->rowCount(), 9);
    clickCell(grid, 8, 1);
    EXPECT_EQ(grid->indexWidget(grid->model()->index(8, 1)), nullptr);
    EXPECT_TRUE(grid->model()->setData(grid->model()->index(8, 1), "3"));
    EXPECT_EQ(property(7), "[extra]=1");
    EXPECT_EQ(property(8), "[EXTRA]=3");
}

TEST_F(MapsAndProperties, FileNewClosesEveryEditor)
{
    addMap();
    clickCell(grid, 5, 1);
    auto *header = widget<QTableView>("lstHeader");
    clickCell(header, 1, 1);
    ASSERT_NE(editor->findChild<QComboBox *>("cmbHeader"), nullptr);
    item("mnuFileNew")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // closed editors go
    EXPECT_EQ(editor->findChild<QComboBox *>("cmbHeader"), nullptr);
    EXPECT_EQ(editor->findChild<QComboBox *>("cmbPropertiesTga"), nullptr);
    EXPECT_EQ(test::panelOf<PropertiesPanel>(*editor)->valueEditorRow(), -1);
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->valueEditorRow(), -1);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    // A row of the same place in the next project opens normally.
    addMap();
    clickCell(grid, 5, 1);
    EXPECT_NE(cellEditor<QComboBox>(grid, 5), nullptr);
    EXPECT_EQ(grid->rowHeight(5), 70);
}

TEST_F(MapsAndProperties, APickListDropsDownAsWideAsItsLongestItem)
{
    ProjectModel &project = projectToSetUp();
    const QString longName = QStringLiteral("an_icon_with_a_long_descriptive_name_for_the_desert_level.tga");
    project.AddFileElement(project.root(IconsRoot), longName, LevelIconFile, "/nowhere/long.tga");
    addMap();
    clickCell(grid, 1, 1);
    auto *pick = cellEditor<QComboBox>(grid, 1);
    ASSERT_NE(pick, nullptr);
    pick->showPopup();
    QWidget *popup = pick->view()->window();
    ASSERT_TRUE(popup->isVisible());
    const int needed = pick->view()->fontMetrics().horizontalAdvance(longName);
    EXPECT_LT(pick->width(), needed);
    EXPECT_GE(pick->view()->viewport()->width(), needed);
    pick->hidePopup();

    // The script list that "+" drops below the scripts value too.
    const QString longScript = QStringLiteral("a_script_with_a_long_descriptive_name_for_the_desert.lua");
    project.AddFileElement(project.root(ScriptsRoot), longScript, ScriptFile, "/nowhere/long.lua");
    clickCell(grid, 2, 1);
    auto *plus = editor->findChild<QToolButton *>("cmdScripts");
    ASSERT_NE(plus, nullptr);
    plus->click();
    auto *scripts = editor->findChild<QListWidget *>("lstScripts");
    ASSERT_NE(scripts, nullptr);
    ASSERT_TRUE(scripts->isVisible());
    EXPECT_GE(scripts->viewport()->width(),
              scripts->fontMetrics().horizontalAdvance(
                  QStringLiteral("a_script_with_a_long_descriptive_name_for_the_desert")));
    EXPECT_FALSE(scripts->horizontalScrollBar()->isVisible());
}

// Duplicate and Move reorder the maps the map list and the installer take, and keep the moved
// map chosen with its grid edits.
TEST_F(MapsAndProperties, DuplicateAndMoveReorderTheMapList)
{
    ProjectModel &project = projectToSetUp();
    for (const char *name : {"A", "B", "C"}) {
        addMap();
        grid->model()->setData(grid->model()->index(0, 1), QString::fromLatin1(name));
    }
    auto *maps = widget<QListView>("lstMaps");
    maps->setCurrentIndex(maps->model()->index(1, 0));
    // An edit still in the grid goes with the copy.
    grid->model()->setData(grid->model()->index(1, 1), QStringLiteral("B.tga"));
    item("mnuEditDuplicate")->trigger();
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->selectedMap(), 2);
    EXPECT_EQ(mapName(2), "B copy");
    EXPECT_EQ(project.map(2).Info.Properties[1], project.map(1).Info.Properties[1]);
    EXPECT_EQ(project.map(2).Info.ValueKinds, project.map(1).Info.ValueKinds);

    maps->setFocus();
    QTest::keyClick(maps, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->selectedMap(), 1);
    item("mnuEditMoveDown")->trigger();
    item("mnuEditMoveDown")->trigger();
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->selectedMap(), 3);
    EXPECT_FALSE(item("mnuEditMoveDown")->isEnabled());
    EXPECT_TRUE(maps->selectionModel()->isSelected(maps->model()->index(3, 0)));
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "B copy");

    const QString order = QString::fromLatin1(MapListBytes(planPack(project, QString())));
    QStringList titles;
    for (const QString &line : order.split("\r\n")) {
        if (line.startsWith("[text]="))
            titles << line.mid(7);
    }
    EXPECT_EQ(titles, (QStringList{"A", "B", "C", "B copy"}));
}

} // namespace

} // namespace tervelle::test
