#pragma once

#include <QByteArray>
#include <QString>

namespace tervelle {

class PackPlan;

// The map list file the launcher reads: the header rows, then each map's properties between
// "{" and "}", as 8-bit CR LF lines in the code page. Its name is the plan's mapListName
// ("<English title>.mpl", or ".mpl" when the header has no "[english]" row).

// The bytes SaveMapList writes. Throws UserError for a text the code page cannot hold.
QByteArray MapListBytes(const PackPlan &plan);

// Writes the map list file into the staging folder AppDir + "iscc/maplists/", creating the
// folder when it is missing, and returns the file's path. A failed write leaves an earlier file
// of that name as it was. Throws UserError naming the file, with the system's reason.
QString SaveMapList(const PackPlan &plan);

} // namespace tervelle
