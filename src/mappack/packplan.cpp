#include "mappack/packplan.h"

#include "core/textcodec.h"
#include "mappack/compilerfolder.h"
#include "mappack/compilerlocale.h"
#include "mappack/firstbyhash.h"
#include "mappack/packcheck.h"
#include "mappack/scriptescape.h"
#include "project/filenames.h"
#include "project/projectmodel.h"

namespace tervelle {

namespace {

// The pack files whose sources the compiler could take for one another: it runs under Wine,
// which looks names up ignoring letter case, and it compares source paths the same way. Of each
// group of sources whose paths are equal ignoring case but not equal, all but the first in
// index order are packed from a copy under their numbered name in the build's own folder. A
// project without such a pair has none.
SourceOverrides stagedCopies(const PackFiles &entries, const QString &appDir)
{
    const QString folder = stagedSourcesFolder(appDir) + QLatin1Char('/');
    // The first exact source seen for each path as the compiler compares them, found again from
    // its entry rather than kept.
    FirstByHash firstSource(packFileCount(entries));
    SourceOverrides copies;
    for (const PackFileEntry &entry : entries) {
        if (!entry.isPackFile)
            continue;
        const QString seen = compilerPath(entry.source());
        const QString key = fileNameKey(seen);
        const int first = firstSource.claim(quint32(qHash(key)), entry.absoluteIndex, [&](int other) {
            return fileNameKey(compilerPath(entries[std::size_t(other)].source())) == key;
        });
        // Only files found on disk are packed from their own path; the map list is the build's.
        if (first >= 0 && compilerPath(entries[std::size_t(first)].source()) != seen
            && entry.node->Kind() == FileFoundKind)
            copies.insert(entry.absoluteIndex, folder + NumberedName(entry.absoluteIndex));
    }
    return copies;
}

} // namespace

PackPlan::PackPlan(const ProjectModel &project, const QString &appDir, PackFiles entries)
    : m_project(&project)
    , m_appDir(appDir)
    , m_entries(std::move(entries))
    , m_mapListName(mapListFileName(project.packTitle()))
{}

PackPlan planPack(const ProjectModel &project, const QString &appDir)
{
    PackPlan plan(project, appDir, NumberPackFiles(project, appDir));
    checkPackTexts(project);
    return plan;
}

PlannedBuild planBuild(const ProjectModel &project, const QString &appDir)
{
    PackFiles entries = NumberPackFiles(project, appDir);
    PackReview review = ReviewPack(project, entries);
    PlannedBuild planned;
    if (review.hasErrors()) {
        planned.refusal = std::move(review);
        return planned;
    }
    PackPlan plan(project, appDir, std::move(entries));
    plan.m_review = std::move(review);
    plan.m_reviewed = true;
    plan.m_staged = stagedCopies(plan.m_entries, appDir);
    // The compiler reads the script in its system's code page, whatever the user's locale is.
    plan.m_locale = compilerLocale(textCodec());
    planned.plan = std::move(plan);
    return planned;
}

} // namespace tervelle
