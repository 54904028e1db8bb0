#include "mappack/sourcecheck.h"

#include "image/tgareader.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tervelle {

#ifdef Q_OS_UNIX
namespace {

// Read permission from the mode bits, as the kernel decides it for this process; root reads
// everything. Saves the second system call that access() would cost per file.
bool readableByUs(const struct stat &st)
{
    const uid_t uid = geteuid();
    if (uid == 0)
        return true;
    if (st.st_uid == uid)
        return st.st_mode & S_IRUSR;
    if (st.st_gid == getegid())
        return st.st_mode & S_IRGRP;
    gid_t groups[256];
    const int count = getgroups(256, groups);
    for (int i = 0; i < count; ++i) {
        if (groups[i] == st.st_gid)
            return st.st_mode & S_IRGRP;
    }
    return st.st_mode & S_IROTH;
}

} // namespace

SourceFacts statSource(const QString &path)
{
    SourceFacts facts;
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    // A NUL would cut the encoded name short and ask about another file.
    if (path.isEmpty() || path.contains(QChar(0)) || ::stat(name.constData(), &st) != 0)
        return facts;
    facts.size = st.st_size;
    if (!S_ISREG(st.st_mode))
        facts.state = SourceFacts::NotRegular;
    else
        facts.state = readableByUs(st) ? SourceFacts::Regular : SourceFacts::Unreadable;
    return facts;
}
#else
SourceFacts statSource(const QString &path)
{
    SourceFacts facts;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return facts;
    facts.size = info.size();
    if (!info.isFile())
        facts.state = SourceFacts::NotRegular;
    else
        facts.state = info.isReadable() ? SourceFacts::Regular : SourceFacts::Unreadable;
    return facts;
}
#endif

bool levelIconDecodes(const QString &path, qint64 size)
{
#ifdef Q_OS_UNIX
    // One open and one read: a pack may hold thousands of icons.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char head[TgaHeaderBytes];
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    return got >= 0 && TgaHeaderDecodes(QByteArrayView(head, got), size);
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return TgaHeaderDecodes(file.read(TgaHeaderBytes), size);
#endif
}

} // namespace tervelle
