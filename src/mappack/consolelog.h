#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tervelle {

// The file name with ".<extension>" added when its last component has no extension, as the
// console's save dialog completes a name typed without one. An empty extension adds nothing.
QString withDefaultExtension(const QString &fileName, const QString &extension);
// The same with the extension of the language table (LangKey::dlgCompile_DefaultExt, "txt").
QString consoleFileName(const QString &fileName);

// "Save to file": replaces the file's content with the console's lines. Throws UserError naming
// the file and the system's reason; on failure an earlier file stays as it was.
void SaveConsoleToFile(const QString &path, const QStringList &lines);

} // namespace tervelle
