#include "cli/cli.h"

#include "mappack/setupscript.h"
#include "core/common.h"
#include "project/projectdocument.h"

namespace tervelle::cli {

int runScript(const QStringList &args)
{
    const PackArguments parsed = parsePackArguments(args, QStringLiteral("script"));
    ProjectDocument document(Common);
    openPackProject(document, parsed);
    ProjectModel &project = document.model();
    printBytes(setupScriptBytes(MakeSetupScript(Common.AppDir, parsed.installer, Common, project)));
    return ExitOk;
}

} // namespace tervelle::cli
