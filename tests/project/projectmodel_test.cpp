#include "core/errors.h"
#include "core/langload.h"
#include "project/keyvalue.h"
#include "project/projectfixture.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

using Project = test::NewProject;

TEST_F(Project, NewProjectHasItsFixedShape)
{
    test::editPack(model, [&](PackProperties &p) {
        p.PackAuthor = "someone";
        p.PackLanguages = QStringList{"german"};
        p.PackPropertiesSet = true;
    });
    model.NewFile();

    EXPECT_EQ(model.headerRows(), (QStringList{"[english]=New map pack", "[htmlenglish]="}));
    ASSERT_EQ(model.headerInfo().size(), 2);
    EXPECT_EQ(model.headerInfo()[0].KeyKind, TextKey);
    EXPECT_EQ(model.headerInfo()[1].KeyKind, LinkKey);
    EXPECT_EQ(model.mapCount(), 0);
    EXPECT_EQ(treeTexts(),
              (QStringList{"Files", "New map pack.mpl", "Maps", "Height maps", "Level icons", "Texture files",
                           "Lua scripts"}));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(model.absoluteIndex(model.tree().nodeAt(i)), i);
    EXPECT_EQ(model.tree().topLevelCount(), RootCount);
    for (int group = 0; group < RootCount; ++group) {
        const TreeNode *root = model.root(RootGroup(group));
        EXPECT_EQ(root->Info().Path, QString::fromLatin1(RootTags[group]) + "\\");
        EXPECT_EQ(root->Info().Kind, RootKind);
        EXPECT_EQ(root->ImageIndex(), 0);
        EXPECT_EQ(root->SelectedIndex(), 1);
    }

    const TreeNode *list = model.MapListNode();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->parent(), model.root(FilesRoot));
    EXPECT_EQ(list->Info().Path, "(mappack)");
    EXPECT_EQ(list->Info().Kind, FileMissingKind);
    EXPECT_EQ(list->ImageIndex(), 11);

    EXPECT_EQ(model.packProperties().PackName, "New map pack");
    EXPECT_EQ(model.packProperties().PackAuthor, "");
    EXPECT_EQ(model.packProperties().PackWebSite, MakerWebSite);
    EXPECT_EQ(model.packProperties().PackVersion, "1.0");
    EXPECT_FALSE(model.packProperties().PackPropertiesSet);
    EXPECT_TRUE(model.packProperties().PackLanguages.isEmpty());
}

TEST_F(Project, RootCaptionsFollowTheLanguage)
{
    const ScopedLangText maps(LangKey::lstFiles_RootNames_Maps, "Karten");
    model.NewFile();
    EXPECT_EQ(model.root(MapsRoot)->Text(), "Karten");
    EXPECT_EQ(model.root(MapsRoot)->Info().Path, "{maps}\\");
}

TEST_F(Project, EnglishTitleRenamesTheMapListNode)
{
    QSignalSpy header(&model, &ProjectModel::headerChanged);
    model.SetHeaderValue(0, "Desert Storm");
    EXPECT_EQ(model.MapListNode()->Text(), "Desert Storm.mpl");
    EXPECT_EQ(model.packTitle(), "Desert Storm");
    model.SetHeaderValue(0, "");
    EXPECT_EQ(model.MapListNode()->Text(), ".mpl");
    EXPECT_EQ(header.count(), 2);

    // Only "[english]" names it, found ignoring case.
    model.SetHeaderValue(1, "info.htm");
    EXPECT_EQ(model.MapListNode()->Text(), ".mpl");
    model.SetHeader({"[ENGLISH]=Loud", "[htmlenglish]="}, {{TextKey}, {LinkKey}});
    EXPECT_EQ(model.MapListNode()->Text(), "Loud.mpl");
}

TEST_F(Project, NewKeysAreCutAtTheirEqualsSignBeforeTheDuplicateTest)
{
    // "[english]=x" must not add a second "[english]" row: the saved project could not be read.
    try {
        model.AddHeaderKey("[ENGLISH]=x", TextKey);
        FAIL() << "a second [english] was added";
    } catch (const UserError &e) {
        EXPECT_EQ(e.message(), "Key [ENGLISH]=x already exists");
    }
    const ScopedLangText exists(LangKey::message_NewHeaderLinkKey_Exist, "Link /k is there, /k!");
    try {
        model.AddHeaderKey("[htmlenglish]", LinkKey);
        FAIL() << "a second [htmlenglish] was added";
    } catch (const UserError &e) {
        EXPECT_EQ(e.message(), "Link [htmlenglish] is there, [htmlenglish]!");
    }
    EXPECT_EQ(model.headerCount(), 2);

    EXPECT_EQ(model.AddHeaderKey("[german]=Karte", TextKey), 2);
    EXPECT_EQ(KeyOf(model.headerRows()[2]), "[german]");
    EXPECT_EQ(ValueOf(model.headerRows()[2]), "Karte=");
    EXPECT_EQ(model.headerInfo()[2].KeyKind, TextKey);
    EXPECT_THROW(model.AddHeaderKey("[bad\rkey]", TextKey), UserError);
    EXPECT_EQ(model.headerCount(), 3);

    const int map = model.AddMap();
    try {
        model.AddMapProperty(map, "[Text]=again");
        FAIL() << "a second [text] was added";
    } catch (const UserError &e) {
        EXPECT_EQ(e.message(), "Key [Text]=again already exists");
    }
    EXPECT_EQ(model.AddMapProperty(map, "[newkey]"), 7);
    EXPECT_THROW(model.AddMapProperty(map, "[NEWKEY]"), UserError);
    EXPECT_EQ(model.AddMapProperty(map, ""), 8); // an empty key is a key like any other, once
    EXPECT_THROW(model.AddMapProperty(map, "=value"), UserError);
    EXPECT_EQ(model.map(map).Info.Properties.size(), 9);
    EXPECT_EQ(model.map(map).Info.ValueKinds.size(), 9);
}

TEST_F(Project, KeyEditsKeepKeysUniqueAndFixedRowsFixed)
{
    const int row = model.AddHeaderKey("[german]", TextKey);
    model.SetHeaderValue(row, "Wüste");
    EXPECT_THROW(model.SetHeaderKey(row, "[ENGLISH]"), UserError);
    EXPECT_THROW(model.SetHeaderKey(row, "[french]=Désert"), UserError);
    EXPECT_THROW(model.SetHeaderKey(0, "[anglais]"), UserError);
    EXPECT_THROW(model.SetHeaderKey(1, "[htmlanglais]"), UserError);
    EXPECT_EQ(model.headerRows(), (QStringList{"[english]=New map pack", "[htmlenglish]=", "[german]=Wüste"}));
    model.SetHeaderKey(row, "[GERMAN]"); // its own key in other letter case
    model.SetHeaderKey(row, "[french]");
    model.SetHeaderKey(7, "[nowhere]");
    model.SetHeaderValue(-1, "nothing");
    EXPECT_THROW(model.SetHeaderValue(row, "Wüste\r\n[Run]"), UserError);
    EXPECT_THROW(model.SetHeaderValue(0, "a\tb"), UserError);
    // The project file could not store it: refused when typed, not at Save project.
    EXPECT_THROW(model.SetHeaderValue(0, QString::fromUtf8("Ωmega")), UserError);
    EXPECT_THROW(model.SetHeaderKey(row, QString::fromUtf8("[中]")), UserError);
    EXPECT_THROW(model.AddHeaderKey(QString::fromUtf8("[中]"), TextKey), UserError);
    model.SetHeaderValue(0, QString::fromUtf8("Ærø"));
    model.SetHeaderValue(0, "New map pack");
    EXPECT_EQ(model.headerRows(), (QStringList{"[english]=New map pack", "[htmlenglish]=", "[french]=Wüste"}));

    model.DeleteHeaderKey(0);
    model.DeleteHeaderKey(1);
    EXPECT_EQ(model.headerCount(), 3);
    model.DeleteHeaderKey(2);
    EXPECT_EQ(model.headerCount(), 2);
    EXPECT_THROW(model.SetHeader({"[a]=1", "[A]=2"}, {{TextKey}, {TextKey}}), UserError);

    const int map = model.AddMap();
    const int extra = model.AddMapProperty(map, "[extra]");
    EXPECT_THROW(model.SetMapPropertyKey(map, extra, "[MAP]"), UserError);
    EXPECT_THROW(model.SetMapPropertyKey(map, extra, "[a]=b"), UserError);
    EXPECT_THROW(model.SetMapPropertyKey(map, 3, "[level]"), UserError);
    model.SetMapPropertyKey(map, extra, "[renamed]");
    model.SetMapPropertyKey(map, 99, "[nowhere]");
    model.SetMapPropertyKey(5, 0, "[nowhere]");
    EXPECT_THROW(model.SetMapPropertyValue(map, extra, "x\ny"), UserError);
    EXPECT_THROW(model.SetMapPropertyValue(map, 0, QString("x") + QChar(0x1b)), UserError);
    EXPECT_EQ(model.map(map).Info.Properties[3], "[map]=");
    EXPECT_EQ(model.map(map).Info.Properties[extra], "[renamed]=");
}

TEST_F(Project, ViewsCanTellTheirOwnChangesFromOthers)
{
    QObject view;
    QSignalSpy header(&model, &ProjectModel::headerChanged);
    QSignalSpy maps(&model, &ProjectModel::mapChanged);
    model.SetHeaderValue(0, "Typed", &view);
    model.AddHeaderKey("[german]", TextKey);
    ASSERT_EQ(header.count(), 2);
    EXPECT_EQ(header.at(0).at(0).value<QObject *>(), &view);
    EXPECT_EQ(header.at(1).at(0).value<QObject *>(), nullptr);

    const int map = model.AddMap();
    model.SetMapPropertyValue(map, 0, "Typed", &view);
    model.SetMapPropertyValue(map, 0, "Other");
    ASSERT_EQ(maps.count(), 2);
    EXPECT_EQ(maps.at(0).at(1).value<QObject *>(), &view);
    EXPECT_EQ(maps.at(1).at(1).value<QObject *>(), nullptr);
}

TEST_F(Project, MapNameFollowsItsTextProperty)
{
    QSignalSpy changed(&model, &ProjectModel::mapChanged);
    const int index = model.AddMap();
    EXPECT_EQ(model.map(index).displayName, "New map");
    EXPECT_EQ(model.map(index).Info.Properties.size(), 7);
    EXPECT_EQ(model.map(index).Info.ValueKinds,
              (QVector<ValueKind>{TextValue, LevelIconValue, ScriptsValue, MapFileValue, TextureListValue,
                                  TextureTileValue, TextureTileValue}));

    model.SetMapPropertyValue(index, 0, "Canyon");
    EXPECT_EQ(model.map(index).displayName, "Canyon");
    QStringList rows = model.map(index).Info.Properties;
    rows[0] = "[TEXT]=";
    model.CommitMapProperties(index, rows);
    EXPECT_EQ(model.map(index).displayName, "");
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(Project, MapPropertiesKeepTheirKindsAligned)
{
    const int index = model.AddMap();
    EXPECT_EQ(model.AddMapProperty(index, "[extra]"), 7);
    EXPECT_EQ(model.AddMapProperty(index, "[more]"), 8);
    model.DeleteMapProperty(index, 3); // fixed rows stay
    model.DeleteMapProperty(index, 7);
    const TMapInfo &info = model.map(index).Info;
    EXPECT_EQ(info.Properties.size(), 8);
    EXPECT_EQ(info.Properties[7], "[more]=");
    EXPECT_EQ(info.ValueKinds.size(), 8);
    EXPECT_EQ(info.ValueKinds[7], TextValue);

    model.AddMap();
    model.SetMapPropertyValue(1, 0, "second");
    model.DeleteMap(0);
    ASSERT_EQ(model.mapCount(), 1);
    EXPECT_EQ(model.map(0).displayName, "second");
}

TEST_F(Project, FolderAndFilePathsAndKinds)
{
    QTemporaryDir disk;
    const QString existing = disk.filePath("page.htm");
    test::writeBytes(existing, "<html/>");
    const QString later = disk.filePath("later.htm");

    TreeNode *info = model.AddDirElement(model.root(FilesRoot), "info");
    TreeNode *a = model.AddDirElement(info, "a");
    EXPECT_EQ(info->Info().Path, "{files}\\info\\");
    EXPECT_EQ(a->Info().Path, "{files}\\info\\a\\");
    EXPECT_EQ(a->Info().Kind, FolderKind);
    EXPECT_EQ(a->ImageIndex(), 2);
    EXPECT_EQ(a->SelectedIndex(), 3);

    TreeNode *found = model.AddFileElement(a, "page.htm", InfoPageFile, existing);
    TreeNode *missing = model.AddFileElement(a, "later.htm", InfoPageFile, later);
    TreeNode *folderSource = model.AddFileElement(a, "dir", PlainFile, disk.path());
    EXPECT_EQ(found->Info().Kind, FileFoundKind);
    EXPECT_EQ(found->ImageIndex(), 10);
    EXPECT_EQ(found->SelectedIndex(), 10);
    EXPECT_EQ(missing->Info().Kind, FileMissingKind);
    EXPECT_EQ(folderSource->Info().Kind, FileMissingKind);
    test::writeBytes(later, "now here");
    EXPECT_EQ(missing->Info().Kind, FileMissingKind);

    // The map list is staged by the build even when a file lies at its placeholder path.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(disk.path());
    test::writeBytes(disk.filePath("(mappack)"), "stray");
    model.NewFile();
    QDir::setCurrent(previous);
    EXPECT_EQ(model.MapListNode()->Info().Kind, FileMissingKind);
}

TEST_F(Project, NameLookupsCompareAsWindowsDoes)
{
    TreeNode *files = model.root(FilesRoot);
    EXPECT_EQ(model.findFileNode(files, "NEW MAP PACK.MPL"), model.MapListNode());
    EXPECT_EQ(model.findFolderNode(files, "New map pack.mpl"), nullptr);

    TreeNode *folder = model.AddDirElement(files, QString::fromUtf8("Über"));
    EXPECT_EQ(model.findFolderNode(files, QString::fromUtf8("über")), folder);
    EXPECT_EQ(model.findFolderNode(files, QString::fromUtf8("ÜBER")), folder);
    TreeNode *street = model.AddDirElement(files, QString::fromUtf8("straße"));
    EXPECT_EQ(model.findFolderNode(files, QString::fromUtf8("STRAßE")), street);
    EXPECT_EQ(model.findFolderNode(files, QString::fromUtf8("STRASSE")), nullptr);
    EXPECT_EQ(model.findFileNode(files, QString::fromUtf8("Über")), nullptr);
    // A file may share its name with a folder.
    TreeNode *file = model.AddFileElement(files, QString::fromUtf8("über"), PlainFile, "/nowhere");
    EXPECT_EQ(model.findFileNode(files, QString::fromUtf8("üBER")), file);
}

TEST_F(Project, DeletingASubtreeRenumbersTheRest)
{
    TreeNode *files = model.root(FilesRoot);
    TreeNode *info = model.AddDirElement(files, "info");
    model.AddFileElement(info, "a.htm", InfoPageFile, "/x/a.htm");
    model.AddFileElement(info, "b.htm", InfoPageFile, "/x/b.htm");
    TreeNode *map = model.AddFileElement(model.root(MapsRoot), "m.xan", MapFile, "/x/m.xan");
    EXPECT_EQ(treeTexts(),
              (QStringList{"Files", "New map pack.mpl", "info", "a.htm", "b.htm", "Maps", "m.xan", "Height maps",
                           "Level icons", "Texture files", "Lua scripts"}));
    EXPECT_EQ(model.absoluteIndex(map), 6);
    EXPECT_EQ(model.absoluteIndex(model.root(ScriptsRoot)), 10);

    QSignalSpy removed(&model, &ProjectModel::nodeRemoved);
    model.DeleteNode(info);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model.absoluteIndex(map), 3);
    EXPECT_EQ(model.tree().nodeAt(3), map);
    EXPECT_EQ(model.tree().count(), 8);
    EXPECT_EQ(model.tree().nodeAt(8), nullptr);
    EXPECT_EQ(model.MapListNode()->row(), 0);
}

TEST_F(Project, GroupRootsAndTheMapListNodeAreNeverDeleted)
{
    QSignalSpy removed(&model, &ProjectModel::nodeAboutToBeRemoved);
    for (int group = 0; group < RootCount; ++group)
        EXPECT_FALSE(model.DeleteNode(model.root(RootGroup(group))));
    EXPECT_FALSE(model.DeleteNode(model.MapListNode()));
    EXPECT_FALSE(model.DeleteNode(nullptr));

    // A project file may put the map list node into a folder; the folder stays then too.
    TreeNode *holder = model.AddDirElement(files(), "holder");
    TreeNode *moved = model.AddFileElement(holder, "moved.mpl", MapListFile, "(mappack)");
    model.setMapListNode(moved);
    EXPECT_FALSE(model.DeleteNode(holder));
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(model.tree().count(), 9);

    TreeNode *folder = model.AddDirElement(files(), "gone");
    EXPECT_TRUE(model.canDelete(folder));
    EXPECT_TRUE(model.DeleteNode(folder));
    EXPECT_EQ(removed.count(), 1);
}

TEST_F(Project, TreeSignalsTellViewsWhatChanged)
{
    QSignalSpy inserted(&model, &ProjectModel::nodeInserted);
    QSignalSpy changed(&model, &ProjectModel::nodeChanged);
    QSignalSpy reset(&model, &ProjectModel::projectReset);
    TreeNode *node = model.AddDirElement(model.root(IconsRoot), "x");
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(0).value<TreeNode *>(), node);
    model.SetHeaderValue(0, "Renamed");
    EXPECT_EQ(changed.count(), 1);
    model.NewFile();
    ASSERT_EQ(reset.count(), 1);
    EXPECT_EQ(reset.at(0).at(0).value<ResetKind>(), ResetKind::New);
    EXPECT_EQ(inserted.count(), 1); // a reset does not report its pieces one by one
}

} // namespace
