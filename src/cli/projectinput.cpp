#include "cli/cli.h"

#include "core/common.h"
#include "core/langload.h"
#include "project/projectdocument.h"
#include "project/projectfile.h"

namespace tervelle::cli {

Settings openProject(ProjectDocument &document, const QString &path)
{
    // As the editor starts: settings and language first, so root captions and AppDir match it.
    Settings settings = LoadSettings();
    InitLanguage();
    document.newProject();
    document.open(path);
    return settings;
}

} // namespace tervelle::cli
