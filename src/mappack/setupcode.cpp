#include "mappack/setupcode.h"

namespace tervelle {

namespace {

// The script's code, one line per element as the script holds it.
// clang-format off

// Finds the launcher and the game, shows the progress page and defines the copy procedures the
// generated calls use.
const char *const CodeHead[] = {
    "[Code]",
    "var",
    "  CountToCopy:integer;",
    "  LauncherDir,WormsDir: String;",
    "  CopyingFiles: TOutputProgressWizardPage;",
    "  FilesCopyed:integer;",
    "",
    "procedure InitializeWizard();",
    "begin",
    "  CopyingFiles:=CreateOutputProgressPage(ExpandConstant('{cm:CopyingFiles}'), ExpandConstant('{cm:CopyingFilesLong}'));",
    "end;",
    "",
    "function InitializeUninstall(): Boolean;",
    "begin",
    "  RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\\Orbeck\\Quorvane','AppDir', LauncherDir);",
    "  RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\\Orbeck\\Quorvane', 'WormsDir', WormsDir);",
    "  result:=true;",
    "end;",
    "",
    "function getLauncherDir(Param: String): String;",
    "begin",
    "  result:=LauncherDir;",
    "end;",
    "",
    "procedure CopyToWorms(FileToExtract:string;Where:string;realname:string);",
    "var",
    "  Dest:string;",
    "begin",
    "  CopyingFiles.SetText(ExpandConstant('{cm:Progress}'),FileToExtract);",
    "  Dest:=WormsDir+Where+realname;",
    "  ExtractTemporaryFile(FileToExtract);",
    "  if FileExists(Dest) then",
    "  begin",
    "    if not DirExists(WormsDir+Where+'backup\\') then",
    "      CreateDir(WormsDir+Where+'backup\\');",
    "    FileCopy(Dest,WormsDir+Where+'backup\\'+FileToExtract,true);",
    "  end;",
    "  FileCopy(ExpandConstant('{tmp}\\')+FileToExtract,Dest,false);",
    "  FilesCopyed:=FilesCopyed+1;",
    "  CopyingFiles.SetProgress(FilesCopyed,CountToCopy);",
    "end;",
    "",
    "procedure CopyToMaplists(FileToExtract:string;Where:string;realname:string);",
    "var",
    "  Dest:string;",
    "begin",
    "  CopyingFiles.SetText(ExpandConstant('{cm:Progress}'),FileToExtract);",
    "  Dest:=LauncherDir+'maplists\\'+Where+realname;",
    "  ExtractTemporaryFile(FileToExtract);",
    "  if FileExists(Dest) then",
    "  begin",
    "    if not DirExists(LauncherDir+'maplists\\'+Where+'backup\\') then",
    "      CreateDir(LauncherDir+'maplists\\'+Where+'backup\\');",
    "    FileCopy(Dest,LauncherDir+'maplists\\'+Where+'backup\\'+realname,true);",
    "  end;",
    "  FileCopy(ExpandConstant('{tmp}\\')+FileToExtract,Dest,false);",
    "  FilesCopyed:=FilesCopyed+1;",
    "  CopyingFiles.SetProgress(FilesCopyed,CountToCopy);",
    "end;",
    "",
    "procedure CreateSubDir(dir:string;Where:string);",
    "begin",
    "  if DirExists(LauncherDir+'maplists\\'+Where) then",
    "    CreateDir(LauncherDir+'maplists\\'+Where+dir);",
    "end;",
    "",
    "function NextButtonClick(CurPageID: Integer): Boolean;",
    "begin",
    "  Result:=True;",
    "  case CurPageID of",
    "    wpReady:",
    "    begin",
    "      if RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\\Orbeck\\Quorvane','AppDir', LauncherDir) then",
    "      begin",
    "        if RegQueryStringValue(HKEY_LOCAL_MACHINE, 'Software\\Orbeck\\Quorvane', 'WormsDir', WormsDir) then",
    "        begin",
    "          if not DirExists(LauncherDir+'maplists\\') then",
    "            CreateDir(LauncherDir+'maplists\\')",
    "        end",
    "        else",
    "        begin",
    "          MsgBox(ExpandConstant('{cm:WormsNotFound}'), mbInformation, MB_OK);",
    "          Result := False;",
    "          exit;",
    "        end;",
    "      end",
    "      else",
    "      begin",
    "        MsgBox(ExpandConstant('{cm:LauncherNotFound}'), mbInformation, MB_OK);",
    "        Result := False;",
    "        exit;",
    "      end;",
    "      try",
    "        begin",
    "          FilesCopyed:=0;",
};

const char *const CodeTail[] = {
    "        end;",
    "      finally",
    "        CopyingFiles.Hide;",
    "      end;",
    "    end;",
    "  end;",
    "end;",
};

// clang-format on

template <std::size_t N>
QStringList toList(const char *const (&lines)[N])
{
    QStringList list;
    list.reserve(int(N));
    for (const char *line : lines)
        list << QString::fromLatin1(line);
    return list;
}

} // namespace

QStringList setupCodeHead()
{
    return toList(CodeHead);
}

QStringList setupCodeTail()
{
    return toList(CodeTail);
}

QStringList englishMessages()
{
    return {
        QStringLiteral("CopyingFiles = Copying files to Worms 4 Mayhem directory"),
        QStringLiteral(
            "CopyingFilesLong = All needed files will be copyed to Worms 4 Mayhem directory and to Quorvane."),
        QStringLiteral("Backup = Select files to copy and backup"),
        QStringLiteral(
            "BackupLong = If you have some changed files, you should select to replace these files with standart files. You can also backup them"),
        QStringLiteral("WormsNotFound = Worms 4 Mayhem not found"),
        QStringLiteral("LauncherNotFound = Quorvane not found. Visit ") + QLatin1String(LauncherDownloadPage),
        QStringLiteral("Progress = Copying file"),
    };
}

QStringList russianMessages()
{
    return {
        QString::fromUtf8("russian.CopyingFiles = Копирование файлов в папку Worms 4 Mayhem"),
        QString::fromUtf8(
            "russian.CopyingFilesLong = Все нужные файлы будут скопированы в папку Worms 4 Mayhem и в Quorvane."),
        QString::fromUtf8("russian.Backup = Выберите файлы, которые необходима заменить и сохранить"),
        QString::fromUtf8(
            "russian.BackupLong = Если некотрые файлы были изменены, то вам следует заменить их стандартными для поддержки нормальной онлайн игры. Также вы можете сохранить старые файлы."),
        QString::fromUtf8("russian.WormsNotFound = Не найдена игра Worms 4 Mayhem"),
        QString::fromUtf8("russian.LauncherNotFound = Не найдено приложение Quorvane. Посетите сайт ")
            + QLatin1String(MakerWebSite) + QString::fromUtf8(", чтобы узнать больше"),
        QString::fromUtf8("russian.Progress = Копируется файл"),
    };
}

} // namespace tervelle
