#pragma once

// Compiler folders of a test's own, laid out as a build expects them: with a shell script standing
// in for the compiler, or with the real compiler linked in. Header only, so that the benchmarks
// can use it too.

#include "mappack/compiler.h"
#include "mappack/compilerfolder.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace tervelle::test {

// The compiler launcher that runs a stand-in script.
inline const QString StandInLauncher = QStringLiteral("/bin/sh");

// Makes "<appDir>iscc/maplists/"; `appDir` ends in "/".
inline bool makeCompilerFolder(const QString &appDir)
{
    return QDir().mkpath(StagingFolder(appDir));
}

// The stand-in compiler: a shell script run in the compiler folder as the compiler runs.
inline bool writeStandIn(const QString &appDir, const QByteArray &script)
{
    QDir().mkpath(compilerFolder(appDir));
    QFile file(compilerProgram(appDir));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(script) == script.size();
}

// Installer languages "<name>.isl" in the compiler folder.
inline bool writeSetupLanguages(const QString &appDir, const QStringList &names)
{
    const QString folder = setupLanguagesFolder(appDir);
    bool ok = QDir().mkpath(folder);
    for (const QString &name : names) {
        QFile file(folder + QLatin1Char('/') + name + QStringLiteral(".isl"));
        ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write("[LangOptions]\r\n") > 0 && ok;
    }
    return ok;
}

// The real compiler, laid out by scripts/setup-iscc in `built` ("<build folder>/iscc"), linked
// file by file into the compiler folder of `appDir`: what a build writes there (the script, the
// map list, the lock) stays its own and never meets that of another test.
inline bool linkRealCompiler(const QString &built, const QString &appDir)
{
    if (!QFileInfo(built + QStringLiteral("/iscc.exe")).isFile() || !makeCompilerFolder(appDir))
        return false;
    const QString folder = compilerFolder(appDir) + QLatin1Char('/');
    const QString ownLock = QFileInfo(buildLockFile(appDir)).fileName();
    QDirIterator files(built, QDir::Files);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        if (file.fileName() != QLatin1String(SetupScriptName) && file.fileName() != ownLock)
            QFile::link(file.absoluteFilePath(), folder + file.fileName());
    }
    return QFile::link(built + QStringLiteral("/languages"), setupLanguagesFolder(appDir));
}

// The build console's lines, as a build or a compiler run writes them.
class ConsoleLines : public ConsoleSink
{
public:
    void appendConsoleLine(const QString &line) override { lines << line; }
    QStringList lines;
};

// A build with the stand-in compiler: the compiler folder in "<root>/app/" and the output folder
// "<root>/out". In a script given to compile(), BUILD stands for the folder the script's OutputDir
// names, where the compiler writes what the real one would (an installer, half of one, its
// temporary files), and OUT for the output folder, where others may put things during a build.
class StandInBuild
{
public:
    explicit StandInBuild(const QString &root)
        : m_appDir(root + QStringLiteral("/app/")), m_outDir(root + QStringLiteral("/out"))
    {
        makeCompilerFolder(m_appDir);
        QDir().mkpath(m_outDir);
    }

    const QString &appDir() const { return m_appDir; }
    const QString &outDir() const { return m_outDir; }
    QString out(const QString &name) const { return m_outDir + QLatin1Char('/') + name; }
    QString installer() const { return out(QStringLiteral("pack.exe")); }

    void compile(QByteArray script) const
    {
        script.replace("OUT", QFile::encodeName(m_outDir));
        script.replace("BUILD", "$BUILD");
        writeStandIn(m_appDir, OutputDirOfScript + script);
    }

    // Sets BUILD to the script's OutputDir as a path of this system.
    static constexpr char OutputDirOfScript[] =
        "BUILD=$(sed -n 's/^OutputDir=Z:\\(.*\\)\r$/\\1/p' setup.iss | tr '\\\\' /)\n";

private:
    QString m_appDir;
    QString m_outDir;
};

} // namespace tervelle::test
