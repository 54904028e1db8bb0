#include "project/folderscan.h"

#include "project/resourcelist.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#endif

#include <set>
#include <utility>

namespace tervelle {

namespace {

constexpr qint64 ProgressEvery = 10;

// What the scans of both platforms share: counting, reporting and cancelling.
class ScanBase
{
public:
    ScanBase(const FoundFileSink &found, bool recursive, const ScanCallback &progress)
        : m_found(found), m_recursive(recursive), m_callback(progress)
    {}

    ScanResult result() const { return m_cancelled ? ScanResult::Cancelled : ScanResult::Finished; }
    const ScanProgress &totals() const { return m_progress; }

protected:
    void addFile(const QString &folder, const QString &name, const QString &fullPath)
    {
        if (m_found(folder, name, fullPath))
            ++m_progress.added;
    }

    void folderLeftOut() { ++m_progress.foldersLeftOut; }

    // Counts one entry; false once the scan is to stop.
    bool entryDone()
    {
        ++m_progress.entries;
        if (m_callback && m_progress.entries % ProgressEvery == 0 && !m_callback(m_progress))
            m_cancelled = true;
        return !m_cancelled;
    }

    const FoundFileSink &m_found;
    bool m_recursive;
    bool m_cancelled = false;

private:
    const ScanCallback &m_callback;
    ScanProgress m_progress;
};

QString withSeparator(const QString &path)
{
    const QChar separator = QDir::separator();
    if (path.endsWith(separator) || path.endsWith(QLatin1Char('/')))
        return path;
    return path + separator;
}

#ifdef Q_OS_UNIX

// A name that is not valid in the file-name encoding decodes to another path, one that could
// never be opened again when the pack is built.
bool decodesExactly(const char *rawName, const QString &name)
{
    for (const char *p = rawName; *p; ++p) {
        if (uchar(*p) >= 0x80)
            return QFile::encodeName(name) == rawName;
    }
    return true;
}

// readdir with the entry type it reports, so a plain file or folder costs no stat; only links
// and file systems that report no type are looked up.
class PosixScan : public ScanBase
{
public:
    using ScanBase::ScanBase;

    void run(const QString &prefix)
    {
        const int fd = ::open(QFile::encodeName(prefix).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0)
            enter(fd, prefix);
    }

private:
    // Takes ownership of fd. Folders are known by device and inode, which catches a loop or a
    // second way to one folder however the links that lead there are spelled.
    void enter(int fd, const QString &prefix)
    {
        struct stat status;
        if (::fstat(fd, &status) != 0) {
            ::close(fd);
            return;
        }
        if (!m_seen.insert({status.st_dev, status.st_ino}).second) {
            folderLeftOut();
            ::close(fd);
            return;
        }
        DIR *dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            return;
        }
        scan(dir, prefix);
        ::closedir(dir);
    }

    void scan(DIR *dir, const QString &prefix)
    {
        const QString folder = ResourceList::folderOf(prefix);
        while (const dirent *entry = ::readdir(dir)) {
            const char *rawName = entry->d_name;
            if (std::strcmp(rawName, ".") == 0 || std::strcmp(rawName, "..") == 0)
                continue;
            bool isFile = entry->d_type == DT_REG;
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct stat status;
                if (::fstatat(::dirfd(dir), rawName, &status, 0) == 0) {
                    isFile = S_ISREG(status.st_mode);
                    isFolder = S_ISDIR(status.st_mode);
                }
            }
            const QString name = isFile || (isFolder && m_recursive) ? QFile::decodeName(rawName) : QString();
            if (!name.isEmpty() && decodesExactly(rawName, name)) {
                if (isFile) {
                    addFile(folder, name, prefix + name);
                } else {
                    const int fd = ::openat(::dirfd(dir), rawName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                    if (fd >= 0)
                        enter(fd, prefix + name + QLatin1Char('/'));
                }
            }
            if (m_cancelled || !entryDone())
                return;
        }
    }

    std::set<std::pair<dev_t, ino_t>> m_seen;
};

#else

class PortableScan : public ScanBase
{
public:
    using ScanBase::ScanBase;

    void run(const QString &prefix) { enter(prefix); }

private:
    void enter(const QString &prefix)
    {
        const QString canonical = QFileInfo(prefix).canonicalFilePath();
        if (canonical.isEmpty())
            return;
        if (m_seen.contains(canonical)) {
            folderLeftOut();
            return;
        }
        m_seen.insert(canonical);
        scan(prefix);
    }

    void scan(const QString &prefix)
    {
        const QString folder = ResourceList::folderOf(prefix);
        QDirIterator it(prefix, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            const QString name = info.fileName();
            if (info.isFile())
                addFile(folder, name, prefix + name);
            else if (m_recursive && info.isDir())
                enter(prefix + name + QDir::separator());
            if (m_cancelled || !entryDone())
                return;
        }
    }

    QSet<QString> m_seen;
};

#endif

} // namespace

ScanResult ScanFolder(const QString &path, bool recursive, const FoundFileSink &found, const ScanCallback &progress,
                      ScanProgress *totals)
{
    if (path.isEmpty())
        return ScanResult::Finished;
#ifdef Q_OS_UNIX
    PosixScan scan(found, recursive, progress);
#else
    PortableScan scan(found, recursive, progress);
#endif
    scan.run(withSeparator(path));
    if (totals)
        *totals = scan.totals();
    return scan.result();
}

ScanResult AddFolder(ResourceList &list, const QString &path, bool recursive, const ScanCallback &progress,
                     ScanProgress *totals)
{
    const FoundFileSink append = [&list](const QString &folder, const QString &name, const QString &fullPath) {
        return list.addSplitResource(folder, name, fullPath);
    };
    return ScanFolder(path, recursive, append, progress, totals);
}

} // namespace tervelle
