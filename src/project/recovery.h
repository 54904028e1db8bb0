#pragma once

#include <QByteArray>
#include <QString>

namespace tervelle {

// New, Open and Exit discard the project without asking. A project that differs from its last
// saved or opened state is first kept here, so a slip of the hand costs nothing.

// How many recovery copies are kept; older ones are deleted when a new one is written.
inline constexpr int RecoveryCopiesKept = 20;

// The folder of the recovery copies: $XDG_STATE_HOME/Orbeck/Tervelle/recovery/ (by default
// ~/.local/state/...) on Linux, the local application data folder on Windows. Ends in "/".
QString recoveryFolder();

// Writes `projectBytes` (a project file's bytes) as a new file in the recovery folder, named by
// the date and time and `baseName` (made safe for a file name), and deletes the oldest copies
// beyond RecoveryCopiesKept. Returns the new file's path. Throws UserError naming the file with
// the system's reason when the folder or the file cannot be written.
QString saveRecoveryCopy(const QByteArray &projectBytes, const QString &baseName);

} // namespace tervelle
