#include "core/langload.h"
#include "mappack/packreview.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"
#include "support/tgabuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace tervelle;

namespace {

class PackReviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        settings.AppDir = app.path() + QLatin1Char('/');
        test::editPack(model, [&](PackProperties &p) {
            p.PackName = QStringLiteral("Pack");
            p.PackVersion = QStringLiteral("1.0");
            p.PackPropertiesSet = true;
        });
        model.NewFile();
        model.AddMap();
    }

    QString file(const QString &name, const QByteArray &bytes = "data")
    {
        QString path = QDir(dir.path()).filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        test::writeBytes(path, bytes);
        return path;
    }

    TreeNode *add(RootGroup group, const QString &name, int type, const QString &path)
    {
        return model.AddFileElement(model.root(group), name, type, path);
    }

    // The findings of one class, as "where|message" lines.
    QStringList found(FindingClass kind)
    {
        QStringList lines;
        for (const Finding &f : ReviewPack(model, settings.AppDir).findings) {
            if (f.kind == kind)
                lines << f.where + QLatin1Char('|') + f.message;
        }
        return lines;
    }

    QTemporaryDir app;
    QTemporaryDir dir;
    Settings settings;
    ProjectModel model;
};

// Each source problem is an error or warning on its node, the path in the message; a sound
// file of the same group gives nothing, and the map list node never counts as missing.
TEST_F(PackReviewTest, SourceFilesAreJudgedByOneLook)
{
    const QString good = file(QStringLiteral("ok/arena.xan"));
    add(MapsRoot, QStringLiteral("arena.xan"), MapFile, good);
    const QString gone = file(QStringLiteral("gone.xan"));
    add(MapsRoot, QStringLiteral("gone.xan"), MapFile, gone);
    QFile::remove(gone);
    add(MapsRoot, QStringLiteral("never.xan"), MapFile, QStringLiteral("C:\\Maps\\never.xan"));
    // Found when added, a folder by the time of the build.
    const QString folder = file(QStringLiteral("folder.hmp"));
    add(HeightMapsRoot, QStringLiteral("folder.hmp"), HeightMapFile, folder);
    QFile::remove(folder);
    QDir().mkpath(folder);
    add(ScriptsRoot, QStringLiteral("empty.lua"), ScriptFile, file(QStringLiteral("empty.lua"), QByteArray()));
    add(ScriptsRoot, QStringLiteral("secret.lua"), ScriptFile, file(QStringLiteral(".ssh/secret.lua")));
    add(IconsRoot, QStringLiteral("good.tga"), LevelIconFile,
        file(QStringLiteral("good.tga"), test::standardTga(2, 2, 24, QByteArray(12, '\x40'))));
    add(IconsRoot, QStringLiteral("short.tga"), LevelIconFile,
        file(QStringLiteral("short.tga"), test::standardTga(64, 64, 24, QByteArray(12, '\x40'))));
    add(IconsRoot, QStringLiteral("huge.tga"), LevelIconFile,
        file(QStringLiteral("huge.tga"), test::standardTga(600, 1, 24, QByteArray(1800, 0))));
    const QString locked = file(QStringLiteral("locked.txt"));
    add(TexturesRoot, QStringLiteral("locked.txt"), TextureListFile, locked);
    ::chmod(QFile::encodeName(locked).constData(), 0);
    // /dev/null is neither regular nor private to the map maker, but it is a system folder.
    add(FilesRoot, QStringLiteral("null.bin"), PlainFile, QStringLiteral("/dev/null"));

    EXPECT_EQ(found(FindingClass::MissingSource),
              QStringList({QStringLiteral("Maps\\gone.xan|The source file %1 was not found.").arg(gone),
                           QStringLiteral("Maps\\never.xan|The source file C:\\Maps\\never.xan was not found.")}));
    EXPECT_EQ(found(FindingClass::NotRegularFile).size(), 2); // the folder and /dev/null
    EXPECT_TRUE(found(FindingClass::NotRegularFile).last().startsWith(QStringLiteral("Height maps\\folder.hmp|")));
    EXPECT_EQ(found(FindingClass::EmptySource).size(), 1);
    EXPECT_TRUE(found(FindingClass::EmptySource).first().startsWith(QStringLiteral("Lua scripts\\empty.lua|")));
    EXPECT_EQ(found(FindingClass::PublishedSystemFile).size(), 1);
    EXPECT_TRUE(
        found(FindingClass::PublishedSystemFile).first().startsWith(QStringLiteral("Lua scripts\\secret.lua|")));
    const QStringList icons = found(FindingClass::UnreadableLevelIcon);
    ASSERT_EQ(icons.size(), 2);
    EXPECT_TRUE(icons[0].startsWith(QStringLiteral("Level icons\\short.tga|")));
    EXPECT_TRUE(icons[1].startsWith(QStringLiteral("Level icons\\huge.tga|")));
    if (geteuid() != 0) { // root reads everything
        EXPECT_EQ(found(FindingClass::UnreadableSource).size(), 1);
    }

    const PackReview review = ReviewPack(model, settings.AppDir);
    EXPECT_TRUE(review.hasErrors());
    // Errors lead, so a long list starts with what stops the build.
    for (std::size_t i = 1; i < review.findings.size(); ++i)
        EXPECT_LE(review.findings[i - 1].severity, review.findings[i].severity);
    for (const Finding &f : review.findings)
        EXPECT_FALSE(f.where.contains(QStringLiteral("arena.xan")) || f.where.contains(QStringLiteral(".mpl")))
            << f.where.toStdString();
}

// A private file reached another way is judged by what it reaches, and both paths are named:
// a doubled slash, a file link into a hidden folder and a path through a linked folder.
TEST_F(PackReviewTest, PrivateFilesAreJudgedByThePathTheyReach)
{
    const QString key = file(QStringLiteral("home/.ssh/id_rsa"), "secret");
    const QString shared = QDir(dir.path()).filePath(QStringLiteral("shared"));
    QDir().mkpath(shared);
    ASSERT_TRUE(QFile::link(key, shared + QStringLiteral("/arena.xan")));
    ASSERT_TRUE(QFile::link(QFileInfo(key).path(), shared + QStringLiteral("/keys")));
    add(MapsRoot, QStringLiteral("arena.xan"), MapFile, shared + QStringLiteral("/arena.xan"));
    add(FilesRoot, QStringLiteral("id_rsa"), PlainFile, shared + QStringLiteral("/keys/id_rsa"));
    add(FilesRoot, QStringLiteral("passwd"), PlainFile, QStringLiteral("//etc/passwd"));
    add(FilesRoot, QStringLiteral("plain.txt"), PlainFile, file(QStringLiteral("shared/plain.txt")));

    const QStringList lines = found(FindingClass::PublishedSystemFile);
    ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Files\\id_rsa|"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(key)) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Files\\passwd|"))) << lines[1].toStdString();
    EXPECT_EQ(lines[2],
              QStringLiteral("Maps\\arena.xan|This file will be published in the installer: %1 leads to %2, "
                             "which lies in a hidden or system folder.")
                  .arg(shared + QStringLiteral("/arena.xan"), key));
    const PackReview review = ReviewPack(model, settings.AppDir);
    EXPECT_TRUE(publishesPrivateFiles(review));
    EXPECT_EQ(privateSourceLines(review, 2).count(QLatin1Char('\n')), 2); // two and "1 more"
}

// Past a bound one finding stands for the rest of its kind: a project of thousands of missing
// files costs a bounded list, while the counts still tell the whole.
TEST_F(PackReviewTest, FindingsPastTheBoundAreCounted)
{
    TreeNode *folder = model.AddDirElement(model.root(FilesRoot), QString(250, QLatin1Char('F')));
    for (int i = 0; i < 2500; ++i)
        model.AddFileElement(folder, QStringLiteral("m%1.xan").arg(i), PlainFile,
                             QStringLiteral("/nonexistent/m%1").arg(i));

    const PackReview review = ReviewPack(model, settings.AppDir);
    int listed = 0;
    int more = 0;
    for (const Finding &f : review.findings) {
        if (f.kind == FindingClass::MissingSource) {
            ++listed;
            more += f.more;
        }
    }
    EXPECT_EQ(listed, 1001);
    EXPECT_EQ(more, 1499);
    EXPECT_EQ(review.count(Severity::Error), 2500);
    const Finding &last = review.findings[1000];
    EXPECT_EQ(last.more, 1499);
    EXPECT_TRUE(findingLine(last).endsWith(QStringLiteral("1499 more like this one are not listed.")));
}

// All of the texts the build refuses come out at once, each at its place; the first no longer
// hides the rest.
TEST_F(PackReviewTest, EveryRefusedTextIsAFinding)
{
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = QStringLiteral("Pack ");
        p.PackAuthor = QStringLiteral("me\r#expr");
    });
    add(FilesRoot, QStringLiteral("a:b.txt"), PlainFile, file(QStringLiteral("ab.txt")));
    add(FilesRoot, QStringLiteral("quote.txt"), PlainFile, file(QStringLiteral("q\"uote.txt")));
    QStringList rows = model.map(0).Info.Properties;
    rows << QStringLiteral("{");
    model.CommitMapProperties(0, rows);

    const PackReview review = ReviewPack(model, settings.AppDir);
    QStringList places;
    for (const Finding &f : review.findings) {
        if (f.kind == FindingClass::RefusedText) {
            EXPECT_EQ(f.severity, Severity::Error);
            places << f.where;
        }
    }
    EXPECT_EQ(places,
              QStringList({QStringLiteral("Map pack properties"), QStringLiteral("Map pack properties"),
                           QStringLiteral("New map, {"), QStringLiteral("Files\\a:b.txt"),
                           QStringLiteral("Files\\quote.txt")}));
}

// Map values and header links name something of the pack or a standard entry of the game,
// compared ignoring letter case as the game does.
TEST_F(PackReviewTest, ValuesMustNameWhatThePackHolds)
{
    add(MapsRoot, QStringLiteral("Arena.xan"), MapFile, file(QStringLiteral("Arena.xan")));
    add(ScriptsRoot, QStringLiteral("mine.lua"), ScriptFile, file(QStringLiteral("mine.lua")));
    TreeNode *info = model.AddDirElement(model.root(FilesRoot), QStringLiteral("info"));
    model.AddFileElement(info, QStringLiteral("about.htm"), InfoPageFile, file(QStringLiteral("about.htm")));
    model.AddMap();
    model.AddMap();
    const auto set = [&](int map, int row, const QString &value) { model.SetMapPropertyValue(map, row, value); };
    set(0, 3, QStringLiteral("ARENA"));                  // known map, other case
    set(0, 2, QStringLiteral("stdvs.lua,WormPot,mine")); // standard and own scripts
    set(1, 3, QStringLiteral("canyon"));                 // no such map
    set(1, 1, QStringLiteral("arena.tga"));              // no such icon
    set(1, 4, QStringLiteral("ThemeNowhere\\x.txt"));    // no such texture list
    set(1, 2, QStringLiteral("stdvs,other"));            // no such script
    set(1, 0, QStringLiteral("Second"));
    // Map 2 keeps its empty "[map]".
    model.SetHeaderValue(1, QStringLiteral("INFO\\About.htm"));
    model.AddHeaderKey(QStringLiteral("[htmlgerman]"), LinkKey);
    model.SetHeaderValue(2, QStringLiteral("info\\gone.htm"));
    model.AddHeaderKey(QStringLiteral("[htmlfrench]"), LinkKey); // empty: no page in that language

    EXPECT_EQ(found(FindingClass::MapFileUnknown),
              QStringList(QStringLiteral("Second, [map]|[map] names canyon, which is not a map under Maps.")));
    EXPECT_EQ(found(FindingClass::MapFileEmpty),
              QStringList(QStringLiteral("New map, [map]|[map] is empty: the map has no map file.")));
    EXPECT_EQ(found(FindingClass::PickListValue),
              QStringList({QStringLiteral("Second, [image]|[image] holds arena.tga, which is not in its list."),
                           QStringLiteral("Second, [scripts]|[scripts] holds other, which is not in its list."),
                           QStringLiteral(
                               "Second, [textures]|[textures] holds ThemeNowhere\\x.txt, which is not in its list.")}));
    EXPECT_EQ(found(FindingClass::HeaderLinkMissing),
              QStringList(QStringLiteral(
                  "[htmlgerman]|[htmlgerman] links to info\\gone.htm, which is not a page under Files.")));
}

// Where each file goes on a Windows machine: a file below another file goes nowhere, and two
// files whose installed paths differ only in letter case land on one another.
TEST_F(PackReviewTest, InstallPlacesAreComparedAsWindowsDoes)
{
    TreeNode *host = add(FilesRoot, QStringLiteral("host.txt"), PlainFile, file(QStringLiteral("host.txt")));
    model.AddFileElement(host, QStringLiteral("child.txt"), PlainFile, file(QStringLiteral("child.txt")));
    add(MapsRoot, QStringLiteral("arena.xan"), MapFile, file(QStringLiteral("m/arena.xan")));
    add(TexturesRoot, QStringLiteral("ARENA.XAN"), TextureListFile, file(QStringLiteral("t/ARENA.XAN")));
    TreeNode *themes = model.AddDirElement(model.root(TexturesRoot), QStringLiteral("Themes"));
    model.AddFileElement(themes, QStringLiteral("arena.xan"), TextureListFile, file(QStringLiteral("t/x/arena.xan")));
    // Same name in two groups that install to different folders: no clash.
    add(IconsRoot, QStringLiteral("arena.tga"), LevelIconFile,
        file(QStringLiteral("arena.tga"), test::standardTga(1, 1, 24, QByteArray(3, 0))));
    add(FilesRoot, QStringLiteral("arena.tga"), PlainFile, file(QStringLiteral("f/arena.tga")));

    EXPECT_EQ(
        found(FindingClass::NotInstalled),
        QStringList(QStringLiteral(
            "Files\\host.txt\\child.txt|The installer will not copy child.txt: it lies under a file, not under a group or a folder.")));
    EXPECT_EQ(
        found(FindingClass::SameInstallPlace),
        QStringList(QStringLiteral(
            "Texture files\\ARENA.XAN|It installs to the same place as Maps\\arena.xan: Windows does not tell letter case apart.")));
}

// Thousands of files: each name that differs from an earlier one in letter case only, in the
// same folder or through a name that reaches into it, clashes with that earlier one, whatever
// the number of places already taken.
TEST_F(PackReviewTest, EveryClashAmongManyFilesNamesTheFirst)
{
    TreeNode *folder = model.AddDirElement(model.root(MapsRoot), QStringLiteral("big"));
    constexpr int Files = 3000;
    for (int i = 0; i < Files; ++i)
        model.AddFileElement(folder, QStringLiteral("m%1.xan").arg(i), MapFile, QStringLiteral("/nowhere/m.xan"));
    // Every tenth again in capitals, then one reaching into the folder from its group.
    for (int i = 0; i < Files; i += 10)
        model.AddFileElement(folder, QStringLiteral("M%1.XAN").arg(i), MapFile, QStringLiteral("/nowhere/m.xan"));
    add(MapsRoot, QStringLiteral("BIG\\m7.xan"), MapFile, QStringLiteral("/nowhere/m.xan"));

    int clashes = 0;
    for (const Finding &f : ReviewPack(model, settings.AppDir).findings) {
        if (f.kind != FindingClass::SameInstallPlace)
            continue;
        clashes += 1 + f.more;
        if (clashes == 1) {
            EXPECT_EQ(f.where + QLatin1Char('|') + f.message,
                      QStringLiteral("Maps\\big\\M0.XAN|It installs to the same place as Maps\\big\\m0.xan: Windows "
                                     "does not tell letter case apart."));
        }
    }
    EXPECT_EQ(clashes, Files / 10 + 1);
    EXPECT_EQ(found(FindingClass::SameInstallPlace).last(),
              QStringLiteral("Maps\\BIG\\m7.xan|It installs to the same place as Maps\\big\\m7.xan: Windows does not "
                             "tell letter case apart."));
}

// A new pack: no errors, and the two notes that say what is still to do; texts follow the
// language table.
TEST_F(PackReviewTest, NotesAndTextsFromTheLanguageTable)
{
    test::editPack(model, [&](PackProperties &p) { p.PackPropertiesSet = false; });
    model.NewFile();
    PackReview review = ReviewPack(model, settings.AppDir);
    ASSERT_EQ(review.findings.size(), 2u);
    EXPECT_FALSE(review.hasErrors());
    EXPECT_EQ(review.findings[0].kind, FindingClass::NoMaps);
    EXPECT_EQ(review.findings[1].kind, FindingClass::PackPropertiesNotSet);
    EXPECT_EQ(reviewSummary(review), QStringLiteral("0 error(s), 0 warning(s), 2 note(s)"));

    const ScopedLangText noMaps(LangKey::message_Check_NoMaps, QStringLiteral("Keine Karten /k /f"));
    const ScopedLangText note(LangKey::message_Check_Note, QStringLiteral("Hinweis"));
    review = ReviewPack(model, settings.AppDir);
    EXPECT_EQ(
        findingLine(review.findings[0]),
        QStringLiteral("Hinweis: Map pack properties: Keine Karten   Add a map with Edit, Add on the Maps panel."));
}

} // namespace
