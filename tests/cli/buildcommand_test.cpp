#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/testcompiler.h"
#include "support/testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace tervelle;

namespace {

// Ended, or a zombie no one has reaped yet.
bool processEnded(const QByteArray &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid.trimmed())));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

// tervelle-pack build with a shell script standing in for the compiler, which waits for the
// file "go" before it writes the installer, so a test can act while a build is under way.
class BuildCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        test::writeBytes(config.editorFile(), "CompilerLauncher=/bin/sh\n");
        appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
        test::makeCompilerFolder(appDir);
        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        test::writeStandIn(appDir,
                           test::StandInBuild::OutputDirOfScript
                               + QByteArray("while [ ! -e ../../go ]; do sleep 0.05; done; printf 'MZ new' > "
                                            "$BUILD/pack.exe\n"));
        model.NewFile();
        SaveProjectFile(model, project);
    }

    QStringList buildArgs(const QString &installer) const
    {
        return {QStringLiteral("build"),    project, QStringLiteral("--out"), installer,
                QStringLiteral("--appdir"), appDir};
    }

    // Starts a build and returns once its compiler runs.
    void startFirst(QProcess &first)
    {
        first.start(QStringLiteral(TERVELLE_BINARY_DIR "/tervelle-pack"), buildArgs(installer));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return first.state() == QProcess::NotRunning || first.canReadLine(); }, 60000));
        ASSERT_EQ(first.readLine(), "Started building map pack\n");
    }

    test::TempConfigHome config;
    QTemporaryDir dir;
    Settings settings;
    ProjectModel model;
    QString appDir;
    QString project = dir.filePath(QStringLiteral("pack.mpr"));
    QString installer = dir.filePath(QStringLiteral("out/pack.exe"));
};

TEST_F(BuildCommand, SecondBuildOnTheSameCompilerFolderEndsAtOnce)
{
    QProcess first;
    startFirst(first);

    const test::PackRun second = test::runPack(buildArgs(dir.filePath(QStringLiteral("out/other.exe"))));
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.out.isEmpty()) << second.out.toStdString();
    EXPECT_TRUE(second.err.contains(QFile::encodeName(compilerFolder(appDir)))) << second.err.toStdString();
    EXPECT_EQ(second.err.count('\n'), 1);

    test::writeBytes(dir.filePath(QStringLiteral("go")), "");
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(first.readAll(), "Done\n");
    EXPECT_EQ(test::readBytes(installer), "MZ new");
}

// A missing source would be packed from the staging folder by its name: the review's error
// stops the build before anything is written. Warnings lead the console and the build goes on;
// two sources the compiler would take for one another reach it under distinct names, for that
// build only.
TEST_F(BuildCommand, ReviewErrorsStopTheBuildAndWarningsLeadTheConsole)
{
    const QString upper = dir.filePath(QStringLiteral("src/A.TGA"));
    const QString lower = dir.filePath(QStringLiteral("src/a.tga"));
    test::writeBytes(upper, "");
    test::writeBytes(lower, "lower");
    model.AddFileElement(model.root(FilesRoot), QStringLiteral("A.TGA"), PlainFile, upper);
    model.AddFileElement(model.root(IconsRoot), QStringLiteral("a.tga"), LevelIconFile, lower);
    TreeNode *gone = model.AddFileElement(model.root(MapsRoot), QStringLiteral("gone.xan"), MapFile,
                                          dir.filePath(QStringLiteral("gone.xan")));
    // What a file of that name in the staging folder must never stand in for.
    test::writeBytes(StagingFolder(appDir) + QStringLiteral("gone.xan"), "someone else's");
    SaveProjectFile(model, project);

    test::PackRun run = test::runPack(buildArgs(installer));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("error: Maps\\gone.xan: The source file")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("the map pack was not built")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(setupScriptPath(appDir)));
    EXPECT_FALSE(QFile::exists(StagingFolder(appDir) + QStringLiteral("New map pack.mpl")));

    model.DeleteNode(gone);
    SaveProjectFile(model, project);
    test::writeBytes(dir.filePath(QStringLiteral("go")), "");
    test::writeStandIn(appDir,
                       test::StandInBuild::OutputDirOfScript
                           + QByteArray("cp setup.iss ../../seen.iss; cat staged/* > ../../staged.txt; printf "
                                        "'MZ' > $BUILD/pack.exe\n"));
    run = test::runPack(buildArgs(installer));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("warning: Files\\A.TGA: The source file ")) << run.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith("warning: Level icons\\a.tga: The level icon ")) << run.out.toStdString();
    EXPECT_EQ(lines[2], "Started building map pack");
    const QByteArray script = test::readBytes(dir.filePath(QStringLiteral("seen.iss")));
    EXPECT_TRUE(script.contains("Source: \"Z:" + QDir::toNativeSeparators(upper).replace('/', '\\').toUtf8()
                                + "\"; DestName:\"2.tmp\""))
        << script.toStdString();
    EXPECT_TRUE(script.contains("iscc\\staged\\6.tmp\"; DestName:\"6.tmp\"")) << script.toStdString();
    EXPECT_EQ(test::readBytes(dir.filePath(QStringLiteral("staged.txt"))), "lower");
    EXPECT_FALSE(QFile::exists(stagedSourcesFolder(appDir)));
}

// A source that a link leads into a hidden folder is published only when asked for, and the
// refusal names the path as written and the file it reaches.
TEST_F(BuildCommand, PrivateSourcesAreBuiltOnlyWhenAskedFor)
{
    const QString key = dir.filePath(QStringLiteral("home/.ssh/id_rsa"));
    test::writeBytes(key, "secret");
    const QString planted = dir.filePath(QStringLiteral("shared/arena.xan"));
    QDir().mkpath(dir.filePath(QStringLiteral("shared")));
    ASSERT_TRUE(QFile::link(key, planted));
    model.AddFileElement(model.root(MapsRoot), QStringLiteral("arena.xan"), MapFile, planted);
    SaveProjectFile(model, project);
    test::writeStandIn(appDir, test::StandInBuild::OutputDirOfScript + QByteArray("printf 'MZ' > $BUILD/pack.exe\n"));

    test::PackRun run = test::runPack(buildArgs(installer));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QFile::encodeName(planted + QStringLiteral(" leads to ") + key)))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--publish-private")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(setupScriptPath(appDir)));
    EXPECT_FALSE(QFile::exists(installer));

    run = test::runPack(buildArgs(installer) << QStringLiteral("--publish-private"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith("Done\n")) << run.out.toStdString();
}

// Whatever the build prints passes one escaping: a map name that would erase a warning line
// and set the terminal's title shows its escapes instead.
TEST_F(BuildCommand, TerminalEscapesInProjectTextsArePrintedVisibly)
{
    // A project file from someone else: the map's stored name differs from its "[text]".
    model.AddMap();
    QStringList rows = model.map(0).Info.Properties;
    rows[0] = QStringLiteral("[text]=plain");
    model.CommitMapProperties(0, rows);
    SaveProjectFile(model, project);
    QByteArray bytes = test::readBytes(project);
    ASSERT_EQ(bytes.count("\r\nplain\r\n"), 1);
    bytes.replace("\r\nplain\r\n", "\r\nx\x1b[K\x1b[A\x1b]0;owned\x07\r\n");
    test::writeBytes(project, bytes);
    test::writeStandIn(appDir, test::StandInBuild::OutputDirOfScript + QByteArray("printf 'MZ' > $BUILD/pack.exe\n"));

    const test::PackRun run = test::runPack(buildArgs(installer));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("x\\x1b[K\\x1b[A\\x1b]0;owned\\x07, [map]")) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains('\x1b') || run.out.contains('\x07')) << run.out.toStdString();
}

TEST_F(BuildCommand, TerminatedBuildPutsTheEarlierInstallerBack)
{
    test::writeBytes(installer, "the previous, good installer");
    QProcess first;
    startFirst(first);
    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 1);
    EXPECT_EQ(first.readAll(), "Error occured!\n");
    EXPECT_EQ(test::readBytes(installer), "the previous, good installer");
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden), QStringList{"pack.exe"});

    // The stopped compiler writes nothing later, and the folder is free for the next build.
    test::writeBytes(dir.filePath(QStringLiteral("go")), "");
    const test::PackRun next = test::runPack(buildArgs(installer));
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_EQ(test::readBytes(installer), "MZ new");
}

// `build | head -1` and a tool killed outright: the compiler must not run on and write its
// installer after the build was given up.
TEST_F(BuildCommand, CompilerEndsWithTheBuildWhenTheReaderGoesOrTheToolIsKilled)
{
    test::writeBytes(installer, "the previous, good installer");
    const QString pidFile = dir.filePath(QStringLiteral("compiler.pid"));
    test::writeStandIn(appDir,
                       test::StandInBuild::OutputDirOfScript
                           + QByteArray("echo $$ > ../../compiler.pid; while [ ! -e ../../go ]; do printf "
                                        "'working\\r\\n'; sleep 0.05; done; printf 'MZ new' > "
                                        "$BUILD/pack.exe\n"));
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed" : "reader gone");
        QFile::remove(pidFile);
        QProcess tool;
        if (killed) {
            startFirst(tool);
        } else {
            QStringList quoted;
            for (const QString &arg :
                 QStringList{QStringLiteral(TERVELLE_BINARY_DIR "/tervelle-pack")} + buildArgs(installer))
                quoted << QLatin1Char('\'') + arg + QLatin1Char('\'');
            tool.start(QStringLiteral("bash"),
                       {QStringLiteral("-c"), QStringLiteral("set -o pipefail; %1 | head -1").arg(quoted.join(' '))});
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return test::readBytes(pidFile).endsWith('\n'); }, 30000));
        const QByteArray compiler = test::readBytes(pidFile);
        if (killed)
            ::kill(pid_t(tool.processId()), SIGKILL);
        ASSERT_TRUE(tool.state() == QProcess::NotRunning || tool.waitForFinished(30000));
        // The tool itself ends with a failure, not by the signal of a closed pipe.
        if (!killed) {
            EXPECT_EQ(tool.exitCode(), 1) << tool.readAllStandardError().toStdString();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return processEnded(compiler); }, 10000)) << "the compiler runs on";
        test::writeBytes(dir.filePath(QStringLiteral("go")), "");
        QTest::qWait(300);
        QFile::remove(dir.filePath(QStringLiteral("go")));
        EXPECT_EQ(test::readBytes(installer), "the previous, good installer");
    }
}

// A lock left on a shared compiler folder by a build on another computer, which this one cannot
// ask: named with how to clear it, and taken over when asked once it is older than any build.
TEST_F(BuildCommand, LockFromAnotherComputerIsNamedAndAnOldOneCanBeTakenOver)
{
    test::writeBytes(dir.filePath(QStringLiteral("go")), "");
    const QString lock = buildLockFile(appDir);
    test::writeBytes(lock, "4242\ntervelle-pack\nfar-away-host\n");
    test::PackRun run = test::runPack(buildArgs(installer));
    EXPECT_EQ(run.exitCode, 1);
    for (const QByteArray &part :
         {QByteArray("far-away-host"), QByteArray("4242"), QFile::encodeName(lock), QByteArray("remove the lock file")})
        EXPECT_TRUE(run.err.contains(part)) << run.err.toStdString();

    QFile file(lock);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    file.close();
    run = test::runPack(buildArgs(installer));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("--take-over-lock")) << run.err.toStdString();
    EXPECT_EQ(test::readBytes(lock), "4242\ntervelle-pack\nfar-away-host\n");

    run = test::runPack(buildArgs(installer) << QStringLiteral("--take-over-lock"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(test::readBytes(installer), "MZ new");
    EXPECT_FALSE(QFileInfo::exists(lock));
}

} // namespace
