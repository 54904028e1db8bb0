#pragma once

#include "mappack/packfiles.h"
#include "mappack/packreview.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace tervelle {

class ProjectModel;
struct PlannedBuild;

// Absolute index of a pack file -> the path the script names in place of its own source.
using SourceOverrides = QHash<int, QString>;

// A project as one build packs it, worked out and checked once: its pack files numbered, the
// name of its map list, the sources packed from copies and the compiler's locale. Only the
// checking functions below make one, so the map list and the script are never written from a
// project that was not checked, and neither writer checks it again. The project must outlive
// the plan and stay unchanged.
class PackPlan
{
public:
    const ProjectModel &project() const { return *m_project; }
    const QString &appDir() const { return m_appDir; }
    // Every node of the tree in absolute index order (NumberPackFiles).
    const PackFiles &entries() const { return m_entries; }
    // "<English title>.mpl", the file the map list is written to.
    const QString &mapListName() const { return m_mapListName; }
    // Pack files the build packs from a copy of another name (see StagedSources); none in a
    // plan from planPack, whose script names every source by its own path.
    const SourceOverrides &staged() const { return m_staged; }
    // The value of LC_ALL for the compiler (compilerLocale); empty in a plan from planPack.
    const QString &compilerLocale() const { return m_locale; }
    // The review of a build's plan; empty in a plan from planPack.
    const PackReview &review() const { return m_review; }
    // Whether the plan passed the review, which also refused every value the compiler cannot
    // take, so the script need not look for them again.
    bool reviewed() const { return m_reviewed; }

private:
    PackPlan(const ProjectModel &project, const QString &appDir, PackFiles entries);

    friend PackPlan planPack(const ProjectModel &project, const QString &appDir);
    friend PlannedBuild planBuild(const ProjectModel &project, const QString &appDir);

    const ProjectModel *m_project;
    QString m_appDir;
    PackFiles m_entries;
    QString m_mapListName;
    SourceOverrides m_staged;
    QString m_locale;
    PackReview m_review;
    bool m_reviewed = false;
};

// The plan of the map list and the script alone, for tools that print them: the project's texts
// are checked as those files need them (checkPackTexts, then the values the compiler cannot
// take); sources on disk are not looked at. Throws UserError naming the first value refused.
PackPlan planPack(const ProjectModel &project, const QString &appDir);

// A build's plan, made with the whole review of the pack (ReviewPack): the plan, holding the
// review with its warnings and notes, when the review found no error; otherwise the review that
// refused it. A plan's texts passed every check, so none is made again.
struct PlannedBuild
{
    std::optional<PackPlan> plan;
    PackReview refusal; // the review, when it found errors
};
PlannedBuild planBuild(const ProjectModel &project, const QString &appDir);

} // namespace tervelle
