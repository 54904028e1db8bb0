#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace tervelle {

// Takes the lock file at `path` for a build, which may take long: a lock stays taken while the
// process that made it lives. A lock file left by a crash (empty, or naming no process) is taken
// over. Throws UserError with the message `busy` while another build holds it, and a message
// naming the path when something else that is no lock file (a folder, a link) is in its place or
// the folder cannot be written.
std::unique_ptr<QLockFile> takeBuildLock(const QString &path, const QString &busy);

} // namespace tervelle
