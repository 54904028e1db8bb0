// Try installer... in the window with the real compiler and Wine: the demo pack is built, tried
// on a stand-in machine, and what it did is shown in the trial window.

#include "ui/editorfixture.h"

#include "support/testcompiler.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/trialwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <QTest>
#include <QTreeView>

namespace tervelle::test {
namespace {

const QString BuildFolder = QStringLiteral(TERVELLE_BINARY_DIR);
const QString DemoProject = BuildFolder + QStringLiteral("/examples/demo.mpr");
// Shared with the command-line trials (the end-to-end tests run one at a time): one template.
const QString CacheHome = BuildFolder + QStringLiteral("/e2e-trial-cache");

class TrialInWindow : public EditorTest
{
protected:
    void SetUp() override
    {
        if (!QFileInfo(BuildFolder + QStringLiteral("/iscc/iscc.exe")).isFile())
            GTEST_SKIP() << "no compiler in the build folder (run scripts/setup-iscc)";
        if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            GTEST_SKIP() << "wine or Xvfb is not installed (run scripts/bootstrap)";
        qputenv("WINEPREFIX", TERVELLE_WINEPREFIX);
        qputenv("WINEARCH", "win32");
        qputenv("WINEDEBUG", "-all");
        qputenv("XDG_CACHE_HOME", CacheHome.toLocal8Bit());
        EditorTest::SetUp();
        const QString appDir = tempPath("app") + QLatin1Char('/');
        ASSERT_TRUE(test::linkRealCompiler(BuildFolder + QStringLiteral("/iscc"), appDir));
        settings.AppDir = appDir;
        settings.compilerLauncher = QStringLiteral("wine");
    }
};

TEST_F(TrialInWindow, TheDemoPackIsBuiltTriedAndShownAndAStoppedTrialLeavesNothing)
{
    editor->openStartupProject(DemoProject);
    ASSERT_TRUE(item("mnuFileTryInstaller")->isEnabled());
    dialogs.choiceAnswers.enqueue(0); // build and try
    item("mnuFileTryInstaller")->trigger();
    ASSERT_TRUE(editor->isTrying()) << dialogs.messages().join("\n").toStdString();
    EXPECT_FALSE(item("mnuFileSave")->isEnabled()); // held as during a build
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->isTrying(); }, 600000));
    const QStringList lines = panelOf<ConsolePanel>(*editor)->lines();
    auto *window = editor->findChild<TrialWindow *>();
    ASSERT_TRUE(window) << lines.join("\n").toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(lines.last(), "The installer did what the project says.") << lines.join("\n").toStdString();
    EXPECT_TRUE(window->summary()->text().startsWith("The installer did what the project says."))
        << window->summary()->text().toStdString();
    EXPECT_TRUE(item("mnuFileSave")->isEnabled());
    window->grab().save(BuildFolder + QStringLiteral("/trial-window.png"));

    // Enter on a file selects its node in the files tree.
    const QAbstractItemModel *model = window->tree()->model();
    const QModelIndexList arena =
        model->match(model->index(0, 0), Qt::DisplayRole, QStringLiteral("arena.xan"), 1, Qt::MatchRecursive);
    ASSERT_EQ(arena.size(), 1);
    window->tree()->setCurrentIndex(arena.first());
    QTest::keyClick(window->tree(), Qt::Key_Return);
    const QModelIndex node = panelOf<FilesPanel>(*editor)->list()->currentIndex();
    EXPECT_EQ(node.data().toString(), "arena.xan");
    EXPECT_EQ(node.parent().data().toString(), "Maps");

    // Esc closes the result window.
    QTest::keyClick(window->tree(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    // Unchanged since: the same installer is offered and tried without a build.
    dialogs.choiceAnswers.enqueue(0);
    item("mnuFileTryInstaller")->trigger();
    ASSERT_TRUE(editor->isTrying());
    EXPECT_TRUE(dialogs.asked.last().text.startsWith("The project has not changed since the editor built "))
        << dialogs.asked.last().text.toStdString();
    // Esc in the editor stops it, and the stand-in machine goes.
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == editor.get(); }));
    EXPECT_TRUE(editor->findChild<QAction *>("actStopTrial")->isEnabled());
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->isTrying(); }, 120000));
    EXPECT_EQ(panelOf<ConsolePanel>(*editor)->lines().last(),
              "The trial was stopped; the stand-in machine was removed.")
        << panelOf<ConsolePanel>(*editor)->lines().join("\n").toStdString();
    EXPECT_TRUE(QDir(CacheHome + QStringLiteral("/Orbeck/Tervelle/trials"))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());

    // Closing the window stops a trial too, and removes its machine.
    dialogs.choiceAnswers.enqueue(0);
    item("mnuFileTryInstaller")->trigger();
    ASSERT_TRUE(editor->isTrying());
    QTest::qWait(2000);
    editor->close();
    editor.reset();
    EXPECT_TRUE(QDir(CacheHome + QStringLiteral("/Orbeck/Tervelle/trials"))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
}

} // namespace
} // namespace tervelle::test
