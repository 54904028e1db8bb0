#include "mappack/consolelog.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/safesave.h"
#include "core/textcodec.h"

#include <algorithm>
#include <type_traits>

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

namespace {

// The one place that turns a failed safe save into the message for the map maker, whether the
// safe save answers with the system's reason or throws its own UserError.
template <typename Bytes>
void saveConsoleBytes(const QString &path, const Bytes &bytes)
{
    if constexpr (std::is_void_v<decltype(replaceFileContents(path, bytes))>) {
        replaceFileContents(path, bytes);
    } else {
        const QString reason = replaceFileContents(path, bytes);
        if (!reason.isEmpty())
            throw UserError(QStringLiteral("Cannot save the console to \"%1\": %2").arg(path, reason));
    }
}

} // namespace

void SaveConsoleToFile(const QString &path, const QStringList &lines)
{
    saveConsoleBytes(path, consoleFileBytes(lines));
}

} // namespace tervelle
