#include "mappack/compilerfolder.h"

namespace tervelle {

namespace {

QString inFolder(const QString &appDir, const char *name)
{
    return compilerFolder(appDir) + QLatin1Char('/') + QLatin1String(name);
}

} // namespace

QString compilerFolder(const QString &appDir)
{
    return appDir + QStringLiteral("iscc");
}

QString compilerProgram(const QString &appDir)
{
    return inFolder(appDir, "iscc.exe");
}

QString setupScriptPath(const QString &appDir)
{
    return inFolder(appDir, SetupScriptName);
}

QString setupIconPath(const QString &appDir)
{
    return inFolder(appDir, "setup.ico");
}

QString StagingFolder(const QString &appDir)
{
    return inFolder(appDir, "maplists/");
}

QString stagedSourcesFolder(const QString &appDir)
{
    return inFolder(appDir, "staged");
}

QString setupLanguagesFolder(const QString &appDir)
{
    return inFolder(appDir, "languages");
}

QString buildLockFile(const QString &appDir)
{
    return inFolder(appDir, "build.lock");
}

} // namespace tervelle
