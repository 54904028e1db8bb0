#include "mappack/setupscript.h"

#include "mappack/packcheck.h"
#include "mappack/packfiles.h"
#include "mappack/scriptescape.h"
#include "mappack/setupcode.h"
#include "core/errors.h"
#include "core/namerule.h"
#include "core/safesave.h"
#include "project/projectmodel.h"

#include <algorithm>

namespace tervelle {

namespace {

const QString CallIndent = QStringLiteral("          ");

// Lines as bytes: user values in the editor's code page, the Russian messages in Windows-1251.
class ScriptWriter
{
public:
    explicit ScriptWriter(const TextCodec &codec) : m_codec(codec) {}

    void add(const QString &line)
    {
        m_preprocessorUnsafe = m_preprocessorUnsafe || holdsInlineDirective(line);
        m_lines << m_codec.encode(line);
    }
    void add(const QStringList &lines)
    {
        for (const QString &line : lines)
            add(line);
    }
    void addCyrillic(const QStringList &lines)
    {
        static const TextCodec cyrillic(QStringLiteral("windows-1251"));
        for (const QString &line : lines)
            m_lines << cyrillic.encode(line);
    }

    QList<QByteArray> take()
    {
        // The preprocessor would evaluate "{#" inside a name; a script holding one is read by the
        // plain #include-only preprocessor instead, which leaves every other line as it is.
        if (m_preprocessorUnsafe)
            m_lines.prepend(QByteArrayLiteral("#preproc builtin"));
        return std::move(m_lines);
    }

private:
    const TextCodec &m_codec;
    QList<QByteArray> m_lines;
    bool m_preprocessorUnsafe = false;
};

int lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

QString copyCall(const char *procedure, const QString &numbered, const QString &where, const QString &name)
{
    return CallIndent + QLatin1String(procedure) + QStringLiteral("('") + numbered + QStringLiteral("','")
        + pascalString(where) + QStringLiteral("','") + pascalString(name) + QStringLiteral("');");
}

QString packFileSource(const PackFileEntry &entry, const QString &appDir)
{
    // Staged files are named with backslashes, as the compiler's own folder is.
    if (entry.node->Info.Kind == FileMissingKind)
        return compilerPath(appDir + QStringLiteral("iscc\\maplists\\") + entry.node->Text);
    return compilerPath(entry.source);
}

struct GameGroup
{
    RootGroup group;
    const char *destination;
};

const GameGroup GameGroups[] = {
    {MapsRoot, "data\\maps\\"},
    {HeightMapsRoot, "data\\maps\\"},
    {TexturesRoot, "data\\maps\\"},
    {ScriptsRoot, "data\\scripts\\"},
    {IconsRoot, "data\\frontend\\levels\\"},
};

} // namespace

QString outputFolder(const QString &installerPath)
{
    const int separator = lastSeparator(installerPath);
    if (separator < 0)
        return {};
    const QString folder = installerPath.left(separator);
    const bool driveRoot = folder.size() == 2 && folder.at(1) == QLatin1Char(':');
    if (folder.isEmpty() || driveRoot)
        return installerPath.left(separator + 1);
    return folder;
}

QString outputBaseName(const QString &installerPath)
{
    const QString name = installerPath.mid(lastSeparator(installerPath) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

void AddCreateSubDirCalls(const ProjectModel &project, const TreeNode *node, const QString &path,
                          QStringList &lines)
{
    for (int row = 0; row < node->childCount(); ++row) {
        const TreeNode *child = node->child(row);
        const QString childPath = child->Text + QLatin1Char('\\');
        if (child->isFolder()) {
            lines << CallIndent + QStringLiteral("CreateSubDir('") + pascalString(childPath)
                    + QStringLiteral("','") + pascalString(path) + QStringLiteral("');");
        }
        AddCreateSubDirCalls(project, child, path + childPath, lines);
    }
}

void AddCopyToMaplistsCalls(const ProjectModel &project, const TreeNode *node, const QString &path,
                            QStringList &lines)
{
    for (int row = 0; row < node->childCount(); ++row) {
        const TreeNode *child = node->child(row);
        if (!child->isFolder()) {
            lines << copyCall("CopyToMaplists", NumberedName(project.absoluteIndex(child)), path,
                              child->Text);
        }
        AddCopyToMaplistsCalls(project, child, path + child->Text + QLatin1Char('\\'), lines);
    }
}

void AddCopyToWormsCalls(const ProjectModel &project, const TreeNode *group, const QString &destination,
                         QStringList &lines)
{
    for (int row = 0; row < group->childCount(); ++row) {
        const TreeNode *child = group->child(row);
        if (!child->isFolder()) {
            lines << copyCall("CopyToWorms", NumberedName(project.absoluteIndex(child)), destination,
                              child->Text);
            continue;
        }
        // A folder has no file of its own to copy: it is made in the game's folder and its files
        // follow with their folder path.
        const QString folder = destination + child->Text + QLatin1Char('\\');
        lines << CallIndent + QStringLiteral("ForceDirectories(WormsDir+'") + pascalString(folder)
                + QStringLiteral("');");
        AddCopyToWormsCalls(project, child, folder, lines);
    }
}

QList<QByteArray> MakeSetupScript(const QString &appDir, const QString &installerPath,
                                  const SharedState &pack, const ProjectModel &project,
                                  const TextCodec &codec, const QHash<int, QString> &staged)
{
    const auto entries = NumberPackFiles(project, appDir);

    // Refuse what the compiler cannot take before any line is made.
    checkPackTexts(pack, project);
    requireNoControlCharacters(QStringLiteral("The installer path"), installerPath);
    requireNoControlCharacters(QStringLiteral("The program folder"), appDir);
    refuseDoubleQuote(QStringLiteral("The web site"), pack.PackWebSite);
    refuseDoubleQuote(QStringLiteral("The installer path"), installerPath);
    refuseDoubleQuote(QStringLiteral("The program folder"), appDir);
    QStringList sources;
    for (const PackFileEntry &entry : entries) {
        if (!entry.isPackFile)
            continue;
        refuseDoubleQuote(QStringLiteral("The file"), entry.node->Info.Kind == FileMissingKind
                                                           ? entry.node->Text
                                                           : entry.source);
        const auto copy = staged.constFind(entry.absoluteIndex);
        sources << (copy != staged.constEnd() ? compilerPath(*copy) : packFileSource(entry, appDir));
    }

    const QString name = constantText(pack.PackName);
    const QString web = constantText(pack.PackWebSite);
    ScriptWriter script(codec);

    script.add({
        QStringLiteral("[Setup]"),
        QStringLiteral("AppName=") + name,
        QStringLiteral("AppVerName=") + setupDirective(constantText(pack.PackName + QLatin1Char(' ') + pack.PackVersion)),
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
        QStringLiteral("SetupIconFile=") + compilerPath(appDir + QStringLiteral("iscc\\setup.ico")),
        QStringLiteral("Compression=lzma"),
        QStringLiteral("SolidCompression=yes"),
        QString(),
    });

    script.add(QStringLiteral("[Languages]"));
    for (const QString &language : pack.PackLanguages) {
        script.add(QStringLiteral("Name: \"") + language + QStringLiteral("\"; MessagesFile: \"compiler:Languages\\")
                   + language + QStringLiteral(".isl\""));
    }
    script.add({QStringLiteral("Name: \"english\"; MessagesFile: \"compiler:Default.isl\""), QString()});

    script.add(QStringLiteral("[CustomMessages]"));
    script.add(englishMessages());
    if (pack.PackLanguages.contains(QStringLiteral("russian")))
        script.addCyrillic(russianMessages());
    script.add(QString());

    script.add({
        QStringLiteral("[Icons]"),
        QStringLiteral("Name: \"{group}\\{cm:ProgramOnTheWeb,") + constantArgument(pack.PackName)
            + QStringLiteral("}\"; Filename: \"") + constantText(pack.PackWebSite) + QStringLiteral("\""),
        QStringLiteral("Name: \"{group}\\{cm:UninstallProgram,") + constantArgument(pack.PackName)
            + QStringLiteral("}\"; Filename: \"{uninstallexe}\""),
        QString(),
    });

    script.add(QStringLiteral("[Files]"));
    int source = 0;
    for (const PackFileEntry &entry : entries) {
        if (entry.isPackFile) {
            script.add(QStringLiteral("Source: \"") + sources.at(source++) + QStringLiteral("\"; DestName:\"")
                       + NumberedName(entry.absoluteIndex) + QStringLiteral("\"; Flags: dontcopy"));
        }
    }
    script.add(QString());

    script.add(QStringLiteral("[UninstallDelete]"));
    for (const PackFileEntry &entry : entries) {
        if (entry.node->Info.Kind == FileMissingKind) {
            script.add(QStringLiteral("Type: filesandordirs; Name: \"{code:getLauncherDir}\\maplists\\")
                       + quotedParameter(constantText(entry.node->Text)) + QStringLiteral("\""));
        }
    }
    script.add(QString());

    script.add(setupCodeHead());
    QStringList calls;
    calls << CallIndent + QStringLiteral("CountToCopy:=") + QString::number(project.tree().count() - RootCount)
                 + QLatin1Char(';')
          << CallIndent + QStringLiteral("CopyingFiles.Show;");
    AddCreateSubDirCalls(project, project.root(FilesRoot), QString(), calls);
    AddCopyToMaplistsCalls(project, project.root(FilesRoot), QString(), calls);
    for (const GameGroup &group : GameGroups)
        AddCopyToWormsCalls(project, project.root(group.group), QLatin1String(group.destination), calls);
    script.add(calls);
    script.add(setupCodeTail());
    return script.take();
}

QByteArray setupScriptBytes(const QList<QByteArray> &lines)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QString setupScriptPath(const QString &appDir)
{
    return appDir + QStringLiteral("iscc/setup.iss");
}

void saveSetupScript(const QList<QByteArray> &lines, const QString &appDir)
{
    const QString path = setupScriptPath(appDir);
    // The compiler folder may be shared: a link planted there is replaced, not written through.
    replaceFileNotFollowingLinks(path, setupScriptBytes(lines));
}

} // namespace tervelle
