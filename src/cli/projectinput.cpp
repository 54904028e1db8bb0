#include "cli/cli.h"

#include "core/common.h"
#include "core/langload.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

void openProject(ProjectModel &project, const QString &path)
{
    // As the editor starts: settings and language first, so root captions and AppDir match it.
    LoadSettings();
    InitLanguage();
    project.NewFile();
    OpenProjectFile(project, path);
}

} // namespace tervelle::cli
