// The editor's build console under a flood of compiler output: the time until every line is on
// screen, and the longest stretch the window went without handling its events meanwhile (a
// timer ticking every 5 ms measures it).

#include "benchfolders.h"
#include "core/langload.h"
#include "mappack/compiler.h"
#include "support/scripteddialogs.h"
#include "ui/editor/consolepanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace tervelle;

namespace {

void consoleFlood(benchmark::State &state)
{
    QTemporaryDir dir;
    Settings shared;
    if (!bench::floodingCompiler(
            state, dir, state.range(0),
            [](qint64 i) { return "   Compressing: C:\\maps\\pack\\textures\\tile" + QByteArray::number(i) + ".tga"; },
            shared))
        return;

    ScriptedDialogs dialogs;
    QWidget window;
    window.resize(746, 706);
    ConsolePanel console(dialogs, &window);
    console.setGeometry(0, 706 - ConsolePanel::DefaultHeight, 746, ConsolePanel::DefaultHeight);
    window.show();
    console.showConsole();

    qint64 longestGap = 0;
    for (auto _ : state) {
        console.mnuCompileClearClick();
        CompilerRun run(console, shared);
        QEventLoop loop;
        QElapsedTimer sinceTick;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, sinceTick.restart());
            if (!run.isRunning() && !console.hasPendingLines())
                loop.quit();
        });
        sinceTick.start();
        tick.start();
        run.Compile({});
        loop.exec();
        if (console.lines().size() != state.range(0) + 2
            || console.text()->document()->blockCount() != state.range(0) + 2)
            state.SkipWithError("lines were lost");
    }
    state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(consoleFlood)
    ->Name("console/view_flood")
    ->Arg(20000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitLanguage();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
