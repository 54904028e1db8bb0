#include "core/errors.h"
#include "core/langload.h"
#include "core/textcodec.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"
#include "project/textlines.h"
#include "support/filesizelimit.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

using namespace tervelle;

namespace {

// What the tree looks like in a file: text, parent index, path, kind and image of every node.
QStringList treeRecord(const ProjectModel &model)
{
    QStringList record;
    for (const TreeNode *node : model.tree().nodes()) {
        record << QStringLiteral("%1|%2|%3|%4|%5|%6")
                      .arg(node->Text())
                      .arg(node->parent() ? model.absoluteIndex(node->parent()) : -1)
                      .arg(node->Info().Path)
                      .arg(node->Info().Kind)
                      .arg(node->ImageIndex())
                      .arg(node->SelectedIndex());
    }
    return record;
}

class ProjectFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        model.NewFile();
    }
    void TearDown() override { test::resetLanguage(); }

    QString file(const QString &name) const { return dir.filePath(name); }

    void openBytes(const QByteArray &bytes)
    {
        test::writeBytes(file("in.mpr"), bytes);
        OpenProjectFile(model, file("in.mpr"));
    }

    QTemporaryDir dir;
    Settings settings;
    ProjectModel model;
};

const QStringList ExampleLines = {
    "New map pack",
    "",
    MakerWebSite,
    "1.0",
    "0",
    "-1",
    "1",
    "[english]=New map pack",
    "[htmlenglish]=",
    "0",
    "1",
    "6",
    "Files",
    "-1",
    "{files}\\",
    "0",
    "0",
    "New map pack.mpl",
    "0",
    "(mappack)",
    "-1",
    "11",
    "Maps",
    "-1",
    "{maps}\\",
    "0",
    "0",
    "Height maps",
    "-1",
    "{hmaps}\\",
    "0",
    "0",
    "Level icons",
    "-1",
    "{icons}\\",
    "0",
    "0",
    "Texture files",
    "-1",
    "{textures}\\",
    "0",
    "0",
    "Lua scripts",
    "-1",
    "{scripts}\\",
    "0",
    "0",
    "0",
    "New map",
    "6",
    "[text]=New map",
    "[image]=nolevel.tga",
    "[scripts]=stdvs,wormpot",
    "[map]=",
    "[textures]=ThemeBuilding\\ThemeBuilding.txt",
    "[texture1]=C01",
    "[texture2]=C03",
    "0",
    "1",
    "2",
    "3",
    "4",
    "5",
    "5",
};

// ---- Writing -----------------------------------------------------------------------------

TEST_F(ProjectFile, NewProjectWithOneMapIsTheKnownSixtyFourLines)
{
    ASSERT_EQ(ExampleLines.size(), 64);
    model.AddMap();
    SaveProjectFile(model, file("example.mpr"));
    EXPECT_EQ(test::readBytes(file("example.mpr")), test::crlfLines(ExampleLines));
}

TEST_F(ProjectFile, ExtraRowsFollowTheDefaultsAndEmptyListsAreMinusOne)
{
    EXPECT_TRUE(ProjectFileBytes(model).endsWith("\r\n0\r\n0\r\n-1\r\n")) << "no maps ends with -1";

    test::editPack(model, [&](PackProperties &p) {
        p.PackLanguages = QStringList{"german", "french"};
        p.PackPropertiesSet = true;
    });
    model.AddHeaderKey("[htmlgerman]", LinkKey);
    const int map = model.AddMap();
    model.AddMapProperty(map, "[author]");
    const QList<QByteArray> lines = ProjectFileBytes(model).split('\n');
    EXPECT_EQ(lines[4], "-1\r");
    EXPECT_EQ(lines.mid(5, 3), (QList<QByteArray>{"1\r", "german\r", "french\r"}));
    EXPECT_EQ(lines.mid(8, 7),
              (QList<QByteArray>{"2\r", "[english]=New map pack\r", "[htmlenglish]=\r", "[htmlgerman]=\r", "0\r", "1\r",
                                 "1\r"}));
    const qsizetype tail = lines.size() - 17; // first property of the last map
    EXPECT_EQ(lines[tail - 2], "New map\r");
    EXPECT_EQ(lines[tail - 1], "7\r");
    EXPECT_EQ(lines[tail + 7], "[author]=\r");
    EXPECT_EQ(lines.mid(tail + 8, 9), (QList<QByteArray>{"0\r", "1\r", "2\r", "3\r", "4\r", "5\r", "5\r", "0\r", ""}));
}

// ---- Round trip --------------------------------------------------------------------------

TEST_F(ProjectFile, SavedProjectOpensIdentical)
{
    const QString found = file("island.xan");
    test::writeBytes(found, "map");
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = "Island Pack";
        p.PackAuthor = "Ann\rExample\r"; // lone carriage returns are no line ends
        p.PackVersion = "2.1 beta";
        p.PackLanguages = {"english", "german"};
        p.PackPropertiesSet = true;
    });
    model.SetHeaderValue(0, "Islands = Fun");
    model.AddHeaderKey("[german]", TextKey);
    model.SetHeaderValue(2, "Inseln äöü");
    model.AddHeaderKey("[htmlgerman]", LinkKey);
    TreeNode *info = model.AddDirElement(model.root(FilesRoot), "info");
    TreeNode *deeper = model.AddDirElement(info, "a");
    model.AddFileElement(deeper, "readme.htm", InfoPageFile, "/nowhere/readme.htm");
    model.AddFileElement(model.root(FilesRoot), "late.txt", PlainFile, file("late.txt"));
    model.AddFileElement(model.root(MapsRoot), "island.xan", MapFile, found);
    TreeNode *theme = model.AddDirElement(model.root(TexturesRoot), "Theme");
    model.AddFileElement(theme, "Theme.txt", TextureListFile, "/nowhere/Theme.txt");
    model.AddFileElement(model.root(ScriptsRoot), "boom.lua", ScriptFile, "/nowhere/boom.lua");
    const int first = model.AddMap();
    model.SetMapPropertyValue(first, 0, "Isle");
    model.AddMapProperty(first, "[extra]");
    model.SetMapPropertyValue(first, 7, "a=b=c");
    // A project file may name a map otherwise than its [text] says.
    model.appendMap("Shown otherwise", ProjectModel::defaultMapInfo());

    const QStringList tree = treeRecord(model);
    const QByteArray saved = ProjectFileBytes(model);
    SaveProjectFile(model, file("p.mpr"));

    ProjectModel reopened;
    const PackProperties &reopenedState = reopened.packProperties();
    reopened.NewFile();
    QSignalSpy reset(&reopened, &ProjectModel::projectReset);
    OpenProjectFile(reopened, file("p.mpr"));
    ASSERT_EQ(reset.count(), 1);
    EXPECT_EQ(reset.at(0).at(0).value<ResetKind>(), ResetKind::Open);

    EXPECT_EQ(reopenedState.PackName, "Island Pack");
    EXPECT_EQ(reopenedState.PackAuthor, "Ann\rExample\r");
    EXPECT_EQ(reopenedState.PackWebSite, MakerWebSite);
    EXPECT_EQ(reopenedState.PackVersion, "2.1 beta");
    EXPECT_EQ(reopenedState.PackLanguages, (QStringList{"english", "german"}));
    EXPECT_TRUE(reopenedState.PackPropertiesSet);
    EXPECT_EQ(reopened.headerRows(), model.headerRows());
    ASSERT_EQ(reopened.headerInfo().size(), 4);
    EXPECT_EQ(reopened.headerInfo()[3].KeyKind, LinkKey);
    EXPECT_EQ(treeRecord(reopened), tree);
    ASSERT_NE(reopened.MapListNode(), nullptr);
    EXPECT_EQ(reopened.MapListNode()->Text(), "Islands = Fun.mpl");
    EXPECT_EQ(reopened.absoluteIndex(reopened.MapListNode()), 1);
    ASSERT_EQ(reopened.mapCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(reopened.map(i).displayName, model.map(i).displayName);
        EXPECT_EQ(reopened.map(i).Info.Properties, model.map(i).Info.Properties);
        EXPECT_EQ(reopened.map(i).Info.ValueKinds, model.map(i).Info.ValueKinds);
    }
    EXPECT_EQ(ProjectFileBytes(reopened), saved);
}

TEST_F(ProjectFile, KindSaysWhetherTheSourceExistsNow)
{
    model.AddFileElement(model.root(MapsRoot), "gone.xan", MapFile, file("gone.xan"));
    model.AddFileElement(model.root(MapsRoot), "new.xan", MapFile, file("new.xan"));
    // Saved on a machine that had gone.xan (kind 2) but not new.xan (kind -1).
    QByteArray bytes = ProjectFileBytes(model);
    bytes.replace(QFile::encodeName(file("gone.xan")) + "\r\n-1\r\n",
                  QFile::encodeName(file("gone.xan")) + "\r\n2\r\n");
    ASSERT_TRUE(bytes.contains("gone.xan\r\n2\r\n"));
    test::writeBytes(file("new.xan"), "x");

    openBytes(bytes);
    EXPECT_EQ(model.tree().nodeAt(3)->Text(), "gone.xan");
    EXPECT_EQ(model.tree().nodeAt(3)->Info().Kind, FileMissingKind);
    EXPECT_EQ(model.tree().nodeAt(4)->Text(), "new.xan");
    EXPECT_EQ(model.tree().nodeAt(4)->Info().Kind, FileFoundKind);
}

TEST_F(ProjectFile, RootsAndFolderPathsComeFromTheProgramNotTheFile)
{
    const ScopedLangText maps(LangKey::lstFiles_RootNames_Maps, "Karten");
    QByteArray bytes = test::crlfLines(ExampleLines);
    // A folder "info" under {files}, saved with a stale path and kind.
    bytes.replace("\r\n6\r\nFiles", "\r\n7\r\nFiles");
    bytes.replace("Files\r\n-1\r\n{files}\\\r\n", "Dateien\r\n-1\r\n{bogus}\\\r\n");
    bytes.replace("(mappack)\r\n-1\r\n11\r\n", "(mappack)\r\n-1\r\n11\r\ninfo\r\n0\r\nC:\\old\\info\\\r\n5\r\n2\r\n");

    openBytes(bytes);
    EXPECT_EQ(model.root(FilesRoot)->Text(), "Files");
    EXPECT_EQ(model.root(FilesRoot)->Info().Path, "{files}\\");
    EXPECT_EQ(model.root(MapsRoot)->Text(), "Karten");
    const TreeNode *info = model.tree().nodeAt(2);
    EXPECT_EQ(info->Text(), "info");
    EXPECT_EQ(info->Info().Path, "{files}\\info\\");
    EXPECT_EQ(info->Info().Kind, FolderKind);
    EXPECT_EQ(info->SelectedIndex(), 3);
    EXPECT_EQ(model.tree().count(), 8);
}

// ---- Reading rules -----------------------------------------------------------------------

TEST_F(ProjectFile, NumbersAndTruthValuesAreReadLeniently)
{
    QStringList lines = ExampleLines;
    lines[4] = "tRUE";
    lines[5] = "  \t-1 languages follow"; // blanks before, words after
    lines[6] = "\r\n\t\r\n 1";            // empty and blank lines before a number
    lines[11] = "+6\tnodes";
    QByteArray bytes = test::crlfLines(lines);
    bytes.replace("\r\n", "\n"); // line feeds alone end lines too
    bytes.chop(1);               // and the last line needs no line end

    openBytes(bytes);
    EXPECT_TRUE(model.packProperties().PackPropertiesSet);
    EXPECT_EQ(model.headerCount(), 2);
    EXPECT_EQ(model.tree().count(), 7);
    ASSERT_EQ(model.mapCount(), 1);
    EXPECT_EQ(model.map(0).Info.ValueKinds.last(), 5);

    lines = ExampleLines;
    lines[4] = "7";
    openBytes(test::crlfLines(lines));
    EXPECT_TRUE(model.packProperties().PackPropertiesSet);
    lines[4] = "FALSE";
    openBytes(test::crlfLines(lines));
    EXPECT_FALSE(model.packProperties().PackPropertiesSet);
}

TEST_F(ProjectFile, MapsAndKindsAreReadWholeWhateverTheyHold)
{
    QStringList lines = ExampleLines.mid(0, 47);
    lines[10] = "7"; // a header kind this editor does not know: a text row, kept as read
    lines << "94";   // 95 maps: past the add command's limit, still read whole
    for (int i = 0; i < 95; ++i) {
        lines << QStringLiteral("Map %1").arg(i) << "2"
              << "[text]=one"
              << "[TEXT]=two"
              << "[text]=three"
              << "0"
              << "0"
              << "9";
    }
    openBytes(test::crlfLines(lines));
    ASSERT_EQ(model.mapCount(), 95);
    EXPECT_EQ(model.map(94).displayName, "Map 94");
    // A repeated key keeps every row, in order.
    EXPECT_EQ(model.map(94).Info.Properties, (QStringList{"[text]=one", "[TEXT]=two", "[text]=three"}));
    EXPECT_EQ(model.map(94).Info.ValueKinds, (QVector<ValueKind>{TextValue, TextValue, ValueKind(9)}));
    EXPECT_EQ(model.headerInfo()[1].KeyKind, HeaderKeyKind(7));
    SaveProjectFile(model, file("out.mpr"));
    EXPECT_EQ(test::readBytes(file("out.mpr")), test::crlfLines(lines));
}

TEST_F(ProjectFile, ImageIndexDecidesWhatANodeBecomes)
{
    QByteArray bytes = test::crlfLines(ExampleLines);
    bytes.replace("\r\n6\r\nFiles", "\r\n7\r\nFiles");
    // An image past the known ones is a file all the same.
    bytes.replace("(mappack)\r\n-1\r\n11\r\n",
                  "(mappack)\r\n-1\r\n11\r\nodd.bin\r\n0\r\n/nowhere/odd.bin\r\n2\r\n12\r\n");
    openBytes(bytes);
    const TreeNode *odd = model.tree().nodeAt(2);
    EXPECT_EQ(odd->ImageIndex(), 12);
    EXPECT_EQ(odd->SelectedIndex(), 12);
    EXPECT_EQ(odd->Info().Kind, FileMissingKind);
    EXPECT_EQ(odd->Info().Path, "/nowhere/odd.bin");
    EXPECT_EQ(model.MapListNode(), model.tree().nodeAt(1));
    EXPECT_EQ(model.MapListNode()->Info().Kind, FileMissingKind);
}

TEST_F(ProjectFile, ParentIndexesNameNodesOfTheTreeBuiltSoFar)
{
    // Nodes given out of order still find their parents by the indexes of the tree as it stands:
    // a script (parent 5 = {scripts}), then a file under {files} (0), then a map under {maps},
    // which that file has moved from index 1 to 2.
    QStringList lines = ExampleLines.mid(0, 11);
    lines << "2";
    lines << "a.lua"
          << "5"
          << "/x/a.lua"
          << "-1"
          << "9";
    lines << "b.htm"
          << "0"
          << "/x/b.htm"
          << "-1"
          << "10";
    lines << "c.xan"
          << "2"
          << "/x/c.xan"
          << "-1"
          << "5";
    lines << "-1";
    openBytes(test::crlfLines(lines));
    EXPECT_EQ(model.root(ScriptsRoot)->child(0)->Text(), "a.lua");
    EXPECT_EQ(model.root(FilesRoot)->child(1)->Text(), "b.htm");
    EXPECT_EQ(model.root(MapsRoot)->child(0)->Text(), "c.xan");
    EXPECT_EQ(model.tree().count(), 10);
}

TEST_F(ProjectFile, NodesInWalkOrderAndThenOutOfItFindTheSameParents)
{
    // Folders under random parents, the first half only below the last node's ancestors (as the
    // editor writes) and the second anywhere, checked against a plain list of the walk order.
    struct Entry
    {
        QString text;
        int depth;
        QString parent;
    };
    std::vector<Entry> walk;
    walk.reserve(RootCount);
    for (int r = 0; r < RootCount; ++r)
        walk.push_back({model.root(RootGroup(r))->Text(), 0, QString()});
    std::vector<int> path{0}; // walk indexes from a root to the last node added
    unsigned randomState = 7;
    const auto random = [&randomState](int n) {
        randomState = randomState * 1103515245u + 12345u;
        return int((randomState >> 8) % unsigned(n));
    };
    constexpr int Count = 400;
    QStringList lines = ExampleLines.mid(0, 11);
    lines << QString::number(Count - 1);
    for (int n = 0; n < Count; ++n) {
        int parent = 0;
        if (n < Count / 2) {
            // A later group root, or a node on the path to the last one.
            std::vector<int> laterRoots;
            for (int i = path.front() + 1; i < int(walk.size()); ++i) {
                if (walk[std::size_t(i)].depth == 0)
                    laterRoots.push_back(i);
            }
            if (!laterRoots.empty() && random(4) == 0) {
                parent = laterRoots[std::size_t(random(int(laterRoots.size())))];
                path = {parent};
            } else {
                parent = path[std::size_t(random(int(path.size())))];
                while (path.back() != parent)
                    path.pop_back();
            }
        } else {
            parent = random(int(walk.size()));
        }
        qsizetype at = parent + 1;
        while (at < qsizetype(walk.size()) && walk[std::size_t(at)].depth > walk[std::size_t(parent)].depth)
            ++at;
        const QString text = QStringLiteral("n%1").arg(n);
        if (n < Count / 2)
            path.push_back(int(at));
        walk.insert(walk.begin() + at,
                    Entry{text, walk[std::size_t(parent)].depth + 1, walk[std::size_t(parent)].text});
        lines << text << QString::number(parent) << QString() << "0" << QString::number(FolderImage);
    }
    lines << "-1";
    openBytes(test::crlfLines(lines));

    std::vector<Entry> got;
    for (const TreeNode *node : model.tree().nodes()) {
        if (node != model.MapListNode())
            got.push_back({node->Text(), 0, node->parent() ? node->parent()->Text() : QString()});
    }
    ASSERT_EQ(got.size(), walk.size());
    for (std::size_t i = 0; i < walk.size(); ++i) {
        EXPECT_EQ(got[i].text, walk[i].text) << i;
        EXPECT_EQ(got[i].parent, walk[i].parent) << i;
    }
}

// ---- The map list node -------------------------------------------------------------------

// The build writes the map list under the "[english]" title and packs the file the node names.
TEST_F(ProjectFile, MapListNodeIsNamedAfterTheTitleOnOpen)
{
    QStringList lines = ExampleLines;
    lines[7] = "[english]=Islands";
    lines[17] = "Old title.mpl";
    openBytes(test::crlfLines(lines));
    ASSERT_NE(model.MapListNode(), nullptr);
    EXPECT_EQ(model.MapListNode()->Text(), "Islands.mpl");

    // Without an "[english]" row the map list is ".mpl", and so is the node.
    lines[7] = "[german]=Inseln";
    openBytes(test::crlfLines(lines));
    EXPECT_EQ(model.MapListNode()->Text(), ".mpl");
}

TEST_F(ProjectFile, MissingMapListNodeComesBackWhereANewProjectHasIt)
{
    QStringList lines = ExampleLines;
    lines[7] = "[english]=Islands";
    lines[11] = "5";
    lines.erase(lines.begin() + 17, lines.begin() + 22);
    openBytes(test::crlfLines(lines));
    const TreeNode *node = model.MapListNode();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(model.absoluteIndex(node), 1);
    EXPECT_EQ(node->parent(), model.root(FilesRoot));
    EXPECT_EQ(node->Text(), "Islands.mpl");
    EXPECT_EQ(node->Info().Path, "(mappack)");
    EXPECT_EQ(node->ImageIndex(), FirstFileImage + MapListFile);
    EXPECT_EQ(node->Info().Kind, FileMissingKind);
    EXPECT_EQ(model.tree().count(), 7);
}

TEST_F(ProjectFile, SecondMapListNodeIsRefused)
{
    QByteArray bytes = test::crlfLines(ExampleLines);
    bytes.replace("\r\n6\r\nFiles", "\r\n7\r\nFiles");
    bytes.replace("(mappack)\r\n-1\r\n11\r\n", "(mappack)\r\n-1\r\n11\r\nstale.mpl\r\n0\r\n(mappack)\r\n-1\r\n11\r\n");
    try {
        openBytes(bytes);
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains("line 27 makes a second map list node")) << e.what();
    }
    EXPECT_EQ(model.tree().count(), 7);
}

// ---- Reading errors ----------------------------------------------------------------------

struct BadFile
{
    const char *name;
    int line; // 0-based line of ExampleLines to replace, or -1 to cut the file there
    const char *with;
    const char *says;
};

class ProjectFileErrors : public ProjectFile, public ::testing::WithParamInterface<BadFile>
{
};

TEST_P(ProjectFileErrors, LeaveTheOpenProjectUntouched)
{
    const BadFile bad = GetParam();
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = "Kept";
        p.PackLanguages = {"german"};
    });
    model.AddMap();
    model.AddDirElement(model.root(IconsRoot), "kept");
    const QByteArray before = ProjectFileBytes(model);

    QByteArray bytes;
    if (bad.line >= 0) {
        QStringList lines = ExampleLines;
        lines[bad.line] = QString::fromLatin1(bad.with);
        bytes = test::crlfLines(lines);
    } else {
        bytes = test::crlfLines(ExampleLines.mid(0, QString::fromLatin1(bad.with).toInt()));
    }
    try {
        openBytes(bytes);
        FAIL() << "no error for " << bad.name;
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(QString::fromLatin1(bad.says))) << e.what();
        EXPECT_TRUE(e.message().contains(file("in.mpr"))) << e.what();
        EXPECT_FALSE(e.message().contains('\n')) << e.what();
    }
    EXPECT_EQ(ProjectFileBytes(model), before);
    EXPECT_EQ(model.packProperties().PackName, "Kept");
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, ProjectFileErrors,
    ::testing::Values(
        BadFile{"WordForANumber", 5, "none", "line 6 should hold the number of installer languages, not \"none\""},
        BadFile{"NumberWithRubbish", 9, "0x1", "not \"0x1\""}, BadFile{"NumberTooLarge", 57, "2147483648", "line 58"},
        BadFile{"NegativeCount", 11, "-2", "line 12"},
        BadFile{"BadTruthValue", 4, "yes", "line 5 should hold a truth value"},
        BadFile{"ParentPastTheTree", 18, "7", "line 19 names the parent 7, which is no node"},
        BadFile{"ParentBelowMinusOne", 18, "-3", "names the parent -3"},
        BadFile{"ParentIsAFile", 23, "1", "line 24 names the parent 1, which is a file"},
        BadFile{"HeaderKeyTwice", 8, "[ENGLISH]=again", "holds the key \"[ENGLISH]\" twice"},
        BadFile{"RootImageForAFile", 21, "0", "line 22 gives the image index 0"},
        BadFile{"NegativeImage", 21, "-4", "image index -4"}, BadFile{"SelectedFolderImage", 21, "3", "image index 3"},
        BadFile{"EndsInTheHeader", -1, "8", "ends early: line 9 should hold a header row"},
        BadFile{"EndsInTheTree", -1, "20", "ends early: line 21"},
        BadFile{"EndsBeforeTheMaps", -1, "47", "ends early: line 48 should hold the number of maps"},
        BadFile{"EndsInTheValueKinds", -1, "63", "ends early: line 64"},
        BadFile{"EmptyFile", -1, "0", "ends early: line 1"}),
    [](const ::testing::TestParamInfo<BadFile> &info) { return std::string(info.param.name); });

TEST_F(ProjectFile, FolderPathsHaveABound)
{
    auto withFolder = [](int nameLength) {
        QStringList lines = ExampleLines;
        lines[11] = "7";
        lines.insert(22, QString(nameLength, 'a'));
        lines.insert(23, "0");
        lines.insert(24, "");
        lines.insert(25, "1");
        lines.insert(26, "2");
        return test::crlfLines(lines);
    };
    // "{files}\" and the trailing backslash make 1024 characters with a name of 1015.
    openBytes(withFolder(1015));
    EXPECT_EQ(model.tree().nodeAt(2)->Info().Path.size(), 1024);
    try {
        openBytes(withFolder(1016));
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains("line 23 makes a folder whose path is longer than 1024")) << e.what();
    }
    EXPECT_EQ(model.tree().nodeAt(2)->Info().Path.size(), 1024);
}

TEST_F(ProjectFile, UnreadableFileGivesTheSystemsReason)
{
    try {
        OpenProjectFile(model, file("missing.mpr"));
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(file("missing.mpr")));
        EXPECT_TRUE(e.message().contains("No such file")) << e.what();
    }
    EXPECT_EQ(model.tree().count(), 7);
}

// ---- Hostile files ----------------------------------------------------------------------

// Sets the program's code page for one test.
class CodePage
{
public:
    explicit CodePage(const char *name) { EXPECT_TRUE(setTextCodec(QString::fromLatin1(name))); }
    ~CodePage() { setTextCodec(QString::fromLatin1(DefaultCodePage)); }
};

TEST_F(ProjectFile, BytesTheCodePageCannotDecodeAreRefusedNamingTheLine)
{
    const CodePage utf8("utf-8");
    const QByteArray before = ProjectFileBytes(model);
    QByteArray bytes = test::crlfLines(ExampleLines);
    bytes.replace("[english]=New map pack", "[english]=Caf\xC3\xA9 \xFF");
    try {
        openBytes(bytes);
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(file("in.mpr"))) << e.what();
        EXPECT_TRUE(e.message().contains("line 8 holds bytes that are no text in the code page utf-8")) << e.what();
    }
    // A character cut off by the line end is no text either, even on a line read as a number.
    bytes = test::crlfLines(ExampleLines);
    bytes.replace("\r\n-1\r\n1\r\n[english]", "\r\n-1 \xC3\r\n1\r\n[english]");
    try {
        openBytes(bytes);
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains("line 6 holds bytes")) << e.what();
    }
    EXPECT_EQ(ProjectFileBytes(model), before);

    // Whole characters open and save back unchanged.
    bytes = test::crlfLines(ExampleLines);
    bytes.replace("New map pack", "Caf\xC3\xA9 \xE2\x82\xAC");
    openBytes(bytes);
    EXPECT_EQ(model.packTitle(), QString::fromUtf8("Café €"));
    EXPECT_EQ(ProjectFileBytes(model), bytes);
}

TEST_F(ProjectFile, EveryByteButLineEndsRoundTripsInTheDefaultCodePage)
{
    QByteArray text;
    for (int c = 1; c < 256; ++c) {
        if (c != '\n' && c != '\r')
            text.append(char(c));
    }
    QByteArray bytes = test::crlfLines(ExampleLines);
    bytes.replace("New map pack\r\n\r\n", text + "\r\n\r\n");
    openBytes(bytes);
    EXPECT_EQ(model.packProperties().PackName.size(), 253);
    EXPECT_EQ(ProjectFileBytes(model), bytes);
}

TEST_F(ProjectFile, NulCharacterIsRefusedNamingTheLine)
{
    QByteArray bytes = test::crlfLines(ExampleLines);
    bytes.replace("[htmlenglish]=", QByteArray("[htmlenglish]=a\0b", 16));
    try {
        openBytes(bytes);
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains("line 9 holds a NUL character")) << e.what();
    }
    EXPECT_EQ(model.headerRows().last(), "[htmlenglish]=");
}

// A one-line pack name of hundreds of megabytes would cost gigabytes once decoded and shown.
TEST_F(ProjectFile, OverlongLineIsRefusedNamingTheLine)
{
    QByteArray bytes = test::crlfLines(ExampleLines);
    bytes.replace("New map pack\r\n", QByteArray(MaxProjectLineBytes + 1, 'A') + "\r\n");
    try {
        openBytes(bytes);
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains("line 1 is longer than")) << e.message().left(200).toStdString();
    }
}

TEST_F(ProjectFile, OnlyRegularFilesAreReadSayingWhatTheOthersAre)
{
    auto refusal = [this](const QString &path) {
        try {
            OpenProjectFile(model, path);
        } catch (const UserError &e) {
            EXPECT_TRUE(e.message().contains(path)) << e.what();
            return e.message();
        }
        return QStringLiteral("no error");
    };
    EXPECT_TRUE(refusal(dir.path()).contains("it is a folder")) << qPrintable(refusal(dir.path()));
    // A FIFO without a writer would block a plain open for ever.
    const QString fifo = file("pipe.mpr");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(refusal(fifo).contains("it is a FIFO")) << qPrintable(refusal(fifo));
    // A device that never ends.
    EXPECT_TRUE(refusal("/dev/zero").contains("it is a device")) << qPrintable(refusal("/dev/zero"));

    // A file over the bound is refused before it is read (a sparse file costs no disk).
    const QString large = file("large.mpr");
    QFile sparse(large);
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    ASSERT_TRUE(sparse.resize(MaxProjectFileSize + 1));
    sparse.close();
    const QString message = refusal(large);
    EXPECT_TRUE(message.contains("larger than 256 MB")) << qPrintable(message);
    EXPECT_EQ(model.tree().count(), 7);
}

TEST_F(ProjectFile, CountsAreBoundedBeforeAnythingIsRead)
{
    // Each empty line would cost a list item in memory: dozens of bytes for one in the file.
    QStringList lines = ExampleLines;
    lines[5] = "1000";
    QByteArray bytes = test::crlfLines(lines);
    bytes.append(QByteArray(1001, '\n'));
    try {
        openBytes(bytes);
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains("line 6 gives 1001 as the number of installer languages, more than the 1000"))
            << e.what();
    }
    lines[5] = "999";
    for (int i = 0; i < 1000; ++i)
        lines.insert(6, QStringLiteral("language%1").arg(i));
    openBytes(test::crlfLines(lines));
    EXPECT_EQ(model.packProperties().PackLanguages.size(), 1000);
}

TEST_F(ProjectFile, ReadsFromAnyDeviceWhatASaveWrote)
{
    model.AddMap();
    SaveProjectFile(model, file("saved.mpr"));

    QBuffer in;
    in.setData(test::readBytes(file("saved.mpr")).replace("[english]=New map pack", "[english]=From memory"));
    in.open(QIODevice::ReadOnly);
    OpenProjectFile(model, in, "memory");
    EXPECT_EQ(model.MapListNode()->Text(), "From memory.mpl");
}

// A device that hands out its bytes a few thousand at a time and cannot seek, as a pipe would.
class Trickle : public QIODevice
{
public:
    explicit Trickle(QByteArray bytes) : m_bytes(std::move(bytes)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>({maxSize, 7919, m_bytes.size() - m_pos});
        std::memcpy(data, m_bytes.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_pos = 0;
};

// Names short and long, in Latin-1 and beyond it, sources that end with the node's name and
// sources that do not, in files of several megabytes: the reader's and the writer's pieces
// cut lines and characters anywhere.
TEST_F(ProjectFile, LargeProjectComesBackWholeFromAFileOrAPipe)
{
    const QString euro = QString::fromUtf8("\u20ac");
    for (int f = 0; f < 40; ++f) {
        TreeNode *folder = model.AddDirElement(model.root(FilesRoot), QStringLiteral("folder %1").arg(f));
        for (int n = 0; n < 1000; ++n) {
            const QString name = n % 3 == 0 ? QStringLiteral("p%1.htm").arg(n)
                : n % 3 == 1                ? QStringLiteral("a rather longer page name %1.htm").arg(n)
                                            : euro + QStringLiteral("%1 \u00e9t\u00e9.htm").arg(n);
            const QString source = n % 5 == 0 ? QStringLiteral("/elsewhere/other%1.htm").arg(n)
                                              : QStringLiteral("/packs/f%1/").arg(f) + name;
            model.AddFileElement(folder, name, InfoPageFile, source);
        }
    }
    SaveProjectFile(model, file("large.mpr"));
    const QByteArray saved = test::readBytes(file("large.mpr"));
    ASSERT_GT(saved.size(), 2 << 20);
    const QStringList before = treeRecord(model);

    ProjectModel fromFile;
    OpenProjectFile(fromFile, file("large.mpr"));
    EXPECT_EQ(treeRecord(fromFile), before);
    EXPECT_EQ(ProjectFileBytes(fromFile), saved);

    ProjectModel fromPipe;
    Trickle pipe(saved);
    OpenProjectFile(fromPipe, pipe, "pipe");
    EXPECT_EQ(treeRecord(fromPipe), before);

    // A rename keeps the source the name was part of; a folder's new name reaches the paths below.
    TreeNode *folder = fromFile.root(FilesRoot)->child(2);
    TreeNode *page = folder->child(1);
    const QString source = page->Info().Path;
    fromFile.RenameNode(page, QStringLiteral("renamed.htm"));
    EXPECT_EQ(page->Info().Path, source);
    TreeNode *inner = fromFile.AddDirElement(folder, QStringLiteral("inner"));
    fromFile.RenameNode(folder, euro);
    EXPECT_EQ(inner->Info().Path, QStringLiteral("{files}\\") + euro + QStringLiteral("\\inner\\"));
}

// ---- Failed saves ------------------------------------------------------------------------

TEST_F(ProjectFile, FailedSaveKeepsThePreviousFile)
{
    const QString target = file("keep.mpr");
    test::writeBytes(target, "previous good project");

    // A text the code page cannot hold.
    test::putHeaderValue(model, 0, QString::fromUtf8("Ωmega"));
    try {
        SaveProjectFile(model, target);
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(QString::fromUtf8("Ωmega"))) << e.what();
        EXPECT_TRUE(e.message().contains("code page")) << e.what();
        EXPECT_TRUE(e.message().contains(target)) << e.what();
    }
    EXPECT_EQ(test::readBytes(target), "previous good project");

    // Far into a large project, after the first pieces were written.
    TreeNode *pages = model.AddDirElement(model.root(FilesRoot), QStringLiteral("pages"));
    for (int n = 0; n < 30000; ++n)
        model.AddFileElement(pages, QStringLiteral("page%1.htm").arg(n), InfoPageFile, QStringLiteral("/p/x.htm"));
    TreeNode *last = model.AddFileElement(pages, QString::fromUtf8("Ωmega.htm"), InfoPageFile, QString());
    test::putHeaderValue(model, 0, "fine");
    EXPECT_THROW(SaveProjectFile(model, target), UserError);
    EXPECT_EQ(test::readBytes(target), "previous good project");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.mpr"}) << "no temporary left";
    model.DeleteNode(last);
    model.DeleteNode(pages);

    // A line break would shift every line after it.
    test::putHeaderValue(model, 0, "two\nlines");
    EXPECT_THROW(SaveProjectFile(model, target), UserError);
    EXPECT_EQ(test::readBytes(target), "previous good project");

    // A disk that fills up halfway through the write.
    model.SetHeaderValue(0, "fine");
    for (int i = 0; i < 40; ++i)
        model.AddMap();
    test::FileSizeLimit smallDisk(4096);
    bool failed = false;
    QString message;
    try {
        SaveProjectFile(model, target);
    } catch (const UserError &e) {
        failed = true;
        message = e.message();
    }
    smallDisk.lift();
    EXPECT_TRUE(failed);
    EXPECT_TRUE(message.contains("too large", Qt::CaseInsensitive)) << qPrintable(message);
    EXPECT_EQ(test::readBytes(target), "previous good project");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.mpr"}) << "no temporary left";

    // A folder that is gone.
    try {
        SaveProjectFile(model, file("gone/p.mpr"));
        FAIL();
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(file("gone/p.mpr"))) << e.what();
        EXPECT_TRUE(e.message().contains("No such file")) << e.what();
    }
}

} // namespace
