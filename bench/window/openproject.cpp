// The editor window opening the deep project (500 nested folders, 900,000 files in the deepest)
// until it is painted and its event loop free for input, side by side with `tervelle-pack resave`
// of the same file run as a child process: what the headless tool needs to read and write it.
// TERVELLE_DEEP_SCALE (0 < S <= 1) shrinks the files for a quick run; TERVELLE_BUILD_DIR names
// the build folder when the program is run from elsewhere.

#include "core/common.h"
#include "support/scripteddialogs.h"
#include "ui/editor/frmeditor.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace tervelle;

namespace {

constexpr int DeepFolders = 500;
constexpr int DeepFiles = 900000;

QString buildFolder()
{
    const QString named = qEnvironmentVariable("TERVELLE_BUILD_DIR");
    return named.isEmpty() ? QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../..")).absolutePath()
                           : named;
}

int deepFiles()
{
    bool read = false;
    const double scale = qEnvironmentVariable("TERVELLE_DEEP_SCALE").toDouble(&read);
    return read && scale > 0 && scale <= 1 ? qMax(1, int(DeepFiles * scale)) : DeepFiles;
}

void writeNode(std::FILE *out, const char *text, int parent, const QByteArray &path, int kind, int image)
{
    std::fprintf(out, "%s\r\n%d\r\n%s\r\n%d\r\n%d\r\n", text, parent, path.constData(), kind, image);
}

// The deep project of the memory table, line for line: the Files root, the map list, the nested
// folders, the files in the deepest, then the other five group roots and no maps.
bool writeDeepProject(const QString &path, int files)
{
    std::FILE *out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return false;
    for (const char *line : {"Big", "me", "http://a.example/", "1.0", "-1", "-1", "0", "[english]=Big", "0"})
        std::fprintf(out, "%s\r\n", line);
    std::fprintf(out, "%d\r\n", 7 + DeepFolders + files - 1);
    writeNode(out, "Files", -1, "{files}\\", 0, 0);
    writeNode(out, "Big.mpl", 0, "(mappack)", -1, 11);
    QByteArray folder = "{files}\\";
    for (int i = 0; i < DeepFolders; ++i) {
        folder += "f\\";
        writeNode(out, "f", i == 0 ? 0 : i + 1, folder, 1, 2);
    }
    char name[32];
    for (int i = 0; i < files; ++i) {
        std::snprintf(name, sizeof name, "m%d.xan", i);
        writeNode(out, name, DeepFolders + 1, QByteArray("/nonexistent/") + name, 2, 5);
    }
    for (const auto &[text, tag] : {std::pair{"Maps", "maps"},
                                    {"Height maps", "hmaps"},
                                    {"Level icons", "icons"},
                                    {"Texture files", "textures"},
                                    {"Lua scripts", "scripts"}})
        writeNode(out, text, -1, QByteArray("{") + tag + "}\\", 0, 0);
    std::fprintf(out, "-1\r\n");
    return std::fclose(out) == 0;
}

// Made once for both benchmarks.
struct DeepProject
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("deep.mpr"));
    int files = deepFiles();
    bool ready = dir.isValid() && writeDeepProject(path, files);
};

DeepProject &deepProject()
{
    static DeepProject project;
    return project;
}

// Paints the window and lets every event queued by then, and the zero timers, run: after that
// the window answers the next input at once.
void settle(QWidget &window)
{
    QApplication::processEvents();
    window.repaint();
    QEventLoop idle;
    QTimer::singleShot(0, &idle, &QEventLoop::quit);
    idle.exec();
}

void windowOpenDeepProject(benchmark::State &state)
{
    DeepProject &deep = deepProject();
    if (!deep.ready) {
        state.SkipWithError("could not write the deep project");
        return;
    }
    ScriptedDialogs dialogs;
    Settings settings = LoadSettings();
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<TfrmEditor>(settings, &dialogs);
        editor->show();
        settle(*editor);
        state.ResumeTiming();
        editor->openStartupProject(deep.path);
        settle(*editor);
        state.PauseTiming();
        if (editor->project().tree().count() != 7 + DeepFolders + deep.files)
            state.SkipWithError("the project did not open whole");
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["files"] = deep.files;
}

void resaveBaseline(benchmark::State &state)
{
    DeepProject &deep = deepProject();
    const QString pack = buildFolder() + QStringLiteral("/tervelle-pack");
    if (!deep.ready || !QFile::exists(pack)) {
        state.SkipWithError("no deep project or no tervelle-pack; set TERVELLE_BUILD_DIR");
        return;
    }
    const QString resaved = deep.dir.filePath(QStringLiteral("resaved.mpr"));
    for (auto _ : state) {
        QProcess resave;
        resave.start(pack, {QStringLiteral("resave"), deep.path, resaved});
        if (!resave.waitForFinished(-1) || resave.exitStatus() != QProcess::NormalExit || resave.exitCode() != 0)
            state.SkipWithError("tervelle-pack resave failed");
    }
    state.counters["files"] = deep.files;
}

} // namespace

BENCHMARK(windowOpenDeepProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(resaveBaseline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
