#include "core/errors.h"
#include "core/safesave.h"
#include "mappack/setupscript.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

QT_BEGIN_NAMESPACE
// Script lines read better as text than as byte lists in failure messages.
static void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"' << bytes.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace tervelle;

namespace {

const char WorkedExample[] = R"(
[Setup]
AppName=New map pack
AppVerName=New map pack 1.0
AppPublisher=
AppPublisherURL=http://www.orbeck.example/
AppSupportURL=http://www.orbeck.example/
AppUpdatesURL=http://www.orbeck.example/
DisableDirPage=yes
DisableProgramGroupPage=yes
DefaultDirName={pf}\Quorvane\installed\New map pack
DefaultGroupName=Quorvane\Maplists\New map pack
OutputDir=C:\Packs
OutputBaseFilename=my.pack
SetupIconFile=C:\Editor\iscc\setup.ico
Compression=lzma
SolidCompression=yes

[Languages]
Name: "english"; MessagesFile: "compiler:Default.isl"

[CustomMessages]
CopyingFiles = Copying files to Worms 4 Mayhem directory
CopyingFilesLong = All needed files will be copyed to Worms 4 Mayhem directory and to Quorvane.
Backup = Select files to copy and backup
BackupLong = If you have some changed files, you should select to replace these files with standart files. You can also backup them
WormsNotFound = Worms 4 Mayhem not found
LauncherNotFound = Quorvane not found. Visit http://www.orbeck.example/index/0-6
Progress = Copying file

[Icons]
Name: "{group}\{cm:ProgramOnTheWeb,New map pack}"; Filename: "http://www.orbeck.example/"
Name: "{group}\{cm:UninstallProgram,New map pack}"; Filename: "{uninstallexe}"

[Files]
Source: "C:\Editor\iscc\maplists\New map pack.mpl"; DestName:"1.tmp"; Flags: dontcopy
Source: "Z:\packs\info.htm"; DestName:"3.tmp"; Flags: dontcopy
Source: "Z:\packs\island.xan"; DestName:"5.tmp"; Flags: dontcopy

[UninstallDelete]
Type: filesandordirs; Name: "{code:getLauncherDir}\maplists\New map pack.mpl"

[Code]
var
  CountToCopy:integer;
  LauncherDir,WormsDir: String;
  CopyingFiles: TOutputProgressWizardPage;
  FilesCopyed:integer;

procedure InitializeWizard();
begin
  CopyingFiles:=CreateOutputProgressPage(ExpandConstant('{cm:CopyingFiles}'), ExpandConstant('{cm:CopyingFilesLong}'));
end;

function InitializeUninstall(): Boolean;
begin
  RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\Orbeck\Quorvane','AppDir', LauncherDir);
  RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\Orbeck\Quorvane', 'WormsDir', WormsDir);
  result:=true;
end;

function getLauncherDir(Param: String): String;
begin
  result:=LauncherDir;
end;

procedure CopyToWorms(FileToExtract:string;Where:string;realname:string);
var
  Dest:string;
begin
  CopyingFiles.SetText(ExpandConstant('{cm:Progress}'),FileToExtract);
  Dest:=WormsDir+Where+realname;
  ExtractTemporaryFile(FileToExtract);
  if FileExists(Dest) then
  begin
    if not DirExists(WormsDir+Where+'backup\') then
      CreateDir(WormsDir+Where+'backup\');
    FileCopy(Dest,WormsDir+Where+'backup\'+FileToExtract,true);
  end;
  FileCopy(ExpandConstant('{tmp}\')+FileToExtract,Dest,false);
  FilesCopyed:=FilesCopyed+1;
  CopyingFiles.SetProgress(FilesCopyed,CountToCopy);
end;

procedure CopyToMaplists(FileToExtract:string;Where:string;realname:string);
var
  Dest:string;
begin
  CopyingFiles.SetText(ExpandConstant('{cm:Progress}'),FileToExtract);
  Dest:=LauncherDir+'maplists\'+Where+realname;
  ExtractTemporaryFile(FileToExtract);
  if FileExists(Dest) then
  begin
    if not DirExists(LauncherDir+'maplists\'+Where+'backup\') then
      CreateDir(LauncherDir+'maplists\'+Where+'backup\');
    FileCopy(Dest,LauncherDir+'maplists\'+Where+'backup\'+realname,true);
  end;
  FileCopy(ExpandConstant('{tmp}\')+FileToExtract,Dest,false);
  FilesCopyed:=FilesCopyed+1;
  CopyingFiles.SetProgress(FilesCopyed,CountToCopy);
end;

procedure CreateSubDir(dir:string;Where:string);
begin
  if DirExists(LauncherDir+'maplists\'+Where) then
    CreateDir(LauncherDir+'maplists\'+Where+dir);
end;

function NextButtonClick(CurPageID: Integer): Boolean;
begin
  Result:=True;
  case CurPageID of
    wpReady:
    begin
      if RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\Orbeck\Quorvane','AppDir', LauncherDir) then
      begin
        if RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\Orbeck\Quorvane', 'WormsDir', WormsDir) then
        begin
          if not DirExists(LauncherDir+'maplists\') then
            CreateDir(LauncherDir+'maplists\')
        end
        else
        begin
          MsgBox(ExpandConstant('{cm:WormsNotFound}'), mbInformation, MB_OK);
          Result := False;
          exit;
        end;
      end
      else
      begin
        MsgBox(ExpandConstant('{cm:LauncherNotFound}'), mbInformation, MB_OK);
        Result := False;
        exit;
      end;
      try
        begin
          FilesCopyed:=0;
          CountToCopy:=4;
          CopyingFiles.Show;
          CreateSubDir('extra\','');
          CopyToMaplists('1.tmp','','New map pack.mpl');
          CopyToMaplists('3.tmp','extra\','info.htm');
          CopyToWorms('5.tmp','data\maps\','island.xan');
        end;
      finally
        CopyingFiles.Hide;
      end;
    end;
  end;
end;
)";

class SetupScript : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        model.NewFile();
    }

    // A file node as if its source had been found on disk.
    TreeNode *foundFile(TreeNode *parent, const QString &name, const QString &path, int type = PlainFile)
    {
        model.setSourceProbe([](const QString &) { return true; });
        TreeNode *node = model.AddFileElement(parent, name, type, path);
        model.setSourceProbe(nullptr);
        return node;
    }

    QList<QByteArray> script(const QString &appDir = QStringLiteral("C:\\Editor\\"),
                             const QString &installer = QStringLiteral("C:\\Packs\\my.pack.exe"))
    {
        return MakeSetupScript(appDir, installer, model, codec);
    }

    // The lines between a section header and the empty line that ends it.
    static QList<QByteArray> section(const QList<QByteArray> &lines, const QByteArray &header)
    {
        QList<QByteArray> body;
        qsizetype i = lines.indexOf(header);
        if (i < 0)
            return body;
        while (++i < lines.size() && !lines[i].isEmpty())
            body << lines[i];
        return body;
    }

    // The generated calls of the [Code] section, from CountToCopy to the end of the try block.
    static QList<QByteArray> calls(const QList<QByteArray> &lines)
    {
        QList<QByteArray> result;
        bool inside = false;
        for (const QByteArray &line : lines) {
            if (line.startsWith("          CountToCopy:="))
                inside = true;
            else if (line == "        end;")
                inside = false;
            if (inside)
                result << line;
        }
        return result;
    }

    Settings settings;
    ProjectModel model;
    TextCodec codec{QStringLiteral("windows-1252")};
};

TEST_F(SetupScript, WorkedExampleGivesExactBytes)
{
    TreeNode *extra = model.AddDirElement(model.root(FilesRoot), "extra");
    foundFile(extra, "info.htm", "/packs/info.htm", InfoPageFile);
    foundFile(model.root(MapsRoot), "island.xan", "/packs/island.xan", MapFile);

    QByteArray expected = QByteArray(WorkedExample).mid(1);
    expected.replace("\n", "\r\n");
    EXPECT_EQ(setupScriptBytes(script()), expected);
}

TEST_F(SetupScript, NewProjectPacksOnlyTheMapList)
{
    model.SetHeaderValue(0, "Spring maps");
    const auto lines = script();
    EXPECT_EQ(section(lines, "[Files]"),
              QList<QByteArray>{
                  "Source: \"C:\\Editor\\iscc\\maplists\\Spring maps.mpl\"; DestName:\"1.tmp\"; Flags: dontcopy"});
    EXPECT_EQ(section(lines, "[UninstallDelete]"),
              QList<QByteArray>{"Type: filesandordirs; Name: \"{code:getLauncherDir}\\maplists\\Spring maps.mpl\""});
    EXPECT_EQ(calls(lines),
              (QList<QByteArray>{"          CountToCopy:=1;", "          CopyingFiles.Show;",
                                 "          CopyToMaplists('1.tmp','','Spring maps.mpl');"}));
    EXPECT_EQ(lines.last(), "end;");
}

TEST_F(SetupScript, LanguagesEndWithEnglishAndOnlyRussianGetsMessages)
{
    const QByteArray english = "Name: \"english\"; MessagesFile: \"compiler:Default.isl\"";
    const QByteArray russian = "Name: \"russian\"; MessagesFile: \"compiler:Languages\\russian.isl\"";
    // "Копируется файл" in Windows-1251.
    const QByteArray russianProgress = "russian.Progress = \xCA\xEE\xEF\xE8\xF0\xF3\xE5\xF2\xF1\xFF \xF4\xE0\xE9\xEB";

    auto lines = script();
    EXPECT_EQ(section(lines, "[Languages]"), QList<QByteArray>{english});
    EXPECT_EQ(section(lines, "[CustomMessages]").size(), 7);

    test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {"russian", "german"}; });
    lines = script();
    EXPECT_EQ(
        section(lines, "[Languages]"),
        (QList<QByteArray>{russian, "Name: \"german\"; MessagesFile: \"compiler:Languages\\german.isl\"", english}));
    auto messages = section(lines, "[CustomMessages]");
    ASSERT_EQ(messages.size(), 14);
    EXPECT_EQ(messages.last(), russianProgress);
    EXPECT_EQ(
        messages[12],
        "russian.LauncherNotFound = \xCD\xE5 \xED\xE0\xE9\xE4\xE5\xED\xEE \xEF\xF0\xE8\xEB\xEE\xE6\xE5\xED\xE8\xE5"
        " Quorvane. \xCF\xEE\xF1\xE5\xF2\xE8\xF2\xE5 \xF1\xE0\xE9\xF2 http://www.orbeck.example/,"
        " \xF7\xF2\xEE\xE1\xFB \xF3\xE7\xED\xE0\xF2\xFC \xE1\xEE\xEB\xFC\xF8\xE5");

    // Russian is found at any position, and other languages get no messages of their own.
    test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {"german", "russian"}; });
    EXPECT_EQ(section(script(), "[CustomMessages]").size(), 14);
    test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {"german"}; });
    lines = script();
    EXPECT_EQ(section(lines, "[Languages]").size(), 2);
    EXPECT_EQ(section(lines, "[CustomMessages]").size(), 7);
}

TEST_F(SetupScript, NestedFoldersAreMadeBeforeAnyFileIsCopied)
{
    TreeNode *outer = model.AddDirElement(model.root(FilesRoot), "outer");
    TreeNode *inner = model.AddDirElement(outer, "inner");
    foundFile(inner, "deep.htm", "/p/deep.htm");
    TreeNode *other = model.AddDirElement(model.root(FilesRoot), "other");
    foundFile(other, "a.htm", "/p/a.htm");

    EXPECT_EQ(calls(script()),
              (QList<QByteArray>{
                  "          CountToCopy:=6;",
                  "          CopyingFiles.Show;",
                  "          CreateSubDir('outer\\','');",
                  "          CreateSubDir('inner\\','outer\\');",
                  "          CreateSubDir('other\\','');",
                  "          CopyToMaplists('1.tmp','','New map pack.mpl');",
                  "          CopyToMaplists('4.tmp','outer\\inner\\','deep.htm');",
                  "          CopyToMaplists('6.tmp','other\\','a.htm');",
              }));
}

TEST_F(SetupScript, GameGroupsCopyInTheirOrderAndRecreateTheirFolders)
{
    foundFile(model.root(IconsRoot), "icon.tga", "/p/icon.tga", LevelIconFile);
    foundFile(model.root(ScriptsRoot), "s.lua", "/p/s.lua", ScriptFile);
    TreeNode *theme = model.AddDirElement(model.root(TexturesRoot), "MyTheme");
    foundFile(theme, "MyTheme.txt", "/p/MyTheme.txt", TextureListFile);
    TreeNode *tiles = model.AddDirElement(theme, "tiles");
    foundFile(tiles, "t.tga", "/p/t.tga");
    foundFile(model.root(HeightMapsRoot), "h.hmp", "/p/h.hmp", HeightMapFile);

    const auto lines = script();
    EXPECT_EQ(calls(lines).mid(3),
              (QList<QByteArray>{
                  "          CopyToWorms('4.tmp','data\\maps\\','h.hmp');",
                  "          ForceDirectories(WormsDir+'data\\maps\\MyTheme\\');",
                  "          CopyToWorms('9.tmp','data\\maps\\MyTheme\\','MyTheme.txt');",
                  "          ForceDirectories(WormsDir+'data\\maps\\MyTheme\\tiles\\');",
                  "          CopyToWorms('11.tmp','data\\maps\\MyTheme\\tiles\\','t.tga');",
                  "          CopyToWorms('13.tmp','data\\scripts\\','s.lua');",
                  "          CopyToWorms('6.tmp','data\\frontend\\levels\\','icon.tga');",
              }));
    // Folders have no [Files] line; every numbered file has one.
    EXPECT_EQ(section(lines, "[Files]").size(), 6);
}

TEST_F(SetupScript, InstallerPathGivesOutputFolderAndBaseName)
{
    EXPECT_EQ(outputFolder("C:\\Packs\\my.pack.exe"), "C:\\Packs");
    EXPECT_EQ(outputBaseName("C:\\Packs\\my.pack.exe"), "my.pack");
    EXPECT_EQ(outputFolder("C:\\pack.exe"), "C:\\");
    EXPECT_EQ(outputBaseName("C:\\Packs\\pack"), "pack");
    EXPECT_EQ(outputFolder("/pack.exe"), "/");

    const auto lines = script("/opt/tervelle/", "/home/m aker/out/pack.exe");
    EXPECT_TRUE(lines.contains("OutputDir=Z:\\home\\m aker\\out"));
    EXPECT_TRUE(lines.contains("OutputBaseFilename=pack"));
    EXPECT_TRUE(lines.contains("SetupIconFile=Z:\\opt\\tervelle\\iscc\\setup.ico"));
    EXPECT_TRUE(lines.contains(
        "Source: \"Z:\\opt\\tervelle\\iscc\\maplists\\New map pack.mpl\"; DestName:\"1.tmp\"; Flags: dontcopy"));
    EXPECT_TRUE(script("/opt/tervelle/", "/pack.exe").contains("OutputDir=Z:\\"));
}

TEST_F(SetupScript, EmptyVersionLeavesTrailingSpace)
{
    test::editPack(model, [&](PackProperties &p) { p.PackVersion.clear(); });
    EXPECT_TRUE(script().contains("AppVerName=New map pack "));
}

TEST_F(SetupScript, SpecialCharactersAreWrittenAsTheCompilerReadsThem)
{
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = "It's {50%}, a+b";
        p.PackVersion = "{beta}";
        p.PackAuthor = "\"Quoted\"";
        p.PackWebSite = "http://x.example/{a}";
    });
    foundFile(model.root(FilesRoot), "it's {x}.htm", "/p/it's {x}.htm");

    const auto lines = script();
    const QList<QByteArray> setup = section(lines, "[Setup]");
    EXPECT_EQ(setup[0], "AppName=It's {{50%}, a+b");
    EXPECT_EQ(setup[1], "AppVerName=It's {{50%}, a+b {{beta}");
    EXPECT_EQ(setup[2], "AppPublisher=\"\"Quoted\"\"");
    EXPECT_EQ(setup[3], "AppPublisherURL=http://x.example/{{a}");
    EXPECT_EQ(setup[8], "DefaultDirName={pf}\\Quorvane\\installed\\It's {{50%}, a+b");
    EXPECT_EQ(section(lines, "[Icons]"),
              (QList<QByteArray>{
                  "Name: \"{group}\\{cm:ProgramOnTheWeb,It's {{50%25%7d%2c a+b}\"; Filename: \"http://x.example/{{a}\"",
                  "Name: \"{group}\\{cm:UninstallProgram,It's {{50%25%7d%2c a+b}\"; Filename: \"{uninstallexe}\""}));
    EXPECT_TRUE(lines.contains("Source: \"Z:\\p\\it's {x}.htm\"; DestName:\"2.tmp\"; Flags: dontcopy"));
    EXPECT_TRUE(lines.contains("          CopyToMaplists('2.tmp','','it''s {x}.htm');"));
    EXPECT_EQ(lines.first(), "[Setup]");

    // A preprocessor directive in a name switches the script to the plain preprocessor.
    model.RenameNode(model.MapListNode(), "{#x}.mpl");
    const auto guarded = script();
    EXPECT_EQ(guarded.first(), "#preproc builtin");
    EXPECT_TRUE(guarded.contains("Type: filesandordirs; Name: \"{code:getLauncherDir}\\maplists\\{{#x}.mpl\""));
}

TEST_F(SetupScript, RefusesWhatTheCompilerCannotTake)
{
    const auto refusal = [&](const QString &expectedValue) {
        try {
            script();
        } catch (const UserError &error) {
            return error.message().contains(expectedValue);
        }
        return false;
    };
    test::editPack(model, [&](PackProperties &p) { p.PackName = "The \"best\" pack"; });
    EXPECT_TRUE(refusal("The \"best\" pack"));
    // The pack name is the name of a folder and of shortcuts too.
    test::editPack(model, [&](PackProperties &p) { p.PackName = "Maps: vol 1"; });
    EXPECT_TRUE(refusal("Maps: vol 1"));
    test::editPack(model, [&](PackProperties &p) {
        p.PackName = "Pack";
        p.PackWebSite = "http://x.example/\"";
    });
    EXPECT_TRUE(refusal("http://x.example/\""));
    test::editPack(model, [&](PackProperties &p) { p.PackWebSite.clear(); });
    foundFile(model.root(MapsRoot), "m.xan", "/maps/\"odd\"/m.xan");
    EXPECT_TRUE(refusal("/maps/\"odd\"/m.xan"));
    model.DeleteNode(model.root(MapsRoot)->child(0));
    EXPECT_NO_THROW(script());
    // The chosen paths are not the project's, but a line break there would split a line too.
    EXPECT_THROW(script("C:\\Editor\\", "C:\\Packs\\a\rb.exe"), UserError);
    EXPECT_THROW(script("C:\\Edi\ntor\\"), UserError);
    // A name the code page cannot hold is named, not replaced.
    test::editPack(model, [&](PackProperties &p) { p.PackName = QString::fromUtf8("Пак"); });
    EXPECT_TRUE(refusal(QString::fromUtf8("Пак")));
}

// The script is written as it is made, in pieces; a large tree must give the same bytes, and a
// failure half-way must leave the earlier script, not part of a new one.
TEST_F(SetupScript, SavedScriptIsWrittenInPiecesAndAFailureKeepsTheEarlierOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("iscc")));
    const QString appDir = dir.path() + QLatin1Char('/');
    const QString path = setupScriptPath(appDir);
    TreeNode *folder = model.root(FilesRoot);
    for (int depth = 0; depth < 3; ++depth)
        folder = model.AddDirElement(folder, QString(200, QLatin1Char('d')));
    // Well over the size of one piece, so the file is made of several.
    for (int i = 0; i < 4000; ++i)
        foundFile(folder, QStringLiteral("m%1.xan").arg(i), QStringLiteral("/maps/m%1.xan").arg(i), MapFile);
    const QList<QByteArray> lines = script(appDir);
    ASSERT_GT(setupScriptBytes(lines).size(), 2 << 20);

    saveSetupScript(CheckedSetupScript(appDir, QStringLiteral("C:\\Packs\\my.pack.exe"), model, codec), appDir);
    EXPECT_EQ(test::readBytes(path), setupScriptBytes(lines));

    test::writeBytes(path, "earlier");
    int pieces = 0;
    EXPECT_THROW(replaceFileNotFollowingLinks(path,
                                              [&](const ByteSink &write) {
                                                  const CheckedSetupScript made(appDir, QStringLiteral("C:\\x.exe"),
                                                                                model, codec);
                                                  made.write([&](const QByteArray &piece) {
                                                      write(piece);
                                                      if (++pieces == 2)
                                                          throw UserError(QStringLiteral("stopped"));
                                                  });
                                              }),
                 UserError);
    EXPECT_EQ(pieces, 2);
    EXPECT_EQ(test::readBytes(path), "earlier");
    EXPECT_EQ(QDir(compilerFolder(appDir)).entryList(QDir::Files | QDir::Hidden), QStringList{"setup.iss"});

    // A text the code page cannot hold, in the last line made, is refused before anything is written.
    foundFile(model.root(ScriptsRoot), QString::fromUtf8("Пак.lua"), QStringLiteral("/maps/p.lua"), ScriptFile);
    try {
        saveSetupScript(CheckedSetupScript(appDir, QStringLiteral("C:\\x.exe"), model, codec), appDir);
        ADD_FAILURE() << "saved a name the code page cannot hold";
    } catch (const UserError &e) {
        EXPECT_TRUE(e.message().contains(QString::fromUtf8("Пак.lua"))) << e.what();
    }
    EXPECT_EQ(test::readBytes(path), "earlier");
}

} // namespace
