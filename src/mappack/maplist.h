#pragma once

#include <QByteArray>
#include <QString>

namespace tervelle {

class ProjectModel;

// The map list file the launcher reads: the header rows, then each map's properties between
// "{" and "}", as 8-bit CR LF lines in the code page.

// "<English title>.mpl", or ".mpl" when the header has no "[english]" row.
QString MapListFileName(const ProjectModel &project);

// The bytes SaveMapList writes. Throws UserError for a project text the build refuses
// (checkPackTexts) or a text the code page cannot hold.
QByteArray MapListBytes(const ProjectModel &project);

// Writes the map list file into the staging folder AppDir + "iscc/maplists/", creating the
// folder when it is missing, and returns the file's path. A failed write leaves an earlier file
// of that name as it was. Throws UserError naming the file, with the system's reason.
QString SaveMapList(const ProjectModel &project, const QString &appDir);

} // namespace tervelle
