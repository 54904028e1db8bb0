#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/testcompiler.h"
#include "support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

const QString BuildFolder = QStringLiteral(TERVELLE_BINARY_DIR);
const QString PackTool = BuildFolder + QStringLiteral("/tervelle-pack");
const QString DemoProject = BuildFolder + QStringLiteral("/examples/demo.mpr");
// Kept between runs, as a user's is: the template is made once.
const QString CacheHome = BuildFolder + QStringLiteral("/e2e-trial-cache");
const QString Trials = CacheHome + QStringLiteral("/Orbeck/Tervelle/trials");

struct ToolRun
{
    int exitCode = -1;
    QByteArray output;
    QString errors;
};

// The trial's environment: its own cache and settings; the compiler's prefix for the builds.
QProcessEnvironment toolEnvironment(const QString &configHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), CacheHome);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    environment.insert(QStringLiteral("WINEPREFIX"), QStringLiteral(TERVELLE_WINEPREFIX));
    environment.insert(QStringLiteral("WINEARCH"), QStringLiteral("win32"));
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    return environment;
}

ToolRun runTool(const QStringList &args, const QString &configHome)
{
    QProcess process;
    process.setProcessEnvironment(toolEnvironment(configHome));
    process.start(PackTool, args);
    ToolRun run;
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished();
        run.errors = QStringLiteral("timed out");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = process.readAllStandardOutput();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Processes whose Wine prefix lies among the trials' machines.
QStringList processesInTrials()
{
    QStringList found;
    const QByteArray marker = "WINEPREFIX=" + QFile::encodeName(Trials);
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().contains(marker))
            found << pid;
    }
    return found;
}

QStringList leftInTrials()
{
    return QDir(Trials).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

class Trial : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo(BuildFolder + QStringLiteral("/iscc/iscc.exe")).isFile())
            GTEST_SKIP() << "no compiler in the build folder (run scripts/setup-iscc)";
        if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            GTEST_SKIP() << "wine or Xvfb is not installed (run scripts/bootstrap)";
        ASSERT_TRUE(QFileInfo(DemoProject).isFile()) << "the build did not write " << DemoProject.toStdString();
        ASSERT_TRUE(test::linkRealCompiler(BuildFolder + QStringLiteral("/iscc"), appDir));
    }

    // The demo pack's installer, built as a map maker builds it.
    QString buildDemo()
    {
        QString installer = dir.filePath(QStringLiteral("demo.exe"));
        const ToolRun build = runTool({QStringLiteral("build"), DemoProject, QStringLiteral("--out"), installer,
                                       QStringLiteral("--appdir"), appDir},
                                      config.path());
        EXPECT_EQ(build.exitCode, 0) << build.output.toStdString() << build.errors.toStdString();
        return installer;
    }

    QTemporaryDir dir;
    QTemporaryDir config;
    const QString appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
};

// The demo pack on a machine whose game already has one of its maps: every file lands where
// the project says with the project's bytes, the game's map is kept as a backup first, and the
// game folder the names came from is left as it was.
TEST_F(Trial, TheDemoPackDoesWhatItsProjectSaysOnAGameThatHasItsMap)
{
    const QString game = dir.filePath(QStringLiteral("game"));
    test::writeBytes(game + QStringLiteral("/Data/Maps/arena.xan"), "the game's own arena");
    test::writeBytes(game + QStringLiteral("/W4.exe"), "the game");

    const ToolRun run = runTool({QStringLiteral("try"), DemoProject, QStringLiteral("--appdir"), appDir,
                                 QStringLiteral("--game-folder"), game, QStringLiteral("--json")},
                                config.path());
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString() << run.errors.toStdString();
    const QJsonObject result = QJsonDocument::fromJson(run.output).object();
    EXPECT_TRUE(result.value(QStringLiteral("matched")).toBool());
    EXPECT_TRUE(result.value(QStringLiteral("mismatches")).toArray().isEmpty());

    QStringList written;
    QJsonObject replaced;
    const QJsonArray entries = result.value(QStringLiteral("entries")).toArray();
    for (const auto &value : entries) {
        const QJsonObject entry = value.toObject();
        const QString change = entry.value(QStringLiteral("change")).toString();
        if (change == QLatin1String("written") || change == QLatin1String("replaced")) {
            written << entry.value(QStringLiteral("place")).toString() + QLatin1Char(' ')
                    + entry.value(QStringLiteral("path")).toString() + QStringLiteral(" <- ")
                    + entry.value(QStringLiteral("node")).toString();
        }
        if (change == QLatin1String("replaced"))
            replaced = entry;
    }
    // The game's own letter case holds, as on the player's file system.
    written.sort();
    QStringList expected = QStringList({
        "game Data\\Maps\\arena.xan <- Maps\\arena.xan",
        "game Data\\frontend\\levels\\arena.tga <- Level icons\\arena.tga",
        "game Data\\frontend\\levels\\canyon.tga <- Level icons\\canyon.tga",
        "game Data\\Maps\\arena.hmp <- Height maps\\arena.hmp",
        "game Data\\Maps\\canyon.hmp <- Height maps\\canyon.hmp",
        "game Data\\Maps\\canyon.xan <- Maps\\canyon.xan",
        "game Data\\Maps\\demo.txt <- Texture files\\demo.txt",
        "game Data\\scripts\\demo.lua <- Lua scripts\\demo.lua",
        "launcher maplists\\Tervelle demo pack.mpl <- Files\\Tervelle demo pack.mpl",
        "launcher maplists\\info\\demo.htm <- Files\\info\\demo.htm",
    });
    expected.sort();
    EXPECT_EQ(written.join('\n').toStdString(), expected.join('\n').toStdString());
    EXPECT_TRUE(replaced.value(QStringLiteral("backup")).toString().startsWith(QStringLiteral("Data\\Maps\\backup\\")))
        << QJsonDocument(replaced).toJson().toStdString();
    EXPECT_NE(replaced.value(QStringLiteral("afterUninstall")).toString(), QStringLiteral("removed"));

    EXPECT_EQ(test::readBytes(game + QStringLiteral("/Data/Maps/arena.xan")), "the game's own arena");
    EXPECT_EQ(QDir(game).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' '), QStringLiteral("Data W4.exe"));
    EXPECT_EQ(leftInTrials().join(' ').toStdString(), "");
}

// An installer built from another project does not do what this one says: the demo's files are
// missing and the other's are unasked for.
TEST_F(Trial, AnInstallerOfAnotherProjectIsAnError)
{
    ProjectModel other;
    other.NewFile();
    other.AddMap();
    const QString map = dir.filePath(QStringLiteral("other/island.xan"));
    test::writeBytes(map, "another pack's island");
    other.AddFileElement(other.root(MapsRoot), QStringLiteral("island.xan"), MapFile, map);
    const QString project = dir.filePath(QStringLiteral("other.mpr"));
    SaveProjectFile(other, project);
    const QString installer = dir.filePath(QStringLiteral("other.exe"));
    const ToolRun build = runTool(
        {QStringLiteral("build"), project, QStringLiteral("--out"), installer, QStringLiteral("--appdir"), appDir},
        config.path());
    ASSERT_EQ(build.exitCode, 0) << build.output.toStdString() << build.errors.toStdString();

    const ToolRun run = runTool({QStringLiteral("try"), DemoProject, QStringLiteral("--installer"), installer,
                                 QStringLiteral("--appdir"), appDir},
                                config.path());
    EXPECT_EQ(run.exitCode, 1) << run.output.toStdString() << run.errors.toStdString();
    const QString output = QString::fromUtf8(run.output);
    EXPECT_TRUE(output.contains(QStringLiteral("error: did not land: game data\\maps\\arena.xan (Maps\\arena.xan)")))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("error: written though the project has no such file: game "
                                               "data\\maps\\island.xan")))
        << output.toStdString();
    EXPECT_TRUE(output.trimmed().endsWith(QStringLiteral("error: the installer did not do what the project says")))
        << output.toStdString();
    EXPECT_EQ(leftInTrials().join(' ').toStdString(), "");
}

// Ended while the installer runs, the trial takes its Wine processes and its machine with it.
TEST_F(Trial, ATrialEndedByATerminationSignalLeavesNothingBehind)
{
    const QString installer = buildDemo();
    QProcess process;
    process.setProcessEnvironment(toolEnvironment(config.path()));
    process.start(PackTool,
                  {QStringLiteral("try"), DemoProject, QStringLiteral("--installer"), installer,
                   QStringLiteral("--appdir"), appDir});
    QByteArray output;
    while (!output.contains("Installing") && process.waitForReadyRead(120000))
        output += process.readAllStandardOutput();
    ASSERT_TRUE(output.contains("Installing")) << output.toStdString();
    // Let Wine get going, so that there is something to end.
    QThread::msleep(1500);
    ASSERT_FALSE(processesInTrials().isEmpty());
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(leftInTrials().join(' ').toStdString(), "");
    EXPECT_EQ(processesInTrials().join(' ').toStdString(), "");
}

} // namespace
