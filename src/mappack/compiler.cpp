#include "mappack/compiler.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/textcodec.h"
#include "mappack/compilerfolder.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace tervelle {

namespace {

// Length of the valid UTF-8 sequence at `i`, or 0 when the byte there does not start one.
qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype i)
{
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

// A console line from the compiler's bytes: UTF-8, and each byte that is not part of a valid
// UTF-8 sequence by the code page.
QString decodeConsoleLine(QByteArrayView bytes, const TextCodec &codec)
{
    QString line;
    line.reserve(bytes.size());
    qsizetype runStart = 0; // start of the current run of valid UTF-8
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = utf8SequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        line += QString::fromUtf8(bytes.sliced(runStart, i - runStart));
        line += codec.decode(bytes.sliced(i, 1));
        runStart = ++i;
    }
    line += QString::fromUtf8(bytes.sliced(runStart));
    return line;
}

} // namespace

CompilerCommand compilerCommand(const Settings &settings)
{
    CompilerCommand command;
    command.workingFolder = compilerFolder(settings.AppDir) + QLatin1Char('/');
    command.compiler = compilerProgram(settings.AppDir);
    const QStringList compilerArguments{QLatin1String(SetupScriptName)};
#ifdef Q_OS_WIN
    command.program = command.compiler;
    command.arguments = compilerArguments;
#else
    // The launcher may carry arguments of its own ("xvfb-run wine").
    QStringList launcher = QProcess::splitCommand(settings.compilerLauncher);
    if (launcher.isEmpty())
        launcher << QStringLiteral("wine");
    command.program = launcher.takeFirst();
    command.arguments = launcher << command.compiler << compilerArguments;
#endif
    return command;
}

void CompilerRun::addLauncherEnvironment(QProcessEnvironment &environment)
{
#ifndef Q_OS_WIN
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
#else
    Q_UNUSED(environment);
#endif
}

CompilerRun::CompilerRun(ConsoleSink &sink, const Settings &settings, QObject *parent)
    : QObject(parent), m_sink(sink), m_settings(settings)
{
    qRegisterMetaType<tervelle::CompileResult>();
}

CompilerRun::~CompilerRun()
{
    if (m_process) {
        // Nothing more may reach a console that is going away with us. A compiler left running
        // would write its installer after the build has been given up and its earlier installer
        // put back, so it is stopped.
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning) {
#ifdef Q_OS_UNIX
            // With every process it started: a helper left running could still write.
            if (const qint64 pid = m_process->processId(); pid > 0)
                ::kill(-static_cast<pid_t>(pid), SIGKILL);
#endif
            m_process->kill();
            m_process->waitForFinished();
        }
    }
}

void CompilerRun::releaseProcess()
{
    // Often called from the process's own signal, which still uses the object after we return.
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
    }
}

void CompilerRun::Compile(const QString &locale)
{
    if (m_running)
        return;
    const CompilerCommand command = compilerCommand(m_settings);
    m_buffer.clear();
    m_scanFrom = 0;

    // Under a launcher a missing compiler would still start the launcher; look first.
    if (!QFileInfo(command.compiler).isFile()) {
        failToLaunch();
        return;
    }
    releaseProcess();
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setInputChannelMode(QProcess::ManagedInputChannel);
    m_process->setWorkingDirectory(command.workingFolder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    addLauncherEnvironment(environment);
    if (!locale.isEmpty())
        environment.insert(QStringLiteral("LC_ALL"), locale);
    m_process->setProcessEnvironment(environment);
#ifdef Q_OS_UNIX
    const pid_t parent = ::getpid();
    m_process->setChildProcessModifier([parent] {
        // A process group of its own, which the build ends with every process the compiler started.
        ::setpgid(0, 0);
#ifdef Q_OS_LINUX
        // Ended with us even when we are killed outright and cannot end it ourselves.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
        if (::getppid() != parent)
            ::_exit(127);
    });
#endif
    connect(m_process, &QProcess::started, this, [this] {
        m_sink.appendConsoleLine(lang(LangKey::message_Compile_Start));
        emit started();
    });
    connect(m_process, &QProcess::readyRead, this, &CompilerRun::readOutput);
    connect(m_process, &QProcess::finished, this, &CompilerRun::processFinished);
    connect(m_process, &QProcess::errorOccurred, this, &CompilerRun::processError);

    m_running = true;
    m_process->start(command.program, command.arguments);
    // A start that failed at once has already released the process.
    if (m_process)
        m_process->closeWriteChannel();
}

void CompilerRun::readOutput()
{
    m_buffer += m_process->readAll();
    emitCompleteLines();
}

void CompilerRun::emitCompleteLines()
{
    const TextCodec &codec = textCodec();
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype end = m_buffer.indexOf("\r\n", std::max(m_scanFrom, lineStart));
        if (end < 0)
            break;
        m_sink.appendConsoleLine(decodeConsoleLine(QByteArrayView(m_buffer).sliced(lineStart, end - lineStart), codec));
        lineStart = end + 2;
    }
    m_buffer.remove(0, lineStart);
    // A CR at the very end may be the first half of a line end still to come.
    m_scanFrom = std::max<qsizetype>(0, m_buffer.size() - 1);
}

void CompilerRun::processFinished(int exitCode, QProcess::ExitStatus status)
{
    if (!m_running)
        return;
    m_buffer += m_process->readAll();
    releaseProcess();
    emitCompleteLines();
    if (!m_buffer.isEmpty())
        m_sink.appendConsoleLine(decodeConsoleLine(m_buffer, textCodec()));
    m_buffer.clear();
    m_scanFrom = 0;
    m_running = false;
    const bool success = status == QProcess::NormalExit && exitCode == 0 && (!m_outputCheck || m_outputCheck());
    m_sink.appendConsoleLine(lang(success ? LangKey::message_Compile_Success : LangKey::message_Compile_Error));
    emit finished(success ? CompileResult::Success : CompileResult::Error);
}

void CompilerRun::processError(QProcess::ProcessError error)
{
    // Crashes and read errors end in finished(); only a start that never happened ends here.
    if (error == QProcess::FailedToStart && m_running) {
        m_running = false;
        releaseProcess();
        failToLaunch();
    }
}

void CompilerRun::failToLaunch()
{
    m_sink.appendConsoleLine(lang(LangKey::message_Compile_Fail));
    emit finished(CompileResult::FailedToLaunch);
}

} // namespace tervelle
