#include "e2e/packfixture.h"
#include "support/shareduser.h"

#include <QDirIterator>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace tervelle;
using namespace tervelle::test;

namespace {

TEST_F(PackBuild, InstallerCarriesExactlyTheNumberedFilesOfTheScript)
{
    fillProject(QStringLiteral("extra"), QString());
    const QString installer = dir.filePath(QStringLiteral("out/Island pack.exe"));
    QDir().mkpath(dir.filePath(QStringLiteral("out")));

    const ToolRun run = build(installer);
    ASSERT_EQ(run.exitCode, 0) << run.output.join('\n').toStdString() << run.errors.toStdString();
    // The placeholder level icon is no picture: the check's warning leads the console.
    const qsizetype started = run.output.indexOf(QStringLiteral("Started building map pack"));
    ASSERT_GE(started, 0);
    for (qsizetype i = 0; i < started; ++i)
        EXPECT_TRUE(run.output[i].startsWith(QStringLiteral("warning: "))) << run.output[i].toStdString();
    EXPECT_EQ(run.output.last(), "Done");
    ASSERT_TRUE(QFileInfo(installer).isFile());
    EXPECT_TRUE(QFileInfo(StagingFolder(appDir) + QStringLiteral("New map pack.mpl")).isFile());

    const auto scripted = scriptedFiles(setupScriptPath(appDir));
    EXPECT_EQ(scripted, expectedFiles());
    EXPECT_EQ(scripted.size(), 7u);
    EXPECT_EQ(listedFiles(installer), scripted);
}

TEST_F(PackBuild, QuotesAndBracesInstallUnderTheirExactNames)
{
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = QStringLiteral("Bob's {best}, 100%");
        p.PackVersion = QStringLiteral("{2}");
        p.PackAuthor = QStringLiteral("\"Bob\"");
        p.PackWebSite = QStringLiteral("http://bob.example/{x}'");
    });
    model.SetHeaderValue(0, QStringLiteral("Bob's {pack}"));
    fillProject(QStringLiteral("{x}'s #1"), QStringLiteral("it's {a} "));
    TreeNode *theme = model.AddDirElement(model.root(TexturesRoot), QStringLiteral("My'{Theme}"));
    addFile(theme, QStringLiteral("My'{Theme}.txt"), TextureListFile);
    const QString installer = dir.filePath(QStringLiteral("out/{it's}.exe"));
    QDir().mkpath(dir.filePath(QStringLiteral("out")));

    const ToolRun run = build(installer);
    ASSERT_EQ(run.exitCode, 0) << run.output.join('\n').toStdString() << run.errors.toStdString();
    EXPECT_EQ(run.output.last(), "Done");
    ASSERT_TRUE(QFileInfo(installer).isFile());
    EXPECT_TRUE(QFileInfo(StagingFolder(appDir) + QStringLiteral("Bob's {pack}.mpl")).isFile());
    const auto scripted = scriptedFiles(setupScriptPath(appDir));
    EXPECT_EQ(scripted, expectedFiles());
    EXPECT_EQ(listedFiles(installer), scripted);

    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed: the installer was not run";
    ASSERT_EQ(install(installer, launcher, worms), 0);

    const QString prefix = QStringLiteral("it's {a} ");
    for (const QString &file :
         {launcher + QStringLiteral("maplists/Bob's {pack}.mpl"),
          launcher + QStringLiteral("maplists/{x}'s #1/") + prefix + QStringLiteral("info.htm"),
          worms + QStringLiteral("data/maps/") + prefix + QStringLiteral("island.xan"),
          worms + QStringLiteral("data/maps/") + prefix + QStringLiteral("island.hmp"),
          worms + QStringLiteral("data/maps/") + prefix + QStringLiteral("theme.txt"),
          worms + QStringLiteral("data/maps/My'{Theme}/My'{Theme}.txt"),
          worms + QStringLiteral("data/scripts/") + prefix + QStringLiteral("island.lua"),
          worms + QStringLiteral("data/frontend/levels/") + prefix + QStringLiteral("island.tga")}) {
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    }
    EXPECT_EQ(test::readBytes(worms + QStringLiteral("data/maps/My'{Theme}/My'{Theme}.txt")), "My'{Theme}.txt content");
    // The shortcuts carry the pack name whole, commas, braces and percent signs included.
    bool shortcut = false;
    for (QDirIterator it(QStringLiteral(TERVELLE_WINEPREFIX "/drive_c"), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        if (it.next().endsWith(QStringLiteral("/Bob's {best}, 100% on the Web.url")))
            shortcut = true;
    }
    EXPECT_TRUE(shortcut);

    // What the installer recorded for uninstalling holds the typed values unchanged.
    const ToolRun uninstallKey = runTool(
        QStringLiteral("wine"),
        {QStringLiteral("reg"), QStringLiteral("query"),
         QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bob's {best}, 100%_is1")});
    const QString recorded = uninstallKey.output.join('\n');
    EXPECT_TRUE(recorded.contains(QStringLiteral("Publisher    REG_SZ    \"Bob\""))) << recorded.toStdString();
    EXPECT_TRUE(recorded.contains(QStringLiteral("DisplayName    REG_SZ    Bob's {best}, 100% {2}")))
        << recorded.toStdString();
    EXPECT_TRUE(recorded.contains(QStringLiteral("URLInfoAbout    REG_SZ    http://bob.example/{x}'")))
        << recorded.toStdString();
}

// Where the system's code page is 932, the byte of "ƒ" starts a two-byte character that takes the
// quote or brace after it: a Pascal string or a "{{" escape would end elsewhere than we wrote.
TEST_F(PackBuild, NamesInstallExactlyUnderAJapaneseLocale)
{
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = QStringLiteral("Café ƒ'");
        p.PackVersion = QStringLiteral("1ƒ{src}");
    });
    model.SetHeaderValue(0, QStringLiteral("Café ƒ{pack}"));
    fillProject(QStringLiteral("ƒ{x}"), QStringLiteral("café ƒ'"));
    const QString installer = dir.filePath(QStringLiteral("ƒ'.exe"));

    const ToolRun run = build(installer, QStringLiteral("ja_JP.UTF-8"));
    ASSERT_EQ(run.exitCode, 0) << run.output.join('\n').toStdString() << run.errors.toStdString();
    EXPECT_EQ(listedFiles(installer), expectedFiles());
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed: the installer was not run";
    ASSERT_EQ(install(installer, launcher, worms), 0);

    const QString prefix = QStringLiteral("café ƒ'");
    for (const QString &file : {launcher + QStringLiteral("maplists/Café ƒ{pack}.mpl"),
                                launcher + QStringLiteral("maplists/ƒ{x}/") + prefix + QStringLiteral("info.htm"),
                                worms + QStringLiteral("data/maps/") + prefix + QStringLiteral("island.xan"),
                                worms + QStringLiteral("data/scripts/") + prefix + QStringLiteral("island.lua")}) {
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    }
    // The version is text: its "{src}" was never expanded to the installer's folder.
    const ToolRun uninstallKey = runTool(
        QStringLiteral("wine"),
        {QStringLiteral("reg"), QStringLiteral("query"),
         QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"), QStringLiteral("/s")});
    EXPECT_TRUE(uninstallKey.output.join('\n').contains(QStringLiteral("{src}")))
        << uninstallKey.output.join('\n').toStdString();
}

TEST_F(PackBuild, PreprocessorDirectiveInANameIsTakenLiterally)
{
    fillProject(QStringLiteral("{#x}"), QStringLiteral("{#b} "));
    const QString installer = dir.filePath(QStringLiteral("pack.exe"));

    const ToolRun run = build(installer);
    ASSERT_EQ(run.exitCode, 0) << run.output.join('\n').toStdString() << run.errors.toStdString();
    const auto scripted = scriptedFiles(setupScriptPath(appDir));
    EXPECT_EQ(scripted, expectedFiles());
    EXPECT_EQ(listedFiles(installer), scripted);
}

TEST_F(PackBuild, RejectedScriptShowsTheCompilersErrorLines)
{
    // A language whose messages file the compiler folder lacks: the compiler stops with its
    // error on standard error.
    test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {QStringLiteral("klingon")}; });
    const QString installer = dir.filePath(QStringLiteral("pack.exe"));

    const ToolRun run = build(installer);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_GE(run.output.size(), 3);
    EXPECT_EQ(run.output.first(), "Started building map pack");
    EXPECT_EQ(run.output.last(), "Error occured!");
    const QString output = run.output.join('\n');
    EXPECT_TRUE(output.contains(QStringLiteral("Error on line"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("klingon"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("Compile aborted."))) << output.toStdString();
    EXPECT_FALSE(QFileInfo(installer).exists());
}

// The compiler under Wine looks names up ignoring case: two sources of one folder whose names
// differ only in case each reach the installer with their own bytes, and the build's copies
// are gone afterwards.
TEST_F(PackBuild, SourcesDifferingOnlyInCaseEachKeepTheirBytes)
{
    const QString lower = dir.filePath(QStringLiteral("maker/a.tga"));
    const QString upper = dir.filePath(QStringLiteral("maker/A.TGA"));
    test::writeBytes(lower, test::standardTga(1, 1, 24, QByteArray("\x10\x20\x30", 3)));
    test::writeBytes(upper, "the plain file under Files");
    model.AddFileElement(model.root(IconsRoot), QStringLiteral("a.tga"), LevelIconFile, lower);
    model.AddFileElement(model.root(FilesRoot), QStringLiteral("A.TGA"), PlainFile, upper);
    addFile(model.root(MapsRoot), QStringLiteral("island.xan"), MapFile);
    const QString installer = dir.filePath(QStringLiteral("pack.exe"));

    const ToolRun run = build(installer);
    ASSERT_EQ(run.exitCode, 0) << run.output.join('\n').toStdString() << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(stagedSourcesFolder(appDir)));
    const QString extracted = dir.filePath(QStringLiteral("extracted"));
    const ToolRun extract =
        runTool(QStringLiteral("innoextract"), {QStringLiteral("-s"), QStringLiteral("-d"), extracted, installer});
    ASSERT_EQ(extract.exitCode, 0) << extract.errors.toStdString();

    int compared = 0;
    for (const PackFileEntry &entry : NumberPackFiles(model, appDir)) {
        if (!entry.isPackFile)
            continue;
        const QString packed = extracted + QStringLiteral("/tmp/") + NumberedName(entry.absoluteIndex);
        EXPECT_EQ(test::readBytes(packed), test::readBytes(entry.source())) << entry.node->Text().toStdString();
        ++compared;
    }
    EXPECT_EQ(compared, 4); // the map list, A.TGA, island.xan, a.tga
}

// A lone CR in a pack text would give the compiler's preprocessor a line of its own: here one
// that runs a program on the build machine while the installer is made, even were the compile
// to fail afterwards.
TEST_F(PackBuild, LineBreakInAPackTextNeverReachesTheCompiler)
{
    const QString marker = dir.filePath(QStringLiteral("ran.txt"));
    test::editPack(model, [&](PackProperties &p) {
        p.PackVersion =
            QStringLiteral("1.0\r#expr Exec(\"cmd.exe\", \"/c echo ran> %1\", \"\", 1)").arg(dosPath(marker));
    });
    const QString installer = dir.filePath(QStringLiteral("pack.exe"));

    const ToolRun run = build(installer);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.isEmpty()) << "the compiler was started: " << run.output.join('\n').toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("The pack version \"1.0\\r#expr Exec(")))
        << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(marker)) << "the project's command ran on the build machine";
    EXPECT_FALSE(QFileInfo::exists(setupScriptPath(appDir)));
    EXPECT_FALSE(QFileInfo::exists(installer));
}

// Installed as it stands, this name would put the file beside the game's folder, not in it.
TEST_F(PackBuild, NameLeavingItsFolderIsRefusedBeforeTheCompilerRuns)
{
    TreeNode *map = addFile(model.root(MapsRoot), QStringLiteral("island.xan"), MapFile);
    model.RenameNode(map, QStringLiteral("..\\..\\..\\escaped.xan"));
    const QString installer = dir.filePath(QStringLiteral("pack.exe"));

    const ToolRun run = build(installer);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.isEmpty()) << "the compiler was started: " << run.output.join('\n').toStdString();
    EXPECT_TRUE(
        run.errors.contains(QStringLiteral("In Maps\\ of the files tree, the file \"..\\..\\..\\escaped.xan\"")))
        << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(installer));
    EXPECT_FALSE(QFileInfo::exists(StagingFolder(appDir) + QStringLiteral("New map pack.mpl")));
}

TEST_F(PackBuild, FullDiskDuringTheCompileKeepsTheEarlierInstaller)
{
    fillProject(QStringLiteral("extra"), QString());
    // Noise the compiler cannot squeeze below the size limit.
    QByteArray noise(3 * 1024 * 1024, '\0');
    quint32 noiseState = 7;
    for (char &byte : noise) {
        noiseState = noiseState * 1103515245u + 12345u;
        byte = char(noiseState >> 24);
    }
    const QString big = dir.filePath(QStringLiteral("maker/big.xan"));
    test::writeBytes(big, noise);
    model.AddFileElement(model.root(MapsRoot), QStringLiteral("big.xan"), MapFile, big);
    QDir().mkpath(dir.filePath(QStringLiteral("out")));
    const QString installer = dir.filePath(QStringLiteral("out/pack.exe"));
    const ToolRun good = build(installer);
    ASSERT_EQ(good.exitCode, 0) << good.output.join('\n').toStdString() << good.errors.toStdString();
    const QByteArray previous = test::readBytes(installer);

    // Room for the setup stub's copy but not the installer, and room for nothing of either.
    for (const rlim_t limit : {rlim_t(3) << 20, rlim_t(1) << 20}) {
        SCOPED_TRACE(limit);
        test::FileSizeLimit smallDisk(limit);
        const ToolRun full = build(installer);
        smallDisk.lift();
        // A Wine server the build started keeps the limit and would fail every later build.
        runTool(QStringLiteral("wineserver"), {QStringLiteral("-k")});

        EXPECT_EQ(full.exitCode, 1) << full.output.join('\n').toStdString();
        ASSERT_FALSE(full.output.isEmpty());
        EXPECT_EQ(full.output.last(), "Error occured!");
        EXPECT_EQ(test::readBytes(installer), previous);
        EXPECT_EQ(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"pack.exe"});
    }
}

// The compiler opens "<name>.e32.tmp" beside its installer following links, writes its setup stub
// there and removes it after. In an output folder the group shares, another member plants that
// name as a link to a file of the map maker's; or the map maker has a file of that name.
TEST_F(PackBuild, FilesAtTheCompilersTemporaryNameAreNeitherWrittenNorRemoved)
{
    test::SharedGroupUser planter;
    if (planter.skipReason())
        GTEST_SKIP() << planter.skipReason();
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    ASSERT_TRUE(planter.letThrough(dir.path()) && planter.share(out));
    const QString thesis = dir.filePath(QStringLiteral("thesis.txt"));
    test::writeBytes(thesis, "years of work");
    const QString temporary = out + QStringLiteral("/pack.e32.tmp");
    ASSERT_TRUE(planter.as("ln -s " + QFile::encodeName(thesis) + " " + QFile::encodeName(temporary)));

    const QString installer = out + QStringLiteral("/pack.exe");
    ToolRun run = build(installer);
    EXPECT_EQ(run.exitCode, 0) << run.output.join('\n').toStdString() << run.errors.toStdString();
    EXPECT_EQ(run.output.value(run.output.size() - 1), "Done");
    EXPECT_TRUE(test::readBytes(installer).startsWith("MZ"));
    EXPECT_EQ(test::readBytes(thesis), "years of work");
    EXPECT_TRUE(QFileInfo(temporary).isSymLink());

    QFile::remove(temporary);
    test::writeBytes(temporary, "the map maker's own");
    run = build(installer);
    EXPECT_EQ(run.exitCode, 0) << run.output.join('\n').toStdString() << run.errors.toStdString();
    EXPECT_EQ(test::readBytes(temporary), "the map maker's own");
    EXPECT_EQ(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"pack.e32.tmp", "pack.exe"}));
}

} // namespace
