#pragma once

// Folders the benchmarks measure on, made once per program in a temporary folder, and the bare
// system tools they are compared with.

#include "core/common.h"
#include "image/texturetiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace tervelle::bench {

inline constexpr int ScanTreeFiles = 100000;

// 10 x 10 x 10 folders of 100 empty files each.
inline const QString &scanTree()
{
    static std::unique_ptr<QTemporaryDir> dir;
    static QString path;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        path = dir->path();
        int made = 0;
        for (int a = 0; a < 10; ++a) {
            for (int b = 0; b < 10; ++b) {
                for (int c = 0; c < 10; ++c) {
                    const QString folder = QStringLiteral("%1/level%2/level%3/level%4").arg(path).arg(a).arg(b).arg(c);
                    QDir().mkpath(folder);
                    for (int f = 0; f < ScanTreeFiles / 1000; ++f, ++made) {
                        const QByteArray file =
                            QFile::encodeName(QStringLiteral("%1/resource%2.tga").arg(folder).arg(made));
                        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
                        if (fd >= 0)
                            ::close(fd);
                    }
                }
            }
        }
    }
    return path;
}

// `find DIR -type f > /dev/null` on the scan tree: the bare directory walk.
inline void findTypeF(benchmark::State &state)
{
    const QByteArray command = "find '" + QFile::encodeName(scanTree()) + "' -type f > /dev/null";
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("find failed");
    }
    state.SetItemsProcessed(state.iterations() * ScanTreeFiles);
}

// One 64 x 64 32-bit TGA tile of noise.
inline QByteArray noiseTile(std::mt19937 &random)
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

// A textures folder with all 320 tiles in their theme folders.
inline const QString &tileFolder()
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
                file.write(noiseTile(random));
        }
    }
    return path;
}

// A stand-in compiler in `dir`/iscc/ that prints `count` lines made by `line` (CR LF added),
// written once so only their passage through the run is measured; `shared` is pointed at it.
// False (and the benchmark skipped) when the files cannot be written.
inline bool floodingCompiler(benchmark::State &state, const QTemporaryDir &dir, qint64 count,
                             const std::function<QByteArray(qint64)> &line, Settings &shared)
{
    QDir().mkpath(dir.filePath(QStringLiteral("iscc")));
    QFile flood(dir.filePath(QStringLiteral("iscc/flood.txt")));
    QFile script(dir.filePath(QStringLiteral("iscc/iscc.exe")));
    if (!flood.open(QIODevice::WriteOnly) || !script.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the stand-in compiler");
        return false;
    }
    for (qint64 i = 0; i < count; ++i)
        flood.write(line(i) + "\r\n");
    flood.close();
    script.write("cat flood.txt\n");
    script.close();
    shared.AppDir = dir.path() + QLatin1Char('/');
    shared.compilerLauncher = QStringLiteral("/bin/sh");
    return true;
}

} // namespace tervelle::bench
