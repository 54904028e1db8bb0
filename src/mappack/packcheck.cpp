#include "mappack/packcheck.h"

#include "mappack/maplist.h"
#include "core/errors.h"
#include "core/namerule.h"
#include "project/projectmodel.h"

#include <QStringList>

namespace tervelle {

namespace {

// The compiler trims directive values; a blank at either end would be lost without a word.
void requireNoOuterBlanks(const QString &what, const QString &value)
{
    if (value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '))) {
        throw UserError(QStringLiteral("%1 \"%2\" begins or ends with a blank, which the installer "
                                       "compiler would drop. Please remove it.")
                            .arg(what, escapeControlCharacters(value)));
    }
}

// A row without "=" is no key and value to the launcher: a lone "{" or "}" would open or close
// a map in the middle of the list.
void requireKeyValueRow(const QString &what, const QString &row)
{
    requireNoControlCharacters(what, row);
    if (!row.contains(QLatin1Char('='))) {
        throw UserError(QStringLiteral("%1 \"%2\" holds no \"=\", so the map list cannot carry it "
                                       "as a key and a value. Please give it one.")
                            .arg(what, row));
    }
}

// Where a node lies, as the tree shows it: "Files\info\".
QString treeLocation(const TreeNode *node)
{
    QString location;
    for (const TreeNode *above = node->parent(); above; above = above->parent())
        location.prepend(escapeControlCharacters(above->Text) + QLatin1Char('\\'));
    return location;
}

#ifndef Q_OS_WIN
// The compiler reads a source path as the Windows path "Z:" + path with "\\" for "/": a name the
// Windows path rules read otherwise (a backslash is a separator there, "*" and "?" are wildcards,
// a trailing dot goes, "nul" is a device, ".." is undone by name rather than by folder) would
// have it pack another file than the one we checked. So every part must be a Windows name.
void requireCompilerReadablePath(const QString &what, const QString &path)
{
    if (!path.startsWith(QLatin1Char('/'))) {
        throw UserError(QStringLiteral("%1 \"%2\" is not an absolute path, so the compiler would look for it elsewhere.")
                            .arg(what, escapeControlCharacters(path)));
    }
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (!isWindowsName(part)) {
            throw UserError(QStringLiteral("%1 \"%2\" holds the part \"%3\", which the compiler would read as another "
                                           "path under Windows path rules. Please rename or move the file.")
                                .arg(what, escapeControlCharacters(path), escapeControlCharacters(part)));
        }
    }
}
#endif

void checkNode(const ProjectModel &project, const TreeNode *node)
{
    const QString location = treeLocation(node);
    const QString kind = node->isFolder()                  ? QStringLiteral("folder")
                         : node == project.MapListNode() ? QStringLiteral("map list file")
                                                           : QStringLiteral("file");
    const QString what = QStringLiteral("In %1 of the files tree, the %2").arg(location, kind);
    requireNoControlCharacters(what, node->Text);
    requireWindowsName(what, node->Text);
    // A file found on disk is packed from its path, which the script names.
    if (node->Info.Kind == FileFoundKind) {
        const QString source = QStringLiteral("In %1 of the files tree, the source path of the file \"%2\"")
                                   .arg(location, node->Text);
        requireNoControlCharacters(source, node->Info.Path);
#ifndef Q_OS_WIN
        requireCompilerReadablePath(source, node->Info.Path);
#endif
    }
}

} // namespace

void checkPackTexts(const SharedState &pack, const ProjectModel &project)
{
    const QString name = QStringLiteral("The pack name");
    requireNoControlCharacters(name, pack.PackName);
    requireWindowsName(name, pack.PackName);
    requireNoOuterBlanks(name, pack.PackName);
    const QString version = QStringLiteral("The pack version");
    requireNoControlCharacters(version, pack.PackVersion);
    requireNoOuterBlanks(version, pack.PackVersion);
    const QString author = QStringLiteral("The pack author");
    requireNoControlCharacters(author, pack.PackAuthor);
    requireNoOuterBlanks(author, pack.PackAuthor);
    requireNoControlCharacters(QStringLiteral("The pack web site"), pack.PackWebSite);
    requireWebAddress(QStringLiteral("The pack web site"), pack.PackWebSite);
    // A language names its messages file in the compiler's languages folder.
    for (const QString &language : pack.PackLanguages) {
        requireNoControlCharacters(QStringLiteral("The installer language"), language);
        requireWindowsName(QStringLiteral("The installer language"), language);
    }

    for (const QString &row : project.headerRows())
        requireKeyValueRow(QStringLiteral("The pack header row"), row);
    requireWindowsName(QStringLiteral("The map list file (the English title followed by \".mpl\")"),
                       MapListFileName(project));
    for (int i = 0; i < project.mapCount(); ++i) {
        const MapEntry &map = project.map(i);
        const QString where = QStringLiteral("In map %1 (\"%2\"), the property")
                                  .arg(i + 1)
                                  .arg(escapeControlCharacters(map.displayName));
        for (const QString &row : map.Info.Properties)
            requireKeyValueRow(where, row);
    }

    // Parents come before their children, so a node's location holds only names already checked.
    for (const TreeNode *node : project.tree().nodes()) {
        if (!node->isRoot())
            checkNode(project, node);
    }
}

} // namespace tervelle
