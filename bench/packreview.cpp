// The pack review of a large project (100,000 tree nodes, 89 maps of 200 properties, every
// source a real file, 3,000 of them level icons whose TGA header is read), side by side with
// opening the same project, which also looks at every source once. The review should cost no
// more than half again the opening.

#include "core/common.h"
#include "core/langload.h"
#include "mappack/packreview.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tervelle;

namespace {

constexpr int TreeNodes = 100000;

struct Fixture
{
    QTemporaryDir dir;
    ProjectModel project;
    QString path;

    Fixture()
    {
        InitLanguage(QString());
        project.NewFile();
        PackProperties pack = project.packProperties();
        pack.PackPropertiesSet = true;
        project.setPackProperties(pack);
        const QString sources = dir.filePath(QStringLiteral("sources"));
        QDir().mkpath(sources);
        int n = 0;
        // Every source exists, as on the machine that builds the pack.
        const auto source = [&](const char *ext, const QByteArray &bytes) {
            const QString file = QStringLiteral("%1/file%2.%3").arg(sources).arg(n).arg(QLatin1String(ext));
            QFile out(file);
            if (out.open(QIODevice::WriteOnly))
                out.write(bytes);
            return file;
        };
        QByteArray icon("\0\0\x02\0\0\0\0\0\0\0\0\0\x01\0\x01\0\x18\0", 18);
        icon.append(3, '\x40');
        const struct { RootGroup group; FileType type; const char *ext; int count; } groups[] = {
            {MapsRoot, MapFile, "xan", 3000},        {HeightMapsRoot, HeightMapFile, "hmp", 3000},
            {IconsRoot, LevelIconFile, "tga", 3000}, {TexturesRoot, TextureListFile, "txt", 3000},
            {ScriptsRoot, ScriptFile, "lua", 3000},
        };
        for (const auto &g : groups) {
            for (int i = 0; i < g.count; ++i, ++n)
                project.AddFileElement(project.root(g.group), QStringLiteral("file%1.%2").arg(n).arg(QLatin1String(g.ext)),
                                       g.type, source(g.ext, g.type == LevelIconFile ? icon : QByteArray("data")));
        }
        TreeNode *files = project.root(FilesRoot);
        int remaining = TreeNodes - project.tree().count();
        while (remaining > 0) {
            TreeNode *folder = project.AddDirElement(files, QStringLiteral("folder%1").arg(n++));
            --remaining;
            for (int sub = 0; sub < 8 && remaining > 0; ++sub) {
                TreeNode *inner = project.AddDirElement(folder, QStringLiteral("sub%1").arg(sub));
                --remaining;
                for (int f = 0; f < 40 && remaining > 0; ++f, --remaining, ++n)
                    project.AddFileElement(inner, QStringLiteral("page%1.htm").arg(n), InfoPageFile,
                                           source("htm", QByteArray("<p>")));
            }
        }
        for (int m = 0; m < MaxMaps; ++m) {
            const int index = project.AddMap();
            project.SetMapPropertyValue(index, 3, QStringLiteral("file%1").arg(m));
            for (int p = FixedMapProperties; p < 200; ++p) {
                const int row = project.AddMapProperty(index, QStringLiteral("[extra%1]").arg(p));
                project.SetMapPropertyValue(index, row, QStringLiteral("value number %1 of map %2").arg(p).arg(m));
            }
        }
        path = dir.filePath(QStringLiteral("large.mpr"));
        SaveProjectFile(project, path);
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void ReviewLargeProject(benchmark::State &s)
{
    Fixture &f = fixture();
    std::size_t findings = 0;
    for (auto _ : s) {
        const PackReview review = ReviewPack(f.project, QString());
        findings = review.findings.size();
        benchmark::DoNotOptimize(findings);
    }
    // A sound pack of this size has nothing to say; a finding here means the fixture is wrong.
    if (findings != 0)
        s.SkipWithError(("the large project has findings: " + findingLine(ReviewPack(f.project, QString()).findings.front()).toStdString()).c_str());
}

// The baseline: opening the same project, which looks at every source too.
void OpenLargeProjectBaseline(benchmark::State &s)
{
    Fixture &f = fixture();
    ProjectModel project;
    project.NewFile();
    for (auto _ : s)
        OpenProjectFile(project, f.path);
    if (project.tree().count() != f.project.tree().count())
        s.SkipWithError("the project did not come back whole");
}

} // namespace

BENCHMARK(ReviewLargeProject)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenLargeProjectBaseline)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
