#include "project/treeoperations.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "core/pathparts.h"
#include "project/filenames.h"
#include "project/keyvalue.h"
#include "project/projectmodel.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tervelle {

namespace {

// The one extension each game group takes, by kind 1 to 5.
const std::array<const char *, RootCount> GroupExtensions = {"", ".xan", ".hmp", ".tga", ".txt", ".lua"};

// The game brings these scripts itself; a pack copy would replace the game's own.
const std::array<const char *, 3> StandardScripts = {"stdvs.lua", "stdlib.lua", "wormpot.lua"};

bool isMapListName(const QString &name)
{
    return sameFileName(extensionOf(name), QStringLiteral(".mpl"));
}

// The FileType a resource gets under a node of kind `kind`, or none when that node does not
// take it. `fullPath` gives the extension; `displayName` is the name it would have in the tree.
std::optional<int> acceptedFileType(int kind, const QString &displayName, const QString &fullPath)
{
    const QString ext = extensionOf(fullPath);
    if (kind == FilesRoot) {
        // The pack writes its own map list; another one would clash with it in the launcher's folder.
        if (isMapListName(fullPath) || isMapListName(displayName))
            return std::nullopt;
        if (ext == QLatin1String(".htm") || ext == QLatin1String(".html"))
            return InfoPageFile;
        return PlainFile;
    }
    if (kind < MapsRoot || kind >= RootCount || ext != QLatin1String(GroupExtensions[std::size_t(kind)]))
        return std::nullopt;
    if (kind == ScriptsRoot) {
        for (const char *script : StandardScripts) {
            if (sameFileName(displayName, QLatin1String(script)))
                return std::nullopt;
        }
    }
    return kind;
}

} // namespace

std::vector<int> nodeRows(const TreeNode *node)
{
    std::vector<int> rows;
    for (; node; node = node->parent())
        rows.push_back(node->row());
    return {rows.rbegin(), rows.rend()};
}

TreeNode *nodeAtRows(const FileTree &tree, const std::vector<int> &rows)
{
    TreeNode *node = nullptr;
    for (const int row : rows) {
        const int count = node ? node->childCount() : tree.topLevelCount();
        if (row < 0 || row >= count)
            return nullptr;
        node = node ? node->child(row) : tree.topLevel(row);
    }
    return node;
}

int nodeKindOf(const ProjectModel &project, const TreeNode *node)
{
    if (!node)
        return NoNodeKind;
    if (node->isRoot()) {
        for (int group = 0; group < RootCount; ++group) {
            if (project.root(RootGroup(group)) == node)
                return group;
        }
        return NoNodeKind;
    }
    if (node->isFolder())
        return 0;
    if (node->isFile())
        return RootCount + fileTypeOfImage(node->ImageIndex());
    return NoNodeKind;
}

bool canCreateFolderKind(int kind)
{
    return kind == FilesRoot || kind == TexturesRoot;
}

AddResourcesOperation::AddResourcesOperation(const ProjectModel &project, AskReplace askReplace)
    : m_project(project), m_askReplace(std::move(askReplace))
{}

bool AddResourcesOperation::replaceWanted(const QString &name)
{
    // Asked first: the answers are taken in the order the run meets the names. One more than
    // were asked would be a run other than the one asked about, and replaces nothing.
    if (m_answers) {
        if (m_answers->empty())
            return false;
        const bool replace = m_answers->front();
        m_answers->pop_front();
        return replace;
    }
    if (m_standing != Standing::Ask)
        return m_standing == Standing::YesToAll;
    // Closing the question counts as No.
    switch (m_askReplace ? m_askReplace(name) : ReplaceAnswer::No) {
    case ReplaceAnswer::Yes: return true;
    case ReplaceAnswer::YesToAll: m_standing = Standing::YesToAll; return true;
    case ReplaceAnswer::NoToAll: m_standing = Standing::NoToAll; return false;
    case ReplaceAnswer::No: return false;
    }
    return false;
}

std::optional<QString> AddResourcesOperation::refusal(const TreeNode *node, const QString &name,
                                                      const QString &fullPath, int fileType) const
{
    if (node->isFile())
        return lang(LangKey::message_Add_UnderFile, {{'f', name}});
    const QString fileName = lang(LangKey::message_Subject_FileName);
    if (auto fault = windowsNameFault(fileName, name))
        return fault;
    if (auto fault = storableTextFault(fileName, name))
        return fault;
    if (auto fault = storableTextFault(lang(LangKey::message_Subject_SourcePath), fullPath))
        return fault;
    if (fileType == MapListFile || (m_project.groupOf(node) == FilesRoot && isMapListName(name)))
        return lang(LangKey::message_Add_MapList, {{'f', name}});
    return std::nullopt;
}

TreeNode *AddResourcesOperation::AddResourceToNode(ProjectModel &project, TreeNode *node, const QString &name,
                                                   const QString &fullPath, int fileType)
{
    Q_ASSERT(&project == &m_project);
    if (!node)
        return nullptr;
    if (const std::optional<QString> reason = refusal(node, name, fullPath, fileType)) {
        m_skipped.append(SkippedResource{name, *reason});
        return nullptr;
    }
    TreeNode *existing = m_project.findFileNode(node, name);
    if (existing && existing == m_project.MapListNode()) {
        m_skipped.append(SkippedResource{name, lang(LangKey::message_Add_MapListName, {{'f', name}})});
        return nullptr;
    }
    if (existing) {
        if (!replaceWanted(name))
            return nullptr;
        project.DeleteNode(existing);
    }
    return project.AddFileElement(node, name, fileType, fullPath);
}

void AddResourcesOperation::askFirst(const TreeNode *node, const QVector<Resource> &resources)
{
    std::deque<bool> answers;
    if (!node || node->isFile()) {
        m_answers = answers;
        return;
    }
    // The file children as the run leaves them, in order, found as the tree finds them: the
    // first of a name; null stands for one the run adds.
    std::vector<std::pair<QString, const TreeNode *>> children;
    for (int row = 0; row < node->childCount(); ++row) {
        if (const TreeNode *child = node->child(row); child->isFile())
            children.emplace_back(child->Text(), child);
    }
    const int kind = nodeKindOf(m_project, node);
    for (const Resource &resource : resources) {
        const std::optional<int> type = acceptedFileType(kind, resource.name, resource.fullPath);
        if (!type || refusal(node, resource.name, resource.fullPath, *type))
            continue;
        const auto existing = std::find_if(children.begin(), children.end(),
                                           [&](const auto &child) { return sameFileName(child.first, resource.name); });
        if (existing != children.end()) {
            if (existing->second && existing->second == m_project.MapListNode())
                continue;
            const bool replace = replaceWanted(resource.name);
            answers.push_back(replace);
            if (!replace)
                continue;
            children.erase(existing);
        }
        children.emplace_back(resource.name, nullptr);
    }
    m_answers = std::move(answers);
}

void AddResourcesOperation::addSelected(ProjectModel &project, TreeNode *node, const QVector<Resource> &resources)
{
    const int kind = nodeKindOf(m_project, node);
    for (const Resource &resource : resources) {
        if (const std::optional<int> type = acceptedFileType(kind, resource.name, resource.fullPath))
            AddResourceToNode(project, node, resource.name, resource.fullPath, *type);
    }
}

bool AddResourcesOperation::takesAny(int kind, const QVector<Resource> &resources)
{
    return std::any_of(resources.begin(), resources.end(), [kind](const Resource &resource) {
        return acceptedFileType(kind, resource.name, resource.fullPath).has_value();
    });
}

QString nothingAddedReason(int kind)
{
    if (kind == FilesRoot)
        return lang(LangKey::message_NothingAddedMapList);
    if (kind < MapsRoot || kind >= RootCount)
        return QString();
    return lang(
        LangKey::message_NothingAdded,
        {{'k', lang(RootCaptionKeys[std::size_t(kind)])}, {'f', QLatin1String(GroupExtensions[std::size_t(kind)])}});
}

TreeNode *CreateFolder(ProjectModel &project, TreeNode *parent, const QString &name)
{
    if (!parent)
        return nullptr;
    if (!canCreateFolderKind(nodeKindOf(project, parent)))
        throw UserError(lang(LangKey::message_NewFolder_WrongPlace));
    // Any child counts, files too: the folder and the file would be one name on disk.
    if (project.findAnyNode(parent, name))
        throw UserError(lang(LangKey::message_NewFolder_Exist, {{'f', name}}));
    requireWindowsName(lang(LangKey::message_Subject_FolderName), name);
    requireStorableText(lang(LangKey::message_Subject_FolderName), name);
    if (parent->Info().Path.size() + name.size() + 1 > MaxFolderPath)
        throw UserError(
            lang(LangKey::message_NewFolder_PathTooLong, {{'f', name}, {'c', QString::number(MaxFolderPath)}}));
    return project.AddDirElement(parent, name);
}

bool canRenameNode(const ProjectModel &project, const TreeNode *node)
{
    return node && node->parent() && node != project.MapListNode() && (node->isFile() || node->isFolder());
}

void checkNodeRename(const ProjectModel &project, const TreeNode *node, const QString &name)
{
    if (!canRenameNode(project, node))
        return;
    const QString what =
        lang(node->isFolder() ? LangKey::message_Subject_FolderName : LangKey::message_Subject_FileName);
    // The same name in other letters is the node itself; another node of that name would be
    // one name on disk with it.
    if (const TreeNode *other = project.findAnyNode(node->parent(), name); other && other != node)
        throw UserError(lang(LangKey::message_Rename_Exist, {{'f', name}}));
    requireWindowsName(what, name);
    requireStorableText(what, name);
    if (node->isFolder() && node->parent()->Info().Path.size() + name.size() + 1 > MaxFolderPath)
        throw UserError(
            lang(LangKey::message_NewFolder_PathTooLong, {{'f', name}, {'c', QString::number(MaxFolderPath)}}));
}

std::vector<FollowingValue> valuesFollowingRename(const ProjectModel &project, const TreeNode *node,
                                                  const QString &name)
{
    std::vector<FollowingValue> values;
    if (!node || !node->isFile())
        return values;
    int kind = -1;
    QString from = node->Text();
    QString to = name;
    if (node->parent() == project.root(MapsRoot)) {
        kind = MapFileValue;
        from = withoutExtension(from);
        to = withoutExtension(to);
    } else if (node->parent() == project.root(IconsRoot)) {
        kind = LevelIconValue;
    }
    if (kind < 0 || from.compare(to, Qt::CaseInsensitive) == 0)
        return values;
    for (int m = 0; m < project.mapCount(); ++m) {
        const TMapInfo &info = project.map(m).Info;
        for (int row = 0; row < info.Properties.size() && row < info.ValueKinds.size(); ++row) {
            if (info.ValueKinds[row] == kind && ValueOf(info.Properties[row]).compare(from, Qt::CaseInsensitive) == 0)
                values.push_back({m, row, to});
        }
    }
    return values;
}

void RenameTreeNode(ProjectModel &project, TreeNode *node, const QString &name)
{
    checkNodeRename(project, node, name);
    if (canRenameNode(project, node))
        project.RenameNode(node, name);
}

} // namespace tervelle
