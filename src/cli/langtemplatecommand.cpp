#include "cli/cli.h"

#include "core/langload.h"
#include "core/langtemplate.h"
#include "core/textcodec.h"

namespace tervelle::cli {

int runLangTemplate(const QStringList &args)
{
    if (args.size() > 1)
        throw UsageError(QStringLiteral("usage: tervelle-pack lang-template [LANGFILE]"));
    // The built-in texts, overridden only by the file named here.
    useBuiltInTexts();
    if (!args.isEmpty()) {
        // The reader says what is wrong: missing, a folder, a FIFO, undecodable.
        LoadLanguageFile(args.first());
    }
    printBytes(textCodec().encode(makeLangTemplate()));
    return ExitOk;
}

} // namespace tervelle::cli
