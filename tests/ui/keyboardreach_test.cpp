// What a keyboard or screen reader user meets: Tab reaches every control of the window in the
// panels' order and each one tells who it is.
#include "filesfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

namespace tervelle::test {
namespace {

using KeyboardReach = FilesTest;

struct Stop
{
    QString name;
    QString accessibleName;
    QString description;
};

// The controls Tab stops at, from lstMaps round to it again.
QList<Stop> tabCycle(QWidget *start)
{
    QList<Stop> stops;
    start->setFocus();
    for (int i = 0; i < 40; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || (i > 0 && focus == start))
            break;
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(focus);
        stops.append({focus->objectName(), reader ? reader->text(QAccessible::Name) : QString(),
                      reader ? reader->text(QAccessible::Description) : QString()});
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return stops;
}

TEST_F(KeyboardReach, TabGoesRoundEveryPanelAndEveryStopHasAName)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    item("mnuEditAdd")->trigger(); // a map, so that its properties can be edited
    // A text in the preview joins the round. (The console leaves it: it hides when the focus
    // moves on.)
    TreeNode *page = nullptr;
    addResources({makeFile("info/page.htm", "<p>hello</p>")});
    addToNode(root(FilesRoot), {"page.htm"});
    page = childNamed(root(FilesRoot), "page.htm");
    ASSERT_NE(page, nullptr);
    clickNode(page);

    const QList<Stop> stops = tabCycle(widget("lstMaps"));
    QStringList names;
    for (const Stop &stop : stops) {
        names << stop.name;
        EXPECT_FALSE(stop.accessibleName.isEmpty()) << stop.name.toStdString();
    }
    EXPECT_EQ(names.join(' ').toStdString(),
              "lstMaps mnuHeaderEdit lstHeader mnuPropertiesEdit lstProperties mnuFilesEdit lstFiles "
              "mnuResourcesEdit lstResources txtPreview mnuFile mnuEdit");

    // Five label-menus read "Edit"; what each belongs to tells them apart.
    QStringList editMenus;
    for (const Stop &stop : stops) {
        if (stop.accessibleName == "Edit")
            editMenus << stop.description;
    }
    EXPECT_EQ(editMenus.join(',').toStdString(), "Pack properties,Properties,Files,Resources,Maps");
}

} // namespace
} // namespace tervelle::test
