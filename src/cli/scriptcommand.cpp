#include "cli/cli.h"

#include "build/setupscript.h"
#include "core/common.h"
#include "core/errors.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

int runScript(const QStringList &args)
{
    PackArguments parsed;
    if (!parsePackArguments(args, QStringLiteral("script"), parsed))
        return ExitUsage;
    ProjectModel project;
    if (!openPackProject(project, parsed))
        return ExitFailed;
    try {
        const auto lines = MakeSetupScript(Common.AppDir, parsed.Installer, Common, project);
        if (!writeStdout(setupScriptBytes(lines))) {
            printError(QStringLiteral("cannot write to standard output"));
            return ExitFailed;
        }
    } catch (const UserError &e) {
        printError(e.message());
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace tervelle::cli
