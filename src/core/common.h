#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// The program-wide folders and pack fields. One instance (`Common`) lives for the whole run; the
// editor, the wizard, the project file and the build read and assign its fields directly.
struct SharedState
{
    QString AppDir;      // program folder holding iscc/; ends in the native separator
    QString WormsDir;    // the game's folder from the launcher's key; ends in a separator or is empty
    QString TexturesDir; // exactly as stored or chosen
    QString LastDir;     // exactly as stored or chosen
    QString PackName;
    QString PackVersion;
    QString PackAuthor;
    QString PackWebSite;
    QStringList PackLanguages; // lower-case Inno Setup language names, in the wizard's order
    bool PackPropertiesSet = false;
    // How the compiler is started on systems without Windows ("wine" unless the settings say so).
    QString compilerLauncher;
};

extern SharedState Common;

// The maker's web site: a new project's PackWebSite. Reserved domain, never a real site.
inline constexpr const char *MakerWebSite = "http://www.orbeck.example/";
// Where the installer sends a map maker whose launcher is missing: the download page on that site.
inline constexpr const char *LauncherDownloadPage = "http://www.orbeck.example/index/0-6";

// Reads the four folder settings (and the launcher command) into `Common`.
void LoadSettings();
// The same with the executable's folder given, for callers without an application object.
void LoadSettings(const QString &executableDir);
// Writes AppDir, TexturesDir and LastDir back; WormsDir is never written.
bool SaveSettings();

// Appends the native separator unless the path is empty or already ends in one.
QString withTrailingSeparator(const QString &path);

} // namespace tervelle
