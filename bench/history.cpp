// The project's history on the large project (100,000 tree nodes, 89 maps of 200 properties):
// the memory that 10,000 edits of every kind keep, and the time of undoing and redoing one step
// of each kind.

#include "core/common.h"
#include "core/langload.h"
#include "project/projectdocument.h"
#include "project/projectfile.h"

#include "largeproject.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>

using namespace tervelle;

namespace {

constexpr int Edits = 10000;

struct History
{
    QTemporaryDir folder;
    ProjectDocument document;
    std::vector<TreeNode *> folders; // the folders of information pages, 40 files each
    double historyMegabytes = 0;

    History()
    {
        {
            // Opened from a file, so the history starts empty.
            ProjectModel built;
            buildLargeProject(built);
            SaveProjectFile(built, folder.filePath(QStringLiteral("large.mpr")));
        }
        document.open(folder.filePath(QStringLiteral("large.mpr")));
        const ProjectModel &model = document.model();
        for (int row = 0; row < model.root(FilesRoot)->childCount(); ++row) {
            TreeNode *folder = model.root(FilesRoot)->child(row);
            for (int sub = 0; folder->isFolder() && sub < folder->childCount(); ++sub)
                folders.push_back(folder->child(sub));
        }
        const std::size_t before = mallinfo2().uordblks;
        for (int i = 0; i < Edits; ++i)
            edit(i);
        const std::size_t after = mallinfo2().uordblks;
        // What the model itself gained or lost stays when the history goes.
        const int kept = document.history().count();
        document.history().clear();
        const std::size_t without = mallinfo2().uordblks;
        historyMegabytes = (double(after) - double(without)) / (1 << 20);
        std::printf("history of %d edits (%d steps): %.1f MB (%.0f bytes an edit); before %.1f MB, after %.1f MB\n",
                    Edits, kept, historyMegabytes, (double(after) - double(without)) / Edits,
                    double(before) / (1 << 20), double(after) / (1 << 20));
    }

    // One change of each kind in turn, each its own step.
    void edit(int i)
    {
        document.endTyping();
        const QString text = QStringLiteral("edit %1").arg(i);
        switch (i % 6) {
        case 0:
            document.change(
                text, [&](ProjectModel &model) { model.SetMapPropertyValue(i % MaxMaps, 7 + i % 190, text); }, text);
            break;
        case 1:
            // The title, and with it the map list node.
            document.change(
                text, [&](ProjectModel &model) { model.SetHeaderValue(0, text); }, text);
            break;
        case 2:
            document.change(text, [&](ProjectModel &model) {
                model.AddDirElement(folders[std::size_t(i) % folders.size()], text);
            });
            break;
        case 3:
            document.change(text, [&](ProjectModel &model) {
                model.AddFileElement(folders[std::size_t(i) % folders.size()], text + QStringLiteral(".htm"),
                                     InfoPageFile, QStringLiteral("/packs/new/") + text);
            });
            break;
        case 4: {
            TreeNode *folder = folders[std::size_t(i * 7) % folders.size()];
            if (folder->childCount() > 1)
                document.change(
                    text, [&](ProjectModel &model) { model.DeleteNode(folder->child(folder->childCount() / 2)); });
            break;
        }
        default:
            document.change(text, [&](ProjectModel &model) {
                model.AddMapProperty(i % MaxMaps, QStringLiteral("[new%1]").arg(i));
            });
            break;
        }
    }
};

History &history()
{
    static History h;
    return h;
}

// Makes one step of a kind, then undoes and redoes it.
void undoRedo(benchmark::State &s, int kind)
{
    History &h = history();
    // A number of its own each time the benchmark is set up, so that the edit changes something.
    static int serial = Edits;
    h.edit(6 * serial++ + kind);
    QUndoStack &stack = h.document.history();
    for (auto _ : s) {
        stack.undo();
        stack.redo();
    }
    s.SetItemsProcessed(s.iterations() * 2);
}

// Each iteration is one undo and one redo.
void UndoRedoPropertyValue(benchmark::State &s)
{
    undoRedo(s, 0);
}
void UndoRedoPackTitle(benchmark::State &s)
{
    undoRedo(s, 1);
}
void UndoRedoCreateFolder(benchmark::State &s)
{
    undoRedo(s, 2);
}
void UndoRedoAddFile(benchmark::State &s)
{
    undoRedo(s, 3);
}
void UndoRedoDeleteFile(benchmark::State &s)
{
    undoRedo(s, 4);
}
void UndoRedoAddProperty(benchmark::State &s)
{
    undoRedo(s, 5);
}

// A folder of 8 subfolders of 40 pages: 329 nodes go and come back.
void UndoRedoDeleteFolder(benchmark::State &s)
{
    History &h = history();
    const ProjectModel &model = h.document.model();
    TreeNode *files = model.root(FilesRoot);
    h.document.change(QStringLiteral("delete"),
                      [&](ProjectModel &model) { model.DeleteNode(files->child(files->childCount() / 2)); });
    QUndoStack &stack = h.document.history();
    for (auto _ : s) {
        stack.undo();
        stack.redo();
    }
    s.SetItemsProcessed(s.iterations() * 2);
}

BENCHMARK(UndoRedoPropertyValue)->Unit(benchmark::kMicrosecond);
BENCHMARK(UndoRedoPackTitle)->Unit(benchmark::kMicrosecond);
BENCHMARK(UndoRedoCreateFolder)->Unit(benchmark::kMicrosecond);
BENCHMARK(UndoRedoAddFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(UndoRedoDeleteFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(UndoRedoAddProperty)->Unit(benchmark::kMicrosecond);
BENCHMARK(UndoRedoDeleteFolder)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    InitLanguage();
    benchmark::Initialize(&argc, argv);
    history();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
