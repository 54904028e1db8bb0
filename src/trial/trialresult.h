#pragma once

#include "trial/trialexpectation.h"
#include "trial/trialsnapshot.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace tervelle {

// The three stand-in folders at one moment, indexed by TrialPlace.
using TrialSnapshots = std::array<FolderSnapshot, 3>;

// What became of one file or folder the installer made or changed.
struct TrialEntry
{
    enum Change { Written, Replaced, Backup, InstallerOwn, FolderCreated };
    enum Fate { Removed, Stays, Restored, NotRestored };

    Change change = Written;
    TrialPlace place = TrialPlace::Game;
    QString path; // relative to the place's folder, "/" between the names
    qint64 size = 0;
    QString node; // the tree node it came from; empty when the project asked for no such file
    int absoluteIndex = -1;
    QString backup; // Replaced: where the earlier file was kept, in the same place; empty if nowhere
    Fate after = Stays;
};

// A way in which the installer did not do what the project says, or lost a player's file.
struct TrialMismatch
{
    enum Kind { Elsewhere, Missing, OtherBytes, Unasked, RemovedByInstall, LostByUninstall };
    Kind kind = Missing;
    TrialPlace place = TrialPlace::Game;
    QString path;
    QString node;  // the tree node, when the project named the file
    QString other; // Elsewhere: where it landed instead
};

struct TrialResult
{
    enum Outcome { Done, NoWine, PrepareFailed, InstallFailed, UninstallFailed, TimedOut, Stopped };

    Outcome outcome = Done;
    QString failure;   // why the trial did not get to the end, one sentence
    QStringList log;   // the installer's (or uninstaller's) own log on a failure
    QString installer; // the installer tried

    // The stand-in machine.
    QString gameFolder, launcherFolder, installFolder; // as the installer saw them, "C:\...\"
    QString mirroredGame;                              // the game folder whose names were copied
    int placeholders = 0;                              // empty files made for its files
    QString keptIn;                                    // where --keep left it

    std::vector<TrialEntry> entries; // in place and path order
    std::vector<TrialMismatch> mismatches;

    qint64 machineBytes = 0;     // the stand-in machine on disk at its largest
    qint64 writtenBytes = 0;     // what the installer wrote into the three folders
    double templateSeconds = -1; // making the template, when this trial had to
    double installSeconds = 0, uninstallSeconds = 0;

    bool matched() const { return outcome == Done && mismatches.empty(); }
    int count(TrialEntry::Change change) const;
};

// Judges the three moments against the project's files: fills entries, mismatches and
// writtenBytes. Paths are compared ignoring letter case, as the installer's file system does.
void judgeTrial(TrialResult &result, const std::vector<ExpectedFile> &expected, const TrialSnapshots &before,
                const TrialSnapshots &afterInstall, const TrialSnapshots &afterUninstall);

// "game", "launcher" or "install folder".
QString placeName(TrialPlace place);
// A relative path as the player reads it: "data\maps\arena.xan".
QString windowsPath(const QString &relative);

// What became of an entry after uninstall: "stays after uninstall", ...
QString fateText(const TrialEntry &entry);
// A mismatch as one sentence: "did not land: game data\\maps\\arena.xan (Maps\\arena.xan)".
QString mismatchText(const TrialMismatch &mismatch);

// The result as lines for a terminal or the build console, mismatches first, a verdict last.
QStringList resultLines(const TrialResult &result);

} // namespace tervelle
