// The build console under a flood of compiler output: lines per second through CompilerRun for
// growing line counts. The time a line should stay flat as the count grows; a buffer handled in
// quadratic time shows as a per-line cost that grows with it.

#include "benchfolders.h"
#include "core/langload.h"
#include "mappack/compiler.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tervelle;

namespace {

class CountingConsole : public ConsoleSink
{
public:
    void appendConsoleLine(const QString &line) override
    {
        ++lines;
        benchmark::DoNotOptimize(line.size());
    }
    qint64 lines = 0;
};

void compilerFlood(benchmark::State &state)
{
    QTemporaryDir dir;
    Settings shared;
    if (!bench::floodingCompiler(
            state, dir, state.range(0),
            [](qint64 i) { return "Compressing: line " + QByteArray::number(i) + " of the flood"; }, shared))
        return;
    for (auto _ : state) {
        CountingConsole console;
        CompilerRun run(console, shared);
        QEventLoop loop;
        QObject::connect(&run, &CompilerRun::finished, &loop, &QEventLoop::quit);
        run.Compile({});
        loop.exec();
        if (console.lines != state.range(0) + 2)
            state.SkipWithError("lines were lost");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(compilerFlood)
    ->Name("console/compiler_flood")
    ->Arg(50000)
    ->Arg(200000)
    ->Arg(800000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    InitLanguage();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
