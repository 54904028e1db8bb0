#pragma once

#include "mappack/folderentries.h"
#include "mappack/packfiles.h"

#include <QHash>
#include <QString>

#include <vector>

namespace tervelle {

// Absolute index of a pack file -> the path the script names in place of its own source.
using SourceOverrides = QHash<int, QString>;

// Copies of the confusable sources under distinct names in a folder of the build's own
// ("<AppDir>iscc/staged/"), for one build: made by stage(), removed when the object goes. The
// lock of the compiler folder keeps other builds out of it; the folder is made new and private,
// and whatever held its name before (a link, a folder of an earlier build) is removed as itself,
// never followed. Sources are confusable when their
// paths are equal ignoring letter case but not equal: the compiler, under Wine, would take one
// for the other. The first of each such group in index order keeps its own path.
class StagedSources
{
public:
    explicit StagedSources(const QString &appDir);
    ~StagedSources();
    StagedSources(const StagedSources &) = delete;
    StagedSources &operator=(const StagedSources &) = delete;

    // Copies the confusable sources and returns the paths the script should use.
    // Throws UserError naming the file with the reason when a copy fails (what was copied goes),
    // and naming the entry when something the build did not make holds the folder's name.
    SourceOverrides stage(const std::vector<PackFileEntry> &entries);

private:
    void clearName();
    void removeAll();
    void copy(const PackFileEntry &entry);

    QString m_folder;
    FolderHandle m_compilerFolder;
    FolderHandle m_staged;
    struct stat m_made = {};
};

} // namespace tervelle
