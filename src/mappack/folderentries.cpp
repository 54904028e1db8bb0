#include "mappack/folderentries.h"

#include "core/errors.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace tervelle {

namespace {

// Deeper than any folder a build makes; a deeper tree is not ours to remove.
constexpr int MaxDepth = 32;

QByteArray encoded(const QString &name)
{
    return QFile::encodeName(name);
}

int removeEntryAt(int folder, const QByteArray &name, int depth)
{
    struct stat info = {};
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(folder, name.constData(), 0) == 0 || errno == ENOENT ? 0 : errno;
    if (depth >= MaxDepth)
        return ELOOP;
    FolderHandle inner(::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!inner.isOpen())
        return errno;
    struct stat opened = {};
    // Swapped for another folder between the look and the opening: not the one we meant.
    if (::fstat(inner.fd(), &opened) != 0 || opened.st_dev != info.st_dev || opened.st_ino != info.st_ino)
        return EBUSY;
    const int listing = ::dup(inner.fd());
    if (listing < 0)
        return errno;
    DIR *entries = ::fdopendir(listing);
    if (!entries) {
        const int error = errno;
        ::close(listing);
        return error;
    }
    int error = 0;
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray child(entry->d_name);
        if (child == "." || child == "..")
            continue;
        error = removeEntryAt(inner.fd(), child, depth + 1);
        if (error != 0)
            break;
    }
    ::closedir(entries);
    if (error != 0)
        return error;
    return ::unlinkat(folder, name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT ? 0 : errno;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = ENOSPC;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

FolderHandle::~FolderHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FolderHandle &FolderHandle::operator=(FolderHandle &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

int FolderHandle::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool Entry::ownedByUs() const
{
    return exists && info.st_uid == ::geteuid();
}

Entry entryAt(int folder, const QString &name)
{
    Entry entry;
    entry.exists = ::fstatat(folder, encoded(name).constData(), &entry.info, AT_SYMLINK_NOFOLLOW) == 0;
    return entry;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FolderHandle openFolder(const QString &path, const QString &failure)
{
    FolderHandle folder(::open(encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isOpen())
        throw UserError(failure.arg(QDir::toNativeSeparators(path), systemReason(errno)));
    return folder;
}

FolderHandle openSubFolder(int folder, const QString &name)
{
    return FolderHandle(::openat(folder, encoded(name).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

int removeEntry(int folder, const QString &name)
{
    return removeEntryAt(folder, encoded(name), 0);
}

int replaceFileAt(int folder, const QString &name, const QByteArray &bytes)
{
    const QByteArray target = encoded(name);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = "." + target + "." + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // Made new: a name someone else took, a link included, is never opened.
        fd = ::openat(folder, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return errno;
    }
    if (fd < 0)
        return EEXIST;
    int error = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        error = errno;
    ::close(fd);
    // The rename replaces whatever is at the name, a link itself rather than its target.
    if (error == 0 && ::renameat(folder, temporary.constData(), folder, target.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlinkat(folder, temporary.constData(), 0);
    return error;
}

} // namespace tervelle
