#pragma once

#include <QByteArray>

namespace tervelle {
class ProjectModel;
struct PackReview;
} // namespace tervelle

namespace tervelle::cli {

// The review as one JSON document for scripts: every finding with its severity, place, message
// and fix, then the counts. Severities and place kinds are fixed English words; the texts come
// from the language table as the lines of check show them.
QByteArray reviewJson(const PackReview &review, const ProjectModel &project);

} // namespace tervelle::cli
