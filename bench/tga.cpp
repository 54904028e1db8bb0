// Decoding 512 x 512 TGA files: our reader against stb_image's TGA loader and against a plain
// memcpy of the same number of pixel bytes, all from memory and in one run.
#include "image/tgareader.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int Side = 512;

// A plain bottom-up true-colour TGA with random pixels (random alpha too, so no fast path for
// opaque or transparent pixels flatters anyone).
const QByteArray &tgaFile(int depth)
{
    static QByteArray file24, file32;
    QByteArray &file = depth == 32 ? file32 : file24;
    if (file.isEmpty()) {
        const int bytesPerPixel = depth / 8;
        file = QByteArray(18, '\0');
        file[2] = 2;
        file[12] = char(Side & 0xff);
        file[13] = char(Side >> 8);
        file[14] = char(Side & 0xff);
        file[15] = char(Side >> 8);
        file[16] = char(depth);
        file[17] = char(depth == 32 ? 8 : 0);
        std::mt19937 random(depth);
        QByteArray pixels(Side * Side * bytesPerPixel, '\0');
        for (char &byte : pixels)
            byte = char(random() & 0xff);
        file += pixels;
    }
    return file;
}

void setCounters(benchmark::State &state, int depth)
{
    state.SetBytesProcessed(state.iterations() * Side * Side * (depth / 8));
}

void tervelleDecodeTga(benchmark::State &state)
{
    const int depth = int(state.range(0));
    const std::optional<tervelle::TgaBuffer> buffer = tgaFile(depth);
    for (auto _ : state) {
        tervelle::Picture picture;
        if (!tervelle::decodeTga(buffer, picture))
            state.SkipWithError("declined");
        benchmark::DoNotOptimize(picture.scanLine(0));
    }
    setCounters(state, depth);
}

// The same decode into a picture kept between runs: no allocation, only the pixel loops.
void tervelleDecodeTgaReused(benchmark::State &state)
{
    const int depth = int(state.range(0));
    const std::optional<tervelle::TgaBuffer> buffer = tgaFile(depth);
    tervelle::Picture picture;
    for (auto _ : state) {
        if (!tervelle::decodeTga(buffer, picture))
            state.SkipWithError("declined");
        benchmark::DoNotOptimize(picture.scanLine(0));
        benchmark::ClobberMemory();
    }
    setCounters(state, depth);
}

void stbImageTga(benchmark::State &state)
{
    const int depth = int(state.range(0));
    const QByteArray &file = tgaFile(depth);
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        stbi_uc *pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc *>(file.constData()), int(file.size()),
                                                &width, &height, &channels, 0);
        if (!pixels)
            state.SkipWithError("stb_image declined");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    setCounters(state, depth);
}

void plainMemcpy(benchmark::State &state)
{
    const int depth = int(state.range(0));
    const QByteArray &file = tgaFile(depth);
    const size_t size = size_t(Side) * Side * (depth / 8);
    // The pixels past the 18-byte header, held apart: GCC takes a QByteArray's bytes for its
    // one-byte empty buffer, and warns of a copy past it.
    const std::vector<char> pixels(file.cbegin() + 18, file.cend());
    if (pixels.size() < size) {
        state.SkipWithError("the TGA file is short");
        return;
    }
    std::vector<char> target(size);
    for (auto _ : state) {
        std::memcpy(target.data(), pixels.data(), size);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    setCounters(state, depth);
}

} // namespace

BENCHMARK(tervelleDecodeTga)->Name("tga/decodeTga")->Arg(24)->Arg(32);
BENCHMARK(tervelleDecodeTgaReused)->Name("tga/decodeTga_reused")->Arg(24)->Arg(32);
BENCHMARK(stbImageTga)->Name("tga/stb_image")->Arg(24)->Arg(32);
BENCHMARK(plainMemcpy)->Name("tga/memcpy")->Arg(24)->Arg(32);

BENCHMARK_MAIN();
