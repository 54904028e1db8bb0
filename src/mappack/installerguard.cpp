#include "mappack/installerguard.h"

#include "core/errors.h"
#include "core/report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace tervelle {

namespace {

std::filesystem::path fsPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString reason(const std::error_code &error)
{
    return QString::fromLocal8Bit(error.message());
}

// A file that exists, a dangling link included.
bool occupied(const QString &path)
{
    std::error_code error;
    return std::filesystem::symlink_status(fsPath(path), error).type() != std::filesystem::file_type::not_found;
}

bool removeFile(const QString &path, std::error_code &error)
{
    std::filesystem::remove(fsPath(path), error);
    return !error;
}

} // namespace

InstallerGuard::InstallerGuard(const QString &installerPath)
    : m_installer(QFileInfo(installerPath).absoluteFilePath()), m_folder(QFileInfo(m_installer).absolutePath())
{
    m_tmpBefore = tmpFiles();
    if (!occupied(m_installer))
        return;
    const QFileInfo info(m_installer);
    if (info.isDir())
        throw UserError(QStringLiteral("The installer %1 cannot be written: it is a folder.").arg(m_installer));

    // Same folder, so the move is a rename that cannot fail halfway or fill the disk.
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = QDir(m_folder).filePath(
            QStringLiteral(".%1.previous-%2").arg(info.fileName(), QString::number(QRandomGenerator::global()->generate(), 36)));
        if (occupied(candidate))
            continue;
        std::filesystem::rename(fsPath(m_installer), fsPath(candidate), error);
        if (!error)
            m_kept = candidate;
        break;
    }
    if (m_kept.isEmpty()) {
        throw UserError(QStringLiteral("The installer %1 cannot be replaced: it cannot be moved aside while the new one "
                                       "is built: %2")
                            .arg(m_installer, error ? reason(error) : QStringLiteral("no free name")));
    }
}

InstallerGuard::~InstallerGuard()
{
    if (!m_done)
        rollBack();
}

QStringList InstallerGuard::tmpFiles() const
{
    return QDir(m_folder).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden | QDir::System);
}

void InstallerGuard::keep()
{
    if (m_done)
        return;
    if (!occupied(m_installer)) {
        rollBack();
        reportProblem(QStringLiteral("The compiler wrote no installer %1; the earlier one was kept.").arg(m_installer));
        return;
    }
    m_done = true;
    std::error_code error;
    if (!m_kept.isEmpty() && !removeFile(m_kept, error)) {
        reportProblem(QStringLiteral("The earlier installer, moved aside as %1, cannot be removed: %2").arg(m_kept, reason(error)));
    }
}

void InstallerGuard::rollBack()
{
    if (m_done)
        return;
    m_done = true;
    std::error_code error;
    for (const QString &name : tmpFiles()) {
        if (!m_tmpBefore.contains(name) && !removeFile(QDir(m_folder).filePath(name), error))
            reportProblem(QStringLiteral("The compiler's temporary file %1 cannot be removed: %2")
                              .arg(QDir(m_folder).filePath(name), reason(error)));
    }
    if (m_kept.isEmpty()) {
        if (occupied(m_installer) && !removeFile(m_installer, error))
            reportProblem(QStringLiteral("The incomplete installer %1 cannot be removed: %2").arg(m_installer, reason(error)));
        return;
    }
    // The rename replaces whatever the compiler left in one step.
    std::filesystem::rename(fsPath(m_kept), fsPath(m_installer), error);
    if (error) {
        reportProblem(QStringLiteral("The earlier installer cannot be put back as %1; it is kept as %2: %3")
                          .arg(m_installer, m_kept, reason(error)));
    }
}

} // namespace tervelle
