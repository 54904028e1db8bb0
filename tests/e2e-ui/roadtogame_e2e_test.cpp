// A map maker's whole road through the window: files collected and placed, a header link and
// two maps edited with every value editor, the project saved and opened again, the map pack
// built with the real compiler and its installer run silently under Wine.

#include "ui/filesfixture.h"
#include "ui/gridtesting.h"

#include "mappack/maplist.h"
#include "mappack/packfiles.h"
#include "mappack/packplan.h"
#include "project/filenames.h"
#include "support/testcompiler.h"
#include "support/tgabuilder.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/propertiespanel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

namespace tervelle::test {
namespace {

const QString CompilerFolder = QStringLiteral(TERVELLE_BINARY_DIR "/iscc");

// Runs a tool to its end and returns its exit code (-1 when it crashed or hung), its output in `output`.
int runTool(const QString &program, const QStringList &args, QString *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString dosPath(const QString &path)
{
    return QStringLiteral("Z:") + QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

class RoadToTheGame : public FilesTest
{
protected:
    void SetUp() override
    {
        if (!QFileInfo(CompilerFolder + QStringLiteral("/iscc.exe")).isFile())
            GTEST_SKIP() << "no compiler in " << CompilerFolder.toStdString() << " (run scripts/setup-iscc)";
        for (const char *tool : {"wine", "innoextract"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (run scripts/bootstrap)";
        }
        qputenv("WINEPREFIX", TERVELLE_WINEPREFIX);
        qputenv("WINEARCH", "win32");
        qputenv("WINEDEBUG", "-all");
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=");
        FilesTest::SetUp();
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));

        appDir = tempPath("app") + QLatin1Char('/');
        ASSERT_TRUE(test::linkRealCompiler(CompilerFolder, appDir));
        settings.AppDir = appDir;
        settings.compilerLauncher = QStringLiteral("wine");
        test::editPack(projectToSetUp(), [&](PackProperties &p) { p.PackPropertiesSet = true; });
    }

    QTableView *grid(const char *name) const { return widget<QTableView>(name); }
    // The shown one of the controls named `name`, or none.
    template <typename T>
    T *shown(const char *name) const
    {
        for (T *found : editor->findChildren<T *>(QString::fromLatin1(name))) {
            if (found->isVisible())
                return found;
        }
        return nullptr;
    }

    // Types into the text cell as a person does: F2, everything selected, the new text, Enter.
    void typeInto(QTableView *table, int row, const QString &text)
    {
        clickCell(table, row, 1);
        QTest::keyClick(table, Qt::Key_F2);
        auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        ASSERT_NE(edit, nullptr) << "no text editor on row " << row;
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // Chooses the item of the cell's pick list as a click in its drop-down does.
    void choose(QTableView *table, int row, const QString &text)
    {
        clickCell(table, row, 1);
        auto *pick = cellEditor<QComboBox>(table, row);
        ASSERT_NE(pick, nullptr) << "no pick list on row " << row;
        const int index = pick->findText(text);
        ASSERT_GE(index, 0) << text.toStdString() << " is not offered on row " << row;
        pick->setCurrentIndex(index);
        emit pick->activated(index);
    }

    void chooseScript(const QString &script)
    {
        QTableView *properties = grid("lstProperties");
        clickCell(properties, 2, 1);
        // The one shown: an editor of the map shown before may await its deletion, hidden.
        QToolButton *button = shown<QToolButton>("cmdScripts");
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        QListWidget *list = shown<QListWidget>("lstScripts");
        ASSERT_TRUE(list && list->isVisible());
        const QList<QListWidgetItem *> found = list->findItems(script, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << script.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    }

    void selectMap(int row)
    {
        auto *maps = widget<QListView>("lstMaps");
        maps->setCurrentIndex(maps->model()->index(row, 0));
    }

    // Every value editor of the map's grid used once.
    void editMap(int row, const QString &title, const QString &name, const QString &tile)
    {
        selectMap(row);
        QTableView *properties = grid("lstProperties");
        typeInto(properties, 0, title);
        choose(properties, 1, name + ".tga");
        chooseScript(name);
        choose(properties, 3, name);
        choose(properties, 4, name + ".txt");
        clickCell(properties, 5, 1);
        auto *tiles = cellEditor<QComboBox>(properties, 5);
        ASSERT_NE(tiles, nullptr);
        EXPECT_EQ(tiles->objectName(), "cmbPropertiesTga");
        tiles->setCurrentIndex(tiles->findText(tile));
        emit tiles->activated(tiles->currentIndex());
    }

    QStringList properties(int map) const { return editor->project().map(map).Info.Properties; }

    QString appDir;
};

TEST_F(RoadToTheGame, FilesMapsAndHeaderMadeInTheWindowInstallIntoTheGame)
{
    // The castle's files in a folder of their own, added with its subfolders.
    makeFile("castle/maps/castle.xan", "castle map");
    makeFile("castle/maps/castle.hmp", "castle heights");
    makeFile("castle/icons/castle.tga", standardTga(4, 4, 24, QByteArray(4 * 4 * 3, char(0x50))));
    makeFile("castle/scripts/castle.lua", "-- castle script");
    makeFile("castle/themes/castle.txt", "castle textures");
    dialogs.folderAnswers.enqueue(tempPath("castle"));
    untilScansEnd([this] { item("mnuResourcesEditAddSubDirs")->trigger(); });
    ASSERT_EQ(resourceNames().size(), 5);

    // The mill's files and the page dropped from the desktop.
    QStringList dropped;
    for (const auto &[name, bytes] : std::initializer_list<std::pair<QString, QByteArray>>{
             {"mill.xan", "mill map"},
             {"mill.tga", standardTga(4, 4, 24, QByteArray(4 * 4 * 3, char(0x20)))},
             {"mill.lua", "-- mill script"},
             {"mill.txt", "mill textures"},
             {"about.htm", "<html>road pack</html>"}})
        dropped.append(makeFile("desk/" + name, bytes));
    QMimeData urls;
    QList<QUrl> links;
    for (const QString &path : dropped)
        links.append(QUrl::fromLocalFile(path));
    urls.setUrls(links);
    EXPECT_TRUE(dragOnto(widget<QTreeView>("lstResources")->viewport(), QPoint(10, 10), &urls, true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return resourceNames().size() == 10; }));

    // Everything dragged onto each group: each takes its own kind.
    for (RootGroup group : {MapsRoot, HeightMapsRoot, IconsRoot, TexturesRoot, ScriptsRoot}) {
        selectResources(resourceNames());
        EXPECT_TRUE(dragOntoNode(root(group), true)) << group;
    }
    EXPECT_EQ(childNames(root(MapsRoot)), QStringList({"castle.xan", "mill.xan"}));
    EXPECT_EQ(childNames(root(HeightMapsRoot)), QStringList({"castle.hmp"}));
    EXPECT_EQ(childNames(root(IconsRoot)), QStringList({"castle.tga", "mill.tga"}));
    EXPECT_EQ(childNames(root(TexturesRoot)), QStringList({"castle.txt", "mill.txt"}));
    EXPECT_EQ(childNames(root(ScriptsRoot)), QStringList({"castle.lua", "mill.lua"}));

    // A folder for the page under {files}, and the page dropped into it.
    clickNode(root(FilesRoot));
    dialogs.inputAnswers.enqueue(QStringLiteral("Info"));
    item("mnuFilesEditCreateFolder")->trigger();
    TreeNode *info = childNamed(root(FilesRoot), "Info");
    ASSERT_TRUE(info);
    selectResources({"about.htm"});
    EXPECT_TRUE(dragOntoNode(info, true));
    ASSERT_EQ(childNames(info), QStringList({"about.htm"}));

    // The header: its title typed, its link chosen from the pick list.
    QTableView *header = grid("lstHeader");
    typeInto(header, 0, "Road pack");
    choose(header, 1, "Info\\about.htm");
    auto *link = cellEditor<QComboBox>(header, 1);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->objectName(), "cmbHeader");
    const QStringList headerRows = editor->project().headerRows();
    EXPECT_EQ(headerRows.value(1), "[htmlenglish]=Info\\about.htm");

    // Two maps, each value editor used on each.
    item("mnuEditAdd")->trigger();
    item("mnuEditAdd")->trigger();
    editMap(0, "Castle", "castle", "W64");
    editMap(1, "Mill", "mill", "A07");
    const QStringList castle{"[text]=Castle", "[image]=castle.tga",    "[scripts]=stdvs,wormpot,castle",
                             "[map]=castle",  "[textures]=castle.txt", "[texture1]=W64",
                             "[texture2]=C03"};
    EXPECT_EQ(properties(0), castle);
    EXPECT_EQ(properties(1).value(0), "[text]=Mill");
    EXPECT_EQ(properties(1).value(3), "[map]=mill");
    EXPECT_EQ(properties(1).value(5), "[texture1]=A07");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("\n").toStdString();

    // Saved, a new project, and opened again: all of it back.
    const QString project = tempPath("road.mpr");
    dialogs.saveAnswers.enqueue(project);
    item("mnuFileSaveProject")->trigger();
    item("mnuFileNew")->trigger();
    ASSERT_EQ(editor->project().mapCount(), 0);
    dialogs.openAnswers.enqueue({project});
    item("mnuFileOpen")->trigger();
    ASSERT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("\n").toStdString();
    ASSERT_EQ(editor->project().mapCount(), 2);
    EXPECT_EQ(properties(0), castle);
    EXPECT_EQ(editor->project().headerRows(), headerRows);
    info = childNamed(root(FilesRoot), "Info");
    ASSERT_TRUE(info);
    EXPECT_EQ(childNames(info), QStringList({"about.htm"}));
    EXPECT_EQ(childNames(root(MapsRoot)), QStringList({"castle.xan", "mill.xan"}));

    // Built with the real compiler.
    const QString installer = tempPath("out/Road pack.exe");
    ASSERT_TRUE(QDir().mkpath(tempPath("out")));
    dialogs.saveAnswers.enqueue(installer);
    item("mnuFileSaveMapPack")->trigger();
    ASSERT_TRUE(editor->isBuilding()) << dialogs.messages().join("\n").toStdString();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !editor->isBuilding() && !test::panelOf<ConsolePanel>(*editor)->hasPendingLines(); }, 240000));
    const QStringList lines = test::panelOf<ConsolePanel>(*editor)->lines();
    ASSERT_EQ(lines.last(), "Done") << lines.join("\n").toStdString();
    ASSERT_TRUE(QFileInfo(installer).isFile());
    const QString mapList = StagingFolder(appDir) + mapListFileName(editor->project().packTitle());
    EXPECT_EQ(QFileInfo(mapList).fileName(), "Road pack.mpl");
    EXPECT_EQ(readBytes(mapList), MapListBytes(planPack(editor->project(), QString())));

    // Every numbered file of the pack is in the installer.
    QString listing;
    ASSERT_EQ(runTool("innoextract", {"--list", installer}, &listing), 0) << listing.toStdString();
    int numbered = 0;
    for (const PackFileEntry &entry : NumberPackFiles(editor->project(), appDir)) {
        if (!entry.isPackFile)
            continue;
        ++numbered;
        const QString name = "\"tmp/" + NumberedName(entry.absoluteIndex) + "\"";
        EXPECT_TRUE(listing.contains(name)) << name.toStdString() << "\n" << listing.toStdString();
    }
    // Two maps, a height map, two icons, two texture lists, two scripts, the page and the map list.
    EXPECT_EQ(numbered, 11);

    // Installed silently against a launcher and a game of its own.
    if (QStandardPaths::findExecutable("xvfb-run").isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed: the installer was not run";
    const QString launcher = tempPath("launcher") + QLatin1Char('/');
    const QString worms = tempPath("worms") + QLatin1Char('/');
    for (const char *folder : {"data/maps", "data/scripts", "data/frontend/levels"})
        QDir().mkpath(worms + QLatin1String(folder));
    QDir().mkpath(launcher);
    const QString key = "HKLM\\Software\\Orbeck\\Quorvane";
    runTool("wine", {"reg", "add", key, "/v", "AppDir", "/d", dosPath(launcher), "/f"});
    runTool("wine", {"reg", "add", key, "/v", "WormsDir", "/d", dosPath(worms), "/f"});
    runTool("wineserver", {"-k"});
    QString installOutput;
    const int installed =
        runTool("xvfb-run", {"-a", "wine", installer, "/VERYSILENT", "/SUPPRESSMSGBOXES"}, &installOutput);
    runTool("wineserver", {"-k"});
    ASSERT_EQ(installed, 0) << installOutput.toStdString();

    const QList<std::pair<QString, QString>> placed{
        {"castle/maps/castle.xan", worms + "data/maps/castle.xan"},
        {"castle/maps/castle.hmp", worms + "data/maps/castle.hmp"},
        {"castle/themes/castle.txt", worms + "data/maps/castle.txt"},
        {"castle/scripts/castle.lua", worms + "data/scripts/castle.lua"},
        {"castle/icons/castle.tga", worms + "data/frontend/levels/castle.tga"},
        {"desk/mill.xan", worms + "data/maps/mill.xan"},
        {"desk/mill.txt", worms + "data/maps/mill.txt"},
        {"desk/mill.lua", worms + "data/scripts/mill.lua"},
        {"desk/mill.tga", worms + "data/frontend/levels/mill.tga"},
        {"desk/about.htm", launcher + "maplists/Info/about.htm"}};
    for (const auto &[source, target] : placed) {
        ASSERT_TRUE(QFileInfo(target).isFile()) << target.toStdString();
        EXPECT_EQ(readBytes(target), readBytes(tempPath(source))) << target.toStdString();
    }
    EXPECT_EQ(readBytes(launcher + "maplists/Road pack.mpl"), readBytes(mapList));
}

} // namespace
} // namespace tervelle::test
