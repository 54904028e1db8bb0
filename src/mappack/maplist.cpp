#include "mappack/maplist.h"

#include "core/errors.h"
#include "core/langload.h"
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
    LineWriter out(lang(LangKey::message_FileKind_MapList));
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
        throw UserError(
            lang(LangKey::message_MapList_CannotWrite, {{'f', escapeControlCharacters(path)}, {'r', e.message()}}));
    }
    // The staging folder ships with the compiler's files, but a fresh set-up may lack it.
    const QString compilerFolderPath = QFileInfo(folder.chopped(1)).absolutePath();
    QDir().mkpath(compilerFolderPath);
    const FolderHandle compiler =
        openFolder(compilerFolderPath,
                   lang(LangKey::message_MapList_FolderNotOpened,
                        {{'f', path}, {'g', QStringLiteral("%1")}, {'r', QStringLiteral("%2")}}));
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
            throw UserError(lang(LangKey::message_MapList_StagingIsLink, {{'f', path}, {'g', native}}));
        }
        throw UserError(
            lang(LangKey::message_MapList_FolderNotOpened, {{'f', path}, {'g', native}, {'r', systemReason(error)}}));
    }
    if (const int error = replaceFileAt(staging.fd(), name, bytes); error != 0)
        throw UserError(lang(LangKey::message_MapList_CannotWriteReason, {{'f', path}, {'r', systemReason(error)}}));
    return path;
}

} // namespace tervelle
