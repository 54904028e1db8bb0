#include "core/errors.h"
#include "core/safesave.h"
#include "mappack/packplan.h"
#include "mappack/setupscript.h"
#include "project/projectmodel.h"
#include "support/projectrows.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFileInfo>
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
CopyFailed=The file %1 could not be written: %2
BackupFailed=The file %1 was not replaced, because its backup %2 could not be written: %3
FolderFailed=The folder %1 could not be created: %2
NothingInstalled=Nothing was installed: every file copied so far has been put back as it was.
RecordFailed=The list of installed files %1 could not be written, so uninstalling will not remove the map pack's files.
FilesLeft=These files (%1) changed after the map pack installed them and were left in place:
ReadyPack=Map pack:
ReadyAuthor=Author:
ReadyWhere=Files to install:
ReadyGame=Game folder: %2 (files: %1)
ReadyLauncher=Quorvane map lists: %2 (files: %1)
ReadyNotFound=(not found)
MapsReady=The maps of %1 are installed and ready to play in Worms 4 Mayhem.
PackInformation=About %1

[Icons]
Name: "{group}\{cm:ProgramOnTheWeb,New map pack}"; Filename: "http://www.orbeck.example/"
Name: "{group}\{cm:UninstallProgram,New map pack}"; Filename: "{uninstallexe}"

[Files]
Source: "C:\Editor\iscc\maplists\New map pack.mpl"; DestName:"1.tmp"; Flags: dontcopy
Source: "Z:\packs\info.htm"; DestName:"3.tmp"; Flags: dontcopy
Source: "Z:\packs\island.xan"; DestName:"5.tmp"; Flags: dontcopy

[UninstallDelete]
Type: files; Name: "{app}\installed files.txt"

[Code]
var
  CountToCopy:integer;
  LauncherDir,WormsDir: String;
  CopyingFiles: TOutputProgressWizardPage;
  FilesCopyed:integer;
  Installed: TArrayOfString;

const
  PackName = 'New map pack';
  PackVersion = '1.0';
  PackAuthor = '';
  FilesForGame = 1;
  FilesForLauncher = 2;
  InstalledListName = 'installed files.txt';

function CopyFileW(ExistingName, NewName: String; FailIfExists: Integer): Integer;
external 'CopyFileW@kernel32.dll stdcall';
function CreateDirectoryW(Name: String; Security: Integer): Integer;
external 'CreateDirectoryW@kernel32.dll stdcall';

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
  result:=RemoveBackslash(LauncherDir);
end;

function ReadFolder(Name: String; var Folder: String): Boolean;
begin
  Result:=RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\Orbeck\Quorvane', Name, Folder) and (Folder<>'');
  if Result then
    Folder:=AddBackslash(Folder);
end;

function InstalledList(): String;
begin
  Result:=ExpandConstant('{app}\')+InstalledListName;
end;

procedure Remember(Line: String);
begin
  SetArrayLength(Installed,GetArrayLength(Installed)+1);
  Installed[GetArrayLength(Installed)-1]:=Line;
end;

procedure MakeFolder(Folder: String);
begin
  Folder:=RemoveBackslashUnlessRoot(Folder);
  if DirExists(Folder) then
    exit;
  if CreateDirectoryW(Folder,0)=0 then
    RaiseException(FmtMessage(CustomMessage('FolderFailed'),[Folder,Trim(SysErrorMessage(DLLGetLastError))]));
  Remember('D'#9+Folder);
end;

function SameBytes(Name,Hash: String): Boolean;
begin
  try
    Result:=GetSHA1OfFile(Name)=Hash;
  except
    Result:=False;
  end;
end;

procedure CopyPackFile(FileToExtract,Folder,realname: String);
var
  Source,Dest,Backup,Hash,Reason: String;
  Number: Integer;
  Replacing: Boolean;
begin
  CopyingFiles.SetText(ExpandConstant('{cm:Progress}'),realname);
  Dest:=Folder+realname;
  ExtractTemporaryFile(FileToExtract);
  Source:=ExpandConstant('{tmp}\')+FileToExtract;
  Hash:=GetSHA1OfFile(Source);
  Replacing:=FileExists(Dest) and not SameBytes(Dest,Hash);
  Backup:='';
  if Replacing then
  begin
    Number:=1;
    Backup:=Folder+'backup\'+PackName+'\'+realname;
    while FileExists(Backup) or DirExists(Backup) do
    begin
      Number:=Number+1;
      Backup:=Folder+'backup\'+PackName+' ('+IntToStr(Number)+')\'+realname;
    end;
    MakeFolder(Folder+'backup');
    MakeFolder(ExtractFileDir(Backup));
    if CopyFileW(Dest,Backup,1)=0 then
      RaiseException(FmtMessage(CustomMessage('BackupFailed'),[Dest,Backup,Trim(SysErrorMessage(DLLGetLastError))]));
  end;
  if CopyFileW(Source,Dest,0)=0 then
  begin
    Reason:=Trim(SysErrorMessage(DLLGetLastError));
    if Backup<>'' then
      DeleteFile(Backup);
    RaiseException(FmtMessage(CustomMessage('CopyFailed'),[Dest,Reason]));
  end;
  Remember('F'#9+Dest+#9+Hash+#9+Backup);
  FilesCopyed:=FilesCopyed+1;
  CopyingFiles.SetProgress(FilesCopyed,CountToCopy);
end;

procedure CopyToWorms(FileToExtract:string;Where:string;realname:string);
begin
  CopyPackFile(FileToExtract,WormsDir+Where,realname);
end;

procedure CopyToMaplists(FileToExtract:string;Where:string;realname:string);
begin
  CopyPackFile(FileToExtract,LauncherDir+'maplists\'+Where,realname);
end;

procedure CreateSubDir(dir:string;Where:string);
begin
  MakeFolder(LauncherDir+'maplists\'+Where+dir);
end;

function NextField(var Line: String): String;
var
  Tab: Integer;
begin
  Tab:=Pos(#9,Line);
  if Tab=0 then
    Tab:=Length(Line)+1;
  Result:=Copy(Line,1,Tab-1);
  Delete(Line,1,Tab);
end;

procedure PutBack(Lines: TArrayOfString; var Left: String; var LeftCount: Integer);
var
  i: Integer;
  Line,Kind,Name,Hash,Backup: String;
begin
  for i:=GetArrayLength(Lines)-1 downto 0 do
  begin
    Line:=Lines[i];
    Kind:=NextField(Line);
    Name:=NextField(Line);
    if Kind='D' then
      RemoveDir(Name)
    else if Kind='F' then
    begin
      Hash:=NextField(Line);
      Backup:=NextField(Line);
      if FileExists(Name) and SameBytes(Name,Hash) then
        DeleteFile(Name);
      if FileExists(Name) then
      begin
        if Pos(#13#10+Name+#13#10,Left+#13#10)=0 then
        begin
          LeftCount:=LeftCount+1;
          Left:=Left+#13#10+Name;
        end;
      end
      else if (Backup<>'') and FileExists(Backup) then
        RenameFile(Backup,Name);
    end;
  end;
end;

procedure CurStepChanged(CurStep: TSetupStep);
var
  Earlier: TArrayOfString;
  i: Integer;
begin
  if CurStep=ssPostInstall then
  begin
    if LoadStringsFromFile(InstalledList(),Earlier) then
    begin
      for i:=0 to GetArrayLength(Installed)-1 do
      begin
        SetArrayLength(Earlier,GetArrayLength(Earlier)+1);
        Earlier[GetArrayLength(Earlier)-1]:=Installed[i];
      end;
      Installed:=Earlier;
    end;
    if not SaveStringsToUTF8File(InstalledList(),Installed,False) then
      RaiseException(FmtMessage(CustomMessage('RecordFailed'),[InstalledList()]));
  end;
end;

procedure CurUninstallStepChanged(CurUninstallStep: TUninstallStep);
var
  Lines: TArrayOfString;
  Left: String;
  LeftCount: Integer;
begin
  if CurUninstallStep=usUninstall then
    if LoadStringsFromFile(InstalledList(),Lines) then
    begin
      PutBack(Lines,Left,LeftCount);
      if LeftCount>0 then
        SuppressibleMsgBox(FmtMessage(CustomMessage('FilesLeft'),[IntToStr(LeftCount)])+Left,mbInformation,MB_OK,IDOK);
    end;
end;

function FolderOrNotFound(Name,Below,NotFound: String): String;
var
  Folder: String;
begin
  if ReadFolder(Name,Folder) then
    Result:=Folder+Below
  else
    Result:=NotFound;
end;

function UpdateReadyMemo(Space,NewLine,MemoUserInfoInfo,MemoDirInfo,MemoTypeInfo,MemoComponentsInfo,MemoGroupInfo,MemoTasksInfo: String): String;
begin
  Result:=CustomMessage('ReadyPack')+NewLine+Space+PackName+' '+PackVersion+NewLine+NewLine
    +CustomMessage('ReadyAuthor')+NewLine+Space+PackAuthor+NewLine+NewLine
    +CustomMessage('ReadyWhere')+NewLine
    +Space+FmtMessage(CustomMessage('ReadyGame'),[IntToStr(FilesForGame),FolderOrNotFound('WormsDir','',CustomMessage('ReadyNotFound'))])+NewLine
    +Space+FmtMessage(CustomMessage('ReadyLauncher'),[IntToStr(FilesForLauncher),FolderOrNotFound('AppDir','maplists\',CustomMessage('ReadyNotFound'))]);
end;

procedure CurPageChanged(CurPageID: Integer);
begin
  if CurPageID=wpFinished then
    WizardForm.FinishedLabel.Caption:=FmtMessage(CustomMessage('MapsReady'),[PackName]);
end;

function NextButtonClick(CurPageID: Integer): Boolean;
var
  Left: String;
  LeftCount: Integer;
begin
  Result:=True;
  case CurPageID of
    wpReady:
    begin
      if ReadFolder('AppDir', LauncherDir) then
      begin
        if not ReadFolder('WormsDir', WormsDir) then
        begin
          SuppressibleMsgBox(ExpandConstant('{cm:WormsNotFound}'), mbInformation, MB_OK, IDOK);
          Result := False;
          exit;
        end;
      end
      else
      begin
        SuppressibleMsgBox(ExpandConstant('{cm:LauncherNotFound}'), mbInformation, MB_OK, IDOK);
        Result := False;
        exit;
      end;
      SetArrayLength(Installed,0);
      try
        try
          FilesCopyed:=0;
          MakeFolder(LauncherDir+'maplists\');
          CountToCopy:=3;
          CopyingFiles.Show;
          CreateSubDir('extra\','');
          CopyToMaplists('1.tmp','','New map pack.mpl');
          CopyToMaplists('3.tmp','extra\','info.htm');
          CopyToWorms('5.tmp','data\maps\','island.xan');
        except
          PutBack(Installed,Left,LeftCount);
          SetArrayLength(Installed,0);
          SuppressibleMsgBox(GetExceptionMessage+#13#10#13#10+CustomMessage('NothingInstalled'),mbCriticalError,MB_OK,IDOK);
          Result:=False;
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
        sourcesFound = true;
        TreeNode *node = model.AddFileElement(parent, name, type, path);
        sourcesFound = false;
        return node;
    }

    QList<QByteArray> script(const QString &appDir = QStringLiteral("C:\\Editor\\"),
                             const QString &installer = QStringLiteral("C:\\Packs\\my.pack.exe"))
    {
        return MakeSetupScript(planPack(model, appDir), installer);
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
            else if (line == "        except")
                inside = false;
            if (inside)
                result << line;
        }
        return result;
    }

    Settings settings;
    // Sources are found as on disk, or all while the flag is set.
    static inline bool sourcesFound = false;
    ProjectModel model{nullptr, [](const QString &path) { return sourcesFound || QFileInfo(path).isFile(); }};
};

TEST_F(SetupScript, WorkedExampleGivesExactBytes)
{
    TreeNode *extra = model.AddDirElement(model.root(FilesRoot), "extra");
    foundFile(extra, "info.htm", "/packs/info.htm", InfoPageFile);
    foundFile(model.root(MapsRoot), "island.xan", "/packs/island.xan", MapFile);

    // UTF-8 with a byte-order mark, so the compiler reads it as written whatever its code page.
    QByteArray expected = "\xEF\xBB\xBF" + QByteArray(WorkedExample).mid(1);
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
              QList<QByteArray>{"Type: files; Name: \"{app}\\installed files.txt\""});
    EXPECT_EQ(calls(lines),
              (QList<QByteArray>{"          CountToCopy:=1;", "          CopyingFiles.Show;",
                                 "          CopyToMaplists('1.tmp','','Spring maps.mpl');"}));
    EXPECT_EQ(lines.last(), "end;");
}

TEST_F(SetupScript, LanguagesEndWithEnglishAndEachChosenLanguageGetsItsMessages)
{
    const QByteArray english = "Name: \"english\"; MessagesFile: \"compiler:Default.isl\"";
    const QByteArray russian = "Name: \"russian\"; MessagesFile: \"compiler:Languages\\russian.isl\"";
    const auto prefixed = [](const QList<QByteArray> &messages, const QByteArray &language) {
        return std::count_if(messages.begin(), messages.end(),
                             [&](const QByteArray &line) { return line.startsWith(language + '.'); });
    };

    auto lines = script();
    EXPECT_EQ(section(lines, "[Languages]"), QList<QByteArray>{english});
    const qsizetype messageCount = section(lines, "[CustomMessages]").size();

    test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {"russian", "german"}; });
    lines = script();
    EXPECT_EQ(
        section(lines, "[Languages]"),
        (QList<QByteArray>{russian, "Name: \"german\"; MessagesFile: \"compiler:Languages\\german.isl\"", english}));
    auto messages = section(lines, "[CustomMessages]");
    // The Russian messages are UTF-8, as the whole script is.
    EXPECT_TRUE(messages.contains(QString::fromUtf8("russian.Progress = Копируется файл").toUtf8()));
    EXPECT_TRUE(messages.contains(QString::fromUtf8("russian.LauncherNotFound = Не найдено приложение Quorvane. "
                                                    "Посетите сайт http://www.orbeck.example/, чтобы узнать больше")
                                      .toUtf8()));
    EXPECT_EQ(prefixed(messages, "russian"), messageCount);
    EXPECT_EQ(prefixed(messages, "german"), messageCount);

    // Russian is found at any position; a language without messages of its own shows the English.
    test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {"german", "russian"}; });
    EXPECT_EQ(section(script(), "[CustomMessages]").size(), 3 * messageCount);
    test::editPack(model, [&](PackProperties &p) { p.PackLanguages = {"klingon"}; });
    lines = script();
    EXPECT_EQ(section(lines, "[Languages]").size(), 2);
    EXPECT_EQ(section(lines, "[CustomMessages]").size(), messageCount);
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
                  "          CountToCopy:=3;",
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
                  "          MakeFolder(WormsDir+'data\\maps\\MyTheme\\');",
                  "          CopyToWorms('9.tmp','data\\maps\\MyTheme\\','MyTheme.txt');",
                  "          MakeFolder(WormsDir+'data\\maps\\MyTheme\\tiles\\');",
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
    EXPECT_TRUE(guarded.contains("          CopyToMaplists('1.tmp','','{#x}.mpl');"));
}

// The counts the installer shows are those of the calls it makes, wherever files lie: below a
// file of the Files group a file is copied, below a file of a game group it is not. And a "{#"
// is looked for in the lines as written, not in the names they are made of.
TEST_F(SetupScript, CountsAndInlineDirectivesFollowTheLinesMade)
{
    TreeNode *folder = model.AddDirElement(model.root(FilesRoot), "info{");
    TreeNode *page = foundFile(folder, "#page.htm", "/p/page.htm");
    foundFile(page, "below.htm", "/p/below.htm");
    TreeNode *maps = model.AddDirElement(model.root(MapsRoot), "more");
    TreeNode *map = foundFile(maps, "a.xan", "/p/a.xan", MapFile);
    foundFile(map, "under.xan", "/p/under.xan", MapFile);
    foundFile(model.root(ScriptsRoot), "s.lua", "/p/s.lua", ScriptFile);

    const auto lines = script();
    const auto count = [&lines](const char *start) {
        return std::count_if(lines.begin(), lines.end(),
                             [start](const QByteArray &line) { return line.startsWith(start); });
    };
    EXPECT_EQ(count("          CopyToMaplists("), 3);
    EXPECT_EQ(count("          CopyToWorms("), 2);
    EXPECT_TRUE(lines.contains("  FilesForLauncher = 3;"));
    EXPECT_TRUE(lines.contains("  FilesForGame = 2;"));
    EXPECT_TRUE(lines.contains("          CountToCopy:=5;"));
    // "info{" and "#page.htm" meet in no line: a backslash or a quote stands between them.
    EXPECT_EQ(lines.first(), "[Setup]");
    EXPECT_TRUE(lines.contains("          CopyToMaplists('3.tmp','info{\\','#page.htm');"));

    // Only a source path can put it into the [Files] lines.
    foundFile(maps, "b.xan", "/p/{#b}/b.xan", MapFile);
    const auto guarded = script();
    EXPECT_EQ(guarded.first(), "#preproc builtin");
    EXPECT_EQ(std::count_if(guarded.begin(), guarded.end(), [](const QByteArray &line) { return line.contains("{#"); }),
              1);
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
    // Any letters are written as they are: the script is UTF-8, whatever the code page.
    test::editPack(model, [&](PackProperties &p) { p.PackName = QString::fromUtf8("Пак Straße"); });
    EXPECT_TRUE(script().contains(QString::fromUtf8("AppName=Пак Straße").toUtf8()));
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

    saveSetupScript(CheckedSetupScript(planPack(model, appDir), QStringLiteral("C:\\Packs\\my.pack.exe")), appDir);
    EXPECT_EQ(test::readBytes(path), setupScriptBytes(lines));

    test::writeBytes(path, "earlier");
    int pieces = 0;
    EXPECT_THROW(replaceFileNotFollowingLinks(path,
                                              [&](const ByteSink &write) {
                                                  const PackPlan plan = planPack(model, appDir);
                                                  const CheckedSetupScript made(plan, QStringLiteral("C:\\x.exe"));
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

    // A name no single code page holds together with the others is saved whole.
    foundFile(model.root(ScriptsRoot), QString::fromUtf8("Пак ß.lua"), QStringLiteral("/maps/p.lua"), ScriptFile);
    saveSetupScript(CheckedSetupScript(planPack(model, appDir), QStringLiteral("C:\\x.exe")), appDir);
    EXPECT_TRUE(test::readBytes(path).contains(QString::fromUtf8("'Пак ß.lua');").toUtf8()));
}

} // namespace
