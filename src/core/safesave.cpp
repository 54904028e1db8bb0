#include "core/safesave.h"

#include <QSaveFile>

namespace tervelle {

QString replaceFileContents(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write that fails only while the file is committed can still have
    // the incomplete file renamed over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 done = 0;
    while (done < bytes.size()) {
        // A short write says nothing; the next attempt reports the system's reason.
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return file.errorString();
        done += written;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace tervelle
