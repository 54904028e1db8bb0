#pragma once

#include "walkrandom.h"

#include "project/projectmodel.h"
#include "support/scripteddialogs.h"

#include <QStringList>

#include <functional>

namespace tervelle {
class TfrmWizard;
}

namespace tervelle::test {

// The pack fields the wizard edits, as the project holds them.
struct PackFields
{
    QString name;
    QString version;
    QString author;
    QString webSite;
    QStringList languages;
    bool set = false;

    static PackFields of(const PackProperties &pack);
    bool operator==(const PackFields &other) const;
    bool operator!=(const PackFields &other) const { return !(*this == other); }
    QString describe() const;
};

// The installer languages the walk's program folder offers, in the wizard's order; the walk
// writes a ".isl" file for each.
extern const QStringList WalkLanguages;

// Plays the modal pack properties wizard: a few random edits, steps and check marks, then
// Finish, Cancel, the close box or Esc, and checks that only a Finish with values the pack can
// carry reaches the project, exactly as typed and checked.
class WizardWalk
{
public:
    WizardWalk(WalkRandom &random, ScriptedDialogs &dialogs, QStringList &problems);

    // Runs `command`, which must open the wizard on `project`, and plays it from inside its
    // modal loop. Returns what was done, for the walk's trace.
    QString run(const ProjectModel &project, const std::function<void()> &command);
    // Whether the last wizard ended with its values taken.
    bool finished() const { return m_finished; }

private:
    void play(TfrmWizard &wizard);
    QString typeInto(TfrmWizard &wizard);
    void toggleLanguage(TfrmWizard &wizard);
    // Ends the wizard with Finish (when `mayFinish`), Cancel, the close box or Esc.
    void end(TfrmWizard &wizard, bool mayFinish);
    void finish(TfrmWizard &wizard, bool byEnter);
    void checkShown(TfrmWizard &wizard);
    void checkStep(TfrmWizard &wizard);
    void expect(bool ok, const QString &what);

    WalkRandom &m_random;
    ScriptedDialogs &m_dialogs;
    QStringList &m_problems;
    const ProjectModel *m_project = nullptr;

    PackFields m_before;
    // What the wizard should show: the texts typed and the languages checked so far.
    PackFields m_typed;
    bool m_firstStep = true;
    bool m_opened = false;
    bool m_finished = false;
    QStringList m_actions;
};

} // namespace tervelle::test
