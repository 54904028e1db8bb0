#pragma once

#include "core/common.h"
#include "mappack/compiler.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

namespace tervelle {

class InstallerGuard;
class PackPlan;
class StagedSources;

// "Save map pack" once its questions are answered: the map list, "setup.iss" and the compiler
// run of a build's plan (planBuild), as the editor and tervelle-pack both do it. The compiler folder is locked for the
// whole build, since its script and staging folder are shared by every build that uses it. The compiler writes into a
// private folder beside the installer, and its installer takes the chosen name only once it has succeeded, so the
// earlier installer stays until then.
class BuildSession : public QObject
{
    Q_OBJECT

public:
    explicit BuildSession(ConsoleSink &sink, const Settings &settings, QObject *parent = nullptr);
    // A build still running is stopped and counts as failed: the earlier installer is put back.
    ~BuildSession() override;

    // Writes the plan's map list and script and starts the compiler; returns at once, and
    // finished() follows (it may come before this returns when the compiler cannot be started).
    // The review's warnings are the first console lines. Throws UserError, with nothing run,
    // when another build holds the compiler folder, a value cannot go into the script, a file
    // cannot be written or copied, or the earlier installer cannot be moved aside. The plan is
    // not kept.
    void start(const PackPlan &plan, const QString &installerPath);
    bool isRunning() const { return m_lock != nullptr; }
    // Locks that another computer left, older than any build, are taken over by the next start()
    // instead of refusing it with LockHeldElsewhere.
    void setTakeOverLocks(bool takeOver) { m_takeOverLocks = takeOver; }

    // The file the compiler writes for a chosen path: its folder, its name without the
    // extension, then ".exe".
    static QString installerFile(const QString &chosenPath, const QString &compilerFolder);
    // The lock file beside an installer that marks the build writing it.
    static QString installerLockFile(const QString &installerFile);
    // Earlier installers that builds killed before they ended kept aside, found by the last
    // start(); the editor offers them back, tervelle-pack says where they are.
    const QStringList &leftovers() const { return m_leftovers; }

signals:
    void started();
    void finished(tervelle::CompileResult result);

private:
    bool placeInstaller();
    void compilerFinished(CompileResult result);
    void release();

    ConsoleSink &m_sink;
    const Settings &m_settings;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLockFile> m_installerLock;
    QStringList m_leftovers;
    bool m_takeOverLocks = false;
    std::unique_ptr<InstallerGuard> m_guard;
    std::unique_ptr<StagedSources> m_staged;
    // Last, so that it goes first: its process is stopped before the installer is put back.
    CompilerRun m_compiler;
};

} // namespace tervelle
