#include "cli/cli.h"

#include "core/inputfile.h"
#include "core/langcheck.h"
#include "core/langload.h"

#include <QFile>

#include <memory>

namespace tervelle::cli {

int runLangCheck(const QStringList &args)
{
    if (args.size() != 1)
        throw UsageError(QStringLiteral("usage: tervelle-pack lang-check LANGFILE"));
    // The findings quote the program's own refusals, in the language the program speaks.
    InitLanguage();
    const QString &path = args.first();
    const std::unique_ptr<QFile> file = openInputFile(path, QStringLiteral("language file"));
    const QByteArray bytes = readInput(*file, MaxLanguageFileSize, QStringLiteral("language file"), path);
    const QStringList problems = checkLanguageBytes(bytes, path);
    for (const QString &problem : problems)
        printLine(problem);
    return problems.isEmpty() ? ExitOk : ExitFailed;
}

} // namespace tervelle::cli
