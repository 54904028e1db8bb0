#pragma once

#include "mappack/folderentries.h"
#include "mappack/packfiles.h"

#include <QString>

namespace tervelle {

class PackPlan;

// Copies of the confusable sources under distinct names in a folder of the build's own
// ("<AppDir>iscc/staged/"), for one build: made by stage(), removed when the object goes. The
// lock of the compiler folder keeps other builds out of it; the folder is made new and private,
// and whatever held its name before (a link, a folder of an earlier build) is removed as itself,
// never followed. Which sources are confusable, and the names of their copies, the plan says
// (PackPlan::staged).
class StagedSources
{
public:
    explicit StagedSources(const QString &appDir);
    ~StagedSources();
    StagedSources(const StagedSources &) = delete;
    StagedSources &operator=(const StagedSources &) = delete;

    // Copies the sources the plan stages to the paths the plan gives them. Throws UserError
    // naming the file with the reason when a copy fails (what was copied goes), and naming the
    // entry when something the build did not make holds the folder's name.
    void stage(const PackPlan &plan);

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
