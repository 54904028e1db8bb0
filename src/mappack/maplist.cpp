#include "mappack/maplist.h"

#include "core/errors.h"
#include "core/namerule.h"
#include "mappack/folderentries.h"
#include "mappack/packfiles.h"
#include "mappack/packplan.h"
#include "project/projectmodel.h"
#include "project/textlines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace tervelle {

QByteArray MapListBytes(const PackPlan &plan)
{
    const ProjectModel &project = plan.project();
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

QString SaveMapList(const PackPlan &plan)
{
    const QString folder = StagingFolder(plan.appDir());
    const QString &name = plan.mapListName();
    QString path = folder + name;
    // The plan's checks refused a title that would lead out of the staging folder.
    QByteArray bytes;
    try {
        bytes = MapListBytes(plan);
    } catch (const UserError &e) {
        throw UserError(QStringLiteral("The map list file %1 cannot be written. %2")
                            .arg(escapeControlCharacters(path), e.message()));
    }
    // The staging folder ships with the compiler's files, but a fresh set-up may lack it.
    const QString compilerFolderPath = QFileInfo(folder.chopped(1)).absolutePath();
    QDir().mkpath(compilerFolderPath);
    const FolderHandle compiler = openFolder(
        compilerFolderPath,
        QStringLiteral("The map list file %1 cannot be written: the folder %2 cannot be opened: %3").arg(path));
    const QString stagingName = QFileInfo(folder.chopped(1)).fileName();
    if (!entryAt(compiler.fd(), stagingName).exists)
        ::mkdirat(compiler.fd(), QFile::encodeName(stagingName).constData(), 0777);
    // The compiler folder may be shared: a link planted as the staging folder would lead the
    // write elsewhere, and one planted as the file is replaced, not written through.
    const FolderHandle staging = openSubFolder(compiler.fd(), stagingName);
    if (!staging.isOpen()) {
        const int error = errno;
        const QString native = QDir::toNativeSeparators(folder);
        if (entryAt(compiler.fd(), stagingName).isLink()) {
            throw UserError(QStringLiteral("The map list file %1 cannot be written: the staging folder %2 is a "
                                           "symbolic link, which the build does not follow. Make it a folder to "
                                           "build.")
                                .arg(path, native));
        }
        throw UserError(QStringLiteral("The map list file %1 cannot be written: the folder %2 cannot be opened: %3")
                            .arg(path, native, systemReason(error)));
    }
    if (const int error = replaceFileAt(staging.fd(), name, bytes); error != 0)
        throw UserError(QStringLiteral("The map list file %1 cannot be written: %2").arg(path, systemReason(error)));
    return path;
}

} // namespace tervelle
