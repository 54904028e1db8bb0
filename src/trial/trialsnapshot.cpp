#include "trial/trialsnapshot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace tervelle {

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

FolderSnapshot takeSnapshot(const QString &root)
{
    FolderSnapshot snapshot;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString relative = base.relativeFilePath(info.filePath());
        if (info.isSymLink()) {
            // A link the installer made is a file it wrote; what it points at is not looked at.
            snapshot.files[relative] = {
                0, QCryptographicHash::hash(info.symLinkTarget().toUtf8(), QCryptographicHash::Sha256)};
        } else if (info.isDir()) {
            snapshot.folders.insert(relative);
        } else {
            snapshot.files[relative] = {info.size(), fileHash(info.filePath())};
        }
    }
    return snapshot;
}

} // namespace tervelle
