#include "core/errors.h"
#include "core/pathparts.h"
#include "project/projectmodel.h"
#include "project/resourcelist.h"
#include "support/testsupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

QStringList names(const ResourceList &list)
{
    QStringList result;
    for (const ResourceEntry &entry : list.entries())
        result << entry.name;
    return result;
}

TEST(ResourceList, SplitsTheFullPathIntoNameAndFolder)
{
    ResourceList list;
    list.AddNewResource("/maps/sub/a.xan");
    list.AddNewResource("/top.tga");
    list.AddNewResource("/maps/no extension");
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.entry(0).name, "a.xan");
    EXPECT_EQ(list.entry(0).folder, "/maps/sub");
    EXPECT_EQ(list.entry(0).fullPath, "/maps/sub/a.xan");
    // A file in the root keeps the root with its separator.
    EXPECT_EQ(list.entry(1).folder, "/");
    EXPECT_EQ(list.entry(1).name, "top.tga");
    EXPECT_EQ(list.entry(2).name, "no extension");
}

TEST(ResourceList, OneRowPerExactFullPath)
{
    ResourceList list;
    EXPECT_TRUE(list.AddNewResource("/maps/a.xan"));
    EXPECT_FALSE(list.AddNewResource("/maps/a.xan"));
    EXPECT_FALSE(list.addSplitResource("/maps", "a.xan", "/maps/a.xan")); // as a folder scan finds it
    EXPECT_TRUE(list.AddNewResource("/maps/A.xan"));                      // another letter case
    EXPECT_TRUE(list.AddNewResource("/Maps/a.xan"));
    EXPECT_EQ(names(list), QStringList({"a.xan", "A.xan", "a.xan"}));
}

TEST(ResourceList, DeletedAndClearedPathsCanBeAddedAgainRenamedOnesCannot)
{
    ResourceList list;
    list.AddNewResource("/a");
    list.AddNewResource("/b");
    list.AddNewResource("/c");
    list.removeRows({1});
    EXPECT_FALSE(list.contains("/b"));
    EXPECT_TRUE(list.AddNewResource("/b"));

    list.rename(0, "renamed");
    EXPECT_EQ(list.entry(0).name, "renamed");
    EXPECT_FALSE(list.AddNewResource("/a")); // the row is still that file

    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.contains("/c"));
    EXPECT_TRUE(list.AddNewResource("/c"));
    EXPECT_EQ(list.count(), 1);
}

TEST(ResourceList, RenameKeepsTheExtensionAndThePath)
{
    EXPECT_EQ(withoutExtension("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(extensionOf("archive.tar.gz"), ".gz");
    EXPECT_EQ(extensionOf("readme"), "");
    EXPECT_EQ(extensionOf("/maps.old/readme"), "");

    ResourceList list;
    list.AddNewResource("/maps/old.xan");
    list.AddNewResource("/docs/readme");
    QSignalSpy changed(&list, &ResourceList::rowChanged);
    list.rename(0, "new");
    list.rename(1, "notes");
    EXPECT_EQ(names(list), QStringList({"new.xan", "notes"}));
    EXPECT_EQ(list.entry(0).fullPath, "/maps/old.xan");
    EXPECT_EQ(list.entry(0).folder, "/maps");
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 0);
    // Two rows may carry the same name: the tree asks before it replaces one.
    list.rename(1, "new.xan");
    EXPECT_EQ(names(list), QStringList({"new.xan", "new.xan"}));
}

TEST(ResourceList, RenameRefusesNamesThatCannotBeFilesInThePack)
{
    ResourceList list;
    list.AddNewResource("/maps/old.xan");
    list.AddNewResource("/docs/readme");
    for (const QString &typed : {QString("../evil"), QString("a:b"), QString("line\nbreak"), QString("what?")}) {
        EXPECT_THROW(list.rename(0, typed), UserError) << typed.toStdString();
        EXPECT_EQ(list.entry(0).name, "old.xan");
    }
    // Without an extension nothing is left of an empty text.
    EXPECT_THROW(list.rename(1, ""), UserError);
    EXPECT_THROW(list.rename(1, "name."), UserError);
    EXPECT_EQ(list.entry(1).name, "readme");
    try {
        list.rename(0, "a|b");
        FAIL();
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains("a|b.xan")) << error.message().toStdString();
    }
}

TEST(ResourceList, DeleteRemovesEverySelectedRowInRunsFromTheEnd)
{
    ResourceList list;
    for (const char *path : {"/0", "/1", "/2", "/3", "/4", "/5", "/6"})
        list.AddNewResource(path);
    QSignalSpy aboutToRemove(&list, &ResourceList::rowsAboutToBeRemoved);
    QSignalSpy removed(&list, &ResourceList::rowsRemoved);
    list.removeRows({5, 1, 2, 6, 2, 99, -1});
    EXPECT_EQ(names(list), QStringList({"0", "3", "4"}));
    for (const char *gone : {"/1", "/2", "/5", "/6"})
        EXPECT_FALSE(list.contains(gone)) << gone;
    for (const char *kept : {"/0", "/3", "/4"})
        EXPECT_TRUE(list.contains(kept)) << kept;
    // Later runs first, so every reported range is valid at the moment it is reported.
    ASSERT_EQ(removed.count(), 2);
    EXPECT_EQ(removed.at(0), QVariantList({5, 6}));
    EXPECT_EQ(removed.at(1), QVariantList({1, 2}));
    EXPECT_EQ(aboutToRemove.count(), 2);
}

TEST(ResourceList, InsertSignalsComeInPairsAroundTheChange)
{
    ResourceList list;
    int countBefore = -1;
    int countAfter = -1;
    QObject::connect(&list, &ResourceList::rowsAboutToBeInserted, [&](int first, int last) {
        EXPECT_EQ(first, 0);
        EXPECT_EQ(last, 0);
        countBefore = list.count();
    });
    QObject::connect(&list, &ResourceList::rowsInserted, [&] { countAfter = list.count(); });
    list.AddNewResource("/x");
    EXPECT_EQ(countBefore, 0);
    EXPECT_EQ(countAfter, 1);

    QSignalSpy inserted(&list, &ResourceList::rowsInserted);
    list.AddNewResource("/x");
    EXPECT_EQ(inserted.count(), 0); // a skipped duplicate changes nothing
}

TEST(ResourceList, ANewProjectEmptiesTheListAnOpenedOneKeepsIt)
{
    test::resetLanguage();
    Settings settings;
    ProjectModel model;
    ResourceList list;
    list.followProject(model);
    list.AddNewResource("/a");
    {
        ProjectModel::ResetScope opening(model, ResetKind::Open);
    }
    EXPECT_EQ(list.count(), 1);
    model.NewFile();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.AddNewResource("/a"));
}

} // namespace
