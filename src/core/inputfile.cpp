#include "core/inputfile.h"

#include "core/errors.h"
#include "core/langload.h"

#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tervelle {

namespace {

[[noreturn]] void cannotOpen(const QString &what, const QString &path, const QString &reason)
{
    throw UserError(lang(LangKey::message_File_CannotOpen, {{'w', what}, {'f', path}, {'r', reason}}));
}

#ifdef Q_OS_UNIX
QString notAFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return lang(LangKey::message_File_IsFolder);
    if (S_ISFIFO(mode))
        return lang(LangKey::message_File_IsFifo);
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return lang(LangKey::message_File_IsDevice);
    if (S_ISSOCK(mode))
        return lang(LangKey::message_File_IsSocket);
    return lang(LangKey::message_File_NotRegular);
}
#endif

} // namespace

std::unique_ptr<QFile> openInputFile(const QString &path, const QString &what)
{
    auto file = std::make_unique<QFile>();
#ifdef Q_OS_UNIX
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer; the
    // type is checked on the opened file, so nothing can swap the path in between.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        cannotOpen(what, path, qt_error_string(errno));
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        cannotOpen(what, path, qt_error_string(error));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        cannotOpen(what, path, notAFile(info.st_mode));
    }
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        cannotOpen(what, path, file->errorString());
    }
#else
    const QFileInfo info(path);
    if (info.exists() && info.isDir())
        cannotOpen(what, path, lang(LangKey::message_File_IsFolder));
    file->setFileName(path);
    if (!file->open(QIODevice::ReadOnly))
        cannotOpen(what, path, file->errorString());
#endif
    return file;
}

QByteArray readInput(QIODevice &device, qint64 maxSize, const QString &what, const QString &name)
{
    auto fail = [&](const QString &reason) {
        throw UserError(lang(LangKey::message_File_CannotRead, {{'w', what}, {'f', name}, {'r', reason}}));
    };
    auto tooLarge = [&] { fail(lang(LangKey::message_File_TooLarge, {{'c', sizeText(maxSize)}, {'w', what}})); };
    if (!device.isSequential() && device.size() - device.pos() > maxSize)
        tooLarge();

    // In pieces: the size a device reports is only a hint (a file may grow while it is read).
    constexpr qint64 Piece = 1 << 20;
    QByteArray bytes;
    if (!device.isSequential())
        bytes.reserve(device.size() - device.pos() + Piece); // no doubling on the way
    for (;;) {
        const qsizetype start = bytes.size();
        const qint64 want = std::min<qint64>(Piece, maxSize + 1 - start);
        bytes.resize(start + want);
        const qint64 got = device.read(bytes.data() + start, want);
        if (got < 0)
            fail(device.errorString());
        bytes.resize(start + got);
        if (bytes.size() > maxSize)
            tooLarge();
        if (got == 0 && !device.waitForReadyRead(-1))
            break;
    }
    bytes.squeeze();
    return bytes;
}

QByteArray readInputHead(const QString &path, qint64 limit, const QString &what)
{
    const std::unique_ptr<QFile> file = openInputFile(path, what);
    // One byte past the size the file reports tells at once whether it has grown.
    QByteArray bytes;
    bytes.resize(qsizetype(std::min<qint64>(limit, file->size() + 1)));
    qsizetype done = 0;
    while (done < limit) {
        if (done == bytes.size())
            bytes.resize(qsizetype(std::min<qint64>(limit, qint64(bytes.size()) * 2 + 4096)));
        const qint64 got = file->read(bytes.data() + done, bytes.size() - done);
        if (got < 0)
            throw UserError(
                lang(LangKey::message_File_CannotRead, {{'w', what}, {'f', path}, {'r', file->errorString()}}));
        if (got == 0)
            break;
        done += qsizetype(got);
    }
    bytes.truncate(done);
    return bytes;
}

QString sizeText(qint64 bytes)
{
    if (bytes >= (qint64(1) << 20) && bytes % (qint64(1) << 20) == 0)
        return lang(LangKey::message_Size_MB, {{'c', QString::number(bytes >> 20)}});
    if (bytes >= 1024 && bytes % 1024 == 0)
        return lang(LangKey::message_Size_KB, {{'c', QString::number(bytes >> 10)}});
    return lang(LangKey::message_Size_Bytes, {{'c', QString::number(bytes)}});
}

} // namespace tervelle
