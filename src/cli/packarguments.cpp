#include "cli/cli.h"

#include "core/common.h"

#include <QDir>
#include <QFileInfo>

namespace tervelle::cli {

bool parsePackArguments(const QStringList &args, const QString &command, PackArguments &parsed)
{
    parsed = PackArguments();
    bool ok = true;
    for (int i = 0; i < args.size() && ok; ++i) {
        const QString &arg = args[i];
        if ((arg == QLatin1String("--out") || arg == QLatin1String("--appdir")) && i + 1 < args.size()) {
            const QString value = args[++i];
            if (arg == QLatin1String("--out"))
                parsed.Installer = QFileInfo(value).absoluteFilePath();
            else
                parsed.AppDir = withTrailingSeparator(QDir::toNativeSeparators(QFileInfo(value).absoluteFilePath()));
        } else if (parsed.Project.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            parsed.Project = arg;
        } else {
            ok = false;
        }
    }
    if (!ok || parsed.Project.isEmpty() || parsed.Installer.isEmpty()) {
        printError(QStringLiteral("usage: tervelle-pack %1 PROJECT.mpr --out INSTALLER [--appdir DIR]").arg(command));
        return false;
    }
    return true;
}

bool openPackProject(ProjectModel &project, const PackArguments &parsed)
{
    if (!openProject(project, parsed.Project))
        return false;
    if (!parsed.AppDir.isEmpty())
        Common.AppDir = parsed.AppDir;
    return true;
}

} // namespace tervelle::cli
