#pragma once

#include <QByteArray>
#include <QString>

namespace tervelle {

// Where discarded projects are kept: $XDG_STATE_HOME/Orbeck/Tervelle/recovery/ (by default
// ~/.local/state/...), the local application data folder on Windows.
QString recoveryFolder();

// Writes the bytes of a project file that is about to be discarded (New, Open or the end of
// the program) as a new dated "*.mpr" file in the recovery folder and keeps only the newest
// `keep` files there. Returns the path written. Throws UserError when the file cannot be
// written.
//
// The editor's own writer until the core's saveRecoveryCopy (project/recovery.h) takes its
// place: same folder, same rule.
QString writeRecoveryCopy(const QByteArray &projectBytes, int keep = 20);

} // namespace tervelle
