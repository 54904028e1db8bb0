#include "cli/cli.h"

#include "core/common.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/report.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <functional>
#include <map>

namespace tervelle::cli {

void printError(const QString &message)
{
    // Messages quote project texts; a terminal must show an escape sequence, never run it.
    std::fprintf(stderr, "tervelle-pack: %s\n", escapeControlCharacters(message).toUtf8().constData());
}

bool writeStdout(const QByteArray &bytes)
{
    std::fflush(stdout);
    const std::size_t written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return written == std::size_t(bytes.size()) && std::fflush(stdout) == 0;
}

void printBytes(const QByteArray &bytes)
{
    if (!writeStdout(bytes))
        throw UserError(QStringLiteral("cannot write to standard output"));
}

void printLine(const QString &line)
{
    printBytes(escapeControlCharacters(line).toUtf8() + '\n');
}

namespace {

const char Usage[] = "usage: tervelle-pack COMMAND ...\n"
                     "  info PROJECT.mpr\n"
                     "  maplist PROJECT.mpr\n"
                     "  script PROJECT.mpr --out INSTALLER [--appdir DIR]\n"
                     "  build PROJECT.mpr --out INSTALLER [--appdir DIR]\n"
                     "  check PROJECT.mpr [--strict]\n"
                     "  resave IN.mpr OUT.mpr\n"
                     "  tga2png IN.tga OUT.png\n"
                     "  lang-template [LANGFILE]\n";

} // namespace

} // namespace tervelle::cli

int main(int argc, char *argv[])
{
    using namespace tervelle::cli;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tervelle-pack"));
    // What the core notices without failing (a settings file it leaves alone) is said once.
    tervelle::setProblemHandler(printError);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs(Usage, stderr);
        return ExitUsage;
    }
    const QString command = args.takeFirst();

    const std::map<QString, std::function<int(const QStringList &)>> commands = {
        {QStringLiteral("lang-template"), runLangTemplate},
        {QStringLiteral("tga2png"), runTga2Png},
        {QStringLiteral("info"), runInfo},
        {QStringLiteral("maplist"), runMapList},
        {QStringLiteral("resave"), runResave},
        {QStringLiteral("script"), runScript},
        {QStringLiteral("build"), runBuild},
        {QStringLiteral("check"), runCheck},
    };
    const auto found = commands.find(command);
    if (found == commands.end()) {
        printError(QStringLiteral("unknown command \"%1\"").arg(command));
        std::fputs(Usage, stderr);
        return ExitUsage;
    }
    try {
        return found->second(args);
    } catch (const UsageError &e) {
        printError(e.message());
        return ExitUsage;
    } catch (const tervelle::UserError &e) {
        printError(e.message());
        return ExitFailed;
    }
}
