#pragma once

#include "mappack/packfiles.h"
#include "project/packproperties.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace tervelle {

class ProjectModel;

// The installer script "setup.iss" of a project, made line by line as it is written so that a
// large tree never has its script held whole. Throws UserError on construction, before anything
// is written or run, for a project text the build refuses (checkPackTexts) or a value the compiler
// cannot take (a double quote in a file name or a web address). The project must outlive it and
// stay unchanged.
//
// `staged` names, by absolute index, pack files that the build packs from another path than
// their own (copies under distinct names, see StagedSources).
class CheckedSetupScript
{
public:
    CheckedSetupScript(const QString &appDir, const QString &installerPath, const ProjectModel &project,
                       const QHash<int, QString> &staged = {});

    // Every line as UTF-8 bytes, without its line end, in order.
    void eachLine(const std::function<void(const QByteArray &)> &line) const;
    // The file's bytes (the UTF-8 byte-order mark, then every line followed by CR LF) in pieces of
    // about a megabyte, in order.
    void write(const std::function<void(const QByteArray &)> &piece) const;

private:
    QString m_appDir;
    QString m_installerPath;
    const PackProperties &m_pack;
    const ProjectModel &m_project;
    QHash<int, QString> m_staged;
    std::vector<PackFileEntry> m_entries;
    bool m_preprocessorUnsafe = false;
};

// The lines of CheckedSetupScript held whole, without line ends. Throws as it does.
QList<QByteArray> MakeSetupScript(const QString &appDir, const QString &installerPath, const ProjectModel &project,
                                  const QHash<int, QString> &staged = {});

// The file's bytes: the UTF-8 byte-order mark, then every line followed by CR LF.
QByteArray setupScriptBytes(const QList<QByteArray> &lines);

// Writes the script as it is made, through a temporary file that replaces the earlier script only
// when complete. Throws UserError naming the file with the system's reason.
void saveSetupScript(const CheckedSetupScript &script, const QString &appDir);

// The OutputDir and OutputBaseFilename values for the chosen installer path, before the
// compiler's path form is applied.
QString outputFolder(const QString &installerPath);
QString outputBaseName(const QString &installerPath);

} // namespace tervelle
