#include "trial/trialmachine.h"

#include "core/langload.h"
#include "core/textcodec.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <csignal>
#endif
#include <memory>

namespace tervelle {

namespace {

const char TemplateMarker[] = ".tervelle-template";
// Where the stand-ins lie inside the prefix, as the installer sees them and as files.
const char GameWindows[] = "C:\\Worms 4 Mayhem\\";
const char GameFolder[] = "drive_c/Worms 4 Mayhem";
const char LauncherWindows[] = "C:\\Quorvane\\";
const char LauncherFolder[] = "drive_c/Quorvane";
const char InstallWindows[] = "C:\\Program Files\\Quorvane\\";
const char InstallFolder[] = "drive_c/Program Files/Quorvane";
const char InstallLog[] = "tervelle-install.log";
const char DisplayPidFile[] = "display.pid";
const char UninstallLog[] = "tervelle-uninstall.log";
// A game folder bigger than this is not copied further: the trial needs its names, not all.
const int PlaceholderLimit = 200000;

enum class Ended { Finished, FailedToStart, TimedOut, Stopped };

struct ProcessEnd
{
    Ended how = Ended::Finished;
    int exitCode = -1;
};

// Runs a program to its end, the deadline or a stop, whichever comes first.
ProcessEnd runProcess(const QString &program, const QStringList &args, const QProcessEnvironment &environment,
                      const QDeadlineTimer &deadline, const std::atomic_bool &stop)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    if (!process.waitForStarted(10000))
        return {Ended::FailedToStart, -1};
    while (!process.waitForFinished(100)) {
        if (process.state() == QProcess::NotRunning)
            break;
        if (stop || deadline.hasExpired()) {
            process.kill();
            process.waitForFinished(5000);
            return {stop ? Ended::Stopped : Ended::TimedOut, -1};
        }
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return {Ended::Finished, -1};
    return {Ended::Finished, process.exitCode()};
}

QProcessEnvironment wineEnvironment(const QString &prefix)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    environment.insert(QStringLiteral("WINEARCH"), QStringLiteral("win32"));
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // No add-on prompts, and no menu entries or file associations in the user's home.
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml=;winemenubuilder.exe=d"));
    environment.remove(QStringLiteral("WINESERVER"));
    return environment;
}

void stopWineServer(const QString &prefix)
{
    if (!QFileInfo::exists(prefix))
        return;
    // Ended, then waited for, so that no process of the prefix outlives it.
    for (const char *option : {"-k", "-w"}) {
        QProcess server;
        server.setProcessEnvironment(wineEnvironment(prefix));
        server.start(QStringLiteral("wineserver"), {QLatin1String(option)});
        server.waitForFinished(10000);
    }
}

// Removes a folder without following any link inside it: the prefix links its Z: drive to "/".
void removeFolder(const QString &path)
{
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
}

QString xvfbProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
}

qint64 diskUse(const QString &root)
{
    qint64 bytes = 0;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.nextFileInfo());
        if (!info.isSymLink())
            bytes += info.size();
    }
    return bytes;
}

// Wine updates a prefix made by another version of itself on its first start, which would cost
// every trial a wineboot: the template records the version that made it.
QByteArray wineVersion()
{
    QProcess wine;
    wine.start(QStringLiteral("wine"), {QStringLiteral("--version")});
    if (!wine.waitForFinished(10000))
        return {};
    return wine.readAllStandardOutput().trimmed();
}

bool templateReady(const QString &prefix, const QByteArray &version)
{
    const QDir dir(prefix);
    QFile marker(dir.filePath(QLatin1String(TemplateMarker)));
    return marker.open(QIODevice::ReadOnly) && marker.readAll() == version
        && QFileInfo(dir.filePath(QStringLiteral("system.reg"))).size() > 0
        && QFileInfo(dir.filePath(QStringLiteral("user.reg"))).size() > 0
        && QFileInfo(dir.filePath(QStringLiteral("drive_c/windows/system32"))).isDir()
        && QFileInfo(dir.filePath(QStringLiteral("dosdevices/c:"))).isSymLink();
}

// Waits for a lock while watching `stop`; false when stopped.
bool takeLock(QLockFile &lock, const std::atomic_bool &stop)
{
    while (!lock.tryLock(200)) {
        if (stop || lock.error() == QLockFile::PermissionError || lock.error() == QLockFile::UnknownError)
            return false;
    }
    return true;
}

// The X server a killed trial started, found by the process id it wrote down, ended when that
// process is still an X server.
void endLeftDisplay(const QString &pidFile)
{
#ifdef Q_OS_UNIX
    QFile file(pidFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    bool ok = false;
    const qint64 pid = file.readAll().trimmed().toLongLong(&ok);
    if (!ok || pid <= 1)
        return;
    QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (command.open(QIODevice::ReadOnly) && command.readAll().startsWith(QFile::encodeName(xvfbProgram()) + '\0'))
        ::kill(pid_t(pid), SIGTERM);
#else
    Q_UNUSED(pidFile);
#endif
}

// The trials' folder: each trial a folder beside the lock that says it still runs. A folder
// whose lock is free belongs to a trial that was killed.
void removeLeftovers(const QString &trials)
{
    const QDir dir(trials);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        QLockFile lock(dir.filePath(name + QStringLiteral(".lock")));
        // Only a lock whose process is gone is stale: a trial may well run for minutes.
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        stopWineServer(dir.filePath(name + QStringLiteral("/prefix")));
        endLeftDisplay(dir.filePath(name + QLatin1Char('/') + QLatin1String(DisplayPidFile)));
        removeFolder(dir.filePath(name));
        lock.unlock();
    }
}

// A registry value's text as Wine's registry files write it.
QString registryString(const QString &text)
{
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('\\'), QStringLiteral("\\\\")) + QLatin1Char('"');
}

// The launcher's values, as an installed launcher leaves them: each folder ending in "\".
bool setLauncherValues(const QString &prefix)
{
    QFile file(prefix + QStringLiteral("/system.reg"));
    if (!file.open(QIODevice::Append))
        return false;
    const QString section =
        QStringLiteral("\n[Software\\\\Orbeck\\\\Quorvane] %1\n\"AppDir\"=%2\n\"WormsDir\"=%3\n")
            .arg(QDateTime::currentSecsSinceEpoch())
            .arg(registryString(QLatin1String(LauncherWindows)), registryString(QLatin1String(GameWindows)));
    const QByteArray bytes = section.toLatin1();
    return file.write(bytes) == bytes.size() && file.flush();
}

// The player's game folder as empty files of the same names: never read, never written.
int copyNames(const QString &realGame, const QString &standIn)
{
    int count = 0;
    const QDir base(realGame);
    QDirIterator it(realGame, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext() && count < PlaceholderLimit) {
        const QFileInfo info(it.nextFileInfo());
        const QString target = standIn + QLatin1Char('/') + base.relativeFilePath(info.filePath());
        if (info.isDir() && !info.isSymLink()) {
            QDir().mkpath(target);
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile placeholder(target);
            if (placeholder.open(QIODevice::WriteOnly))
                ++count;
        }
    }
    return count;
}

// Makes the folders of `relative` below `root`, taking a folder that is there under another
// letter case for its own, as the installer's file system does.
void makeFolderFolded(const QString &root, const QString &relative)
{
    QString path = root;
    for (const QString &name : relative.split(QLatin1Char('/'))) {
        const QStringList present = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        const auto found = std::find_if(present.begin(), present.end(), [&name](const QString &entry) {
            return entry.compare(name, Qt::CaseInsensitive) == 0;
        });
        path += QLatin1Char('/') + (found != present.end() ? *found : name);
        QDir().mkdir(path);
    }
}

QStringList logLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = textCodec().decode(file.readAll()).split(QStringLiteral("\r\n"));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// An X server of its own, so that nothing of the installer reaches the user's screen.
class HiddenDisplay
{
public:
    // Starts the server and writes its process id into `pidFile`, for the next trial to end it
    // should this one be killed.
    bool start(const QString &pidFile)
    {
        const QString xvfb = xvfbProgram();
        if (xvfb.isEmpty())
            return false;
        m_server.start(xvfb,
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1024x768x24")});
        QByteArray number;
        while (!number.contains('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        if (!number.contains('\n'))
            return false;
        m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
        QFile file(pidFile);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray::number(m_server.processId()));
        return true;
    }
    ~HiddenDisplay()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(3000)) {
                m_server.kill();
                m_server.waitForFinished(3000);
            }
        }
    }
    const QString &display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

double seconds(const QElapsedTimer &timer)
{
    return double(timer.elapsed()) / 1000.0;
}

} // namespace

QString TrialMachine::cacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Orbeck/Tervelle");
}

bool TrialMachine::wineAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("wineserver")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("wineboot")).isEmpty();
}

namespace {

void runTrial(TrialResult &result, const TrialOptions &options, const TrialMachine::Progress &progress,
              const std::atomic_bool &stop)
{
    result.installer = QDir::toNativeSeparators(options.installer);
    result.gameFolder = QLatin1String(GameWindows);
    result.launcherFolder = QLatin1String(LauncherWindows);
    result.installFolder = QLatin1String(InstallWindows);
    const auto fail = [&result](TrialResult::Outcome outcome, const QString &why) {
        result.outcome = outcome;
        result.failure = why;
    };
    if (!TrialMachine::wineAvailable())
        return fail(TrialResult::NoWine, lang(LangKey::message_Trial_NoWine));
    if (!QFileInfo(options.installer).isFile())
        return fail(TrialResult::PrepareFailed,
                    lang(LangKey::message_Trial_NoInstaller, {{'f', QDir::toNativeSeparators(options.installer)}}));

    const QString cache = TrialMachine::cacheFolder();
    const QString trials = cache + QStringLiteral("/trials");
    if (!QDir().mkpath(trials))
        return fail(TrialResult::PrepareFailed,
                    lang(LangKey::message_Trial_CannotMakeFolder, {{'f', QDir::toNativeSeparators(trials)}}));
    removeLeftovers(trials);

    // The template: made once, kept, made again when it is missing or damaged.
    const QString templatePrefix = cache + QStringLiteral("/template");
    QLockFile templateLock(cache + QStringLiteral("/template.lock"));
    templateLock.setStaleLockTime(0);
    if (!takeLock(templateLock, stop))
        return fail(TrialResult::Stopped, lang(LangKey::message_Trial_Stopped));
    const QByteArray version = wineVersion();
    if (!templateReady(templatePrefix, version)) {
        progress(lang(LangKey::message_Trial_MakingTemplate));
        QElapsedTimer timer;
        timer.start();
        const QString fresh = cache + QStringLiteral("/template.new");
        stopWineServer(fresh);
        removeFolder(fresh);
        stopWineServer(templatePrefix);
        removeFolder(templatePrefix);
        const QProcessEnvironment environment = wineEnvironment(fresh);
        const QDeadlineTimer deadline(std::chrono::seconds(300));
        ProcessEnd boot = runProcess(QStringLiteral("wineboot"), {QStringLiteral("-i")}, environment, deadline, stop);
        if (boot.how == Ended::Finished && boot.exitCode == 0)
            boot = runProcess(QStringLiteral("wineserver"), {QStringLiteral("-w")}, environment, deadline, stop);
        QFile marker(fresh + QLatin1Char('/') + QLatin1String(TemplateMarker));
        if (boot.how != Ended::Finished || boot.exitCode != 0 || !marker.open(QIODevice::WriteOnly)
            || marker.write(version) != version.size() || !marker.flush() || !QDir().rename(fresh, templatePrefix)) {
            stopWineServer(fresh);
            removeFolder(fresh);
            if (boot.how == Ended::Stopped)
                return fail(TrialResult::Stopped, lang(LangKey::message_Trial_Stopped));
            return fail(TrialResult::PrepareFailed,
                        lang(LangKey::message_Trial_TemplateFailed, {{'f', QDir::toNativeSeparators(fresh)}}));
        }
        result.templateSeconds = seconds(timer);
    }

    // This trial's machine, marked as running by its lock until it is gone.
    const QString name =
        QStringLiteral("trial-%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    QLockFile runningLock(trials + QLatin1Char('/') + name + QStringLiteral(".lock"));
    runningLock.setStaleLockTime(0);
    if (!runningLock.tryLock(0))
        return fail(TrialResult::PrepareFailed,
                    lang(LangKey::message_Trial_CannotMark, {{'f', QDir::toNativeSeparators(trials)}}));
    const QString machine = trials + QLatin1Char('/') + name;
    const QString prefix = machine + QStringLiteral("/prefix");
    const QString gameRoot = prefix + QLatin1Char('/') + QLatin1String(GameFolder);
    const QString launcherRoot = prefix + QLatin1Char('/') + QLatin1String(LauncherFolder);
    const QString installRoot = prefix + QLatin1Char('/') + QLatin1String(InstallFolder);
    const QProcessEnvironment environment = wineEnvironment(prefix);
    std::unique_ptr<HiddenDisplay> display;
    // Whatever happens below, the machine goes (or is kept where asked) with its Wine server.
    struct Cleanup
    {
        std::function<void()> run;
        ~Cleanup() { run(); }
    } cleanup{[&] {
        stopWineServer(prefix);
        display.reset();
        if (!options.keepIn.isEmpty() && QFileInfo::exists(prefix) && QDir().mkpath(QFileInfo(options.keepIn).path())
            && (QDir().rename(prefix, options.keepIn)
                || runProcess(QStringLiteral("cp"), {QStringLiteral("-a"), prefix, options.keepIn},
                              QProcessEnvironment::systemEnvironment(), QDeadlineTimer(std::chrono::seconds(300)),
                              std::atomic_bool(false))
                        .exitCode
                    == 0))
            result.keptIn = QDir::toNativeSeparators(options.keepIn);
        removeFolder(machine);
        runningLock.unlock();
    }};

    progress(lang(LangKey::message_Trial_Preparing));
    QDir().mkpath(machine);
    const ProcessEnd copied = runProcess(
        QStringLiteral("cp"), {QStringLiteral("-a"), QStringLiteral("--reflink=auto"), templatePrefix, prefix},
        QProcessEnvironment::systemEnvironment(), QDeadlineTimer(std::chrono::seconds(300)), stop);
    templateLock.unlock();
    if (copied.how == Ended::Stopped)
        return fail(TrialResult::Stopped, lang(LangKey::message_Trial_Stopped));
    if (copied.how != Ended::Finished || copied.exitCode != 0)
        return fail(TrialResult::PrepareFailed,
                    lang(LangKey::message_Trial_CannotCopyTemplate, {{'f', QDir::toNativeSeparators(prefix)}}));
    QDir().mkpath(gameRoot);
    QDir().mkpath(launcherRoot);
    if (!options.gameFolder.isEmpty() && QFileInfo(options.gameFolder).isDir()) {
        result.mirroredGame = QDir::toNativeSeparators(options.gameFolder);
        result.placeholders = copyNames(options.gameFolder, gameRoot);
    }
    // The game's usual folders are there on every player's machine, in whatever letter case.
    for (const char *folder : {"data/maps", "data/scripts", "data/frontend/levels"})
        makeFolderFolded(gameRoot, QLatin1String(folder));
    if (!setLauncherValues(prefix))
        return fail(TrialResult::PrepareFailed, lang(LangKey::message_Trial_LauncherValues));

    QProcessEnvironment shown = environment;
    display = std::make_unique<HiddenDisplay>();
    if (display->start(machine + QLatin1Char('/') + QLatin1String(DisplayPidFile)))
        shown.insert(QStringLiteral("DISPLAY"), display->display());
    else if (shown.value(QStringLiteral("DISPLAY")).isEmpty())
        return fail(TrialResult::PrepareFailed, lang(LangKey::message_Trial_NoDisplay));

    TrialSnapshots before{takeSnapshot(gameRoot), takeSnapshot(launcherRoot), takeSnapshot(installRoot)};
    const QDeadlineTimer deadline(std::chrono::seconds(options.timeLimitSeconds));
    const auto limitText = [&] {
        return lang(LangKey::message_Trial_TimeLimit, {{'c', QString::number(options.timeLimitSeconds)}});
    };

    progress(lang(LangKey::message_Trial_Installing));
    QElapsedTimer timer;
    timer.start();
    const ProcessEnd install =
        runProcess(QStringLiteral("wine"),
                   {QFileInfo(options.installer).absoluteFilePath(), QStringLiteral("/VERYSILENT"),
                    QStringLiteral("/SUPPRESSMSGBOXES"), QStringLiteral("/NORESTART"),
                    QStringLiteral("/LOG=C:\\") + QLatin1String(InstallLog)},
                   shown, deadline, stop);
    result.installSeconds = seconds(timer);
    const QString installLog = prefix + QStringLiteral("/drive_c/") + QLatin1String(InstallLog);
    if (install.how == Ended::Stopped)
        return fail(TrialResult::Stopped, lang(LangKey::message_Trial_Stopped));
    if (install.how == Ended::TimedOut) {
        result.log = logLines(installLog);
        return fail(TrialResult::TimedOut, limitText());
    }
    if (install.how == Ended::FailedToStart || install.exitCode != 0) {
        result.log = logLines(installLog);
        return fail(TrialResult::InstallFailed,
                    lang(LangKey::message_Trial_InstallFailed, {{'c', QString::number(install.exitCode)}}));
    }
    const TrialSnapshots installed{takeSnapshot(gameRoot), takeSnapshot(launcherRoot), takeSnapshot(installRoot)};
    result.machineBytes = diskUse(machine);
    judgeTrial(result, options.expected, before, installed, installed);
    progress(lang(LangKey::message_Trial_FilesWritten,
                  {{'c', QString::number(result.count(TrialEntry::Written) + result.count(TrialEntry::Replaced))}}));

    QString uninstaller;
    for (QDirIterator it(installRoot, {QStringLiteral("unins*.exe")}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        uninstaller = it.next();
        break;
    }
    if (uninstaller.isEmpty()) {
        result.log = logLines(installLog);
        return fail(TrialResult::UninstallFailed, lang(LangKey::message_Trial_NoUninstaller));
    }
    progress(lang(LangKey::message_Trial_Uninstalling));
    timer.restart();
    ProcessEnd uninstall =
        runProcess(QStringLiteral("wine"),
                   {uninstaller, QStringLiteral("/VERYSILENT"), QStringLiteral("/SUPPRESSMSGBOXES"),
                    QStringLiteral("/NORESTART"), QStringLiteral("/LOG=C:\\") + QLatin1String(UninstallLog)},
                   shown, deadline, stop);
    // The uninstaller hands its work to a copy of itself and returns: wait for every process.
    if (uninstall.how == Ended::Finished && uninstall.exitCode == 0) {
        const ProcessEnd rest = runProcess(QStringLiteral("wineserver"), {QStringLiteral("-w")}, shown, deadline, stop);
        if (rest.how != Ended::Finished)
            uninstall = rest;
    }
    result.uninstallSeconds = seconds(timer);
    const QString uninstallLog = prefix + QStringLiteral("/drive_c/") + QLatin1String(UninstallLog);
    if (uninstall.how == Ended::Stopped)
        return fail(TrialResult::Stopped, lang(LangKey::message_Trial_Stopped));
    if (uninstall.how == Ended::TimedOut) {
        result.log = logLines(uninstallLog);
        return fail(TrialResult::TimedOut, limitText());
    }
    if (uninstall.how == Ended::FailedToStart || uninstall.exitCode != 0) {
        result.log = logLines(uninstallLog);
        return fail(TrialResult::UninstallFailed,
                    lang(LangKey::message_Trial_UninstallFailed, {{'c', QString::number(uninstall.exitCode)}}));
    }
    const TrialSnapshots uninstalled{takeSnapshot(gameRoot), takeSnapshot(launcherRoot), takeSnapshot(installRoot)};
    judgeTrial(result, options.expected, before, installed, uninstalled);
}

} // namespace

TrialResult TrialMachine::run(const TrialOptions &options, const Progress &progress, const std::atomic_bool &stop)
{
    TrialResult result;
    // The machine is gone (or kept) before the result is handed on.
    runTrial(result, options, progress, stop);
    return result;
}

} // namespace tervelle
