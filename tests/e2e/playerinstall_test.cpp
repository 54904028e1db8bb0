// The installer on a player's machine: what the pack adds to it, run silently under Wine.

#include "e2e/packfixture.h"
#include "mappack/setuplanguages.h"

#include <QDirIterator>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace tervelle;
using namespace tervelle::test;

namespace {

// Every file with its bytes and every folder (with a trailing "/") below `root`, as text that a
// failure prints readably.
std::map<std::string, std::string> folderContents(const QString &root)
{
    std::map<std::string, std::string> contents;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString relative = QDir(root).relativeFilePath(entry.filePath());
        if (entry.isDir())
            contents[(relative + QLatin1Char('/')).toStdString()] = {};
        else
            contents[relative.toStdString()] = test::readBytes(entry.filePath()).toStdString();
    }
    return contents;
}

QString readLog(const QString &path)
{
    return QString::fromUtf8(test::readBytes(path));
}

class PlayerInstall : public PackBuild
{
protected:
    void SetUp() override
    {
        PackBuild::SetUp();
        if (IsSkipped())
            return;
        if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
            GTEST_SKIP() << "xvfb-run is not installed (run scripts/bootstrap)";
    }

    // Builds the project as it stands into `name`.exe and fails the test when the build fails.
    QString buildInstaller(const QString &name)
    {
        QString installer = dir.filePath(name + QStringLiteral(".exe"));
        const ToolRun run = build(installer);
        EXPECT_EQ(run.exitCode, 0) << run.output.join('\n').toStdString() << run.errors.toStdString();
        return installer;
    }

    QString gameFile(const QString &relative) const { return worms + relative; }
};

// The Russian texts were Windows-1251 bytes that the compiler read in its own code page; no
// single code page holds them together with a pack name such as this one.
TEST_F(PlayerInstall, RussianTextsReachThePlayerAsWritten)
{
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = QStringLiteral("Straße maps");
        p.PackLanguages = {QStringLiteral("russian"), QStringLiteral("german")};
    });
    const QString installer = buildInstaller(QStringLiteral("strasse"));
    setLauncherKey({}, {});
    const QString log = dir.filePath(QStringLiteral("install.log"));

    EXPECT_NE(runInstaller(installer, {QStringLiteral("/LANG=russian")}, log), 0);

    const QString shown = readLog(log);
    EXPECT_TRUE(shown.contains(QString::fromUtf8(
        "Не найдено приложение Quorvane. Посетите сайт http://www.orbeck.example/, чтобы узнать больше")))
        << shown.toStdString();
}

// Every language the compiler folder offers carries the pack's messages in its own words; the
// compiler takes them all in one script, and the installer shows the chosen language's.
TEST_F(PlayerInstall, EveryInstallerLanguageHasThePacksMessages)
{
    QStringList languages;
    for (const SetupLanguage &language : setupLanguages(appDir))
        languages << language.language;
    ASSERT_GE(languages.size(), 20);
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = QStringLiteral("Every language pack");
        p.PackLanguages = languages;
    });
    const QString installer = buildInstaller(QStringLiteral("languages"));
    const QString script = QString::fromUtf8(test::readBytes(setupScriptPath(appDir)));
    for (const QString &language : languages) {
        for (const char *message : {"CopyingFiles", "LauncherNotFound", "Progress", "CopyFailed", "MapsReady"}) {
            EXPECT_TRUE(script.contains(QStringLiteral("\r\n") + language + QLatin1Char('.') + QLatin1String(message)))
                << language.toStdString() << " " << message;
        }
    }

    setLauncherKey({}, {});
    const QString log = dir.filePath(QStringLiteral("german.log"));
    EXPECT_NE(runInstaller(installer, {QStringLiteral("/LANG=german")}, log), 0);
    const QString shown = readLog(log);
    EXPECT_TRUE(shown.contains(
        QStringLiteral("Quorvane wurde nicht gefunden. Besuchen Sie http://www.orbeck.example/index/0-6")))
        << shown.toStdString();
}

// The player's map list and maps survive a second pack that replaces other files under the same
// numbers: each backup is named after the pack and the file it replaced.
TEST_F(PlayerInstall, EachPackKeepsThePlayersFileItReplaces)
{
    QDir().mkpath(worms + QStringLiteral("data/maps"));
    test::writeBytes(gameFile(QStringLiteral("data/maps/arena.xan")), "the player's arena");
    test::writeBytes(gameFile(QStringLiteral("data/maps/canyon.xan")), "the player's canyon");

    test::editPack(model, [&](PackProperties &p) { p.PackName = QStringLiteral("Arena pack"); });
    addFile(model.root(MapsRoot), QStringLiteral("arena.xan"), MapFile);
    ASSERT_EQ(install(buildInstaller(QStringLiteral("arena")), launcher, worms), 0);

    model.NewFile();
    test::editPack(model, [&](PackProperties &p) { p.PackName = QStringLiteral("Canyon pack"); });
    model.SetHeaderValue(0, QStringLiteral("Canyon pack"));
    addFile(model.root(MapsRoot), QStringLiteral("canyon.xan"), MapFile);
    ASSERT_EQ(install(buildInstaller(QStringLiteral("canyon")), launcher, worms), 0);

    EXPECT_EQ(test::readBytes(gameFile(QStringLiteral("data/maps/canyon.xan"))), "canyon.xan content");
    EXPECT_EQ(test::readBytes(gameFile(QStringLiteral("data/maps/backup/Arena pack/arena.xan"))), "the player's arena");
    EXPECT_EQ(test::readBytes(gameFile(QStringLiteral("data/maps/backup/Canyon pack/canyon.xan"))),
              "the player's canyon");
}

// The launcher may write its folders without a trailing backslash; and a file that cannot be
// written must not end in a setup that reports success.
TEST_F(PlayerInstall, SetupSucceedsOnlyWithEveryFileInPlace)
{
    test::editPack(model, [&](PackProperties &p) { p.PackName = QStringLiteral("Complete pack"); });
    fillProject(QStringLiteral("info"), QString());
    const QString installer = buildInstaller(QStringLiteral("complete"));
    for (const char *folder : {"data/maps", "data/scripts", "data/frontend/levels"})
        QDir().mkpath(worms + QLatin1String(folder));
    QDir().mkpath(launcher);
    setLauncherKey(dosPath(launcher).chopped(1), dosPath(worms).chopped(1));
    ASSERT_EQ(runInstaller(installer), 0);
    for (const QString &file :
         {launcher + QStringLiteral("maplists/New map pack.mpl"), launcher + QStringLiteral("maplists/info/info.htm"),
          gameFile(QStringLiteral("data/maps/island.xan")), gameFile(QStringLiteral("data/scripts/island.lua")),
          gameFile(QStringLiteral("data/frontend/levels/island.tga"))}) {
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    }

    // A game folder without its scripts folder: the script cannot be copied.
    const QString broken = dir.filePath(QStringLiteral("broken")) + QLatin1Char('/');
    QDir().mkpath(broken + QStringLiteral("data/maps"));
    QDir().mkpath(broken + QStringLiteral("data/frontend/levels"));
    test::writeBytes(broken + QStringLiteral("data/maps/island.xan"), "the player's island");
    const QString otherLauncher = dir.filePath(QStringLiteral("other launcher")) + QLatin1Char('/');
    QDir().mkpath(otherLauncher);
    const auto gameBefore = folderContents(broken);
    setLauncherKey(dosPath(otherLauncher), dosPath(broken));
    const QString log = dir.filePath(QStringLiteral("broken.log"));

    EXPECT_NE(runInstaller(installer, {}, log), 0);
    const QString shown = readLog(log);
    EXPECT_TRUE(
        shown.contains(QStringLiteral("The file ") + dosPath(broken) + QStringLiteral("data\\scripts\\island.lua")))
        << shown.toStdString();
    EXPECT_EQ(folderContents(broken), gameBefore);
    EXPECT_EQ(folderContents(otherLauncher), (std::map<std::string, std::string>{}));
}

// Installed over a game and a launcher holding the player's own files, the pack uninstalls to
// exactly the folders it found.
TEST_F(PlayerInstall, UninstallLeavesTheFoldersAsTheyWere)
{
    test::editPack(model, [&](PackProperties &p) { p.PackName = QStringLiteral("Round trip pack"); });
    fillProject(QStringLiteral("info"), QString());
    model.SetHeaderValue(1, QStringLiteral("info\\info.htm"));
    const QString installer = buildInstaller(QStringLiteral("roundtrip"));
    for (const char *folder : {"data/maps", "data/scripts", "data/frontend/levels"})
        QDir().mkpath(worms + QLatin1String(folder));
    test::writeBytes(gameFile(QStringLiteral("data/maps/island.xan")), "the player's island");
    test::writeBytes(gameFile(QStringLiteral("data/maps/other.xan")), "another map of the player's");
    test::writeBytes(launcher + QStringLiteral("maplists/mine.mpl"), "the player's map list");
    const auto gameBefore = folderContents(worms);
    const auto launcherBefore = folderContents(launcher);

    ASSERT_EQ(install(installer, launcher, worms), 0);
    EXPECT_EQ(test::readBytes(gameFile(QStringLiteral("data/maps/island.xan"))), "island.xan content");
    EXPECT_EQ(test::readBytes(gameFile(QStringLiteral("data/maps/backup/Round trip pack/island.xan"))),
              "the player's island");
    // The header links an information page: the Start menu opens it.
    bool information = false;
    for (QDirIterator it(QStringLiteral(TERVELLE_WINEPREFIX "/drive_c"), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        if (it.next().endsWith(QStringLiteral("/Round trip pack/About Round trip pack.lnk")))
            information = true;
    }
    EXPECT_TRUE(information);

    ASSERT_EQ(uninstall(QStringLiteral("Round trip pack")), 0);
    EXPECT_EQ(folderContents(worms), gameBefore);
    EXPECT_EQ(folderContents(launcher), launcherBefore);
}

// A file the player changed after installing is the player's now: uninstalling leaves it, with
// the backup it would have put back, and says which one it left.
TEST_F(PlayerInstall, UninstallLeavesAChangedFileAndSaysWhere)
{
    test::editPack(model, [&](PackProperties &p) { p.PackName = QStringLiteral("Changed file pack"); });
    addFile(model.root(MapsRoot), QStringLiteral("island.xan"), MapFile);
    addFile(model.root(ScriptsRoot), QStringLiteral("island.lua"), ScriptFile);
    const QString installer = buildInstaller(QStringLiteral("changed"));
    QDir().mkpath(worms + QStringLiteral("data/maps"));
    test::writeBytes(gameFile(QStringLiteral("data/maps/island.xan")), "the player's island");
    ASSERT_EQ(install(installer, launcher, worms), 0);
    test::writeBytes(gameFile(QStringLiteral("data/maps/island.xan")), "edited by the player");
    const QString log = dir.filePath(QStringLiteral("uninstall.log"));

    ASSERT_EQ(uninstall(QStringLiteral("Changed file pack"), log), 0);
    EXPECT_EQ(test::readBytes(gameFile(QStringLiteral("data/maps/island.xan"))), "edited by the player");
    EXPECT_EQ(test::readBytes(gameFile(QStringLiteral("data/maps/backup/Changed file pack/island.xan"))),
              "the player's island");
    EXPECT_FALSE(QFileInfo::exists(gameFile(QStringLiteral("data/scripts/island.lua"))));
    const QString shown = readLog(log);
    EXPECT_TRUE(shown.contains(QStringLiteral("These files (1) changed after the map pack installed them")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(dosPath(worms) + QStringLiteral("data\\maps\\island.xan"))) << shown.toStdString();
}

} // namespace
