#pragma once

#include <QByteArray>
#include <QString>

namespace tervelle {

// Writes `bytes` to `path` through a temporary file that replaces it only when complete, so a
// failed write leaves an earlier file as it was. Returns the system's reason on failure, or an
// empty text.
QString replaceFileContents(const QString &path, const QByteArray &bytes);

} // namespace tervelle
