#include "project/projectfile.h"

#include "core/errors.h"
#include "core/inputfile.h"
#include "core/safesave.h"
#include "core/textcodec.h"
#include "project/filenames.h"
#include "project/keyvalue.h"
#include "project/projectmodel.h"
#include "project/textlines.h"
#include "project/treeindex.h"

#include <QFile>

#include <memory>
#include <optional>
#include <vector>

namespace tervelle {

namespace {

constexpr int MapListImage = imageOfFileType(MapListFile);

// ---- Writing -----------------------------------------------------------------------------

void writeList(LineWriter &out, const QStringList &items)
{
    out.number(qint32(items.size()) - 1);
    for (const QString &item : items)
        out.text(item);
}

// ---- Reading -----------------------------------------------------------------------------

// The TreeIndex with a shortcut for the files the editor writes: they list the tree in walk
// order, so every node lands at the end of the walk read so far, after which only empty group
// roots follow. While that holds the walk is a plain array; the first node that lands anywhere
// else hands over to the TreeIndex, rebuilt from the parents read until then.
class WalkIndex
{
public:
    WalkIndex() : m_walk{0}, m_path{0}, m_onPath(RootCount, false) { m_onPath[0] = true; }

    int nodeAt(qint64 index) const
    {
        if (m_index)
            return m_index->nodeAt(index);
        if (index < 0)
            return -1;
        if (index < qint64(m_walk.size()))
            return m_walk[std::size_t(index)];
        const qint64 root = m_lastRoot + 1 + (index - qint64(m_walk.size()));
        return root < RootCount ? int(root) : -1;
    }

    // As TreeIndex::appendChild; parentIndex must name a node.
    int appendChild(qint32 parentIndex)
    {
        m_parents.push_back(parentIndex);
        if (!m_index && !appendAtEnd(parentIndex)) {
            m_index = std::make_unique<TreeIndex>();
            for (const qint32 parent : m_parents)
                m_index->appendChild(parent);
            return m_index->count() - 1;
        }
        return m_index ? m_index->appendChild(parentIndex) : m_walk.back();
    }

private:
    bool appendAtEnd(qint64 parentIndex)
    {
        const int id = RootCount + int(m_parents.size()) - 1;
        if (parentIndex >= qint64(m_walk.size())) {
            // An empty root after the walk so far: it and the roots before it join the walk.
            const int root = nodeAt(parentIndex);
            for (const int on : m_path)
                m_onPath[std::size_t(on)] = false;
            m_path.clear();
            for (int r = m_lastRoot + 1; r <= root; ++r)
                m_walk.push_back(r);
            m_lastRoot = root;
            m_path.push_back(root);
            m_onPath[std::size_t(root)] = true;
        } else {
            // Lands at the end only below a node on the path to the last one.
            const int parent = m_walk[std::size_t(parentIndex)];
            if (!m_onPath[std::size_t(parent)])
                return false;
            while (m_path.back() != parent) {
                m_onPath[std::size_t(m_path.back())] = false;
                m_path.pop_back();
            }
        }
        m_walk.push_back(id);
        m_path.push_back(id);
        m_onPath.push_back(true);
        return true;
    }

    std::vector<int> m_walk; // ids in walk order, up to the last root with nodes below it
    int m_lastRoot = 0;
    std::vector<int> m_path;       // from that root to the last node of the walk
    std::vector<bool> m_onPath;    // by id
    std::vector<qint32> m_parents; // every parent index given, for the hand-over
    std::unique_ptr<TreeIndex> m_index;
};

struct NodeRecord
{
    QString Text;
    int Parent = 0; // id in the TreeIndex; the record itself is id RootCount + its position
    QString Path;
    int ImageIndex = 0;
};

// The whole file, read before anything of the open project is touched. The tree is built
// here as it is read, aside from the project's, and handed over whole.
struct ProjectContents
{
    QString PackName, PackAuthor, PackWebSite, PackVersion;
    bool PackPropertiesSet = false;
    QStringList PackLanguages;
    QStringList HeaderRows;
    QVector<THeaderKeyInfo> HeaderInfo;
    FileTree Tree;
    TreeNode *MapList = nullptr;
    QVector<MapEntry> Maps;
};

// Bounds far above any real pack. A line costs a byte or two in the file but a few dozen in
// memory once it is an item, so without them a crafted file of empty lines would take memory
// many times its size.
constexpr qint64 MaxInstallerLanguages = 1000;
constexpr qint64 MaxHeaderRows = 10000;
constexpr qint64 MaxTreeNodes = 1000000;
constexpr qint64 MaxMapsRead = 1000;
constexpr qint64 MaxPropertiesPerMap = 1000;

QStringList readList(LineReader &in, LangKey countWhat, LangKey itemWhat, qint64 limit)
{
    const qint64 count = in.count(countWhat, limit);
    QStringList items;
    for (qint64 i = 0; i < count; ++i)
        items.append(in.text(itemWhat));
    return items;
}

void readPackFields(LineReader &in, ProjectContents &file)
{
    file.PackName = in.text(LangKey::message_ProjectFile_Item_PackName);
    file.PackAuthor = in.text(LangKey::message_ProjectFile_Item_PackAuthor);
    file.PackWebSite = in.text(LangKey::message_ProjectFile_Item_PackWebSite);
    file.PackVersion = in.text(LangKey::message_ProjectFile_Item_PackVersion);
    file.PackPropertiesSet = in.truth(LangKey::message_ProjectFile_Item_Truth);
    file.PackLanguages = readList(in, LangKey::message_ProjectFile_Item_LanguageCount,
                                  LangKey::message_ProjectFile_Item_Language, MaxInstallerLanguages);
}

void readHeader(LineReader &in, ProjectContents &file)
{
    file.HeaderRows = readList(in, LangKey::message_ProjectFile_Item_HeaderRowCount,
                               LangKey::message_ProjectFile_Item_HeaderRow, MaxHeaderRows);
    for (qsizetype i = 0; i < file.HeaderRows.size(); ++i)
        file.HeaderInfo.append(
            THeaderKeyInfo{HeaderKeyKind(in.number(LangKey::message_ProjectFile_Item_HeaderRowKind))});
    const int duplicate = FindDuplicateKey(file.HeaderRows);
    if (duplicate >= 0)
        in.fail(lang(LangKey::message_ProjectFile_DuplicateKey, {{'k', KeyOf(file.HeaderRows[duplicate])}}));
}

// The tree read so far, as far as the checks of the next node need it.
class TreeRead
{
public:
    TreeRead() : m_holdsNodes(RootCount, true)
    {
        m_pathLength.reserve(RootTags.size());
        for (const char *tag : RootTags)
            m_pathLength.push_back(qint32(qstrlen(tag)) + 1);
    }

    // Reads the next node; a group root's record gives nothing: the six roots are the
    // program's own, in its own language.
    std::optional<NodeRecord> readNode(LineReader &in)
    {
        NodeRecord node;
        node.Text = in.text(LangKey::message_ProjectFile_Item_NodeText);
        const qint32 parentIndex = in.number(LangKey::message_ProjectFile_Item_NodeParent);
        const int parentLine = in.lineNumber();
        node.Path = in.text(LangKey::message_ProjectFile_Item_NodePath);
        in.number(LangKey::message_ProjectFile_Item_NodeKind);
        node.ImageIndex = in.number(LangKey::message_ProjectFile_Item_NodeImage);
        const int imageLine = in.lineNumber();
        if (parentIndex == -1)
            return std::nullopt;
        node.Parent = parentOf(in, parentIndex, parentLine);
        const bool folder = node.ImageIndex == FolderImage;
        checkImage(in, node.ImageIndex, imageLine);
        // Only folders are parents; a file's own length is never asked for.
        const qsizetype length = folder ? m_pathLength[std::size_t(node.Parent)] + node.Text.size() + 1 : 0;
        if (folder && length > MaxFolderPath) {
            in.fail(lang(LangKey::message_ProjectFile_FolderPathTooLong,
                         {{'l', QString::number(parentLine - 1)}, {'c', QString::number(MaxFolderPath)}}));
        }
        m_index.appendChild(parentIndex);
        m_holdsNodes.push_back(folder);
        m_pathLength.push_back(qint32(length));
        return node;
    }

private:
    int parentOf(const LineReader &in, qint32 parentIndex, int parentLine) const
    {
        const int parent = m_index.nodeAt(parentIndex);
        if (parent < 0) {
            in.fail(lang(LangKey::message_ProjectFile_NoSuchParent,
                         {{'l', QString::number(parentLine)}, {'c', QString::number(parentIndex)}}));
        }
        if (!m_holdsNodes[std::size_t(parent)]) {
            in.fail(lang(LangKey::message_ProjectFile_ParentIsFile,
                         {{'l', QString::number(parentLine)}, {'c', QString::number(parentIndex)}}));
        }
        return parent;
    }

    void checkImage(const LineReader &in, int imageIndex, int imageLine)
    {
        // Below 4 only 2, a folder, is a node the tree can make; a file type would be negative.
        if (imageIndex != FolderImage && imageIndex < FirstFileImage) {
            in.fail(lang(LangKey::message_ProjectFile_BadImageIndex,
                         {{'l', QString::number(imageLine)}, {'c', QString::number(imageIndex)}}));
        }
        // The build writes one map list; a second node of that type would pack whatever file
        // of its name an earlier build left in the staging folder.
        if (imageIndex == MapListImage) {
            if (m_hasMapList)
                in.fail(lang(LangKey::message_ProjectFile_SecondMapList, {{'l', QString::number(imageLine)}}));
            m_hasMapList = true;
        }
    }

    WalkIndex m_index;
    std::vector<bool> m_holdsNodes;   // by node id: whether it may hold other nodes
    std::vector<qint32> m_pathLength; // by node id: the length of a folder's or root's Path
    bool m_hasMapList = false;
};

// Every node goes into the tree as it is read. A file's Kind waits for the project, which
// looks at every source at once.
void readNodes(LineReader &in, ProjectContents &file)
{
    TreeRead read;
    const qint64 nodeCount = in.count(LangKey::message_ProjectFile_Item_NodeCount, MaxTreeNodes);
    std::vector<TreeNode *> nodes; // by id
    nodes.reserve(std::size_t(RootCount + nodeCount));
    for (int group = 0; group < RootCount; ++group) {
        nodes.push_back(file.Tree.append(
            nullptr,
            NodeData{lang(RootCaptionKeys[group]), RootImage,
                     TTreeNodeInfo{QString::fromLatin1(RootTags[group]) + QLatin1Char('\\'), RootKind}}));
    }
    for (qint64 i = 0; i < nodeCount; ++i) {
        std::optional<NodeRecord> record = read.readNode(in);
        if (!record)
            continue;
        TreeNode *parent = nodes[std::size_t(record->Parent)];
        NodeData data;
        data.text = std::move(record->Text);
        data.imageIndex = record->ImageIndex;
        if (record->ImageIndex == FolderImage)
            data.info.Kind = FolderKind;
        else
            data.info = TTreeNodeInfo{std::move(record->Path), FileMissingKind};
        TreeNode *node = file.Tree.append(parent, data);
        if (record->ImageIndex == MapListImage)
            file.MapList = node;
        nodes.push_back(node);
    }
    // A project always has its map list node; one saved without it gets it back where a new
    // project has it, first under the Files group.
    if (!file.MapList) {
        file.MapList = file.Tree.insert(
            nodes[FilesRoot], 0,
            NodeData{QString(), MapListImage, TTreeNodeInfo{QStringLiteral("(mappack)"), FileMissingKind}});
    }
}

void readMaps(LineReader &in, ProjectContents &file)
{
    const qint64 mapCount = in.count(LangKey::message_ProjectFile_Item_MapCount, MaxMapsRead);
    for (qint64 i = 0; i < mapCount; ++i) {
        MapEntry map;
        map.displayName = in.text(LangKey::message_ProjectFile_Item_MapName);
        // Rows are kept as stored, a repeated key included: nothing of a map is dropped.
        map.Info.Properties = readList(in, LangKey::message_ProjectFile_Item_PropertyCount,
                                       LangKey::message_ProjectFile_Item_Property, MaxPropertiesPerMap);
        for (qsizetype p = 0; p < map.Info.Properties.size(); ++p)
            map.Info.ValueKinds.append(ValueKind(in.number(LangKey::message_ProjectFile_Item_ValueKind)));
        file.Maps.append(std::move(map));
    }
}

void parseProject(QIODevice &device, const QString &fileName, ProjectContents &file)
{
    LineReader in(device, MaxProjectFileSize, lang(LangKey::message_FileKind_Project), fileName);
    readPackFields(in, file);
    readHeader(in, file);
    readNodes(in, file);
    readMaps(in, file);
}

// Replaces the project with what was read. Nothing here can fail, so the project is either the
// old one or wholly the new one.
void applyProject(ProjectModel &project, ProjectContents &file)
{
    ProjectModel::ResetScope reset(project, ResetKind::Open);

    project.setPackProperties(PackProperties{file.PackName, file.PackVersion, file.PackAuthor, file.PackWebSite,
                                             file.PackLanguages, file.PackPropertiesSet});

    // Every Kind is worked out afresh: Kind says whether the source exists on this machine now.
    project.adoptTree(file.Tree, file.MapList);
    project.SetHeader(file.HeaderRows, file.HeaderInfo);

    // Named as after every header change, so the node the build packs is the map list it has
    // just written, never a stale one of the saved name left in the staging folder. Without an
    // "[english]" row the build names the file ".mpl", and so does the node.
    project.RenameNode(project.MapListNode(), mapListFileName(project.packTitle()));

    while (project.mapCount() > 0)
        project.DeleteMap(project.mapCount() - 1);
    for (const MapEntry &map : file.Maps)
        project.appendMap(map.displayName, map.Info);
}

} // namespace

namespace {

void writeProject(const ProjectModel &project, LineWriter &out)
{
    const PackProperties &state = project.packProperties();
    out.text(state.PackName);
    out.text(state.PackAuthor);
    out.text(state.PackWebSite);
    out.text(state.PackVersion);
    out.number(state.PackPropertiesSet ? -1 : 0);
    writeList(out, state.PackLanguages);

    writeList(out, project.headerRows());
    for (int row = 0; row < project.headerCount(); ++row)
        out.number(row < project.headerInfo().size() ? project.headerInfo()[row].KeyKind : TextKey);

    const auto &nodes = project.tree().nodes();
    out.number(qint32(nodes.size()) - 1);
    InfoWalk walk;
    for (const TreeNode *node : nodes) {
        out.text(node->Text());
        out.number(node->parent() ? project.absoluteIndex(node->parent()) : -1);
        out.text(walk.info(node).Path);
        out.number(node->Kind());
        out.number(node->ImageIndex());
    }

    out.number(qint32(project.mapCount()) - 1);
    for (int i = 0; i < project.mapCount(); ++i) {
        const MapEntry &map = project.map(i);
        out.text(map.displayName);
        writeList(out, map.Info.Properties);
        // One kind per property, always, or the reader would take the next map for kinds.
        for (qsizetype p = 0; p < map.Info.Properties.size(); ++p)
            out.number(p < map.Info.ValueKinds.size() ? map.Info.ValueKinds[p] : TextValue);
    }
}

// The reader ends lines at line feeds only, so a text with a lone carriage return (which it
// may have read from a file) is written back as it came.
constexpr LineWriter::LoneCarriageReturn ProjectLoneCr = LineWriter::LoneCarriageReturn::Kept;

} // namespace

QByteArray ProjectFileBytes(const ProjectModel &project)
{
    LineWriter out(lang(LangKey::message_FileKind_Project), ProjectLoneCr);
    writeProject(project, out);
    return out.bytes();
}

void SaveProjectFile(const ProjectModel &project, const QString &path)
{
    // Written as it is made; a text the file cannot hold stops it before the old file is replaced.
    const auto produce = [&](const ByteSink &write) {
        bool writing = false;
        try {
            LineWriter out(lang(LangKey::message_FileKind_Project), ProjectLoneCr, [&](const QByteArray &piece) {
                writing = true;
                write(piece);
                writing = false;
            });
            writeProject(project, out);
            out.finish();
        } catch (const UserError &e) {
            if (writing)
                throw;
            throw UserError(lang(LangKey::message_ProjectFile_CannotSaveText, {{'f', path}, {'r', e.message()}}));
        }
    };
    replaceFileContents(
        path, produce,
        lang(LangKey::message_ProjectFile_CannotSave, {{'f', QStringLiteral("%1")}, {'r', QStringLiteral("%2")}}));
}

void OpenProjectFile(ProjectModel &project, const QString &path)
{
    const std::unique_ptr<QFile> file = openInputFile(path, lang(LangKey::message_FileKind_Project));
    OpenProjectFile(project, *file, path);
}

void OpenProjectFile(ProjectModel &project, QIODevice &device, const QString &fileName)
{
    ProjectContents contents;
    parseProject(device, fileName, contents);
    applyProject(project, contents);
}

} // namespace tervelle
