#include "mappack/packcheck.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/textcodec.h"
#include "mappack/scriptescape.h"
#include "project/filenames.h"
#include "project/keyvalue.h"
#include "project/projectmodel.h"

#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>

namespace tervelle {

namespace {

using Fault = std::optional<QString>;

// The compiler trims directive values; a blank at either end would be lost without a word.
Fault outerBlanksFault(const QString &what, const QString &value)
{
    if (!value.startsWith(QLatin1Char(' ')) && !value.endsWith(QLatin1Char(' ')))
        return std::nullopt;
    return lang(LangKey::message_Rule_OuterBlanks, {{'s', what}, {'t', escapeControlCharacters(value)}});
}

// A row without "=" is no key and value to the launcher: a lone "{" or "}" would open or close
// a map in the middle of the list.
Fault keyValueRowFault(const QString &what, const QString &row)
{
    if (Fault fault = controlCharacterFault(what, row))
        return fault;
    if (row.contains(QLatin1Char('=')))
        return std::nullopt;
    return lang(LangKey::message_Rule_NoEquals, {{'s', what}, {'t', row}});
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

Fault compilerReadablePathFault(const QString &what, const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return lang(LangKey::message_Rule_NotAbsolute, {{'s', what}, {'t', escapeControlCharacters(path)}});
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (!isWindowsName(part)) {
            return lang(LangKey::message_Rule_WindowsPathPart,
                        {{'s', what}, {'t', escapeControlCharacters(path)}, {'g', escapeControlCharacters(part)}});
        }
    }
    return std::nullopt;
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
        if (const Fault fault = work())
            m_refused(place, *fault);
    }

private:
    const TextRefusal &m_refused;
};

Fault nodeFault(const ProjectModel &project, const TreeNode *node, ReadablePaths &paths)
{
    // Most nodes pass; their messages are made only for the one that fails.
    const bool found = node->Kind() == FileFoundKind;
    if (!hasControlCharacter(node->Text()) && isWindowsName(node->Text())
        && !(found && (hasControlCharacter(node->Info().Path) || !paths.readable(node->Info().Path))))
        return std::nullopt;
    const QString location = treeLocation(node);
    const LangKey kind = node->isFolder() ? LangKey::message_FileKind_Folder
        : node == project.MapListNode()   ? LangKey::message_FileKind_MapList
                                          : LangKey::message_FileKind_File;
    const QString what = lang(LangKey::message_Subject_TreeNode, {{'f', location}, {'w', lang(kind)}});
    if (Fault fault = controlCharacterFault(what, node->Text()))
        return fault;
    if (Fault fault = windowsNameFault(what, node->Text()))
        return fault;
    // A file found on disk is packed from its path, which the script names.
    if (found) {
        const QString source = lang(LangKey::message_Subject_TreeSource, {{'f', location}, {'g', node->Text()}});
        if (Fault fault = controlCharacterFault(source, node->Info().Path))
            return fault;
#ifndef Q_OS_WIN
        if (Fault fault = compilerReadablePathFault(source, node->Info().Path))
            return fault;
#endif
    }
    return std::nullopt;
}

void checkPackFields(const PackProperties &pack, Collector &collect)
{
    const FindingPlace place = FindingPlace::pack();
    collect.check(place, [&]() -> Fault {
        const QString name = lang(LangKey::message_Subject_PackName);
        if (Fault fault = controlCharacterFault(name, pack.PackName))
            return fault;
        if (Fault fault = windowsNameFault(name, pack.PackName))
            return fault;
        return outerBlanksFault(name, pack.PackName);
    });
    // Version and author are plain one-line texts.
    const std::pair<LangKey, const QString *> plainFields[] = {
        {LangKey::message_Subject_PackVersion, &pack.PackVersion},
        {LangKey::message_Subject_PackAuthor, &pack.PackAuthor},
    };
    for (const auto &field : plainFields) {
        collect.check(place, [&]() -> Fault {
            const QString name = lang(field.first);
            if (Fault fault = controlCharacterFault(name, *field.second))
                return fault;
            return outerBlanksFault(name, *field.second);
        });
    }
    collect.check(place, [&]() -> Fault {
        const QString webSite = lang(LangKey::message_Subject_PackWebSite);
        if (Fault fault = controlCharacterFault(webSite, pack.PackWebSite))
            return fault;
        return webAddressFault(webSite, pack.PackWebSite);
    });
    // A language names its messages file in the compiler's languages folder.
    for (const QString &language : pack.PackLanguages) {
        collect.check(place, [&]() -> Fault {
            const QString what = lang(LangKey::message_Subject_InstallerLanguage);
            if (Fault fault = controlCharacterFault(what, language))
                return fault;
            return windowsNameFault(what, language);
        });
    }
}

void checkRows(const ProjectModel &project, Collector &collect)
{
    for (int row = 0; row < project.headerCount(); ++row) {
        collect.check(FindingPlace::headerRow(row), [&] {
            return keyValueRowFault(lang(LangKey::message_Subject_HeaderRow), project.headerRows()[row]);
        });
    }
    const int english = FindKey(project.headerRows(), QStringLiteral("[english]"));
    collect.check(FindingPlace::headerRow(std::max(english, 0)), [&] {
        return windowsNameFault(lang(LangKey::message_Subject_MapListName), mapListFileName(project.packTitle()));
    });
    for (int i = 0; i < project.mapCount(); ++i) {
        const MapEntry &map = project.map(i);
        const QString where = lang(LangKey::message_Subject_MapProperty,
                                   {{'c', QString::number(i + 1)}, {'t', escapeControlCharacters(map.displayName)}});
        for (int row = 0; row < map.Info.Properties.size(); ++row) {
            collect.check(FindingPlace::mapProperty(i, row),
                          [&] { return keyValueRowFault(where, map.Info.Properties[row]); });
        }
    }
}

// What the script or the map list would fail to encode later on.
Fault encodableFault(const QString &value)
{
    // Plain ASCII, nearly every text, is what such a code page holds byte for byte.
    const TextCodec &codec = textCodec();
    if (codec.isAsciiCompatible()
        && std::all_of(value.begin(), value.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return std::nullopt;
    if (codec.canEncode(value))
        return std::nullopt;
    // In the words the codec uses when it refuses to encode.
    return lang(LangKey::message_CodePage_CannotWrite, {{'t', value}, {'o', codec.name()}});
}

void checkWritable(const PackProperties &pack, const ProjectModel &project, Collector &collect)
{
    const FindingPlace packPlace = FindingPlace::pack();
    for (const QString *field : {&pack.PackName, &pack.PackVersion, &pack.PackAuthor, &pack.PackWebSite})
        collect.check(packPlace, [&] { return encodableFault(*field); });
    collect.check(packPlace,
                  [&] { return doubleQuoteFault(lang(LangKey::message_Subject_WebSite), pack.PackWebSite); });
    for (int row = 0; row < project.headerCount(); ++row)
        collect.check(FindingPlace::headerRow(row), [&] { return encodableFault(project.headerRows()[row]); });
    for (int i = 0; i < project.mapCount(); ++i) {
        const QStringList &rows = project.map(i).Info.Properties;
        for (int row = 0; row < rows.size(); ++row)
            collect.check(FindingPlace::mapProperty(i, row), [&] { return encodableFault(rows[row]); });
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
        collect.check(place, [&]() -> Fault {
            if (Fault fault = nodeFault(project, node, paths))
                return fault;
            if (!writerChecks)
                return std::nullopt;
            if (Fault fault = encodableFault(node->Text()))
                return fault;
            if (node->Kind() == FileFoundKind) {
                if (Fault fault = encodableFault(node->Info().Path))
                    return fault;
                return doubleQuoteFault(lang(LangKey::message_Subject_File), node->Info().Path);
            }
            if (node->isFile())
                return doubleQuoteFault(lang(LangKey::message_Subject_File), node->Text());
            return std::nullopt;
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
