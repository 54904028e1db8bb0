#include "mappack/setupscript.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/pathparts.h"
#include "core/safesave.h"
#include "mappack/packfiles.h"
#include "mappack/packplan.h"
#include "mappack/scriptescape.h"
#include "mappack/setupcode.h"
#include "mappack/setupmessages.h"
#include "project/keyvalue.h"
#include "project/projectmodel.h"

#include <algorithm>

namespace tervelle {

namespace {

const QString CallIndent = QStringLiteral("          ");

// Lines as UTF-8 bytes: the file starts with a byte-order mark, so the compiler reads every
// language's text as written whatever code page its system has. Each line goes to the sink as it
// is made, so no script is ever held whole.
class ScriptWriter
{
public:
    explicit ScriptWriter(std::function<void(const QByteArray &)> sink) : m_sink(std::move(sink)) {}

    void add(const QString &line)
    {
        m_preprocessorUnsafe = m_preprocessorUnsafe || holdsInlineDirective(line);
        m_sink(line.toUtf8());
    }
    void add(const QStringList &lines)
    {
        for (const QString &line : lines)
            add(line);
    }
    // The preprocessor would evaluate "{#" inside a name; a script holding one is read by the
    // plain #include-only preprocessor instead, which leaves every other line as it is.
    bool preprocessorUnsafe() const { return m_preprocessorUnsafe; }

private:
    std::function<void(const QByteArray &)> m_sink;
    bool m_preprocessorUnsafe = false;
};

const QByteArray BuiltinPreprocessor = QByteArrayLiteral("#preproc builtin");
const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

// The list of what the installer copied, kept in the installation folder for the uninstaller.
const QLatin1String InstalledListName("installed files.txt");

// A path in the compiler folder as the script names it: with backslashes, as the compiler's own
// folder is named.
QString compilerFolderPath(const QString &path)
{
    return compilerPath(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString copyCall(const char *procedure, const QString &numbered, const QString &where, const QString &name)
{
    return CallIndent + QLatin1String(procedure) + QStringLiteral("('") + numbered + QStringLiteral("','")
        + pascalString(where) + QStringLiteral("','") + pascalString(name) + QStringLiteral("');");
}

QString packFileSource(const PackFileEntry &entry)
{
    if (entry.node->Kind() == FileMissingKind)
        return compilerFolderPath(entry.source());
    return compilerPath(entry.source());
}

struct GameGroup
{
    RootGroup group;
    const char *destination;
};

const GameGroup GameGroups[] = {
    {MapsRoot, "data\\maps\\"},       {HeightMapsRoot, "data\\maps\\"},        {TexturesRoot, "data\\maps\\"},
    {ScriptsRoot, "data\\scripts\\"}, {IconsRoot, "data\\frontend\\levels\\"},
};

} // namespace

QString outputFolder(const QString &installerPath)
{
    // The compiler reads the installer's path as Windows does.
    const qsizetype separator = lastWindowsSeparator(installerPath);
    if (separator < 0)
        return {};
    QString folder = installerPath.left(separator);
    const bool driveRoot = folder.size() == 2 && folder.at(1) == QLatin1Char(':');
    if (folder.isEmpty() || driveRoot)
        return installerPath.left(separator + 1);
    return folder;
}

QString outputBaseName(const QString &installerPath)
{
    const QString name = installerPath.mid(lastWindowsSeparator(installerPath) + 1);
    return withoutExtension(name);
}

namespace {

// The generated calls of the [Code] section, each passed to `add`. `path` is the folder below the
// group, each name followed by a backslash; the destination ends in a backslash.
using ScriptLineSink = std::function<void(const QString &)>;

// Whether a script is made with the lines of the files tree (the [Files] entries and the calls
// of the [Code] section) or without them, its other lines only.
enum class TreeLines { Made, Skipped };

void AddCreateSubDirCalls(const TreeNode *node, const QString &path, const ScriptLineSink &add)
{
    for (int row = 0; row < node->childCount(); ++row) {
        const TreeNode *child = node->child(row);
        const QString childPath = child->Text() + QLatin1Char('\\');
        if (child->isFolder()) {
            add(CallIndent + QStringLiteral("CreateSubDir('") + pascalString(childPath) + QStringLiteral("','")
                + pascalString(path) + QStringLiteral("');"));
        }
        AddCreateSubDirCalls(child, path + childPath, add);
    }
}

void AddCopyToMaplistsCalls(const ProjectModel &project, const TreeNode *node, const QString &path,
                            const ScriptLineSink &add)
{
    for (int row = 0; row < node->childCount(); ++row) {
        const TreeNode *child = node->child(row);
        if (!child->isFolder()) {
            add(copyCall("CopyToMaplists", NumberedName(project.absoluteIndex(child)), path, child->Text()));
        }
        AddCopyToMaplistsCalls(project, child, path + child->Text() + QLatin1Char('\\'), add);
    }
}

void AddCopyToWormsCalls(const ProjectModel &project, const TreeNode *group, const QString &destination,
                         const ScriptLineSink &add)
{
    for (int row = 0; row < group->childCount(); ++row) {
        const TreeNode *child = group->child(row);
        if (!child->isFolder()) {
            add(copyCall("CopyToWorms", NumberedName(project.absoluteIndex(child)), destination, child->Text()));
            continue;
        }
        // A folder has no file of its own to copy: it is made in the game's folder and its files
        // follow with their folder path.
        const QString folder = destination + child->Text() + QLatin1Char('\\');
        add(CallIndent + QStringLiteral("MakeFolder(WormsDir+'") + pascalString(folder) + QStringLiteral("');"));
        AddCopyToWormsCalls(project, child, folder, add);
    }
}

// One writer per section of the script, in the order the script holds them; each ends with the
// empty line that parts it from the next.

void addSetupSection(ScriptWriter &script, const PackProperties &pack, const QString &appDir,
                     const QString &installerPath)
{
    const QString name = constantText(pack.PackName);
    const QString web = constantText(pack.PackWebSite);
    script.add({
        QStringLiteral("[Setup]"),
        QStringLiteral("AppName=") + name,
        QStringLiteral("AppVerName=")
            + setupDirective(constantText(pack.PackName + QLatin1Char(' ') + pack.PackVersion)),
        QStringLiteral("AppPublisher=") + setupDirective(constantText(pack.PackAuthor)),
        QStringLiteral("AppPublisherURL=") + web,
        QStringLiteral("AppSupportURL=") + web,
        QStringLiteral("AppUpdatesURL=") + web,
        QStringLiteral("DisableDirPage=yes"),
        QStringLiteral("DisableProgramGroupPage=yes"),
        QStringLiteral("DefaultDirName={pf}\\Quorvane\\installed\\") + name,
        QStringLiteral("DefaultGroupName=Quorvane\\Maplists\\") + name,
        QStringLiteral("OutputDir=") + compilerPath(outputFolder(installerPath)),
        QStringLiteral("OutputBaseFilename=") + outputBaseName(installerPath),
        QStringLiteral("SetupIconFile=") + compilerFolderPath(setupIconPath(appDir)),
        QStringLiteral("Compression=lzma"),
        QStringLiteral("SolidCompression=yes"),
        QString(),
    });
}

// The chosen languages, then English, which every installer has.
void addLanguagesSection(ScriptWriter &script, const QStringList &languages)
{
    script.add(QStringLiteral("[Languages]"));
    for (const QString &language : languages) {
        script.add(QStringLiteral("Name: \"") + language + QStringLiteral("\"; MessagesFile: \"compiler:Languages\\")
                   + language + QStringLiteral(".isl\""));
    }
    script.add({QStringLiteral("Name: \"english\"; MessagesFile: \"compiler:Default.isl\""), QString()});
}

void addCustomMessagesSection(ScriptWriter &script, const QStringList &languages)
{
    script.add(QStringLiteral("[CustomMessages]"));
    script.add(customMessageLines(languages));
    script.add(QString());
}

// The first header link that names a page under Files, as the installed path below the
// launcher's map lists, in the tree's own spelling; empty when there is none.
QString informationPage(const ProjectModel &project)
{
    for (int row = 0; row < project.headerCount(); ++row) {
        if (project.headerInfo().value(row).KeyKind != LinkKey)
            continue;
        const QString link = ValueOf(project.headerRows()[row]);
        if (link.isEmpty())
            continue;
        const QStringList parts = link.split(QLatin1Char('\\'));
        QString path;
        const TreeNode *node = project.root(FilesRoot);
        for (qsizetype i = 0; node && i + 1 < parts.size(); ++i) {
            node = project.findFolderNode(node, parts[i]);
            if (node)
                path += node->Text() + QLatin1Char('\\');
        }
        const TreeNode *page = node ? project.findFileNode(node, parts.last()) : nullptr;
        if (page)
            return path + page->Text();
    }
    return {};
}

void addIconsSection(ScriptWriter &script, const PackProperties &pack, const ProjectModel &project)
{
    script.add(QStringLiteral("[Icons]"));
    script.add(QStringLiteral("Name: \"{group}\\{cm:ProgramOnTheWeb,") + constantArgument(pack.PackName)
               + QStringLiteral("}\"; Filename: \"") + constantText(pack.PackWebSite) + QStringLiteral("\""));
    const QString page = informationPage(project);
    if (!page.isEmpty()) {
        script.add(QStringLiteral("Name: \"{group}\\{cm:PackInformation,") + constantArgument(pack.PackName)
                   + QStringLiteral("}\"; Filename: \"{code:getLauncherDir}\\maplists\\") + constantText(page)
                   + QStringLiteral("\""));
    }
    script.add({
        QStringLiteral("Name: \"{group}\\{cm:UninstallProgram,") + constantArgument(pack.PackName)
            + QStringLiteral("}\"; Filename: \"{uninstallexe}\""),
        QString(),
    });
}

// Every pack file under its numbered name; the [Code] section copies each where it belongs.
void addFilesSection(ScriptWriter &script, const PackFiles &entries, const QHash<int, QString> &staged, TreeLines tree)
{
    script.add(QStringLiteral("[Files]"));
    for (const PackFileEntry &entry : entries) {
        if (entry.isPackFile && tree == TreeLines::Made) {
            const auto copy = staged.constFind(entry.absoluteIndex);
            const QString source = copy != staged.constEnd() ? compilerPath(*copy) : packFileSource(entry);
            script.add(QStringLiteral("Source: \"") + source + QStringLiteral("\"; DestName:\"")
                       + NumberedName(entry.absoluteIndex) + QStringLiteral("\"; Flags: dontcopy"));
        }
    }
    script.add(QString());
}

// The uninstaller removes the pack's files itself, by the list the installer keeps; only that
// list goes by name, so that the installation folder can go with it.
void addUninstallDeleteSection(ScriptWriter &script)
{
    script.add({
        QStringLiteral("[UninstallDelete]"),
        QStringLiteral("Type: files; Name: \"{app}\\") + InstalledListName + QStringLiteral("\""),
        QString(),
    });
}

// The number of files copied into the launcher's map lists and into the game's folders.
struct CopyCounts
{
    int launcher = 0;
    int game = 0;
};

// Counted as the calls below are made, without making them: every file below the Files group,
// however deep; below a game group, the files reached through folders only.
int countLauncherCopies(const TreeNode *node)
{
    int count = 0;
    for (int row = 0; row < node->childCount(); ++row) {
        const TreeNode *child = node->child(row);
        count += (child->isFolder() ? 0 : 1) + countLauncherCopies(child);
    }
    return count;
}

int countGameCopies(const TreeNode *node)
{
    int count = 0;
    for (int row = 0; row < node->childCount(); ++row) {
        const TreeNode *child = node->child(row);
        count += child->isFolder() ? countGameCopies(child) : 1;
    }
    return count;
}

CopyCounts countCopies(const ProjectModel &project)
{
    CopyCounts counts;
    counts.launcher = countLauncherCopies(project.root(FilesRoot));
    for (const GameGroup &group : GameGroups)
        counts.game += countGameCopies(project.root(group.group));
    return counts;
}

QString pascalConstant(const char *name, const QString &text)
{
    return QStringLiteral("  ") + QLatin1String(name) + QStringLiteral(" = '") + pascalString(text)
        + QStringLiteral("';");
}

// The fixed code around the generated calls: folders first, then the files of each group. The
// progress bar counts the files copied, not the folders made.
void addCodeSection(ScriptWriter &script, const PackProperties &pack, const ProjectModel &project, TreeLines tree)
{
    const CopyCounts counts = countCopies(project);
    script.add(setupCodeVariables());
    script.add({
        QStringLiteral("const"),
        pascalConstant("PackName", pack.PackName),
        pascalConstant("PackVersion", pack.PackVersion),
        pascalConstant("PackAuthor", pack.PackAuthor),
        QStringLiteral("  FilesForGame = %1;").arg(counts.game),
        QStringLiteral("  FilesForLauncher = %1;").arg(counts.launcher),
        QStringLiteral("  InstalledListName = '") + InstalledListName + QStringLiteral("';"),
        QString(),
    });
    script.add(setupCodeProcedures());
    script.add(CallIndent + QStringLiteral("CountToCopy:=") + QString::number(counts.launcher + counts.game)
               + QLatin1Char(';'));
    script.add(CallIndent + QStringLiteral("CopyingFiles.Show;"));
    const ScriptLineSink add = [&script](const QString &line) { script.add(line); };
    if (tree == TreeLines::Made) {
        AddCreateSubDirCalls(project.root(FilesRoot), QString(), add);
        AddCopyToMaplistsCalls(project, project.root(FilesRoot), QString(), add);
        for (const GameGroup &group : GameGroups)
            AddCopyToWormsCalls(project, project.root(group.group), QLatin1String(group.destination), add);
    }
    script.add(setupCodeTail());
}

void addScriptLines(ScriptWriter &script, const PackPlan &plan, const QString &installerPath,
                    TreeLines tree = TreeLines::Made)
{
    const QString &appDir = plan.appDir();
    const ProjectModel &project = plan.project();
    const PackProperties &pack = project.packProperties();
    addSetupSection(script, pack, appDir, installerPath);
    addLanguagesSection(script, pack.PackLanguages);
    addCustomMessagesSection(script, pack.PackLanguages);
    addIconsSection(script, pack, project);
    addFilesSection(script, plan.entries(), plan.staged(), tree);
    addUninstallDeleteSection(script);
    addCodeSection(script, pack, project, tree);
}

// Whether a line made from the files tree could hold "{#". Only a name or a source path that
// holds it can put it there: what stands beside them in a line neither ends in "{" nor starts
// with "#", and the paths made of them join their parts with "\\" or "/".
bool treeMayHoldInlineDirective(const PackPlan &plan)
{
    if (holdsInlineDirective(StagingFolder(plan.appDir())) || holdsInlineDirective(stagedSourcesFolder(plan.appDir())))
        return true;
    for (const PackFileEntry &entry : plan.entries()) {
        const TreeNode *node = entry.node;
        if (!node->isRoot() && holdsInlineDirective(node->Text()))
            return true;
        if (node->Kind() == FileFoundKind && holdsInlineDirective(node->Info().Path))
            return true;
    }
    return false;
}

} // namespace

CheckedSetupScript::CheckedSetupScript(const PackPlan &plan, const QString &installerPath)
    : m_plan(plan), m_installerPath(installerPath)
{
    // Refuse what the compiler cannot take before any line is made.
    const QString &appDir = m_plan.appDir();
    const PackProperties &pack = m_plan.project().packProperties();
    requireNoControlCharacters(lang(LangKey::message_Subject_InstallerPath), m_installerPath);
    requireNoControlCharacters(lang(LangKey::message_Subject_ProgramFolder), appDir);
    if (!m_plan.reviewed())
        refuseDoubleQuote(lang(LangKey::message_Subject_WebSite), pack.PackWebSite);
    refuseDoubleQuote(lang(LangKey::message_Subject_InstallerPath), m_installerPath);
    refuseDoubleQuote(lang(LangKey::message_Subject_ProgramFolder), appDir);
    for (const PackFileEntry &entry : m_plan.entries()) {
        if (!entry.isPackFile || m_plan.reviewed())
            continue;
        refuseDoubleQuote(lang(LangKey::message_Subject_File),
                          entry.node->Kind() == FileMissingKind ? entry.node->Text() : entry.node->Info().Path);
    }

    // Whether a name needs the plain preprocessor must be known before the first line is
    // written, and the script is made once, as it is written: the lines around the tree are few
    // and made here to look at; the tree's are made too only in the rare pack whose names could
    // put a "{#" in them.
    ScriptWriter check([](const QByteArray &) {});
    addScriptLines(check, m_plan, m_installerPath,
                   treeMayHoldInlineDirective(m_plan) ? TreeLines::Made : TreeLines::Skipped);
    m_preprocessorUnsafe = check.preprocessorUnsafe();
}

void CheckedSetupScript::eachLine(const std::function<void(const QByteArray &)> &line) const
{
    if (m_preprocessorUnsafe)
        line(BuiltinPreprocessor);
    ScriptWriter script(line);
    addScriptLines(script, m_plan, m_installerPath);
}

void CheckedSetupScript::write(const std::function<void(const QByteArray &)> &piece) const
{
    // Lines gathered into pieces of about a megabyte: few writes, little memory.
    constexpr qsizetype PieceSize = 1 << 20;
    QByteArray buffer = ByteOrderMark;
    eachLine([&](const QByteArray &line) {
        buffer += line;
        buffer += "\r\n";
        if (buffer.size() >= PieceSize) {
            piece(buffer);
            buffer.clear();
        }
    });
    if (!buffer.isEmpty())
        piece(buffer);
}

QList<QByteArray> MakeSetupScript(const PackPlan &plan, const QString &installerPath)
{
    QList<QByteArray> lines;
    CheckedSetupScript(plan, installerPath).eachLine([&lines](const QByteArray &line) { lines << line; });
    return lines;
}

QByteArray setupScriptBytes(const QList<QByteArray> &lines)
{
    QByteArray bytes = ByteOrderMark;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

void saveSetupScript(const CheckedSetupScript &script, const QString &appDir)
{
    const QString path = setupScriptPath(appDir);
    // The compiler folder may be shared: a link planted there is replaced, not written through.
    replaceFileNotFollowingLinks(path, [&script](const ByteSink &write) { script.write(write); });
}

} // namespace tervelle
