#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/common.h"
#include "core/errors.h"

#include "mappack/compiler.h"
#include "mappack/packplan.h"

#include <optional>

namespace tervelle {
class ProjectDocument;
class ProjectModel;
} // namespace tervelle

namespace tervelle::cli {

// Exit statuses of tervelle-pack.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

// A command line that does not fit its command: exit status 2 instead of 1.
class UsageError : public UserError
{
public:
    using UserError::UserError;
};

// One line on standard error, the way every failure is reported; control characters are
// written visibly.
void printError(const QString &message);
// One text line on standard output, control characters written visibly: the tool prints project
// texts, texts of "Lang.lng" and the compiler's output, and a terminal must show an escape
// sequence in any of them, never run it. Throws UserError when it cannot be written.
void printLine(const QString &line);
// Bytes to standard output, unchanged; false when they could not be written.
bool writeStdout(const QByteArray &bytes);
// The same for a command whose output is its result: throws UserError when it fails.
void printBytes(const QByteArray &bytes);

// Reads the settings and the language table as the editor does, then opens the project file
// into `document`, as File, Open does, and returns the settings. Throws UserError when it
// cannot be read.
Settings openProject(ProjectDocument &document, const QString &path);

// The arguments of script and build: "PROJECT.mpr --out INSTALLER [--appdir DIR]".
struct PackArguments
{
    QString project;
    QString installer;           // absolute
    QString appDir;              // absolute with a trailing separator, or empty for the settings rule
    bool takeOverLock = false;   // build: take over an old lock another computer left
    bool publishPrivate = false; // build: sources from hidden or system folders may be packed
};
// Throws UsageError when the arguments do not fit.
PackArguments parsePackArguments(const QStringList &args, const QString &command);
// Opens the project and returns the settings with --appdir applied, as both commands start.
Settings openPackProject(ProjectDocument &document, const PackArguments &parsed);

// The build console on standard output (or standard error): one UTF-8 line per console line.
class StreamConsole : public ConsoleSink
{
public:
    explicit StreamConsole(bool toStderr = false) : m_toStderr(toStderr) {}
    void appendConsoleLine(const QString &line) override;
    // Standard output could not be written: the build ends as a failure.
    bool failed() const { return m_failed; }

private:
    bool m_toStderr;
    bool m_failed = false;
};

// The plan of a build of the project (planBuild), or none when the review refuses it: then its
// errors are printed one a line on standard error, and that nothing was built.
std::optional<PackPlan> planOrRefuse(const ProjectModel &project, const Settings &settings);

// "Save map pack" of the plan for `installer`, the console's lines to `console`: true when the
// compiler succeeded. The caller installs the termination handler first; a termination ends the
// wait, and the session leaves the earlier installer.
bool buildInstaller(const PackPlan &plan, const Settings &settings, const QString &installer, StreamConsole &console,
                    bool takeOverLock);

// Commands: each gets the arguments after its name, returns the exit status of its success and
// throws UserError (or UsageError) for a failure, which main() prints.
// Commands: each gets the arguments after its name.
int runLangTemplate(const QStringList &args);
// Exit status 1 when the language file is incomplete or holds a broken entry.
int runLangCheck(const QStringList &args);
int runTga2Png(const QStringList &args);
int runInfo(const QStringList &args);
int runMapList(const QStringList &args);
int runResave(const QStringList &args);
int runScript(const QStringList &args);
int runBuild(const QStringList &args);
// Exit status 1 when the review finds errors (with --strict, warnings too).
int runCheck(const QStringList &args);
// Exit status 1 when the installer did not do what the project says or the trial failed, 2
// without Wine.
int runTry(const QStringList &args);

} // namespace tervelle::cli
