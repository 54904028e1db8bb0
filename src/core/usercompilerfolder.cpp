#include "core/usercompilerfolder.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/report.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace tervelle {

namespace {

const char CompilerFolderName[] = "iscc";
// Beside the copy: which installed folder it came from and that folder's mark, so a new
// version of the program brings a new copy.
const char CopyStampName[] = "copied-from";

QString readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(4096));
}

bool isSharedInstall(const QString &appDir)
{
    return !appDir.isEmpty() && QFileInfo(appDir + QLatin1String(SharedInstallMark)).isFile();
}

bool sameFolder(const QString &a, const QString &b)
{
    return QDir::cleanPath(QDir(a).absolutePath()) == QDir::cleanPath(QDir(b).absolutePath());
}

// Files and folders as they are; a link inside an installed tree is not ours to follow.
void copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        throw UserError(lang(LangKey::message_CompilerCopy_CannotMakeFolder, {{'f', to}}));
    const QDir source(from);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (info.isSymLink())
            continue;
        if (info.isDir()) {
            if (!QDir().mkpath(target))
                throw UserError(lang(LangKey::message_CompilerCopy_CannotMakeFolder, {{'f', target}}));
            continue;
        }
        QFile file(path);
        if (!file.copy(target))
            throw UserError(lang(LangKey::message_CompilerCopy_CannotCopy, {{'f', path}, {'r', file.errorString()}}));
        // Writable by its owner, whatever the installed file's mode, so a later copy can replace it.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
}

void writeStamp(const QString &path, const QString &stamp)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(stamp.toUtf8()) < 0 || !file.commit())
        throw UserError(lang(LangKey::message_CompilerCopy_CannotWrite, {{'f', path}, {'r', file.errorString()}}));
}

// Made beside the old copy and put in its place in one rename, so a build never sees half of
// it; a program started at the same moment that wins the race leaves its copy, equally good.
void makeUserCopy(const QString &shared, const QString &userDir, const QString &stamp)
{
    const QString suffix = QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
    const QString folder = userDir + QLatin1String(CompilerFolderName);
    const QString fresh = folder + QStringLiteral(".new") + suffix;
    const QString old = folder + QStringLiteral(".old") + suffix;
    QDir(fresh).removeRecursively();
    try {
        copyTree(shared + QLatin1String(CompilerFolderName), fresh);
    } catch (...) {
        QDir(fresh).removeRecursively();
        throw;
    }
    if (QFileInfo::exists(folder) && !QDir().rename(folder, old)) {
        QDir(fresh).removeRecursively();
        throw UserError(lang(LangKey::message_CompilerCopy_CannotMoveAside, {{'f', folder}}));
    }
    const bool placed = QDir().rename(fresh, folder);
    QDir(fresh).removeRecursively();
    QDir(old).removeRecursively();
    if (!placed && !QFileInfo(folder + QStringLiteral("/iscc.exe")).isFile())
        throw UserError(lang(LangKey::message_CompilerCopy_CannotRename, {{'f', fresh}, {'g', folder}}));
    writeStamp(userDir + QLatin1String(CopyStampName), stamp);
}

} // namespace

QString userAppDir()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir::toNativeSeparators(QDir::cleanPath(base) + QStringLiteral("/Orbeck/Tervelle/"));
}

QString writableAppDir(const QString &appDir, const QString &executableDir)
{
    QString userDir = userAppDir();
    QString shared;
    if (isSharedInstall(appDir))
        shared = appDir;
    else if (sameFolder(appDir, userDir) && isSharedInstall(executableDir))
        shared = executableDir;
    else
        return appDir;

    const QString stamp =
        QDir::cleanPath(shared) + QLatin1Char('\n') + readSmallFile(shared + QLatin1String(SharedInstallMark));
    const bool current = readSmallFile(userDir + QLatin1String(CopyStampName)) == stamp
        && QFileInfo(userDir + QLatin1String(CompilerFolderName) + QStringLiteral("/iscc.exe")).isFile();
    if (current)
        return userDir;
    try {
        makeUserCopy(shared, userDir, stamp);
    } catch (const UserError &error) {
        reportProblem(
            lang(LangKey::message_CompilerCopy_Failed,
                 {{'f', shared + QLatin1String(CompilerFolderName)}, {'g', userDir}, {'r', error.message()}}));
        return appDir;
    }
    return userDir;
}

} // namespace tervelle
