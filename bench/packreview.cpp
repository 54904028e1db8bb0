// The pack review of a large project (100,000 tree nodes, 89 maps of 200 properties, every
// source a real file, 3,000 of them level icons whose TGA header is read), side by side with
// opening the same project, which also looks at every source once. The review should cost no
// more than half again the opening.

#include "mappack/packreview.h"
#include "core/common.h"
#include "core/langload.h"
#include "largeproject.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tervelle;

namespace {

struct Fixture
{
    QTemporaryDir dir;
    ProjectModel project;
    QString path;

    Fixture()
    {
        InitLanguage(QString());
        const QString sources = dir.filePath(QStringLiteral("sources"));
        QDir().mkpath(sources);
        QByteArray icon("\0\0\x02\0\0\0\0\0\0\0\0\0\x01\0\x01\0\x18\0", 18);
        icon.append(3, '\x40');
        // Every source exists, as on the machine that builds the pack.
        buildLargeProject(
            project,
            [&](int n, const char *ext, FileType type) {
                QString file = QStringLiteral("%1/file%2.%3").arg(sources).arg(n).arg(QLatin1String(ext));
                QFile out(file);
                if (out.open(QIODevice::WriteOnly))
                    out.write(type == LevelIconFile      ? icon
                                  : type == InfoPageFile ? QByteArray("<p>")
                                                         : QByteArray("data"));
                return file;
            },
            true);
        PackProperties pack = project.packProperties();
        pack.PackPropertiesSet = true;
        project.setPackProperties(pack);
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
        s.SkipWithError(("the large project has findings: "
                         + findingLine(ReviewPack(f.project, QString()).findings.front()).toStdString())
                            .c_str());
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
