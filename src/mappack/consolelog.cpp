#include "mappack/consolelog.h"

#include "core/langload.h"
#include "core/safesave.h"
#include "core/textcodec.h"

#include <algorithm>

namespace tervelle {

QString withDefaultExtension(const QString &fileName, const QString &extension)
{
    QString suffix = extension;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    if (suffix.isEmpty() || fileName.isEmpty())
        return fileName;
    qsizetype nameStart = fileName.lastIndexOf(QLatin1Char('/')) + 1;
#ifdef Q_OS_WIN
    nameStart = std::max(nameStart, fileName.lastIndexOf(QLatin1Char('\\')) + 1);
#endif
    if (fileName.indexOf(QLatin1Char('.'), nameStart) >= 0)
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}

QString consoleFileName(const QString &fileName)
{
    return withDefaultExtension(fileName, GetLangText(QStringLiteral("[dlgCompile.DefaultExt]")));
}

QByteArray consoleFileBytes(const QStringList &lines)
{
    const TextCodec &codec = textCodec();
    QByteArray bytes;
    for (const QString &line : lines) {
        // Line by line, so a refusal names the one line rather than the whole console.
        bytes += codec.encode(line);
        bytes += "\r\n";
    }
    return bytes;
}

void SaveConsoleToFile(const QString &path, const QStringList &lines)
{
    replaceFileContents(path, consoleFileBytes(lines));
}

} // namespace tervelle
