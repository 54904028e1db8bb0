// The texture tile list: 320 tiles of 64 x 64 32-bit TGA read and decoded into thumbnails,
// side by side with `cat` of the same files to /dev/null; and the same list asked for again,
// when every thumbnail comes from the cache.

#include "image/texturetiles.h"

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

QByteArray tile(std::mt19937 &random)
{
    QByteArray file(18, '\0');
    file[2] = 2;
    file[12] = 64;
    file[14] = 64;
    file[16] = 32;
    file[17] = 8;
    QByteArray pixels(64 * 64 * 4, '\0');
    for (char &byte : pixels)
        byte = char(random() & 0xff);
    return file + pixels;
}

const QString &folder()
{
    static std::unique_ptr<QTemporaryDir> dir;
    static QString path;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        path = dir->path();
        std::mt19937 random(64);
        for (const TextureTheme &theme : TextureThemes)
            QDir(path).mkpath(QLatin1String(theme.folder));
        for (int i = 0; i < TileCount; ++i) {
            QFile file(tileFilePath(path, i));
            if (file.open(QIODevice::WriteOnly))
                file.write(tile(random));
        }
    }
    return path;
}

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
        tiles.setFolder(folder());
        loadEveryTile(tiles, state);
    }
    state.SetItemsProcessed(state.iterations() * TileCount);
}

void secondRequest(benchmark::State &state)
{
    TextureTiles tiles;
    tiles.setFolder(folder());
    loadEveryTile(tiles, state);
    for (auto _ : state)
        loadEveryTile(tiles, state);
    state.SetItemsProcessed(state.iterations() * TileCount);
}

void catTheFiles(benchmark::State &state)
{
    const QByteArray command = "cat '" + QFile::encodeName(folder()) + "'/Theme*/*.tga > /dev/null";
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
