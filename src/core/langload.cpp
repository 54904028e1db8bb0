#include "core/langload.h"

#include "core/errors.h"
#include "core/inputfile.h"
#include "core/langcheck.h"
#include "core/languagechoice.h"
#include "core/report.h"
#include "core/textcodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <memory>
#include <optional>

namespace tervelle {

namespace {

struct LangEntry
{
    const char *key;
    const char *text;
};

// Texts are ASCII; entry 27 holds a CR LF line break.
constexpr LangEntry Table[LangCount] = {
    {"[frmEditor.Caption]", "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck"},
    {"[frmEditor.ProjectCaption]", "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck - /p"},
    {"[frmEditor.ProjectFullCaption]", "Map pack editor for Worms 4 Mayhem v.1.0 by Orbeck - /p (/f)"},
    {"[message.Compile.Start]", "Started building map pack"},
    {"[message.Compile.Success]", "Done"},
    {"[message.Compile.Fail]", "Failed to launch InnoSetup compiler!"},
    {"[message.Compile.Error]", "Error occured!"},
    {"[message.NewKey.Caption]", "New key"},
    {"[message.NewKey.Promt]", "Input name of new key"},
    {"[message.NewKey.Default]", "[newkey]"},
    {"[message.NewKey.Exist]", "Key /k already exists"},
    {"[message.NewHeaderKey.Caption]", "New key"},
    {"[message.NewHeaderKey.Promt]", "Input name of new key"},
    {"[message.NewHeaderKey.Default]", "[newkey]"},
    {"[message.NewHeaderKey.Exist]", "Key /k already exists"},
    {"[message.NewHeaderLinkKey.Caption]", "New link to info file"},
    {"[message.NewHeaderLinkKey.Promt]", "Input name of new key"},
    {"[message.NewHeaderLinkKey.Default]", "[newkey]"},
    {"[message.NewHeaderLinkKey.Exist]", "Key /k already exists"},
    {"[message.NewFolder.Caption]", "New folder"},
    {"[message.NewFolder.Promt]", "Input name of new folder"},
    {"[message.NewFolder.Default]", "New folder"},
    {"[message.NewFolder.Exist]", "Folder /f already exists"},
    {"[message.Rename.Caption]", "Rename file"},
    {"[message.Rename.Promt]", "Input new name"},
    {"[message.Rename.Exist]", "File /f already exists."},
    {"[message.ReplaceFile.Caption]", "File /f already exists.\r\nDo you want to replace it?"},
    {"[message.HelpError.Caption]", "Error!"},
    {"[message.HelpError.Promt]", "Help file Tervelle.chm not found!"},
    {"[dlgResources.Title]", "Select files to add"},
    {"[dlgResources.Filter]",
     "All(*.*)|*.*|Maps(*.xan)|*.xan|Height maps(*.hmp)|*.hmp|Tga images(*.tga)|*.tga|Lua scripts(*.lua)|*.lua|Texture lists(*.txt)|*.txt"},
    {"[dlgResources.FilterIndex]", "1"},
    {"[dlgSaveMapPack.Title]", "Create setup package"},
    {"[dlgSaveMapPack.Filter]", "Map pack(*.exe)|*.exe"},
    {"[dlgSaveMapPack.FilterIndex]", "1"},
    {"[dlgSaveProject.Title]", "Save map pack project"},
    {"[dlgSaveProject.Filter]", "Map pack project(*.mpr)|*.mpr"},
    {"[dlgSaveProject.FilterIndex]", "1"},
    {"[dlgOpenProject.Title]", "Open map pack project"},
    {"[dlgOpenProject.Filter]", "Map pack project(*.mpr)|*.mpr"},
    {"[dlgOpenProject.FilterIndex]", "1"},
    {"[dlgCompile.Title]", "Save console to file"},
    {"[dlgCompile.Filter]", "Text(*.txt)|*.txt|All(*.*)|*.*"},
    {"[dlgCompile.FilterIndex]", "1"},
    {"[dlgCompile.DefaultExt]", "txt"},
    {"[dlgResourcesDir.Title]", "Select directory with files"},
    {"[dlgTexturesDir.Title]", "Select textures directory(Ex. /data/Themes/)"},
    {"[TValueListEditor.Key.Name]", "Key"},
    {"[TValueListEditor.Value.Name]", "Value"},
    {"[lstResources.Column1.Name]", "File"},
    {"[lstResources.Column2.Name]", "Path"},
    {"[lblMaps.Caption]", "Maps"},
    {"[lblProperties.Caption]", "Properties"},
    {"[lblHeader.Caption]", "Pack properties"},
    {"[lblFiles.Caption]", "Files"},
    {"[lblResources.Caption]", "Resources"},
    {"[lblPreview.Caption]", "Preview"},
    {"[lblNoPreview.Caption]", "No preview"},
    {"[lblCompile.Caption]", "Compile status"},
    {"[lstFiles.RootNames.Files]", "Files"},
    {"[lstFiles.RootNames.Maps]", "Maps"},
    {"[lstFiles.RootNames.HeightMaps]", "Height maps"},
    {"[lstFiles.RootNames.LevelIcons]", "Level icons"},
    {"[lstFiles.RootNames.TextureFiles]", "Texture files"},
    {"[lstFiles.RootNames.Scripts]", "Lua scripts"},
    {"[mnuFile.Caption]", "File"},
    {"[mnuEdit.Caption]", "Edit"},
    {"[mnuHeaderEdit.Caption]", "Edit"},
    {"[mnuFilesEdit.Caption]", "Edit"},
    {"[mnuResourcesEdit.Caption]", "Edit"},
    {"[mnuPropertiesEdit.Caption]", "Edit"},
    {"[mnuFile.New.Caption]", "New"},
    {"[mnuFile.Open.Caption]", "Open..."},
    {"[mnuFile.SaveProject.Caption]", "Save project..."},
    {"[mnuFile.SaveMapPack.Caption]", "Save map pack..."},
    {"[mnuFile.PackProperties.Caption]", "Project options..."},
    {"[mnuFile.ShowConsole.Caption]", "Show console"},
    {"[mnuFile.Help.Caption]", "Help"},
    {"[mnuFile.Exit.Caption]", "Exit"},
    {"[mnuEdit.Add.Caption]", "Add"},
    {"[mnuEdit.Delete.Caption]", "Delete"},
    {"[mnuHeaderEdit.Add.Caption]", "Add..."},
    {"[mnuHeaderEdit.AddInfo.Caption]", "Add link to info file..."},
    {"[mnuHeaderEdit.Delete.Caption]", "Delete"},
    {"[mnuFilesEdit.Add.Caption]", "Add selected resources"},
    {"[mnuFilesEdit.CreateFolder.Caption]", "Create folder..."},
    {"[mnuFilesEdit.Delete.Caption]", "Delete"},
    {"[mnuPropertiesEdit.Add.Caption]", "Add..."},
    {"[mnuPropertiesEdit.Delete.Caption]", "Delete"},
    {"[mnuPropertiesEdit.TexturesDir.Caption]", "Select textures directory..."},
    {"[mnuResourcesEdit.Add.Caption]", "Add..."},
    {"[mnuResourcesEdit.AddDir.Caption]", "Add folder..."},
    {"[mnuResourcesEdit.AddSubDirs.Caption]", "Add folder with subfolders..."},
    {"[mnuResourcesEdit.Rename.Caption]", "Rename..."},
    {"[mnuResourcesEdit.Delete.Caption]", "Delete"},
    {"[mnuResourcesEdit.Clear.Caption]", "Clear"},
    {"[mnuCompile.SaveToFile.Caption]", "Save to file"},
    {"[mnuCompile.Clear.Caption]", "Clear"},
    {"[Wizard.Caption]", "Map pack properties"},
    {"[Wizard.cmdNext.Caption]", "Next"},
    {"[Wizard.cmdBack.Caption]", "Back"},
    {"[Wizard.cmdFinish.Caption]", "Finish"},
    {"[Wizard.cmdCancel.Caption]", "Cancel"},
    {"[Wizard.Step1.Name]", "Map pack information"},
    {"[Wizard.Step1.Description]", "Please specify some basic information about your map pack"},
    {"[Wizard.Step1.lblPackName.Caption]", "Name of pack"},
    {"[Wizard.Step1.lblVersion.Caption]", "Version"},
    {"[Wizard.Step1.lblAuthor.Caption]", "Author"},
    {"[Wizard.Step1.lblWebSite.Caption]", "Web site"},
    {"[Wizard.Step2.Name]", "Setup languages"},
    {"[Wizard.Step2.Description]", "Please specify languages which setup languages should be included"},
    {"[Wizard.Step2.lblLanguages.Caption]", "Languages"},
    {"[Wizard.Step2.cmdSelectAll.Caption]", "Select all"},
    {"[Wizard.Step2.cmdDeselectAll.Caption]", "Deselect all"},
    {"[mnuFile.Help.Visible]", "0"},
    {"[mnuEdit.Duplicate.Caption]", "Duplicate"},
    {"[mnuEdit.MoveUp.Caption]", "Move up"},
    {"[mnuEdit.MoveDown.Caption]", "Move down"},
    {"[message.NothingAdded]", "Nothing was added: /k take /f files."},
    {"[message.NothingAddedMapList]",
     "Nothing was added: the pack writes its own map list (.mpl), so Files take no other."},
    {"[mnuFile.Save.Caption]", "Save"},
    {"[mnuFile.OpenRecent.Caption]", "Open recent"},
    {"[mnuFile.ClearRecent.Caption]", "Clear list"},
    {"[mnuFile.OpenRecovery.Caption]", "Open recovery copy..."},
    {"[message.RecentMissing]", "The project /f no longer exists; it was taken off the recent list."},
    {"[message.ChangedOnDisk]",
     "The project file /f was changed on disk by another program since it was opened or saved here."},
    {"[message.SaveChangedOnDisk]",
     "The project file /f was changed on disk since it was opened or saved here. Saving over it loses those changes."},
    {"[message.SaveChangedOnDisk.SaveAs]", "Save under another name..."},
    {"[message.SaveChangedOnDisk.Overwrite]", "Overwrite"},
    {"[message.SaveChangedOnDisk.Cancel]", "Cancel"},
    {"[dlgRecovery.Title]", "Open recovery copy"},
    {"[dlgRecovery.Prompt]", "Copies kept of projects that were closed or changed without being saved, newest first:"},
    {"[dlgRecovery.Unsaved]", "/p (never saved)"},
    {"[message.NoRecoveryCopies]", "No recovery copy has been kept in /f."},
    {"[mnuEdit.Undo.Caption]", "Undo /c"},
    {"[mnuEdit.Redo.Caption]", "Redo /c"},
    {"[Change.AddMap]", "Add map"},
    {"[Change.DeleteMap]", "Delete map"},
    {"[Change.EditProperty]", "Edit property"},
    {"[Change.AddProperty]", "Add property"},
    {"[Change.DeleteProperty]", "Delete property"},
    {"[Change.EditHeader]", "Edit header"},
    {"[Change.AddHeaderRow]", "Add header row"},
    {"[Change.AddHeaderLink]", "Add header link"},
    {"[Change.DeleteHeaderRow]", "Delete header row"},
    {"[Change.AddResources]", "Add resources"},
    {"[Change.CreateFolder]", "Create folder"},
    {"[Change.DeleteNode]", "Delete from files"},
    {"[Change.PackProperties]", "Pack properties"},
    {"[Change.DuplicateMap]", "Duplicate map"},
    {"[Change.MoveMap]", "Move map"},
    {"[Change.LocateMissing]", "Locate missing files"},
    {"[mnuFile.CheckPack.Caption]", "Check pack..."},
    {"[mnuFilesEdit.LocateMissing.Caption]", "Locate missing files..."},
    {"[frmCheck.Caption]", "Pack check"},
    {"[lstFindings.Column1.Name]", "Severity"},
    {"[lstFindings.Column2.Name]", "Where"},
    {"[lstFindings.Column3.Name]", "Message"},
    {"[frmCheck.cmdRefresh.Caption]", "Check again"},
    {"[frmCheck.cmdClose.Caption]", "Close"},
    {"[message.Check.Error]", "error"},
    {"[message.Check.Warning]", "warning"},
    {"[message.Check.Note]", "note"},
    {"[message.Check.Summary]", "/e error(s), /w warning(s), /c note(s)"},
    {"[message.Check.BuildStopped]",
     "The pack check found errors, so the map pack was not built. Fix them and save the map pack again."},
    {"[message.Check.MissingSource]", "The source file /f was not found."},
    {"[message.Check.MissingSource.Fix]",
     "Locate missing files... on the Edit menu of the Files panel finds it again; or delete the file and add it again."},
    {"[message.Check.NotRegularFile]", "The source /f is not a regular file."},
    {"[message.Check.NotRegularFile.Fix]", "Add a regular file in its place."},
    {"[message.Check.UnreadableSource]", "The source file /f cannot be read."},
    {"[message.Check.UnreadableSource.Fix]", "Give yourself permission to read it."},
    {"[message.Check.RefusedText]", "/f"},
    {"[message.Check.RefusedText.Fix]", "The build refuses it until it is changed."},
    {"[message.Check.MapFileEmpty]", "/k is empty: the map has no map file."},
    {"[message.Check.MapFileUnknown]", "/k names /f, which is not a map under Maps."},
    {"[message.Check.MapFile.Fix]", "Choose a map from the list, or add the map under Maps."},
    {"[message.Check.PickListValue]", "/k holds /f, which is not in its list."},
    {"[message.Check.PickListValue.Fix]", "Choose a value from the list, or add the file it names."},
    {"[message.Check.HeaderLinkMissing]", "/k links to /f, which is not a page under Files."},
    {"[message.Check.HeaderLinkMissing.Fix]", "Choose a page from the list, or add the page under Files."},
    {"[message.Check.NotInstalled]",
     "The installer will not copy /f: it lies under a file, not under a group or a folder."},
    {"[message.Check.NotInstalled.Fix]", "Delete it and add it under a group or a folder."},
    {"[message.Check.SameInstallPlace]",
     "It installs to the same place as /f: Windows does not tell letter case apart."},
    {"[message.Check.SameInstallPlace.Fix]", "Rename one of the two, or delete one."},
    {"[message.Check.UnreadableLevelIcon]", "The level icon /f cannot be read as a TGA picture of at most 512 x 512."},
    {"[message.Check.UnreadableLevelIcon.Fix]", "Save it again as an uncompressed TGA."},
    {"[message.Check.EmptySource]", "The source file /f is empty."},
    {"[message.Check.EmptySource.Fix]", "Check that it is the file you meant."},
    {"[message.Check.PublishedSystemFile]",
     "This file will be published in the installer: /f lies in a hidden or system folder."},
    {"[message.Check.PublishedSystemFile.Fix]", "Delete it unless you mean to publish it."},
    {"[message.Check.PublishedSystemFileReached]",
     "This file will be published in the installer: /f leads to /k, which lies in a hidden or system folder."},
    {"[message.Check.More]", "/c more like this one are not listed."},
    {"[message.Check.PublishPrivate]",
     "The installer would publish these files from hidden or system folders to everyone who gets the pack:\r\n/f\r\n\r\n"
     "Build the map pack with them?"},
    {"[message.Check.PrivateNotBuilt]",
     "The map pack was not built: it would publish files from hidden or system folders. Delete them from the "
     "project, or build with --publish-private if you mean to publish them."},
    {"[message.Check.NoMaps]", "The pack has no maps."},
    {"[message.Check.NoMaps.Fix]", "Add a map with Edit, Add on the Maps panel."},
    {"[message.Check.PackPropertiesNotSet]", "The pack properties are not set yet: the wizard will ask for them."},
    {"[message.Check.PackPropertiesNotSet.Fix]", "Choose Project options... on the File menu."},
    {"[dlgLocateDir.Title]", "Select the folder that holds the missing files"},
    {"[message.Locate.Result]", "Found again: /c. Not found: /m."},
    {"[message.Locate.Ambiguous]", "Found more than once, so left as they were: /f"},
    {"[message.Locate.NothingMissing]", "No file of the pack is missing."},
    {"[frmCheck.Checking]", "Checking the pack..."},
    {"[message.Scan.FoldersLeftOut]", "(/c folders reached again through links, listed once)"},
    {"[mnuFilesEdit.Rename.Caption]", "Rename..."},
    {"[message.RenameNode.Caption]", "Rename"},
    {"[Change.RenameNode]", "Rename"},
    {"[message.RenameNode.Follow]", "/c map value(s) name /f. Let them name /k instead?"},
    {"[message.Locate.Private]",
     "Found only in hidden or system folders, so left as they were (the installer would publish them): /f"},
    {"[mnuFile.TryInstaller.Caption]", "Try installer..."},
    {"[mnuFile.TryInstaller.NoWine]", "Wine is not installed: a trial runs the installer under it."},
    {"[message.Try.Changed]",
     "The project changed since the editor last built it (or was never built here): it is built first, then "
     "installed and uninstalled on a stand-in player's machine."},
    {"[message.Try.Unchanged]",
     "The project has not changed since the editor built /f: that installer is installed and uninstalled on a "
     "stand-in player's machine."},
    {"[message.Try.Build]", "Build and try"},
    {"[message.Try.Last]", "Try that installer"},
    {"[message.Try.Pick]", "Pick an installer..."},
    {"[message.Try.Cancel]", "Cancel"},
    {"[message.Try.Stopped]", "The trial was stopped; the stand-in machine was removed."},
    {"[message.Try.BuildFailed]", "The installer could not be built, so it was not tried."},
    {"[dlgTryInstaller.Title]", "Try installer"},
    {"[dlgTryInstaller.Filter]", "Installer(*.exe)|*.exe"},
    {"[dlgTryInstaller.FilterIndex]", "1"},
    {"[frmTrial.Caption]", "Installer trial"},
    {"[frmTrial.Column1.Name]", "Name"},
    {"[frmTrial.Column2.Name]", "State"},
    {"[frmTrial.Column3.Name]", "Size"},
    {"[frmTrial.Column4.Name]", "Node"},
    {"[frmTrial.Mismatches]", "Not as the project says"},
    {"[frmTrial.GameFolder]", "Game folder /f"},
    {"[frmTrial.LauncherFolder]", "Launcher folder /f"},
    {"[frmTrial.InstallFolder]", "Install folder /f"},
    {"[frmTrial.State.Added]", "added"},
    {"[frmTrial.State.Replaced]", "replaced, backup kept in"},
    {"[frmTrial.State.ReplacedNoBackup]", "replaced, no backup kept"},
    {"[frmTrial.State.Backup]", "backup of a replaced file"},
    {"[frmTrial.State.InstallerOwn]", "installer's own file"},
    {"[frmTrial.State.FolderCreated]", "folder created"},
    {"[frmTrial.Summary]",
     "/a added, /r replaced (backup kept), /s stay after uninstall, /u removed by uninstall, /m mismatch(es)"},
    {"[frmTrial.Matched]", "The installer did what the project says."},
    {"[frmTrial.NotMatched]", "The installer did not do what the project says."},
    {"[frmTrial.NoGameFolder]",
     "No game folder is known, so the stand-in game folder was empty: replaced game files could not be "
     "seen."},
};

template <std::size_t... I>
constexpr std::array<const char *, LangCount> keysOf(std::index_sequence<I...>)
{
    return {Table[I].key...};
}

template <std::size_t... I>
constexpr std::array<const char *, LangCount> textsOf(std::index_sequence<I...>)
{
    return {Table[I].text...};
}

} // namespace

const std::array<const char *, LangCount> LangKeys = keysOf(std::make_index_sequence<LangCount>());
const std::array<const char *, LangCount> LangDefaults = textsOf(std::make_index_sequence<LangCount>());
std::array<QString, LangCount> LangTexts;

void InitLanguage()
{
    InitLanguage(QCoreApplication::applicationDirPath());
}

void InitLanguage(const QString &executableDir)
{
    for (int i = 0; i < LangCount; ++i)
        LangTexts[i] = QString::fromLatin1(LangDefaults[i]);

    // Lang.lng beside the executable, else the chosen installed translation, else English.
    const QString path = chooseLanguageFile(executableDir);
    if (path.isEmpty())
        return;
    try {
        LoadLanguageFile(QDir::toNativeSeparators(path));
    } catch (const UserError &e) {
        // Starting in English beats a program that never opens its window.
        reportProblem(e.message() + QStringLiteral(" Using the built-in texts."));
    }
}

int langIndex(const QString &key)
{
    for (int i = 0; i < LangCount; ++i) {
        if (key.compare(QLatin1String(LangKeys[i]), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString GetLangText(const QString &key)
{
    const int index = langIndex(key);
    return index < 0 ? QStringLiteral("ERROR") : LangTexts[index];
}

// One line of a language file: "/" escapes the next character ("/=", "/n", "//"; any other pair
// is dropped), each unescaped "=" ends a key, and what follows the last one is the value.
// Lines without an unescaped "=" (blank lines, notes) are ignored: otherwise they would
// silently overwrite the text of the key named on the line before.
bool readLanguageLine(QStringView line, QString &key, QString &text)
{
    QString gathered;
    key.clear();
    bool hasKey = false;
    const qsizetype length = line.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('/')) {
            // A "/" in the last position meets the guard blank and gathers nothing.
            const QChar next = i + 1 < length ? line[i + 1] : QLatin1Char(' ');
            if (next == QLatin1Char('='))
                gathered += QLatin1Char('=');
            else if (next == QLatin1Char('n'))
                gathered += QLatin1String("\r\n");
            else if (next == QLatin1Char('/'))
                gathered += QLatin1Char('/');
            ++i;
        } else if (c == QLatin1Char('=')) {
            key = gathered;
            gathered.clear();
            hasKey = true;
        } else {
            gathered += c;
        }
    }
    text = gathered;
    return hasKey;
}

namespace {

void applyLine(std::array<QString, LangCount> &texts, QStringView line)
{
    QString key;
    QString text;
    if (!readLanguageLine(line, key, text))
        return;
    const int index = langIndex(key);
    if (index >= 0)
        texts[index] = text;
}

} // namespace

void LoadLanguageFile(const QString &path)
{
    const std::unique_ptr<QFile> file = openInputFile(path, QStringLiteral("language file"));
    applyLanguageBytes(readInput(*file, MaxLanguageFileSize, QStringLiteral("language file"), path), path);
}

namespace {

// The group captions become texts of every project file, and the build messages are printed on
// terminals: they pass the checks of typed texts, and one that fails keeps its built-in text.
void keepOnlyCarriableTexts(std::array<QString, LangCount> &texts, const QString &fileName)
{
    for (int i = 0; i < LangCount; ++i) {
        const QString fault = carriedTextFault(i, texts[i]);
        if (fault.isEmpty())
            continue;
        reportProblem(QStringLiteral("In the language file %1, the text of %2: %3 The built-in text is used instead.")
                          .arg(fileName, QLatin1String(LangKeys[i]), fault));
        texts[i] = QString::fromLatin1(LangDefaults[i]);
    }
}

} // namespace

void forEachLanguageFileLine(QByteArrayView bytes, const std::function<void(int, QByteArrayView)> &visit)
{
    // Lines end at LF or CR LF; a lone CR stays in the line. Each is handed on its own, so a
    // large file costs its bytes and one line.
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool lastLine = end < 0;
        if (lastLine)
            end = bytes.size();
        qsizetype lineEnd = end;
        if (!lastLine && lineEnd > start && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        visit(++lineNumber, bytes.sliced(start, lineEnd - start));
        start = end + 1;
    }
}

void applyLanguageBytes(QByteArrayView bytes, const QString &fileName)
{
    const TextCodec &codec = textCodec();
    // Applied to a copy, so that a file that fails halfway changes nothing.
    std::array<QString, LangCount> texts = LangTexts;

    forEachLanguageFileLine(bytes, [&](int lineNumber, QByteArrayView bytesOfLine) {
        const std::optional<QString> line = codec.decodeExactly(bytesOfLine);
        if (!line) {
            throw UserError(QStringLiteral("The language file %1 cannot be read: line %2 holds bytes that are no "
                                           "text in the code page %3.")
                                .arg(fileName)
                                .arg(lineNumber)
                                .arg(codec.name()));
        }
        applyLine(texts, *line);
    });
    keepOnlyCarriableTexts(texts, fileName);
    LangTexts = std::move(texts);
}

} // namespace tervelle
