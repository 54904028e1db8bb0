#include "cli/cli.h"

#include "mappack/compiler.h"
#include "mappack/maplist.h"
#include "mappack/setupscript.h"
#include "core/common.h"
#include "core/errors.h"
#include "project/projectmodel.h"

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
    PackArguments parsed;
    if (!parsePackArguments(args, QStringLiteral("build"), parsed))
        return ExitUsage;
    ProjectModel project;
    if (!openPackProject(project, parsed))
        return ExitFailed;
    try {
        // The script is made first: a value the compiler cannot take stops the build before
        // anything is written.
        const auto lines = MakeSetupScript(Common.AppDir, parsed.Installer, Common, project);
        SaveMapList(project, Common.AppDir);
        saveSetupScript(lines, Common.AppDir);
    } catch (const UserError &e) {
        printError(e.message());
        return ExitFailed;
    }

    StdoutConsole console;
    CompilerRun compiler(console, Common);
    QEventLoop loop;
    std::optional<CompileResult> result;
    QObject::connect(&compiler, &CompilerRun::finished, &loop, [&](CompileResult r) {
        result = r;
        loop.quit();
    });
    compiler.Compile(false);
    if (!result)
        loop.exec();
    return result == CompileResult::Success ? ExitOk : ExitFailed;
}

} // namespace tervelle::cli
