// What a map maker met on a first try of the window: focus that chose a map, a label-menu lit
// behind a dialog, a Rename with nothing to rename, the window's face to screen readers.

#include "editorfixture.h"

#include "project/keyvalue.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "ui/appidentity.h"
#include "ui/colors.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTreeView>

namespace tervelle::test {

namespace {

class WindowCare : public EditorTest
{
protected:
    void clickLabelAndEscape(const char *label)
    {
        whileNextPopupOpen([&] { QTest::mouseClick(widget(label), Qt::LeftButton); });
        QApplication::processEvents();
    }
};

TEST_F(WindowCare, FocusFromALabelMenuChoosesNothing)
{
    ProjectModel &project = projectToSetUp();
    project.SetMapPropertyValue(project.AddMap(), 0, "Arena");
    project.AddMap();
    auto *maps = widget<QListView>("lstMaps");
    MapsPanel &mapsPanel = *test::panelOf<MapsPanel>(*editor);

    clickLabelAndEscape("mnuFile");
    EXPECT_EQ(editor->focusWidget(), maps);
    EXPECT_EQ(mapsPanel.selectedMap(), -1);
    EXPECT_FALSE(item("mnuEditDelete")->isEnabled());
    EXPECT_FALSE(maps->currentIndex().isValid());

    // Opening a project from that menu leaves nothing chosen either.
    SaveProjectFile(project, tempPath("demo.mpr"));
    clickLabelAndEscape("mnuFile");
    dialogs.openAnswers.enqueue({tempPath("demo.mpr")});
    item("mnuFileOpen")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(mapsPanel.selectedMap(), -1);
    EXPECT_FALSE(item("mnuEditDelete")->isEnabled());

    // The keyboard moving through the list chooses, and what it chose is highlighted.
    maps->setFocus();
    QTest::keyClick(maps, Qt::Key_Down);
    EXPECT_EQ(mapsPanel.selectedMap(), 0);
    EXPECT_TRUE(maps->selectionModel()->isSelected(maps->model()->index(0, 0)));
    EXPECT_TRUE(item("mnuEditDelete")->isEnabled());

    // The grids alike: focus alone picks no header row and no property.
    clickLabelAndEscape("mnuHeaderEdit");
    EXPECT_EQ(editor->focusWidget(), widget("lstHeader"));
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->selectedHeaderRow(), -1);
    clickLabelAndEscape("mnuPropertiesEdit");
    EXPECT_EQ(editor->focusWidget(), widget("lstProperties"));
    EXPECT_EQ(test::panelOf<PropertiesPanel>(*editor)->selectedProperty(), -1);
    EXPECT_FALSE(widget<QTableView>("lstProperties")->currentIndex().isValid());
}

TEST_F(WindowCare, AFocusedListWithNothingCurrentShowsWhereTheKeyboardIs)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    auto *maps = widget<QListView>("lstMaps");
    const QColor highlight = maps->palette().color(QPalette::Highlight);
    const auto corner = [&] { return maps->viewport()->grab().toImage().pixelColor(1, 1); };
    auto *header = widget<QTableView>("lstHeader");
    header->setFocus(Qt::TabFocusReason);
    EXPECT_NE(corner(), highlight);
    maps->setFocus(Qt::TabFocusReason); // the empty list of a new project
    ASSERT_TRUE(maps->hasFocus());
    EXPECT_EQ(corner(), highlight);

    // The header grid as well, until a cell is current.
    header->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(header->hasFocus());
    EXPECT_EQ(header->viewport()->grab().toImage().pixelColor(header->viewport()->width() - 2, 1), highlight);
}

TEST_F(WindowCare, ALabelMenuIsAtRestWhileItsCommandShowsADialog)
{
    auto *file = widget<LabelMenu>("mnuFile");
    QColor whileAsked;
    dialogs.whileAsking = [&](const ScriptedDialogs::Asked &) { whileAsked = file->palette().color(QPalette::Window); };
    whileNextPopupOpen([&] { QTest::mouseClick(file, Qt::LeftButton); },
                       [&](QWidget *popup) {
                           auto *menu = static_cast<QMenu *>(popup);
                           menu->setActiveAction(item("mnuFileOpen"));
                           QTest::keyClick(menu, Qt::Key_Return);
                       });
    dialogs.whileAsking = nullptr;
    ASSERT_TRUE(whileAsked.isValid()) << "the open dialog was not asked";
    EXPECT_EQ(whileAsked, toQColor(ColorMenu));
}

TEST_F(WindowCare, RenameWaitsForAResourceToRename)
{
    EXPECT_FALSE(item("mnuResourcesEditRename")->isEnabled());
    item("mnuFileNew")->trigger();
    EXPECT_FALSE(item("mnuResourcesEditRename")->isEnabled());
    EXPECT_TRUE(item("mnuResourcesEditAdd")->isEnabled());
}

// Their clients hear of a changed caption through the bridge, which asks the interface again.
TEST_F(WindowCare, ScreenReadersMeetAWindowNamedByItsCaption)
{
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(editor.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), editor->windowTitle());

    ProjectModel &project = projectToSetUp();
    project.SetHeaderValue(FindKey(project.headerRows(), QStringLiteral("[english]")), QStringLiteral("Desert pack"));
    EXPECT_TRUE(editor->windowTitle().contains("Desert pack"));
    EXPECT_EQ(window->text(QAccessible::Name), editor->windowTitle());
}

// One undo of a typed pack title sets the title once (a screen reader hears each setting), the
// panels are named after their captions, and the label-menus say that they open a menu.
TEST_F(WindowCare, ScreenReadersMeetOneTitlePerUndoNamedPanelsAndMenuButtons)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    auto *header = widget<QTableView>("lstHeader");
    const QRect cell = header->visualRect(header->model()->index(0, 1));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(header, Qt::Key_F2);
    auto *line = QApplication::focusWidget();
    ASSERT_NE(line, nullptr);
    for (const char c : {'F', 'j', 'o', 'r', 'd', 's'})
        QTest::keyClick(line, c);
    QTest::keyClick(line, Qt::Key_Return);
    QApplication::processEvents();
    struct TitleCounter : QObject
    {
        int titles = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            titles += event->type() == QEvent::WindowTitleChange;
            return false;
        }
    } counter;
    editor->installEventFilter(&counter);
    item("mnuEditUndo")->trigger();
    editor->removeEventFilter(&counter);
    EXPECT_EQ(editor->project().packTitle(), QStringLiteral("New map pack"));
    EXPECT_EQ(counter.titles, 1);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(editor.get())->text(QAccessible::Name), editor->windowTitle());

    for (const char *panel : {"pnlMaps", "pnlHeader", "pnlProperties", "pnlFiles", "pnlResources", "pnlPreview",
                              "pnlCompile", "pnlMapsMenu", "pnlFilesMenu", "pnlLeft"}) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget(panel));
        ASSERT_NE(face, nullptr) << panel;
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty()) << panel;
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(widget("pnlFiles"))->text(QAccessible::Name),
              widget<QLabel>("lblFiles")->text());
    QAccessibleInterface *edit = QAccessible::queryAccessibleInterface(widget("mnuEdit"));
    EXPECT_EQ(edit->role(), QAccessible::ButtonMenu);
    EXPECT_TRUE(edit->state().hasPopup);
}

// Qt would append a display name set for the program to every title the window manager shows.
TEST(WindowTitle, IsTheCaptionAlone)
{
    const QString name = QCoreApplication::applicationName();
    setApplicationIdentity();
    QCoreApplication::setApplicationName(QStringLiteral("Another name"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Another name"))
        << "a display name of its own is set";
    QCoreApplication::setApplicationName(name);
}

} // namespace

} // namespace tervelle::test
