#pragma once

#include "walkrandom.h"
#include "walkwizard.h"

#include "support/scripteddialogs.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>

class QAction;

namespace tervelle {
class TfrmEditor;
struct Settings;
} // namespace tervelle

namespace tervelle::test {

// "Save map pack" in the random walk, with a shell script standing in for the compiler: it
// writes the installer that "setup.iss" names, fails, or fails after writing half of it, as
// the walk decides. Once the build has ended, what a map maker relies on is checked: a new
// installer only from a build that said "Done", the earlier one byte for byte otherwise, the
// map list of the project as it was built, and the window usable again.
class BuildWalk
{
public:
    BuildWalk(WalkRandom &random, ScriptedDialogs &dialogs, QStringList &problems, WizardWalk &wizard);

    // Lays out a program folder in `work` with the stand-in, its languages and an output
    // folder holding an earlier installer, and points the window's `settings` at it.
    void setUp(const QString &work, Settings &settings);

    // Runs the command (`command` is Save map pack) with a random answer to the save dialog and
    // a random outcome of the compiler, the wizard first when the pack properties are not set.
    // Returns what was done, for the walk's trace.
    QString run(TfrmEditor &editor, QAction *command);
    // Why the last build was refused before the compiler, or empty.
    const QString &lastRefusal() const { return m_lastRefusal; }

private:
    enum class Outcome { Installer, Error, HalfInstaller };
    // The word the stand-in reads from its mode file.
    static const char *modeOf(Outcome outcome);

    // What a build may change, and what a build that did not run must leave as it was.
    struct Before
    {
        QMap<QString, QByteArray> outputs;
        QMap<QString, QByteArray> staging;
        QByteArray script;
        qsizetype consoleLines = 0;
        qsizetype asked = 0;
        QList<bool> actionsEnabled;
    };

    Before snapshot(const TfrmEditor &editor) const;
    QMap<QString, QByteArray> filesUnder(const QString &folder) const;
    QList<bool> actionsEnabled(const TfrmEditor &editor) const;
    // Nothing was written or run; `why` names the case in a problem.
    void checkNothingBuilt(const TfrmEditor &editor, const Before &before, const QString &why);
    void checkBuilt(TfrmEditor &editor, const Before &before, const QString &installer, Outcome outcome,
                    const QByteArray &token, const QStringList &warnings);
    void checkWindowUsable(const TfrmEditor &editor, const Before &before, const QString &why);
    void expect(bool ok, const QString &what);

    WalkRandom &m_random;
    ScriptedDialogs &m_dialogs;
    QStringList &m_problems;
    Settings *m_settings = nullptr;
    WizardWalk &m_wizard;
    QString m_work;
    int m_builds = 0;
    QString m_lastRefusal;
};

} // namespace tervelle::test
