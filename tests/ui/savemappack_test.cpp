#include "editorfixture.h"
#include "support/projectrows.h"

#include "mappack/buildsession.h"
#include "mappack/compilerfolder.h"
#include "project/projectmodel.h"
#include "support/testcompiler.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/findingswindow.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <csignal>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

// "Save map pack" with a shell script standing in for the compiler.
class SaveMapPack : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        // After the window has read its settings, which set these too.
        standIn = std::make_unique<test::StandInBuild>(work.path());
        settings.AppDir = standIn->appDir();
        settings.compilerLauncher = test::StandInLauncher;
        test::editPack(projectToSetUp(), [&](PackProperties &p) { p.PackPropertiesSet = true; });
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    }

    QString installer() const { return standIn->installer(); }
    QString gate() const { return tempPath(QStringLiteral("gate")); }

    // The stand-in; OUT is the output folder, GATE a file it may wait for.
    void fakeCompiler(QByteArray script) { standIn->compile(script.replace("GATE", QFile::encodeName(gate()))); }

    std::unique_ptr<test::StandInBuild> standIn;

    void saveMapPack(const QString &path)
    {
        dialogs.saveAnswers.enqueue(path);
        item("mnuFileSaveMapPack")->trigger();
    }

    bool waitUntilBuilt()
    {
        return QTest::qWaitFor(
            [&] { return !editor->isBuilding() && !test::panelOf<ConsolePanel>(*editor)->hasPendingLines(); }, 30000);
    }

    bool columnsEnabled() const
    {
        return widget("pnlLeft")->isEnabled() && widget("pnlMid")->isEnabled() && widget("pnlRight")->isEnabled();
    }
    bool columnsDisabled() const
    {
        return !widget("pnlLeft")->isEnabled() && !widget("pnlMid")->isEnabled() && !widget("pnlRight")->isEnabled();
    }

    QStringList consoleLines() const { return test::panelOf<ConsolePanel>(*editor)->lines(); }
};

// Runs the command and acts on the wizard if one opens; returns whether one opened.
bool withWizard(const std::function<void()> &command, const char *button)
{
    bool opened = false;
    QTimer::singleShot(0, [&] {
        QWidget *wizard = QApplication::activeModalWidget();
        if (!wizard)
            return;
        opened = true;
        if (auto *press = wizard->findChild<QAbstractButton *>(QString::fromLatin1(button)))
            press->click();
        if (wizard->isVisible())
            wizard->close();
    });
    command();
    QApplication::processEvents();
    return opened;
}

TEST_F(SaveMapPack, TheWizardComesFirstUntilThePackPropertiesAreSetAndCancelEndsTheCommand)
{
    fakeCompiler("exit 0\n");
    test::editPack(projectToSetUp(), [&](PackProperties &p) { p.PackPropertiesSet = false; });
    EXPECT_TRUE(withWizard([&] { item("mnuFileSaveMapPack")->trigger(); }, "cmdCancel"));
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(setupScriptPath(settings.AppDir)));
    EXPECT_FALSE(test::panelOf<ConsolePanel>(*editor)->isVisible());

    // Once set, no wizard: the save dialog with the table's texts. Cancel there ends it too.
    test::editPack(projectToSetUp(), [&](PackProperties &p) { p.PackPropertiesSet = true; });
    EXPECT_FALSE(withWizard([&] { item("mnuFileSaveMapPack")->trigger(); }, "cmdCancel"));
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked.first().kind, QStringLiteral("save"));
    EXPECT_EQ(dialogs.asked.first().request.title, QStringLiteral("Create setup package"));
    EXPECT_EQ(dialogs.asked.first().request.filter, QStringLiteral("Map pack(*.exe)|*.exe"));
    EXPECT_EQ(dialogs.asked.first().request.filterIndex, 1);
    EXPECT_FALSE(QFileInfo::exists(setupScriptPath(settings.AppDir)));

    // Project options shows the wizard whatever the flag says; its cancel changes nothing.
    EXPECT_TRUE(withWizard([&] { item("mnuFilePackProperties")->trigger(); }, "cmdCancel"));
    EXPECT_TRUE(editor->project().packProperties().PackPropertiesSet);

    // A finished wizard leads on to the save dialog.
    test::editPack(projectToSetUp(), [&](PackProperties &p) { p.PackPropertiesSet = false; });
    EXPECT_TRUE(withWizard([&] { item("mnuFileSaveMapPack")->trigger(); }, "cmdFinish"));
    EXPECT_TRUE(editor->project().packProperties().PackPropertiesSet);
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked.last().kind, QStringLiteral("save"));
}

TEST_F(SaveMapPack, BuildsWithTheColumnsDisabledAndTheConsoleFollowingTheCompiler)
{
    fakeCompiler("printf 'first line\\r\\n'\n"
                 "while [ ! -f GATE ]; do sleep 0.02; done\n"
                 "printf 'second line\\r\\nlast without end'\n"
                 "printf 'installer' > BUILD/pack.exe\n");
    saveMapPack(installer());
    ASSERT_TRUE(editor->isBuilding());
    EXPECT_TRUE(test::panelOf<ConsolePanel>(*editor)->isVisible());
    EXPECT_TRUE(test::panelOf<ConsolePanel>(*editor)->text()->hasFocus());
    EXPECT_TRUE(QFileInfo::exists(setupScriptPath(settings.AppDir)));

    // The window goes on handling events: the first line shows while the compiler waits.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return test::panelOf<ConsolePanel>(*editor)->text()->toPlainText().contains(QStringLiteral("first line"));
    }));
    EXPECT_TRUE(columnsDisabled());
    // Resized meanwhile, the console stays across the bottom.
    editor->resize(editor->width() + 120, editor->height() + 40);
    QApplication::processEvents();
    EXPECT_EQ(test::panelOf<ConsolePanel>(*editor)->geometry().bottom(), editor->height() - 1);
    EXPECT_EQ(test::panelOf<ConsolePanel>(*editor)->width(), editor->width());
    // Neither a second build nor a shortcut past the disabled columns meanwhile.
    item("mnuFileSaveMapPack")->trigger();
    dialogs.openAnswers.enqueue({tempPath(QStringLiteral("other.mpr"))});
    QTest::keyClick(test::panelOf<ConsolePanel>(*editor)->text(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.asked.size(), 1);

    test::writeBytes(gate(), "go");
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_TRUE(columnsEnabled());
    EXPECT_EQ(consoleLines(),
              (QStringList{QStringLiteral("Started building map pack"), QStringLiteral("first line"),
                           QStringLiteral("second line"), QStringLiteral("last without end"), QStringLiteral("Done")}));
    EXPECT_EQ(test::readBytes(installer()), "installer");
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // A second build appends below the first.
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(consoleLines().size(), 10);
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Done"));
}

// A source that a link leads into a hidden folder is packed only with the map maker's consent,
// asked before the save dialog with the files named; No, the default, builds nothing.
TEST_F(SaveMapPack, PrivateSourcesAreBuiltOnlyWithConsent)
{
    fakeCompiler("printf 'installer' > OUT/pack.exe\n");
    const QString key = tempPath(QStringLiteral("home/.ssh/id_rsa"));
    test::writeBytes(key, "secret");
    QDir().mkpath(tempPath(QStringLiteral("shared")));
    const QString planted = tempPath(QStringLiteral("shared/arena.xan"));
    ASSERT_TRUE(QFile::link(key, planted));
    ProjectModel &project = projectToSetUp();
    project.AddFileElement(project.root(MapsRoot), QStringLiteral("arena.xan"), MapFile, planted);

    item("mnuFileSaveMapPack")->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].kind, QStringLiteral("yesno"));
    EXPECT_TRUE(dialogs.asked[0].text.contains(planted + QStringLiteral(" leads to ") + key))
        << dialogs.asked[0].text.toStdString();
    EXPECT_FALSE(editor->isBuilding());
    EXPECT_FALSE(QFileInfo::exists(setupScriptPath(settings.AppDir)));

    dialogs.yesNoAnswers.enqueue(true);
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(test::readBytes(installer()), "installer");
}

TEST_F(SaveMapPack, AFailedBuildSaysSoAndKeepsTheEarlierInstaller)
{
    test::writeBytes(installer(), "earlier installer");
    fakeCompiler("printf 'Error on line 3\\r\\n'\n"
                 "printf 'half' > BUILD/pack.exe\n"
                 "exit 2\n");
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Error occured!"));
    EXPECT_TRUE(consoleLines().contains(QStringLiteral("Error on line 3")));
    EXPECT_EQ(test::readBytes(installer()), "earlier installer");
    EXPECT_TRUE(columnsEnabled());

    // A compiler that is not there: only the failure line, the columns never disabled.
    QFile::remove(compilerProgram(settings.AppDir));
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Failed to launch InnoSetup compiler!"));
    EXPECT_TRUE(test::panelOf<ConsolePanel>(*editor)->isVisible());
    EXPECT_TRUE(columnsEnabled());
}

// A build killed outright never put the earlier installer back; the next build finds it hidden
// beside the installer, says so and offers it back under a name of its own.
TEST_F(SaveMapPack, AnInstallerKeptAsideByAKilledBuildIsOfferedBack)
{
    const QString hidden = tempPath(QStringLiteral("out/.pack.exe.previous-k1ll3d"));
    test::writeBytes(hidden, "earlier installer");
    fakeCompiler("printf new > BUILD/pack.exe\n");
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::Yes);
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Done"));
    EXPECT_TRUE(consoleLines().first().contains(hidden)) << consoleLines().first().toStdString();
    ASSERT_EQ(dialogs.asked.size(), 2); // the save dialog, then the offer
    EXPECT_TRUE(dialogs.asked.last().text.contains(hidden));
    EXPECT_EQ(test::readBytes(tempPath(QStringLiteral("out/pack (earlier).exe"))), "earlier installer");
    EXPECT_EQ(test::readBytes(installer()), "new");
    EXPECT_FALSE(QFileInfo::exists(hidden));
}

// A compiler folder shared between computers keeps a lock that a build elsewhere left long ago:
// the window names it and takes it over only when the map maker says so.
TEST_F(SaveMapPack, AnOldLockFromAnotherComputerIsTakenOverOnlyWhenTheMapMakerSaysSo)
{
    fakeCompiler("printf new > BUILD/pack.exe\n");
    const QString lock = buildLockFile(settings.AppDir);
    test::writeBytes(lock, "4242\ntervelle\nfar-away-host\n");
    QFile file(lock);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    file.close();
    const auto askedAboutTheLock = [&] {
        return std::count_if(dialogs.asked.begin(), dialogs.asked.end(), [](const auto &asked) {
            return asked.kind == QStringLiteral("replace") && asked.text.contains(QStringLiteral("far-away-host"));
        });
    };

    dialogs.replaceAnswers.enqueue(ReplaceAnswer::No);
    saveMapPack(installer());
    QApplication::processEvents();
    EXPECT_EQ(askedAboutTheLock(), 1);
    EXPECT_FALSE(editor->isBuilding());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QDir::toNativeSeparators(lock)))
        << dialogs.messages().first().toStdString();
    EXPECT_TRUE(QFileInfo::exists(lock));
    EXPECT_FALSE(QFileInfo::exists(installer()));

    dialogs.replaceAnswers.enqueue(ReplaceAnswer::Yes);
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(askedAboutTheLock(), 2);
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Done"));
    EXPECT_EQ(test::readBytes(installer()), "new");
    EXPECT_FALSE(QFileInfo::exists(lock));
}

TEST_F(SaveMapPack, AStepThatCannotBeWrittenEndsTheCommandWithAMessageNamingTheFile)
{
    fakeCompiler("exit 0\n");
    // The staging folder is a file: the map list cannot be written there.
    ASSERT_TRUE(QDir(StagingFolder(settings.AppDir)).removeRecursively());
    test::writeBytes(QDir::cleanPath(StagingFolder(settings.AppDir)), "in the way");
    saveMapPack(installer());
    EXPECT_FALSE(editor->isBuilding());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral(".mpl")))
        << dialogs.messages().first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(setupScriptPath(settings.AppDir)));
    EXPECT_FALSE(test::panelOf<ConsolePanel>(*editor)->isVisible());
    EXPECT_TRUE(consoleLines().isEmpty());
    EXPECT_TRUE(columnsEnabled());
}

TEST_F(SaveMapPack, ACompilerThatSaysDoneWithoutAnInstallerIsToldAndTheEarlierOneKept)
{
    fakeCompiler("exit 0\n");
    test::writeBytes(installer(), "earlier installer");
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    QApplication::processEvents();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("wrote no installer")) << dialogs.messages().first().toStdString();
    EXPECT_EQ(test::readBytes(installer()), "earlier installer");
}

TEST_F(SaveMapPack, ClosingDuringABuildWritesTheSettingsStopsTheCompilerAndPutsTheInstallerBack)
{
    test::writeBytes(installer(), "earlier installer");
    fakeCompiler("echo $$ > OUT/pid\n"
                 "printf 'half' > BUILD/pack.exe\n"
                 "exec sleep 60\n");
    saveMapPack(installer());
    const QString pidFile = tempPath(QStringLiteral("out/pid"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return test::readBytes(pidFile).endsWith('\n'); }, 30000));
    const pid_t pid = test::readBytes(pidFile).trimmed().toInt();
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(editor->isBuilding());

    QFile::remove(config.editorFile());
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    editor.reset();
    EXPECT_NE(::kill(pid, 0), 0) << "the compiler outlived the window";
    EXPECT_EQ(test::readBytes(installer()), "earlier installer");
    EXPECT_TRUE(QFileInfo(config.editorFile()).isFile());
    EXPECT_FALSE(QFileInfo::exists(buildLockFile(settings.AppDir)));
}

// Check pack lists every finding beside the editor without blocking it; Enter or a double
// click goes to the node, the map's property row or the header row the finding names. Save map
// pack stops on errors with the same list before asking anything, and with warnings only it
// builds, the warnings leading the console.
TEST_F(SaveMapPack, FindingsListGoesToEachPlaceAndErrorsStopTheBuild)
{
    fakeCompiler("printf 'installer' > BUILD/pack.exe\n");
    ProjectModel &project = projectToSetUp();
    TreeNode *gone = project.AddFileElement(project.root(MapsRoot), QStringLiteral("gone.xan"), MapFile,
                                            tempPath(QStringLiteral("gone.xan")));
    project.AddMap();
    project.AddHeaderKey(QStringLiteral("[htmlgerman]"), LinkKey);
    project.SetHeaderValue(2, QStringLiteral("nowhere.htm"));

    // The menu item follows "Save map pack..." and the window shows the list at once.
    const QList<QAction *> fileItems = widget<QMenu>("pmnuFile")->actions();
    const qsizetype save = fileItems.indexOf(item("mnuFileSaveMapPack"));
    ASSERT_GE(save, 0);
    ASSERT_EQ(fileItems.value(save + 1), item("mnuFileCheckPack"));
    EXPECT_EQ(item("mnuFileCheckPack")->text(), QStringLiteral("Check pack..."));
    item("mnuFileCheckPack")->trigger();
    FindingsWindow *window = test::panelOf<FindingsWindow>(*editor);
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_FALSE(window->isModal());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isReviewing(); }, 10000));
    QTableView *list = window->findChild<QTableView *>(QStringLiteral("lstFindings"));
    QAbstractItemModel *findings = list->model();
    const auto text = [&](int row, int column) { return findings->index(row, column).data().toString(); };
    QStringList rows;
    for (int i = 0; i < findings->rowCount(); ++i)
        rows << text(i, 0) + QLatin1Char('|') + text(i, 1);
    EXPECT_EQ(rows,
              QStringList({QStringLiteral("error|Maps\\gone.xan"), QStringLiteral("warning|New map, [map]"),
                           QStringLiteral("warning|[htmlgerman]")}));
    window->resize(900, 260);
    QApplication::processEvents();
    window->grab().save(QStringLiteral("/tmp/review-findings.png"));

    list->setFocus();
    list->setCurrentIndex(findings->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(test::panelOf<FilesPanel>(*editor)->selectedNode(), gone);
    const QRect mapRow = list->visualRect(findings->index(1, 1));
    // A double click as a person makes it: a click, then the second press as a double click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, mapRow.center());
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, mapRow.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, mapRow.center());
    EXPECT_EQ(test::panelOf<MapsPanel>(*editor)->list()->currentIndex().row(), 0);
    EXPECT_EQ(test::panelOf<PropertiesPanel>(*editor)->list()->currentIndex().row(), 3);
    list->setCurrentIndex(findings->index(2, 0));
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(test::panelOf<HeaderPanel>(*editor)->list()->currentIndex().row(), 2);

    // Errors: the list again, headed by why, and neither the save dialog nor the compiler.
    window->close();
    dialogs.saveAnswers.enqueue(installer());
    item("mnuFileSaveMapPack")->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->findChild<QLabel *>(QStringLiteral("lblSummary"))
                    ->text()
                    .startsWith(QStringLiteral("The pack check found errors")));
    EXPECT_EQ(dialogs.saveAnswers.size(), 1);
    EXPECT_FALSE(editor->isBuilding());
    EXPECT_FALSE(QFileInfo::exists(setupScriptPath(settings.AppDir)));

    // The list follows the project: the node gone, its finding goes.
    project.DeleteNode(gone);
    ASSERT_TRUE(QTest::qWaitFor([&] { return findings->rowCount() == 2; }, 5000));
    EXPECT_FALSE(window->findChild<QPushButton *>(QStringLiteral("cmdLocate"))->isEnabled());

    item("mnuFileSaveMapPack")->trigger();
    ASSERT_TRUE(waitUntilBuilt());
    const QStringList lines = consoleLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0],
              QStringLiteral("warning: New map, [map]: [map] is empty: the map has no map file. "
                             "Choose a map from the list, or add the map under Maps."));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("warning: [htmlgerman]: ")));
    EXPECT_EQ(lines[2], QStringLiteral("Started building map pack"));
    EXPECT_EQ(lines.last(), QStringLiteral("Done"));
}

// A screen reader meets the pack check as a window named by its caption, its list as a table
// whose rows it reads, and the notice of a stopped build as an alert, which screen readers speak
// when it shows. Esc closes the window.
TEST_F(SaveMapPack, FindingsWindowReadsAsAWindowWithATableAndAnnouncesAStoppedBuild)
{
    ProjectModel &project = projectToSetUp();
    project.AddFileElement(project.root(MapsRoot), QStringLiteral("gone.xan"), MapFile,
                           tempPath(QStringLiteral("gone.xan")));
    item("mnuFileSaveMapPack")->trigger();

    FindingsWindow *window = test::panelOf<FindingsWindow>(*editor);
    ASSERT_TRUE(window && window->isVisible());
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(window);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), QStringLiteral("Pack check"));

    auto *summary = window->findChild<QLabel *>(QStringLiteral("lblSummary"));
    QAccessibleInterface *notice = QAccessible::queryAccessibleInterface(summary);
    EXPECT_EQ(notice->role(), QAccessible::AlertMessage);
    EXPECT_TRUE(notice->text(QAccessible::Name).startsWith(QStringLiteral("The pack check found errors")));

    QAccessibleInterface *list =
        QAccessible::queryAccessibleInterface(window->findChild<QTableView *>(QStringLiteral("lstFindings")));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::Table);
    ASSERT_NE(list->tableInterface(), nullptr);
    EXPECT_EQ(list->tableInterface()->rowCount(), window->review().findings.size());
    EXPECT_EQ(list->tableInterface()->columnCount(), 3);
    QAccessibleInterface *where = list->tableInterface()->cellAt(0, 1);
    ASSERT_NE(where, nullptr);
    EXPECT_EQ(where->text(QAccessible::Name), QStringLiteral("Maps\\gone.xan"));

    QTest::keyClick(window->findChild<QTableView *>(QStringLiteral("lstFindings")), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

// Locate missing files, at the end of the Files panel's Edit menu: a folder, then one message
// with what was found and what was not.
TEST_F(SaveMapPack, LocateMissingFilesAsksForAFolderAndSaysWhatItFound)
{
    ProjectModel &project = projectToSetUp();
    project.AddFileElement(project.root(MapsRoot), QStringLiteral("arena.xan"), MapFile,
                           QStringLiteral("C:\\Maps\\arena.xan"));
    project.AddFileElement(project.root(MapsRoot), QStringLiteral("lost.xan"), MapFile,
                           QStringLiteral("C:\\Maps\\lost.xan"));
    QDir().mkpath(tempPath(QStringLiteral("found/deep")));
    test::writeBytes(tempPath(QStringLiteral("found/deep/arena.xan")), "map");

    const QList<QAction *> items = widget<QMenu>("pmnuFilesEdit")->actions();
    EXPECT_EQ(items.last(), item("mnuFilesEditLocateMissing"));
    EXPECT_EQ(item("mnuFilesEditLocateMissing")->text(), QStringLiteral("Locate missing files..."));
    dialogs.folderAnswers.enqueue(tempPath(QStringLiteral("found")));
    item("mnuFilesEditLocateMissing")->trigger();
    EXPECT_EQ(project.root(MapsRoot)->child(0)->Info().Path, tempPath(QStringLiteral("found/deep/arena.xan")));
    EXPECT_EQ(project.root(MapsRoot)->child(0)->Info().Kind, FileFoundKind);
    EXPECT_TRUE(dialogs.messages().value(0).endsWith(QStringLiteral("Found again: 1. Not found: 1.")))
        << dialogs.messages().value(0).toStdString();

    // One step: undone, the node has its old path and kind again; redone, the new ones.
    item("mnuEditUndo")->trigger();
    EXPECT_EQ(project.root(MapsRoot)->child(0)->Info().Path, QStringLiteral("C:\\Maps\\arena.xan"));
    EXPECT_EQ(project.root(MapsRoot)->child(0)->Info().Kind, FileMissingKind);
    item("mnuEditRedo")->trigger();
    EXPECT_EQ(project.root(MapsRoot)->child(0)->Info().Path, tempPath(QStringLiteral("found/deep/arena.xan")));
    EXPECT_EQ(project.root(MapsRoot)->child(0)->Info().Kind, FileFoundKind);
}

} // namespace
