// "Add folder with subfolders" on 100,000 files in nested folders, side by side with
// `find DIR -type f` on the same folder, so the cost of building the resources list shows as a
// ratio to the bare directory walk. Emptying the list between runs is not timed: the map maker
// waits for the scan, not for the list being freed at the next New or Clear.

#include "project/folderscan.h"
#include "benchfolders.h"
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
using bench::findTypeF;
using bench::scanTree;
using bench::ScanTreeFiles;

namespace {

void addFolderWithSubfolders(benchmark::State &state)
{
    const QString &path = scanTree();
    ResourceList list;
    for (auto _ : state) {
        AddFolder(list, path, true, [](const ScanProgress &) { return true; });
        state.PauseTiming();
        if (list.count() != ScanTreeFiles)
            state.SkipWithError("the scan did not find every file");
        list.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * ScanTreeFiles);
}

} // namespace

BENCHMARK(addFolderWithSubfolders)->Unit(benchmark::kMillisecond);
BENCHMARK(findTypeF)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
