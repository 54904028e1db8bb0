#pragma once

#include "trial/trialmachine.h"
#include "trial/trialresult.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QAction;
class QTemporaryDir;
class QThread;

namespace tervelle {

class BuildSession;
class TrialWindow;

// A trial of an installer on a thread of its own, so that the window keeps painting while Wine
// works. Going away stops a trial still running and waits until its machine is removed.
class TrialRun : public QObject
{
    Q_OBJECT

public:
    explicit TrialRun(QObject *parent = nullptr);
    ~TrialRun() override;

    void start(TrialOptions options);
    void stop() { m_stop = true; }
    bool isRunning() const;

signals:
    // One line per phase, from the trial's thread.
    void progress(const QString &line);
    void finished(const tervelle::TrialResult &result);

private:
    std::atomic_bool m_stop{false};
    std::unique_ptr<QThread> m_worker;
    TrialResult m_result;
};

// What the editor keeps for File > Try installer...
struct TrialState
{
    TrialState();
    ~TrialState();

    TrialRun run;
    std::unique_ptr<BuildSession> build;   // builds for trials, into `folder`
    std::unique_ptr<QTemporaryDir> folder; // made at the first such build, removed with the window
    QString lastBuilt;                     // the installer the editor built last
    quint64 builtAt = 0;                   // the project's change count it was built from
    quint64 changes = 1;                   // counts the project's changes; never equal to 0
    QString building;                      // the installer the running build writes
    quint64 buildingAt = 0;
    bool forTrial = false; // the running build is the trial's own
    bool holding = false;
    bool stopping = false;
    QAction *stopAction = nullptr;
    TrialWindow *window = nullptr;
};

} // namespace tervelle
