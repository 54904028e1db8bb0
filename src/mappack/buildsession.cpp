#include "mappack/buildsession.h"

#include "core/errors.h"
#include "mappack/installerguard.h"
#include "mappack/maplist.h"
#include "mappack/setupscript.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

namespace tervelle {

namespace {

QString compilerFolder(const QString &appDir)
{
    return appDir + QStringLiteral("iscc");
}

// QLockFile keeps the system's reason to itself. Writing a lock's worth of bytes ourselves, in
// a file of our own that is removed again, finds it: a missing folder, no permission, a full disk.
QString lockFailureReason(const QString &lockPath)
{
    QFile probe(lockPath + QStringLiteral(".probe"));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return probe.errorString();
    const bool written = probe.write(QByteArray(64, 'x')) == 64 && probe.flush();
    const QString reason = probe.errorString();
    probe.close();
    probe.remove();
    return written ? QString() : reason;
}

} // namespace

BuildSession::BuildSession(ConsoleSink &sink, const SharedState &state, QObject *parent)
    : QObject(parent), m_state(state), m_compiler(sink, state)
{
    connect(&m_compiler, &CompilerRun::started, this, &BuildSession::started);
    connect(&m_compiler, &CompilerRun::finished, this, &BuildSession::compilerFinished);
}

BuildSession::~BuildSession()
{
    // The compiler is stopped by its run's destruction; whatever it wrote is taken back.
    m_compiler.disconnect(this);
}

QString BuildSession::installerFile(const QString &chosenPath, const QString &compilerFolder)
{
    // The compiler takes a relative output folder from its own working folder.
    const QDir folder(QDir(compilerFolder).absoluteFilePath(outputFolder(chosenPath)));
    return folder.filePath(outputBaseName(chosenPath) + QStringLiteral(".exe"));
}

QString BuildSession::lockFile(const QString &appDir)
{
    return compilerFolder(appDir) + QStringLiteral("/build.lock");
}

void BuildSession::start(const ProjectModel &project, const QString &installerPath)
{
    if (isRunning())
        throw UserError(QStringLiteral("A build is already running."));
    // A value the compiler cannot take stops the build before anything is written.
    const QList<QByteArray> lines = MakeSetupScript(m_state.AppDir, installerPath, m_state, project);

    const QString folder = QDir::toNativeSeparators(compilerFolder(m_state.AppDir));
    auto lock = std::make_unique<QLockFile>(lockFile(m_state.AppDir));
    // A build may take long; only a lock whose process has gone is stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError) {
            throw UserError(QStringLiteral("Another build is using the compiler folder %1. Start this one when it has ended.")
                                .arg(folder));
        }
        const QString reason = lockFailureReason(lockFile(m_state.AppDir));
        if (reason.isEmpty()) {
            throw UserError(QStringLiteral("The compiler folder %1 cannot be locked for the build: it is missing or "
                                           "cannot be written.")
                                .arg(folder));
        }
        throw UserError(QStringLiteral("The compiler folder %1 cannot be locked for the build: %2").arg(folder, reason));
    }
    SaveMapList(project, m_state.AppDir);
    saveSetupScript(lines, m_state.AppDir);
    m_guard = std::make_unique<InstallerGuard>(installerFile(installerPath, compilerFolder(m_state.AppDir)));
    m_lock = std::move(lock);
    m_compiler.Compile(false);
}

void BuildSession::compilerFinished(CompileResult result)
{
    if (result == CompileResult::Success)
        m_guard->keep();
    else
        m_guard->rollBack();
    release();
    emit finished(result);
}

void BuildSession::release()
{
    m_guard.reset();
    m_lock.reset();
}

} // namespace tervelle
