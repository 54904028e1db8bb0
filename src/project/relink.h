#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

class ProjectModel;

struct RelinkResult
{
    int found = 0;
    int notFound = 0;
    QStringList ambiguous; // file names found more than once, left as they were
    // Files found only through links that lead out of the chosen folder into a hidden or system
    // folder, as "found -> reached"; left as they were, since the pack would publish them.
    QStringList privateOnly;
};

// Finds the missing sources of the files tree again under `folder` and its subfolders, by the
// file name of each source path (a Windows path such as C:\Maps\arena.xan gives arena.xan):
// the exact name first, then the name ignoring letter case. A name found more than once is not
// guessed. A source back at its own path counts as found there. A source is missing when it is not an existing file;
// the map list node has none. A link that leads out of the folder into a hidden or system folder is
// not taken: someone else may have planted it there. Found nodes get the new path and Kind as a re-add would give them,
// and keep their place and name.
RelinkResult LocateMissingFiles(ProjectModel &project, const QString &folder);

// Whether any file node's source is missing, so that asking for a folder makes sense.
bool hasMissingFiles(const ProjectModel &project);

} // namespace tervelle
