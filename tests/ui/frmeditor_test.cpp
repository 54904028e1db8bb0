#include "editorfixture.h"

#include "core/langload.h"
#include "core/settingsstore.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "ui/colors.h"
#include "ui/editor/fileicons.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/filestreemodel.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/labelmenu.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/propertiespanel.h"
#include "ui/editor/resourcespanel.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTableView>
#include <QTest>
#include <QTreeView>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

using Window = EditorTest;

TEST_F(Window, ControlsStandInTheirPanels)
{
    const std::pair<const char *, const char *> parents[] = {
        // The columns and their bars lie in the splitter that is the window's client area.
        {"splColumns", "frmEditor"},
        {"splRightColumns", "splColumns"},
        {"pnlLeft", "splColumns"},
        {"splLeftMid", "splColumns"},
        {"pnlMid", "splRightColumns"},
        {"splMidRight", "splRightColumns"},
        {"pnlRight", "splRightColumns"},
        {"pnlCompile", "frmEditor"},
        {"pnlMaps", "pnlLeft"},
        {"splMapsHeader", "pnlLeft"},
        {"pnlHeader", "pnlLeft"},
        {"pnlProperties", "pnlMid"},
        {"splPropertiesFiles", "pnlMid"},
        {"pnlFiles", "pnlMid"},
        {"pnlResources", "pnlRight"},
        {"splResourcesPreview", "pnlRight"},
        {"pnlPreview", "pnlRight"},
        {"pnlMapsMenu", "pnlMaps"},
        {"pnlHeaderMenu", "pnlHeader"},
        {"pnlPropertiesMenu", "pnlProperties"},
        {"pnlFilesMenu", "pnlFiles"},
        {"pnlResourcesMenu", "pnlResources"},
        {"mnuFile", "pnlMapsMenu"},
        {"mnuEdit", "pnlMapsMenu"},
        {"mnuHeaderEdit", "pnlHeaderMenu"},
        {"mnuPropertiesEdit", "pnlPropertiesMenu"},
        {"mnuFilesEdit", "pnlFilesMenu"},
        {"mnuResourcesEdit", "pnlResourcesMenu"},
        {"lstMaps", "pnlMaps"},
        {"lstHeader", "pnlHeader"},
        {"lstProperties", "pnlProperties"},
        {"lstFiles", "pnlFiles"},
        {"lstResources", "pnlResources"},
        {"lstCompile", "pnlCompile"},
        {"lblMaps", "pnlMaps"},
        {"lblHeader", "pnlHeader"},
        {"lblProperties", "pnlProperties"},
        {"lblFiles", "pnlFiles"},
        {"lblResources", "pnlResources"},
        {"lblPreview", "pnlPreview"},
        {"lblNoPreview", "pnlPreview"},
        {"lblCompile", "pnlCompile"},
        {"sbPreview", "pnlPreview"},
        {"txtPreview", "pnlPreview"},
    };
    for (const auto &[name, parent] : parents) {
        const QWidget *control = widget(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->parentWidget()->objectName(), parent) << name;
    }
    EXPECT_EQ(widget("imgPreview")->parentWidget()->parentWidget(), widget<QScrollArea>("sbPreview"));
    EXPECT_EQ(widget("splColumns")->geometry(), editor->rect());
}

TEST_F(Window, StartsWithTheNewProjectStage)
{
    EXPECT_EQ(editor->windowTitle(), "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck - New map pack");
    EXPECT_FALSE(widget("pnlCompile")->isVisible());
    for (const char *hidden : {"sbPreview", "txtPreview"})
        EXPECT_FALSE(widget(hidden)->isVisible()) << hidden;
    // The value editors open on their cells only when a cell needs one.
    for (const char *editorName : {"cmbHeader", "cmbProperties", "cmbPropertiesTga", "lstScripts", "cmdScripts"})
        EXPECT_EQ(editor->findChild<QWidget *>(QString::fromLatin1(editorName)), nullptr) << editorName;
    EXPECT_TRUE(widget("lblNoPreview")->isVisible());

    EXPECT_TRUE(widget("lstHeader")->isEnabled());
    EXPECT_TRUE(widget("lstFiles")->isEnabled());
    EXPECT_TRUE(widget("lstResources")->isEnabled());
    EXPECT_FALSE(widget("lstProperties")->isEnabled());
    const char *enabled[] = {"mnuFileNew",
                             "mnuFileOpen",
                             "mnuFileSaveProject",
                             "mnuFileSaveMapPack",
                             "mnuFilePackProperties",
                             "mnuFileShowConsole",
                             "mnuFileExit",
                             "mnuEditAdd",
                             "mnuHeaderEditAdd",
                             "mnuHeaderEditAddInfo",
                             "mnuFilesEditAdd",
                             "mnuFilesEditCreateFolder",
                             "mnuPropertiesEditTexturesDir",
                             "mnuResourcesEditAdd",
                             "mnuResourcesEditAddDir",
                             "mnuResourcesEditAddSubDirs",
                             "mnuResourcesEditClear",
                             "mnuCompileSaveToFile",
                             "mnuCompileClear"};
    // Rename, Duplicate and Move wait for something chosen, as Delete does.
    const char *disabled[] = {"mnuEditDelete",          "mnuHeaderEditDelete",  "mnuFilesEditDelete",
                              "mnuResourcesEditDelete", "mnuPropertiesEditAdd", "mnuPropertiesEditDelete",
                              "mnuResourcesEditRename", "mnuEditDuplicate",     "mnuEditMoveUp",
                              "mnuEditMoveDown"};
    for (const char *name : enabled)
        EXPECT_TRUE(item(name)->isEnabled()) << name;
    for (const char *name : disabled)
        EXPECT_FALSE(item(name)->isEnabled()) << name;
    for (const char *label :
         {"mnuFile", "mnuEdit", "mnuHeaderEdit", "mnuPropertiesEdit", "mnuFilesEdit", "mnuResourcesEdit"})
        EXPECT_TRUE(widget(label)->isEnabled()) << label;
}

TEST_F(Window, CaptionsComeFromTheLanguageTable)
{
    const std::pair<const char *, const char *> labels[] = {
        {"lblMaps", "Maps"},
        {"lblProperties", "Properties"},
        {"lblHeader", "Pack properties"},
        {"lblFiles", "Files"},
        {"lblResources", "Resources"},
        {"lblPreview", "Preview"},
        {"lblNoPreview", "No preview"},
        {"lblCompile", "Compile status"},
    };
    for (const auto &[name, text] : labels)
        EXPECT_EQ(widget<QLabel>(name)->text(), text) << name;
    EXPECT_EQ(widget<LabelMenu>("mnuFile")->text(), " File");
    EXPECT_EQ(widget<LabelMenu>("mnuResourcesEdit")->text(), " Edit");
    EXPECT_EQ(widget<LabelMenu>("mnuFile")->accessibleName(), "File");

    const std::pair<const char *, QStringList> menus[] = {
        {"pmnuFile",
         {"New", "Open...", "Open recent", "Open recovery copy...", "Save", "Save project...", "Save map pack...",
          "Check pack...", "Try installer...", "Project options...", "Show console", "Help", "Exit"}},
        {"pmnuEdit", {"Add", "Delete", "Duplicate", "Move up", "Move down", "", "Undo", "Redo"}},
        {"pmnuHeaderEdit", {"Add...", "Add link to info file...", "Delete"}},
        {"pmnuPropertiesEdit", {"Add...", "Delete", "Select textures directory..."}},
        {"pmnuFilesEdit",
         {"Add selected resources", "Create folder...", "Rename...", "Delete", "Locate missing files..."}},
        {"pmnuResourcesEdit",
         {"Add...", "Add folder...", "Add folder with subfolders...", "Rename...", "Delete", "Clear"}},
        {"pmnuCompile", {"Save to file", "Clear"}},
    };
    for (const auto &[name, captions] : menus) {
        QStringList shown;
        for (const QAction *action : widget<QMenu>(name)->actions())
            shown << action->text();
        EXPECT_EQ(shown, captions) << name;
    }
    for (const char *grid : {"lstHeader", "lstProperties"}) {
        const QAbstractItemModel *model = widget<QTableView>(grid)->model();
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Key");
        EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Value");
    }
    const QAbstractItemModel *resources = widget<QTreeView>("lstResources")->model();
    EXPECT_EQ(resources->headerData(0, Qt::Horizontal).toString(), "File");
    EXPECT_EQ(resources->headerData(1, Qt::Horizontal).toString(), "Path");
}

TEST_F(Window, LabelMenusStandSideBySideSizedToTheirText)
{
    auto *file = widget<LabelMenu>("mnuFile");
    auto *edit = widget<LabelMenu>("mnuEdit");
    const QWidget *strip = widget("pnlMapsMenu");
    EXPECT_EQ(file->width(), file->fontMetrics().horizontalAdvance(" File") + 10);
    EXPECT_EQ(edit->x() - file->x(), file->width());
    EXPECT_EQ(file->y(), edit->y());
    EXPECT_EQ(file->x(), strip->contentsRect().left());
    EXPECT_EQ(file->height(), strip->contentsRect().height());
    EXPECT_EQ(strip->geometry(), QRect(8, 24, widget("pnlMaps")->width() - 16, 17));
}

TEST_F(Window, ColoursFollowTheScheme)
{
    EXPECT_EQ(widget("pnlMaps")->palette().color(QPalette::Window), toQColor(ColorPanel));
    EXPECT_EQ(toQColor(ColorPanel), QColor(224, 223, 227));
    EXPECT_EQ(widget("lblFiles")->palette().color(QPalette::Window), toQColor(ColorPanel));
    EXPECT_EQ(widget("splLeftMid")->palette().color(QPalette::Window), toQColor(ColorPanel));
    EXPECT_EQ(widget("splMapsHeader")->palette().color(QPalette::Window), toQColor(ColorPanel));
    EXPECT_EQ(widget("pnlFilesMenu")->palette().color(QPalette::Window), toQColor(ColorMenu));
    EXPECT_EQ(widget("mnuFilesEdit")->palette().color(QPalette::Window), toQColor(ColorMenu));
    EXPECT_EQ(widget("lstFiles")->palette().color(QPalette::Base), toQColor(ColorWindow));
    EXPECT_EQ(widget("lstCompile")->palette().color(QPalette::Text), toQColor(ColorText));
    // What a person sees: the title strip of the maps panel is painted in the panel colour.
    const QImage shot = widget("lblMaps")->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(2, 2)), toQColor(ColorPanel));
}

TEST_F(Window, ShowsTheProjectInItsViews)
{
    ProjectModel &project = projectToSetUp();
    project.AddMap();
    project.AddMap();
    project.SetMapPropertyValue(1, 0, "Arctic");
    TreeNode *folder = project.AddDirElement(project.root(IconsRoot), "icons");
    project.AddFileElement(folder, "a.tga", LevelIconFile, "/nowhere/a.tga");

    const QAbstractItemModel *maps = widget<QListView>("lstMaps")->model();
    ASSERT_EQ(maps->rowCount(), 2);
    EXPECT_EQ(maps->index(1, 0).data().toString(), "Arctic");

    const QAbstractItemModel *header = widget<QTableView>("lstHeader")->model();
    ASSERT_EQ(header->rowCount(), 2);
    EXPECT_EQ(header->index(0, 0).data().toString(), "[english]");
    EXPECT_EQ(header->index(0, 1).data().toString(), "New map pack");
    project.SetHeaderValue(0, "Arctic pack");
    EXPECT_EQ(header->index(0, 1).data().toString(), "Arctic pack");

    const QAbstractItemModel *tree = widget<QTreeView>("lstFiles")->model();
    ASSERT_EQ(tree->rowCount(), 6);
    QStringList roots;
    for (int i = 0; i < 6; ++i)
        roots << tree->index(i, 0).data().toString();
    EXPECT_EQ(roots, (QStringList{"Files", "Maps", "Height maps", "Level icons", "Texture files", "Lua scripts"}));
    const QModelIndex files = tree->index(0, 0);
    EXPECT_EQ(tree->index(0, 0, files).data().toString(), "Arctic pack.mpl");
    const QModelIndex icons = tree->index(3, 0);
    const QModelIndex folderIndex = tree->index(0, 0, icons);
    EXPECT_EQ(folderIndex.data().toString(), "icons");
    EXPECT_EQ(tree->index(0, 0, folderIndex).data().toString(), "a.tga");

    // Each node shows its own image of the twelve.
    const auto image = [](const QModelIndex &index) {
        return index.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage();
    };
    EXPECT_EQ(image(files), fileImage(0).toImage());
    EXPECT_EQ(image(folderIndex), fileImage(2).toImage());
    EXPECT_EQ(image(tree->index(0, 0, folderIndex)), fileImage(7).toImage());
    EXPECT_EQ(image(tree->index(0, 0, files)), fileImage(11).toImage());
    // On a screen at 200 % the image is drawn at 32 pixels, not the 16-pixel one blown up.
    const QIcon mapList = tree->index(0, 0, files).data(Qt::DecorationRole).value<QIcon>();
    const QImage sharp = mapList.pixmap(QSize(16, 16), 2.0).toImage();
    EXPECT_EQ(sharp.size(), QSize(32, 32));
    EXPECT_NE(sharp, fileImage(11).toImage().scaled(32, 32).convertToFormat(sharp.format()));
    for (int i = 0; i < FileImageCount; ++i)
        for (int j = i + 1; j < FileImageCount; ++j)
            EXPECT_NE(fileImage(i).toImage(), fileImage(j).toImage()) << i << " " << j;

    project.DeleteNode(folder);
    EXPECT_EQ(tree->rowCount(icons), 0);
    project.DeleteMap(0);
    EXPECT_EQ(maps->rowCount(), 1);
}

TEST_F(Window, EnablingOperationsSetExactlyTheirControls)
{
    const QStringList controls = {"mnuFile",          "mnuEdit", "mnuHeaderEdit", "mnuPropertiesEdit", "mnuFilesEdit",
                                  "mnuResourcesEdit", "lstMaps", "lstHeader",     "lstProperties",     "lstFiles",
                                  "lstResources",     "pnlLeft", "pnlMid",        "pnlRight"};
    QStringList items;
    for (const QMenu *menu : editor->findChildren<QMenu *>())
        for (const QAction *action : menu->actions())
            if (!action->isSeparator())
                items << action->objectName();
    const auto snapshot = [&] {
        QMap<QString, bool> state;
        for (const QString &name : controls)
            state[name] = !editor->findChild<QWidget *>(name)->testAttribute(Qt::WA_ForceDisabled);
        for (const QString &name : items)
            state[name] = editor->findChild<QAction *>(name)->isEnabled();
        return state;
    };
    const auto changedBy = [&](const std::function<void(bool)> &operation) {
        editor->NewFile();
        // Everything on, so switching off shows what the operation touches.
        for (const QString &name : controls)
            editor->findChild<QWidget *>(name)->setEnabled(true);
        for (const QString &name : items)
            editor->findChild<QAction *>(name)->setEnabled(true);
        const auto before = snapshot();
        operation(false);
        const auto after = snapshot();
        QStringList changed;
        for (auto it = before.begin(); it != before.end(); ++it)
            if (after[it.key()] != it.value())
                changed << it.key();
        changed.sort();
        return changed;
    };
    const auto sorted = [](QStringList list) {
        list.sort();
        return list;
    };
    using namespace std::placeholders;
    EXPECT_EQ(changedBy([&](bool e) { test::panelOf<MapsPanel>(*editor)->MapMenuChangeEnabled(e); }),
              sorted({"mnuFile", "mnuEdit", "mnuEditAdd", "mnuEditDelete", "mnuFileNew", "mnuFileOpen",
                      "mnuFileSaveProject", "mnuFileSaveMapPack", "mnuFileCheckPack", "mnuFileTryInstaller",
                      "mnuFilePackProperties", "mnuFileExit"}));
    EXPECT_EQ(changedBy([&](bool e) { test::panelOf<HeaderPanel>(*editor)->HeaderMenuChangeEnabled(e); }),
              sorted({"mnuHeaderEdit", "mnuHeaderEditAdd", "mnuHeaderEditAddInfo", "mnuHeaderEditDelete"}));
    EXPECT_EQ(changedBy([&](bool e) { test::panelOf<PropertiesPanel>(*editor)->PropertiesMenuChangeEnabled(e); }),
              sorted({"mnuPropertiesEditAdd", "mnuPropertiesEditDelete"}));
    EXPECT_EQ(changedBy([&](bool e) { test::panelOf<FilesPanel>(*editor)->FilesMenuChangeEnabled(e); }),
              sorted({"mnuFilesEdit", "mnuFilesEditAdd", "mnuFilesEditCreateFolder", "mnuFilesEditRename",
                      "mnuFilesEditDelete", "mnuFilesEditLocateMissing"}));
    EXPECT_EQ(changedBy([&](bool e) { test::panelOf<ResourcesPanel>(*editor)->ResourcesMenuChangeEnabled(e); }),
              sorted({"mnuResourcesEdit", "mnuResourcesEditAdd", "mnuResourcesEditAddDir", "mnuResourcesEditAddSubDirs",
                      "mnuResourcesEditRename", "mnuResourcesEditDelete", "mnuResourcesEditClear"}));
    EXPECT_EQ(changedBy([&](bool e) { test::panelOf<PropertiesPanel>(*editor)->pnlPropertiesChangeEnabled(e); }),
              sorted({"lstProperties", "mnuPropertiesEditAdd", "mnuPropertiesEditDelete"}));
    EXPECT_EQ(
        changedBy([&](bool e) { test::panelOf<HeaderPanel>(*editor)->pnlHeaderChangeEnabled(e); }),
        sorted({"lstHeader", "mnuHeaderEdit", "mnuHeaderEditAdd", "mnuHeaderEditAddInfo", "mnuHeaderEditDelete"}));
    EXPECT_EQ(changedBy([&](bool e) { test::panelOf<FilesPanel>(*editor)->pnlFilesChangeEnabled(e); }),
              sorted({"lstFiles", "mnuFilesEdit", "mnuFilesEditAdd", "mnuFilesEditCreateFolder", "mnuFilesEditRename",
                      "mnuFilesEditDelete", "mnuFilesEditLocateMissing"}));
    EXPECT_EQ(changedBy([&](bool e) { test::panelOf<ResourcesPanel>(*editor)->pnlResourcesChangeEnabled(e); }),
              sorted({"lstResources", "mnuResourcesEdit", "mnuResourcesEditAdd", "mnuResourcesEditAddDir",
                      "mnuResourcesEditAddSubDirs", "mnuResourcesEditRename", "mnuResourcesEditDelete",
                      "mnuResourcesEditClear"}));
    // The Open recent submenu, a widget in the left column, goes with it; Undo and Redo go off
    // with the panels, as during a build or a scan.
    EXPECT_EQ(changedBy([&](bool e) { editor->PanelsChangeEnabled(e); }),
              sorted({"pnlLeft", "pnlMid", "pnlRight", "mnuFileOpenRecentItem", "mnuEditUndo", "mnuEditRedo"}));
}

TEST_F(Window, ClosingSavesTheSettings)
{
    settings.LastDir = "/maps/";
    editor.reset();
    const SettingsStore stored(SettingsStore::Key::Editor);
    EXPECT_EQ(stored.readString("LastDir"), "/maps/");
    EXPECT_FALSE(stored.readString("AppDir").isEmpty());
}

} // namespace

namespace {

// A large project costs the view no row per node: the groups open one level, and a node a
// finding shows opens the folders above it and nothing beside them.
TEST_F(Window, AnOpenedProjectOpensItsGroupsOneLevelAndAFindingOnlyItsPath)
{
    ProjectModel model;
    model.NewFile();
    TreeNode *outer = model.AddDirElement(model.root(FilesRoot), "outer");
    model.AddFileElement(model.AddDirElement(outer, "inner"), "deep.html", InfoPageFile, "/nowhere/deep.html");
    model.AddFileElement(model.AddDirElement(model.root(FilesRoot), "other"), "side.html", InfoPageFile,
                         "/nowhere/side.html");
    model.AddFileElement(model.root(MapsRoot), "glacier.xan", MapFile, "/nowhere/glacier.xan");
    const QString path = tempPath("nested.mpr");
    SaveProjectFile(model, path);

    editor->openStartupProject(path);
    auto *tree = widget<QTreeView>("lstFiles");
    const FilesTreeModel *shown = test::panelOf<FilesPanel>(*editor)->treeModel();
    const FileTree &nodes = editor->project().tree();
    for (int group = 0; group < RootCount; ++group)
        EXPECT_TRUE(tree->isExpanded(shown->indexOf(editor->project().root(RootGroup(group)))));
    const TreeNode *outerNow = nodes.folderChildNamed(editor->project().root(FilesRoot), "outer");
    const TreeNode *otherNow = nodes.folderChildNamed(editor->project().root(FilesRoot), "other");
    ASSERT_TRUE(outerNow && otherNow && outerNow->childCount() == 1);
    const TreeNode *innerNow = outerNow->child(0);
    EXPECT_FALSE(tree->isExpanded(shown->indexOf(outerNow)));
    EXPECT_FALSE(tree->isExpanded(shown->indexOf(otherNow)));

    const TreeNode *deep = innerNow->child(0);
    editor->goToFinding(FindingPlace::treeNode(deep, nodes.absoluteIndex(deep)));
    EXPECT_EQ(test::panelOf<FilesPanel>(*editor)->selectedNode(), deep);
    EXPECT_TRUE(tree->isExpanded(shown->indexOf(outerNow)));
    EXPECT_TRUE(tree->isExpanded(shown->indexOf(innerNow)));
    EXPECT_FALSE(tree->isExpanded(shown->indexOf(otherNow)));
}

// Also leaves pictures of the window for a person to look at when TERVELLE_SHOTS_DIR is set.
TEST_F(Window, AnOpenedProjectFillsEveryView)
{
    ProjectModel model;
    model.NewFile();
    model.SetHeaderValue(0, "Frozen Peaks");
    model.SetHeaderValue(1, "info/readme.html");
    model.AddHeaderKey("[german]", TextKey);
    model.SetHeaderValue(2, "Eisige Gipfel");
    for (const char *name : {"Glacier", "Ice cave", "Summit"})
        model.SetMapPropertyValue(model.AddMap(), 0, name);
    TreeNode *info = model.AddDirElement(model.root(FilesRoot), "info");
    model.AddFileElement(info, "readme.html", InfoPageFile, "/nowhere/readme.html");
    model.AddFileElement(model.root(MapsRoot), "glacier.xan", MapFile, "/nowhere/glacier.xan");
    model.AddFileElement(model.root(HeightMapsRoot), "glacier.hmp", HeightMapFile, "/nowhere/glacier.hmp");
    model.AddFileElement(model.root(IconsRoot), "glacier.tga", LevelIconFile, "/nowhere/glacier.tga");
    model.AddFileElement(model.root(TexturesRoot), "ice.txt", TextureListFile, "/nowhere/ice.txt");
    model.AddFileElement(model.root(ScriptsRoot), "glacier.lua", ScriptFile, "/nowhere/glacier.lua");
    const QString path = tempPath("frozen.mpr");
    SaveProjectFile(model, path);

    editor->openStartupProject(path);
    EXPECT_EQ(widget<QListView>("lstMaps")->model()->rowCount(), 3);
    EXPECT_EQ(widget<QTableView>("lstHeader")->model()->rowCount(), 3);
    const QAbstractItemModel *tree = widget<QTreeView>("lstFiles")->model();
    EXPECT_EQ(tree->rowCount(tree->index(0, 0)), 2);
    EXPECT_TRUE(widget<QTreeView>("lstFiles")->isExpanded(tree->index(0, 0)));
    auto *maps = widget<QListView>("lstMaps");
    maps->setCurrentIndex(maps->model()->index(0, 0));
    EXPECT_EQ(widget<QTableView>("lstProperties")->model()->rowCount(), 7);

    const QString shots = qEnvironmentVariable("TERVELLE_SHOTS_DIR");
    if (shots.isEmpty())
        return;
    QApplication::processEvents();
    editor->grab().save(shots + "/loaded.png");
    editor->resize(editor->minimumSize());
    QApplication::processEvents();
    editor->grab().save(shots + "/minimum.png");
    // Narrow lists keep every column inside the list, without a scroll bar.
    for (const char *name : {"lstResources", "lstHeader", "lstProperties"}) {
        const auto *view = widget<QAbstractItemView>(name);
        const auto *header = view->findChild<QHeaderView *>();
        EXPECT_LE(header->length(), view->viewport()->width()) << name;
    }
    editor->findChild<QWidget *>("pnlCompile")->show();
    editor->resize(1000, 760);
    QApplication::processEvents();
    editor->grab().save(shots + "/console.png");
}

} // namespace
