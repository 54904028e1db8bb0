#pragma once

#include <QString>

namespace tervelle {

// Where the last separator of `path` stands, or -1. The separators are this system's: "/", and
// "\" as well on Windows. On Linux a backslash belongs to the file name.
qsizetype lastSeparator(const QString &path);

// The same for a path read the way Windows reads it wherever the editor runs, "/" and "\" alike:
// the installer's paths, which the compiler takes, and paths of projects made on another machine.
qsizetype lastWindowsSeparator(const QString &path);

// The extension of the file name that ends `path`, from its last "." on (".gz" of
// "archive.tar.gz"); empty when the name has no ".".
QString extensionOf(const QString &path);

// The name without the part from its last "." on ("archive.tar" of "archive.tar.gz").
QString withoutExtension(const QString &name);

} // namespace tervelle
