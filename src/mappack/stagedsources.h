#pragma once

#include "mappack/packfiles.h"

#include <QHash>
#include <QString>

#include <vector>

namespace tervelle {

// Absolute index of a pack file -> the path the script names in place of its own source.
using SourceOverrides = QHash<int, QString>;

// The pack files whose sources the compiler could take for one another: it runs under Wine,
// which looks names up ignoring letter case, and it compares source paths the same way. Of each
// group of sources whose paths are equal ignoring case but not equal, all but the first in
// index order are listed, by absolute index. A project without such a pair lists nothing.
std::vector<const PackFileEntry *> confusableSources(const std::vector<PackFileEntry> &entries);

// Copies of the confusable sources under distinct names in a folder of the build's own
// ("<AppDir>iscc/staged/"), for one build: made by stage(), removed when the object goes. The
// lock of the compiler folder keeps other builds out of it.
class StagedSources
{
public:
    explicit StagedSources(const QString &appDir);
    ~StagedSources();
    StagedSources(const StagedSources &) = delete;
    StagedSources &operator=(const StagedSources &) = delete;

    // Copies what confusableSources() names and returns the paths the script should use.
    // Throws UserError naming the file with the reason when a copy fails; what was copied goes.
    SourceOverrides stage(const std::vector<PackFileEntry> &entries);

private:
    void removeAll();

    QString m_folder;
    bool m_made = false;
};

} // namespace tervelle
