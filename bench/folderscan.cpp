// "Add folder with subfolders" on 100,000 files in nested folders, side by side with
// `find DIR -type f` on the same folder, so the cost of building the resources list shows as a
// ratio to the bare directory walk. Emptying the list between runs is not timed: the map maker
// waits for the scan, not for the list being freed at the next New or Clear.

#include "project/folderscan.h"
#include "project/resourcelist.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

using namespace tervelle;

namespace {

constexpr int Files = 100000;

// 10 x 10 x 10 folders of 100 empty files each, made once for all benchmarks.
const QString &tree()
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
                    for (int f = 0; f < Files / 1000; ++f, ++made) {
                        const QByteArray file = QFile::encodeName(QStringLiteral("%1/resource%2.tga").arg(folder).arg(made));
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

void addFolderWithSubfolders(benchmark::State &state)
{
    const QString &path = tree();
    ResourceList list;
    for (auto _ : state) {
        AddFolder(list, path, true, [](const ScanProgress &) { return true; });
        state.PauseTiming();
        if (list.count() != Files)
            state.SkipWithError("the scan did not find every file");
        list.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Files);
}

void findTypeF(benchmark::State &state)
{
    const QByteArray command = "find '" + QFile::encodeName(tree()) + "' -type f > /dev/null";
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("find failed");
    }
    state.SetItemsProcessed(state.iterations() * Files);
}

} // namespace

BENCHMARK(addFolderWithSubfolders)->Unit(benchmark::kMillisecond);
BENCHMARK(findTypeF)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
