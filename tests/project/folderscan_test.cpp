#include "project/folderscan.h"
#include "project/folderscanjob.h"
#include "project/resourcelist.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tervelle;
using tervelle::test::writeBytes;

namespace {

class FolderScan : public ::testing::Test
{
protected:
    QString path(const QString &relative) const { return dir.filePath(relative); }
    void file(const QString &relative) { writeBytes(path(relative), "x"); }
    void folder(const QString &relative) { ASSERT_TRUE(QDir(dir.path()).mkpath(relative)); }
    void link(const QString &target, const QString &relative)
    {
        ASSERT_TRUE(QFile::link(target, path(relative))) << relative.toStdString();
    }

    QStringList fullPaths() const
    {
        QStringList paths;
        for (const ResourceEntry &entry : list.entries())
            paths << entry.fullPath;
        return paths;
    }

    // The order the file system lists each folder in, read through Qt rather than the scan.
    static void expectedOrder(const QString &prefix, bool recursive, QStringList &paths)
    {
        QDirIterator it(prefix, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            if (it.fileInfo().isFile())
                paths << prefix + "/" + it.fileName();
            else if (recursive && it.fileInfo().isDir() && !it.fileInfo().isSymLink())
                expectedOrder(prefix + "/" + it.fileName(), recursive, paths);
        }
    }

    QTemporaryDir dir;
    ResourceList list;
};

TEST_F(FolderScan, AddFolderTakesOnlyTheFilesDirectlyInIt)
{
    file("a.xan");
    file(".hidden.lua");
    folder("sub");
    file("sub/deep.tga");
    list.AddNewResource(path("a.xan")); // as the file dialog gives it: the scan skips it
    EXPECT_EQ(AddFolder(list, dir.path(), false), ScanResult::Finished);
    EXPECT_EQ(fullPaths(), QStringList({path("a.xan"), path(".hidden.lua")}));
    for (const ResourceEntry &entry : list.entries())
        EXPECT_EQ(entry.folder, dir.path());
}

TEST_F(FolderScan, SubfoldersAreScannedDepthFirstWhereTheyAreListed)
{
    for (int i = 0; i < 6; ++i) {
        file(QString("f%1.txt").arg(i));
        folder(QString("d%1/e").arg(i));
        file(QString("d%1/.g%1").arg(i));
        file(QString("d%1/e/h%1").arg(i));
    }
    QStringList expected;
    expectedOrder(dir.path(), true, expected);
    ASSERT_EQ(expected.size(), 18);

    EXPECT_EQ(AddFolder(list, dir.path() + "/", true), ScanResult::Finished);
    EXPECT_EQ(fullPaths(), expected);
    const int row = int(fullPaths().indexOf(path("d3/e/h3")));
    ASSERT_GE(row, 0);
    EXPECT_EQ(list.entry(row).name, "h3");
    EXPECT_EQ(list.entry(row).folder, path("d3/e"));

    // Scanning again adds nothing: every full path is listed already.
    AddFolder(list, dir.path(), true);
    EXPECT_EQ(list.count(), 18);
}

TEST_F(FolderScan, LinksAreFollowedButNeverIntoAFolderBeingScanned)
{
    file("top.xan");
    folder("a/b");
    file("a/b/in-b.tga");
    folder("other");
    file("other/in-other.lua");
    link(path("a"), "a/b/up");         // back to a folder on the way down
    link(".", "self");                 // the scanned folder itself, by a relative link
    link(path("other"), "a/sideways"); // a folder not on the way down: followed, once
    link(path("top.xan"), "a/alias.xan");
    link(path("missing"), "broken");

    ScanProgress totals;
    EXPECT_EQ(AddFolder(list, dir.path(), true, {}, &totals), ScanResult::Finished);
    QStringList paths = fullPaths();
    paths.sort();
    // "other" is scanned by whichever way the listing meets first.
    const QString other =
        paths.contains(path("other/in-other.lua")) ? path("other/in-other.lua") : path("a/sideways/in-other.lua");
    QStringList expected{path("a/alias.xan"), path("a/b/in-b.tga"), other, path("top.xan")};
    expected.sort();
    EXPECT_EQ(paths, expected);
    EXPECT_EQ(totals.foldersLeftOut, 3);
}

// Two links on each level to the next make 2^levels ways down; each folder is scanned once.
TEST_F(FolderScan, FoldersThatManyLinksLeadToAreScannedOnce)
{
    const int levels = 16;
    for (int i = 0; i < levels; ++i) {
        folder(QStringLiteral("l%1").arg(i));
        file(QStringLiteral("l%1/f%1.xan").arg(i));
    }
    for (int i = 0; i + 1 < levels; ++i) {
        link(path(QStringLiteral("l%1").arg(i + 1)), QStringLiteral("l%1/a").arg(i));
        link(path(QStringLiteral("l%1").arg(i + 1)), QStringLiteral("l%1/b").arg(i));
    }
    ScanProgress totals;
    EXPECT_EQ(AddFolder(list, path(QStringLiteral("l0")), true, {}, &totals), ScanResult::Finished);
    EXPECT_EQ(list.count(), levels);
    EXPECT_EQ(totals.foldersLeftOut, levels - 1);
}

#ifdef Q_OS_UNIX
TEST_F(FolderScan, OnlyRegularFilesAreAdded)
{
    file("plain");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    link(path("pipe"), "pipe-link");
    AddFolder(list, dir.path(), true);
    EXPECT_EQ(fullPaths(), QStringList({path("plain")}));
}

TEST_F(FolderScan, NamesThatDoNotDecodeAreSkippedOthersKeepTheirLetters)
{
    const QByteArray base = QFile::encodeName(dir.path()) + "/";
    ASSERT_EQ(::mkdir(base + "bad\xff-folder", 0700), 0);
    for (const char *name : {"bad\xff.xan", "bad\xff-folder/in.xan", "caf\xc3\xa9.xan"}) {
        const int fd = ::open(base + name, O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0) << name;
        ::close(fd);
    }
    AddFolder(list, dir.path(), true);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.entry(0).name, QString::fromUtf8("caf\u00e9.xan"));
    EXPECT_TRUE(QFile::exists(list.entry(0).fullPath));
}
#endif

TEST_F(FolderScan, MissingAndEmptyPathsAddNothing)
{
    EXPECT_EQ(AddFolder(list, path("nowhere"), true), ScanResult::Finished);
    EXPECT_EQ(AddFolder(list, QString(), true), ScanResult::Finished);
    file("a-file");
    EXPECT_EQ(AddFolder(list, path("a-file"), true), ScanResult::Finished);
    EXPECT_EQ(list.count(), 0);
}

TEST_F(FolderScan, ProgressComesEveryTenEntriesAndCanCancel)
{
    for (int i = 0; i < 25; ++i)
        file(QString("f%1").arg(i));
    folder("sub");
    for (int i = 0; i < 30; ++i)
        file(QString("sub/g%1").arg(i));

    QVector<qint64> seen;
    EXPECT_EQ(AddFolder(list, dir.path(), true,
                        [&](const ScanProgress &progress) {
                            seen << progress.entries;
                            EXPECT_EQ(progress.added, list.count());
                            return true;
                        }),
              ScanResult::Finished);
    EXPECT_EQ(seen, QVector<qint64>({10, 20, 30, 40, 50}));
    EXPECT_EQ(list.count(), 55);

    ResourceList cancelled;
    int calls = 0;
    EXPECT_EQ(AddFolder(cancelled, dir.path(), true, [&](const ScanProgress &) { return ++calls < 2; }),
              ScanResult::Cancelled);
    EXPECT_EQ(calls, 2);
    // What was found before the cancel stays.
    EXPECT_GE(cancelled.count(), 19);
    EXPECT_LE(cancelled.count(), 20);
}

// The job hands its files over from another thread in many batches; the list must end as the
// scan on the spot leaves it, and a cancelled job must leave the first part of that same list.
TEST_F(FolderScan, AJobOnItsOwnThreadListsWhatTheScanOnTheSpotLists)
{
    for (int d = 0; d < 3; ++d) {
        folder(QString("d%1/e").arg(d));
        for (int i = 0; i < 1500; ++i)
            file(QString("d%1/f%2").arg(d).arg(i));
        file(QString("d%1/e/g").arg(d));
    }
    ResourceList onTheSpot;
    ASSERT_EQ(AddFolder(onTheSpot, dir.path(), true), ScanResult::Finished);
    ASSERT_EQ(onTheSpot.count(), 4503);
    const auto sameEntries = [&](const ResourceList &got, int rows) {
        for (int row = 0; row < rows; ++row) {
            const ResourceEntry &want = onTheSpot.entry(row);
            ASSERT_EQ(got.entry(row).fullPath, want.fullPath) << row;
            ASSERT_EQ(got.entry(row).folder, want.folder) << row;
            ASSERT_EQ(got.entry(row).name, want.name) << row;
        }
    };

    FolderScanJob job;
    QSignalSpy ended(&job, &FolderScanJob::finished);
    job.start(list, dir.path(), true);
    EXPECT_TRUE(job.isRunning());
    ASSERT_TRUE(ended.wait(60000));
    EXPECT_FALSE(job.isRunning());
    EXPECT_EQ(ended.at(0).at(0).value<ScanResult>(), ScanResult::Finished);
    ASSERT_EQ(list.count(), onTheSpot.count());
    sameEntries(list, list.count());

    ResourceList cancelled;
    FolderScanJob stopped;
    QSignalSpy stoppedEnd(&stopped, &FolderScanJob::finished);
    stopped.start(cancelled, dir.path(), true);
    stopped.cancel();
    ASSERT_TRUE(stoppedEnd.wait(60000));
    const auto result = stoppedEnd.at(0).at(0).value<ScanResult>();
    EXPECT_TRUE(result == ScanResult::Cancelled || cancelled.count() == onTheSpot.count());
    ASSERT_LE(cancelled.count(), onTheSpot.count());
    sameEntries(cancelled, cancelled.count());
}

} // namespace
