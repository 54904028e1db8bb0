// "Save map pack" of the demo project with the real compiler: in the editor, from the command to
// "Done" in its console, and tervelle-pack building the same project, both against the compiler
// alone compiling the script they write. Needs the build folder (TERVELLE_BUILD_DIR, by default
// the one this program was built in, with iscc/ laid out and examples/demo.mpr written) and a
// Wine prefix (WINEPREFIX; `make bench` makes one).

#include "core/common.h"
#include "core/langload.h"
#include "mappack/compiler.h"
#include "support/scripteddialogs.h"
#include "support/testcompiler.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/frmeditor.h"
#include "ui/editor/mapspanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace tervelle;

namespace {

QString buildFolder()
{
    const QString named = qEnvironmentVariable("TERVELLE_BUILD_DIR");
    return named.isEmpty() ? QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).absolutePath()
                           : named;
}

// A program folder with the compiler linked in, as the end-to-end tests make it.
bool makeAppDir(const QString &appDir)
{
    return test::linkRealCompiler(buildFolder() + QStringLiteral("/iscc"), appDir);
}

void editorBuild(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
    if (buildFolder().isEmpty() || !makeAppDir(appDir)) {
        state.SkipWithError("set TERVELLE_BUILD_DIR to a build folder with iscc/ laid out");
        return;
    }
    ScriptedDialogs dialogs;
    Settings settings = LoadSettings();
    TfrmEditor editor(settings, &dialogs);
    editor.show();
    editor.openStartupProject(buildFolder() + QStringLiteral("/examples/demo.mpr"));
    settings.AppDir = appDir;
    settings.compilerLauncher = QStringLiteral("wine");
    PackProperties pack = editor.project().packProperties();
    pack.PackPropertiesSet = true;
    editor.document().change(QStringLiteral("pack properties"),
                             [&](ProjectModel &project) { project.setPackProperties(pack); });
    for (auto _ : state) {
        dialogs.saveAnswers.enqueue(dir.filePath(QStringLiteral("demo.exe")));
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!editor.isBuilding() && !editor.findChild<ConsolePanel *>()->hasPendingLines())
                loop.quit();
        });
        QElapsedTimer clock;
        clock.start();
        editor.findChild<QAction *>(QStringLiteral("mnuFileSaveMapPack"))->trigger();
        poll.start(1);
        loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (editor.findChild<ConsolePanel *>()->lines().last() != QLatin1String("Done"))
            state.SkipWithError("the build failed");
    }
}

// tervelle-pack's build of the demo into `installer`, with the compiler of `appDir`.
int packBuild(const QString &appDir, const QString &installer)
{
    QProcess build;
    build.start(buildFolder() + QStringLiteral("/tervelle-pack"),
                {QStringLiteral("build"), buildFolder() + QStringLiteral("/examples/demo.mpr"), QStringLiteral("--out"),
                 installer, QStringLiteral("--appdir"), appDir});
    build.waitForFinished(600000);
    return build.exitStatus() == QProcess::NormalExit ? build.exitCode() : -1;
}

void cliBuild(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
    if (buildFolder().isEmpty() || !makeAppDir(appDir)) {
        state.SkipWithError("set TERVELLE_BUILD_DIR to a build folder with iscc/ laid out");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const int exitCode = packBuild(appDir, dir.filePath(QStringLiteral("demo.exe")));
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (exitCode != 0)
            state.SkipWithError("the build failed");
    }
}

// The compiler alone on the script and map list a build left in place: what a build costs
// beyond it is ours.
void compilerAlone(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
    if (!makeAppDir(appDir) || packBuild(appDir, dir.filePath(QStringLiteral("demo.exe"))) != 0) {
        state.SkipWithError("set TERVELLE_BUILD_DIR to a build folder with iscc/ laid out");
        return;
    }
    Settings shared;
    shared.AppDir = appDir;
    shared.compilerLauncher = QStringLiteral("wine");
    const CompilerCommand command = compilerCommand(shared);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    CompilerRun::addLauncherEnvironment(environment);
    for (auto _ : state) {
        QProcess compiler;
        compiler.setWorkingDirectory(command.workingFolder);
        compiler.setProcessEnvironment(environment);
        compiler.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer clock;
        clock.start();
        compiler.start(command.program, command.arguments);
        while (compiler.waitForReadyRead(600000))
            compiler.readAll(); // read as the editor does, so the pipe never fills
        compiler.waitForFinished(600000);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (compiler.exitStatus() != QProcess::NormalExit || compiler.exitCode() != 0)
            state.SkipWithError("the compiler failed");
    }
}

} // namespace

BENCHMARK(editorBuild)->Name("savemappack/editor")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(cliBuild)->Name("savemappack/tervelle-pack")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(compilerAlone)
    ->Name("savemappack/compiler-baseline")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The editor's settings and recovery copies go to a throwaway place.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.filePath(QStringLiteral("state"))));
    QApplication app(argc, argv);
    InitLanguage();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
