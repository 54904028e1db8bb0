#include "mappack/buildlock.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <filesystem>
#include <system_error>

namespace tervelle {

namespace {

namespace fs = std::filesystem;

fs::file_type typeAt(const QString &path)
{
    std::error_code error;
    return fs::symlink_status(fs::path(QFile::encodeName(path).toStdString()), error).type();
}

QString notALock(const QString &path, const QString &what)
{
    return lang(LangKey::message_Lock_NotALock, {{'f', QDir::toNativeSeparators(path)}, {'w', what}});
}

// QLockFile keeps the system's reason to itself. Writing a lock's worth of bytes ourselves, in
// a file of our own that is removed again, finds it: a missing folder, no permission, a full disk.
QString lockFailureReason(const QString &lockPath)
{
    QFile probe(lockPath + QStringLiteral(".probe"));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return probe.errorString();
    const bool written = probe.write(QByteArray(64, 'x')) == 64 && probe.flush();
    const QString reason = probe.errorString();
    probe.close();
    probe.remove();
    return written ? QString() : reason;
}

} // namespace

std::unique_ptr<QLockFile> takeBuildLock(const QString &path, const QString &busy, bool takeOver)
{
    auto lock = std::make_unique<QLockFile>(path);
    // Only a lock whose process has gone is stale, however long a build takes.
    lock->setStaleLockTime(0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (lock->tryLock(0))
            return lock;
        switch (typeAt(path)) {
        case fs::file_type::not_found:
            // Gone in the meantime (or the folder is missing): one more try tells which.
            continue;
        case fs::file_type::regular: break;
        case fs::file_type::directory: throw UserError(notALock(path, lang(LangKey::message_Lock_Kind_Folder)));
        case fs::file_type::symlink: throw UserError(notALock(path, lang(LangKey::message_Lock_Kind_SymbolicLink)));
        default: throw UserError(notALock(path, lang(LangKey::message_Lock_Kind_Special)));
        }
        if (lock->error() != QLockFile::LockFailedError)
            break;
        qint64 pid = 0;
        QString host, application;
        if (lock->getLockInfo(&pid, &host, &application)) {
            // On this computer QLockFile has asked already: the process lives.
            if (host.isEmpty() || host == QSysInfo::machineHostName())
                throw UserError(busy);
            const QFileInfo info(path);
            const qint64 age = info.lastModified().secsTo(QDateTime::currentDateTime());
            const bool old = age > LongestBuildSeconds;
            if (!(old && takeOver)) {
                QString message = lang(LangKey::message_Lock_HeldByOther,
                                       {{'r', busy},
                                        {'f', QDir::toNativeSeparators(path)},
                                        {'c', QString::number(pid)},
                                        {'t', escapeControlCharacters(host)}});
                message += QLatin1Char(' ')
                    + (old ? lang(LangKey::message_Lock_Old, {{'c', QString::number(age / 3600)}})
                           : lang(LangKey::message_Lock_RemoveIfIdle));
                throw LockHeldElsewhere(message, path, old);
            }
        }
        // Empty or unreadable: what a crash between creating and writing it leaves. Nobody can
        // be waiting on it, so it goes (as a file: it is one), and the lock is tried once more.
        // So does a lock from another computer that is older than any build, when asked to.
        std::error_code error;
        fs::remove(fs::path(QFile::encodeName(path).toStdString()), error);
    }
    const QString reason = lockFailureReason(path);
    throw UserError(lang(LangKey::message_Lock_CannotMake,
                         {{'f', QDir::toNativeSeparators(path)},
                          {'r', reason.isEmpty() ? lang(LangKey::message_Lock_FolderMissing) : reason}}));
}

} // namespace tervelle
