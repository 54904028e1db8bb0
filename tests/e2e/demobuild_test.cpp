#include "support/testcompiler.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

const QString BuildFolder = QStringLiteral(TERVELLE_BINARY_DIR);

struct ProcessRun
{
    int exitCode = -1;
    QString output;
};

ProcessRun run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    ProcessRun result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

// The demo project the build writes into examples/, built as a newcomer would build it, with
// the real compiler; the installer carries every pack file under its number.
TEST(DemoBuild, TheDemoProjectBuildsAnInstallerWithItsNumberedFiles)
{
    const QString compiler = BuildFolder + QStringLiteral("/iscc");
    const QString project = BuildFolder + QStringLiteral("/examples/demo.mpr");
    if (!QFileInfo(compiler + QStringLiteral("/iscc.exe")).isFile())
        GTEST_SKIP() << "no compiler in " << compiler.toStdString() << " (run scripts/setup-iscc)";
    if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("innoextract")).isEmpty())
        GTEST_SKIP() << "wine or innoextract is not installed (run scripts/bootstrap)";
    ASSERT_TRUE(QFileInfo(project).isFile()) << "the build did not write " << project.toStdString();
    qputenv("WINEPREFIX", TERVELLE_WINEPREFIX);
    qputenv("WINEARCH", "win32");
    qputenv("WINEDEBUG", "-all");
    qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=");

    // A program folder of its own with the compiler linked in, so the build's script and map
    // list never meet those of other tests.
    QTemporaryDir dir;
    const QString appDir = dir.filePath(QStringLiteral("app")) + QLatin1Char('/');
    ASSERT_TRUE(tervelle::test::linkRealCompiler(compiler, appDir));

    const QString installer = dir.filePath(QStringLiteral("demo.exe"));
    const ProcessRun build =
        run(BuildFolder + QStringLiteral("/tervelle-pack"),
            {QStringLiteral("build"), project, QStringLiteral("--out"), installer, QStringLiteral("--appdir"), appDir});
    ASSERT_EQ(build.exitCode, 0) << build.output.toStdString();
    EXPECT_TRUE(build.output.trimmed().endsWith(QStringLiteral("Done"))) << build.output.toStdString();

    // Each number and the file it stands for: the tree's absolute indexes.
    const QString demo = BuildFolder + QStringLiteral("/examples/demo/");
    const std::map<QString, QString> expected = {
        {QStringLiteral("1.tmp"), appDir + QStringLiteral("iscc/maplists/Tervelle demo pack.mpl")},
        {QStringLiteral("3.tmp"), demo + QStringLiteral("files/info/demo.htm")},
        {QStringLiteral("5.tmp"), demo + QStringLiteral("maps/arena.xan")},
        {QStringLiteral("6.tmp"), demo + QStringLiteral("maps/canyon.xan")},
        {QStringLiteral("8.tmp"), demo + QStringLiteral("hmaps/arena.hmp")},
        {QStringLiteral("9.tmp"), demo + QStringLiteral("hmaps/canyon.hmp")},
        {QStringLiteral("11.tmp"), demo + QStringLiteral("icons/arena.tga")},
        {QStringLiteral("12.tmp"), demo + QStringLiteral("icons/canyon.tga")},
        {QStringLiteral("14.tmp"), demo + QStringLiteral("textures/demo.txt")},
        {QStringLiteral("16.tmp"), demo + QStringLiteral("scripts/demo.lua")},
    };

    const QString extracted = dir.filePath(QStringLiteral("extracted"));
    const ProcessRun extract =
        run(QStringLiteral("innoextract"), {QStringLiteral("--silent"), QStringLiteral("-d"), extracted, installer});
    ASSERT_EQ(extract.exitCode, 0) << extract.output.toStdString();
    const QStringList found = QDir(extracted + QStringLiteral("/tmp")).entryList(QDir::Files, QDir::Name);
    QStringList wanted;
    for (const auto &[name, source] : expected)
        wanted << name;
    wanted.sort();
    EXPECT_EQ(found, wanted);
    for (const auto &[name, source] : expected) {
        const QByteArray bytes = tervelle::test::readBytes(source);
        EXPECT_FALSE(bytes.isEmpty()) << source.toStdString();
        EXPECT_EQ(tervelle::test::readBytes(extracted + QStringLiteral("/tmp/") + name), bytes) << name.toStdString();
    }
}

} // namespace
