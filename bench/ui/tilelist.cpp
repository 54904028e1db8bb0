// The texture tile list as the map maker meets it: ChangeTexturesDir on 320 tiles of 64 x 64
// 32-bit pixels followed by drawing every item (which reads and decodes each tile once), beside
// `cat` of the same files into /dev/null; and the list dropped down again, its thumbnails cached.
// Runs with QT_QPA_PLATFORM=offscreen.

#include "benchfolders.h"
#include "core/common.h"
#include "image/texturetiles.h"
#include "ui/editor/tilecombo.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

using namespace tervelle;

namespace {

void changeTexturesDirAndDrawEveryTile(benchmark::State &state)
{
    TextureTiles tiles;
    QImage canvas(200, 66, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    const QPalette palette = QApplication::palette();
    for (auto _ : state) {
        tiles.setFolder(bench::tileFolder());
        for (int i = 0; i < TileCount; ++i)
            cmbPropertiesTgaDrawItem(painter, tiles, i, tileName(i), canvas.rect(), false, palette);
    }
    for (int i = 0; i < TileCount; ++i) {
        if (tiles.thumbnail(i).isNull())
            state.SkipWithError("not every tile was read");
    }
}

void catTheFiles(benchmark::State &state)
{
    const QByteArray command = "cat '" + QFile::encodeName(bench::tileFolder()) + "'/Theme*/*.tga > /dev/null";
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("cat failed");
    }
}

void openTheListAgain(benchmark::State &state)
{
    TextureTiles tiles;
    tiles.setFolder(bench::tileFolder());
    TileCombo combo(tiles, nullptr);
    combo.resize(200, 72);
    combo.show();
    combo.setCurrentIndex(128);
    combo.showPopup();
    combo.view()->window()->grab();
    combo.hidePopup();
    for (auto _ : state) {
        combo.showPopup();
        benchmark::DoNotOptimize(combo.view()->window()->grab());
        combo.hidePopup();
    }
}

} // namespace

BENCHMARK(changeTexturesDirAndDrawEveryTile)->Unit(benchmark::kMillisecond);
BENCHMARK(catTheFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(openTheListAgain)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns each time a popup asks to be raised: thousands of lines that
    // would bury the results.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        if (!text.startsWith(QLatin1String("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
