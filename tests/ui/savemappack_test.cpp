#include "editorfixture.h"

#include "mappack/buildsession.h"
#include "ui/editor/consolepanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

// "Save map pack" with a shell script standing in for the compiler.
class SaveMapPack : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        // After the window has read its settings, which set these too.
        Common.AppDir = tempPath(QStringLiteral("app")) + QLatin1Char('/');
        Common.compilerLauncher = QStringLiteral("/bin/sh");
        Common.PackPropertiesSet = true;
        ASSERT_TRUE(QDir().mkpath(Common.AppDir + QStringLiteral("iscc/maplists")));
        ASSERT_TRUE(QDir().mkpath(tempPath(QStringLiteral("out"))));
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    }

    QString installer() const { return tempPath(QStringLiteral("out/pack.exe")); }
    QString gate() const { return tempPath(QStringLiteral("gate")); }

    // The stand-in; OUT is the output folder, GATE a file it may wait for.
    void fakeCompiler(QByteArray script)
    {
        script.replace("OUT", QFile::encodeName(tempPath(QStringLiteral("out"))));
        script.replace("GATE", QFile::encodeName(gate()));
        test::writeBytes(Common.AppDir + QStringLiteral("iscc/iscc.exe"), script);
    }

    void saveMapPack(const QString &path)
    {
        dialogs.saveAnswers.enqueue(path);
        item("mnuFileSaveMapPack")->trigger();
    }

    bool waitUntilBuilt()
    {
        return QTest::qWaitFor([&] { return !editor->isBuilding() && !editor->console()->hasPendingLines(); }, 30000);
    }

    bool columnsEnabled() const
    {
        return widget("pnlLeft")->isEnabled() && widget("pnlMid")->isEnabled() && widget("pnlRight")->isEnabled();
    }
    bool columnsDisabled() const
    {
        return !widget("pnlLeft")->isEnabled() && !widget("pnlMid")->isEnabled() && !widget("pnlRight")->isEnabled();
    }

    QStringList consoleLines() const { return editor->console()->lines(); }
};

// Runs the command and acts on the wizard if one opens; returns whether one opened.
bool withWizard(const std::function<void()> &command, const char *button)
{
    bool opened = false;
    QTimer::singleShot(0, [&] {
        QWidget *wizard = QApplication::activeModalWidget();
        if (!wizard)
            return;
        opened = true;
        if (auto *press = wizard->findChild<QAbstractButton *>(QString::fromLatin1(button)))
            press->click();
        if (wizard->isVisible())
            wizard->close();
    });
    command();
    QApplication::processEvents();
    return opened;
}

TEST_F(SaveMapPack, TheWizardComesFirstUntilThePackPropertiesAreSetAndCancelEndsTheCommand)
{
    fakeCompiler("exit 0\n");
    Common.PackPropertiesSet = false;
    EXPECT_TRUE(withWizard([&] { item("mnuFileSaveMapPack")->trigger(); }, "cmdCancel"));
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Common.AppDir + QStringLiteral("iscc/setup.iss")));
    EXPECT_FALSE(editor->console()->isVisible());

    // Once set, no wizard: the save dialog with the table's texts. Cancel there ends it too.
    Common.PackPropertiesSet = true;
    EXPECT_FALSE(withWizard([&] { item("mnuFileSaveMapPack")->trigger(); }, "cmdCancel"));
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked.first().kind, QStringLiteral("save"));
    EXPECT_EQ(dialogs.asked.first().request.title, QStringLiteral("Create setup package"));
    EXPECT_EQ(dialogs.asked.first().request.filter, QStringLiteral("Map pack(*.exe)|*.exe"));
    EXPECT_EQ(dialogs.asked.first().request.filterIndex, 1);
    EXPECT_FALSE(QFileInfo::exists(Common.AppDir + QStringLiteral("iscc/setup.iss")));

    // Project options shows the wizard whatever the flag says; its cancel changes nothing.
    EXPECT_TRUE(withWizard([&] { item("mnuFilePackProperties")->trigger(); }, "cmdCancel"));
    EXPECT_TRUE(Common.PackPropertiesSet);

    // A finished wizard leads on to the save dialog.
    Common.PackPropertiesSet = false;
    EXPECT_TRUE(withWizard([&] { item("mnuFileSaveMapPack")->trigger(); }, "cmdFinish"));
    EXPECT_TRUE(Common.PackPropertiesSet);
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked.last().kind, QStringLiteral("save"));
}

TEST_F(SaveMapPack, BuildsWithTheColumnsDisabledAndTheConsoleFollowingTheCompiler)
{
    fakeCompiler("printf 'first line\\r\\n'\n"
                 "while [ ! -f GATE ]; do sleep 0.02; done\n"
                 "printf 'second line\\r\\nlast without end'\n"
                 "printf 'installer' > OUT/pack.exe\n");
    saveMapPack(installer());
    ASSERT_TRUE(editor->isBuilding());
    EXPECT_TRUE(editor->console()->isVisible());
    EXPECT_TRUE(editor->console()->lstCompile->hasFocus());
    EXPECT_TRUE(QFileInfo::exists(Common.AppDir + QStringLiteral("iscc/setup.iss")));

    // The window goes on handling events: the first line shows while the compiler waits.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return editor->console()->lstCompile->toPlainText().contains(QStringLiteral("first line")); }));
    EXPECT_TRUE(columnsDisabled());
    // Resized meanwhile, the console stays across the bottom.
    editor->resize(editor->width() + 120, editor->height() + 40);
    QApplication::processEvents();
    EXPECT_EQ(editor->console()->geometry().bottom(), editor->height() - 1);
    EXPECT_EQ(editor->console()->width(), editor->width());
    // Neither a second build nor a shortcut past the disabled columns meanwhile.
    item("mnuFileSaveMapPack")->trigger();
    dialogs.openAnswers.enqueue({tempPath(QStringLiteral("other.mpr"))});
    QTest::keyClick(editor->console()->lstCompile, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs.asked.size(), 1);

    test::writeBytes(gate(), "go");
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_TRUE(columnsEnabled());
    EXPECT_EQ(consoleLines(),
              (QStringList{QStringLiteral("Started building map pack"), QStringLiteral("first line"),
                           QStringLiteral("second line"), QStringLiteral("last without end"), QStringLiteral("Done")}));
    EXPECT_EQ(test::readBytes(installer()), "installer");
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // A second build appends below the first.
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(consoleLines().size(), 10);
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Done"));
}

TEST_F(SaveMapPack, AFailedBuildSaysSoAndKeepsTheEarlierInstaller)
{
    test::writeBytes(installer(), "earlier installer");
    fakeCompiler("printf 'Error on line 3\\r\\n'\n"
                 "printf 'half' > OUT/pack.exe\n"
                 "exit 2\n");
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Error occured!"));
    EXPECT_TRUE(consoleLines().contains(QStringLiteral("Error on line 3")));
    EXPECT_EQ(test::readBytes(installer()), "earlier installer");
    EXPECT_TRUE(columnsEnabled());

    // A compiler that is not there: only the failure line, the columns never disabled.
    QFile::remove(Common.AppDir + QStringLiteral("iscc/iscc.exe"));
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Failed to launch InnoSetup compiler!"));
    EXPECT_TRUE(editor->console()->isVisible());
    EXPECT_TRUE(columnsEnabled());
}

// A build killed outright never put the earlier installer back; the next build finds it hidden
// beside the installer, says so and offers it back under a name of its own.
TEST_F(SaveMapPack, AnInstallerKeptAsideByAKilledBuildIsOfferedBack)
{
    const QString hidden = tempPath(QStringLiteral("out/.pack.exe.previous-k1ll3d"));
    test::writeBytes(hidden, "earlier installer");
    fakeCompiler("printf new > OUT/pack.exe\n");
    dialogs.replaceAnswers.enqueue(ReplaceAnswer::Yes);
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    EXPECT_EQ(consoleLines().last(), QStringLiteral("Done"));
    EXPECT_TRUE(consoleLines().first().contains(hidden)) << consoleLines().first().toStdString();
    ASSERT_EQ(dialogs.asked.size(), 2); // the save dialog, then the offer
    EXPECT_TRUE(dialogs.asked.last().text.contains(hidden));
    EXPECT_EQ(test::readBytes(tempPath(QStringLiteral("out/pack (earlier).exe"))), "earlier installer");
    EXPECT_EQ(test::readBytes(installer()), "new");
    EXPECT_FALSE(QFileInfo::exists(hidden));
}

TEST_F(SaveMapPack, AStepThatCannotBeWrittenEndsTheCommandWithAMessageNamingTheFile)
{
    fakeCompiler("exit 0\n");
    // The staging folder is a file: the map list cannot be written there.
    ASSERT_TRUE(QDir(Common.AppDir + QStringLiteral("iscc/maplists")).removeRecursively());
    test::writeBytes(Common.AppDir + QStringLiteral("iscc/maplists"), "in the way");
    saveMapPack(installer());
    EXPECT_FALSE(editor->isBuilding());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral(".mpl")))
        << dialogs.messages().first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(Common.AppDir + QStringLiteral("iscc/setup.iss")));
    EXPECT_FALSE(editor->console()->isVisible());
    EXPECT_TRUE(consoleLines().isEmpty());
    EXPECT_TRUE(columnsEnabled());
}

TEST_F(SaveMapPack, ACompilerThatSaysDoneWithoutAnInstallerIsToldAndTheEarlierOneKept)
{
    fakeCompiler("exit 0\n");
    test::writeBytes(installer(), "earlier installer");
    saveMapPack(installer());
    ASSERT_TRUE(waitUntilBuilt());
    QApplication::processEvents();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains("wrote no installer")) << dialogs.messages().first().toStdString();
    EXPECT_EQ(test::readBytes(installer()), "earlier installer");
}

TEST_F(SaveMapPack, ClosingDuringABuildWritesTheSettingsStopsTheCompilerAndPutsTheInstallerBack)
{
    test::writeBytes(installer(), "earlier installer");
    fakeCompiler("echo $$ > OUT/pid\n"
                 "printf 'half' > OUT/pack.exe\n"
                 "exec sleep 60\n");
    saveMapPack(installer());
    const QString pidFile = tempPath(QStringLiteral("out/pid"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return test::readBytes(pidFile).endsWith('\n'); }, 30000));
    const pid_t pid = test::readBytes(pidFile).trimmed().toInt();
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(editor->isBuilding());

    QFile::remove(config.editorFile());
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    editor.reset();
    EXPECT_NE(::kill(pid, 0), 0) << "the compiler outlived the window";
    EXPECT_EQ(test::readBytes(installer()), "earlier installer");
    EXPECT_TRUE(QFileInfo(config.editorFile()).isFile());
    EXPECT_FALSE(QFileInfo::exists(BuildSession::lockFile(Common.AppDir)));
}

} // namespace
