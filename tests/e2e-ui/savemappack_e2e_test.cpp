#include "ui/editorfixture.h"

#include "support/testcompiler.h"
#include "ui/editor/consolepanel.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

const QString BuildFolder = QStringLiteral(TERVELLE_BINARY_DIR);

// The demo project opened in the window and built with the real compiler under Wine.
class SaveMapPackWithTheCompiler : public EditorTest
{
protected:
    void SetUp() override
    {
        const QString compiler = BuildFolder + QStringLiteral("/iscc");
        if (!QFileInfo(compiler + QStringLiteral("/iscc.exe")).isFile())
            GTEST_SKIP() << "no compiler in " << compiler.toStdString() << " (run scripts/setup-iscc)";
        if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("innoextract")).isEmpty())
            GTEST_SKIP() << "wine or innoextract is not installed (run scripts/bootstrap)";
        qputenv("WINEPREFIX", TERVELLE_WINEPREFIX);
        qputenv("WINEARCH", "win32");
        EditorTest::SetUp();

        // A program folder of its own with the compiler linked in.
        appDir = tempPath(QStringLiteral("app")) + QLatin1Char('/');
        ASSERT_TRUE(test::linkRealCompiler(compiler, appDir));
        settings.AppDir = appDir;
        settings.compilerLauncher = QStringLiteral("wine");
        test::editPack(projectToSetUp(), [&](PackProperties &p) { p.PackPropertiesSet = true; });
    }

    QString appDir;
};

TEST_F(SaveMapPackWithTheCompiler, TheDemoProjectBuildsAnInstallerWithItsNumberedFiles)
{
    const QString project = BuildFolder + QStringLiteral("/examples/demo.mpr");
    ASSERT_TRUE(QFileInfo(project).isFile()) << "the build did not write " << project.toStdString();
    editor->openStartupProject(project);
    ASSERT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(QLatin1Char('\n')).toStdString();

    const QString installer = tempPath(QStringLiteral("demo.exe"));
    dialogs.saveAnswers.enqueue(installer);
    item("mnuFileSaveMapPack")->trigger();
    ASSERT_TRUE(editor->isBuilding());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !editor->isBuilding() && !test::panelOf<ConsolePanel>(*editor)->hasPendingLines(); }, 240000));

    const QStringList lines = test::panelOf<ConsolePanel>(*editor)->lines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.first(), QStringLiteral("Started building map pack"));
    EXPECT_EQ(lines.last(), QStringLiteral("Done")) << lines.join(QLatin1Char('\n')).toStdString();
    // The compiler's own lines lie between, and the view shows them all.
    EXPECT_EQ(lines.filter(QStringLiteral("Successful compile")).size(), 1);
    EXPECT_EQ(test::panelOf<ConsolePanel>(*editor)->text()->toPlainText(), lines.join(QLatin1Char('\n')));
    EXPECT_TRUE(widget("pnlLeft")->isEnabled());
    ASSERT_TRUE(QFileInfo(installer).isFile());
    // A picture of the window for whoever looks at the result by eye.
    const QString shots = qEnvironmentVariable("TERVELLE_SHOTS_DIR");
    if (!shots.isEmpty()) {
        QApplication::processEvents();
        EXPECT_TRUE(editor->grab().save(shots + QStringLiteral("/savemappack-demo.png")));
    }

    QProcess extract;
    extract.setProcessChannelMode(QProcess::MergedChannels);
    extract.start(QStringLiteral("innoextract"), {QStringLiteral("--list"), installer});
    ASSERT_TRUE(extract.waitForFinished(120000));
    ASSERT_EQ(extract.exitCode(), 0);
    const QString listing = QString::fromUtf8(extract.readAll());
    for (const char *name :
         {"1.tmp", "3.tmp", "5.tmp", "6.tmp", "8.tmp", "9.tmp", "11.tmp", "12.tmp", "14.tmp", "16.tmp"})
        EXPECT_TRUE(listing.contains(QString::fromLatin1(name))) << name << "\n" << listing.toStdString();
}

} // namespace
