// The texture tile list: 320 tiles of 64 x 64 32-bit TGA read and decoded into thumbnails,
// side by side with `cat` of the same files to /dev/null; and the same list asked for again,
// when every thumbnail comes from the cache.

#include "image/texturetiles.h"
#include "benchfolders.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>

using namespace tervelle;

namespace {

void loadEveryTile(TextureTiles &tiles, benchmark::State &state)
{
    for (int i = 0; i < tiles.count(); ++i) {
        const QImage image = tiles.thumbnail(i);
        if (image.isNull())
            state.SkipWithError("a tile was not decoded");
        benchmark::DoNotOptimize(image.constBits());
    }
}

void firstRequest(benchmark::State &state)
{
    TextureTiles tiles;
    for (auto _ : state) {
        tiles.setFolder(bench::tileFolder());
        loadEveryTile(tiles, state);
    }
    state.SetItemsProcessed(state.iterations() * TileCount);
}

void secondRequest(benchmark::State &state)
{
    TextureTiles tiles;
    tiles.setFolder(bench::tileFolder());
    loadEveryTile(tiles, state);
    for (auto _ : state)
        loadEveryTile(tiles, state);
    state.SetItemsProcessed(state.iterations() * TileCount);
}

void catTheFiles(benchmark::State &state)
{
    const QByteArray command = "cat '" + QFile::encodeName(bench::tileFolder()) + "'/Theme*/*.tga > /dev/null";
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("cat failed");
    }
    state.SetItemsProcessed(state.iterations() * TileCount);
}

} // namespace

BENCHMARK(firstRequest)->Unit(benchmark::kMillisecond);
BENCHMARK(catTheFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(secondRequest)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
