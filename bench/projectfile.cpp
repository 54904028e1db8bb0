// Opening and saving a large project (100,000 tree nodes, 89 maps of 200 properties), side by
// side with plain line reading and writing of the same bytes, so the cost of the format itself
// shows as a ratio; a deep tree of 800,000 nodes in nested folders; and a crafted file of 50 MB
// of empty lines. After the table, the peak memory of opening each file, measured in a child
// process so that one case's peak does not hide the next.

#include "project/projectfile.h"
#include "core/common.h"
#include "core/errors.h"
#include "core/langload.h"
#include "project/projectmodel.h"

#include "largeproject.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace tervelle;

namespace {

constexpr int DeepNodes = 800000;

// Files in deep folders: 1,000 chains of 40 nested folders, 19 files on every level. Built depth
// first, so every node is appended at the end of the walk, as the reader does.
void buildDeepProject(ProjectModel &project)
{
    project.NewFile();
    TreeNode *files = project.root(FilesRoot);
    int nodes = project.tree().count();
    int n = 0;
    for (int chain = 0; nodes < DeepNodes; ++chain) {
        TreeNode *folder = files;
        for (int level = 0; level < 40 && nodes < DeepNodes; ++level) {
            folder = project.AddDirElement(folder, QStringLiteral("level%1").arg(level));
            ++nodes;
            for (int f = 0; f < 19 && nodes < DeepNodes; ++f, ++n, ++nodes)
                project.AddFileElement(folder, QStringLiteral("page%1.htm").arg(n), InfoPageFile,
                                       QStringLiteral("/packs/source/chain%1/page%2.htm").arg(chain).arg(n));
        }
    }
}

// The file's lines without their CR LF, and its size, for the plain baselines.
std::vector<std::string> plainLines(const QString &path, std::int64_t &bytes)
{
    std::vector<std::string> lines;
    std::ifstream in(path.toStdString(), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        bytes += std::int64_t(line.size()) + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// A project built in memory and saved once, with its lines for the plain baselines.
struct Fixture
{
    QTemporaryDir dir;
    ProjectModel project;
    QString path;
    std::vector<std::string> lines;
    std::int64_t bytes = 0;

    Fixture(void (*build)(ProjectModel &), const QString &name)
    {
        build(project);
        path = dir.filePath(name);
        SaveProjectFile(project, path);
        lines = plainLines(path, bytes);
    }
};

Fixture &fixture()
{
    static Fixture f([](ProjectModel &project) { buildLargeProject(project); }, QStringLiteral("large.mpr"));
    return f;
}

Fixture &deepFixture()
{
    static Fixture f(buildDeepProject, QStringLiteral("deep.mpr"));
    return f;
}

// 50 MB of empty lines behind a list block that claims them all as installer languages: read
// as list items they once took 1.3 GB.
struct EmptyLinesFixture
{
    QTemporaryDir dir;
    QString path;
    std::int64_t bytes = 0;

    EmptyLinesFixture()
    {
        path = dir.filePath(QStringLiteral("empty.mpr"));
        constexpr int Chunk = 1 << 19;
        constexpr int Lines = 48 * Chunk; // CR LF each: 48 MB
        std::ofstream out(path.toStdString(), std::ios::binary);
        out << "New map pack\r\n\r\n\r\n1.0\r\n0\r\n" << Lines - 1 << "\r\n";
        std::string crlf;
        for (int i = 0; i < Chunk; ++i)
            crlf += "\r\n";
        for (int written = 0; written < Lines; written += Chunk)
            out << crlf;
        out.close();
        bytes = QFileInfo(path).size();
    }
};

EmptyLinesFixture &emptyLinesFixture()
{
    static EmptyLinesFixture f;
    return f;
}

// Opens `path` as File, Open does, and prints the peak resident memory of this process in KB.
// The child process of openPeakMegabytes runs only this; an empty path measures the program alone.
void openOnly(const QString &path)
{
    if (!path.isEmpty()) {
        ProjectModel project;
        project.NewFile();
        try {
            OpenProjectFile(project, path);
        } catch (const UserError &) {
        }
    }
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            std::printf("%s\n", line.substr(6).c_str());
    }
}

// Peak resident memory, in MB, of a fresh process of this program that opens `path`, or -1.
// A fresh process, because a child only forked keeps the parent's peak.
double openPeakMegabytes(const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open-only"), path});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return -1;
    bool ok = false;
    const double kilobytes =
        QString::fromLatin1(child.readAllStandardOutput()).remove(QStringLiteral("kB")).trimmed().toDouble(&ok);
    return ok ? kilobytes / 1024.0 : -1;
}

// Opens the fixture's file again and again; it must come back with all its nodes and maps.
void openProject(benchmark::State &s, const Fixture &f)
{
    ProjectModel project;
    project.NewFile();
    for (auto _ : s)
        OpenProjectFile(project, f.path);
    if (project.tree().count() != f.project.tree().count() || project.mapCount() != f.project.mapCount())
        s.SkipWithError("the project did not come back whole");
    s.SetBytesProcessed(s.iterations() * f.bytes);
}

void saveProject(benchmark::State &s, Fixture &f)
{
    const QString out = f.dir.filePath(QStringLiteral("saved.mpr"));
    for (auto _ : s)
        SaveProjectFile(f.project, out);
    s.SetBytesProcessed(s.iterations() * f.bytes);
}

void OpenProject(benchmark::State &s)
{
    openProject(s, fixture());
}

void OpenDeepProject(benchmark::State &s)
{
    openProject(s, deepFixture());
}

void SaveDeepProject(benchmark::State &s)
{
    saveProject(s, deepFixture());
}

// The crafted file is refused; what counts is that refusing it is quick and small.
void OpenEmptyLines(benchmark::State &s)
{
    EmptyLinesFixture &f = emptyLinesFixture();
    ProjectModel project;
    project.NewFile();
    for (auto _ : s) {
        try {
            OpenProjectFile(project, f.path);
            s.SkipWithError("the crafted file opened");
        } catch (const UserError &) {
        }
    }
    s.SetBytesProcessed(s.iterations() * f.bytes);
}

// The baselines: the same bytes read into lines, or the same lines written, with nothing else.
void readLines(benchmark::State &s, const QString &path, std::int64_t bytes)
{
    for (auto _ : s) {
        std::ifstream in(path.toStdString(), std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(std::move(line));
        benchmark::DoNotOptimize(lines.data());
    }
    s.SetBytesProcessed(s.iterations() * bytes);
}

void writeLines(benchmark::State &s, const std::string &out, const std::vector<std::string> &lines, std::int64_t bytes)
{
    for (auto _ : s) {
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        for (const std::string &line : lines)
            file << line << "\r\n";
    }
    s.SetBytesProcessed(s.iterations() * bytes);
}

void IfstreamReadLines(benchmark::State &s)
{
    readLines(s, fixture().path, fixture().bytes);
}

void IfstreamReadDeepLines(benchmark::State &s)
{
    readLines(s, deepFixture().path, deepFixture().bytes);
}

void IfstreamReadEmptyLines(benchmark::State &s)
{
    readLines(s, emptyLinesFixture().path, emptyLinesFixture().bytes);
}

void SaveProject(benchmark::State &s)
{
    saveProject(s, fixture());
}

void OfstreamWriteLines(benchmark::State &s)
{
    Fixture &f = fixture();
    writeLines(s, f.dir.filePath(QStringLiteral("plain.mpr")).toStdString(), f.lines, f.bytes);
}

void OfstreamWriteDeepLines(benchmark::State &s)
{
    Fixture &f = deepFixture();
    writeLines(s, f.dir.filePath(QStringLiteral("plain.mpr")).toStdString(), f.lines, f.bytes);
}

BENCHMARK(OpenProject)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadLines)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveProject)->Unit(benchmark::kMillisecond);
BENCHMARK(OfstreamWriteLines)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenDeepProject)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadDeepLines)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDeepProject)->Unit(benchmark::kMillisecond);
BENCHMARK(OfstreamWriteDeepLines)->Unit(benchmark::kMillisecond);
// Refusing the crafted file against merely reading its lines.
BENCHMARK(OpenEmptyLines)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadEmptyLines)->Unit(benchmark::kMillisecond);

// Prints the ratios of this run after the usual table.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration)
                m_times[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        ratio("open", "OpenProject", "IfstreamReadLines");
        ratio("save", "SaveProject", "OfstreamWriteLines");
        std::printf("the program alone: peak %.0f MB\n", openPeakMegabytes(QString()));
        peak("flat", fixture().path, fixture().bytes);
        peak("deep", deepFixture().path, deepFixture().bytes);
        peak("empty lines", emptyLinesFixture().path, emptyLinesFixture().bytes);
    }

private:
    // Medians, so that repetitions (--benchmark_repetitions) steady the figure on a busy machine.
    double median(const std::string &name)
    {
        std::vector<double> &times = m_times[name];
        if (times.empty())
            return 0;
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }
    void ratio(const char *what, const std::string &ours, const std::string &plain)
    {
        const double oursTime = median(ours);
        const double plainTime = median(plain);
        if (oursTime > 0 && plainTime > 0)
            std::printf("%s: %.2fx the plain stream time (median %.1f ms against %.1f ms)\n", what,
                        oursTime / plainTime, oursTime, plainTime);
    }
    void peak(const char *what, const QString &path, std::int64_t bytes)
    {
        const double megabytes = double(bytes) / (1 << 20);
        const double peakMegabytes = openPeakMegabytes(path);
        std::printf("open %s: peak %.0f MB for a file of %.1f MB (%.1fx)\n", what, peakMegabytes, megabytes,
                    peakMegabytes / megabytes);
    }
    std::map<std::string, std::vector<double>> m_times;
};

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    InitLanguage();
    if (argc == 3 && std::string(argv[1]) == "--open-only") {
        openOnly(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
