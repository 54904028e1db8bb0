// A disk that fills up while the window writes: the earlier file keeps its bytes and the
// message gives the system's reason.

#include "editorfixture.h"
#include "support/projectrows.h"

#include "mappack/maplist.h"
#include "mappack/packplan.h"
#include "project/filenames.h"
#include "support/filesizelimit.h"
#include "support/testcompiler.h"
#include "ui/editor/consolepanel.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

const QString FullDiskReason = QString::fromLocal8Bit(std::strerror(EFBIG));
constexpr rlim_t Limit = 4096;

class DataSafety : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        standIn = std::make_unique<test::StandInBuild>(work.path());
        settings.AppDir = standIn->appDir();
        settings.compilerLauncher = test::StandInLauncher;
        test::editPack(projectToSetUp(), [&](PackProperties &p) { p.PackPropertiesSet = true; });
    }

    // Enough maps that the project, and its map list, outgrow the small disk.
    void addManyMaps()
    {
        for (int i = 0; i < 60; ++i)
            item("mnuEditAdd")->trigger();
    }

    void saveProject(const QString &path)
    {
        dialogs.saveAnswers.enqueue(path);
        item("mnuFileSaveProject")->trigger();
    }

    void saveMapPack(const QString &path)
    {
        dialogs.saveAnswers.enqueue(path);
        item("mnuFileSaveMapPack")->trigger();
    }

    bool waitUntilBuilt()
    {
        return QTest::qWaitFor(
            [&] { return !editor->isBuilding() && !test::panelOf<ConsolePanel>(*editor)->hasPendingLines(); }, 30000);
    }

    void fakeCompiler(const QByteArray &script) { standIn->compile(script); }

    QString installer() const { return standIn->installer(); }

    std::unique_ptr<test::StandInBuild> standIn;

    // The folder holds only these names: no half-written temporary file was left behind.
    static QStringList namesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QString onlyMessage() const
    {
        EXPECT_EQ(dialogs.messages().size(), 1) << dialogs.messages().join(QLatin1Char('\n')).toStdString();
        return dialogs.messages().value(0);
    }
};

TEST_F(DataSafety, SaveProjectOnAFullDiskKeepsTheEarlierProjectAndSaysWhy)
{
    const QString project = tempPath(QStringLiteral("keep/road.mpr"));
    ASSERT_TRUE(QDir().mkpath(tempPath(QStringLiteral("keep"))));
    item("mnuEditAdd")->trigger();
    saveProject(project);
    ASSERT_TRUE(dialogs.messages().isEmpty());
    const QByteArray earlier = test::readBytes(project);
    ASSERT_FALSE(earlier.isEmpty());

    addManyMaps();
    {
        test::FileSizeLimit disk(Limit);
        saveProject(project);
    }
    const QString message = onlyMessage();
    EXPECT_TRUE(message.contains(FullDiskReason)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("road.mpr"))) << message.toStdString();
    EXPECT_EQ(test::readBytes(project), earlier);
    EXPECT_EQ(namesIn(tempPath(QStringLiteral("keep"))), QStringList{QStringLiteral("road.mpr")});

    // Saved under another name: no file of that name, and the window still names the earlier one.
    const QString title = editor->windowTitle();
    EXPECT_TRUE(title.contains(QStringLiteral("road.mpr"))) << title.toStdString();
    {
        test::FileSizeLimit disk(Limit);
        saveProject(tempPath(QStringLiteral("keep/other.mpr")));
    }
    EXPECT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages().value(1).contains(FullDiskReason)) << dialogs.messages().value(1).toStdString();
    EXPECT_EQ(namesIn(tempPath(QStringLiteral("keep"))), QStringList{QStringLiteral("road.mpr")});
    EXPECT_EQ(editor->windowTitle(), title);

    // The work that was not saved is not lost with New: it waits in the recovery folder.
    item("mnuFileNew")->trigger();
    EXPECT_EQ(editor->project().mapCount(), 0);
    const QStringList kept = recoveryFiles();
    ASSERT_EQ(kept.size(), 1);
    dialogs.openAnswers.enqueue({recoveryDir() + QLatin1Char('/') + kept.first()});
    item("mnuFileOpen")->trigger();
    ASSERT_EQ(editor->project().mapCount(), 61);

    // With room again the same command writes the whole project, which the limit would not hold.
    saveProject(project);
    EXPECT_EQ(dialogs.messages().size(), 2);
    EXPECT_GT(QFileInfo(project).size(), qint64(Limit));
    item("mnuFileNew")->trigger();
    dialogs.openAnswers.enqueue({project});
    item("mnuFileOpen")->trigger();
    EXPECT_EQ(editor->project().mapCount(), 61);
}

TEST_F(DataSafety, ConsoleSaveToFileOnAFullDiskKeepsTheEarlierLogAndSaysWhy)
{
    const QString log = tempPath(QStringLiteral("logs/build.log"));
    ASSERT_TRUE(QDir().mkpath(tempPath(QStringLiteral("logs"))));
    test::writeBytes(log, "earlier log\r\n");
    ConsolePanel *console = test::panelOf<ConsolePanel>(*editor);
    for (int i = 0; i < 400; ++i)
        console->appendConsoleLine(QStringLiteral("Compiling line %1 of the setup script").arg(i));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !console->hasPendingLines(); }));

    dialogs.saveAnswers.enqueue(log);
    {
        test::FileSizeLimit disk(Limit);
        item("mnuCompileSaveToFile")->trigger();
    }
    const QString message = onlyMessage();
    EXPECT_TRUE(message.contains(FullDiskReason)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("build.log"))) << message.toStdString();
    EXPECT_EQ(test::readBytes(log), "earlier log\r\n");
    EXPECT_EQ(namesIn(tempPath(QStringLiteral("logs"))), QStringList{QStringLiteral("build.log")});

    dialogs.saveAnswers.enqueue(log);
    item("mnuCompileSaveToFile")->trigger();
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(test::readBytes(log).startsWith("Compiling line 0 of the setup script\r\n"));
}

TEST_F(DataSafety, AMapListThatDoesNotFitStopsSaveMapPackBeforeTheCompilerWithEarlierFilesKept)
{
    fakeCompiler("printf 'new installer' > BUILD/pack.exe\n");
    test::writeBytes(installer(), "earlier installer");
    addManyMaps();
    const QString staging = StagingFolder(settings.AppDir);
    const QString mapList = staging + mapListFileName(editor->project().packTitle());
    test::writeBytes(mapList, "earlier list\r\n");
    ASSERT_GT(MapListBytes(planPack(editor->project(), QString())).size(), qsizetype(Limit));

    {
        test::FileSizeLimit disk(Limit);
        saveMapPack(installer());
        EXPECT_FALSE(editor->isBuilding());
    }
    const QString message = onlyMessage();
    EXPECT_TRUE(message.contains(FullDiskReason)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral(".mpl"))) << message.toStdString();
    EXPECT_EQ(test::readBytes(mapList), "earlier list\r\n");
    EXPECT_EQ(namesIn(staging), QStringList{QFileInfo(mapList).fileName()});
    EXPECT_EQ(test::readBytes(installer()), "earlier installer");
    EXPECT_FALSE(QFileInfo::exists(setupScriptPath(settings.AppDir)));
    EXPECT_TRUE(widget("pnlLeft")->isEnabled());

    // With room again the build runs and replaces both.
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(test::panelOf<ConsolePanel>(*editor)->lines().last(), QStringLiteral("Done"));
    EXPECT_EQ(test::readBytes(installer()), "new installer");
    EXPECT_EQ(test::readBytes(mapList), MapListBytes(planPack(editor->project(), QString())));
}

TEST_F(DataSafety, ACompilerThatRunsOutOfRoomFailsTheBuildAndTheEarlierInstallerComesBack)
{
    // The compiler inherits the limit; its own write fails and it says so on the console.
    fakeCompiler("printf 'Compiling\\r\\n'\n"
                 "head -c 200000 /dev/zero > BUILD/pack.exe || exit 2\n");
    test::writeBytes(installer(), "earlier installer");
    item("mnuEditAdd")->trigger();
    {
        test::FileSizeLimit disk(100000);
        saveMapPack(installer());
        ASSERT_TRUE(editor->isBuilding()) << dialogs.messages().join(QLatin1Char('\n')).toStdString();
        ASSERT_TRUE(waitUntilBuilt());
    }
    const QStringList lines = test::panelOf<ConsolePanel>(*editor)->lines();
    EXPECT_EQ(lines.last(), QStringLiteral("Error occured!")) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(lines.filter(FullDiskReason).isEmpty()) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(test::readBytes(installer()), "earlier installer");
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(widget("pnlLeft")->isEnabled());
}

} // namespace
