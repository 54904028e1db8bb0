#include "cli/cli.h"

#include "project/projectdocument.h"

namespace tervelle::cli {

int runResave(const QStringList &args)
{
    if (args.size() != 2)
        throw UsageError(QStringLiteral("usage: tervelle-pack resave IN.mpr OUT.mpr"));
    ProjectDocument document;
    // Nothing is written unless the whole input was read.
    openProject(document, args[0]);
    document.save(args[1]);
    return ExitOk;
}

} // namespace tervelle::cli
