#include "trial/trialresult.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

FileState bytes(const QByteArray &content)
{
    return {content.size(), QCryptographicHash::hash(content, QCryptographicHash::Sha256)};
}

ExpectedFile asked(TrialPlace place, const QString &path, const QByteArray &content, const QString &node)
{
    return {place, path, bytes(content), node, 1};
}

const TrialEntry *entryAt(const TrialResult &result, const QString &path)
{
    for (const TrialEntry &entry : result.entries) {
        if (entry.path == path)
            return &entry;
    }
    return nullptr;
}

QStringList mismatchLines(const TrialResult &result)
{
    QStringList lines;
    for (const QString &line : resultLines(result)) {
        if (line.startsWith(QLatin1String("error: ")))
            lines << line;
    }
    return lines;
}

// A game with two files of its own; the installer replaces one (its backup under either naming
// the installer may use), writes the project's files with some faults, and uninstall restores
// one file, leaves another and loses a third.
TEST(TrialJudgement, EveryDifferenceFromTheProjectAndEveryLostFileIsAnError)
{
    TrialSnapshots before;
    before[0].files = {{"Data/Maps/arena.xan", bytes("game arena")},
                       {"Data/Maps/canyon.xan", bytes("game canyon")},
                       {"W4.exe", bytes("game")}};
    before[0].folders = {"Data", "Data/Maps"};

    TrialSnapshots installed = before;
    installed[0].files["Data/Maps/arena.xan"] = bytes("pack arena");
    installed[0].files["Data/Maps/backup/Pack/arena.xan"] = bytes("game arena");
    installed[0].files["Data/Maps/canyon.xan"] = bytes("pack canyon");
    installed[0].files["Data/Maps/backup/6.tmp"] = bytes("game canyon");
    installed[0].files["data/scripts/arena.lua"] = bytes("other script");
    installed[0].files["data/maps/stray.txt"] = bytes("nobody's");
    installed[0].files["data/maps/arena.hmp"] = bytes("height");
    installed[0].folders.insert({"Data/Maps/backup", "Data/Maps/backup/Pack"});
    installed[1].files["maplists/info/about.htm"] = bytes("about");
    installed[2].files["installed/Pack/unins000.exe"] = bytes("uninstaller");

    TrialSnapshots uninstalled = installed;
    uninstalled[0].files["Data/Maps/arena.xan"] = bytes("game arena");
    uninstalled[0].files.erase("Data/Maps/canyon.xan");
    uninstalled[0].files.erase("W4.exe");
    uninstalled[2].files.clear();

    const std::vector<ExpectedFile> expected = {
        asked(TrialPlace::Game, "data/maps/arena.xan", "pack arena", "Maps\\arena.xan"),
        asked(TrialPlace::Game, "data/maps/canyon.xan", "pack canyon", "Maps\\canyon.xan"),
        asked(TrialPlace::Game, "data/maps/arena.hmp", "height", "Height maps\\arena.hmp"),
        asked(TrialPlace::Game, "data/scripts/arena.lua", "pack script", "Lua scripts\\arena.lua"),
        asked(TrialPlace::Launcher, "maplists/about.htm", "about", "Files\\about.htm"),
    };
    TrialResult result;
    judgeTrial(result, expected, before, installed, uninstalled);

    const TrialEntry *arena = entryAt(result, "Data/Maps/arena.xan");
    ASSERT_NE(arena, nullptr);
    EXPECT_EQ(arena->change, TrialEntry::Replaced);
    EXPECT_EQ(arena->node, "Maps\\arena.xan");
    EXPECT_EQ(arena->backup, "Data/Maps/backup/Pack/arena.xan");
    EXPECT_EQ(arena->after, TrialEntry::Restored);
    const TrialEntry *canyon = entryAt(result, "Data/Maps/canyon.xan");
    ASSERT_NE(canyon, nullptr);
    EXPECT_EQ(canyon->backup, "Data/Maps/backup/6.tmp");
    EXPECT_EQ(canyon->after, TrialEntry::Removed);
    ASSERT_NE(entryAt(result, "data/maps/arena.hmp"), nullptr);
    EXPECT_EQ(entryAt(result, "data/maps/arena.hmp")->after, TrialEntry::Stays);
    ASSERT_NE(entryAt(result, "installed/Pack/unins000.exe"), nullptr);
    EXPECT_EQ(entryAt(result, "installed/Pack/unins000.exe")->change, TrialEntry::InstallerOwn);
    EXPECT_EQ(result.count(TrialEntry::Backup), 2);
    EXPECT_EQ(result.count(TrialEntry::FolderCreated), 2);
    EXPECT_FALSE(result.matched());

    QStringList errors = mismatchLines(result);
    errors.sort();
    EXPECT_EQ(errors.join('\n').toStdString(),
              QStringList({
                              "error: a file the player had is gone after uninstall: game Data\\Maps\\canyon.xan",
                              "error: a file the player had is gone after uninstall: game W4.exe",
                              QStringLiteral("error: landed elsewhere: launcher maplists\\about.htm "
                                             "(Files\\about.htm) is at launcher maplists\\info\\about.htm"),
                              "error: landed with other bytes: game data\\scripts\\arena.lua (Lua scripts\\arena.lua)",
                              "error: the installer did not do what the project says",
                              "error: written though the project has no such file: game data\\maps\\stray.txt",
                              "error: written though the project has no such file: launcher maplists\\info\\about.htm",
                          })
                  .join('\n')
                  .toStdString());
}

} // namespace
