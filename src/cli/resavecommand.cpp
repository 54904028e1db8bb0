#include "cli/cli.h"

#include "project/projectfile.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

int runResave(const QStringList &args)
{
    if (args.size() != 2)
        throw UsageError(QStringLiteral("usage: tervelle-pack resave IN.mpr OUT.mpr"));
    ProjectModel project;
    // Nothing is written unless the whole input was read.
    openProject(project, args[0]);
    SaveProjectFile(project, args[1]);
    return ExitOk;
}

} // namespace tervelle::cli
