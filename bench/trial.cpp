// A trial of the demo pack with the template ready, against a bare silent install and uninstall
// of the same installer in a prepared Wine prefix; and, once, the trial that makes the template.
// Needs the build folder (TERVELLE_BUILD_DIR, by default the one this program was built in, with
// iscc/ laid out and examples/demo.mpr written), Wine and Xvfb.

#include "support/testcompiler.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tervelle;

namespace {

QString buildFolder()
{
    const QString named = qEnvironmentVariable("TERVELLE_BUILD_DIR");
    return named.isEmpty() ? QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).absolutePath()
                           : named;
}

// The cache that holds the template, and the demo's installer, made once for the program.
struct Setting
{
    QTemporaryDir dir;
    QString appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
    QString installer = dir.filePath(QStringLiteral("demo.exe"));
    QString cache = dir.filePath(QStringLiteral("cache"));
    bool ready = false;

    Setting()
    {
        if (!test::linkRealCompiler(buildFolder() + QStringLiteral("/iscc"), appDir))
            return;
        QProcess build;
        build.start(buildFolder() + QStringLiteral("/tervelle-pack"),
                    {QStringLiteral("build"), buildFolder() + QStringLiteral("/examples/demo.mpr"),
                     QStringLiteral("--out"), installer, QStringLiteral("--appdir"), appDir});
        ready = build.waitForFinished(600000) && build.exitCode() == 0;
    }
};

Setting &setting()
{
    static Setting shared;
    return shared;
}

// Runs a program to its end and returns the wall seconds, or -1 when it failed.
double timed(const QString &program, const QStringList &args, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, args);
    const bool ended = process.waitForFinished(600000);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? seconds : -1;
}

double runTrial()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), setting().cache);
    return timed(buildFolder() + QStringLiteral("/tervelle-pack"),
                 {QStringLiteral("try"), buildFolder() + QStringLiteral("/examples/demo.mpr"),
                  QStringLiteral("--installer"), setting().installer, QStringLiteral("--appdir"), setting().appDir},
                 environment);
}

void trialFirstTime(benchmark::State &state)
{
    if (!setting().ready) {
        state.SkipWithError("set TERVELLE_BUILD_DIR to a build folder with iscc/ laid out");
        return;
    }
    for (auto _ : state) {
        QDir(setting().cache).removeRecursively();
        const double seconds = runTrial();
        if (seconds < 0)
            state.SkipWithError("the trial failed");
        state.SetIterationTime(std::max(seconds, 0.0));
    }
}

void trialDemo(benchmark::State &state)
{
    if (!setting().ready || (!QDir(setting().cache).exists() && runTrial() < 0)) {
        state.SkipWithError("set TERVELLE_BUILD_DIR to a build folder with iscc/ laid out");
        return;
    }
    for (auto _ : state) {
        const double seconds = runTrial();
        if (seconds < 0)
            state.SkipWithError("the trial failed");
        state.SetIterationTime(std::max(seconds, 0.0));
    }
}

// The same installer installed and uninstalled silently in a prefix prepared beforehand from the
// trial's template, the launcher's values and folders in place, on a display of its own.
void bareInstallUninstallBaseline(benchmark::State &state)
{
    const QString templatePrefix = setting().cache + QStringLiteral("/Orbeck/Tervelle/template");
    const QString prefix = setting().dir.filePath(QStringLiteral("bare"));
    const QString prepare = QStringLiteral(
        "set -e; rm -rf \"$2\"; cp -a \"$1\" \"$2\"; "
        "printf '\\n[Software\\\\\\\\Orbeck\\\\\\\\Quorvane] 1\\n\"AppDir\"=\"C:\\\\\\\\Quorvane\\\\\\\\\"\\n"
        "\"WormsDir\"=\"C:\\\\\\\\Worms 4 Mayhem\\\\\\\\\"\\n' >> \"$2/system.reg\"; "
        "mkdir -p \"$2/drive_c/Quorvane\" \"$2/drive_c/Worms 4 Mayhem/data/maps\" "
        "\"$2/drive_c/Worms 4 Mayhem/data/scripts\" \"$2/drive_c/Worms 4 Mayhem/data/frontend/levels\"");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!setting().ready || !QDir(templatePrefix).exists()
        || timed(QStringLiteral("sh"), {QStringLiteral("-c"), prepare, QStringLiteral("sh"), templatePrefix, prefix},
                 environment)
            < 0) {
        state.SkipWithError("run the trial benchmarks first: they make the template");
        return;
    }
    environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    environment.insert(QStringLiteral("WINEARCH"), QStringLiteral("win32"));
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml=;winemenubuilder.exe=d"));
    const QString run =
        QStringLiteral("wine \"$1\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART && "
                       "wine 'C:\\Program Files\\Quorvane\\installed\\Tervelle demo pack\\unins000.exe' /VERYSILENT "
                       "/SUPPRESSMSGBOXES /NORESTART && wineserver -w");
    for (auto _ : state) {
        const double seconds = timed(QStringLiteral("xvfb-run"),
                                     {QStringLiteral("-a"), QStringLiteral("sh"), QStringLiteral("-c"), run,
                                      QStringLiteral("sh"), setting().installer},
                                     environment);
        if (seconds < 0)
            state.SkipWithError("the bare install failed");
        state.SetIterationTime(std::max(seconds, 0.0));
    }
    timed(QStringLiteral("wineserver"), {QStringLiteral("-k")}, environment);
}

} // namespace

BENCHMARK(trialFirstTime)->Name("trial/making_the_template")->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(trialDemo)->Name("trial/demo")->Iterations(3)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(bareInstallUninstallBaseline)
    ->Name("trial/bare_install_uninstall_baseline")
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
