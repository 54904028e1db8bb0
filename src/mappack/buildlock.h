#pragma once

#include "core/errors.h"

#include <QString>

#include <memory>

class QLockFile;

namespace tervelle {

// Takes the lock file at `path` for a build, which may take long: a lock stays taken while the
// process that made it lives. A lock file left by a crash (empty, or naming no process) is taken
// over. Throws UserError with the message `busy` while another build holds it, and a message
// naming the path when something else that is no lock file (a folder, a link) is in its place or
// the folder cannot be written.
// A lock that names another computer is a build there, or one that ended there without removing
// its lock: this computer cannot ask. The message names the computer, the process and the lock
// file and says how to clear it. With `takeOver`, such a lock older than the longest build
// (`staleAfterSeconds`) is taken over.
std::unique_ptr<QLockFile> takeBuildLock(const QString &path, const QString &busy, bool takeOver = false);

// Thrown for a lock another computer holds. `canTakeOver` when it is older than the longest build.
class LockHeldElsewhere : public UserError
{
public:
    LockHeldElsewhere(const QString &message, const QString &lockFile, bool canTakeOver)
        : UserError(message), m_lockFile(lockFile), m_canTakeOver(canTakeOver)
    {}
    const QString &lockFile() const { return m_lockFile; }
    bool canTakeOver() const { return m_canTakeOver; }

private:
    QString m_lockFile;
    bool m_canTakeOver;
};

// Longer than any build takes: a lock from another computer that old belongs to no build.
inline constexpr qint64 LongestBuildSeconds = 12 * 60 * 60;

} // namespace tervelle
