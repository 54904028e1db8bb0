#include "project/previewkind.h"

#include "core/errors.h"
#include "core/textcodec.h"
#include "image/pictureimage.h"
#include "image/tgareader.h"
#include "project/filetree.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace tervelle {

PreviewKind previewKindFor(const TreeNode *node)
{
    if (!node || !node->isFile())
        return PreviewKind::None;
    switch (node->ImageIndex - FirstFileImage) {
    case LevelIconFile:
        return PreviewKind::Picture;
    case TextureListFile:
    case ScriptFile:
    case InfoPageFile:
        return PreviewKind::Text;
    default:
        return PreviewKind::None;
    }
}

std::optional<QImage> readPreviewPicture(const QString &path)
{
    Picture picture;
    if (!ViewTga(LoadTgaToMemory(path), picture))
        return std::nullopt;
    return pictureToImage(picture);
}

QString previewCutNote()
{
    return QStringLiteral("[Only the first 1 MB of this file is shown.]");
}

namespace {

[[noreturn]] void fail(const QString &path, const QString &reason)
{
    throw UserError(QStringLiteral("Cannot show \"%1\": %2.").arg(path, reason));
}

// At most `limit` bytes of the file, taken from a regular file only.
QByteArray readHead(const QString &path, qint64 limit)
{
    QByteArray bytes;
#ifdef Q_OS_UNIX
    // Opened without blocking and then checked, so neither a FIFO nor a file swapped for one
    // between a check and the open can stall the window.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        fail(path, qt_error_string(errno));
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        fail(path, qt_error_string(error));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        fail(path, QStringLiteral("not a regular file"));
    }
    bytes.resize(qsizetype(std::min<qint64>(limit, status.st_size + 1)));
    qsizetype done = 0;
    while (done < limit) {
        if (done == bytes.size())
            bytes.resize(qsizetype(std::min<qint64>(limit, qint64(bytes.size()) * 2 + 4096)));
        const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            fail(path, qt_error_string(error));
        }
        if (got == 0)
            break;
        done += got;
    }
    ::close(fd);
    bytes.truncate(done);
#else
    const QFileInfo info(path);
    if (!info.exists())
        fail(path, QStringLiteral("no such file"));
    if (!info.isFile())
        fail(path, QStringLiteral("not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError)
        fail(path, file.errorString());
#endif
    return bytes;
}

// Lines end at CR LF, a lone CR or a lone LF; a break at the very end opens no empty line.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

} // namespace

QStringList readPreviewText(const QString &path)
{
    // One byte more than is shown tells a file of exactly the limit from a longer one.
    QByteArray bytes = readHead(path, PreviewTextLimit + 1);
    const bool cut = bytes.size() > PreviewTextLimit;
    if (cut)
        bytes.truncate(qsizetype(PreviewTextLimit));
    QStringList lines = splitLines(textCodec().decode(bytes));
    if (cut)
        lines.append(previewCutNote());
    return lines;
}

} // namespace tervelle
