#include "core/errors.h"
#include "core/langload.h"
#include "project/projectfixture.h"
#include "project/treeoperations.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

using Resources = QVector<AddResourcesOperation::Resource>;

class TreeCommands : public test::NewProject
{
protected:
    // Adds the resources (display name = last path component) to `node` in one run.
    QVector<SkippedResource> add(TreeNode *node, const QStringList &paths, AddResourcesOperation::AskReplace ask = {})
    {
        Resources resources;
        for (const QString &path : paths)
            resources.append({path.section('/', -1), path});
        AddResourcesOperation operation(model, std::move(ask));
        operation.addSelected(model, node, resources);
        return operation.skipped();
    }
};

TEST_F(TreeCommands, NodeKindOfClassifiesEveryNode)
{
    EXPECT_EQ(nodeKindOf(model, nullptr), -1);
    for (int group = 0; group < RootCount; ++group)
        EXPECT_EQ(nodeKindOf(model, model.root(RootGroup(group))), group);
    TreeNode *inTextures = model.AddDirElement(model.root(TexturesRoot), "inner");
    EXPECT_EQ(nodeKindOf(model, inTextures), 0);
    EXPECT_EQ(nodeKindOf(model, model.AddDirElement(inTextures, "deeper")), 0);
    EXPECT_EQ(nodeKindOf(model, model.MapListNode()), 13);
    EXPECT_EQ(nodeKindOf(model, model.AddFileElement(files(), "a", PlainFile, "/a")), 6);
    EXPECT_EQ(nodeKindOf(model, model.AddFileElement(model.root(ScriptsRoot), "s.lua", ScriptFile, "/s.lua")), 11);

    EXPECT_TRUE(canCreateFolderKind(0));
    EXPECT_TRUE(canCreateFolderKind(4));
    for (int kind : {-1, 1, 2, 3, 5, 6, 13})
        EXPECT_FALSE(canCreateFolderKind(kind)) << kind;
}

TEST_F(TreeCommands, EachGroupTakesItsOwnExtensionExactly)
{
    add(model.root(MapsRoot), {"/r/a.xan", "/r/B.XAN", "/r/c.hmp", "/r/noext"});
    EXPECT_EQ(childTexts(model.root(MapsRoot)), QStringList{"a.xan"});
    EXPECT_EQ(model.root(MapsRoot)->child(0)->ImageIndex(), 4 + MapFile);

    TreeNode *folder = model.AddDirElement(files(), "info");
    add(folder,
        {"/r/B.XAN", "/r/page.htm", "/r/OTHER.HTM", "/r/more.html", "/r/list.mpl", "/r/LIST.MPL", "/r/readme",
         "/r/dir.d/noext"});
    EXPECT_EQ(childTexts(folder), (QStringList{"B.XAN", "page.htm", "OTHER.HTM", "more.html", "readme", "noext"}));
    QVector<int> images;
    for (int row = 0; row < folder->childCount(); ++row)
        images << folder->child(row)->ImageIndex() - 4;
    EXPECT_EQ(images, (QVector<int>{PlainFile, InfoPageFile, PlainFile, InfoPageFile, PlainFile, PlainFile}));

    add(model.root(ScriptsRoot), {"/r/StdLib.lua", "/r/WORMPOT.LUA", "/r/stdvs.lua", "/r/mylib.lua", "/r/x.LUA"});
    EXPECT_EQ(childTexts(model.root(ScriptsRoot)), QStringList{"mylib.lua"});
    add(model.root(IconsRoot), {"/r/i.tga", "/r/t.txt"});
    add(model.root(TexturesRoot), {"/r/i.tga", "/r/t.txt"});
    add(model.root(HeightMapsRoot), {"/r/h.hmp", "/r/h.xan"});
    EXPECT_EQ(childTexts(model.root(IconsRoot)), QStringList{"i.tga"});
    EXPECT_EQ(childTexts(model.root(TexturesRoot)), QStringList{"t.txt"});
    EXPECT_EQ(childTexts(model.root(HeightMapsRoot)), QStringList{"h.hmp"});

    // A file node holds no other nodes, whatever the resource.
    TreeNode *page = folder->child(1);
    add(page, {"/r/noext", "/r/x.htm"});
    EXPECT_EQ(page->childCount(), 0);
}

TEST_F(TreeCommands, RenamedResourceKeepsItsSourceAndTheFilterFollowsThePath)
{
    AddResourcesOperation operation(model, {});
    operation.addSelected(model, model.root(MapsRoot), {{"new.xan", "/r/old.xan"}, {"fake.xan", "/r/fake.txt"}});
    ASSERT_EQ(model.root(MapsRoot)->childCount(), 1);
    EXPECT_EQ(model.root(MapsRoot)->child(0)->Text(), "new.xan");
    EXPECT_EQ(model.root(MapsRoot)->child(0)->Info().Path, "/r/old.xan");
}

TEST_F(TreeCommands, ReplaceQuestionHoldsItsToAllAnswersForOneRunOnly)
{
    TreeNode *icons = model.root(IconsRoot);
    add(icons, {"/old/A.tga", "/old/b.tga", "/old/c.tga", "/old/keep.tga"});

    QStringList asked;
    QVector<ReplaceAnswer> answers{ReplaceAnswer::No, ReplaceAnswer::YesToAll};
    auto ask = [&](const QString &name) {
        asked << name;
        return answers.takeFirst();
    };
    add(icons, {"/new/c.tga", "/new/a.tga", "/new/b.tga", "/new/d.tga"}, ask);
    EXPECT_EQ(asked, (QStringList{"c.tga", "a.tga"}));
    // Replaced nodes move to the end, in the order they were replaced.
    EXPECT_EQ(childTexts(icons), (QStringList{"c.tga", "keep.tga", "a.tga", "b.tga", "d.tga"}));
    EXPECT_EQ(icons->child(0)->Info().Path, "/old/c.tga");
    EXPECT_EQ(icons->child(2)->Info().Path, "/new/a.tga");
    EXPECT_EQ(icons->child(3)->Info().Path, "/new/b.tga");

    // The next run asks again; No to All then holds, and closing the box counts as No.
    asked.clear();
    answers = {ReplaceAnswer::NoToAll};
    add(icons, {"/newer/keep.tga", "/newer/d.tga"}, ask);
    EXPECT_EQ(asked, QStringList{"keep.tga"});
    EXPECT_EQ(icons->child(4)->Info().Path, "/new/d.tga");
    add(icons, {"/newer/d.tga"});
    EXPECT_EQ(icons->child(4)->Info().Path, "/new/d.tga");

    asked.clear();
    answers = {ReplaceAnswer::Yes, ReplaceAnswer::Yes};
    add(icons, {"/newest/keep.tga", "/newest/C.tga"}, ask);
    EXPECT_EQ(asked, (QStringList{"keep.tga", "C.tga"}));
    EXPECT_EQ(childTexts(icons), (QStringList{"a.tga", "b.tga", "d.tga", "keep.tga", "C.tga"}));
}

TEST_F(TreeCommands, ReplacingDoesNotTouchAFolderOfTheSameName)
{
    TreeNode *folder = model.AddDirElement(files(), "Data");
    int questions = 0;
    add(files(), {"/r/data"}, [&](const QString &) {
        ++questions;
        return ReplaceAnswer::Yes;
    });
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(childTexts(files()), (QStringList{"New map pack.mpl", "Data", "data"}));
    EXPECT_EQ(files()->child(1), folder);
}

TEST_F(TreeCommands, BadNamesAndTheMapListAreRefusedAndReported)
{
    QSignalSpy removed(&model, &ProjectModel::nodeAboutToBeRemoved);
    AddResourcesOperation operation(model, [](const QString &) { return ReplaceAnswer::YesToAll; });
    TreeNode *list = model.MapListNode();
    EXPECT_EQ(operation.AddResourceToNode(model, files(), "NEW MAP PACK.MPL", "/r/x.mpl", PlainFile), nullptr);
    EXPECT_EQ(operation.AddResourceToNode(model, files(), "New map pack.mpl", "/r/x.txt", PlainFile), nullptr);
    EXPECT_EQ(operation.AddResourceToNode(model, files(), "other.Mpl", "/r/other.Mpl", PlainFile), nullptr);
    EXPECT_EQ(operation.AddResourceToNode(model, model.root(MapsRoot), "map.mpl", "/r/map.mpl", MapListFile), nullptr);
    EXPECT_EQ(operation.AddResourceToNode(model, model.root(MapsRoot), "a:b.xan", "/r/ab.xan", MapFile), nullptr);
    EXPECT_EQ(operation.AddResourceToNode(model, model.root(MapsRoot), "trailing.", "/r/t", MapFile), nullptr);
    EXPECT_EQ(operation.AddResourceToNode(model, list, "inside", "/r/inside", PlainFile), nullptr);
    // Names and paths the project file's code page (windows-1252) cannot store.
    EXPECT_EQ(operation.AddResourceToNode(model, files(), QString::fromUtf8("Ωmega.htm"), "/r/o.htm", InfoPageFile),
              nullptr);
    EXPECT_EQ(
        operation.AddResourceToNode(model, files(), "page.htm", QString::fromUtf8("/r/中/page.htm"), InfoPageFile),
        nullptr);
    ASSERT_EQ(operation.skipped().size(), 9);
    EXPECT_EQ(operation.skipped()[0].name, "NEW MAP PACK.MPL");
    EXPECT_TRUE(operation.skipped()[4].reason.contains("a:b.xan"));
    for (const SkippedResource &skipped : operation.skipped().mid(0, 8))
        EXPECT_TRUE(skipped.reason.contains(skipped.name)) << qPrintable(skipped.reason);
    EXPECT_TRUE(operation.skipped()[8].reason.contains(QString::fromUtf8("/r/中/page.htm")));

    EXPECT_EQ(model.MapListNode(), list);
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(model.tree().count(), 7);

    // A map list file outside {files} is just a file there.
    EXPECT_NE(operation.AddResourceToNode(model, model.root(MapsRoot), "odd.mpl", "/r/odd.mpl", MapFile), nullptr);
    EXPECT_EQ(operation.skipped().size(), 9);
}

TEST_F(TreeCommands, CreateFolderRefusesTakenAndBadNames)
{
    model.AddFileElement(files(), "data", PlainFile, "/r/data");
    try {
        CreateFolder(model, files(), "Data");
        FAIL() << "a folder beside the file data was made";
    } catch (const UserError &e) {
        EXPECT_EQ(e.message(), "Folder Data already exists");
    }
    const ScopedLangText exists(LangKey::message_NewFolder_Exist, "/f: /f exists");
    try {
        CreateFolder(model, files(), "new map PACK.mpl");
        FAIL() << "a folder named like the map list was made";
    } catch (const UserError &e) {
        EXPECT_EQ(e.message(), "new map PACK.mpl: new map PACK.mpl exists");
    }
    for (const QString &bad :
         {QString(), QStringLiteral(".."), QStringLiteral("a/b"), QStringLiteral("x "), QString::fromUtf8("中")})
        EXPECT_THROW(CreateFolder(model, files(), bad), UserError) << qPrintable(bad);
    EXPECT_THROW(CreateFolder(model, model.root(MapsRoot), "maps"), UserError);
    EXPECT_THROW(CreateFolder(model, model.MapListNode(), "x"), UserError);
    EXPECT_EQ(model.tree().count(), 8);

    EXPECT_EQ(CreateFolder(model, nullptr, "x"), nullptr);
    TreeNode *made = CreateFolder(model, files(), "New folder");
    EXPECT_EQ(made->Info().Path, "{files}\\New folder\\");
    EXPECT_EQ(files()->child(files()->childCount() - 1), made);
    TreeNode *inner = CreateFolder(model, made, QString::fromUtf8("Über"));
    ASSERT_NE(inner, nullptr);
    // One name on the player's disk, as Windows compares them.
    EXPECT_THROW(CreateFolder(model, made, QString::fromUtf8("über")), UserError);
    EXPECT_NE(CreateFolder(model, model.root(TexturesRoot), "themes"), nullptr);

    // Deeper than the project file can hold again.
    TreeNode *deep = made;
    while (deep->Info().Path.size() + 101 <= MaxFolderPath)
        deep = CreateFolder(model, deep, QString(99, 'd'));
    EXPECT_THROW(CreateFolder(model, deep, QString(100, 'd')), UserError);
}

} // namespace
