#include "cli/cli.h"

#include "core/errors.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

int runResave(const QStringList &args)
{
    if (args.size() != 2) {
        printError(QStringLiteral("usage: tervelle-pack resave IN.mpr OUT.mpr"));
        return ExitUsage;
    }
    ProjectModel project;
    // Nothing is written unless the whole input was read.
    if (!openProject(project, args[0]))
        return ExitFailed;
    try {
        SaveProjectFile(project, args[1]);
    } catch (const UserError &e) {
        printError(e.message());
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace tervelle::cli
