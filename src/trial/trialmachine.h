#pragma once

#include "trial/trialexpectation.h"
#include "trial/trialresult.h"

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace tervelle {

struct TrialOptions
{
    QString installer;
    // The player's game folder whose folder and file names the stand-in copies as empty files;
    // empty or missing: the stand-in has the game's usual folders only. Never written, never read.
    QString gameFolder;
    QString keepIn; // leave the stand-in machine here instead of removing it
    std::vector<ExpectedFile> expected;
    int timeLimitSeconds = 300; // install and uninstall together
};

// A stand-in player's machine: a throwaway Wine prefix copied from a template made once per user
// under the cache folder, with the launcher's registry values pointing at stand-in launcher and
// game folders inside it. The installer and then its uninstaller run silently there, and the
// folders are recorded before, after install and after uninstall. The user's own Wine prefix and
// game folder are never touched, and the machine is removed at the end, also when stopped; one
// left by a killed trial is removed by the next.
class TrialMachine
{
public:
    using Progress = std::function<void(const QString &line)>;

    // "$XDG_CACHE_HOME/Orbeck/Tervelle", where the template and the running trials live.
    static QString cacheFolder();
    // Wine, its server and a way to show no window on the user's screen are installed.
    static bool wineAvailable();

    // Runs the trial; `stop` ends it early (outcome Stopped), with the machine removed. One line
    // per phase goes to `progress`.
    static TrialResult run(const TrialOptions &options, const Progress &progress, const std::atomic_bool &stop);
};

} // namespace tervelle
