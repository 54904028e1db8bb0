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

class PackPlan;
class ProjectModel;

// The installer script "setup.iss" of a planned pack, made line by line as it is written so that
// a large tree never has its script held whole. The plan's checks have refused every project
// text the build refuses; this throws UserError on construction, before anything is written or
// run, for a value the compiler cannot take (a control character or a double quote in the
// installer path or the program folder, and, unless the review passed the plan, a double quote in
// a file name or a web address). The plan must outlive it.
//
// Pack files the plan stages are packed from their copies (see StagedSources).
class CheckedSetupScript
{
public:
    CheckedSetupScript(const PackPlan &plan, const QString &installerPath);

    // Every line as UTF-8 bytes, without its line end, in order.
    void eachLine(const std::function<void(const QByteArray &)> &line) const;
    // The file's bytes (the UTF-8 byte-order mark, then every line followed by CR LF) in pieces of
    // about a megabyte, in order.
    void write(const std::function<void(const QByteArray &)> &piece) const;

private:
    const PackPlan &m_plan;
    QString m_installerPath;
    bool m_preprocessorUnsafe = false;
};

// The lines of CheckedSetupScript held whole, without line ends. Throws as it does.
QList<QByteArray> MakeSetupScript(const PackPlan &plan, const QString &installerPath);

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
