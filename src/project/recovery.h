#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace tervelle {

// New, Open and Exit discard the project without asking. A project that differs from its last
// saved or opened state is first kept here, so a slip of the hand costs nothing.

// What the folder keeps when a new copy is written: the newest few copies of that project, the
// newest copy of every other project, and no more than a bound of bytes in all (the new copy
// is kept whatever its size). Timed copies of one project so never push out another's.
inline constexpr int RecoveryCopiesPerProject = 5;
inline constexpr qint64 RecoveryFolderBound = qint64(64) << 20;

// The folder of the recovery copies: $XDG_STATE_HOME/Orbeck/Tervelle/recovery/ (by default
// ~/.local/state/...) on Linux, the local application data folder on Windows. Ends in "/".
QString recoveryFolder();

// Writes `projectBytes` (a project file's bytes) as a new file in the recovery folder, named by
// the date and time and `project`: a project file's absolute path gives its base name and its
// folder, anything else (a pack title) is taken as a name. Characters no file name may hold are
// replaced. Then deletes the copies the folder no longer keeps. Returns the new file's path.
// Throws UserError naming the file with the system's reason when the folder or the file cannot
// be written.
QString saveRecoveryCopy(const QByteArray &projectBytes, const QString &project);

// A copy in the recovery folder, as its name tells it.
struct RecoveryCopy
{
    QString file;       // the copy's path
    QDateTime time;     // when it was written
    QString project;    // the project file's full path, or the name of a project never saved
    bool saved = false; // whether `project` is a path
};

// The copies in the recovery folder, newest first.
QList<RecoveryCopy> recoveryCopies();

} // namespace tervelle
