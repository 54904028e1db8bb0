#include "cli/cli.h"
#include "cli/usage.h"

#include "core/common.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/report.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
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

void printText(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

// A command line that names no command of ours: which word, then the usage, on standard error.
int misuse(const QString &message)
{
    printError(message);
    printText(stderr, tervelle::cli::usageText());
    return ExitUsage;
}

bool asksForHelp(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

int runHelp(const QStringList &args)
{
    if (args.isEmpty()) {
        printText(stdout, usageText());
        return ExitOk;
    }
    const CommandHelp *command = findCommandHelp(args.first());
    if (args.size() > 1 || !command)
        return misuse(QStringLiteral("unknown command \"%1\"").arg(args.join(QLatin1Char(' '))));
    printText(stdout, commandHelpText(*command));
    return ExitOk;
}

} // namespace

} // namespace tervelle::cli

int main(int argc, char *argv[])
{
    using namespace tervelle::cli;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tervelle-pack"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TERVELLE_VERSION));
    // What the core notices without failing (a settings file it leaves alone) is said once.
    tervelle::setProblemHandler(printError);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printText(stderr, usageText());
        return ExitUsage;
    }
    const QString command = args.takeFirst();
    if (asksForHelp(command))
        return runHelp({});
    if (command == QLatin1String("--version")) {
        printText(stdout, versionText());
        return ExitOk;
    }
    if (command == QLatin1String("help"))
        return runHelp(args);

    const std::map<QString, std::function<int(const QStringList &)>> commands = {
        {QStringLiteral("lang-template"), runLangTemplate},
        {QStringLiteral("lang-check"), runLangCheck},
        {QStringLiteral("tga2png"), runTga2Png},
        {QStringLiteral("info"), runInfo},
        {QStringLiteral("maplist"), runMapList},
        {QStringLiteral("resave"), runResave},
        {QStringLiteral("script"), runScript},
        {QStringLiteral("build"), runBuild},
        {QStringLiteral("check"), runCheck},
        {QStringLiteral("try"), runTry},
    };
    const auto found = commands.find(command);
    const CommandHelp *help = findCommandHelp(command);
    if (found == commands.end() || !help) {
        return misuse(command.startsWith(QLatin1Char('-')) ? QStringLiteral("unknown option \"%1\"").arg(command)
                                                           : QStringLiteral("unknown command \"%1\"").arg(command));
    }
    if (std::any_of(args.begin(), args.end(), asksForHelp)) {
        printText(stdout, commandHelpText(*help));
        return ExitOk;
    }
    try {
        checkCommandOptions(*help, args);
    } catch (const UsageError &e) {
        printError(e.message());
        printText(stderr, commandUsageLine(*help) + QLatin1Char('\n'));
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
