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

#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace tervelle::cli {

namespace {

// The build console on standard output: one UTF-8 line per console line, escaped, since the
// compiler echoes project texts and warnings quote them. A line that cannot be written (the
// reader went away) ends the build as a failure.
class StdoutConsole : public ConsoleSink
{
public:
    void appendConsoleLine(const QString &line) override
    {
        if (m_failed || writeStdout(escapeControlCharacters(line).toUtf8() + '\n'))
            return;
        m_failed = true;
        QCoreApplication::exit(ExitFailed);
    }
    bool failed() const { return m_failed; }

private:
    bool m_failed = false;
};

// The review's errors one a line, as check prints them, then why nothing was built.
int refuse(const PackReview &review)
{
    for (const Finding &finding : review.findings) {
        if (finding.severity == Severity::Error)
            printError(findingLine(finding));
    }
    printError(GetLangText(QStringLiteral("[message.Check.BuildStopped]")));
    return ExitFailed;
}

} // namespace

int runBuild(const QStringList &args)
{
    const PackArguments parsed = parsePackArguments(args, QStringLiteral("build"));
    ProjectDocument document;
    const Settings settings = openPackProject(document, parsed);
    ProjectModel &project = document.model();

#ifdef Q_OS_UNIX
    // A reader that goes away is an output error, not a death that leaves the compiler running.
    ::signal(SIGPIPE, SIG_IGN);
#endif
    // In place before the build touches anything: Ctrl+C or a termination ends the wait, and the
    // session then stops the compiler and leaves the earlier installer as it was.
    quitOnTerminationSignals([] { QCoreApplication::exit(ExitFailed); });

    {
        // Nothing from a hidden or system folder is published without being asked for, however
        // a link or a path leads there.
        const PackReview review = ReviewPack(project, settings.AppDir);
        if (review.hasErrors())
            return refuse(review);
        if (!parsed.publishPrivate && publishesPrivateFiles(review)) {
            for (const Finding &finding : review.findings) {
                if (finding.kind == FindingClass::PublishedSystemFile)
                    printError(findingLine(finding));
            }
            printError(GetLangText(QStringLiteral("[message.Check.PrivateNotBuilt]")));
            return ExitFailed;
        }
    }

    StdoutConsole console;
    BuildSession build(console, settings);
    build.setTakeOverLocks(parsed.takeOverLock);
    QEventLoop loop;
    std::optional<CompileResult> result;
    QObject::connect(&build, &BuildSession::finished, &loop, [&](CompileResult r) {
        result = r;
        loop.quit();
    });
    try {
        build.start(project, parsed.installer);
    } catch (const PackRefused &refused) {
        // Something changed on disk since the review above.
        return refuse(refused.review());
    } catch (const LockHeldElsewhere &held) {
        if (!held.canTakeOver())
            throw;
        throw UserError(held.message() + QStringLiteral(" Build with --take-over-lock to take it over."));
    }
    if (!result && !console.failed())
        loop.exec();
    if (console.failed()) {
        printError(QStringLiteral("The build was stopped: standard output cannot be written."));
        return ExitFailed;
    }
    if (!result)
        console.appendConsoleLine(GetLangText(QStringLiteral("[message.Compile.Error]")));
    return result == CompileResult::Success && !console.failed() ? ExitOk : ExitFailed;
}

} // namespace tervelle::cli
