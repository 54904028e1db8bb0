#include "editorfixture.h"

#include "trial/trialresult.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/trialwindow.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

namespace tervelle {
namespace {

using test::EditorTest;
using TrialMenu = EditorTest;

TEST_F(TrialMenu, IsOffWithTheReasonWhereWineIsMissing)
{
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toLocal8Bit());
    makeEditor();
    // Wine is looked for as the menu first opens, and only then.
    emit widget<QMenu>("pmnuFile")->aboutToShow();
    qputenv("PATH", path);
    emit widget<QMenu>("pmnuFile")->aboutToShow();

    const QList<QAction *> items = widget<QMenu>("pmnuFile")->actions();
    const auto at = std::find(items.begin(), items.end(), item("mnuFileCheckPack"));
    ASSERT_NE(at, items.end());
    ASSERT_NE(at + 1, items.end());
    EXPECT_EQ(*(at + 1), item("mnuFileTryInstaller"));
    QAction *tryItem = item("mnuFileTryInstaller");
    EXPECT_EQ(tryItem->text(), "Try installer...");
    EXPECT_FALSE(tryItem->isEnabled());
    EXPECT_EQ(tryItem->toolTip(), "Wine is not installed: a trial runs the installer under it.");
    EXPECT_TRUE(widget<QMenu>("pmnuFile")->toolTipsVisible());
    // The menus coming back on after a build or a scan leave it off.
    test::panelOf<MapsPanel>(*editor)->MapMenuChangeEnabled(false);
    test::panelOf<MapsPanel>(*editor)->MapMenuChangeEnabled(true);
    EXPECT_TRUE(item("mnuFileCheckPack")->isEnabled());
    EXPECT_FALSE(tryItem->isEnabled());
}

TrialResult sampleResult()
{
    TrialResult result;
    result.gameFolder = QStringLiteral("C:\\Game\\");
    result.launcherFolder = QStringLiteral("C:\\Launcher\\");
    result.installFolder = QStringLiteral("C:\\Launcher\\Packs\\Arena\\");
    result.mirroredGame = QStringLiteral("/games/quorvane");
    TrialEntry arena;
    arena.path = QStringLiteral("data/maps/arena.xan");
    arena.size = 2048;
    arena.node = QStringLiteral("Game\\data\\maps\\arena.xan");
    arena.absoluteIndex = 4;
    TrialEntry sky;
    sky.change = TrialEntry::Replaced;
    sky.path = QStringLiteral("data/gfx/sky.tga");
    sky.node = QStringLiteral("Game\\data\\gfx\\sky.tga");
    sky.absoluteIndex = 7;
    sky.backup = QStringLiteral("backup/data/gfx/sky.tga");
    sky.after = TrialEntry::NotRestored;
    TrialEntry list;
    list.place = TrialPlace::Launcher;
    list.path = QStringLiteral("Arena.mpl");
    list.node = QStringLiteral("Files\\Arena.mpl");
    list.absoluteIndex = 1;
    list.after = TrialEntry::Removed;
    result.entries = {arena, sky, list};
    result.mismatches.push_back({TrialMismatch::Missing,
                                 TrialPlace::Game,
                                 QStringLiteral("data/maps/lost.xan"),
                                 QStringLiteral("Game\\lost.xan"),
                                 {}});
    return result;
}

QString rowText(const QModelIndex &index, int column)
{
    return index.siblingAtColumn(column).data().toString();
}

TEST(TrialWindowTest, ShowsMismatchesFirstThenTheFoldersAsATreeAndAsksForTheNode)
{
    test::resetLanguage(); // the built-in texts
    TrialWindow window;
    window.showResult(sampleResult());
    const QAbstractItemModel *model = window.tree()->model();

    ASSERT_EQ(model->rowCount(), 3); // mismatches, game folder, launcher folder
    const QModelIndex mismatches = model->index(0, 0);
    EXPECT_EQ(mismatches.data().toString(), "Not as the project says");
    ASSERT_EQ(model->rowCount(mismatches), 1);
    EXPECT_TRUE(rowText(model->index(0, 0, mismatches), 0).contains("lost.xan"));

    const QModelIndex game = model->index(1, 0);
    EXPECT_EQ(game.data().toString(), "Game folder C:\\Game\\");
    const QModelIndex data = model->index(0, 0, game);
    EXPECT_EQ(data.data().toString(), "data");
    ASSERT_EQ(model->rowCount(data), 2); // maps and gfx under one data folder
    const QModelIndex arena = model->index(0, 0, model->index(0, 0, data));
    const QModelIndex sky = model->index(0, 0, model->index(1, 0, data));
    EXPECT_EQ(arena.data().toString(), "arena.xan");
    EXPECT_EQ(sky.data().toString(), "sky.tga");
    EXPECT_EQ(rowText(arena, 1), "added; stays after uninstall");
    EXPECT_TRUE(rowText(sky, 1).startsWith("replaced, backup kept in backup\\data\\gfx\\sky.tga; NOT restored"));
    const QModelIndex list = model->index(0, 0, model->index(2, 0));
    EXPECT_EQ(rowText(list, 1), "added; removed by uninstall");
    // An icon per state: added and replaced, stays and removed.
    const auto key = [](const QModelIndex &index) { return index.data(Qt::DecorationRole).value<QIcon>().cacheKey(); };
    EXPECT_NE(key(arena), key(sky));
    EXPECT_NE(key(arena.siblingAtColumn(1)), key(list.siblingAtColumn(1)));
    EXPECT_EQ(window.summary()->text().section('\n', 1, 1),
              "2 added, 1 replaced (backup kept), 2 stay after uninstall, 1 removed by uninstall, 1 mismatch(es)");

    // A screen reader reaches the rows' names and states through the tree's table interface.
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(&window);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), "Installer trial");
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(window.tree());
    ASSERT_TRUE(tree && tree->tableInterface());
    QStringList cells;
    for (int rowIndex = 0; rowIndex < tree->tableInterface()->rowCount(); ++rowIndex) {
        for (int column = 0; column < 2; ++column) {
            if (QAccessibleInterface *cell = tree->tableInterface()->cellAt(rowIndex, column))
                cells << cell->text(QAccessible::Name);
        }
    }
    EXPECT_TRUE(cells.contains("sky.tga"));
    EXPECT_TRUE(cells.contains(rowText(sky, 1)));

    // Enter on a file asks for its node; on a folder, for nothing.
    QSignalSpy asked(&window, &TrialWindow::nodeRequested);
    window.tree()->setCurrentIndex(data);
    QTest::keyClick(window.tree(), Qt::Key_Return);
    EXPECT_EQ(asked.count(), 0);
    window.tree()->setCurrentIndex(sky.siblingAtColumn(1));
    QTest::keyClick(window.tree(), Qt::Key_Return);
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked[0][0].toString(), "Game\\data\\gfx\\sky.tga");
    EXPECT_EQ(asked[0][1].toInt(), 7);
}

} // namespace
} // namespace tervelle
