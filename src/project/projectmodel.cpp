#include "project/projectmodel.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "project/filenames.h"
#include "project/keyrules.h"
#include "project/keyvalue.h"
#include "project/treeoperations.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <thread>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace tervelle {

namespace {

// Whether path names something other than a folder, following links, as QFileInfo's exists()
// and isDir() together say it. Opening a project asks this of every file node, so on POSIX it
// is one stat() of the encoded name rather than a QFileInfo and its two look-ups.
bool isExistingNonFolder(const QString &path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
#else
    // A NUL would cut the encoded name short and ask about another file.
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    struct stat status;
    // File names are UTF-8 here; an ASCII one needs no conversion and no allocation.
    char ascii[512];
    if (path.size() < qsizetype(sizeof ascii)) {
        char16_t any = 0;
        const QChar *units = path.constData();
        for (qsizetype i = 0; i < path.size(); ++i) {
            any |= units[i].unicode();
            ascii[i] = char(units[i].unicode());
        }
        if (any < 0x80) {
            ascii[path.size()] = '\0';
            return ::stat(ascii, &status) == 0 && !S_ISDIR(status.st_mode);
        }
    }
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISDIR(status.st_mode);
#endif
}

} // namespace

const std::array<const char *, RootCount> RootTags = {
    "{files}", "{maps}", "{hmaps}", "{icons}", "{textures}", "{scripts}",
};

const std::array<LangKey, RootCount> RootCaptionKeys = {
    LangKey::lstFiles_RootNames_Files,        LangKey::lstFiles_RootNames_Maps,
    LangKey::lstFiles_RootNames_HeightMaps,   LangKey::lstFiles_RootNames_LevelIcons,
    LangKey::lstFiles_RootNames_TextureFiles, LangKey::lstFiles_RootNames_Scripts,
};

ProjectModel::ProjectModel(QObject *parent, SourceProbe sourceExists) : QObject(parent), m_sourceProbe(sourceExists)
{}

ProjectModel::~ProjectModel() = default;

ProjectModel::ResetScope::ResetScope(ProjectModel &model, ResetKind kind) : m_model(model)
{
    if (m_model.m_resetDepth++ == 0)
        m_model.m_resetKind = kind;
}

ProjectModel::ResetScope::~ResetScope()
{
    if (--m_model.m_resetDepth == 0)
        emit m_model.projectReset(m_model.m_resetKind);
}

void ProjectModel::NewFile()
{
    ResetScope reset(*this, ResetKind::New);
    m_maps.clear();

    m_pack.PackName = QStringLiteral("New map pack");
    m_pack.PackAuthor.clear();
    m_pack.PackWebSite = QString::fromLatin1(MakerWebSite);
    m_pack.PackVersion = QStringLiteral("1.0");
    m_pack.PackPropertiesSet = false;
    m_pack.PackLanguages = QStringList();

    resetTree();
    SetHeader({QStringLiteral("[english]=New map pack"), QStringLiteral("[htmlenglish]=")},
              {THeaderKeyInfo{TextKey}, THeaderKeyInfo{LinkKey}});
    m_mapListNode = AddFileElement(m_roots[FilesRoot], mapListFileName(QStringLiteral("New map pack")), MapListFile,
                                   QStringLiteral("(mappack)"));
}

// ---- Pack header -------------------------------------------------------------------------

QString ProjectModel::packTitle() const
{
    const int row = FindKey(m_headerRows, QStringLiteral("[english]"));
    return row < 0 ? QString() : ValueOf(m_headerRows[row]);
}

void ProjectModel::headerRowsChanged(QObject *origin)
{
    const int row = FindKey(m_headerRows, QStringLiteral("[english]"));
    if (row >= 0 && m_mapListNode)
        RenameNode(m_mapListNode, mapListFileName(ValueOf(m_headerRows[row])));
    if (!quiet())
        emit headerChanged(origin);
}

int ProjectModel::AddHeaderKey(const QString &key, HeaderKeyKind kind)
{
    requireNewKey(m_headerRows, key,
                  kind == LinkKey ? LangKey::message_NewHeaderLinkKey_Exist : LangKey::message_NewHeaderKey_Exist);
    recordHeader();
    m_headerRows.append(key + QLatin1Char('='));
    m_headerInfo.append(THeaderKeyInfo{kind});
    headerRowsChanged();
    return int(m_headerRows.size()) - 1;
}

void ProjectModel::DeleteHeaderKey(int row)
{
    if (row < FixedHeaderRows || row >= headerCount())
        return;
    recordHeader();
    m_headerRows.removeAt(row);
    m_headerInfo.removeAt(row);
    headerRowsChanged();
}

void ProjectModel::SetHeaderKey(int row, const QString &key, QObject *origin)
{
    if (!requireKeyEdit(m_headerRows, row, key, FixedHeaderRows, LangKey::message_NewHeaderKey_Exist))
        return;
    const QString line = key + QLatin1Char('=') + ValueOf(m_headerRows[row]);
    if (line == m_headerRows[row])
        return;
    recordHeader();
    m_headerRows[row] = line;
    headerRowsChanged(origin);
}

void ProjectModel::SetHeaderValue(int row, const QString &value, QObject *origin)
{
    if (row < 0 || row >= headerCount())
        return;
    // A pasted line break would split the row in the project file and the map list; a character
    // the code page lacks would stop the project from being saved.
    requireStorableText(lang(LangKey::message_Subject_Value), value);
    const QString line = WithValue(m_headerRows[row], value);
    if (line == m_headerRows[row])
        return;
    recordHeader();
    m_headerRows[row] = line;
    headerRowsChanged(origin);
}

void ProjectModel::SetHeader(const QStringList &rows, const QVector<THeaderKeyInfo> &info)
{
    Q_ASSERT(rows.size() == info.size());
    const int duplicate = FindDuplicateKey(rows);
    if (duplicate >= 0)
        throw UserError(lang(LangKey::message_Header_DuplicateKey, {{'k', KeyOf(rows[duplicate])}}));
    recordHeader();
    m_headerRows = rows;
    m_headerInfo = info;
    headerRowsChanged();
}

// ---- Maps --------------------------------------------------------------------------------

TMapInfo ProjectModel::defaultMapInfo()
{
    TMapInfo info;
    info.Properties = {
        QStringLiteral("[text]=New map"),
        QStringLiteral("[image]=nolevel.tga"),
        QStringLiteral("[scripts]=stdvs,wormpot"),
        QStringLiteral("[map]="),
        QStringLiteral("[textures]=ThemeBuilding\\ThemeBuilding.txt"),
        QStringLiteral("[texture1]=C01"),
        QStringLiteral("[texture2]=C03"),
    };
    info.ValueKinds = {TextValue,        LevelIconValue,   ScriptsValue,    MapFileValue,
                       TextureListValue, TextureTileValue, TextureTileValue};
    return info;
}

int ProjectModel::AddMap()
{
    return appendMap(QStringLiteral("New map"), defaultMapInfo());
}

int ProjectModel::appendMap(const QString &displayName, const TMapInfo &info)
{
    m_maps.append(MapEntry{displayName, info});
    const int index = int(m_maps.size()) - 1;
    if (recording())
        record(ProjectEdit{ProjectEdit::Kind::MapRemove, index});
    if (!quiet())
        emit mapInserted(index);
    return index;
}

void ProjectModel::DeleteMap(int index)
{
    if (!validMap(index))
        return;
    if (recording()) {
        ProjectEdit edit{ProjectEdit::Kind::MapInsert, index};
        edit.map = m_maps[index];
        record(std::move(edit));
    }
    m_maps.removeAt(index);
    if (!quiet())
        emit mapRemoved(index);
}

int ProjectModel::duplicateMap(int index)
{
    if (!validMap(index) || mapCount() >= MaxMaps)
        return -1;
    MapEntry copy = m_maps[index];
    copy.displayName += QStringLiteral(" copy");
    const int text = FindKey(copy.Info.Properties, QStringLiteral("[text]"));
    if (text >= 0)
        copy.Info.Properties[text] = KeyOf(copy.Info.Properties[text]) + QLatin1Char('=') + copy.displayName;
    m_maps.insert(index + 1, copy);
    if (recording())
        record(ProjectEdit{ProjectEdit::Kind::MapRemove, index + 1});
    if (!quiet())
        emit mapInserted(index + 1);
    return index + 1;
}

bool ProjectModel::moveMap(int from, int to)
{
    if (!validMap(from) || !validMap(to) || from == to)
        return false;
    // Kept as the map taken out and put in again, which undo and redo do the other way round.
    if (recording()) {
        ProjectEdit back{ProjectEdit::Kind::MapInsert, from};
        back.map = m_maps[from];
        record(std::move(back));
        record(ProjectEdit{ProjectEdit::Kind::MapRemove, to});
    }
    m_maps.move(from, to);
    if (!quiet()) {
        emit mapRemoved(from);
        emit mapInserted(to);
    }
    return true;
}

void ProjectModel::mapPropertiesChanged(int index, QObject *origin)
{
    const QStringList &rows = m_maps[index].Info.Properties;
    const int row = FindKey(rows, QStringLiteral("[text]"));
    if (row >= 0)
        m_maps[index].displayName = ValueOf(rows[row]);
    if (!quiet())
        emit mapChanged(index, origin);
}

void ProjectModel::CommitMapProperties(int index, const QStringList &rows, QObject *origin)
{
    if (!validMap(index) || m_maps[index].Info.Properties == rows)
        return;
    recordMap(index);
    m_maps[index].Info.Properties = rows;
    mapPropertiesChanged(index, origin);
}

int ProjectModel::AddMapProperty(int index, const QString &key)
{
    if (!validMap(index))
        return -1;
    TMapInfo &info = m_maps[index].Info;
    requireNewKey(info.Properties, key, LangKey::message_NewKey_Exist);
    recordMap(index);
    info.Properties.append(key + QLatin1Char('='));
    info.ValueKinds.append(TextValue);
    mapPropertiesChanged(index, nullptr);
    return int(info.Properties.size()) - 1;
}

void ProjectModel::DeleteMapProperty(int index, int row)
{
    if (!validMap(index))
        return;
    TMapInfo &info = m_maps[index].Info;
    if (row < FixedMapProperties || row >= info.Properties.size())
        return;
    recordMap(index);
    info.Properties.removeAt(row);
    if (row < info.ValueKinds.size())
        info.ValueKinds.removeAt(row);
    mapPropertiesChanged(index, nullptr);
}

void ProjectModel::SetMapPropertyKey(int index, int row, const QString &key, QObject *origin)
{
    if (!validMap(index))
        return;
    QStringList &rows = m_maps[index].Info.Properties;
    if (!requireKeyEdit(rows, row, key, FixedMapProperties, LangKey::message_NewKey_Exist))
        return;
    const QString line = key + QLatin1Char('=') + ValueOf(rows[row]);
    if (line == rows[row])
        return;
    recordMap(index);
    rows[row] = line;
    mapPropertiesChanged(index, origin);
}

void ProjectModel::SetMapPropertyValue(int index, int row, const QString &value, QObject *origin)
{
    if (!validMap(index) || row < 0 || row >= m_maps[index].Info.Properties.size())
        return;
    requireStorableText(lang(LangKey::message_Subject_Value), value);
    const QString line = WithValue(m_maps[index].Info.Properties[row], value);
    if (line == m_maps[index].Info.Properties[row])
        return;
    recordMap(index);
    m_maps[index].Info.Properties[row] = line;
    mapPropertiesChanged(index, origin);
}

// ---- Files tree --------------------------------------------------------------------------

TreeNode *ProjectModel::insertNode(TreeNode *parent, const NodeData &data)
{
    if (!quiet())
        emit nodeAboutToBeInserted(parent, parent ? parent->childCount() : m_tree.topLevelCount());
    TreeNode *inserted = m_tree.append(parent, data);
    if (recording())
        record(ProjectEdit{ProjectEdit::Kind::NodeRemove, -1, nodeRows(inserted)});
    if (!quiet())
        emit nodeInserted(inserted);
    return inserted;
}

TreeNode *ProjectModel::AddRootElement(const QString &caption, const QString &tag)
{
    return insertNode(nullptr, NodeData{caption, RootImage, TTreeNodeInfo{tag + QLatin1Char('\\'), RootKind}});
}

TreeNode *ProjectModel::AddDirElement(TreeNode *parent, const QString &name)
{
    // Its path is worked out from its parent's when asked for.
    return insertNode(parent, NodeData{name, FolderImage, TTreeNodeInfo{QString(), FolderKind}});
}

TreeNode *ProjectModel::AddFileElement(TreeNode *parent, const QString &name, int type, const QString &path)
{
    // Fixed now and never refreshed: the build takes missing sources from its staging folder.
    // The map list is always staged by the build, whatever happens to lie at its placeholder path.
    const NodeKind kind = type == MapListFile ? FileMissingKind : sourceKind(path);
    const int image = imageOfFileType(type);
    return insertNode(parent, NodeData{name, image, TTreeNodeInfo{path, kind}});
}

NodeKind ProjectModel::sourceKind(const QString &path) const
{
    const bool found = m_sourceProbe ? m_sourceProbe(path) : isExistingNonFolder(path);
    return found ? FileFoundKind : FileMissingKind;
}

TreeNode *ProjectModel::findFileNode(const TreeNode *parent, const QString &name) const
{
    return m_tree.fileChildNamed(parent, name);
}

TreeNode *ProjectModel::findFolderNode(const TreeNode *parent, const QString &name) const
{
    return m_tree.folderChildNamed(parent, name);
}

TreeNode *ProjectModel::findAnyNode(const TreeNode *parent, const QString &name) const
{
    return m_tree.childNamed(parent, name);
}

int ProjectModel::groupOf(const TreeNode *node) const
{
    const TreeNode *top = node;
    while (top && top->parent())
        top = top->parent();
    for (int group = 0; group < RootCount; ++group) {
        if (top && m_roots[group] == top)
            return group;
    }
    return -1;
}

bool ProjectModel::canDelete(const TreeNode *node) const
{
    if (!node || node->isRoot())
        return false;
    for (const TreeNode *n = m_mapListNode; n; n = n->parent()) {
        if (n == node)
            return false;
    }
    return true;
}

bool ProjectModel::DeleteNode(TreeNode *node)
{
    if (!canDelete(node))
        return false;
    if (recording()) {
        ProjectEdit edit{ProjectEdit::Kind::NodeInsert, -1, nodeRows(node)};
        edit.nodes = saveSubtree(node);
        record(std::move(edit));
    }
    removeSubtree(node);
    return true;
}

void ProjectModel::RenameNode(TreeNode *node, const QString &text)
{
    if (node->Text() == text)
        return;
    if (recording())
        record(ProjectEdit{ProjectEdit::Kind::NodeRename, -1, nodeRows(node), node->Text()});
    m_tree.rename(node, text);
    if (!quiet())
        emit nodeChanged(node);
}

void ProjectModel::RelinkNode(TreeNode *node, const QString &path)
{
    if (recording())
        record(ProjectEdit{ProjectEdit::Kind::NodeRelink, -1, nodeRows(node), node->Info().Path});
    setNodeSource(node, path);
}

void ProjectModel::setNodeSource(TreeNode *node, const QString &path)
{
    m_tree.setInfo(node, TTreeNodeInfo{path, sourceKind(path)});
    if (!quiet())
        emit nodeChanged(node);
}

void ProjectModel::setMapListNode(TreeNode *node)
{
    m_mapListNode = node;
}

void ProjectModel::resetTree()
{
    ResetScope reset(*this, ResetKind::New);
    m_tree.clear();
    m_mapListNode = nullptr;
    for (int group = 0; group < RootCount; ++group) {
        m_roots[group] = AddRootElement(lang(RootCaptionKeys[group]), QString::fromLatin1(RootTags[group]));
    }
}

void ProjectModel::adoptTree(FileTree &tree, TreeNode *mapListNode)
{
    Q_ASSERT(quiet());
    m_tree.swap(tree);
    tree.clear();
    for (int group = 0; group < RootCount; ++group)
        m_roots[group] = m_tree.topLevel(group);
    m_mapListNode = mapListNode;

    // A stat waits on the disk or the kernel far more than on us: the sources are looked at in
    // one run of nodes per core. A probe that stands in for the file system runs here alone.
    const std::vector<TreeNode *> &nodes = m_tree.nodes();
    const std::size_t threads =
        m_sourceProbe ? 1 : std::min<std::size_t>(std::max(1, QThread::idealThreadCount()), 1 + nodes.size() / 4096);
    const auto look = [this, &nodes, mapListNode, threads](std::size_t part) {
        QString path; // one buffer for every path of the run
        const std::size_t end = nodes.size() * (part + 1) / threads;
        for (std::size_t i = nodes.size() * part / threads; i < end; ++i) {
            if (!nodes[i]->isFile() || nodes[i] == mapListNode)
                continue;
            path.resize(0);
            nodes[i]->appendSourcePath(path);
            m_tree.setKind(nodes[i], sourceKind(path));
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t part = 1; part < threads; ++part)
        helpers.emplace_back(look, part);
    look(0);
    for (std::thread &helper : helpers)
        helper.join();
}

// ---- History -----------------------------------------------------------------------------

void ProjectModel::setPackProperties(const PackProperties &pack)
{
    if (pack == packProperties())
        return;
    if (recording()) {
        ProjectEdit edit{ProjectEdit::Kind::Pack};
        edit.pack = packProperties();
        record(std::move(edit));
    }
    m_pack = pack;
    if (!quiet())
        emit packChanged();
}

void ProjectModel::recordHeader()
{
    if (!recording())
        return;
    ProjectEdit edit{ProjectEdit::Kind::Header};
    edit.rows = m_headerRows;
    edit.headerInfo = m_headerInfo;
    record(std::move(edit));
}

void ProjectModel::recordMap(int index)
{
    if (!recording())
        return;
    ProjectEdit edit{ProjectEdit::Kind::MapSet, index};
    edit.map = m_maps[index];
    record(std::move(edit));
}

std::vector<SavedNode> ProjectModel::saveSubtree(const TreeNode *top) const
{
    // Without recursion: a chain of folders may be deep.
    std::vector<SavedNode> saved;
    std::vector<std::pair<const TreeNode *, int>> pending{{top, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        saved.push_back(SavedNode{depth, NodeData{node->Text(), node->ImageIndex(), node->Info()}});
        for (int row = node->childCount() - 1; row >= 0; --row)
            pending.emplace_back(node->child(row), depth + 1);
    }
    return saved;
}

void ProjectModel::putSubtree(const std::vector<int> &path, const std::vector<SavedNode> &nodes)
{
    TreeNode *parent = nodeAtRows(m_tree, std::vector<int>(path.begin(), path.end() - 1));
    // The chain of the last node put at each depth: a node's parent is the one a level up.
    std::vector<TreeNode *> chain;
    for (const SavedNode &saved : nodes) {
        TreeNode *node = nullptr;
        if (saved.depth == 0) {
            // A row past the end appends.
            if (!quiet())
                emit nodeAboutToBeInserted(
                    parent, std::min(path.back(), parent ? parent->childCount() : m_tree.topLevelCount()));
            node = m_tree.insert(parent, path.back(), saved.data);
        } else {
            chain.resize(std::size_t(saved.depth));
            if (!quiet())
                emit nodeAboutToBeInserted(chain.back(), chain.back()->childCount());
            node = m_tree.append(chain.back(), saved.data);
        }
        chain.push_back(node);
        if (!quiet())
            emit nodeInserted(node);
    }
}

void ProjectModel::removeSubtree(TreeNode *node)
{
    TreeNode *parent = node->parent();
    const int row = node->row();
    if (!quiet())
        emit nodeAboutToBeRemoved(node);
    m_tree.remove(node);
    if (!quiet())
        emit nodeRemoved(parent, row);
}

namespace {

[[noreturn]] void historyMismatch(const char *what)
{
    throw std::logic_error(std::string("The history names ") + what + " the project does not have.");
}

// Whether saved nodes form one subtree: a top node first, and each later one at most a level
// below the one before it.
bool isSubtree(const std::vector<SavedNode> &nodes)
{
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const int depth = nodes[i].depth;
        if (i == 0 ? depth != 0 : depth < 1 || depth > nodes[i - 1].depth + 1)
            return false;
    }
    return !nodes.empty();
}

} // namespace

void ProjectModel::applyEdit(const ProjectEdit &edit)
{
    // Everything is checked before anything changes, and the inverse is recorded before the
    // signals go out: what a view changes on hearing them is recorded after it, so undoing
    // the step undoes that first.
    ProjectEdit inverse{edit.kind, edit.index, edit.path};
    TreeNode *node = nullptr;
    switch (edit.kind) {
    case ProjectEdit::Kind::Header:
        inverse.rows = m_headerRows;
        inverse.headerInfo = m_headerInfo;
        break;
    case ProjectEdit::Kind::MapInsert:
        if (edit.index < 0 || edit.index > mapCount())
            historyMismatch("a map");
        inverse.kind = ProjectEdit::Kind::MapRemove;
        break;
    case ProjectEdit::Kind::MapRemove:
        if (!validMap(edit.index))
            historyMismatch("a map");
        inverse.kind = ProjectEdit::Kind::MapInsert;
        inverse.map = m_maps[edit.index];
        break;
    case ProjectEdit::Kind::MapSet:
        if (!validMap(edit.index))
            historyMismatch("a map");
        inverse.map = m_maps[edit.index];
        break;
    case ProjectEdit::Kind::NodeInsert: {
        const std::vector<int> parentPath(edit.path.begin(), edit.path.end() - (edit.path.empty() ? 0 : 1));
        if (edit.path.empty() || edit.path.back() < 0 || !isSubtree(edit.nodes)
            || (!parentPath.empty() && !nodeAtRows(m_tree, parentPath)))
            historyMismatch("a place in the files tree");
        inverse.kind = ProjectEdit::Kind::NodeRemove;
        break;
    }
    case ProjectEdit::Kind::NodeRemove:
    case ProjectEdit::Kind::NodeRename:
    case ProjectEdit::Kind::NodeRelink:
        node = nodeAtRows(m_tree, edit.path);
        if (!node)
            historyMismatch("a node");
        if (edit.kind == ProjectEdit::Kind::NodeRemove) {
            inverse.kind = ProjectEdit::Kind::NodeInsert;
            inverse.nodes = saveSubtree(node);
        } else {
            inverse.text = edit.kind == ProjectEdit::Kind::NodeRename ? node->Text() : node->Info().Path;
        }
        break;
    case ProjectEdit::Kind::Pack: inverse.pack = m_pack; break;
    }
    if (recording())
        record(std::move(inverse));

    switch (edit.kind) {
    case ProjectEdit::Kind::Header:
        // The map list node's name was recorded on its own, so it is not derived again here.
        m_headerRows = edit.rows;
        m_headerInfo = edit.headerInfo;
        if (!quiet())
            emit headerChanged(nullptr);
        break;
    case ProjectEdit::Kind::MapInsert:
        m_maps.insert(edit.index, edit.map);
        if (!quiet())
            emit mapInserted(edit.index);
        break;
    case ProjectEdit::Kind::MapRemove:
        m_maps.removeAt(edit.index);
        if (!quiet())
            emit mapRemoved(edit.index);
        break;
    case ProjectEdit::Kind::MapSet:
        m_maps[edit.index] = edit.map;
        if (!quiet())
            emit mapChanged(edit.index, nullptr);
        break;
    case ProjectEdit::Kind::NodeInsert: putSubtree(edit.path, edit.nodes); break;
    case ProjectEdit::Kind::NodeRemove: removeSubtree(node); break;
    case ProjectEdit::Kind::NodeRename:
        m_tree.rename(node, edit.text);
        if (!quiet())
            emit nodeChanged(node);
        break;
    case ProjectEdit::Kind::NodeRelink: setNodeSource(node, edit.text); break;
    case ProjectEdit::Kind::Pack:
        if (edit.pack == m_pack)
            break;
        m_pack = edit.pack;
        if (!quiet())
            emit packChanged();
        break;
    }
}

} // namespace tervelle
