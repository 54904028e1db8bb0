#include "cli/cli.h"

#include "build/maplist.h"
#include "core/errors.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

int runMapList(const QStringList &args)
{
    if (args.size() != 1) {
        printError(QStringLiteral("usage: tervelle-pack maplist PROJECT.mpr"));
        return ExitUsage;
    }
    ProjectModel project;
    if (!openProject(project, args.first()))
        return ExitFailed;
    try {
        if (!writeStdout(MapListBytes(project))) {
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
