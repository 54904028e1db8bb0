#pragma once

#include "core/common.h"
#include "core/textcodec.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace tervelle {

class ProjectModel;
class TreeNode;

// The installer script "setup.iss" for a project: the lines as bytes, without line ends. User
// values are in the code page of `codec`, the Russian messages in Windows-1251. A pure function:
// it reads nothing from disk and changes nothing.
//
// Throws UserError, before anything is written or run, for a project text the build refuses
// (checkPackTexts), a value the compiler cannot take (a double quote in a file name or a web
// address), or a text the code page cannot hold.
//
// `staged` names, by absolute index, pack files that the build packs from another path than
// their own (copies under distinct names, see StagedSources).
QList<QByteArray> MakeSetupScript(const QString &appDir, const QString &installerPath,
                                  const SharedState &pack, const ProjectModel &project,
                                  const TextCodec &codec = textCodec(), const QHash<int, QString> &staged = {});

// The file's bytes: every line followed by CR LF.
QByteArray setupScriptBytes(const QList<QByteArray> &lines);

// Where the script lies: AppDir + "iscc/setup.iss".
QString setupScriptPath(const QString &appDir);

// Writes the script in one piece; a failed write leaves the earlier script as it was. Throws
// UserError naming the file with the system's reason.
void saveSetupScript(const QList<QByteArray> &lines, const QString &appDir);

// The OutputDir and OutputBaseFilename values for the chosen installer path, before the
// compiler's path form is applied.
QString outputFolder(const QString &installerPath);
QString outputBaseName(const QString &installerPath);

// The generated calls of the [Code] section. `path` is the folder below the group, each name
// followed by a backslash; the destination ends in a backslash.
void AddCreateSubDirCalls(const ProjectModel &project, const TreeNode *node, const QString &path,
                          QStringList &lines);
void AddCopyToMaplistsCalls(const ProjectModel &project, const TreeNode *node, const QString &path,
                            QStringList &lines);
void AddCopyToWormsCalls(const ProjectModel &project, const TreeNode *group, const QString &destination,
                         QStringList &lines);

} // namespace tervelle
