#include "core/errors.h"
#include "core/textcodec.h"
#include "mappack/buildsession.h"
#include "mappack/compilerfolder.h"
#include "mappack/packplan.h"
#include "mappack/setupscript.h"
#include "project/projectmodel.h"
#include "support/filesizelimit.h"
#include "support/shareduser.h"
#include "support/testcompiler.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace tervelle;

namespace {

// Plans the project for the session's compiler folder, as the editor does before it asks where
// to build, and starts the build; the review must let it through.
void startPlanned(BuildSession &session, const ProjectModel &project, const QString &appDir, const QString &chosen)
{
    const PlannedBuild planned = planBuild(project, appDir);
    ASSERT_TRUE(planned.plan) << "the review refused the project";
    session.start(*planned.plan, chosen);
}

using test::ConsoleLines;

// Builds with a shell script standing in for the compiler: it writes into the output folder what
// the real one would write when it fails (half an installer, *.tmp files), or is killed.
class BuildSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        settings.AppDir = standIn.appDir();
        settings.compilerLauncher = test::StandInLauncher;
        model.NewFile();
    }

    QString outDir() const { return standIn.outDir(); }
    QString installer() const { return standIn.installer(); }
    QString out(const QString &name) const { return standIn.out(name); }
    void fakeCompiler(const QByteArray &script) { standIn.compile(script); }

    CompileResult run(BuildSession &session, const QString &chosen)
    {
        QSignalSpy finished(&session, &BuildSession::finished);
        startPlanned(session, model, settings.AppDir, chosen);
        if (finished.isEmpty()) {
            EXPECT_TRUE(finished.wait(60000));
        }
        return finished.isEmpty() ? CompileResult::Error : finished.first().first().value<CompileResult>();
    }
    CompileResult run() { return run(session, installer()); }

    // Every name in the output folder, hidden ones included.
    QStringList outFiles() const
    {
        QStringList names = QDir(outDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }

    QTemporaryDir dir;
    test::StandInBuild standIn{dir.path()};
    Settings settings;
    ProjectModel model;
    ConsoleLines console;
    BuildSession session{console, settings};
};

const QByteArray Previous = QByteArray("the previous, good installer\n").repeated(4096);

TEST_F(BuildSessionTest, FailedRunsPutTheEarlierInstallerBackAndRemoveWhatTheCompilerLeft)
{
    const QList<QByteArray> compilers = {
        "printf 'MZ half an inst' > BUILD/pack.exe; printf x > BUILD/pack.e32.tmp; kill -KILL $$\n", // killed midway
        "printf 'MZ half an inst' > BUILD/pack.exe; printf x > BUILD/pack.e32.tmp; exit 2\n",        // compile error
        "printf 'MZ half' > BUILD/pack.exe; kill -SEGV $$\n",                                        // crash
    };
    test::writeBytes(out("pack.exe"), Previous);
    test::writeBytes(out("mine.tmp"), "the map maker's own");
    for (const QByteArray &compiler : compilers) {
        SCOPED_TRACE(compiler.toStdString());
        fakeCompiler(compiler);
        console.lines.clear();
        EXPECT_EQ(run(), CompileResult::Error);
        EXPECT_EQ(console.lines.last(), "Error occured!");
        EXPECT_EQ(test::readBytes(installer()), Previous);
        EXPECT_EQ(outFiles(), (QStringList{"mine.tmp", "pack.exe"}));
        EXPECT_EQ(test::readBytes(out("mine.tmp")), "the map maker's own");
        EXPECT_FALSE(QFileInfo::exists(buildLockFile(settings.AppDir)));
    }

    // A launcher that cannot start: nothing was written, and the earlier installer is in place.
    settings.compilerLauncher = dir.filePath(QStringLiteral("no-such-launcher"));
    EXPECT_EQ(run(), CompileResult::FailedToLaunch);
    EXPECT_EQ(test::readBytes(installer()), Previous);
    EXPECT_EQ(outFiles(), (QStringList{"mine.tmp", "pack.exe"}));
}

// The output folder may be shared: files of others that appear during a build are theirs, and a
// link planted there must neither be written through nor have its target removed.
TEST_F(BuildSessionTest, CleanUpTouchesOnlyTheCompilersOwnFilesAndFollowsNoLink)
{
    const QString victim = dir.filePath(QStringLiteral("victim"));
    test::writeBytes(victim, "someone else's");
    test::writeBytes(installer(), Previous);
    fakeCompiler("printf theirs > OUT/other.tmp; ln -s " + QFile::encodeName(victim)
                 + " OUT/pack.exe; printf 'MZ half' > BUILD/pack.exe; exit 2\n");
    EXPECT_EQ(run(), CompileResult::Error);
    EXPECT_EQ(test::readBytes(victim), "someone else's");
    EXPECT_EQ(test::readBytes(installer()), Previous);
    EXPECT_EQ(outFiles(), (QStringList{"other.tmp", "pack.exe"}));

    // A link at the compiler's temporary name is left alone, and so is its target.
    QFile::remove(out("other.tmp"));
    fakeCompiler("ln -s " + QFile::encodeName(victim) + " OUT/pack.e32.tmp; exit 2\n");
    EXPECT_EQ(run(), CompileResult::Error);
    EXPECT_EQ(test::readBytes(victim), "someone else's");
    EXPECT_EQ(test::readBytes(installer()), Previous);
    QFile::remove(out("pack.e32.tmp"));

    // An installer that is a link is refused before anything is written.
    ASSERT_TRUE(QFile::link(victim, out("linked.exe")));
    try {
        startPlanned(session, model, settings.AppDir, out("linked.exe"));
        FAIL() << "a linked installer was built";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("symbolic link"))) << e.what();
    }
    EXPECT_EQ(test::readBytes(victim), "someone else's");
}

TEST_F(BuildSessionTest, FailedFirstBuildLeavesNoHalfInstaller)
{
    fakeCompiler("printf 'MZ half' > BUILD/pack.exe; printf x > BUILD/pack.e32.tmp; exit 2\n");
    EXPECT_EQ(run(), CompileResult::Error);
    EXPECT_EQ(outFiles(), QStringList());
}

TEST_F(BuildSessionTest, FullDiskKeepsTheEarlierInstaller)
{
    test::writeBytes(installer(), Previous);
    // The compiler copies its setup stub first (a *.tmp), then writes the installer.
    const QList<QByteArray> compilers = {
        "head -c 300000 /dev/zero > BUILD/pack.e32.tmp || exit 2; head -c 300000 /dev/zero > BUILD/pack.exe || exit 2\n",
        "head -c 300000 /dev/zero > BUILD/pack.exe || exit 2\n",
    };
    for (const QByteArray &compiler : compilers) {
        SCOPED_TRACE(compiler.toStdString());
        fakeCompiler(compiler);
        // A disk with room for the map list and the script, not for an installer.
        test::FileSizeLimit smallDisk(64 * 1024);
        const CompileResult result = run();
        smallDisk.lift();
        EXPECT_EQ(result, CompileResult::Error);
        EXPECT_EQ(test::readBytes(installer()), Previous);
        EXPECT_EQ(outFiles(), QStringList{"pack.exe"});
    }
}

TEST_F(BuildSessionTest, ALockThatCannotBeWrittenSaysWhy)
{
    fakeCompiler("exit 0\n");
    const auto startMessage = [&] {
        BuildSession session(console, settings);
        try {
            startPlanned(session, model, settings.AppDir, installer());
        } catch (const UserError &e) {
            return e.message();
        }
        return QString();
    };
    // A full disk: the lock's few bytes do not fit.
    test::FileSizeLimit fullDisk(0);
    const QString full = startMessage();
    fullDisk.lift();
    EXPECT_TRUE(full.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << full.toStdString();
    EXPECT_EQ(QDir(compilerFolder(settings.AppDir)).entryList({"build.lock*"}, QDir::Files), QStringList());

    QDir(compilerFolder(settings.AppDir)).removeRecursively();
    const QString missing = startMessage();
    EXPECT_TRUE(missing.contains(QString::fromLocal8Bit(std::strerror(ENOENT)))) << missing.toStdString();
}

TEST_F(BuildSessionTest, SuccessReplacesTheInstallerAndLeavesNothingAside)
{
    test::writeBytes(installer(), Previous);
    fakeCompiler("printf 'MZ new' > BUILD/pack.exe\n");
    // The compiler adds ".exe" to the chosen name without its extension.
    EXPECT_EQ(run(session, out("pack.zip")), CompileResult::Success);
    EXPECT_EQ(console.lines.last(), "Done");
    EXPECT_EQ(test::readBytes(installer()), "MZ new");
    EXPECT_EQ(outFiles(), QStringList{"pack.exe"});
    EXPECT_FALSE(QFileInfo::exists(buildLockFile(settings.AppDir)));
}

TEST_F(BuildSessionTest, SuccessWithoutAnInstallerKeepsTheEarlierOneAndSaysSo)
{
    test::writeBytes(installer(), Previous);
    fakeCompiler("exit 0\n");
    test::ProblemCapture problems;
    run();
    EXPECT_EQ(test::readBytes(installer()), Previous);
    EXPECT_EQ(outFiles(), QStringList{"pack.exe"});
    ASSERT_EQ(problems.problems().size(), 1);
    EXPECT_TRUE(problems.problems().first().contains(installer()));
}

TEST_F(BuildSessionTest, SessionEndedMidBuildStopsTheCompilerAndPutsTheInstallerBack)
{
    test::writeBytes(installer(), Previous);
    const QString writing = dir.filePath(QStringLiteral("writing"));
    fakeCompiler("printf 'MZ half' > BUILD/pack.exe; touch " + QFile::encodeName(writing)
                 + "; while :; do sleep 0.05; printf more >> BUILD/pack.exe; done\n");
    {
        BuildSession closing(console, settings);
        startPlanned(closing, model, settings.AppDir, installer());
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(writing); }, 60000));
    }
    EXPECT_EQ(test::readBytes(installer()), Previous);
    EXPECT_EQ(outFiles(), QStringList{"pack.exe"});
    // The compiler was stopped: nothing writes over the installer afterwards.
    QTest::qWait(200);
    EXPECT_EQ(test::readBytes(installer()), Previous);
}

TEST_F(BuildSessionTest, SecondBuildOnTheSameCompilerFolderEndsAtOnceNamingIt)
{
    const QString go = dir.filePath(QStringLiteral("go"));
    fakeCompiler("while [ ! -e " + QFile::encodeName(go)
                 + " ]; do sleep 0.05; done; cat setup.iss > BUILD/pack.exe; cp BUILD/pack.exe BUILD/other.exe\n");
    QSignalSpy firstDone(&session, &BuildSession::finished);
    startPlanned(session, model, settings.AppDir, installer());
    const QByteArray firstScript = test::readBytes(setupScriptPath(settings.AppDir));

    ProjectModel other;
    other.NewFile();
    other.SetHeaderValue(0, QStringLiteral("Other pack"));
    ConsoleLines otherConsole;
    BuildSession second(otherConsole, settings);
    try {
        startPlanned(second, other, settings.AppDir, out("other.exe"));
        FAIL() << "the second build started";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(compilerFolder(settings.AppDir)))) << e.what();
    }
    EXPECT_TRUE(otherConsole.lines.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(StagingFolder(settings.AppDir) + QStringLiteral("Other pack.mpl")));

    test::writeBytes(go, "");
    ASSERT_TRUE(firstDone.wait(60000));
    EXPECT_EQ(firstDone.first().first().value<CompileResult>(), CompileResult::Success);
    EXPECT_EQ(test::readBytes(installer()), firstScript);

    // Once the first has ended the folder is free again.
    QSignalSpy secondDone(&second, &BuildSession::finished);
    startPlanned(second, other, settings.AppDir, out("other.exe"));
    ASSERT_TRUE(secondDone.wait(60000));
    EXPECT_EQ(secondDone.first().first().value<CompileResult>(), CompileResult::Success);
}

// Links planted in a shared compiler folder would have the build write over their targets.
TEST_F(BuildSessionTest, LinksInTheCompilerFolderAreReplacedNotWrittenThrough)
{
    const QString victim = dir.filePath(QStringLiteral("victim"));
    test::writeBytes(victim, "someone else's");
    const QString script = setupScriptPath(settings.AppDir);
    const QString mapList = StagingFolder(settings.AppDir) + QStringLiteral("New map pack.mpl");
    ASSERT_TRUE(QFile::link(victim, script));
    ASSERT_TRUE(QFile::link(victim, mapList));
    fakeCompiler("printf new > BUILD/pack.exe\n");
    EXPECT_EQ(run(), CompileResult::Success);
    EXPECT_EQ(test::readBytes(victim), "someone else's");
    EXPECT_FALSE(QFileInfo(script).isSymLink());
    EXPECT_FALSE(QFileInfo(mapList).isSymLink());
    EXPECT_TRUE(test::readBytes(script).startsWith("\xEF\xBB\xBF[Setup]"));
    EXPECT_EQ(QDir(compilerFolder(settings.AppDir)).entryList(QDir::Hidden | QDir::Files),
              (QStringList{"iscc.exe", "setup.iss"}));
}

// A compiler folder installed for a group: another member can put a link wherever the build
// makes or clears an entry. The build must neither empty the link's target nor write through it.
TEST_F(BuildSessionTest, LinksPlantedInASharedCompilerFolderAreNeverFollowed)
{
    test::SharedGroupUser planter;
    if (planter.skipReason())
        GTEST_SKIP() << planter.skipReason();
    const QString iscc = compilerFolder(settings.AppDir);
    ASSERT_TRUE(planter.letThrough(dir.path()) && planter.letThrough(settings.AppDir) && planter.share(iscc)
                && planter.share(StagingFolder(settings.AppDir)));
    const QString documents = dir.filePath(QStringLiteral("Documents"));
    test::writeBytes(documents + QStringLiteral("/thesis.txt"), "years of work");
    fakeCompiler("printf new > BUILD/pack.exe\n");

    ASSERT_TRUE(planter.as("ln -s " + QFile::encodeName(documents) + " " + QFile::encodeName(iscc) + "/staged"));
    EXPECT_EQ(run(), CompileResult::Success);
    EXPECT_EQ(test::readBytes(documents + QStringLiteral("/thesis.txt")), "years of work");
    EXPECT_FALSE(QFileInfo(stagedSourcesFolder(settings.AppDir)).isSymLink());

    // The staging folder swapped for a link: the map list would land in the link's target.
    const QString staging = StagingFolder(settings.AppDir).chopped(1);
    ASSERT_TRUE(planter.as("mv " + QFile::encodeName(staging) + " " + QFile::encodeName(staging) + ".old && ln -s "
                           + QFile::encodeName(documents) + " " + QFile::encodeName(staging)));
    try {
        startPlanned(session, model, settings.AppDir, installer());
        ADD_FAILURE() << "the map list was written through a link";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(staging)) && e.message().contains("symbolic link"))
            << e.what();
    }
    EXPECT_EQ(QDir(documents).entryList(QDir::Files), QStringList{"thesis.txt"});
}

// In an output folder the group shares, another member plants a link at the installer's name
// while the compiler writes. The map maker's file behind it stays, and the build does not end
// with "Done" when its installer is not at the chosen name.
TEST_F(BuildSessionTest, InstallerNameTakenDuringTheBuildIsNeverWrittenThrough)
{
    test::SharedGroupUser planter;
    if (planter.skipReason())
        GTEST_SKIP() << planter.skipReason();
    ASSERT_TRUE(planter.letThrough(dir.path()) && planter.share(outDir()));
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    test::writeBytes(notes, "my notes");
    fakeCompiler("rm -f BUILD/pack.exe; " + planter.asCommand("ln -s " + QFile::encodeName(notes) + " OUT/pack.exe")
                 + "; printf 'MZ new' > BUILD/pack.exe\n");
    test::ProblemCapture problems;
    EXPECT_EQ(run(), CompileResult::Error);
    EXPECT_EQ(console.lines.last(), "Error occured!");
    EXPECT_EQ(test::readBytes(notes), "my notes");
    // The new installer is kept where the map maker can see it.
    EXPECT_EQ(test::readBytes(out(QStringLiteral("pack (new).exe"))), "MZ new");
    ASSERT_EQ(problems.problems().size(), 1);
    EXPECT_TRUE(problems.problems().first().contains(installer())) << problems.problems().first().toStdString();
}

// Each would otherwise put the earlier installer back over what the other had just built.
TEST_F(BuildSessionTest, BuildsIntoOneInstallerFromTwoCompilerFoldersTakeTurns)
{
    const QString go = dir.filePath(QStringLiteral("go"));
    fakeCompiler("while [ ! -e " + QFile::encodeName(go) + " ]; do sleep 0.05; done; printf first > BUILD/pack.exe\n");
    QSignalSpy firstDone(&session, &BuildSession::finished);
    startPlanned(session, model, settings.AppDir, installer());

    Settings otherState = settings;
    otherState.AppDir = dir.filePath(QStringLiteral("other")) + QLatin1Char('/');
    test::makeCompilerFolder(otherState.AppDir);
    test::writeStandIn(otherState.AppDir, "exit 0\n");
    ConsoleLines otherConsole;
    BuildSession second(otherConsole, otherState);
    try {
        startPlanned(second, model, otherState.AppDir, installer());
        FAIL() << "two builds wrote one installer";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(installer())) << e.what();
    }
    test::writeBytes(go, "");
    ASSERT_TRUE(firstDone.wait(60000));
    EXPECT_EQ(test::readBytes(installer()), "first");
    EXPECT_EQ(outFiles(), QStringList{"pack.exe"});
}

// A crash between making a lock file and writing it leaves one that names nobody; the next build
// takes it over. Something that is no lock file at all is named, not taken for a running build.
TEST_F(BuildSessionTest, LeftOverLockIsTakenOverAndAnythingElseIsNamed)
{
    fakeCompiler("printf new > BUILD/pack.exe\n");
    const QString lock = buildLockFile(settings.AppDir);
    for (const QByteArray &content : {QByteArray(), QByteArray("\x8f\x01\xffgarbage\n\n\n")}) {
        test::writeBytes(lock, content);
        EXPECT_EQ(run(), CompileResult::Success);
        EXPECT_FALSE(QFileInfo::exists(lock));
    }
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), lock));
    const auto refused = [&](const char *what) {
        try {
            startPlanned(session, model, settings.AppDir, installer());
            ADD_FAILURE() << "built past " << what;
        } catch (const UserError &e) {
            EXPECT_TRUE(e.message().contains(lock) && e.message().contains(QLatin1String(what))) << e.what();
        }
    };
    refused("a symbolic link");
    QFile::remove(lock);
    QDir().mkpath(lock);
    refused("a folder");
}

// The script carries a byte-order mark, so any code page builds; the compiler then runs in the
// UTF-8 locale that every system has, so that Wine reads the script's file names as written.
TEST_F(BuildSessionTest, CodePageThatIsNoWindowsCodePageStillBuilds)
{
    ASSERT_TRUE(setTextCodec(QStringLiteral("utf-8")));
    fakeCompiler("printf '%s\\r\\n' \"$LC_ALL\"; printf 'MZ new' > BUILD/pack.exe\n");
    const CompileResult result = run();
    setTextCodec(QString::fromLatin1(DefaultCodePage));
    EXPECT_EQ(result, CompileResult::Success);
    EXPECT_EQ(console.lines, (QStringList{"Started building map pack", "C.UTF-8", "Done"}));
    EXPECT_TRUE(test::readBytes(setupScriptPath(settings.AppDir)).startsWith("\xEF\xBB\xBF[Setup]\r\n"));
}

TEST_F(BuildSessionTest, InstallerFileIsTheChosenNameWithExe)
{
    const QString iscc = compilerFolder(settings.AppDir);
    EXPECT_EQ(BuildSession::installerFile("/packs/my.pack.exe", iscc), "/packs/my.pack.exe");
    EXPECT_EQ(BuildSession::installerFile("/packs/my", iscc), "/packs/my.exe");
    EXPECT_EQ(BuildSession::installerFile("/pack.zip", iscc), "/pack.exe");
}

} // namespace
