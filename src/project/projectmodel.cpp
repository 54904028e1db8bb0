#include "project/projectmodel.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "project/filenames.h"
#include "project/keyrules.h"
#include "project/keyvalue.h"

#include <QFile>
#include <QFileInfo>

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

ProjectModel::ProjectModel(QObject *parent) : QObject(parent)
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

TreeNode *ProjectModel::insertNode(TreeNode *parent, NodeData data)
{
    if (!quiet())
        emit nodeAboutToBeInserted(parent, parent ? parent->childCount() : m_tree.topLevelCount());
    TreeNode *inserted = m_tree.append(parent, std::move(data));
    if (recording())
        record(ProjectEdit{ProjectEdit::Kind::NodeRemove, -1, pathOf(inserted)});
    if (!quiet())
        emit nodeInserted(inserted);
    return inserted;
}

TreeNode *ProjectModel::AddRootElement(const QString &caption, const QString &tag)
{
    return insertNode(nullptr,
                      NodeData{caption, RootImage, RootImage + 1, TTreeNodeInfo{tag + QLatin1Char('\\'), RootKind}});
}

TreeNode *ProjectModel::AddDirElement(TreeNode *parent, const QString &name)
{
    return insertNode(parent,
                      NodeData{name, FolderImage, FolderImage + 1,
                               TTreeNodeInfo{parent->Info().Path + name + QLatin1Char('\\'), FolderKind}});
}

TreeNode *ProjectModel::AddFileElement(TreeNode *parent, const QString &name, int type, const QString &path)
{
    // Fixed now and never refreshed: the build takes missing sources from its staging folder.
    // The map list is always staged by the build, whatever happens to lie at its placeholder path.
    const NodeKind kind = type == MapListFile ? FileMissingKind : sourceKind(path);
    const int image = imageOfFileType(type);
    return insertNode(parent, NodeData{name, image, image, TTreeNodeInfo{path, kind}});
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
        ProjectEdit edit{ProjectEdit::Kind::NodeInsert, -1, pathOf(node)};
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
        record(ProjectEdit{ProjectEdit::Kind::NodeRename, -1, pathOf(node), node->Text()});
    m_tree.rename(node, text);
    refreshFolderPaths(node);
    if (!quiet())
        emit nodeChanged(node);
}

void ProjectModel::refreshFolderPaths(TreeNode *folder)
{
    if (!folder->isFolder() || !folder->parent())
        return;
    m_tree.setInfo(folder,
                   TTreeNodeInfo{folder->parent()->Info().Path + folder->Text() + QLatin1Char('\\'), FolderKind});
    for (int i = 0; i < folder->childCount(); ++i)
        refreshFolderPaths(folder->child(i));
}

void ProjectModel::RelinkNode(TreeNode *node, const QString &path)
{
    if (recording())
        record(ProjectEdit{ProjectEdit::Kind::NodeRelink, -1, pathOf(node), node->Info().Path});
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

} // namespace tervelle
