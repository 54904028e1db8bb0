// "Save map pack" of the demo project with the real compiler: in the editor, from the command to
// "Done" in its console, against tervelle-pack building the same project. Needs the build folder
// (TERVELLE_BUILD_DIR, with iscc/ laid out and examples/demo.mpr written) and a Wine prefix
// (WINEPREFIX).

#include "core/common.h"
#include "core/langload.h"
#include "ui/dialogs/scripteddialogs.h"
#include "ui/editor/consolepanel.h"
#include "ui/editor/frmeditor.h"
#include "ui/editor/mapspanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
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
    return qEnvironmentVariable("TERVELLE_BUILD_DIR");
}

// A program folder with the compiler linked in, as the end-to-end tests make it.
bool makeAppDir(const QString &appDir)
{
    const QString compiler = buildFolder() + QStringLiteral("/iscc");
    if (!QFileInfo(compiler + QStringLiteral("/iscc.exe")).isFile()
        || !QDir().mkpath(appDir + QStringLiteral("iscc/maplists")))
        return false;
    QDirIterator files(compiler, QDir::Files);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        if (file.fileName() != QLatin1String("setup.iss") && file.fileName() != QLatin1String("build.lock"))
            QFile::link(file.absoluteFilePath(), appDir + QStringLiteral("iscc/") + file.fileName());
    }
    return QFile::link(compiler + QStringLiteral("/languages"), appDir + QStringLiteral("iscc/languages"));
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
    TfrmEditor editor(&dialogs);
    editor.show();
    editor.openStartupProject(buildFolder() + QStringLiteral("/examples/demo.mpr"));
    Common.AppDir = appDir;
    Common.compilerLauncher = QStringLiteral("wine");
    Common.PackPropertiesSet = true;
    for (auto _ : state) {
        dialogs.saveAnswers.enqueue(dir.filePath(QStringLiteral("demo.exe")));
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!editor.isBuilding() && !editor.console()->hasPendingLines())
                loop.quit();
        });
        QElapsedTimer clock;
        clock.start();
        editor.maps()->mnuFileSaveMapPack->trigger();
        poll.start(1);
        loop.exec();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        if (editor.console()->lines().last() != QLatin1String("Done"))
            state.SkipWithError("the build failed");
    }
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
        QProcess build;
        QElapsedTimer clock;
        clock.start();
        build.start(buildFolder() + QStringLiteral("/tervelle-pack"),
                    {QStringLiteral("build"), buildFolder() + QStringLiteral("/examples/demo.mpr"),
                     QStringLiteral("--out"), dir.filePath(QStringLiteral("demo.exe")), QStringLiteral("--appdir"),
                     appDir});
        build.waitForFinished(600000);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        if (build.exitCode() != 0)
            state.SkipWithError("the build failed");
    }
}

} // namespace

BENCHMARK(editorBuild)->Name("savemappack/editor")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(cliBuild)->Name("savemappack/tervelle-pack")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

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
