#include "mappack/installerguard.h"

#include "core/errors.h"
#include "core/langload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tervelle {

namespace {

namespace fs = std::filesystem;

fs::path fsPath(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

// What is at `path` itself, a link never followed.
fs::file_type typeAt(const QString &path)
{
    std::error_code error;
    return fs::symlink_status(fsPath(path), error).type();
}

bool occupied(const QString &path)
{
    return typeAt(path) != fs::file_type::not_found;
}

QString previousPrefix(const QString &installerName)
{
    return QStringLiteral(".%1.previous-").arg(installerName);
}

QString privatePrefix(const QString &installerName)
{
    return QStringLiteral(".%1.build-").arg(installerName);
}

// Moves `from` in one folder to `to` in another without replacing anything there: EEXIST when
// the name is taken.
int renameNoReplace(int fromFolder, const QByteArray &from, int toFolder, const QByteArray &to)
{
    if (::renameat2(fromFolder, from.constData(), toFolder, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the flag: a hard link fails on a taken name, then the old name goes.
    if (::linkat(fromFolder, from.constData(), toFolder, to.constData(), 0) != 0)
        return errno;
    ::unlinkat(fromFolder, from.constData(), 0);
    return 0;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QStringList InstallerGuard::leftovers(const QString &installerPath)
{
    const QFileInfo info(QFileInfo(installerPath).absoluteFilePath());
    const QDir folder(info.absolutePath());
    const QString prefix = previousPrefix(info.fileName());
    QStringList found;
    const QFileInfoList entries = folder.entryInfoList(
        {prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System, QDir::Time | QDir::Reversed);
    for (const QFileInfo &entry : entries) {
        // The name pattern is case-blind on some systems; ours is exact.
        if (entry.fileName().startsWith(prefix) && typeAt(entry.absoluteFilePath()) == fs::file_type::regular)
            found << entry.absoluteFilePath();
    }
    return found;
}

QString InstallerGuard::bringBack(const QString &leftover, const QString &installerPath)
{
    const QFileInfo info(QFileInfo(installerPath).absoluteFilePath());
    const QDir folder(info.absolutePath());
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QFile file(leftover);
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1
            ? QStringLiteral("%1 (earlier)%2").arg(info.completeBaseName(), suffix)
            : QStringLiteral("%1 (earlier %2)%3").arg(info.completeBaseName()).arg(n).arg(suffix);
        QString target = folder.filePath(name);
        if (occupied(target))
            continue;
        // Qt's rename refuses to replace an existing file.
        if (file.rename(target))
            return target;
        if (occupied(target))
            continue;
        break;
    }
    throw UserError(lang(LangKey::message_Installer_CannotBringBack, {{'f', leftover}, {'r', file.errorString()}}));
}

InstallerGuard::InstallerGuard(const QString &installerPath)
    : m_installer(QFileInfo(installerPath).absoluteFilePath()), m_name(QFileInfo(m_installer).fileName())
{
    const QString folder = QFileInfo(m_installer).absolutePath();
    m_output = openFolder(
        folder,
        lang(LangKey::message_Installer_FolderNotWritable, {{'f', QStringLiteral("%1")}, {'r', QStringLiteral("%2")}}));
    const Entry earlier = entryAt(m_output.fd(), m_name);
    if (earlier.isLink()) {
        throw UserError(lang(LangKey::message_Installer_IsLink, {{'f', m_installer}}));
    }
    if (earlier.isFolder())
        throw UserError(lang(LangKey::message_Installer_IsFolder, {{'f', m_installer}}));
    if (earlier.exists && !earlier.isFile())
        throw UserError(lang(LangKey::message_Installer_NotAFile, {{'f', m_installer}}));
    m_hadEarlier = earlier.exists;
    m_earlier = earlier.info;
    removeStalePrivateFolders();
    makePrivateFolder();
}

InstallerGuard::~InstallerGuard()
{
    removePrivateFolder();
}

QString InstallerGuard::compilerOutput() const
{
    return QFileInfo(m_installer).absolutePath() + QLatin1Char('/') + m_privateName + QLatin1Char('/') + m_name;
}

void InstallerGuard::removeStalePrivateFolders()
{
    // Left by builds that were killed; the installer's lock keeps every live build out. Only
    // folders of ours: a link or someone else's folder of such a name is left alone.
    const QString prefix = privatePrefix(m_name);
    const QStringList names =
        QDir(QFileInfo(m_installer).absolutePath())
            .entryList({prefix + QLatin1Char('*')}, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        // The rest is the random part alone, not the name of another installer's folder.
        static const QRegularExpression randomPart(QStringLiteral("^[0-9a-z]+$"));
        if (!name.startsWith(prefix) || !randomPart.match(name.mid(prefix.size())).hasMatch())
            continue;
        const Entry entry = entryAt(m_output.fd(), name);
        if (entry.isFolder() && entry.ownedByUs())
            removeEntry(m_output.fd(), name);
    }
}

void InstallerGuard::makePrivateFolder()
{
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        m_privateName = privatePrefix(m_name) + QString::number(QRandomGenerator::global()->generate(), 36);
        // Made new, readable and writable by us alone: nobody can plant anything inside.
        error = ::mkdirat(m_output.fd(), QFile::encodeName(m_privateName).constData(), 0700) == 0 ? 0 : errno;
    }
    if (error == 0) {
        m_privateMade = entryAt(m_output.fd(), m_privateName).info;
        m_private = openSubFolder(m_output.fd(), m_privateName);
        struct stat opened = {};
        if (!m_private.isOpen())
            error = errno;
        else if (::fstat(m_private.fd(), &opened) != 0 || opened.st_ino != m_privateMade.st_ino
                 || opened.st_dev != m_privateMade.st_dev)
            error = EBUSY;
    }
    if (error != 0) {
        removePrivateFolder();
        throw UserError(
            lang(LangKey::message_Installer_NoBuildFolder, {{'f', m_installer}, {'r', systemReason(error)}}));
    }
}

void InstallerGuard::removePrivateFolder()
{
    m_private = FolderHandle();
    if (m_output.isOpen() && !m_privateName.isEmpty() && entryAt(m_output.fd(), m_privateName).sameAs(m_privateMade))
        removeEntry(m_output.fd(), m_privateName);
    m_privateName.clear();
}

bool InstallerGuard::place(QString &problem)
{
    const QByteArray name = QFile::encodeName(m_name);
    const Entry made = entryAt(m_private.fd(), m_name);
    if (!made.isFile() || made.info.st_size == 0) {
        problem = lang(LangKey::message_Installer_NoneWritten, {{'f', m_installer}});
        return false;
    }
    const Entry now = entryAt(m_output.fd(), m_name);
    int error = 0;
    if (!m_hadEarlier) {
        error = renameNoReplace(m_private.fd(), name, m_output.fd(), name);
    } else if (now.sameAs(m_earlier)) {
        // The installer the build started with: the rename replaces it in one step.
        error = ::renameat(m_private.fd(), name.constData(), m_output.fd(), name.constData()) == 0 ? 0 : errno;
    } else {
        error = EEXIST;
    }
    if (error == EEXIST) {
        // Someone else took the name during the build: theirs stays, and so does ours, visibly.
        const QFileInfo info(m_installer);
        for (int n = 1; n < 1000; ++n) {
            const QString kept = n == 1 ? QStringLiteral("%1 (new).exe").arg(info.completeBaseName())
                                        : QStringLiteral("%1 (new %2).exe").arg(info.completeBaseName()).arg(n);
            const int moved = renameNoReplace(m_private.fd(), name, m_output.fd(), QFile::encodeName(kept));
            if (moved == EEXIST)
                continue;
            problem = moved == 0
                ? lang(LangKey::message_Installer_ReplacedKept,
                       {{'f', m_installer}, {'g', native(info.dir().filePath(kept))}})
                : lang(LangKey::message_Installer_ReplacedLost, {{'f', m_installer}, {'r', systemReason(moved)}});
            return false;
        }
        problem = lang(LangKey::message_Installer_Replaced, {{'f', m_installer}});
        return false;
    }
    if (error != 0) {
        problem = lang(LangKey::message_Installer_CannotRename, {{'f', m_installer}, {'r', systemReason(error)}});
        return false;
    }
    // What stands at the name now must be the file the compiler wrote.
    if (!entryAt(m_output.fd(), m_name).sameAs(made.info)) {
        problem = lang(LangKey::message_Installer_ReplacedAtEnd, {{'f', m_installer}});
        return false;
    }
    return true;
}

} // namespace tervelle
