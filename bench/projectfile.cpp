// Opening and saving a large project (100,000 tree nodes, 89 maps of 200 properties), side by
// side with plain line reading and writing of the same bytes, so the cost of the format itself
// shows as a ratio; a deep tree of 800,000 nodes on 500 levels; and a crafted file of 50 MB of
// empty lines. Opening must also look at every file node's source once, so its floor is reading
// the lines and one stat() per file node: with sources missing, as on a machine that did not
// build the pack, and with every source a real file. Warm, and cold where this process may drop
// the kernel's caches (as root outside a read-only /proc/sys): then the project file's pages and
// every cached directory entry and inode are dropped before each iteration. After the table, the
// peak memory of opening each file, measured in a child process so that one case's peak does not
// hide the next.

#include "project/projectfile.h"
#include "core/common.h"
#include "core/errors.h"
#include "core/langload.h"
#include "project/projectmodel.h"

#include "largeproject.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tervelle;

namespace {

constexpr int DeepNodes = 800000;
constexpr int DeepLevels = 500;

// The deep project: one chain of 500 nested folders with about 1,600 files on every level. The
// folders have one-letter names, as the reader takes folder paths of at most 1,024 characters.
// Built depth first, a folder's files before its subfolder, so every node is appended at the end
// of the walk, as the reader does.
void buildDeepProject(ProjectModel &project, const LargeProjectSource &source)
{
    project.NewFile();
    TreeNode *folder = project.root(FilesRoot);
    int nodes = project.tree().count();
    const int files = DeepNodes - nodes - DeepLevels;
    const int filesPerLevel = (files + DeepLevels - 1) / DeepLevels; // the last level has fewer
    int n = 0;
    for (int level = 0; level < DeepLevels; ++level) {
        folder = project.AddDirElement(folder, QStringLiteral("f"));
        ++nodes;
        for (int f = 0; f < filesPerLevel && nodes < DeepNodes; ++f, ++n, ++nodes)
            project.AddFileElement(folder, QStringLiteral("page%1.htm").arg(n), InfoPageFile,
                                   source(n, "htm", InfoPageFile));
    }
}

// Sources that exist: an empty file each (a stat finds it whatever its size), 1,000 to a folder.
LargeProjectSource realSources(const QString &folder)
{
    return [folder](int n, const char *ext, FileType) {
        const QString sub = QStringLiteral("%1/%2").arg(folder).arg(n / 1000);
        QString path = QStringLiteral("%1/file%2.%3").arg(sub).arg(n).arg(QLatin1String(ext));
        const QByteArray name = QFile::encodeName(path);
        int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0 && QDir().mkpath(sub))
            fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
        return path;
    };
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

using Build = void (*)(ProjectModel &, const LargeProjectSource &);

// A project built in memory and saved once, with its lines for the plain baselines. Only the
// projects that are saved again stay in memory; the others keep their counts.
struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<ProjectModel> project = std::make_unique<ProjectModel>();
    int nodeCount = 0;
    int mapCount = 0;
    QString path;
    std::vector<std::string> lines;
    std::int64_t bytes = 0;

    enum Sources { Missing, Real };

    Fixture(Build build, const QString &name, Sources sources)
    {
        build(*project, sources == Real ? realSources(dir.filePath(QStringLiteral("sources"))) : missingSource);
        path = dir.filePath(name);
        SaveProjectFile(*project, path);
        nodeCount = project->tree().count();
        mapCount = project->mapCount();
        if (sources == Real)
            project.reset();
        lines = plainLines(path, bytes);
    }
};

void buildLarge(ProjectModel &project, const LargeProjectSource &source)
{
    buildLargeProject(project, source);
}

Fixture &fixture()
{
    static Fixture f(buildLarge, QStringLiteral("large.mpr"), Fixture::Missing);
    return f;
}

Fixture &realFixture()
{
    static Fixture f(buildLarge, QStringLiteral("large.mpr"), Fixture::Real);
    return f;
}

Fixture &deepFixture()
{
    static Fixture f(buildDeepProject, QStringLiteral("deep.mpr"), Fixture::Missing);
    return f;
}

Fixture &realDeepFixture()
{
    static Fixture f(buildDeepProject, QStringLiteral("deep.mpr"), Fixture::Real);
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

// ---- Warm and cold ------------------------------------------------------------------------

enum class Cache { Warm, Cold };

constexpr const char *DropCaches = "/proc/sys/vm/drop_caches";

// Whether this process may drop the kernel's caches.
bool canDropCaches()
{
    const int fd = ::open(DropCaches, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Drops the pages of the project file and every cached directory entry and inode, the sources'
// with them, outside the timing. Dirty inodes stay cached, hence the sync first. False when the
// kernel refused.
bool dropCaches(benchmark::State &s, const QString &file)
{
    s.PauseTiming();
    ::sync();
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    const int drop = ::open(DropCaches, O_WRONLY | O_CLOEXEC);
    const bool dropped = drop >= 0 && ::write(drop, "2\n", 2) == 2;
    if (drop >= 0)
        ::close(drop);
    if (!dropped)
        s.SkipWithError("cannot drop the caches");
    s.ResumeTiming();
    return dropped;
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
void openProject(benchmark::State &s, const Fixture &f, Cache cache = Cache::Warm)
{
    ProjectModel project;
    project.NewFile();
    for (auto _ : s) {
        if (cache == Cache::Cold && !dropCaches(s, f.path))
            break;
        OpenProjectFile(project, f.path);
    }
    if (project.tree().count() != f.nodeCount || project.mapCount() != f.mapCount)
        s.SkipWithError("the project did not come back whole");
    s.SetBytesProcessed(s.iterations() * f.bytes);
}

void saveProject(benchmark::State &s, Fixture &f)
{
    const QString out = f.dir.filePath(QStringLiteral("saved.mpr"));
    for (auto _ : s)
        SaveProjectFile(*f.project, out);
    s.SetBytesProcessed(s.iterations() * f.bytes);
}

void OpenProject(benchmark::State &s)
{
    openProject(s, fixture());
}

void OpenProjectRealSources(benchmark::State &s)
{
    openProject(s, realFixture());
}

void OpenDeepProject(benchmark::State &s)
{
    openProject(s, deepFixture());
}

void OpenDeepProjectRealSources(benchmark::State &s)
{
    openProject(s, realDeepFixture());
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
std::vector<std::string> readLinesOnce(const QString &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(std::move(line));
    return lines;
}

void readLines(benchmark::State &s, const QString &path, std::int64_t bytes, Cache cache = Cache::Warm)
{
    for (auto _ : s) {
        if (cache == Cache::Cold && !dropCaches(s, path))
            break;
        const std::vector<std::string> lines = readLinesOnce(path);
        benchmark::DoNotOptimize(lines.data());
    }
    s.SetBytesProcessed(s.iterations() * bytes);
}

// The floor of opening: the lines as above, then one stat() per file node (image 4 and up) of
// the node records, found by skipping the header's counted lists as the reader does.
void readLinesAndStat(benchmark::State &s, const Fixture &f, Cache cache = Cache::Warm)
{
    std::int64_t found = 0;
    for (auto _ : s) {
        if (cache == Cache::Cold && !dropCaches(s, f.path))
            break;
        std::vector<std::string> lines = readLinesOnce(f.path);
        // Name, author, web site, version, the properties' flag; then the languages and the
        // header rows, each list its count less one and its items, the rows then their kinds.
        std::size_t at = 5;
        at += std::size_t(std::atol(lines[at].c_str()) + 2);
        at += std::size_t(2 * (std::atol(lines[at].c_str()) + 1) + 1);
        const long nodes = std::atol(lines[at].c_str()) + 1;
        found = 0;
        struct stat status;
        for (std::size_t node = at + 1, end = node + 5 * std::size_t(nodes); node < end; node += 5) {
            if (std::atol(lines[node + 4].c_str()) < 4)
                continue;
            std::string &path = lines[node + 2];
            if (!path.empty() && path.back() == '\r')
                path.pop_back();
            found += ::stat(path.c_str(), &status) == 0 ? 1 : 0;
        }
        benchmark::DoNotOptimize(found);
    }
    s.counters["found"] = double(found);
    s.SetBytesProcessed(s.iterations() * f.bytes);
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

void IfstreamReadLinesStatFiles(benchmark::State &s)
{
    readLinesAndStat(s, fixture());
}

void IfstreamReadLinesStatRealSources(benchmark::State &s)
{
    readLinesAndStat(s, realFixture());
}

void IfstreamReadDeepLinesStatFiles(benchmark::State &s)
{
    readLinesAndStat(s, deepFixture());
}

void IfstreamReadDeepLinesStatRealSources(benchmark::State &s)
{
    readLinesAndStat(s, realDeepFixture());
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

// A baseline stands for the benchmarks registered before it since the previous baseline
// (scripts/bench-report): the old plain one and the floor both for opening.
BENCHMARK(OpenProject)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadLines)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadLinesStatFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveProject)->Unit(benchmark::kMillisecond);
BENCHMARK(OfstreamWriteLines)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenProjectRealSources)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadLinesStatRealSources)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenDeepProject)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadDeepLines)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadDeepLinesStatFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDeepProject)->Unit(benchmark::kMillisecond);
BENCHMARK(OfstreamWriteDeepLines)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenDeepProjectRealSources)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadDeepLinesStatRealSources)->Unit(benchmark::kMillisecond);
// Refusing the crafted file against merely reading its lines.
BENCHMARK(OpenEmptyLines)->Unit(benchmark::kMillisecond);
BENCHMARK(IfstreamReadEmptyLines)->Unit(benchmark::kMillisecond);

// The cold runs, after the warm ones, each opening with its floors. Their time is real time, as
// most of it is spent waiting for the disk.
void registerColdBenchmarks()
{
    const struct
    {
        const char *open, *plain, *floor;
        Fixture &(*fixture)();
    } cases[] = {
        {"OpenProjectCold", "IfstreamReadLinesCold", "IfstreamReadLinesStatFilesCold", fixture},
        {"OpenProjectRealSourcesCold", nullptr, "IfstreamReadLinesStatRealSourcesCold", realFixture},
        {"OpenDeepProjectCold", "IfstreamReadDeepLinesCold", "IfstreamReadDeepLinesStatFilesCold", deepFixture},
        {"OpenDeepProjectRealSourcesCold", nullptr, "IfstreamReadDeepLinesStatRealSourcesCold", realDeepFixture},
    };
    for (const auto &c : cases) {
        Fixture &(*get)() = c.fixture;
        benchmark::RegisterBenchmark(c.open, [get](benchmark::State &s) { openProject(s, get(), Cache::Cold); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        if (c.plain) {
            benchmark::RegisterBenchmark(
                c.plain, [get](benchmark::State &s) { readLines(s, get().path, get().bytes, Cache::Cold); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
        benchmark::RegisterBenchmark(c.floor, [get](benchmark::State &s) { readLinesAndStat(s, get(), Cache::Cold); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

// Prints the ratios of this run after the usual table.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_display_aggregates_only (as scripts/bench-report runs it) only the
        // aggregates come here; their median stands for the repetitions.
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                m_times[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        ratio("open to reading its lines", "OpenProject", "IfstreamReadLines");
        ratio("open to its floor", "OpenProject", "IfstreamReadLinesStatFiles");
        ratio("open deep to its floor", "OpenDeepProject", "IfstreamReadDeepLinesStatFiles");
        ratio("open cold to its floor", "OpenProjectCold", "IfstreamReadLinesStatFilesCold");
        ratio("open deep cold to its floor", "OpenDeepProjectCold", "IfstreamReadDeepLinesStatFilesCold");
        ratio("save to writing its lines", "SaveProject", "OfstreamWriteLines");
        std::printf("the program alone: peak %.0f MB\n", openPeakMegabytes(QString()));
        peak("flat", fixture().path, fixture().bytes);
        peak("deep", deepFixture().path, deepFixture().bytes);
        peak("empty lines", emptyLinesFixture().path, emptyLinesFixture().bytes);
        modelBytes("deep", deepFixture().path);
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
            std::printf("%s: %.2fx (median %.1f ms against %.1f ms)\n", what, oursTime / plainTime, oursTime,
                        plainTime);
    }
    void peak(const char *what, const QString &path, std::int64_t bytes)
    {
        const double megabytes = double(bytes) / (1 << 20);
        const double peakMegabytes = openPeakMegabytes(path);
        std::printf("open %s: peak %.0f MB for a file of %.1f MB (%.1fx)\n", what, peakMegabytes, megabytes,
                    peakMegabytes / megabytes);
    }
    // What the open project holds on the heap once opening is over, by file node: the model's
    // own layout, without the program or what opening used on the way.
    static void modelBytes(const char *what, const QString &path)
    {
        const auto used = [] { return double(mallinfo2().uordblks + mallinfo2().hblkhd); };
        auto project = std::make_unique<ProjectModel>();
        project->NewFile();
        const double before = used();
        OpenProjectFile(*project, path);
        const double after = used();
        int files = 0;
        for (const TreeNode *node : project->tree().nodes())
            files += node->isFile() ? 1 : 0;
        std::printf("model of the %s project: %.0f bytes a file node (%d files)\n", what, (after - before) / files,
                    files);
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
    if (canDropCaches())
        registerColdBenchmarks();
    else
        std::printf("the cold runs are left out: this process may not write %s\n", DropCaches);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
