#include "mappack/installerguard.h"

#include "core/errors.h"
#include "core/report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tervelle {

namespace {

namespace fs = std::filesystem;

fs::path fsPath(const QString &path)
{
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    return fs::path(QFile::encodeName(path).toStdString());
#endif
}

QString reason(const std::error_code &error)
{
    return QString::fromLocal8Bit(error.message());
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

// Removing and renaming act on the name itself: a link is removed or moved, never its target.
bool removeFile(const QString &path, std::error_code &error)
{
    fs::remove(fsPath(path), error);
    return !error;
}

QString previousPrefix(const QString &installerName)
{
    return QStringLiteral(".%1.previous-").arg(installerName);
}

} // namespace

QString InstallerGuard::compilerTemporaryFile(const QString &installerPath)
{
    const QFileInfo info(installerPath);
    return QDir(info.absolutePath()).filePath(info.completeBaseName() + QStringLiteral(".e32.tmp"));
}

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
    throw UserError(
        QStringLiteral("The earlier installer %1 cannot be brought back: %2").arg(leftover, file.errorString()));
}

InstallerGuard::InstallerGuard(const QString &installerPath)
    : m_installer(QFileInfo(installerPath).absoluteFilePath())
    , m_folder(QFileInfo(m_installer).absolutePath())
    , m_compilerTmp(compilerTemporaryFile(m_installer))
{
    m_tmpExisted = occupied(m_compilerTmp);
    const fs::file_type type = typeAt(m_installer);
    if (type == fs::file_type::not_found) {
        holdName();
        return;
    }
    if (type == fs::file_type::symlink) {
        throw UserError(QStringLiteral("The installer %1 cannot be written: it is a symbolic link, and the compiler "
                                       "would write through it. Choose another name.")
                            .arg(m_installer));
    }
    if (type == fs::file_type::directory)
        throw UserError(QStringLiteral("The installer %1 cannot be written: it is a folder.").arg(m_installer));

    // Same folder, so the move is a rename that cannot fail halfway or fill the disk.
    const QFileInfo info(m_installer);
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = QDir(m_folder).filePath(
            previousPrefix(info.fileName()) + QString::number(QRandomGenerator::global()->generate(), 36));
        if (occupied(candidate))
            continue;
        fs::rename(fsPath(m_installer), fsPath(candidate), error);
        if (!error)
            m_kept = candidate;
        break;
    }
    if (m_kept.isEmpty()) {
        throw UserError(
            QStringLiteral("The installer %1 cannot be replaced: it cannot be moved aside while the new one "
                           "is built: %2")
                .arg(m_installer, error ? reason(error) : QStringLiteral("no free name")));
    }
    try {
        holdName();
    } catch (...) {
        rollBack();
        throw;
    }
}

InstallerGuard::~InstallerGuard()
{
    if (!m_done)
        rollBack();
}

void InstallerGuard::holdName()
{
    // Created new only: a link someone put there in the meantime makes this fail, not followed.
    QFile placeholder(m_installer);
    if (!placeholder.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        throw UserError(
            QStringLiteral("The installer %1 cannot be written: %2").arg(m_installer, placeholder.errorString()));
    }
}

void InstallerGuard::keep()
{
    if (m_done)
        return;
    const fs::file_type type = typeAt(m_installer);
    if (type == fs::file_type::symlink) {
        rollBack();
        reportProblem(
            QStringLiteral("The installer %1 was replaced by a symbolic link during the build; it was removed "
                           "and the earlier installer kept.")
                .arg(m_installer));
        return;
    }
    if (type != fs::file_type::regular || QFileInfo(m_installer).size() == 0) {
        rollBack();
        reportProblem(QStringLiteral("The compiler wrote no installer %1; the earlier one was kept.").arg(m_installer));
        return;
    }
    m_done = true;
    std::error_code error;
    if (!m_kept.isEmpty() && !removeFile(m_kept, error)) {
        reportProblem(QStringLiteral("The earlier installer, moved aside as %1, cannot be removed: %2")
                          .arg(m_kept, reason(error)));
    }
}

void InstallerGuard::rollBack()
{
    if (m_done)
        return;
    m_done = true;
    std::error_code error;
    // Only the compiler's own file, and only one that it made during this build.
    if (!m_tmpExisted && typeAt(m_compilerTmp) == fs::file_type::regular && !removeFile(m_compilerTmp, error)) {
        reportProblem(
            QStringLiteral("The compiler's temporary file %1 cannot be removed: %2").arg(m_compilerTmp, reason(error)));
    }
    if (m_kept.isEmpty()) {
        const fs::file_type type = typeAt(m_installer);
        if ((type == fs::file_type::regular || type == fs::file_type::symlink) && !removeFile(m_installer, error))
            reportProblem(
                QStringLiteral("The incomplete installer %1 cannot be removed: %2").arg(m_installer, reason(error)));
        return;
    }
    // The rename replaces whatever the compiler left in one step, a link included.
    fs::rename(fsPath(m_kept), fsPath(m_installer), error);
    if (error) {
        reportProblem(QStringLiteral("The earlier installer cannot be put back as %1; it is kept as %2: %3")
                          .arg(m_installer, m_kept, reason(error)));
    }
}

} // namespace tervelle
