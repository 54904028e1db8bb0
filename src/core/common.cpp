#include "core/common.h"

#include "core/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tervelle {

SharedState Common;

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

void LoadSettings()
{
    LoadSettings(QCoreApplication::applicationDirPath());
}

void LoadSettings(const QString &executableDir)
{
    const SettingsStore editor(SettingsStore::Key::Editor);
    const SettingsStore launcher(SettingsStore::Key::Launcher);

    Common.AppDir = withTrailingSeparator(editor.readString(QStringLiteral("AppDir")));
    if (!isExistingFolder(Common.AppDir))
        Common.AppDir = withTrailingSeparator(QDir::toNativeSeparators(executableDir));

    Common.WormsDir = withTrailingSeparator(launcher.readString(QStringLiteral("WormsDir")));
    if (!isExistingFolder(Common.WormsDir))
        Common.WormsDir.clear();

    Common.TexturesDir = editor.readString(QStringLiteral("TexturesDir"));
    Common.LastDir = editor.readString(QStringLiteral("LastDir"));

    Common.compilerLauncher = editor.readString(QStringLiteral("CompilerLauncher"));
    if (Common.compilerLauncher.isEmpty())
        Common.compilerLauncher = QStringLiteral("wine");
}

bool SaveSettings()
{
    SettingsStore editor(SettingsStore::Key::Editor);
    // Stop at the first failure: the values after it are not written.
    return editor.writeString(QStringLiteral("AppDir"), Common.AppDir)
        && editor.writeString(QStringLiteral("TexturesDir"), Common.TexturesDir)
        && editor.writeString(QStringLiteral("LastDir"), Common.LastDir)
        && editor.sync();
}

} // namespace tervelle
