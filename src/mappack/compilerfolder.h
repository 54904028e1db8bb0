#pragma once

#include <QString>

namespace tervelle {

// The compiler folder "<AppDir>iscc" and what lies in it: the compiler, its languages and the
// icon (laid out by the set-up script), and what a build writes there (the script, the staged map
// list, copies of confusable sources, the lock). AppDir ends in its separator; the parts below it
// are joined with "/", which Qt takes on every system.

QString compilerFolder(const QString &appDir);
QString compilerProgram(const QString &appDir); // iscc.exe
QString setupScriptPath(const QString &appDir); // setup.iss, the name SetupScriptName
QString setupIconPath(const QString &appDir);   // setup.ico
// The staging folder of the map list file (maplists), ending in "/".
QString StagingFolder(const QString &appDir);
QString stagedSourcesFolder(const QString &appDir);  // staged
QString setupLanguagesFolder(const QString &appDir); // languages
// The lock file that marks a build in the compiler folder (build.lock).
QString buildLockFile(const QString &appDir);

// The script's name, as the compiler is told it in its working folder.
inline constexpr char SetupScriptName[] = "setup.iss";

} // namespace tervelle
