#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// The program's settings: its folders and how the compiler starts. main() reads them and hands
// them to the window, which writes them back as it closes; the command-line tool reads its own.
// A project's pack fields are not settings: they belong to the project.
struct Settings
{
    QString AppDir;      // program folder holding iscc/; ends in the native separator
    QString WormsDir;    // the game's folder from the launcher's key; ends in a separator or is empty
    QString TexturesDir; // exactly as stored or chosen
    QString LastDir;     // exactly as stored or chosen
    // How the compiler is started on systems without Windows ("wine" unless the settings say so).
    QString compilerLauncher;
};

// The maker's web site: a new project's PackWebSite. Reserved domain, never a real site.
inline constexpr const char *MakerWebSite = "http://www.orbeck.example/";
// Where the installer sends a map maker whose launcher is missing: the download page on that site.
inline constexpr const char *LauncherDownloadPage = "http://www.orbeck.example/index/0-6";

// Reads the four folder settings and the launcher command; AppDir falls back to the
// executable's folder.
Settings LoadSettings();
// The same with the executable's folder given, for callers without an application object.
Settings LoadSettings(const QString &executableDir);
// Writes AppDir, TexturesDir and LastDir back; WormsDir is never written.
bool SaveSettings(const Settings &settings);

// Appends the native separator unless the path is empty or already ends in one.
QString withTrailingSeparator(const QString &path);

} // namespace tervelle
