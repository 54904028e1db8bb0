#include "mappack/consolelog.h"

#include "core/langload.h"
#include "core/safesave.h"
#include "core/textcodec.h"

#include <algorithm>

namespace tervelle {

namespace {

// The console's lines as the saved file holds them: in the program's code page, each ended by
// CR LF. Throws UserError naming a line the code page cannot hold.
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

} // namespace

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
    return withDefaultExtension(fileName, lang(LangKey::dlgCompile_DefaultExt));
}

void SaveConsoleToFile(const QString &path, const QStringList &lines)
{
    replaceFileContents(path, consoleFileBytes(lines));
}

} // namespace tervelle
