#include "cli/cli.h"

#include "mappack/maplist.h"
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
    return printBytes([&] { return MapListBytes(project); });
}

} // namespace tervelle::cli
