#pragma once

#include <QString>

namespace tervelle {

// An installed program folder is shared by every user and never written: it holds the file
// SharedInstallMark, and each user builds in a copy of its compiler folder iscc/ under
// $XDG_DATA_HOME/Orbeck/Tervelle/, made on first use and made again when the installed one
// changes. A program folder without the mark (a build tree) is used as it is.

inline constexpr char SharedInstallMark[] = "shared-install";

// The folder of this user's copy, ending in the native separator.
QString userAppDir();

// The AppDir a build may write to for `appDir` (both ending in a separator): `appDir` itself,
// or this user's copy when `appDir` (or, for the copy itself, `executableDir`) is a shared
// install. A copy that cannot be made is reported and `appDir` is returned.
QString writableAppDir(const QString &appDir, const QString &executableDir);

} // namespace tervelle
