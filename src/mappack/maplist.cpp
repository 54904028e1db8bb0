#include "mappack/maplist.h"

#include "core/errors.h"
#include "core/namerule.h"
#include "core/safesave.h"
#include "mappack/packcheck.h"
#include "mappack/packfiles.h"
#include "project/projectmodel.h"
#include "project/textlines.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace tervelle {

QString MapListFileName(const ProjectModel &project)
{
    return project.packTitle() + QStringLiteral(".mpl");
}

QByteArray MapListBytes(const ProjectModel &project)
{
    checkPackTexts(project);
    LineWriter out(QStringLiteral("map list file"));
    for (const QString &row : project.headerRows())
        out.text(row);
    for (int i = 0; i < project.mapCount(); ++i) {
        out.text(QStringLiteral("{"));
        for (const QString &row : project.map(i).Info.Properties)
            out.text(row);
        out.text(QStringLiteral("}"));
    }
    return out.bytes();
}

QString SaveMapList(const ProjectModel &project, const QString &appDir)
{
    const QString folder = StagingFolder(appDir);
    const QString name = MapListFileName(project);
    QString path = folder + name;
    // The check inside refuses a title that would lead out of the staging folder.
    QByteArray bytes;
    try {
        bytes = MapListBytes(project);
    } catch (const UserError &e) {
        throw UserError(QStringLiteral("The map list file %1 cannot be written. %2")
                            .arg(escapeControlCharacters(path), e.message()));
    }
    // The staging folder ships with the compiler's files, but a fresh set-up may lack it.
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error) {
        throw UserError(QStringLiteral("The map list file %1 cannot be written: the folder %2 cannot be created: %3")
                            .arg(path, folder, QString::fromLocal8Bit(error.message())));
    }
    // The compiler folder may be shared: a link planted there is replaced, not written through.
    replaceFileNotFollowingLinks(path, bytes, QStringLiteral("The map list file %1 cannot be written: %2"));
    return path;
}

} // namespace tervelle
