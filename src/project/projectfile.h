#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace tervelle {

class ProjectModel;

// The project file (*.mpr): pack fields, header rows with their kinds, the files tree and the
// maps, as 8-bit CR LF lines in the code page. ProjectFileName is left to the caller: the File
// commands set it to the chosen path before they save or open, whatever the outcome.

// The bytes SaveProjectFile writes. Throws UserError for a text the code page cannot hold or a
// text holding a line break.
QByteArray ProjectFileBytes(const ProjectModel &project);

// A project file larger than this is refused unread.
inline constexpr qint64 MaxProjectFileSize = qint64(256) << 20;

// Writes the project; a failed save leaves any previous file untouched. Throws UserError with
// the file and the system's reason.
void SaveProjectFile(const ProjectModel &project, const QString &path);

// Replaces the project (and its pack fields) with the file's content. Throws UserError naming
// what is wrong (a file that ends early, bytes the code page cannot decode, a path that is no
// regular file, a file over MaxProjectFileSize); the project and its pack fields are then
// unchanged.
void OpenProjectFile(ProjectModel &project, const QString &path);
// Reads the rest of a device open for reading; `fileName` names it in messages.
void OpenProjectFile(ProjectModel &project, QIODevice &device, const QString &fileName);

} // namespace tervelle
