#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace tervelle {

// Writes `bytes` to `path` through a temporary file that replaces it only when complete, so a
// failed write leaves an earlier file as it was. Throws UserError with `failure`, in which "%1"
// stands for the path and "%2" for the system's reason; without one, with the language table's
// "The file ... cannot be written".
void replaceFileContents(const QString &path, const QByteArray &bytes, const QString &failure = QString());

// Where a writer that makes its bytes as it goes passes them, in pieces, in order.
using ByteSink = std::function<void(const QByteArray &)>;

// The same with the bytes made as they are written: a large file is never held whole. An
// exception from `produce` leaves the earlier file as it was.
void replaceFileContents(const QString &path, const std::function<void(const ByteSink &)> &produce,
                         const QString &failure = QString());

// The same for a folder that others may write to: a symbolic link found at `path` is replaced
// by the new file, never followed, so its target stays as it was.
void replaceFileNotFollowingLinks(const QString &path, const QByteArray &bytes, const QString &failure = QString());

// The same with the bytes made as they are written: `produce` passes them to the sink in pieces,
// in order. An exception from `produce` leaves the earlier file as it was.
void replaceFileNotFollowingLinks(const QString &path, const std::function<void(const ByteSink &)> &produce,
                                  const QString &failure = QString());

} // namespace tervelle
