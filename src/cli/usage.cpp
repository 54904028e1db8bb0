#include "cli/usage.h"

#include "cli/cli.h"

#include <QCommandLineParser>

namespace tervelle::cli {

namespace {

const char ReadExitStatus[] = "0  done\n"
                              "1  the input cannot be read or the output cannot be written\n"
                              "2  the command line does not fit the command";

const CommandOption AppDirOption{"--appdir", "DIR",
                                 "Take DIR as the program folder that holds the compiler folder iscc/, instead of the "
                                 "AppDir setting."};
const CommandOption OutOption{"--out", "INSTALLER",
                              "The installer to build, absolute or relative to the current folder."};

// Words filled into lines of at most 79 columns, each line after `indent` spaces.
QString wrapped(const QString &text, int indent)
{
    const QString margin(indent, QLatin1Char(' '));
    QString out;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > 79) {
            out += margin + line + QLatin1Char('\n');
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return out + margin + line + QLatin1Char('\n');
}

} // namespace

const std::vector<CommandHelp> &commandHelps()
{
    static const std::vector<CommandHelp> commands = {
        {"info",
         "PROJECT.mpr",
         "Print a readable summary of a project.",
         "Prints the pack fields, the header rows, the maps with their properties, and the files tree with each "
         "node's absolute index, kind, whether it is a pack file, its source and where the installer puts it.",
         {},
         ReadExitStatus},
        {"maplist",
         "PROJECT.mpr",
         "Write the project's map list file to standard output.",
         "Writes the bytes of the map list file (.mpl) that \"Save map pack\" stages for this project.",
         {},
         ReadExitStatus},
        {"script",
         "PROJECT.mpr --out INSTALLER [--appdir DIR]",
         "Write the installer script to standard output.",
         "Writes the bytes of the setup.iss that \"Save map pack\" would generate with INSTALLER as the chosen "
         "path. Writes nothing else anywhere.",
         {OutOption, AppDirOption},
         ReadExitStatus},
        {"build",
         "PROJECT.mpr --out INSTALLER [--appdir DIR] [--publish-private] [--take-over-lock]",
         "Build the installer as \"Save map pack\" does.",
         "Reviews the pack, writes the map list into the staging folder and setup.iss into the compiler folder, runs "
         "the compiler and prints every line of the build console, ending with \"Done\" or the failure line. "
         "Errors of the review stop the build before the compiler and are printed on standard error; warnings are "
         "the first console lines. An installer that already exists is kept aside and put back when the build "
         "fails.",
         {OutOption,
          AppDirOption,
          {"--publish-private", nullptr,
           "Pack sources that lie in hidden or system folders too; without it such a source stops the build."},
          {"--take-over-lock", nullptr,
           "Take over the compiler folder's lock when it was left by a build on another host that can no longer "
           "be asked."}},
         "0  the compiler ended with success\n"
         "1  errors of the review, a compiler that failed or did not start, or an end\n"
         "2  the command line does not fit the command"},
        {"check",
         "PROJECT.mpr [--strict] [--json]",
         "Review the pack and print what it finds.",
         "Prints the findings of the pack review, one a line (error, warning or note, where it lies, the message "
         "and what would fix it), then a summary line; or, with --json, one JSON document holding the findings and "
         "the counts.",
         {{"--strict", nullptr, "Fail on warnings too."},
          {"--json", nullptr, "Write one JSON document instead of lines."}},
         "0  no errors (with --strict: no warnings either)\n"
         "1  errors were found (with --strict: warnings too), or no project was read\n"
         "2  the command line does not fit the command"},
        {"try",
         "PROJECT.mpr [--installer FILE.exe] [--game-folder DIR] [--appdir DIR] [--keep DIR] [--json]",
         "Install and uninstall the pack on a stand-in machine and compare with the project.",
         "Builds a temporary installer as build does (or takes FILE.exe), then runs it silently under Wine on a "
         "stand-in player's machine: a throwaway Wine prefix copied from a template made once per user in the cache "
         "folder, the launcher's registry values pointing at stand-in launcher and game folders inside it. Then its "
         "uninstaller runs silently. Prints every file the installer wrote with its size and the tree node it came "
         "from, the files it replaced and where their backups went, the folders it made, what uninstall removed and "
         "what stays, the disk use, and every difference from what the project says: a file that landed elsewhere, "
         "did not land or landed with other bytes, and any file nobody asked for. When the game folder is known "
         "(the WormsDir setting, or --game-folder), the stand-in game folder gets its folder and file names as empty "
         "files, so that replaced game files show; the game folder itself is never read or written. The user's own "
         "Wine prefix is never used, and the stand-in machine is removed at the end, also when the trial is ended "
         "by a signal.",
         {{"--installer", "FILE.exe", "Try this installer instead of building one."},
          {"--game-folder", "DIR",
           "Copy the folder and file names of DIR, as empty files, into the stand-in game folder, instead of those "
           "of the WormsDir setting."},
          AppDirOption,
          {"--keep", "DIR", "Leave the stand-in machine (its Wine prefix) in DIR, which must not exist yet."},
          {"--json", nullptr, "Write one JSON document instead of lines; the progress goes to standard error."}},
         "0  install and uninstall succeeded and the installer did what the project says\n"
         "1  a difference from the project, a failed build, install or uninstall, or an end\n"
         "2  the command line does not fit the command, or Wine is not installed"},
        {"resave",
         "IN.mpr OUT.mpr",
         "Open a project and save it again.",
         "Opens IN as File, Open does and saves it to OUT as Save project does. Nothing is written unless IN was "
         "read whole.",
         {},
         ReadExitStatus},
        {"tga2png",
         "IN.tga OUT.png",
         "Decode a TGA picture with the editor's reader and write it as PNG.",
         "Decodes IN as the preview does, transparent pixels blended on the checkerboard, and writes OUT: 3-byte "
         "pictures as RGB, 4-byte pictures as RGBA with the alpha byte unchanged. A picture the reader declines "
         "writes no OUT.",
         {},
         ReadExitStatus},
        {"lang-template",
         "[LANGFILE]",
         "Write a complete language file to standard output.",
         "Writes every entry of the language table in order, key=value with CR LF line ends, in the settings' "
         "code page: the built-in texts, overridden by LANGFILE when it is given. A start for a translation.",
         {},
         ReadExitStatus},
        {"lang-check",
         "LANGFILE",
         "Check a translation against the program's language table.",
         "Prints one line for each key LANGFILE lacks, each key the program does not know, each text whose "
         "placeholders (/f, /k, /p, ..., written //f in the file) differ from the English text's, each line the code page cannot hold, "
         "and each text that fails the checks of typed texts where the program carries it: the group captions "
         "into project files, the default folder name and keys into the project, the build's messages into "
         "console lines. The program keeps its built-in text for such an entry.",
         {},
         "0  the file is complete and clean\n"
         "1  something is missing, unknown or broken, or the file cannot be read\n"
         "2  the command line does not fit the command"},
        {"help",
         "[COMMAND]",
         "Show this help, or the help of COMMAND.",
         "Shows the usage, or one command's help.",
         {},
         "0  done\n"
         "2  there is no such command"},
    };
    return commands;
}

const CommandHelp *findCommandHelp(const QString &name)
{
    for (const CommandHelp &command : commandHelps()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString versionText()
{
    return QStringLiteral("tervelle-pack " TERVELLE_VERSION "\n");
}

QString usageText()
{
    QString text = QStringLiteral("usage: tervelle-pack COMMAND [ARGUMENTS]\n"
                                  "       tervelle-pack --help | --version\n\n"
                                  "Builds and inspects map pack projects without the editor's window.\n\n"
                                  "Commands:\n");
    for (const CommandHelp &command : commandHelps())
        text += QStringLiteral("  %1%2\n").arg(QLatin1String(command.name), -15).arg(QLatin1String(command.summary));
    text += QStringLiteral("\nOptions:\n"
                           "  -h, --help     Show this help.\n"
                           "  --version      Show the program's version.\n\n"
                           "\"tervelle-pack help COMMAND\" shows a command's arguments, options and exit statuses.\n");
    return text;
}

QString commandUsageLine(const CommandHelp &command)
{
    return QStringLiteral("usage: tervelle-pack %1 %2")
        .arg(QLatin1String(command.name), QLatin1String(command.synopsis));
}

QString commandHelpText(const CommandHelp &command)
{
    QString text = commandUsageLine(command) + QStringLiteral("\n\n") + wrapped(QLatin1String(command.text), 0);
    if (!command.options.empty()) {
        text += QStringLiteral("\nOptions:\n");
        for (const CommandOption &option : command.options) {
            QString name = QLatin1String(option.name);
            if (option.valueName)
                name += QLatin1Char(' ') + QLatin1String(option.valueName);
            text += QStringLiteral("  %1\n").arg(name) + wrapped(QLatin1String(option.text), 6);
        }
    }
    text += QStringLiteral("\nExit status:\n  ")
        + QString::fromLatin1(command.exitStatus).replace(QLatin1Char('\n'), QStringLiteral("\n  "))
        + QStringLiteral("\n");
    return text;
}

void checkCommandOptions(const CommandHelp &command, const QStringList &args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const CommandOption &option : command.options) {
        const QString name = QLatin1String(option.name).mid(2);
        if (option.valueName)
            parser.addOption(QCommandLineOption(name, QString(), QLatin1String(option.valueName)));
        else
            parser.addOption(QCommandLineOption(name));
    }
    if (parser.parse(QStringList{QStringLiteral("tervelle-pack")} + args))
        return;
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        throw UsageError(parser.errorText());
    // Named as it was typed: "-x" and "--x" both reach the parser as "x".
    for (const QString &arg : args) {
        const QString typed = arg.section(QLatin1Char('='), 0, 0);
        QString name = typed;
        while (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        if (typed.startsWith(QLatin1Char('-')) && name == unknown.first())
            throw UsageError(QStringLiteral("unknown option \"%1\"").arg(typed));
    }
    throw UsageError(QStringLiteral("unknown option \"%1\"").arg(unknown.first()));
}

} // namespace tervelle::cli
