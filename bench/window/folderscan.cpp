// "Add folder with subfolders" through the editor window on 100,000 files in nested folders,
// side by side with `find DIR -type f` on the same folder. The window repaints during the scan
// as the map maker sees it; the counter "repaints" tells how often the resources list was
// painted while it filled. Emptying the list between runs is not timed.

#include "core/common.h"
#include "ui/dialogs/scripteddialogs.h"
#include "ui/editor/frmeditor.h"
#include "ui/editor/resourcesmodel.h"
#include "ui/editor/resourcespanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

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
    const QString &path = tree();
    ScriptedDialogs dialogs;
    TfrmEditor editor(&dialogs);
    editor.show();
    QApplication::processEvents();
    ResourcesPanel *resources = editor.resources();
    QAction *scan = resources->mnuResourcesEditAddSubDirs;
    PaintCounter counter;
    resources->lstResources->viewport()->installEventFilter(&counter);
    for (auto _ : state) {
        dialogs.folderAnswers.enqueue(path);
        scan->trigger();
        state.PauseTiming();
        if (resources->listModel()->list().count() != Files)
            state.SkipWithError("the scan did not find every file");
        resources->mnuResourcesEditClearClick();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["repaints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
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

BENCHMARK(windowAddFolderWithSubfolders)->Unit(benchmark::kMillisecond);
BENCHMARK(findTypeF)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings go to a throw-away folder, not the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_STATE_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
