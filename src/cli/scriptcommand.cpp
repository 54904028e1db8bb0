#include "cli/cli.h"

#include "mappack/setupscript.h"
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
    return printBytes([&] {
        return setupScriptBytes(MakeSetupScript(Common.AppDir, parsed.Installer, Common, project));
    });
}

} // namespace tervelle::cli
