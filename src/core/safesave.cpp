#include "core/safesave.h"

#include "core/errors.h"
#include "core/langload.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace tervelle {

namespace {

// Unbuffered writes of the whole: a short write says nothing, the next attempt reports why.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

std::filesystem::path fsPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// The caller's message ("%1" the path, "%2" the reason), or the table's.
QString failureText(const QString &failure, const QString &path, const QString &reason)
{
    if (!failure.isEmpty())
        return failure.arg(path, reason);
    return lang(LangKey::message_File_CannotWrite, {{'f', path}, {'r', reason}});
}

} // namespace

void replaceFileContents(const QString &path, const QByteArray &bytes, const QString &failure)
{
    replaceFileContents(
        path, [&bytes](const ByteSink &write) { write(bytes); }, failure);
}

void replaceFileContents(const QString &path, const std::function<void(const ByteSink &)> &produce,
                         const QString &failure)
{
    QSaveFile file(path);
    const auto fail = [&] { throw UserError(failureText(failure, path, file.errorString())); };
    // Unbuffered: a buffered write that fails only while the file is committed can still have
    // the incomplete file renamed over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail();
    produce([&](const QByteArray &bytes) {
        if (!writeAll(file, bytes))
            fail();
    });
    if (!file.commit())
        fail();
}

void replaceFileNotFollowingLinks(const QString &path, const QByteArray &bytes, const QString &failure)
{
    replaceFileNotFollowingLinks(
        path, [&bytes](const ByteSink &write) { write(bytes); }, failure);
}

void replaceFileNotFollowingLinks(const QString &path, const std::function<void(const ByteSink &)> &produce,
                                  const QString &failure)
{
    // A file of our own, made new, then renamed over the name: a rename replaces a link itself.
    QTemporaryFile file(QFileInfo(path).absolutePath() + QStringLiteral("/.%1.XXXXXX").arg(QFileInfo(path).fileName()));
    const auto fail = [&](const QString &reason) { throw UserError(failureText(failure, path, reason)); };
    if (!file.open())
        fail(file.errorString());
    {
        // Unbuffered through its handle, so a full disk is told by the write that met it.
        QFile raw;
        if (!raw.open(file.handle(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
            fail(raw.errorString());
        produce([&](const QByteArray &bytes) {
            if (!writeAll(raw, bytes))
                fail(raw.errorString());
        });
    }
#ifndef Q_OS_WIN
    if (::fsync(file.handle()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    const QString written = file.fileName();
    file.close();
    std::error_code error;
    std::filesystem::rename(fsPath(written), fsPath(path), error);
    if (error)
        fail(QString::fromLocal8Bit(error.message()));
    file.setAutoRemove(false);
}

} // namespace tervelle
