#include "mappack/buildsession.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/report.h"
#include "mappack/buildlock.h"
#include "mappack/compilerfolder.h"
#include "mappack/installerguard.h"
#include "mappack/maplist.h"
#include "mappack/packplan.h"
#include "mappack/packreview.h"
#include "mappack/scriptescape.h"
#include "mappack/setupscript.h"
#include "mappack/stagedsources.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace tervelle {

BuildSession::BuildSession(ConsoleSink &sink, const Settings &settings, QObject *parent)
    : QObject(parent), m_sink(sink), m_settings(settings), m_compiler(sink, settings)
{
    connect(&m_compiler, &CompilerRun::started, this, &BuildSession::started);
    connect(&m_compiler, &CompilerRun::finished, this, &BuildSession::compilerFinished);
    // "Done" only once the compiler's installer stands at the chosen name.
    m_compiler.setOutputCheck([this] { return placeInstaller(); });
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

QString BuildSession::installerLockFile(const QString &installerFile)
{
    const QFileInfo info(installerFile);
    return QDir(info.absolutePath()).filePath(QStringLiteral(".%1.lock").arg(info.fileName()));
}

void BuildSession::start(const PackPlan &plan, const QString &installerPath)
{
    if (isRunning())
        throw UserError(lang(LangKey::message_Build_Running));
    m_leftovers.clear();
    // The locks and the compiler are this session's; the plan's files must go into its folder.
    Q_ASSERT(plan.appDir() == m_settings.AppDir);

    const QString folder = QDir::toNativeSeparators(compilerFolder(m_settings.AppDir));
    auto lock = takeBuildLock(buildLockFile(m_settings.AppDir),
                              lang(LangKey::message_Lock_CompilerBusy, {{'f', folder}}), m_takeOverLocks);
    // Builds from two compiler folders into one installer would put back each other's installers.
    const QString installer = installerFile(installerPath, compilerFolder(m_settings.AppDir));
    // The compiler makes a missing output folder, and the installer's lock needs it first; a
    // build that stops before the compiler takes it away again.
    const QString outputFolder = QFileInfo(installer).absolutePath();
    const bool madeFolder = !QFileInfo::exists(outputFolder) && QDir().mkpath(outputFolder);
    try {
        auto installerLock = takeBuildLock(
            installerLockFile(installer),
            lang(LangKey::message_Lock_InstallerBusy, {{'f', QDir::toNativeSeparators(installer)}}), m_takeOverLocks);
        for (const Finding &finding : plan.review().findings) {
            if (finding.severity == Severity::Warning)
                m_sink.appendConsoleLine(findingLine(finding));
        }
        // With the installer locked, an earlier installer still kept aside belongs to no build.
        m_leftovers = InstallerGuard::leftovers(installer);
        for (const QString &leftover : std::as_const(m_leftovers)) {
            m_sink.appendConsoleLine(
                lang(LangKey::message_Build_LeftoverInstaller, {{'f', QDir::toNativeSeparators(leftover)}}));
        }
        // Sources the compiler would take for one another are packed from copies of distinct names.
        auto staged = std::make_unique<StagedSources>(m_settings.AppDir);
        staged->stage(plan);
        // Told by the path the map maker chose, before the compiler is given one of ours.
        requireNoControlCharacters(lang(LangKey::message_Subject_InstallerPath), installerPath);
        refuseDoubleQuote(lang(LangKey::message_Subject_InstallerPath), installerPath);
        auto guard = std::make_unique<InstallerGuard>(installer);
        const CheckedSetupScript script(plan, guard->compilerOutput());
        SaveMapList(plan);
        saveSetupScript(script, m_settings.AppDir);
        m_guard = std::move(guard);
        m_staged = std::move(staged);
        m_lock = std::move(lock);
        m_installerLock = std::move(installerLock);
        m_compiler.Compile(plan.compilerLocale());
    } catch (...) {
        if (madeFolder)
            QDir().rmdir(outputFolder);
        throw;
    }
}

bool BuildSession::placeInstaller()
{
    QString problem;
    if (m_guard && m_guard->place(problem))
        return true;
    reportProblem(problem);
    return false;
}

void BuildSession::compilerFinished(CompileResult result)
{
    release();
    emit finished(result);
}

void BuildSession::release()
{
    m_guard.reset();
    m_installerLock.reset();
    m_staged.reset();
    m_lock.reset();
}

} // namespace tervelle
