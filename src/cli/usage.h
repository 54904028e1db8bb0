#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tervelle::cli {

// What a command line may hold: the commands with their arguments, options and exit statuses.
// The help, the check of a command line and the man page's test read this one table.

struct CommandOption
{
    const char *name;      // "--out"
    const char *valueName; // "INSTALLER", or nullptr for a switch
    const char *text;
};

struct CommandHelp
{
    const char *name;
    const char *synopsis; // the arguments after the name, as the usage line shows them
    const char *summary;  // one line for the command list
    const char *text;     // what it does, in full
    std::vector<CommandOption> options;
    const char *exitStatus;
};

const std::vector<CommandHelp> &commandHelps();
// nullptr when there is no such command.
const CommandHelp *findCommandHelp(const QString &name);

// The overview: usage, every command with its summary, the global options.
QString usageText();
// One command's help: usage line, what it does, options, exit statuses.
QString commandHelpText(const CommandHelp &command);
// "usage: tervelle-pack NAME SYNOPSIS"
QString commandUsageLine(const CommandHelp &command);
QString versionText();

// Checks the arguments after a command's name against its options; an option it does not
// have, or one missing its value, throws UsageError naming it.
void checkCommandOptions(const CommandHelp &command, const QStringList &args);

} // namespace tervelle::cli
