#include "cli/cli.h"

#include "mappack/setupscript.h"
#include "core/common.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

int runScript(const QStringList &args)
{
    const PackArguments parsed = parsePackArguments(args, QStringLiteral("script"));
    ProjectModel project;
    openPackProject(project, parsed);
    printBytes(setupScriptBytes(MakeSetupScript(Common.AppDir, parsed.installer, Common, project)));
    return ExitOk;
}

} // namespace tervelle::cli
