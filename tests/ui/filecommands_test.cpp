#include "editorfixture.h"

#include "core/langload.h"
#include "core/report.h"
#include "project/projectdocument.h"
#include "project/projectfile.h"
#include "project/recentprojects.h"
#include "project/recovery.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

const QString Prefix = QStringLiteral("Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck - ");

class FileCommands : public EditorTest
{
protected:
    // A project file holding one map called `mapName`, written through the model.
    QString writeProject(const QString &name, const QString &mapName)
    {
        ProjectModel model;
        model.NewFile();
        model.SetHeaderValue(0, "Saved pack");
        model.SetMapPropertyValue(model.AddMap(), 0, mapName);
        QString path = tempPath(name);
        SaveProjectFile(model, path);
        return path;
    }
    QString native(const QString &path) const { return QDir::toNativeSeparators(path); }
    // A change of the project as a step of its history, as the panels make them.
    void addMapNamed(const QString &name)
    {
        editor->document().change(QStringLiteral("Add map"), [&](ProjectModel &project) {
            project.SetMapPropertyValue(project.AddMap(), 0, name);
        });
    }
};

TEST_F(FileCommands, OpenShowsTheFileInTheCaptionAndAsksWithTheProjectDialog)
{
    const QString first = writeProject("first.mpr", "Glacier");
    const QString second = writeProject("second.mpr", "Desert");
    dialogs.openAnswers.enqueue({first, second});
    item("mnuFileOpen")->trigger();

    ASSERT_EQ(dialogs.asked.size(), 1);
    const auto &asked = dialogs.asked[0];
    EXPECT_EQ(asked.kind, "open");
    EXPECT_TRUE(asked.multiple);
    EXPECT_EQ(asked.request.title, "Open map pack project");
    EXPECT_EQ(asked.request.filter, "Map pack project(*.mpr)|*.mpr");
    EXPECT_EQ(asked.request.filterIndex, 1);
    EXPECT_EQ(asked.request.defaultSuffix, "mpr");
    // Only the first of several chosen files is opened.
    ASSERT_EQ(editor->project().mapCount(), 1);
    EXPECT_EQ(editor->project().map(0).displayName, "Glacier");
    EXPECT_EQ(editor->ProjectFileName(), native(first));
    EXPECT_EQ(editor->windowTitle(), Prefix + "Saved pack (" + native(first) + ")");

    // The next open starts on the file chosen last.
    item("mnuFileOpen")->trigger();
    EXPECT_EQ(dialogs.asked.last().request.folder, first);
}

TEST_F(FileCommands, AFailedOpenKeepsTheProjectItsNameAndItsCaption)
{
    const QString good = writeProject("good.mpr", "Glacier");
    dialogs.openAnswers.enqueue({good});
    item("mnuFileOpen")->trigger();
    const QString caption = editor->windowTitle();

    const QString bad = tempPath("bad.mpr");
    test::writeBytes(bad, test::crlfLines({"Pack", "", "", "1.0", "perhaps"}));
    dialogs.openAnswers.enqueue({bad});
    item("mnuFileOpen")->trigger();

    const QStringList messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(": Reraise file error\n")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("bad.mpr")) << messages[0].toStdString();
    EXPECT_EQ(editor->windowTitle(), caption);
    EXPECT_EQ(editor->ProjectFileName(), native(good));
    ASSERT_EQ(editor->project().mapCount(), 1);
    EXPECT_EQ(editor->project().map(0).displayName, "Glacier");

    // A file that cannot be read at all gives the same message with the reason.
    dialogs.openAnswers.enqueue({tempPath("missing.mpr")});
    item("mnuFileOpen")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[1].contains("Reraise file error\n"));
    EXPECT_EQ(editor->windowTitle(), caption);
}

TEST_F(FileCommands, SaveNamesTheFileInTheCaptionAndKeepsItAcrossNew)
{
    const QString path = tempPath("saved.mpr");
    dialogs.saveAnswers.enqueue(path);
    item("mnuFileSaveProject")->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].kind, "save");
    EXPECT_EQ(dialogs.asked[0].request.title, "Save map pack project");
    EXPECT_EQ(dialogs.asked[0].request.filter, "Map pack project(*.mpr)|*.mpr");
    EXPECT_EQ(dialogs.asked[0].request.defaultSuffix, "mpr");
    EXPECT_EQ(test::readBytes(path), ProjectFileBytes(editor->project()));
    EXPECT_EQ(editor->windowTitle(), Prefix + "New map pack (" + native(path) + ")");

    item("mnuFileNew")->trigger();
    EXPECT_EQ(editor->windowTitle(), Prefix + "New map pack (" + native(path) + ")");

    // Cancel changes nothing; the next dialog starts on the file chosen last.
    item("mnuFileSaveProject")->trigger();
    EXPECT_EQ(dialogs.asked.last().request.folder, path);
    EXPECT_EQ(editor->ProjectFileName(), native(path));
}

TEST_F(FileCommands, AFailedSaveKeepsTheOldNameAndSaysWhy)
{
    const QString path = tempPath("no-such-folder/x.mpr");
    dialogs.saveAnswers.enqueue(path);
    item("mnuFileSaveProject")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("x.mpr")) << dialogs.messages()[0].toStdString();
    EXPECT_TRUE(editor->ProjectFileName().isEmpty());
    EXPECT_EQ(editor->windowTitle(), Prefix + "New map pack");
}

TEST_F(FileCommands, APlaceholderTypedIntoThePackTitleStaysAsTyped)
{
    const QString path = tempPath("a.mpr");
    dialogs.saveAnswers.enqueue(path);
    item("mnuFileSaveProject")->trigger();
    projectToSetUp().SetHeaderValue(0, "Arctic /f /p");
    EXPECT_EQ(editor->windowTitle(), Prefix + "Arctic /f /p (" + native(path) + ")");
}

TEST_F(FileCommands, HeaderChangesWithoutEnglishRowLeaveTheCaption)
{
    projectToSetUp().SetHeaderValue(0, "Arctic");
    EXPECT_EQ(editor->windowTitle(), Prefix + "Arctic");
    // Only a project file can leave the header without its "[english]" row.
    projectToSetUp().SetHeader({"[german]=Arktis", "[htmlenglish]="}, {THeaderKeyInfo{}, THeaderKeyInfo{LinkKey}});
    EXPECT_EQ(editor->windowTitle(), Prefix + "Arctic");
}

TEST_F(FileCommands, NewKeepsAChangedProjectInTheRecoveryFolder)
{
    item("mnuFileNew")->trigger();
    EXPECT_TRUE(recoveryFiles().isEmpty());

    addMapNamed("Lost map");
    const QByteArray changed = ProjectFileBytes(editor->project());
    item("mnuFileNew")->trigger();
    EXPECT_EQ(editor->project().mapCount(), 0);
    const QStringList copies = recoveryFiles();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(test::readBytes(recoveryDir() + "/" + copies[0]), changed);

    // A project just saved is not kept again.
    item("mnuEditAdd")->trigger();
    dialogs.saveAnswers.enqueue(tempPath("kept.mpr"));
    item("mnuFileSaveProject")->trigger();
    item("mnuFileNew")->trigger();
    EXPECT_EQ(recoveryFiles().size(), 1);
}

// Discarding unsaved work is only safe with its copy on disk.
TEST_F(FileCommands, NewAndOpenKeepTheProjectWhenItsCopyCannotBeWritten)
{
    const QString blocker = tempPath("state-is-a-file");
    test::writeBytes(blocker, "not a folder");
    qputenv("XDG_STATE_HOME", QFile::encodeName(blocker));
    addMapNamed("Unsaved map");
    const QString other = writeProject("other.mpr", "Other");

    item("mnuFileNew")->trigger();
    ASSERT_EQ(editor->project().mapCount(), 1);
    EXPECT_EQ(editor->project().map(0).displayName, "Unsaved map");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("The project stays open"))
        << dialogs.messages().first().toStdString();

    dialogs.openAnswers.enqueue({other});
    item("mnuFileOpen")->trigger();
    ASSERT_EQ(editor->project().mapCount(), 1);
    EXPECT_EQ(editor->project().map(0).displayName, "Unsaved map");
    EXPECT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(editor->ProjectFileName().isEmpty());
}

TEST_F(FileCommands, OpenAndTheEndOfTheProgramKeepAChangedProjectToo)
{
    item("mnuEditAdd")->trigger();
    dialogs.openAnswers.enqueue({writeProject("other.mpr", "Other")});
    item("mnuFileOpen")->trigger();
    EXPECT_EQ(recoveryFiles().size(), 1);

    item("mnuEditAdd")->trigger();
    editor.reset();
    EXPECT_EQ(recoveryFiles().size(), 2);
}

TEST_F(FileCommands, ClosingKeepsOneCopyAndWithoutAPlaceForItAsksOnceThenLetsGo)
{
    item("mnuEditAdd")->trigger();
    EXPECT_TRUE(editor->close());
    editor.reset();
    EXPECT_EQ(recoveryFiles().size(), 1); // not a second one when the window goes

    makeEditor();
    const QString blocker = tempPath("state-is-a-file");
    test::writeBytes(blocker, "not a folder");
    qputenv("XDG_STATE_HOME", QFile::encodeName(blocker));
    addMapNamed("Unsaved map");
    EXPECT_FALSE(editor->close());
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("close the window again"))
        << dialogs.messages().first().toStdString();
    EXPECT_EQ(editor->project().map(0).displayName, "Unsaved map");
    // Told once, the map maker may leave without it.
    EXPECT_TRUE(editor->close());
    EXPECT_EQ(dialogs.messages().size(), 1);
}

// A termination signal asks nobody: without a recovery copy the window still closes, and the
// reason goes to standard error.
TEST_F(FileCommands, TerminationEndsWithoutAQuestionWhenNoCopyCanBeWritten)
{
    const QString blocker = tempPath("state-is-a-file");
    test::writeBytes(blocker, "not a folder");
    qputenv("XDG_STATE_HOME", QFile::encodeName(blocker));
    item("mnuEditAdd")->trigger();
    testing::internal::CaptureStderr();
    editor->endOnSignal();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_NE(said.find("recovery"), std::string::npos) << said;
}

TEST_F(FileCommands, ProblemsTheCoreNoticesAreShownOnceTheCommandHasReturned)
{
    reportProblem("The compiler wrote no installer /tmp/x.exe; the earlier one was kept.");
    EXPECT_TRUE(dialogs.messages().isEmpty());
    QApplication::processEvents();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(
        dialogs.messages().first().endsWith(": The compiler wrote no installer /tmp/x.exe; the earlier one was kept."));
    // Without the window they go back to where they went before.
    editor.reset();
    test::ProblemCapture later;
    reportProblem("after");
    EXPECT_EQ(later.problems(), QStringList{"after"});
}

TEST_F(FileCommands, FileCommandsCommitTheGridFirst)
{
    ProjectModel &project = projectToSetUp();
    project.AddMap();
    auto *maps = widget<QListView>("lstMaps");
    maps->setCurrentIndex(maps->model()->index(0, 0));
    QStringList edited = project.map(0).Info.Properties;
    edited[3] = "[map]=arctic.xan";
    test::panelOf<PropertiesPanel>(*editor)->loadGrid(edited);
    const QString path = tempPath("committed.mpr");
    dialogs.saveAnswers.enqueue(path);
    // The shortcut, without opening the menu.
    QTest::keySequence(editor.get(), QKeySequence::Save);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(test::readBytes(path).contains("[map]=arctic.xan"));
}

TEST_F(FileCommands, ShortcutsObeyTheEnabledState)
{
    projectToSetUp().AddMap();
    QTest::keySequence(editor.get(), QKeySequence::New);
    EXPECT_EQ(editor->project().mapCount(), 0);

    projectToSetUp().AddMap();
    test::panelOf<MapsPanel>(*editor)->MapMenuChangeEnabled(false);
    QTest::keySequence(editor.get(), QKeySequence::New);
    QTest::keySequence(editor.get(), QKeySequence::Open);
    EXPECT_EQ(editor->project().mapCount(), 1);
    EXPECT_TRUE(dialogs.asked.isEmpty());

    // F1 only while Help is shown.
    QTest::keyClick(editor.get(), Qt::Key_F1);
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

TEST_F(FileCommands, HelpIsShownOnlyWhenTheLanguageSaysExactlyOne)
{
    EXPECT_FALSE(item("mnuFileHelp")->isVisible());
    const std::pair<const char *, bool> cases[] = {{"1", true}, {"1 ", false}, {"yes", false}, {"0", false}};
    for (const auto &[text, shown] : cases) {
        const ScopedLangText help(LangKey::mnuFile_Help_Visible, QString::fromLatin1(text));
        makeEditor();
        EXPECT_EQ(item("mnuFileHelp")->isVisible(), shown) << '"' << text << '"';
        if (shown) {
            EXPECT_TRUE(item("mnuFileHelp")->isEnabled());
        }
    }
}

TEST_F(FileCommands, HelpWithoutTheFileSaysItIsMissing)
{
    const ScopedLangText help(LangKey::mnuFile_Help_Visible, "1");
    makeEditor();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    QTest::keyClick(editor.get(), Qt::Key_F1);
    QDir::setCurrent(previous);
    EXPECT_EQ(dialogs.messages(), QStringList{"Error!: Help file Tervelle.chm not found!"});
}

TEST_F(FileCommands, ExitClosesTheWindow)
{
    item("mnuFileExit")->trigger();
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(FileCommands, AProjectNamedAtStartIsOpened)
{
    const QString path = writeProject("start.mpr", "Start");
    editor->openStartupProject(path);
    EXPECT_EQ(editor->windowTitle(), Prefix + "Saved pack (" + native(path) + ")");

    makeEditor();
    editor->openStartupProject(tempPath("missing.mpr"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("Reraise file error\n"));
    EXPECT_EQ(editor->windowTitle(), Prefix + "New map pack");
}

TEST_F(FileCommands, TheFolderPickerStartsOnLastDirAndLeavesIt)
{
    settings.LastDir = work.path();
    dialogs.folderAnswers.enqueue(std::nullopt);
    dialogs.folderAnswers.enqueue(QString("/maps"));
    QString folder = "unchanged";
    EXPECT_FALSE(editor->SelectDirectory("Pick", "", folder));
    EXPECT_EQ(folder, "");
    EXPECT_TRUE(editor->SelectDirectory("Pick", "", folder));
    EXPECT_EQ(folder, "/maps");
    EXPECT_EQ(dialogs.asked[0].caption, "Pick");
    EXPECT_EQ(dialogs.asked[0].request.folder, work.path());
    EXPECT_EQ(settings.LastDir, work.path());
}

TEST_F(FileCommands, SaveWritesInPlaceOnceTheFileIsKnown)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    const QString path = tempPath("inplace.mpr");
    // No file yet: Ctrl+S asks as Save project... does.
    dialogs.saveAnswers.enqueue(path);
    QTest::keyClick(editor.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].kind, "save");
    projectToSetUp().SetMapPropertyValue(projectToSetUp().AddMap(), 0, "Later map");
    QTest::keyClick(editor.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.asked.size(), 1) << "Save asked again";
    EXPECT_EQ(test::readBytes(path), ProjectFileBytes(editor->project()));
    QTest::keyClick(editor.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked.last().kind, "save");
}

// The project New starts is not the file the caption still names: Save must not write over it.
TEST_F(FileCommands, SaveAfterNewAsksWhereRatherThanWritingOverTheProjectOpenedBefore)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    const QString opened = writeProject("a.mpr", "Glacier");
    const QByteArray bytes = test::readBytes(opened);
    dialogs.openAnswers.enqueue({opened});
    item("mnuFileOpen")->trigger();
    item("mnuFileNew")->trigger();
    EXPECT_EQ(editor->windowTitle(), Prefix + "New map pack (" + native(opened) + ")");

    QTest::keyClick(editor.get(), Qt::Key_S, Qt::ControlModifier); // cancelled
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked.last().kind, "save");
    EXPECT_EQ(test::readBytes(opened), bytes);

    const QString other = tempPath("b.mpr");
    dialogs.saveAnswers.enqueue(other);
    QTest::keyClick(editor.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(test::readBytes(other), ProjectFileBytes(editor->project()));
    EXPECT_EQ(test::readBytes(opened), bytes);
}

// Two editors on one project: the later save must not drop the other's saved work unasked.
TEST_F(FileCommands, SaveAsksBeforeWritingOverWhatAnotherEditorSavedAndTheWindowSaysSoOnce)
{
    const QString path = writeProject("shared.mpr", "Glacier");
    dialogs.openAnswers.enqueue({path});
    item("mnuFileOpen")->trigger();
    addMapNamed("Mine");
    const QByteArray mine = ProjectFileBytes(editor->project());

    writeProject("shared.mpr", "Theirs, saved elsewhere");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages().isEmpty(); }, 5000));
    EXPECT_TRUE(dialogs.messages().first().contains(native(path) + " was changed on disk"))
        << dialogs.messages().first().toStdString();
    writeProject("shared.mpr", "Theirs again");
    QTest::qWait(300);
    EXPECT_EQ(dialogs.messages().size(), 1) << "said once";

    dialogs.choiceAnswers.enqueue(2); // Cancel
    item("mnuFileSave")->trigger();
    ASSERT_EQ(dialogs.asked.last().kind, "choice");
    EXPECT_TRUE(dialogs.asked.last().text.contains("Overwrite"));
    EXPECT_NE(test::readBytes(path), mine);

    dialogs.choiceAnswers.enqueue(0); // under another name
    dialogs.saveAnswers.enqueue(tempPath("mine.mpr"));
    item("mnuFileSave")->trigger();
    EXPECT_EQ(test::readBytes(tempPath("mine.mpr")), mine);
    EXPECT_NE(test::readBytes(path), mine);

    dialogs.openAnswers.enqueue({path});
    item("mnuFileOpen")->trigger();
    addMapNamed("Mine again");
    writeProject("shared.mpr", "Theirs a third time");
    dialogs.choiceAnswers.enqueue(1); // Overwrite
    item("mnuFileSave")->trigger();
    EXPECT_EQ(test::readBytes(path), ProjectFileBytes(editor->project()));
    const qsizetype asked = dialogs.asked.size();
    item("mnuFileSave")->trigger(); // nothing changed on disk since
    EXPECT_EQ(dialogs.asked.size(), asked);
}

// Each copy is offered by when it was kept and the project's full path.
TEST_F(FileCommands, OpenRecoveryCopyListsEachCopysProjectAndTime)
{
    const QString path = writeProject("demo.mpr", "Glacier");
    dialogs.openAnswers.enqueue({path});
    item("mnuFileOpen")->trigger();
    addMapNamed("Unsaved map");
    item("mnuFileNew")->trigger();
    addMapNamed("Never saved");
    item("mnuFileNew")->trigger();

    dialogs.itemAnswers.enqueue(1);
    item("mnuFileOpenRecovery")->trigger();
    ASSERT_EQ(dialogs.asked.last().kind, "item");
    const QStringList lines = dialogs.asked.last().text.split('\n');
    ASSERT_EQ(lines.size(), 3);
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    EXPECT_TRUE(lines[1].startsWith(today) && lines[1].endsWith("New map pack (never saved)"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(today) && lines[2].endsWith(native(path))) << lines[2].toStdString();
    ASSERT_EQ(editor->project().mapCount(), 2);
    EXPECT_EQ(editor->project().map(1).displayName, "Unsaved map");
    EXPECT_TRUE(editor->document().inPlaceFile().isEmpty());
}

// The caption marks unsaved changes exactly while the history is off the step the file holds.
TEST_F(FileCommands, TheCaptionIsMarkedModifiedExactlyWhileTheHistoryIsOffItsSavedStep)
{
    const QString saved = Prefix + "New map pack";
    EXPECT_FALSE(editor->isWindowModified());
    EXPECT_EQ(editor->windowTitle(), saved);
    item("mnuEditAdd")->trigger();
    EXPECT_TRUE(editor->isWindowModified());
    EXPECT_EQ(editor->windowTitle(), saved + "[*]");
    item("mnuEditUndo")->trigger();
    EXPECT_FALSE(editor->isWindowModified());
    EXPECT_EQ(editor->windowTitle(), saved);
    item("mnuEditRedo")->trigger();
    EXPECT_TRUE(editor->isWindowModified());

    const QString path = tempPath("marked.mpr");
    dialogs.saveAnswers.enqueue(path);
    item("mnuFileSaveProject")->trigger();
    EXPECT_FALSE(editor->isWindowModified());
    EXPECT_EQ(editor->windowTitle(), saved + " (" + native(path) + ")");
    item("mnuEditUndo")->trigger(); // off the saved step the other way
    EXPECT_TRUE(editor->isWindowModified());
    item("mnuEditRedo")->trigger();
    EXPECT_FALSE(editor->isWindowModified());
    item("mnuFileNew")->trigger();
    EXPECT_FALSE(editor->isWindowModified());
    EXPECT_FALSE(editor->windowTitle().contains("[*]"));
}

// Newest first, each shown by its file name and folder; a project that has gone is refused and dropped.
TEST_F(FileCommands, OpenRecentListsTheLastProjectsAndDropsOnesThatHaveGone)
{
    const QString first = writeProject("first.mpr", "First map");
    const QString second = writeProject("second.mpr", "Second map");
    for (const QString &path : {first, second}) {
        dialogs.openAnswers.enqueue({path});
        item("mnuFileOpen")->trigger();
    }
    makeEditor(); // the list lives in the settings
    auto *recent = editor->findChild<QMenu *>("mnuFileOpenRecent");
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    QStringList shown;
    for (const QAction *entry : recent->actions()) {
        if (!entry->isSeparator())
            shown << entry->text() + (entry->data().isValid() ? "|" + entry->toolTip() : QString());
    }
    const QString folder = QFileInfo(work.path()).fileName();
    EXPECT_EQ(shown,
              (QStringList{"second.mpr (" + folder + ")|" + native(second),
                           "first.mpr (" + folder + ")|" + native(first), "Clear list"}));
    // A screen reader reads the full path too.
    QAccessibleInterface *entry = QAccessible::queryAccessibleInterface(recent)->child(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(QAccessible::Name), "second.mpr (" + folder + ")");
    EXPECT_EQ(entry->text(QAccessible::Description), native(second));
    EXPECT_EQ(entry->role(), QAccessible::MenuItem);
    recent->actions()[1]->trigger();
    EXPECT_EQ(editor->project().map(0).displayName, "First map");

    QFile::remove(second);
    emit recent->aboutToShow();
    recent->actions()[1]->trigger(); // second.mpr, now behind first.mpr
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.messages().last().contains(native(second) + " no longer exists"));
    EXPECT_EQ(editor->project().map(0).displayName, "First map");
    EXPECT_EQ(RecentProjects::load(), QStringList{native(first)});

    emit recent->aboutToShow();
    editor->findChild<QAction *>("mnuFileClearRecent")->trigger();
    EXPECT_EQ(RecentProjects::load(), QStringList());
}

TEST_F(FileCommands, TimedCopiesAreWrittenOnlyWhileTheProjectHasChanged)
{
    editor->keepTimedCopy();
    EXPECT_EQ(recoveryFiles().size(), 0) << "a new project unchanged";
    addMapNamed("Unsaved map");
    editor->keepTimedCopy();
    ASSERT_EQ(recoveryFiles().size(), 1);
    editor->keepTimedCopy();
    EXPECT_EQ(recoveryFiles().size(), 1) << "nothing changed since the last copy";
    item("mnuEditAdd")->trigger();
    editor->keepTimedCopy();
    EXPECT_EQ(recoveryFiles().size(), 2);
    // Saved: nothing to keep; and New finds the work in the last copy already.
    dialogs.saveAnswers.enqueue(tempPath("kept.mpr"));
    item("mnuFileSave")->trigger();
    editor->keepTimedCopy();
    EXPECT_EQ(recoveryFiles().size(), 2);
    auto *timer = editor->findChild<QTimer *>("tmrRecovery");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 2 * 60 * 1000);
}

// Two projects of one name read apart by as much of their folders as differs.
TEST(RecentProjectsList, LabelsTellProjectsOfOneNameApart)
{
    EXPECT_EQ(RecentProjects::labels({"/home/ann/maps/arctic/demo.mpr", "/home/ann/maps/desert/demo.mpr",
                                      "/home/ann/maps/desert/other.mpr"}),
              (QStringList{"demo.mpr (arctic)", "demo.mpr (desert)", "other.mpr (desert)"}));
    EXPECT_EQ(RecentProjects::labels({"/home/ann/maps/demo.mpr", "/home/bob/maps/demo.mpr", "/maps/demo.mpr"}),
              (QStringList{"demo.mpr (ann/maps)", "demo.mpr (bob/maps)", "demo.mpr (/maps)"}));
}

TEST(RecentProjectsList, NewestFirstWithoutRepeatsAndAtMostTen)
{
    QStringList list;
    for (int i = 0; i < 12; ++i)
        list = RecentProjects::withProject(list, QStringLiteral("/p/%1.mpr").arg(i));
    ASSERT_EQ(list.size(), RecentProjects::MaxCount);
    EXPECT_EQ(list.first(), "/p/11.mpr");
    EXPECT_EQ(list.last(), "/p/2.mpr");
    list = RecentProjects::withProject(list, "/p/5.mpr");
    EXPECT_EQ(list.size(), 10);
    EXPECT_EQ(list.first(), "/p/5.mpr");
    EXPECT_EQ(list.count("/p/5.mpr"), 1);
    EXPECT_EQ(RecentProjects::withProject(list, QString()), list);
}

} // namespace
