// Save map pack in the window with the real compiler on a disk that fills up: the earlier
// installer stays as it was and the console says the build failed.

#include "ui/editorfixture.h"

#include "project/filetree.h"
#include "support/filesizelimit.h"
#include "support/testcompiler.h"
#include "ui/editor/consolepanel.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace tervelle::test {
namespace {

const QString CompilerFolder = QStringLiteral(TERVELLE_BINARY_DIR "/iscc");

class FullDiskBuild : public EditorTest
{
protected:
    void SetUp() override
    {
        if (!QFileInfo(CompilerFolder + QStringLiteral("/iscc.exe")).isFile())
            GTEST_SKIP() << "no compiler in " << CompilerFolder.toStdString() << " (run scripts/setup-iscc)";
        if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty())
            GTEST_SKIP() << "wine is not installed (run scripts/bootstrap)";
        qputenv("WINEPREFIX", TERVELLE_WINEPREFIX);
        qputenv("WINEARCH", "win32");
        qputenv("WINEDEBUG", "-all");
        EditorTest::SetUp();

        const QString appDir = tempPath("app") + QLatin1Char('/');
        ASSERT_TRUE(test::linkRealCompiler(CompilerFolder, appDir));
        settings.AppDir = appDir;
        settings.compilerLauncher = QStringLiteral("wine");
        test::editPack(projectToSetUp(), [&](PackProperties &p) { p.PackPropertiesSet = true; });
    }

    static void wineserver(const QString &option)
    {
        QProcess server;
        server.start(QStringLiteral("wineserver"), {option});
        server.waitForFinished(60000);
    }
    static void endServer() { wineserver(QStringLiteral("-k")); }
    // A persistent server of this prefix, started while no limit is set.
    static void serveWithoutLimit()
    {
        endServer();
        wineserver(QStringLiteral("-p"));
    }

    void TearDown() override
    {
        endServer();
        EditorTest::TearDown();
    }

    // Builds through the window and returns the console's last line.
    QString saveMapPack(const QString &installer)
    {
        dialogs.saveAnswers.enqueue(installer);
        item("mnuFileSaveMapPack")->trigger();
        if (!editor->isBuilding())
            return dialogs.messages().join("\n");
        if (!QTest::qWaitFor(
                [&] { return !editor->isBuilding() && !test::panelOf<ConsolePanel>(*editor)->hasPendingLines(); },
                240000))
            return QStringLiteral("still building");
        return test::panelOf<ConsolePanel>(*editor)->lines().last();
    }
};

TEST_F(FullDiskBuild, TheEarlierInstallerSurvivesACompileThatRunsOutOfRoom)
{
    // Noise the compiler cannot squeeze below the size limit.
    QByteArray noise(3 * 1024 * 1024, '\0');
    quint32 state = 11;
    for (char &byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 24);
    }
    const QString big = tempPath("maker/big.xan");
    QDir().mkpath(tempPath("maker"));
    writeBytes(big, noise);
    ProjectModel &project = projectToSetUp();
    project.AddMap();
    project.AddFileElement(project.root(MapsRoot), "big.xan", MapFile, big);

    // A Wine server started under the limit would keep it and fail every later build, so one
    // with no limit (not one left by an earlier test) serves both builds and goes with the test.
    serveWithoutLimit();
    QDir().mkpath(tempPath("out"));
    const QString installer = tempPath("out/pack.exe");
    ASSERT_EQ(saveMapPack(installer), "Done");
    const QByteArray earlier = readBytes(installer);
    ASSERT_GT(earlier.size(), noise.size());

    test::FileSizeLimit smallDisk(rlim_t(1) << 20);
    const QString last = saveMapPack(installer);
    smallDisk.lift();
    endServer();

    const QStringList lines = test::panelOf<ConsolePanel>(*editor)->lines();
    EXPECT_EQ(last, "Error occured!") << lines.join("\n").toStdString();
    // The compiler's own account of the failed write is on the console.
    EXPECT_EQ(lines.filter("Could not copy").size(), 1) << lines.join("\n").toStdString();
    EXPECT_TRUE(lines.contains("Compile aborted.")) << lines.join("\n").toStdString();
    EXPECT_EQ(readBytes(installer), earlier);
    EXPECT_EQ(QDir(tempPath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"pack.exe"});
    EXPECT_TRUE(widget("pnlLeft")->isEnabled());
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join("\n").toStdString();
}

} // namespace
} // namespace tervelle::test
