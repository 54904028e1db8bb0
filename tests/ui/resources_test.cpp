// The resources list through the window: collecting files by the dialog, by folder scans and by
// drops from the desktop, renaming and removing them.

#include "filesfixture.h"

#include "project/folderscan.h"
#include "ui/editor/resourcesmodel.h"
#include "ui/editor/resourcespanel.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tervelle::test {
namespace {

class Resources : public FilesTest
{
protected:
    // What a folder scan should list: each folder's entries in the order the file system gives
    // them, a subfolder's files right where the subfolder stands.
    static QStringList walkOrder(const QString &folder, bool recursive)
    {
        QStringList files;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QFileInfo info = it.nextFileInfo();
            if (info.isFile())
                files.append(info.filePath());
            else if (recursive && info.isDir())
                files += walkOrder(info.filePath(), true);
        }
        return files;
    }

    void chooseFolder(const QString &folder, const char *command)
    {
        dialogs.folderAnswers.enqueue(folder);
        untilScansEnd([this, command] { item(command)->trigger(); });
    }

    // A folder whose two links lead to the next level's folder, `depth` levels down, each with a
    // file: every file is reached along 2^level paths, so the scan lists 2^(depth+1) - 1 paths.
    QString linkFan(int depth)
    {
        for (int level = 0; level <= depth; ++level) {
            makeFile(QStringLiteral("fan/L%1/f%1.xan").arg(level));
            if (level > 0) {
                for (const char *name : {"x", "y"}) {
                    EXPECT_TRUE(QFile::link(tempPath(QStringLiteral("fan/L%1").arg(level)),
                                            tempPath(QStringLiteral("fan/L%1/%2").arg(level - 1).arg(name))));
                }
            }
        }
        return tempPath("fan/L0");
    }

    // 40,000 empty files in 200 folders: a scan long enough for the window to act during it.
    QString largeFolder()
    {
        for (int f = 0; f < 200; ++f) {
            const QByteArray folder = QFile::encodeName(tempPath(QStringLiteral("large/d%1").arg(f)));
            EXPECT_TRUE(QDir().mkpath(QFile::decodeName(folder)));
            for (int i = 0; i < 200; ++i) {
                const int fd =
                    ::open(folder + "/f" + QByteArray::number(i) + ".xan", O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                EXPECT_GE(fd, 0);
                ::close(fd);
            }
        }
        return tempPath("large");
    }
};

TEST_F(Resources, TheSameFileTwiceIsOneEntryAnotherLetterCaseIsAnother)
{
    const QString lower = makeFile("maps/a.xan");
    makeFile("maps/A.XAN");
    addResources({lower});
    chooseFolder(tempPath("maps"), "mnuResourcesEditAddDir");
    EXPECT_EQ(resourceNames().size(), 2);
    EXPECT_EQ(resourceNames().count("a.xan"), 1);
    EXPECT_EQ(resourceNames().count("A.XAN"), 1);
    // The folder column shows the folder without its last separator.
    const QAbstractItemModel *model = widget<QTreeView>("lstResources")->model();
    EXPECT_EQ(model->index(0, 1).data().toString(), tempPath("maps"));
    EXPECT_FALSE(model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
}

TEST_F(Resources, FileDialogStartsInTheGameFolderThenStaysWhereFilesWereChosen)
{
    settings.WormsDir = tempPath("game") + QLatin1Char('/');
    const QString file = makeFile("elsewhere/one.lua");
    addResources({file});
    addResources({});
    ASSERT_EQ(dialogs.asked.size(), 2);
    const FileDialogRequest &first = dialogs.asked[0].request;
    EXPECT_EQ(first.title, "Select files to add");
    EXPECT_TRUE(first.filter.startsWith("All(*.*)|*.*|Maps(*.xan)|*.xan|"));
    EXPECT_EQ(first.filterIndex, 1);
    EXPECT_EQ(first.folder, settings.WormsDir);
    EXPECT_TRUE(dialogs.asked[0].multiple);
    EXPECT_EQ(dialogs.asked[1].request.folder, tempPath("elsewhere"));
}

TEST_F(Resources, DeletedEntriesCanBeAddedAgainAndDeleteFollowsTheSelection)
{
    const QString a = makeFile("a.txt"), b = makeFile("b.txt"), c = makeFile("c.txt");
    addResources({a, b, c});
    QAction *remove = item("mnuResourcesEditDelete");
    QAction *rename = item("mnuResourcesEditRename");
    EXPECT_FALSE(remove->isEnabled());
    selectResources({"b.txt", "c.txt"});
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_TRUE(rename->isEnabled());
    remove->trigger();
    EXPECT_EQ(resourceNames(), QStringList({"a.txt"}));
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(rename->isEnabled());

    addResources({c, b});
    EXPECT_EQ(resourceNames(), QStringList({"a.txt", "c.txt", "b.txt"}));
    selectResources({"a.txt"});
    item("mnuResourcesEditClear")->trigger();
    EXPECT_TRUE(resourceNames().isEmpty());
    EXPECT_FALSE(remove->isEnabled());
    addResources({a});
    EXPECT_EQ(resourceNames(), QStringList({"a.txt"}));
}

TEST_F(Resources, AddFolderTakesDirectFilesAndWithSubfoldersWalksInPlace)
{
    for (const char *name :
         {"top1.xan", ".hidden.tga", "sub/inner.lua", "sub/deeper/last.txt", "top2.hmp", "other/x.htm"})
        makeFile(QStringLiteral("scan/") + QLatin1String(name));
    const QString folder = tempPath("scan");

    chooseFolder(folder, "mnuResourcesEditAddDir");
    EXPECT_EQ(resourcePaths(), walkOrder(folder + "/", false));
    EXPECT_TRUE(resourceNames().contains(".hidden.tga"));
    EXPECT_EQ(settings.LastDir, folder + "/");
    EXPECT_EQ(dialogs.asked.last().caption, "Select directory with files");

    item("mnuResourcesEditClear")->trigger();
    chooseFolder(folder, "mnuResourcesEditAddSubDirs");
    EXPECT_EQ(resourcePaths(), walkOrder(folder + "/", true));
    EXPECT_EQ(resourcePaths().size(), 6);
    // The picker opens on the folder chosen last.
    EXPECT_EQ(dialogs.asked.last().request.folder, folder + "/");
}

TEST_F(Resources, ACancelledOrEmptyPickerChangesNothing)
{
    makeFile("scan/a.xan");
    settings.LastDir = "/before/";
    dialogs.folderAnswers.enqueue(std::nullopt);
    item("mnuResourcesEditAddDir")->trigger();
    dialogs.folderAnswers.enqueue(QString());
    item("mnuResourcesEditAddSubDirs")->trigger();
    dialogs.folderAnswers.enqueue(tempPath("missing"));
    item("mnuResourcesEditAddSubDirs")->trigger();
    EXPECT_TRUE(resourceNames().isEmpty());
    EXPECT_EQ(settings.LastDir, "/before/");
}

TEST_F(Resources, AScanBesideTheWindowListsWhatTheScanListsInItsOrder)
{
    const QString folder = linkFan(12);
    const QString before = makeFile("fan/L0/x/x/f2.xan"); // listed already: the scan skips it
    addResources({before});
    ResourceList expected;
    expected.AddNewResource(before);
    ASSERT_EQ(AddFolder(expected, folder, true), ScanResult::Finished);
    // Each level once, however many links lead there.
    ASSERT_EQ(expected.count(), 13);

    chooseFolder(folder, "mnuResourcesEditAddSubDirs");
    QStringList paths;
    for (const ResourceEntry &entry : expected.entries())
        paths << entry.fullPath;
    EXPECT_EQ(resourcePaths(), paths);
    EXPECT_EQ(widget<QTreeView>("lstResources")->model()->rowCount(), expected.count());
    EXPECT_EQ(widget<QLabel>("lblResources")->text(),
              "Resources (12 folders reached again through links, listed once)");
}

TEST_F(Resources, EscStopsAScanTheWindowAnswersMeanwhileAndNoCommandStarts)
{
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    addResources({makeFile("kept.lua")});
    // Far more files than a scan gets through before the window has taken the keys.
    const QString folder = largeFolder();
    bool heldDuringScan = false;
    QTimer::singleShot(0, editor.get(), [&] {
        heldDuringScan = !widget("pnlRight")->isEnabled() && !widget("pnlMid")->isEnabled()
            && !widget("pnlLeft")->isEnabled() && !item("mnuFileNew")->isEnabled();
        // File, New would empty the list under the scan.
        QTest::keyClick(editor.get(), Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(editor.get(), Qt::Key_Escape);
    });
    chooseFolder(folder, "mnuResourcesEditAddSubDirs");
    EXPECT_TRUE(heldDuringScan);
    EXPECT_EQ(resourceNames().first(), "kept.lua");
    EXPECT_LT(resourceNames().size(), 1 << 16);
    EXPECT_TRUE(widget("pnlRight")->isEnabled());
    EXPECT_TRUE(item("mnuFileNew")->isEnabled());
    EXPECT_EQ(widget<QLabel>("lblResources")->text(), "Resources");
    EXPECT_EQ(widget<QTreeView>("lstResources")->model()->rowCount(), resourceNames().size());
}

TEST_F(Resources, ClosingTheWindowStopsTheScanAndThenCloses)
{
    const QString folder = largeFolder();
    QTimer::singleShot(0, editor.get(), [&] { editor->close(); });
    chooseFolder(folder, "mnuResourcesEditAddSubDirs");
    EXPECT_LT(resourceNames().size(), 1 << 16);
    EXPECT_FALSE(editor->isVisible());

    // Gone in the middle of a scan, the window takes the scan's thread along.
    makeEditor();
    dialogs.folderAnswers.enqueue(folder);
    item("mnuResourcesEditAddSubDirs")->trigger();
    editor.reset();
}

TEST_F(Resources, RenameKeepsTheExtensionAndRefusesNamesNoFileCanHave)
{
    const QString old = makeFile("old.xan");
    const QString other = makeFile("archive.tar.gz");
    addResources({old, other});
    selectResources({"old.xan", "archive.tar.gz"});
    dialogs.inputAnswers.enqueue(QStringLiteral("new"));
    item("mnuResourcesEditRename")->trigger();
    EXPECT_EQ(dialogs.asked.last().text, "Input new name|old");
    EXPECT_EQ(resourceNames(), QStringList({"new.xan", "archive.tar.gz"}));
    EXPECT_EQ(resourcePaths().first(), old);

    selectResources({"archive.tar.gz"});
    dialogs.inputAnswers.enqueue(QStringLiteral("bad:name"));
    item("mnuResourcesEditRename")->trigger();
    EXPECT_EQ(resourceNames().last(), "archive.tar.gz");
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("bad:name")) << dialogs.messages().first().toStdString();

    dialogs.inputAnswers.enqueue(std::nullopt);
    item("mnuResourcesEditRename")->trigger();
    EXPECT_EQ(resourceNames().last(), "archive.tar.gz");
}

TEST_F(Resources, NewEmptiesTheListOpenKeepsIt)
{
    addResources({makeFile("keep.lua")});
    const QString project = tempPath("p.mpr");
    dialogs.saveAnswers.enqueue(project);
    item("mnuFileSaveProject")->trigger();
    dialogs.openAnswers.enqueue({project});
    item("mnuFileOpen")->trigger();
    EXPECT_EQ(resourceNames(), QStringList({"keep.lua"}));
    // The kept list keeps its selection, and Delete still follows it.
    selectResources({"keep.lua"});
    dialogs.openAnswers.enqueue({project});
    item("mnuFileOpen")->trigger();
    EXPECT_TRUE(item("mnuResourcesEditDelete")->isEnabled());
    item("mnuFileNew")->trigger();
    EXPECT_TRUE(resourceNames().isEmpty());
    EXPECT_EQ(widget<QTreeView>("lstResources")->model()->rowCount(), 0);
}

TEST_F(Resources, DesktopDropsAddFilesAndWholeFoldersAndNothingTakesAFifo)
{
    const QString file = makeFile("drop/one.xan");
    makeFile("drop/folder/two.lua");
    makeFile("drop/folder/sub/three.txt");
    const QString fifo = tempPath("drop/pipe.lua");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(tempPath("drop/folder")), QUrl::fromLocalFile(fifo)});
    QWidget *viewport = widget<QTreeView>("lstResources")->viewport();
    untilScansEnd([&] { EXPECT_TRUE(dragOnto(viewport, QPoint(10, 10), &data, true)); });
    QStringList names = resourceNames();
    names.sort();
    EXPECT_EQ(names, QStringList({"one.xan", "three.txt", "two.lua"}));
    EXPECT_EQ(settings.LastDir, QString());

    // The file dialog takes no FIFO either.
    addResources({fifo});
    EXPECT_EQ(resourceNames().size(), 3);

    // Rows dragged within the list are no desktop files.
    selectResources({"one.xan"});
    std::unique_ptr<QMimeData> own(resourceDrag());
    EXPECT_FALSE(dragOnto(viewport, QPoint(10, 10), own.get(), true));
    EXPECT_EQ(resourceNames().size(), 3);
}

} // namespace
} // namespace tervelle::test
