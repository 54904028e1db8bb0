#include "cli/cli.h"

#include "core/langload.h"
#include "core/langtemplate.h"
#include "core/textcodec.h"

#include <QFileInfo>

namespace tervelle::cli {

int runLangTemplate(const QStringList &args)
{
    if (args.size() > 1)
        throw UsageError(QStringLiteral("usage: tervelle-pack lang-template [LANGFILE]"));
    // The built-in texts, overridden only by the file named here.
    for (int i = 0; i < LangCount; ++i)
        LangTexts[i] = QString::fromLatin1(LangDefaults[i]);
    if (!args.isEmpty()) {
        const QString path = args.first();
        // Only a regular file is read: a FIFO or a device would keep the command waiting.
        const QFileInfo info(path);
        if (!info.isFile()) {
            const QString what = !info.exists() && !info.isSymLink() ? QStringLiteral("does not exist")
                : info.isDir()                                       ? QStringLiteral("is a folder")
                                                                     : QStringLiteral("is not a regular file");
            throw UserError(QStringLiteral("the language file %1 %2").arg(path, what));
        }
        QString error;
        if (!LoadLanguageFile(path, &error))
            throw UserError(QStringLiteral("the language file %1 cannot be read: %2").arg(path, error));
    }
    printBytes(textCodec().encode(makeLangTemplate()));
    return ExitOk;
}

} // namespace tervelle::cli
