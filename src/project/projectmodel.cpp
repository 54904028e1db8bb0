#include "project/projectmodel.h"

#include "core/errors.h"
#include "core/langload.h"
#include "project/keyvalue.h"

#include <QFileInfo>

namespace tervelle {

const std::array<const char *, RootCount> RootTags = {
    "{files}", "{maps}", "{hmaps}", "{icons}", "{textures}", "{scripts}",
};

const std::array<const char *, RootCount> RootCaptionKeys = {
    "[lstFiles.RootNames.Files]",        "[lstFiles.RootNames.Maps]",
    "[lstFiles.RootNames.HeightMaps]",   "[lstFiles.RootNames.LevelIcons]",
    "[lstFiles.RootNames.TextureFiles]", "[lstFiles.RootNames.Scripts]",
};

ProjectModel::ProjectModel(SharedState &state, QObject *parent) : QObject(parent), m_state(state) {}

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

    m_state.PackName = QStringLiteral("New map pack");
    m_state.PackAuthor.clear();
    m_state.PackWebSite = QString::fromLatin1(MakerWebSite);
    m_state.PackVersion = QStringLiteral("1.0");
    m_state.PackPropertiesSet = false;
    m_state.PackLanguages = QStringList();

    resetTree();
    SetHeader({QStringLiteral("[english]=New map pack"), QStringLiteral("[htmlenglish]=")},
              {THeaderKeyInfo{TextKey}, THeaderKeyInfo{LinkKey}});
    m_mapListNode = AddFileElement(m_roots[FilesRoot], QStringLiteral("New map pack.mpl"), MapListFile,
                                   QStringLiteral("(mappack)"));
}

// ---- Pack header -------------------------------------------------------------------------

QString ProjectModel::packTitle() const
{
    const int row = FindKey(m_headerRows, QStringLiteral("[english]"));
    return row < 0 ? QString() : ValueOf(m_headerRows[row]);
}

void ProjectModel::headerRowsChanged()
{
    const int row = FindKey(m_headerRows, QStringLiteral("[english]"));
    if (row >= 0 && m_mapListNode)
        RenameNode(m_mapListNode, ValueOf(m_headerRows[row]) + QStringLiteral(".mpl"));
    if (!quiet())
        emit headerChanged();
}

int ProjectModel::AddHeaderKey(const QString &key, qint32 kind)
{
    m_headerRows.append(key + QLatin1Char('='));
    m_headerInfo.append(THeaderKeyInfo{kind});
    headerRowsChanged();
    return int(m_headerRows.size()) - 1;
}

void ProjectModel::DeleteHeaderKey(int row)
{
    if (row < FixedHeaderRows || row >= headerCount())
        return;
    m_headerRows.removeAt(row);
    m_headerInfo.removeAt(row);
    headerRowsChanged();
}

bool ProjectModel::SetHeaderKey(int row, const QString &key)
{
    const QString newKey = KeyOf(key);
    for (int i = 0; i < headerCount(); ++i) {
        if (i != row && SameKey(KeyOf(m_headerRows[i]), newKey))
            return false;
    }
    m_headerRows[row] = key + QLatin1Char('=') + ValueOf(m_headerRows[row]);
    headerRowsChanged();
    return true;
}

void ProjectModel::SetHeaderValue(int row, const QString &value)
{
    m_headerRows[row] = WithValue(m_headerRows[row], value);
    headerRowsChanged();
}

void ProjectModel::SetHeader(const QStringList &rows, const QVector<THeaderKeyInfo> &info)
{
    Q_ASSERT(rows.size() == info.size());
    const int duplicate = FindDuplicateKey(rows);
    if (duplicate >= 0)
        throw UserError(QStringLiteral("The pack header holds the key \"%1\" twice.").arg(KeyOf(rows[duplicate])));
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
    info.ValueKinds = {TextValue, LevelIconValue, ScriptsValue, MapFileValue,
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
    if (!quiet())
        emit mapInserted(index);
    return index;
}

void ProjectModel::DeleteMap(int index)
{
    if (index < 0 || index >= mapCount())
        return;
    m_maps.removeAt(index);
    if (!quiet())
        emit mapRemoved(index);
}

void ProjectModel::mapPropertiesChanged(int index)
{
    const QStringList &rows = m_maps[index].Info.Properties;
    const int row = FindKey(rows, QStringLiteral("[text]"));
    if (row >= 0)
        m_maps[index].DisplayName = ValueOf(rows[row]);
    if (!quiet())
        emit mapChanged(index);
}

void ProjectModel::CommitMapProperties(int index, const QStringList &rows)
{
    m_maps[index].Info.Properties = rows;
    mapPropertiesChanged(index);
}

int ProjectModel::AddMapProperty(int index, const QString &key)
{
    TMapInfo &info = m_maps[index].Info;
    info.Properties.append(key + QLatin1Char('='));
    info.ValueKinds.append(TextValue);
    mapPropertiesChanged(index);
    return int(info.Properties.size()) - 1;
}

void ProjectModel::DeleteMapProperty(int index, int row)
{
    TMapInfo &info = m_maps[index].Info;
    if (row < FixedMapProperties || row >= info.Properties.size())
        return;
    info.Properties.removeAt(row);
    if (row < info.ValueKinds.size())
        info.ValueKinds.removeAt(row);
    mapPropertiesChanged(index);
}

void ProjectModel::SetMapPropertyValue(int index, int row, const QString &value)
{
    QString &line = m_maps[index].Info.Properties[row];
    line = WithValue(line, value);
    mapPropertiesChanged(index);
}

void ProjectModel::SetMapDisplayName(int index, const QString &text)
{
    m_maps[index].DisplayName = text;
    if (!quiet())
        emit mapChanged(index);
}

// ---- Files tree --------------------------------------------------------------------------

TreeNode *ProjectModel::insertNode(TreeNode *parent, std::unique_ptr<TreeNode> node)
{
    TreeNode *inserted = m_tree.append(parent, std::move(node));
    if (!quiet())
        emit nodeInserted(inserted);
    return inserted;
}

TreeNode *ProjectModel::AddRootElement(const QString &caption, const QString &tag)
{
    auto node = std::make_unique<TreeNode>();
    node->Text = caption;
    node->ImageIndex = RootImage;
    node->SelectedIndex = RootImage + 1;
    node->Info = TTreeNodeInfo{tag + QLatin1Char('\\'), RootKind};
    return insertNode(nullptr, std::move(node));
}

TreeNode *ProjectModel::AddDirElement(TreeNode *parent, const QString &name)
{
    auto node = std::make_unique<TreeNode>();
    node->Text = name;
    node->ImageIndex = FolderImage;
    node->SelectedIndex = FolderImage + 1;
    node->Info = TTreeNodeInfo{parent->Info.Path + name + QLatin1Char('\\'), FolderKind};
    return insertNode(parent, std::move(node));
}

TreeNode *ProjectModel::AddFileElement(TreeNode *parent, const QString &name, int type, const QString &path)
{
    auto node = std::make_unique<TreeNode>();
    node->Text = name;
    node->ImageIndex = type + FirstFileImage;
    node->SelectedIndex = node->ImageIndex;
    // Fixed now and never refreshed: the build takes missing sources from its staging folder.
    // The map list is always staged by the build, whatever happens to lie at its placeholder path.
    const QFileInfo source(path);
    const bool found = type != MapListFile && source.exists() && !source.isDir();
    node->Info = TTreeNodeInfo{path, found ? FileFoundKind : FileMissingKind};
    return insertNode(parent, std::move(node));
}

namespace {

template <typename Accept>
TreeNode *childNamed(const TreeNode *parent, const QString &name, Accept accept)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        TreeNode *child = parent->child(i);
        if (accept(child) && SameNodeName(child->Text, name))
            return child;
    }
    return nullptr;
}

} // namespace

TreeNode *ProjectModel::NodeFileExists(const TreeNode *parent, const QString &name) const
{
    return childNamed(parent, name, [](const TreeNode *node) { return node->isFile(); });
}

TreeNode *ProjectModel::NodeDirExists(const TreeNode *parent, const QString &name) const
{
    return childNamed(parent, name, [](const TreeNode *node) { return node->isFolder(); });
}

void ProjectModel::DeleteNode(TreeNode *node)
{
    // Removing the map list node would leave a dangling reference behind.
    for (const TreeNode *n = m_mapListNode; n; n = n->parent()) {
        if (n == node) {
            m_mapListNode = nullptr;
            break;
        }
    }
    for (auto &root : m_roots) {
        if (root == node)
            root = nullptr;
    }
    TreeNode *parent = node->parent();
    const int row = node->row();
    if (!quiet())
        emit nodeAboutToBeRemoved(node);
    m_tree.remove(node);
    if (!quiet())
        emit nodeRemoved(parent, row);
}

void ProjectModel::RenameNode(TreeNode *node, const QString &text)
{
    if (node->Text == text)
        return;
    node->Text = text;
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
        m_roots[group] = AddRootElement(GetLangText(QString::fromLatin1(RootCaptionKeys[group])),
                                        QString::fromLatin1(RootTags[group]));
    }
}

} // namespace tervelle
