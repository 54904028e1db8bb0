#include "cli/cli.h"

#include "core/common.h"

#include <QDir>
#include <QFileInfo>

namespace tervelle::cli {

PackArguments parsePackArguments(const QStringList &args, const QString &command)
{
    PackArguments parsed;
    bool ok = true;
    for (int i = 0; i < args.size() && ok; ++i) {
        const QString &arg = args[i];
        if ((arg == QLatin1String("--out") || arg == QLatin1String("--appdir")) && i + 1 < args.size()) {
            const QString &value = args[++i];
            if (arg == QLatin1String("--out"))
                parsed.installer = QFileInfo(value).absoluteFilePath();
            else
                parsed.appDir = withTrailingSeparator(QDir::toNativeSeparators(QFileInfo(value).absoluteFilePath()));
        } else if (arg == QLatin1String("--take-over-lock") && command == QLatin1String("build")) {
            parsed.takeOverLock = true;
        } else if (arg == QLatin1String("--publish-private") && command == QLatin1String("build")) {
            parsed.publishPrivate = true;
        } else if (parsed.project.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            parsed.project = arg;
        } else {
            ok = false;
        }
    }
    if (!ok || parsed.project.isEmpty() || parsed.installer.isEmpty())
        throw UsageError(
            QStringLiteral("usage: tervelle-pack %1 PROJECT.mpr --out INSTALLER [--appdir DIR]%2")
                .arg(command, command == QLatin1String("build") ? QStringLiteral(" [--publish-private]") : QString()));
    return parsed;
}

Settings openPackProject(ProjectDocument &document, const PackArguments &parsed)
{
    Settings settings = openProject(document, parsed.project);
    if (!parsed.appDir.isEmpty())
        settings.AppDir = parsed.appDir;
    return settings;
}

} // namespace tervelle::cli
