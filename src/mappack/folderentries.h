#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

namespace tervelle {

// Entries the build makes, clears or removes in folders other local users may write (a shared
// compiler folder, a shared output folder) are reached through a handle of the folder that holds
// them and looked at with lstat, so that a link planted in their place is never followed: it is
// removed as a link, or the build stops naming it.

// An open folder, closed when the object goes.
class FolderHandle
{
public:
    FolderHandle() = default;
    explicit FolderHandle(int fd) : m_fd(fd) {}
    ~FolderHandle();
    FolderHandle(FolderHandle &&other) noexcept : m_fd(other.release()) {}
    FolderHandle &operator=(FolderHandle &&other) noexcept;
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    int release();

private:
    int m_fd = -1;
};

// What lies at `name` in `folder` itself, a link not followed; nothing there gives exists false.
struct Entry
{
    bool exists = false;
    struct stat info = {};

    bool isLink() const { return exists && S_ISLNK(info.st_mode); }
    bool isFolder() const { return exists && S_ISDIR(info.st_mode); }
    bool isFile() const { return exists && S_ISREG(info.st_mode); }
    bool ownedByUs() const;
    bool sameAs(const struct stat &other) const
    {
        return exists && info.st_dev == other.st_dev && info.st_ino == other.st_ino;
    }
};
Entry entryAt(int folder, const QString &name);

// The system's reason for the last failed call.
QString systemReason(int error);

// Opens the folder at `path`, which the user chose or the program was installed in: links on
// the way are the user's own and followed. Throws UserError built from `failure`, with %1 the
// path and %2 the reason, when it cannot be opened.
FolderHandle openFolder(const QString &path, const QString &failure);
// Opens the folder `name` inside `folder`; a link there is not followed (-1 with errno ENOTDIR or
// ELOOP).
FolderHandle openSubFolder(int folder, const QString &name);

// Removes `name` from `folder`: a link or a file is unlinked, a folder is emptied through
// handles (links inside unlinked, never followed) and removed. Nothing outside the folder is
// reached. Returns 0, or the error number of what failed; a missing entry is no failure.
int removeEntry(int folder, const QString &name);

// Writes `bytes` as the file `name` in `folder`: a new file of ours under a free hidden name,
// then renamed over the name, so a link there is replaced, never written through. Returns 0 or
// the error number.
int replaceFileAt(int folder, const QString &name, const QByteArray &bytes);

} // namespace tervelle
