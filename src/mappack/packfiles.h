#pragma once

#include "mappack/compilerfolder.h"
#include "project/projectmodel.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace tervelle {

// What the entries of one numbering share: each folder's text once, and the staging folder.
struct PackFolderTexts
{
    QString staging; // where a file missing on disk is packed from, ending in "/"
    // Per folder number: the folders between the group root and it, each followed by "\"
    // ("info\a\"); number 0 is "", the root's own.
    std::vector<QString> relative;
};

// One node of the files tree as the build sees it. Small, for a tree may hold a million: its
// source and folder are worked out when asked for, from the node and the texts it shares.
struct PackFileEntry
{
    const TreeNode *node = nullptr;
    const PackFolderTexts *texts = nullptr;
    int absoluteIndex = 0;
    // Into texts->relative: the folder the node lies in, or for a folder node the folder itself.
    int folder = 0;
    RootGroup group = FilesRoot;
    bool isPackFile = false; // Kind 2 (taken from its Path) or -1 (taken from the staging folder)
    bool belowFile = false;  // some node above it is a file, not a folder

    // Where the build packs it from; empty for roots and folders.
    QString source() const;
    // Folders between the group root and the node, each followed by "\" ("info\a\"); empty for
    // direct children of the root. For a folder node it includes the folder itself.
    const QString &relativeFolder() const { return texts->relative[std::size_t(folder)]; }
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

// Every node of the tree in absolute index order, with its pack-file facts, and the texts the
// entries share (moving it keeps them where they are).
class PackFiles
{
public:
    PackFiles(std::vector<PackFileEntry> entries, std::unique_ptr<PackFolderTexts> texts)
        : m_entries(std::move(entries)), m_texts(std::move(texts))
    {}

    std::size_t size() const { return m_entries.size(); }
    const PackFileEntry &operator[](std::size_t i) const { return m_entries[i]; }
    std::vector<PackFileEntry>::const_iterator begin() const { return m_entries.begin(); }
    std::vector<PackFileEntry>::const_iterator end() const { return m_entries.end(); }

private:
    std::vector<PackFileEntry> m_entries;
    std::unique_ptr<PackFolderTexts> m_texts;
};

// How many of the entries are pack files.
std::size_t packFileCount(const PackFiles &entries);

// The pack files of the tree. A pure function of the tree and AppDir, taken afresh for each
// build; the tree must outlive it and stay unchanged.
PackFiles NumberPackFiles(const ProjectModel &project, const QString &appDir);

} // namespace tervelle
