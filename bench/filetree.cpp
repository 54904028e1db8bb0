// Files tree work that must stay linear in the number of nodes: adds anywhere in a large tree
// with the absolute index looked up after each, the name test before each add, removing many
// children in either order, and reopening and saving a project whose folders nest deeply.

#include "core/common.h"
#include "core/langload.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace tervelle;

namespace {

QString sourcePath(int n, const char *ext)
{
    return QStringLiteral("/packs/source/file%1.%2").arg(n).arg(QLatin1String(ext));
}

// A project of `nodes` nodes: files in every group, information pages in folders of {files}.
void fillProject(ProjectModel &project, int nodes)
{
    project.NewFile();
    const int perGroup = nodes / 10;
    const struct
    {
        RootGroup group;
        FileType type;
        const char *ext;
    } groups[] = {
        {MapsRoot, MapFile, "xan"},        {HeightMapsRoot, HeightMapFile, "hmp"},
        {IconsRoot, LevelIconFile, "tga"}, {TexturesRoot, TextureListFile, "txt"},
        {ScriptsRoot, ScriptFile, "lua"},
    };
    // Counted here: asking the tree for its size between adds is not what is measured.
    int made = project.tree().count();
    int n = 0;
    for (const auto &g : groups) {
        for (int i = 0; i < perGroup; ++i, ++n, ++made)
            project.AddFileElement(project.root(g.group), QStringLiteral("file%1.%2").arg(n).arg(QLatin1String(g.ext)),
                                   g.type, sourcePath(n, g.ext));
    }
    TreeNode *files = project.root(FilesRoot);
    while (made < nodes) {
        TreeNode *folder = project.AddDirElement(files, QStringLiteral("folder%1").arg(n++));
        ++made;
        for (int f = 0; f < 50 && made < nodes; ++f, ++n, ++made)
            project.AddFileElement(folder, QStringLiteral("page%1.htm").arg(n), InfoPageFile, sourcePath(n, "htm"));
    }
}

// One add into a group of a 100,000-node tree followed by the lookup a save or build makes.
void addThenIndex(benchmark::State &s, RootGroup group)
{
    ProjectModel project;
    fillProject(project, 100000);
    project.absoluteIndex(project.root(FilesRoot));
    int n = 0;
    for (auto _ : s) {
        TreeNode *node = project.AddFileElement(project.root(group), QStringLiteral("extra%1").arg(n++), PlainFile,
                                                QStringLiteral("/nowhere"));
        benchmark::DoNotOptimize(project.absoluteIndex(node));
    }
}

void AddIntoMapsThenIndex(benchmark::State &s)
{
    addThenIndex(s, MapsRoot);
}
void AddIntoScriptsThenIndex(benchmark::State &s)
{
    addThenIndex(s, ScriptsRoot);
}

// 32,000 files into one group, as "Add selected resources" does, with and without the name
// test that comes before each add.
void addMany(benchmark::State &s, bool nameTest)
{
    const int count = int(s.range(0));
    for (auto _ : s) {
        s.PauseTiming();
        auto project = std::make_unique<ProjectModel>();
        project->NewFile();
        TreeNode *maps = project->root(MapsRoot);
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QStringLiteral("map%1.xan").arg(i);
        s.ResumeTiming();
        for (const QString &name : names) {
            if (nameTest && project->findFileNode(maps, name))
                continue;
            project->AddFileElement(maps, name, MapFile, QStringLiteral("/nowhere"));
        }
        s.PauseTiming();
        project.reset();
        s.ResumeTiming();
    }
}

void AddWithNameTest(benchmark::State &s)
{
    addMany(s, true);
}
void AddWithoutNameTest(benchmark::State &s)
{
    addMany(s, false);
}

// Removing every child of a folder of 40,000 files one by one.
void removeChildren(benchmark::State &s, bool firstToLast)
{
    const int count = int(s.range(0));
    for (auto _ : s) {
        s.PauseTiming();
        auto project = std::make_unique<ProjectModel>();
        project->NewFile();
        TreeNode *folder = project->AddDirElement(project->root(FilesRoot), QStringLiteral("many"));
        for (int i = 0; i < count; ++i)
            project->AddFileElement(folder, QStringLiteral("f%1").arg(i), PlainFile, QStringLiteral("/nowhere"));
        s.ResumeTiming();
        while (folder->childCount() > 0)
            project->DeleteNode(folder->child(firstToLast ? 0 : folder->childCount() - 1));
        s.PauseTiming();
        project.reset();
        s.ResumeTiming();
    }
}

void RemoveFirstToLast(benchmark::State &s)
{
    removeChildren(s, true);
}
void RemoveLastToFirst(benchmark::State &s)
{
    removeChildren(s, false);
}

// Opening and saving again a project of 800,000 nodes, as `tervelle-pack resave` does. Nested:
// chains of 500 folders, each holding a file after its subfolder; flat: folders of files.
// Every folder line holds the folder's whole path, so the nested file is several times the bytes
// of the flat one: its time should follow the bytes, not the depth.
void resave(benchmark::State &s, bool nested)
{
    const int nodes = int(s.range(0));
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.mpr"));
    const QString out = dir.filePath(QStringLiteral("out.mpr"));
    {
        ProjectModel project;
        project.NewFile();
        TreeNode *files = project.root(FilesRoot);
        int made = project.tree().count();
        int n = 0;
        while (made < nodes) {
            TreeNode *folder = files;
            if (nested) {
                std::vector<TreeNode *> chain;
                for (int depth = 0; depth < 500 && made < nodes; ++depth, ++made)
                    chain.push_back(folder = project.AddDirElement(folder, QStringLiteral("d")));
                for (auto it = chain.rbegin(); it != chain.rend() && made < nodes; ++it, ++n, ++made)
                    project.AddFileElement(*it, QStringLiteral("f%1.htm").arg(n), InfoPageFile, sourcePath(n, "htm"));
            } else {
                folder = project.AddDirElement(files, QStringLiteral("d%1").arg(n++));
                ++made;
                for (int f = 0; f < 500 && made < nodes; ++f, ++n, ++made)
                    project.AddFileElement(folder, QStringLiteral("f%1.htm").arg(n), InfoPageFile,
                                           sourcePath(n, "htm"));
            }
        }
        SaveProjectFile(project, in);
    }
    ProjectModel project;
    project.NewFile();
    for (auto _ : s) {
        OpenProjectFile(project, in);
        SaveProjectFile(project, out);
    }
    if (project.tree().count() != nodes)
        s.SkipWithError("the project did not come back whole");
}

void ResaveNested(benchmark::State &s)
{
    resave(s, true);
}
void ResaveFlat(benchmark::State &s)
{
    resave(s, false);
}

BENCHMARK(AddIntoMapsThenIndex)->Unit(benchmark::kMicrosecond);
BENCHMARK(AddIntoScriptsThenIndex)->Unit(benchmark::kMicrosecond);
BENCHMARK(AddWithNameTest)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(AddWithoutNameTest)->Arg(32000)->Unit(benchmark::kMillisecond);
BENCHMARK(RemoveFirstToLast)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK(RemoveLastToFirst)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK(ResaveNested)->Arg(800000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ResaveFlat)->Arg(800000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    InitLanguage();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
