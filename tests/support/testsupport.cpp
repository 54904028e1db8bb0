#include "support/testsupport.h"

#include "core/langload.h"
#include "core/report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <stdexcept>

namespace tervelle::test {

TempConfigHome::TempConfigHome()
{
    m_hadPrevious = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
}

TempConfigHome::~TempConfigHome()
{
    if (m_hadPrevious)
        qputenv("XDG_CONFIG_HOME", m_previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QString TempConfigHome::editorFile() const
{
    return m_dir.path() + QStringLiteral("/Orbeck/Tervelle.conf");
}

QString TempConfigHome::launcherFile() const
{
    return m_dir.path() + QStringLiteral("/Orbeck/Quorvane.conf");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray crlfLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

PackRun runPack(const QStringList &args, const QString &workingDir)
{
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral(TERVELLE_BINARY_DIR "/tervelle-pack"), args);
    if (!process.waitForFinished(120000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

ProblemCapture::ProblemCapture()
{
    m_previous = setProblemHandler([this](const QString &message) { m_problems << message; });
}

ProblemCapture::~ProblemCapture()
{
    setProblemHandler(m_previous);
}

void resetLanguage()
{
    useBuiltInTexts();
}

} // namespace tervelle::test
