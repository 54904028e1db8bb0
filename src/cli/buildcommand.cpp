#include "cli/cli.h"

#include "core/common.h"
#include "core/langload.h"
#include "core/quitonsignal.h"
#include "mappack/buildsession.h"
#include "project/projectdocument.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <optional>

namespace tervelle::cli {

namespace {

// The build console on standard output: one UTF-8 line per console line.
class StdoutConsole : public ConsoleSink
{
public:
    void appendConsoleLine(const QString &line) override { writeStdout(line.toUtf8() + '\n'); }
};

} // namespace

int runBuild(const QStringList &args)
{
    const PackArguments parsed = parsePackArguments(args, QStringLiteral("build"));
    ProjectDocument document(Common);
    openPackProject(document, parsed);
    ProjectModel &project = document.model();

    StdoutConsole console;
    BuildSession build(console, Common);
    QEventLoop loop;
    std::optional<CompileResult> result;
    QObject::connect(&build, &BuildSession::finished, &loop, [&](CompileResult r) {
        result = r;
        loop.quit();
    });
    build.start(project, parsed.installer);
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
