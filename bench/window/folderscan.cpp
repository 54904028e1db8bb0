// "Add folder with subfolders" through the editor window on 100,000 files in nested folders,
// side by side with `find DIR -type f` on the same folder. The window repaints during the scan
// as the map maker sees it; the counter "repaints" tells how often the resources list was
// painted while it filled. Emptying the list between runs is not timed.

#include "benchfolders.h"
#include "core/common.h"
#include "support/scripteddialogs.h"
#include "ui/editor/frmeditor.h"
#include "ui/editor/resourcesmodel.h"
#include "ui/editor/resourcespanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

using namespace tervelle;
using bench::findTypeF;
using bench::scanTree;
using bench::ScanTreeFiles;

namespace {

class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void windowAddFolderWithSubfolders(benchmark::State &state)
{
    const QString &path = scanTree();
    ScriptedDialogs dialogs;
    Settings settings = LoadSettings();
    TfrmEditor editor(settings, &dialogs);
    editor.show();
    QApplication::processEvents();
    ResourcesPanel *resources = editor.findChild<ResourcesPanel *>();
    QAction *scan = resources->findChild<QAction *>(QStringLiteral("mnuResourcesEditAddSubDirs"));
    PaintCounter counter;
    resources->list()->viewport()->installEventFilter(&counter);
    for (auto _ : state) {
        dialogs.folderAnswers.enqueue(path);
        // The scan runs beside the window until it says it has ended.
        QEventLoop ended;
        QObject::connect(resources, &ResourcesPanel::scanning, &ended, [&ended](bool running) {
            if (!running)
                ended.quit();
        });
        scan->trigger();
        ended.exec();
        state.PauseTiming();
        if (resources->listModel()->list().count() != ScanTreeFiles)
            state.SkipWithError("the scan did not find every file");
        resources->mnuResourcesEditClearClick();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["repaints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations() * ScanTreeFiles);
}

} // namespace

BENCHMARK(windowAddFolderWithSubfolders)->Unit(benchmark::kMillisecond);
BENCHMARK(findTypeF)->Unit(benchmark::kMillisecond);
