#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

using namespace tervelle;

namespace {

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
        QDir().mkpath(appDir + QStringLiteral("iscc/maplists"));
        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        test::writeBytes(appDir + QStringLiteral("iscc/iscc.exe"),
                         "while [ ! -e ../../go ]; do sleep 0.05; done; printf 'MZ new' > ../../out/pack.exe\n");
        model.NewFile();
        SaveProjectFile(model, project);
    }

    QStringList buildArgs(const QString &installer) const
    {
        return {QStringLiteral("build"), project, QStringLiteral("--out"), installer, QStringLiteral("--appdir"), appDir};
    }

    // Starts a build and returns once its compiler runs.
    void startFirst(QProcess &first)
    {
        first.start(QStringLiteral(TERVELLE_BINARY_DIR "/tervelle-pack"), buildArgs(installer));
        ASSERT_TRUE(QTest::qWaitFor([&] { return first.state() == QProcess::NotRunning || first.canReadLine(); }, 60000));
        ASSERT_EQ(first.readLine(), "Started building map pack\n");
    }

    test::TempConfigHome config;
    QTemporaryDir dir;
    SharedState state;
    ProjectModel model{state};
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
    EXPECT_TRUE(second.err.contains(QFile::encodeName(appDir + QStringLiteral("iscc")))) << second.err.toStdString();
    EXPECT_EQ(second.err.count('\n'), 1);

    test::writeBytes(dir.filePath(QStringLiteral("go")), "");
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_EQ(first.readAll(), "Done\n");
    EXPECT_EQ(test::readBytes(installer), "MZ new");
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

} // namespace
