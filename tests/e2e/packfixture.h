#pragma once

// The end-to-end fixture: a map maker's folder, the editor's program folder with the real
// compiler linked in, the build through tervelle-pack, and the silent install of the result
// against stand-in launcher and game folders in the test Wine prefix.

#include "mappack/packfiles.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "support/filesizelimit.h"
#include "support/projectrows.h"
#include "support/testcompiler.h"
#include "support/testsupport.h"
#include "support/tgabuilder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace tervelle::test {

inline const QString CompilerFolder = QStringLiteral(TERVELLE_BINARY_DIR "/iscc");
inline const QString PackTool = QStringLiteral(TERVELLE_BINARY_DIR "/tervelle-pack");

struct ToolRun
{
    int exitCode = -1;
    QStringList output; // standard output, line by line
    QString errors;
};

inline ToolRun runTool(const QString &program, const QStringList &args, const QString &locale = QString())
{
    QProcess process;
    if (!locale.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), locale);
        process.setProcessEnvironment(environment);
    }
    process.start(program, args);
    ToolRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        run.errors = QStringLiteral("timed out");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (!run.output.isEmpty() && run.output.last().isEmpty())
        run.output.removeLast();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The numbered files an installer carries, as innoextract lists them.
inline std::set<QString> listedFiles(const QString &installer)
{
    const ToolRun list = runTool(QStringLiteral("innoextract"), {QStringLiteral("--list"), installer});
    std::set<QString> files;
    static const QRegularExpression entry(QStringLiteral("^ - \"tmp/([^\"]+)\""));
    for (const QString &line : list.output) {
        const auto match = entry.match(line);
        if (match.hasMatch())
            files.insert(match.captured(1));
    }
    return files;
}

// The DestName values of the script's [Files] section.
inline std::set<QString> scriptedFiles(const QString &scriptPath)
{
    std::set<QString> files;
    static const QRegularExpression destName(QStringLiteral("DestName:\"([^\"]+)\""));
    const QString script = QString::fromUtf8(test::readBytes(scriptPath));
    for (auto it = destName.globalMatch(script); it.hasNext();)
        files.insert(it.next().captured(1));
    return files;
}

// A path as Windows programs under Wine see it.
inline QString dosPath(const QString &path)
{
    return QStringLiteral("Z:") + QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

// A map maker's folder and the editor's program folder, with the real compiler linked into it
// so that tests running side by side each have their own script and staging folder.
class PackBuild : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFileInfo(CompilerFolder + QStringLiteral("/iscc.exe")).isFile())
            GTEST_SKIP() << "no compiler in " << CompilerFolder.toStdString() << " (run scripts/setup-iscc)";
        if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("innoextract")).isEmpty())
            GTEST_SKIP() << "wine or innoextract is not installed (run scripts/bootstrap)";
        qputenv("WINEPREFIX", TERVELLE_WINEPREFIX);
        qputenv("WINEARCH", "win32");
        qputenv("WINEDEBUG", "-all");
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=");

        test::resetLanguage();
        model.NewFile();
        appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
        ASSERT_TRUE(test::linkRealCompiler(CompilerFolder, appDir));
    }

    // A file of the map maker's, added to the tree.
    TreeNode *addFile(TreeNode *parent, const QString &name, int type)
    {
        const QString path = dir.filePath(QStringLiteral("maker/") + name);
        test::writeBytes(path, name.toUtf8() + " content");
        return model.AddFileElement(parent, name, type, path);
    }

    // Two maps and one file of every kind: an information page in a folder, a map, a height
    // map, a level icon, a texture list and a script.
    void fillProject(const QString &folder, const QString &prefix)
    {
        model.AddMap();
        model.AddMap();
        TreeNode *info = model.AddDirElement(model.root(FilesRoot), folder);
        addFile(info, prefix + QStringLiteral("info.htm"), InfoPageFile);
        addFile(model.root(MapsRoot), prefix + QStringLiteral("island.xan"), MapFile);
        addFile(model.root(HeightMapsRoot), prefix + QStringLiteral("island.hmp"), HeightMapFile);
        addFile(model.root(IconsRoot), prefix + QStringLiteral("island.tga"), LevelIconFile);
        addFile(model.root(TexturesRoot), prefix + QStringLiteral("theme.txt"), TextureListFile);
        addFile(model.root(ScriptsRoot), prefix + QStringLiteral("island.lua"), ScriptFile);
    }

    // The build as a map maker starts it, in the given locale or in ours.
    ToolRun build(const QString &installer, const QString &locale = QString())
    {
        const QString project = dir.filePath(QStringLiteral("pack.mpr"));
        SaveProjectFile(model, project);
        return runTool(
            PackTool,
            {QStringLiteral("build"), project, QStringLiteral("--out"), installer, QStringLiteral("--appdir"), appDir},
            locale);
    }

    // Runs the installer silently against a launcher and a game in the given folders. A Wine
    // server left from a compile without a display would make it fail, so it is ended first.
    int install(const QString &installer, const QString &launcher, const QString &worms)
    {
        for (const char *folder : {"data/maps", "data/scripts", "data/frontend/levels"})
            QDir().mkpath(worms + QLatin1String(folder));
        QDir().mkpath(launcher);
        setLauncherKey(dosPath(launcher), dosPath(worms));
        return runInstaller(installer);
    }

    // The launcher's registry values as the launcher writes them; an empty AppDir removes the key.
    static void setLauncherKey(const QString &appDirValue, const QString &wormsDirValue)
    {
        const QString key = QStringLiteral("HKLM\\Software\\Orbeck\\Quorvane");
        if (appDirValue.isEmpty()) {
            runTool(QStringLiteral("wine"),
                    {QStringLiteral("reg"), QStringLiteral("delete"), key, QStringLiteral("/f")});
            return;
        }
        runTool(QStringLiteral("wine"),
                {QStringLiteral("reg"), QStringLiteral("add"), key, QStringLiteral("/v"), QStringLiteral("AppDir"),
                 QStringLiteral("/d"), appDirValue, QStringLiteral("/f")});
        runTool(QStringLiteral("wine"),
                {QStringLiteral("reg"), QStringLiteral("add"), key, QStringLiteral("/v"), QStringLiteral("WormsDir"),
                 QStringLiteral("/d"), wormsDirValue, QStringLiteral("/f")});
    }

    // Runs the installer silently, with its log in `log` when given. A Wine server left from a
    // compile without a display would make it fail, so it is ended first.
    static int runInstaller(const QString &installer, const QStringList &arguments = {}, const QString &log = {})
    {
        QStringList args = {QStringLiteral("-a"), QStringLiteral("wine"), installer, QStringLiteral("/VERYSILENT"),
                            QStringLiteral("/SUPPRESSMSGBOXES")};
        args += arguments;
        if (!log.isEmpty())
            args << QStringLiteral("/LOG=") + dosPath(log);
        runTool(QStringLiteral("wineserver"), {QStringLiteral("-k")});
        const ToolRun run = runTool(QStringLiteral("xvfb-run"), args);
        runTool(QStringLiteral("wineserver"), {QStringLiteral("-k")});
        return run.exitCode;
    }

    // Uninstalls the pack of that name silently, as the Start menu's entry does. The uninstaller
    // hands over to a copy of itself, so the Wine server is waited for before anything is read.
    static int uninstall(const QString &packName, const QString &log = {})
    {
        const QString uninstaller = QStringLiteral(TERVELLE_WINEPREFIX "/drive_c/Program Files/Quorvane/installed/")
            + packName + QStringLiteral("/unins000.exe");
        if (!QFileInfo(uninstaller).isFile())
            return -1;
        QStringList args = {QStringLiteral("-a"), QStringLiteral("wine"), uninstaller, QStringLiteral("/VERYSILENT"),
                            QStringLiteral("/SUPPRESSMSGBOXES")};
        if (!log.isEmpty())
            args << QStringLiteral("/LOG=") + dosPath(log);
        runTool(QStringLiteral("wineserver"), {QStringLiteral("-k")});
        const ToolRun run = runTool(QStringLiteral("xvfb-run"), args);
        runTool(QStringLiteral("wineserver"), {QStringLiteral("-w")});
        return run.exitCode;
    }

    // The numbered names of the project's pack files, worked out from the tree.
    std::set<QString> expectedFiles() const
    {
        std::set<QString> files;
        for (const PackFileEntry &entry : NumberPackFiles(model, appDir)) {
            if (entry.isPackFile)
                files.insert(NumberedName(entry.absoluteIndex));
        }
        return files;
    }

    QTemporaryDir dir;
    const QString launcher = dir.filePath(QStringLiteral("launcher")) + QLatin1Char('/');
    const QString worms = dir.filePath(QStringLiteral("worms")) + QLatin1Char('/');
    Settings settings;
    ProjectModel model;
    QString appDir;
};

} // namespace tervelle::test
