#include "cli/cli.h"

#include "core/common.h"
#include "core/errors.h"
#include "core/langload.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

namespace tervelle::cli {

bool openProject(ProjectModel &project, const QString &path)
{
    // As the editor starts: settings and language first, so root captions and AppDir match it.
    LoadSettings();
    InitLanguage();
    project.NewFile();
    try {
        OpenProjectFile(project, path);
    } catch (const UserError &e) {
        printError(e.message());
        return false;
    }
    return true;
}

} // namespace tervelle::cli
