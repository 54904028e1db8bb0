#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace tervelle {

// Files the editor reads as input (project files, the language file) may come from anyone.
// Only regular files are read: a FIFO would block the editor and a device such as /dev/zero
// never ends.

// Opens `path` for reading. Throws UserError "The <what> <path> cannot be opened: <reason>",
// the reason being the system's or what the path is instead of a file (a folder, a FIFO, a
// device).
std::unique_ptr<QFile> openInputFile(const QString &path, const QString &what);

// Reads the rest of `device`, refusing more than `maxSize` bytes before it has read them all.
// Throws UserError "The <what> <name> cannot be read: <reason>".
QByteArray readInput(QIODevice &device, qint64 maxSize, const QString &what, const QString &name);

// The first `limit` bytes of the file at `path`, opened as openInputFile does, or all of it when
// it is shorter: a reader that needs only the head of a file (a preview, a picture's pixels)
// costs no more memory for a large one. A file that shrinks or grows while it is read gives what
// it had. Throws UserError as openInputFile does, or "The <what> <path> cannot be read: <reason>".
QByteArray readInputHead(const QString &path, qint64 limit, const QString &what);

// "256 MB", "1.5 KB": a size as a message shows it.
QString sizeText(qint64 bytes);

} // namespace tervelle
