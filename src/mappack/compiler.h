#pragma once

#include "core/common.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace tervelle {

// Where the build console's lines go: the editor's console panel, or standard output.
class ConsoleSink
{
public:
    virtual ~ConsoleSink() = default;
    virtual void appendConsoleLine(const QString &line) = 0;
};

enum class CompileResult { Success, Error, FailedToLaunch };

// The program, its arguments and its working folder for one compiler run.
struct CompilerCommand
{
    QString program;
    QStringList arguments;
    QString workingFolder;
    QString compiler; // the compiler itself, which must exist for the run to start
};

// AppDir + "iscc/iscc.exe" with "setup.iss", run in AppDir + "iscc/"; elsewhere than on Windows
// through the settings' launcher ("wine" by default).
CompilerCommand compilerCommand(const Settings &settings);

// One compiler run at a time, asynchronous: the output arrives through the event loop and the
// console gets the start message, every line the compiler writes (both of its channels, in the
// order they arrive, split at CR LF only), and the result message. The messages are looked up
// in the language table when they are written.
class CompilerRun : public QObject
{
    Q_OBJECT

public:
    explicit CompilerRun(ConsoleSink &sink, const Settings &settings, QObject *parent = nullptr);
    ~CompilerRun() override;

    // Starts the compiler with LC_ALL set to `locale` (compilerLocale; empty leaves it as it is)
    // and returns at once. A compiler that cannot be started gives only the failure message, and
    // finished(FailedToLaunch) before this returns or soon after.
    void Compile(const QString &locale);
    bool isRunning() const { return m_running; }
    // Asked when the compiler ended with 0, before the result message: false makes the run an
    // error (what the compiler wrote is not where it belongs).
    void setOutputCheck(std::function<bool()> check) { m_outputCheck = std::move(check); }

    // Environment added for the launcher (Wine's debug output off, no prompts for add-ons).
    static void addLauncherEnvironment(QProcessEnvironment &environment);

signals:
    // The compiler has started; the editor disables its panels until finished().
    void started();
    void finished(tervelle::CompileResult result);

private:
    void readOutput();
    void emitCompleteLines();
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void processError(QProcess::ProcessError error);
    void failToLaunch();
    void releaseProcess();

    ConsoleSink &m_sink;
    const Settings &m_settings;
    QProcess *m_process = nullptr;
    QByteArray m_buffer;
    qsizetype m_scanFrom = 0; // bytes before this hold no CR LF
    bool m_running = false;
    std::function<bool()> m_outputCheck;
};

} // namespace tervelle

Q_DECLARE_METATYPE(tervelle::CompileResult)
