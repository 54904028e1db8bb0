#include "cli/cli.h"

#include "core/common.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/quitonsignal.h"
#include "mappack/buildlock.h"
#include "mappack/buildsession.h"
#include "mappack/packreview.h"
#include "project/projectdocument.h"
#include "project/projectmodel.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>
#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace tervelle::cli {

namespace {

// The review's errors one a line, as check prints them, then why nothing was built.
void refuse(const PackReview &review)
{
    for (const Finding &finding : review.findings) {
        if (finding.severity == Severity::Error)
            printError(findingLine(finding));
    }
    printError(lang(LangKey::message_Check_BuildStopped));
}

} // namespace

// One escaping for every line: the compiler echoes project texts and warnings quote them. A line
// that cannot be written (the reader went away) ends the build as a failure.
void StreamConsole::appendConsoleLine(const QString &line)
{
    if (m_failed)
        return;
    const QByteArray bytes = escapeControlCharacters(line).toUtf8() + '\n';
    if (m_toStderr) {
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
        std::fflush(stderr);
        return;
    }
    if (writeStdout(bytes))
        return;
    m_failed = true;
    QCoreApplication::exit(ExitFailed);
}

std::optional<PackPlan> planOrRefuse(const ProjectModel &project, const Settings &settings)
{
    PlannedBuild planned = planBuild(project, settings.AppDir);
    if (!planned.plan)
        refuse(planned.refusal);
    return std::move(planned.plan);
}

bool buildInstaller(const PackPlan &plan, const Settings &settings, const QString &installer, StreamConsole &console,
                    bool takeOverLock)
{
    BuildSession build(console, settings);
    build.setTakeOverLocks(takeOverLock);
    QEventLoop loop;
    std::optional<CompileResult> result;
    QObject::connect(&build, &BuildSession::finished, &loop, [&](CompileResult r) {
        result = r;
        loop.quit();
    });
    try {
        build.start(plan, installer);
    } catch (const LockHeldElsewhere &held) {
        if (!held.canTakeOver())
            throw;
        throw UserError(held.message() + QStringLiteral(" Build with --take-over-lock to take it over."));
    }
    if (!result && !console.failed())
        loop.exec();
    if (console.failed()) {
        printError(QStringLiteral("The build was stopped: standard output cannot be written."));
        return false;
    }
    if (!result)
        console.appendConsoleLine(lang(LangKey::message_Compile_Error));
    return result == CompileResult::Success && !console.failed();
}

int runBuild(const QStringList &args)
{
    const PackArguments parsed = parsePackArguments(args, QStringLiteral("build"));
    ProjectDocument document;
    const Settings settings = openPackProject(document, parsed);
    const ProjectModel &project = document.model();

#ifdef Q_OS_UNIX
    // A reader that goes away is an output error, not a death that leaves the compiler running.
    ::signal(SIGPIPE, SIG_IGN);
#endif
    // In place before the build touches anything: Ctrl+C or a termination ends the wait, and the
    // session then stops the compiler and leaves the earlier installer as it was.
    quitOnTerminationSignals([] { QCoreApplication::exit(ExitFailed); });

    const std::optional<PackPlan> plan = planOrRefuse(project, settings);
    if (!plan)
        return ExitFailed;
    // Nothing from a hidden or system folder is published without being asked for, however a
    // link or a path leads there.
    if (!parsed.publishPrivate && publishesPrivateFiles(plan->review())) {
        for (const Finding &finding : plan->review().findings) {
            if (finding.kind == FindingClass::PublishedSystemFile)
                printError(findingLine(finding));
        }
        printError(lang(LangKey::message_Check_PrivateNotBuilt));
        return ExitFailed;
    }

    StreamConsole console;
    return buildInstaller(*plan, settings, parsed.installer, console, parsed.takeOverLock) ? ExitOk : ExitFailed;
}

} // namespace tervelle::cli
