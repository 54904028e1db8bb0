#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace tervelle {
class ProjectModel;
}

namespace tervelle::cli {

// Exit statuses of tervelle-pack.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

// One line on standard error, the way every failure is reported; control characters are
// written visibly.
void printError(const QString &message);
// Bytes to standard output, unchanged.
bool writeStdout(const QByteArray &bytes);
// Makes a file's bytes and writes them to standard output: the exit status of a command whose
// whole work that is. A UserError while making them is reported and nothing is written.
int printBytes(const std::function<QByteArray()> &makeBytes);

// Reads the settings and the language table as the editor does, then opens the project file
// into `project`. On failure prints the reason and returns false.
bool openProject(ProjectModel &project, const QString &path);

// The arguments of script and build: "PROJECT.mpr --out INSTALLER [--appdir DIR]".
struct PackArguments
{
    QString Project;
    QString Installer; // absolute
    QString AppDir;    // absolute with a trailing separator, or empty for the settings rule
};
// False, after printing the usage line, when the arguments do not fit.
bool parsePackArguments(const QStringList &args, const QString &command, PackArguments &parsed);
// Opens the project and applies --appdir, as both commands start.
bool openPackProject(ProjectModel &project, const PackArguments &parsed);

// Commands: each gets the arguments after its name.
int runLangTemplate(const QStringList &args);
int runTga2Png(const QStringList &args);
int runInfo(const QStringList &args);
int runMapList(const QStringList &args);
int runResave(const QStringList &args);
int runScript(const QStringList &args);
int runBuild(const QStringList &args);

} // namespace tervelle::cli
