#include "cli/cli.h"

#include "mappack/maplist.h"
#include "project/projectdocument.h"

namespace tervelle::cli {

int runMapList(const QStringList &args)
{
    if (args.size() != 1)
        throw UsageError(QStringLiteral("usage: tervelle-pack maplist PROJECT.mpr"));
    ProjectDocument document;
    openProject(document, args.first());
    const ProjectModel &project = document.model();
    printBytes(MapListBytes(project));
    return ExitOk;
}

} // namespace tervelle::cli
