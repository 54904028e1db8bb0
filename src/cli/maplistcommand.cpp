#include "cli/cli.h"

#include "mappack/maplist.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

int runMapList(const QStringList &args)
{
    if (args.size() != 1)
        throw UsageError(QStringLiteral("usage: tervelle-pack maplist PROJECT.mpr"));
    ProjectModel project;
    openProject(project, args.first());
    printBytes(MapListBytes(project));
    return ExitOk;
}

} // namespace tervelle::cli
