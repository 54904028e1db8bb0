#include "cli/cli.h"
#include "cli/findingsjson.h"

#include "core/common.h"
#include "mappack/packreview.h"
#include "project/projectdocument.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

int runCheck(const QStringList &args)
{
    QStringList rest = args;
    const bool strict = rest.removeAll(QStringLiteral("--strict")) > 0;
    const bool json = rest.removeAll(QStringLiteral("--json")) > 0;
    if (rest.size() != 1 || rest.first().startsWith(QLatin1String("--")))
        throw UsageError(QStringLiteral("usage: tervelle-pack check PROJECT.mpr [--strict] [--json]"));
    ProjectDocument document;
    const Settings settings = openProject(document, rest.first());
    const ProjectModel &project = document.model();

    const PackReview review = ReviewPack(project, settings.AppDir);
    const bool failed = review.hasErrors() || (strict && review.count(Severity::Warning) > 0);
    if (json) {
        printBytes(reviewJson(review, project));
        return failed ? ExitFailed : ExitOk;
    }
    for (const Finding &finding : review.findings)
        printLine(findingLine(finding));
    printLine(reviewSummary(review));
    return failed ? ExitFailed : ExitOk;
}

} // namespace tervelle::cli
