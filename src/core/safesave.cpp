#include "core/safesave.h"

#include "core/errors.h"

#include <QSaveFile>

namespace tervelle {

void replaceFileContents(const QString &path, const QByteArray &bytes, const QString &failure)
{
    QSaveFile file(path);
    const auto fail = [&] { throw UserError(failure.arg(path, file.errorString())); };
    // Unbuffered: a buffered write that fails only while the file is committed can still have
    // the incomplete file renamed over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail();
    qint64 done = 0;
    while (done < bytes.size()) {
        // A short write says nothing; the next attempt reports the system's reason.
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            fail();
        done += written;
    }
    if (!file.commit())
        fail();
}

} // namespace tervelle
