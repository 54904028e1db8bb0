#include "cli/cli.h"

#include "core/common.h"
#include "mappack/packplan.h"
#include "mappack/setupscript.h"
#include "project/projectdocument.h"

namespace tervelle::cli {

int runScript(const QStringList &args)
{
    const PackArguments parsed = parsePackArguments(args, QStringLiteral("script"));
    ProjectDocument document;
    const Settings settings = openPackProject(document, parsed);
    const ProjectModel &project = document.model();
    // Written as it is made: the script of a large tree is many times the project's size.
    const PackPlan plan = planPack(project, settings.AppDir);
    const CheckedSetupScript script(plan, parsed.installer);
    script.write(printBytes);
    return ExitOk;
}

} // namespace tervelle::cli
