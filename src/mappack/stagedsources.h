#pragma once

#include "mappack/packfiles.h"

#include <QHash>
#include <QString>

#include <vector>

namespace tervelle {

// Absolute index of a pack file -> the path the script names in place of its own source.
using SourceOverrides = QHash<int, QString>;

// Copies of the confusable sources under distinct names in a folder of the build's own
// ("<AppDir>iscc/staged/"), for one build: made by stage(), removed when the object goes. The
// lock of the compiler folder keeps other builds out of it. Sources are confusable when their
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
    // Throws UserError naming the file with the reason when a copy fails; what was copied goes.
    SourceOverrides stage(const std::vector<PackFileEntry> &entries);

private:
    void removeAll();

    QString m_folder;
    bool m_made = false;
};

} // namespace tervelle
