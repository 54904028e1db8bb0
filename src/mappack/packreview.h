#pragma once

#include "mappack/finding.h"

#include <QString>

#include <vector>

namespace tervelle {

class ProjectModel;
class PackFiles;

// Everything in a project that would reach players wrong, or stop the build, at once: what the
// build refuses, sources that are missing or not what the installer should carry, values that
// name nothing in the pack, and files that the installer would not copy or would copy over each
// other. `tervelle-pack check`, the window's findings list and the build all use it; errors
// stop a build before the compiler.
struct PackReview
{
    std::vector<Finding> findings; // errors first, then warnings, then notes; each in project order

    // Counts the findings left out of the list too.
    int count(Severity severity) const;
    bool hasErrors() const { return count(Severity::Error) > 0; }
};

// Reviews the project as the compiler folder under `appDir` would build it. Each source is read
// at most once: one stat, and the TGA header for level icons. Texts come from the language table.
PackReview ReviewPack(const ProjectModel &project, const QString &appDir);
// The same on the project's pack files as NumberPackFiles gave them, for a caller that keeps them.
PackReview ReviewPack(const ProjectModel &project, const PackFiles &entries);

// Whether the pack would publish a source from a hidden or system folder: a build takes such a
// source only with the map maker's consent.
bool publishesPrivateFiles(const PackReview &review);
// Those sources one a line, "where: message", the first `limit` of them and a count of the rest.
QString privateSourceLines(const PackReview &review, int limit);

// "error", "warning" or "note", from the language table.
QString severityText(Severity severity);

// "1234 more like this one are not listed." for a finding that stands for others; empty for one
// that stands for itself only.
QString moreText(const Finding &finding);

// One finding as one line: "error: Level icons\a.tga: The source file ... Locate ...".
QString findingLine(const Finding &finding);

// "2 errors, 1 warning, 0 notes" in the words of the language table.
QString reviewSummary(const PackReview &review);

} // namespace tervelle
