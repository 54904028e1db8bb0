#include "mappack/stagedsources.h"

#include "core/errors.h"
#include "core/langload.h"
#include "mappack/compilerfolder.h"
#include "mappack/packplan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tervelle {

namespace {

QString stagedName()
{
    return QStringLiteral("staged");
}

} // namespace

StagedSources::StagedSources(const QString &appDir) : m_folder(stagedSourcesFolder(appDir))
{}

StagedSources::~StagedSources()
{
    removeAll();
}

void StagedSources::removeAll()
{
    m_staged = FolderHandle();
    // Only the folder this build made: someone may have put another in its place since.
    if (m_compilerFolder.isOpen() && entryAt(m_compilerFolder.fd(), stagedName()).sameAs(m_made))
        removeEntry(m_compilerFolder.fd(), stagedName());
    m_made = {};
}

void StagedSources::clearName()
{
    const Entry entry = entryAt(m_compilerFolder.fd(), stagedName());
    if (!entry.exists)
        return;
    // A link goes as a link; a folder only when it is ours, left by a killed build.
    if (!entry.isLink() && !(entry.isFolder() && entry.ownedByUs())) {
        throw UserError(lang(LangKey::message_Staging_Occupied, {{'f', QDir::toNativeSeparators(m_folder)}}));
    }
    if (const int error = removeEntry(m_compilerFolder.fd(), stagedName()); error != 0) {
        throw UserError(lang(LangKey::message_Staging_CannotRemove,
                             {{'f', QDir::toNativeSeparators(m_folder)}, {'r', systemReason(error)}}));
    }
}

void StagedSources::stage(const PackPlan &plan)
{
    removeAll();
    const QString compilerFolder = QFileInfo(m_folder).absolutePath();
    m_compilerFolder = openFolder(
        compilerFolder,
        lang(LangKey::message_Staging_CompilerFolder, {{'f', QStringLiteral("%1")}, {'r', QStringLiteral("%2")}}));
    // A killed build may have left copies behind, and others may have put something there.
    clearName();
    const SourceOverrides &copies = plan.staged();
    if (copies.isEmpty())
        return;
    // Made new and private: a name taken in the meantime fails here instead of being used.
    if (::mkdirat(m_compilerFolder.fd(), QFile::encodeName(stagedName()).constData(), 0700) != 0) {
        throw UserError(lang(LangKey::message_Staging_CannotMake,
                             {{'f', QDir::toNativeSeparators(m_folder)}, {'r', systemReason(errno)}}));
    }
    m_made = entryAt(m_compilerFolder.fd(), stagedName()).info;
    m_staged = openSubFolder(m_compilerFolder.fd(), stagedName());
    struct stat opened = {};
    if (!m_staged.isOpen() || ::fstat(m_staged.fd(), &opened) != 0 || opened.st_ino != m_made.st_ino
        || opened.st_dev != m_made.st_dev) {
        const int error = m_staged.isOpen() ? EBUSY : errno;
        removeAll();
        throw UserError(lang(LangKey::message_Staging_CannotOpen,
                             {{'f', QDir::toNativeSeparators(m_folder)}, {'r', systemReason(error)}}));
    }
    try {
        // In index order, so that a failure names the first file that fails.
        for (const PackFileEntry &entry : plan.entries()) {
            if (copies.contains(entry.absoluteIndex))
                copy(entry);
        }
    } catch (...) {
        removeAll();
        throw;
    }
}

void StagedSources::copy(const PackFileEntry &entry)
{
    const auto fail = [&entry](const QString &reason) {
        throw UserError(lang(LangKey::message_Staging_CannotCopy,
                             {{'f', QDir::toNativeSeparators(entry.source())}, {'r', reason}}));
    };
    QFile source(entry.source());
    if (!source.open(QIODevice::ReadOnly))
        fail(source.errorString());
    const QByteArray name = QFile::encodeName(NumberedName(entry.absoluteIndex));
    const int fd =
        ::openat(m_staged.fd(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        fail(systemReason(errno));
    QFile target;
    if (!target.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(target.errorString());
    }
    QByteArray chunk;
    while (!(chunk = source.read(1 << 20)).isEmpty()) {
        if (target.write(chunk) != chunk.size())
            fail(target.errorString());
    }
    if (source.error() != QFileDevice::NoError)
        fail(source.errorString());
    if (!target.flush())
        fail(target.errorString());
}

} // namespace tervelle
