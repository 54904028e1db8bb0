#include "cli/cli.h"

#include "core/common.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/quitonsignal.h"
#include "mappack/buildsession.h"
#include "mappack/packreview.h"
#include "project/projectdocument.h"
#include "project/projectmodel.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <optional>

namespace tervelle::cli {

namespace {

// The build console on standard output: one UTF-8 line per console line. The compiler echoes
// project texts, and warnings quote them.
class StdoutConsole : public ConsoleSink
{
public:
    void appendConsoleLine(const QString &line) override { writeStdout(escapeControlCharacters(line).toUtf8() + '\n'); }
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
    }
    if (!result) {
        // Ctrl+C or a termination ends the wait; the session then stops the compiler and puts
        // the earlier installer back as it goes.
        quitOnTerminationSignals([] { QCoreApplication::exit(ExitFailed); });
        loop.exec();
    }
    if (!result)
        console.appendConsoleLine(GetLangText(QStringLiteral("[message.Compile.Error]")));
    return result == CompileResult::Success ? ExitOk : ExitFailed;
}

} // namespace tervelle::cli
