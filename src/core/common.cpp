#include "core/common.h"

#include "core/settingsstore.h"
#include "core/usercompilerfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tervelle {

QString withTrailingSeparator(const QString &path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator()))
        return path;
    return path + QDir::separator();
}

namespace {

bool isExistingFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

Settings LoadSettings()
{
    return LoadSettings(QCoreApplication::applicationDirPath());
}

Settings LoadSettings(const QString &executableDir)
{
    Settings settings;
    const SettingsStore editor(SettingsStore::Key::Editor);
    const SettingsStore launcher(SettingsStore::Key::Launcher);

    settings.AppDir = withTrailingSeparator(editor.readString(QStringLiteral("AppDir")));
    if (!isExistingFolder(settings.AppDir))
        settings.AppDir = withTrailingSeparator(QDir::toNativeSeparators(executableDir));
    // An installed program folder is shared: builds go to this user's copy of it.
    settings.AppDir = writableAppDir(settings.AppDir, withTrailingSeparator(QDir::toNativeSeparators(executableDir)));

    settings.WormsDir = withTrailingSeparator(launcher.readString(QStringLiteral("WormsDir")));
    if (!isExistingFolder(settings.WormsDir))
        settings.WormsDir.clear();

    settings.TexturesDir = editor.readString(QStringLiteral("TexturesDir"));
    settings.LastDir = editor.readString(QStringLiteral("LastDir"));

    settings.compilerLauncher = editor.readString(QStringLiteral("CompilerLauncher"));
    if (settings.compilerLauncher.isEmpty())
        settings.compilerLauncher = QStringLiteral("wine");
    return settings;
}

bool SaveSettings(const Settings &settings)
{
    SettingsStore editor(SettingsStore::Key::Editor);
    // Stop at the first failure: the values after it are not written.
    return editor.writeString(QStringLiteral("AppDir"), settings.AppDir)
        && editor.writeString(QStringLiteral("TexturesDir"), settings.TexturesDir)
        && editor.writeString(QStringLiteral("LastDir"), settings.LastDir) && editor.sync();
}

} // namespace tervelle
