#include "mappack/packcheck.h"

#include "core/errors.h"
#include "core/namerule.h"
#include "core/textcodec.h"
#include "mappack/scriptescape.h"
#include "project/filenames.h"
#include "project/keyvalue.h"
#include "project/projectmodel.h"

#include <QStringList>

#include <algorithm>

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
        location.prepend(escapeControlCharacters(above->Text()) + QLatin1Char('\\'));
    return location;
}

#ifndef Q_OS_WIN
// The compiler reads a source path as the Windows path "Z:" + path with "\\" for "/": a name the
// Windows path rules read otherwise (a backslash is a separator there, "*" and "?" are wildcards,
// a trailing dot goes, "nul" is a device, ".." is undone by name rather than by folder) would
// have it pack another file than the one we checked. So every part must be a Windows name.
bool isCompilerReadablePath(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return false;
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return std::all_of(parts.begin(), parts.end(), [](const QString &part) { return isWindowsName(part); });
}

// The same, remembering the verdict on the last folder: a large pack's sources lie in few
// folders, and splitting every path into its parts cost more than the rest of the check.
class ReadablePaths
{
public:
    bool readable(const QString &path)
    {
        if (!path.startsWith(QLatin1Char('/')))
            return false;
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QStringView folder = QStringView(path).left(slash + 1);
        if (folder != m_folder) {
            m_folder = folder.toString();
            m_folderReadable = isCompilerReadablePath(m_folder);
        }
        if (!m_folderReadable)
            return false;
        const qsizetype nameSize = path.size() - slash - 1;
        // Raw data: the name is only looked at, never kept.
        return nameSize == 0 || isWindowsName(QString::fromRawData(path.constData() + slash + 1, nameSize));
    }

private:
    QString m_folder;
    bool m_folderReadable = false;
};

void requireCompilerReadablePath(const QString &what, const QString &path)
{
    if (!path.startsWith(QLatin1Char('/'))) {
        throw UserError(
            QStringLiteral("%1 \"%2\" is not an absolute path, so the compiler would look for it elsewhere.")
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
#else
class ReadablePaths
{
public:
    bool readable(const QString &) { return true; }
};
#endif

// Runs one value's checks; its first refusal is handed on with where it lies.
class Collector
{
public:
    explicit Collector(const TextRefusal &refused) : m_refused(refused) {}

    template <typename Check>
    void check(const FindingPlace &place, Check &&work)
    {
        try {
            work();
        } catch (const UserError &e) {
            m_refused(place, e.message());
        }
    }

private:
    const TextRefusal &m_refused;
};

void checkNode(const ProjectModel &project, const TreeNode *node, ReadablePaths &paths)
{
    // Most nodes pass; their messages are made only for the one that fails.
    const bool found = node->Info().Kind == FileFoundKind;
    if (!hasControlCharacter(node->Text()) && isWindowsName(node->Text())
        && !(found && (hasControlCharacter(node->Info().Path) || !paths.readable(node->Info().Path))))
        return;
    const QString location = treeLocation(node);
    const QString kind = node->isFolder() ? QStringLiteral("folder")
        : node == project.MapListNode()   ? QStringLiteral("map list file")
                                          : QStringLiteral("file");
    const QString what = QStringLiteral("In %1 of the files tree, the %2").arg(location, kind);
    requireNoControlCharacters(what, node->Text());
    requireWindowsName(what, node->Text());
    // A file found on disk is packed from its path, which the script names.
    if (found) {
        const QString source =
            QStringLiteral("In %1 of the files tree, the source path of the file \"%2\"").arg(location, node->Text());
        requireNoControlCharacters(source, node->Info().Path);
#ifndef Q_OS_WIN
        requireCompilerReadablePath(source, node->Info().Path);
#endif
    }
}

void checkPackFields(const PackProperties &pack, Collector &collect)
{
    const FindingPlace place = FindingPlace::pack();
    collect.check(place, [&] {
        const QString name = QStringLiteral("The pack name");
        requireNoControlCharacters(name, pack.PackName);
        requireWindowsName(name, pack.PackName);
        requireNoOuterBlanks(name, pack.PackName);
    });
    collect.check(place, [&] {
        const QString version = QStringLiteral("The pack version");
        requireNoControlCharacters(version, pack.PackVersion);
        requireNoOuterBlanks(version, pack.PackVersion);
    });
    collect.check(place, [&] {
        const QString author = QStringLiteral("The pack author");
        requireNoControlCharacters(author, pack.PackAuthor);
        requireNoOuterBlanks(author, pack.PackAuthor);
    });
    collect.check(place, [&] {
        requireNoControlCharacters(QStringLiteral("The pack web site"), pack.PackWebSite);
        requireWebAddress(QStringLiteral("The pack web site"), pack.PackWebSite);
    });
    // A language names its messages file in the compiler's languages folder.
    for (const QString &language : pack.PackLanguages) {
        collect.check(place, [&] {
            requireNoControlCharacters(QStringLiteral("The installer language"), language);
            requireWindowsName(QStringLiteral("The installer language"), language);
        });
    }
}

void checkRows(const ProjectModel &project, Collector &collect)
{
    for (int row = 0; row < project.headerCount(); ++row) {
        collect.check(FindingPlace::headerRow(row),
                      [&] { requireKeyValueRow(QStringLiteral("The pack header row"), project.headerRows()[row]); });
    }
    const int english = FindKey(project.headerRows(), QStringLiteral("[english]"));
    collect.check(FindingPlace::headerRow(std::max(english, 0)), [&] {
        requireWindowsName(QStringLiteral("The map list file (the English title followed by \".mpl\")"),
                           mapListFileName(project.packTitle()));
    });
    for (int i = 0; i < project.mapCount(); ++i) {
        const MapEntry &map = project.map(i);
        const QString where =
            QStringLiteral("In map %1 (\"%2\"), the property").arg(i + 1).arg(escapeControlCharacters(map.displayName));
        for (int row = 0; row < map.Info.Properties.size(); ++row) {
            collect.check(FindingPlace::mapProperty(i, row),
                          [&] { requireKeyValueRow(where, map.Info.Properties[row]); });
        }
    }
}

// What the script or the map list would fail to encode later on.
void checkEncodable(const QString &value)
{
    // Plain ASCII, nearly every text, is what such a code page holds byte for byte.
    const TextCodec &codec = textCodec();
    if (codec.isAsciiCompatible()
        && std::all_of(value.begin(), value.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return;
    if (!codec.canEncode(value))
        textCodec().encode(value); // throws with the codec's own words
}

void checkWritable(const PackProperties &pack, const ProjectModel &project, Collector &collect)
{
    const FindingPlace packPlace = FindingPlace::pack();
    for (const QString *field : {&pack.PackName, &pack.PackVersion, &pack.PackAuthor, &pack.PackWebSite})
        collect.check(packPlace, [&] { checkEncodable(*field); });
    collect.check(packPlace, [&] { refuseDoubleQuote(QStringLiteral("The web site"), pack.PackWebSite); });
    for (int row = 0; row < project.headerCount(); ++row)
        collect.check(FindingPlace::headerRow(row), [&] { checkEncodable(project.headerRows()[row]); });
    for (int i = 0; i < project.mapCount(); ++i) {
        const QStringList &rows = project.map(i).Info.Properties;
        for (int row = 0; row < rows.size(); ++row)
            collect.check(FindingPlace::mapProperty(i, row), [&] { checkEncodable(rows[row]); });
    }
}

void checkNodes(const ProjectModel &project, Collector &collect, bool writerChecks)
{
    const auto &nodes = project.tree().nodes();
    ReadablePaths paths;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode *node = nodes[i];
        if (node->isRoot())
            continue;
        const FindingPlace place = FindingPlace::treeNode(node, int(i));
        collect.check(place, [&] {
            checkNode(project, node, paths);
            if (!writerChecks)
                return;
            checkEncodable(node->Text());
            if (node->Info().Kind == FileFoundKind) {
                checkEncodable(node->Info().Path);
                refuseDoubleQuote(QStringLiteral("The file"), node->Info().Path);
            } else if (node->isFile()) {
                refuseDoubleQuote(QStringLiteral("The file"), node->Text());
            }
        });
    }
}

// With `writerChecks`, also what the script and the map list writers would refuse later.
void collect(const PackProperties &pack, const ProjectModel &project, const TextRefusal &refused, bool writerChecks)
{
    Collector collect(refused);
    checkPackFields(pack, collect);
    checkRows(project, collect);
    checkNodes(project, collect, writerChecks);
    if (writerChecks)
        checkWritable(pack, project, collect);
}

} // namespace

void collectPackTextRefusals(const ProjectModel &project, const TextRefusal &refused)
{
    collect(project.packProperties(), project, refused, true);
}

void checkPackTexts(const ProjectModel &project)
{
    collect(
        project.packProperties(), project,
        [](const FindingPlace &, const QString &message) { throw UserError(message); }, false);
}

} // namespace tervelle
