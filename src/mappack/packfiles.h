#pragma once

#include "mappack/compilerfolder.h"
#include "project/projectmodel.h"

#include <QString>

#include <vector>

namespace tervelle {

// One node of the files tree as the build sees it.
struct PackFileEntry
{
    int absoluteIndex = 0;
    const TreeNode *node = nullptr;
    bool isPackFile = false; // Kind 2 (taken from its Path) or -1 (taken from the staging folder)
    QString source;          // empty for roots and folders
    RootGroup group = FilesRoot;
    // Folders between the group root and the node, each followed by "\" ("info\a\"); empty for
    // direct children of the root. For a folder node it includes the folder itself.
    QString relativeFolder;
    bool belowFile = false; // some node above it is a file, not a folder
};

// The name a pack file travels under inside the installer: "<absolute index>.tmp".
QString NumberedName(int absoluteIndex);

// Where the installer puts a pack file, as a Windows path below the launcher's or the game's
// folder ("maplists\info\about.htm", "data\maps\arena.xan"); empty when the installer
// copies it nowhere, which is the case for a file lying below another file rather than below a
// group or a folder.
QString installedPath(const PackFileEntry &entry);

// The folder part of installedPath, ending in "\" ("maplists\info\"); empty where that is.
QString installedFolder(const PackFileEntry &entry);

// Every node of the tree in absolute index order, with its pack-file facts. A pure function of
// the tree and AppDir, taken afresh for each build.
std::vector<PackFileEntry> NumberPackFiles(const ProjectModel &project, const QString &appDir);

} // namespace tervelle
