#include "editorfixture.h"

#include "project/projectmodel.h"
#include "ui/colors.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"

#include <QAccessible>
#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QTest>

#include <algorithm>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

using LabelMenus = EditorTest;

TEST_F(LabelMenus, LeftClickOpensThePopupBelowTheStrip)
{
    auto *edit = widget<LabelMenu>("mnuEdit");
    const QWidget *strip = widget("pnlMapsMenu");
    QPoint at;
    bool hotWhileOpen = false;
    const QString opened = whileNextPopupOpen([&] { QTest::mouseClick(edit, Qt::LeftButton); },
                                              [&](QWidget *popup) {
                                                  at = popup->pos();
                                                  hotWhileOpen =
                                                      edit->palette().color(QPalette::Window) == toQColor(ColorMenuHot);
                                              });
    EXPECT_EQ(opened, "pmnuEdit");
    EXPECT_EQ(at, strip->mapToGlobal(QPoint(edit->x(), strip->height())));
    EXPECT_TRUE(hotWhileOpen);
    // Back at rest once the popup has closed, even with the mouse still over it.
    EXPECT_EQ(edit->palette().color(QPalette::Window), toQColor(ColorMenu));
}

TEST_F(LabelMenus, RightClickOpensNothing)
{
    for (const char *name : {"mnuFile", "mnuHeaderEdit", "mnuResourcesEdit"}) {
        auto *label = widget<LabelMenu>(name);
        EXPECT_EQ(whileNextPopupOpen([&] { QTest::mouseClick(label, Qt::RightButton); }), "") << name;
    }
}

TEST_F(LabelMenus, ARightClickOnTheConsoleOpensItsMenu)
{
    editor->findChild<QWidget *>("pnlCompile")->show();
    QWidget *console = widget("lstCompile");
    QWidget *area = console->findChild<QWidget *>("qt_scrollarea_viewport");
    ASSERT_NE(area, nullptr);
    const QString opened = whileNextPopupOpen([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), area->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(area, &event);
    });
    EXPECT_EQ(opened, "pmnuCompile");
}

TEST_F(LabelMenus, LightUpUnderTheMouse)
{
    auto *label = widget<LabelMenu>("mnuFilesEdit");
    QTest::mouseMove(label, QPoint(3, 3));
    QApplication::processEvents();
    EXPECT_EQ(label->palette().color(QPalette::Window), toQColor(ColorMenuHot));
    QTest::mouseMove(widget("lblFiles"), QPoint(3, 3));
    QApplication::processEvents();
    EXPECT_EQ(label->palette().color(QPalette::Window), toQColor(ColorMenu));
}

TEST_F(LabelMenus, AClickHidesTheConsoleAndFocusesThePanel)
{
    QWidget *console = widget("pnlCompile");
    console->show();
    bool consoleShownWhileOpen = true;
    whileNextPopupOpen([&] { QTest::mouseClick(widget("mnuFilesEdit"), Qt::LeftButton); },
                       [&](QWidget *) { consoleShownWhileOpen = console->isVisible(); });
    EXPECT_FALSE(consoleShownWhileOpen);
    EXPECT_EQ(editor->focusWidget(), widget("lstFiles"));

    // A disabled main control is left alone; the popup still opens.
    const QString opened = whileNextPopupOpen([&] { QTest::mouseClick(widget("mnuPropertiesEdit"), Qt::LeftButton); });
    EXPECT_EQ(opened, "pmnuPropertiesEdit");
    EXPECT_NE(editor->focusWidget(), widget("lstProperties"));
}

TEST_F(LabelMenus, ADisabledLabelOpensNothingAndLooksDimmed)
{
    // The darkest grey drawn: the caption's strokes.
    const auto darkest = [](QWidget *label) {
        const QImage shot = label->grab().toImage();
        int dark = 255;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                dark = std::min(dark, qGray(shot.pixel(x, y)));
        return dark;
    };
    auto *file = widget<LabelMenu>("mnuFile");
    EXPECT_LT(darkest(file), 64);
    test::panelOf<MapsPanel>(*editor)->MapMenuChangeEnabled(false);
    EXPECT_EQ(whileNextPopupOpen([&] { QTest::mouseClick(file, Qt::LeftButton); }), "");
    // The window's text is black in every state; a disabled label-menu still looks disabled.
    EXPECT_GT(darkest(file), 96);
}

TEST_F(LabelMenus, KeyboardReachesAndOpensThem)
{
    auto *file = widget<LabelMenu>("mnuFile");
    EXPECT_EQ(file->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    file->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Down}) {
        QString active;
        EXPECT_EQ(whileNextPopupOpen([&] { QTest::keyClick(file, key); },
                                     [&](QWidget *popup) {
                                         if (QAction *item = static_cast<QMenu *>(popup)->activeAction())
                                             active = item->objectName();
                                     }),
                  "pmnuFile")
            << key;
        EXPECT_EQ(active, "mnuFileNew") << key;
    }
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(file);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::ButtonMenu);
    EXPECT_EQ(accessible->text(QAccessible::Name), "File");
}

TEST_F(LabelMenus, FileAndEditCommitThePropertiesGridIntoTheSelectedMap)
{
    ProjectModel &project = projectToSetUp();
    project.AddMap();
    project.AddMap();
    // Without a selected map nothing is stored.
    test::panelOf<PropertiesPanel>(*editor)->loadGrid({"[text]=Stray"});
    whileNextPopupOpen([&] { QTest::mouseClick(widget("mnuFile"), Qt::LeftButton); });
    EXPECT_EQ(project.map(0).Info.Properties[0], "[text]=New map");
    EXPECT_EQ(project.map(1).Info.Properties[0], "[text]=New map");

    auto *maps = widget<QListView>("lstMaps");
    maps->setCurrentIndex(maps->model()->index(1, 0));
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->selectedMap(), 1);
    EXPECT_TRUE(widget("lstProperties")->isEnabled());
    EXPECT_TRUE(item("mnuEditDelete")->isEnabled());
    QStringList edited = project.map(1).Info.Properties;
    edited[3] = "[map]=arctic.xan";
    test::panelOf<PropertiesPanel>(*editor)->loadGrid(edited);
    whileNextPopupOpen([&] { QTest::mouseClick(widget("mnuEdit"), Qt::LeftButton); });
    EXPECT_EQ(project.map(1).Info.Properties[3], "[map]=arctic.xan");
    EXPECT_EQ(project.map(0).Info.Properties[3], "[map]=");

    // The other panels' menus do not commit.
    edited[3] = "[map]=other.xan";
    test::panelOf<PropertiesPanel>(*editor)->loadGrid(edited);
    whileNextPopupOpen([&] { QTest::mouseClick(widget("mnuHeaderEdit"), Qt::LeftButton); });
    EXPECT_EQ(project.map(1).Info.Properties[3], "[map]=arctic.xan");
}

} // namespace
