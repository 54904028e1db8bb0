#include "mappack/sourcecheck.h"

#include "image/tgareader.h"

#include <QDir>
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

bool isPrivatePath(const QString &path)
{
    // Most paths hold no part beginning with "." and lie outside the system folders.
    bool dotted = false;
    QChar before = QLatin1Char('/');
    for (const QChar c : path) {
        if (c == QLatin1Char('.') && (before == QLatin1Char('/') || before == QLatin1Char('\\'))) {
            dotted = true;
            break;
        }
        before = c;
    }
    if (!dotted && !path.startsWith(QLatin1String("/etc")) && !path.startsWith(QLatin1String("/proc"))
        && !path.startsWith(QLatin1String("/sys")) && !path.startsWith(QLatin1String("/dev")))
        return false;
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    for (const char *system : {"/etc", "/proc", "/sys", "/dev"}) {
        const QLatin1String folder(system);
        if (clean == folder || clean.startsWith(folder + QLatin1Char('/')))
            return true;
    }
    const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].startsWith(QLatin1Char('.')) && parts[i] != QLatin1String(".."))
            return true;
    }
    return false;
}

} // namespace tervelle
