#include "cli/cli.h"

#include "core/common.h"
#include "core/langload.h"
#include "core/quitonsignal.h"
#include "mappack/buildsession.h"
#include "mappack/packreview.h"
#include "project/projectdocument.h"
#include "project/projectmodel.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>
#include <optional>

namespace tervelle::cli {

void StreamConsole::appendConsoleLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    if (m_toStderr) {
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
        std::fflush(stderr);
    } else {
        writeStdout(bytes);
    }
}

bool buildInstaller(const ProjectModel &project, const Settings &settings, const QString &installer,
                    ConsoleSink &console, bool endOnSignals)
{
    BuildSession build(console, settings);
    QEventLoop loop;
    std::optional<CompileResult> result;
    QObject::connect(&build, &BuildSession::finished, &loop, [&](CompileResult r) {
        result = r;
        loop.quit();
    });
    try {
        build.start(project, installer);
    } catch (const PackRefused &refused) {
        // The errors one a line, as check prints them, then why nothing was built.
        for (const Finding &finding : refused.review().findings) {
            if (finding.severity == Severity::Error)
                printError(findingLine(finding));
        }
        printError(GetLangText(QStringLiteral("[message.Check.BuildStopped]")));
        return false;
    }
    if (!result) {
        // Ctrl+C or a termination ends the wait; the session then stops the compiler and puts
        // the earlier installer back as it goes.
        if (endOnSignals)
            quitOnTerminationSignals([] { QCoreApplication::exit(ExitFailed); });
        loop.exec();
    }
    if (!result)
        console.appendConsoleLine(GetLangText(QStringLiteral("[message.Compile.Error]")));
    return result == CompileResult::Success;
}

int runBuild(const QStringList &args)
{
    const PackArguments parsed = parsePackArguments(args, QStringLiteral("build"));
    ProjectDocument document;
    const Settings settings = openPackProject(document, parsed);
    StreamConsole console;
    return buildInstaller(document.model(), settings, parsed.installer, console, true) ? ExitOk : ExitFailed;
}

} // namespace tervelle::cli
