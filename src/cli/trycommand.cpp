#include "cli/cli.h"

#include "core/namerule.h"
#include "core/quitonsignal.h"
#include "project/projectdocument.h"
#include "project/projectmodel.h"
#include "trial/trialexpectation.h"
#include "trial/trialmachine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <memory>

namespace tervelle::cli {

namespace {

struct TryArguments
{
    QString project;
    QString installer; // absolute; empty: build one
    QString gameFolder;
    QString appDir;
    QString keep;
    bool json = false;
};

const char TryUsage[] =
    "usage: tervelle-pack try PROJECT.mpr [--installer FILE.exe] [--game-folder DIR] [--appdir DIR] "
    "[--keep DIR] [--json]";

TryArguments parseTryArguments(const QStringList &args)
{
    TryArguments parsed;
    bool ok = true;
    for (int i = 0; i < args.size() && ok; ++i) {
        const QString &arg = args[i];
        const bool takesValue = arg == QLatin1String("--installer") || arg == QLatin1String("--game-folder")
            || arg == QLatin1String("--appdir") || arg == QLatin1String("--keep");
        if (takesValue && i + 1 < args.size()) {
            const QString value = QFileInfo(args[++i]).absoluteFilePath();
            if (arg == QLatin1String("--installer"))
                parsed.installer = value;
            else if (arg == QLatin1String("--game-folder"))
                parsed.gameFolder = value;
            else if (arg == QLatin1String("--keep"))
                parsed.keep = value;
            else
                parsed.appDir = withTrailingSeparator(QDir::toNativeSeparators(value));
        } else if (arg == QLatin1String("--json")) {
            parsed.json = true;
        } else if (parsed.project.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            parsed.project = arg;
        } else {
            ok = false;
        }
    }
    if (!ok || parsed.project.isEmpty())
        throw UsageError(QLatin1String(TryUsage));
    if (!parsed.keep.isEmpty() && QFileInfo::exists(parsed.keep))
        throw UsageError(QStringLiteral("--keep wants a folder that does not exist yet: %1")
                             .arg(QDir::toNativeSeparators(parsed.keep)));
    if (!parsed.gameFolder.isEmpty() && !QFileInfo(parsed.gameFolder).isDir())
        throw UsageError(QStringLiteral("There is no game folder %1").arg(QDir::toNativeSeparators(parsed.gameFolder)));
    return parsed;
}

QString outcomeName(TrialResult::Outcome outcome)
{
    switch (outcome) {
    case TrialResult::Done: return QStringLiteral("done");
    case TrialResult::NoWine: return QStringLiteral("no-wine");
    case TrialResult::PrepareFailed: return QStringLiteral("prepare-failed");
    case TrialResult::InstallFailed: return QStringLiteral("install-failed");
    case TrialResult::UninstallFailed: return QStringLiteral("uninstall-failed");
    case TrialResult::TimedOut: return QStringLiteral("timed-out");
    case TrialResult::Stopped: return QStringLiteral("stopped");
    }
    return {};
}

QString changeName(TrialEntry::Change change)
{
    switch (change) {
    case TrialEntry::Written: return QStringLiteral("written");
    case TrialEntry::Replaced: return QStringLiteral("replaced");
    case TrialEntry::Backup: return QStringLiteral("backup");
    case TrialEntry::InstallerOwn: return QStringLiteral("installer-own");
    case TrialEntry::FolderCreated: return QStringLiteral("folder-created");
    }
    return {};
}

QString fateName(TrialEntry::Fate fate)
{
    switch (fate) {
    case TrialEntry::Removed: return QStringLiteral("removed");
    case TrialEntry::Stays: return QStringLiteral("stays");
    case TrialEntry::Restored: return QStringLiteral("restored");
    case TrialEntry::NotRestored: return QStringLiteral("not-restored");
    }
    return {};
}

QString mismatchName(TrialMismatch::Kind kind)
{
    switch (kind) {
    case TrialMismatch::Elsewhere: return QStringLiteral("elsewhere");
    case TrialMismatch::Missing: return QStringLiteral("missing");
    case TrialMismatch::OtherBytes: return QStringLiteral("other-bytes");
    case TrialMismatch::Unasked: return QStringLiteral("unasked");
    case TrialMismatch::RemovedByInstall: return QStringLiteral("removed-by-install");
    case TrialMismatch::LostByUninstall: return QStringLiteral("lost-by-uninstall");
    }
    return {};
}

QByteArray resultJson(const TrialResult &result)
{
    QJsonArray entries;
    for (const TrialEntry &entry : result.entries) {
        QJsonObject object{{QStringLiteral("change"), changeName(entry.change)},
                           {QStringLiteral("place"), placeName(entry.place)},
                           {QStringLiteral("path"), windowsPath(entry.path)},
                           {QStringLiteral("size"), entry.size},
                           {QStringLiteral("afterUninstall"), fateName(entry.after)}};
        if (!entry.node.isEmpty()) {
            object.insert(QStringLiteral("node"), entry.node);
            object.insert(QStringLiteral("absoluteIndex"), entry.absoluteIndex);
        }
        if (entry.change == TrialEntry::Replaced)
            object.insert(QStringLiteral("backup"), windowsPath(entry.backup));
        entries.append(object);
    }
    QJsonArray mismatches;
    for (const TrialMismatch &mismatch : result.mismatches) {
        QJsonObject object{{QStringLiteral("kind"), mismatchName(mismatch.kind)},
                           {QStringLiteral("place"), placeName(mismatch.place)},
                           {QStringLiteral("path"), windowsPath(mismatch.path)}};
        if (!mismatch.node.isEmpty())
            object.insert(QStringLiteral("node"), mismatch.node);
        if (!mismatch.other.isEmpty())
            object.insert(QStringLiteral("landedAt"), windowsPath(mismatch.other));
        mismatches.append(object);
    }
    QJsonObject object{
        {QStringLiteral("matched"), result.matched()},
        {QStringLiteral("outcome"), outcomeName(result.outcome)},
        {QStringLiteral("installer"), result.installer},
        {QStringLiteral("gameFolder"), result.gameFolder},
        {QStringLiteral("launcherFolder"), result.launcherFolder},
        {QStringLiteral("installFolder"), result.installFolder},
        {QStringLiteral("replacementsVisible"), !result.mirroredGame.isEmpty()},
        {QStringLiteral("placeholders"), result.placeholders},
        {QStringLiteral("entries"), entries},
        {QStringLiteral("mismatches"), mismatches},
        {QStringLiteral("machineBytes"), result.machineBytes},
        {QStringLiteral("writtenBytes"), result.writtenBytes},
        {QStringLiteral("installSeconds"), result.installSeconds},
        {QStringLiteral("uninstallSeconds"), result.uninstallSeconds},
    };
    if (!result.failure.isEmpty())
        object.insert(QStringLiteral("failure"), result.failure);
    if (!result.log.isEmpty())
        object.insert(QStringLiteral("log"), QJsonArray::fromStringList(result.log));
    if (!result.mirroredGame.isEmpty())
        object.insert(QStringLiteral("mirroredGame"), result.mirroredGame);
    if (!result.keptIn.isEmpty())
        object.insert(QStringLiteral("keptIn"), result.keptIn);
    if (result.templateSeconds >= 0)
        object.insert(QStringLiteral("templateSeconds"), result.templateSeconds);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace

int runTry(const QStringList &args)
{
    const TryArguments parsed = parseTryArguments(args);
    if (!TrialMachine::wineAvailable())
        throw UsageError(QStringLiteral("Wine is not installed; a trial runs the installer under it."));
    ProjectDocument document;
    Settings settings = openProject(document, parsed.project);
    if (!parsed.appDir.isEmpty())
        settings.AppDir = parsed.appDir;
    const ProjectModel &project = document.model();

    // One stop for both halves: a termination signal ends the build's wait or the trial.
    static std::atomic_bool stop{false};
    quitOnTerminationSignals([] {
        stop = true;
        QCoreApplication::exit(ExitFailed);
    });

    // With --json standard output holds the document only; the progress goes to standard error.
    StreamConsole console(parsed.json);
    QTemporaryDir built;
    QString installer = parsed.installer;
    std::optional<PackPlan> plan;
    if (installer.isEmpty()) {
        if (!built.isValid())
            throw UserError(QStringLiteral("Cannot make a temporary folder for the installer."));
        installer = built.filePath(QStringLiteral("trial.exe"));
        plan = planOrRefuse(project, settings);
        if (!plan || !buildInstaller(*plan, settings, installer, console, false) || stop)
            return ExitFailed;
    } else {
        // An installer built elsewhere: what the project says is planned without a review.
        plan = planPack(project, settings.AppDir);
    }

    TrialOptions options;
    options.installer = installer;
    options.gameFolder = parsed.gameFolder.isEmpty() ? settings.WormsDir : parsed.gameFolder;
    options.keepIn = parsed.keep;
    options.expected = expectedInstall(*plan);

    // The trial waits on Wine in a thread of its own, so that a signal is still heard here.
    TrialResult result;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        result = TrialMachine::run(
            options, [&console](const QString &line) { console.appendConsoleLine(line); }, stop);
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    if (!worker->isFinished())
        loop.exec();
    worker->wait();

    if (parsed.json) {
        printBytes(resultJson(result));
    } else {
        QByteArray text;
        for (const QString &line : resultLines(result))
            text += escapeControlCharacters(line).toUtf8() + '\n';
        printBytes(text);
    }
    return result.matched() ? ExitOk : ExitFailed;
}

} // namespace tervelle::cli
