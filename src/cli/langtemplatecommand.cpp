#include "cli/cli.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/langtemplate.h"
#include "core/textcodec.h"

namespace tervelle::cli {

int runLangTemplate(const QStringList &args)
{
    if (args.size() > 1) {
        printError(QStringLiteral("usage: tervelle-pack lang-template [LANGFILE]"));
        return ExitUsage;
    }
    // The built-in texts, overridden only by the file named here.
    for (int i = 0; i < LangCount; ++i)
        LangTexts[i] = QString::fromLatin1(LangDefaults[i]);
    if (!args.isEmpty()) {
        // The reader says what is wrong: missing, a folder, a FIFO, undecodable.
        try {
            LoadLanguageFile(args.first());
        } catch (const UserError &e) {
            printError(e.message());
            return ExitFailed;
        }
    }
    return printBytes([&] { return textCodec().encode(makeLangTemplate()); });
}

} // namespace tervelle::cli
