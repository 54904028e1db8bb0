// The build console under a flood of compiler output: lines per second through CompilerRun for
// growing line counts. The time a line should stay flat as the count grows; a buffer handled in
// quadratic time shows as a per-line cost that grows with it.

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
    QDir().mkpath(dir.filePath(QStringLiteral("iscc")));
    // The output is made once, so only its passage through the run is measured.
    QFile flood(dir.filePath(QStringLiteral("iscc/flood.txt")));
    QFile script(dir.filePath(QStringLiteral("iscc/iscc.exe")));
    if (!flood.open(QIODevice::WriteOnly) || !script.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the stand-in compiler");
        return;
    }
    for (qint64 i = 0; i < state.range(0); ++i)
        flood.write("Compressing: line " + QByteArray::number(i) + " of the flood\r\n");
    flood.close();
    script.write("cat flood.txt\n");
    script.close();
    SharedState shared;
    shared.AppDir = dir.path() + QLatin1Char('/');
    shared.compilerLauncher = QStringLiteral("/bin/sh");
    for (auto _ : state) {
        CountingConsole console;
        CompilerRun run(console, shared);
        QEventLoop loop;
        QObject::connect(&run, &CompilerRun::finished, &loop, &QEventLoop::quit);
        run.Compile(false);
        loop.exec();
        if (console.lines != state.range(0) + 2)
            state.SkipWithError("lines were lost");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(compilerFlood)->Name("console/compiler_flood")->Arg(50000)->Arg(200000)->Arg(800000)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    InitLanguage();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
