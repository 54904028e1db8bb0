#include "project/projectfile.h"

#include "core/errors.h"
#include "core/textcodec.h"
#include "project/keyvalue.h"
#include "project/projectmodel.h"
#include "project/textlines.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace tervelle {

namespace {

constexpr int MapListImage = FirstFileImage + MapListFile;

// ---- Writing -----------------------------------------------------------------------------

void writeList(LineWriter &out, const QStringList &items)
{
    out.number(qint32(items.size()) - 1);
    for (const QString &item : items)
        out.text(item);
}

// ---- Reading -----------------------------------------------------------------------------

// Answers "which node has absolute index i in the tree built so far" while the file is read,
// before any real node exists.
//
// Nodes are ids: 0 to 5 the group roots, then one per node block. The file lists nodes parents
// first, so each new node normally lands at the end of the walk and the order table just grows.
// Roots with no children yet are kept out of the table and counted behind it; that keeps a new
// child of the current group at the end too. Anything else marks the table stale and the next
// lookup walks the tree once.
class TreeIndex
{
public:
    TreeIndex() : m_parent(RootCount, -1), m_firstChild(RootCount, -1), m_lastChild(RootCount, -1), m_next(RootCount, -1) {}

    // The id of the node at `index`, or -1 when there is none.
    int lookup(qint64 index)
    {
        if (!m_valid)
            rebuild();
        if (index < 0)
            return -1;
        const qint64 listed = qint64(m_order.size());
        if (index < listed)
            return m_order[std::size_t(index)];
        if (index - listed >= RootCount - m_rootsListed)
            return -1;
        const int root = m_rootsListed + int(index - listed);
        while (m_rootsListed <= root)
            m_order.push_back(m_rootsListed++);
        return root;
    }

    // Appends a new node as the last child of `parent` and returns its id.
    int append(int parent)
    {
        const int id = int(m_parent.size());
        m_parent.push_back(parent);
        m_firstChild.push_back(-1);
        m_lastChild.push_back(-1);
        m_next.push_back(-1);
        if (m_lastChild[std::size_t(parent)] < 0)
            m_firstChild[std::size_t(parent)] = id;
        else
            m_next[std::size_t(m_lastChild[std::size_t(parent)])] = id;
        m_lastChild[std::size_t(parent)] = id;

        if (m_valid && endsInSubtreeOf(parent))
            m_order.push_back(id);
        else
            m_valid = false;
        return id;
    }

private:
    // Whether the walk's last node lies in the subtree of `node`. Amortised O(1) for nodes that
    // arrive parents first: the climb is paid for by the depth it gives up.
    bool endsInSubtreeOf(int node) const
    {
        for (int n = m_order.back(); n >= 0; n = m_parent[std::size_t(n)]) {
            if (n == node)
                return true;
        }
        return false;
    }

    void rebuild()
    {
        m_order.clear();
        std::vector<int> stack;
        for (int root = m_rootsListed - 1; root >= 0; --root)
            stack.push_back(root);
        while (!stack.empty()) {
            const int node = stack.back();
            stack.pop_back();
            m_order.push_back(node);
            const std::size_t first = stack.size();
            for (int child = m_firstChild[std::size_t(node)]; child >= 0; child = m_next[std::size_t(child)])
                stack.push_back(child);
            std::reverse(stack.begin() + std::ptrdiff_t(first), stack.end());
        }
        m_valid = true;
    }

    std::vector<int> m_parent, m_firstChild, m_lastChild, m_next;
    std::vector<int> m_order;
    int m_rootsListed = 0;
    bool m_valid = true;
};

struct NodeRecord
{
    QString Text;
    int Parent = 0; // id in the TreeIndex; the record itself is id RootCount + its position
    QString Path;
    int ImageIndex = 0;
};

// The whole file, read before anything of the open project is touched.
struct ProjectContents
{
    QString PackName, PackAuthor, PackWebSite, PackVersion;
    bool PackPropertiesSet = false;
    QStringList PackLanguages;
    QStringList HeaderRows;
    QVector<THeaderKeyInfo> HeaderInfo;
    std::vector<NodeRecord> Nodes;
    QVector<MapEntry> Maps;
};

QStringList readList(LineReader &in, const char *countWhat, const char *itemWhat)
{
    const qint64 count = in.count(countWhat);
    QStringList items;
    for (qint64 i = 0; i < count; ++i)
        items.append(in.text(itemWhat));
    return items;
}

ProjectContents parseProject(const QString &text, const QString &fileName)
{
    LineReader in(text, fileName);
    ProjectContents file;
    file.PackName = in.text("the pack name");
    file.PackAuthor = in.text("the pack author");
    file.PackWebSite = in.text("the pack web site");
    file.PackVersion = in.text("the pack version");
    file.PackPropertiesSet = in.truth("a truth value");
    file.PackLanguages = readList(in, "the number of installer languages", "an installer language");

    file.HeaderRows = readList(in, "the number of header rows", "a header row");
    for (qsizetype i = 0; i < file.HeaderRows.size(); ++i)
        file.HeaderInfo.append(THeaderKeyInfo{in.number("the kind of a header row")});
    const int duplicate = FindDuplicateKey(file.HeaderRows);
    if (duplicate >= 0)
        in.fail(QStringLiteral("its pack header holds the key \"%1\" twice.").arg(KeyOf(file.HeaderRows[duplicate])));

    TreeIndex index;
    const qint64 nodeCount = in.count("the number of tree nodes");
    for (qint64 i = 0; i < nodeCount; ++i) {
        NodeRecord node;
        node.Text = in.text("the text of a tree node");
        const qint32 parent = in.number("the index of a tree node's parent");
        const int parentLine = in.lineNumber();
        node.Path = in.text("the path of a tree node");
        in.number("the kind of a tree node");
        node.ImageIndex = in.number("the image index of a tree node");
        // The six group roots are the program's own, in its own language.
        if (parent == -1)
            continue;
        node.Parent = index.lookup(parent);
        if (node.Parent < 0) {
            in.fail(QStringLiteral("line %1 names the parent %2, which is no node of the tree.")
                        .arg(parentLine)
                        .arg(parent));
        }
        // Below 4 only 2, a folder, is a node the tree can make; a file type would be negative.
        if (node.ImageIndex < FirstFileImage && node.ImageIndex != FolderImage) {
            in.fail(QStringLiteral("line %1 gives the image index %2, which is neither a folder nor a file.")
                        .arg(in.lineNumber())
                        .arg(node.ImageIndex));
        }
        index.append(node.Parent);
        file.Nodes.push_back(std::move(node));
    }

    const qint64 mapCount = in.count("the number of maps");
    for (qint64 i = 0; i < mapCount; ++i) {
        MapEntry map;
        map.DisplayName = in.text("the name of a map");
        // Rows are kept as stored, a repeated key included: nothing of a map is dropped.
        map.Info.Properties = readList(in, "the number of a map's properties", "a map property");
        for (qsizetype p = 0; p < map.Info.Properties.size(); ++p)
            map.Info.ValueKinds.append(in.number("the value kind of a map property"));
        file.Maps.append(std::move(map));
    }
    return file;
}

// Replaces the project with what was read. Nothing here can fail, so the project is either the
// old one or wholly the new one.
void applyProject(ProjectModel &project, const ProjectContents &file)
{
    ProjectModel::ResetScope reset(project);

    SharedState &state = project.state();
    state.PackName = file.PackName;
    state.PackAuthor = file.PackAuthor;
    state.PackWebSite = file.PackWebSite;
    state.PackVersion = file.PackVersion;
    state.PackPropertiesSet = file.PackPropertiesSet;
    state.PackLanguages = file.PackLanguages;

    project.resetTree();
    project.SetHeader(file.HeaderRows, file.HeaderInfo);

    // A folder's path and every Kind are worked out afresh: Kind says whether the source exists
    // on this machine now.
    std::vector<TreeNode *> nodes;
    nodes.reserve(RootCount + file.Nodes.size());
    for (int group = 0; group < RootCount; ++group)
        nodes.push_back(project.root(RootGroup(group)));
    for (const NodeRecord &record : file.Nodes) {
        TreeNode *parent = nodes[std::size_t(record.Parent)];
        TreeNode *node = nullptr;
        if (record.ImageIndex == FolderImage) {
            node = project.AddDirElement(parent, record.Text);
        } else if (record.ImageIndex == MapListImage) {
            node = project.AddFileElement(parent, record.Text, MapListFile, record.Path);
            project.setMapListNode(node);
        } else {
            node = project.AddFileElement(parent, record.Text, record.ImageIndex - FirstFileImage, record.Path);
        }
        nodes.push_back(node);
    }

    while (project.mapCount() > 0)
        project.DeleteMap(project.mapCount() - 1);
    for (const MapEntry &map : file.Maps)
        project.appendMap(map.DisplayName, map.Info);
}

} // namespace

QByteArray ProjectFileBytes(const ProjectModel &project)
{
    const SharedState &state = project.state();
    LineWriter out(QStringLiteral("project file"));
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
    for (const TreeNode *node : nodes) {
        out.text(node->Text);
        out.number(node->parent() ? project.absoluteIndex(node->parent()) : -1);
        out.text(node->Info.Path);
        out.number(node->Info.Kind);
        out.number(node->ImageIndex);
    }

    out.number(qint32(project.mapCount()) - 1);
    for (int i = 0; i < project.mapCount(); ++i) {
        const MapEntry &map = project.map(i);
        out.text(map.DisplayName);
        writeList(out, map.Info.Properties);
        // One kind per property, always, or the reader would take the next map for kinds.
        for (qsizetype p = 0; p < map.Info.Properties.size(); ++p)
            out.number(p < map.Info.ValueKinds.size() ? map.Info.ValueKinds[p] : TextValue);
    }
    return out.bytes();
}

void SaveProjectFile(const ProjectModel &project, const QString &path)
{
    QByteArray bytes;
    try {
        bytes = ProjectFileBytes(project);
    } catch (const UserError &e) {
        throw UserError(QStringLiteral("The project file %1 cannot be saved. %2").arg(path, e.message()));
    }
    const QString failure = replaceFileContents(path, bytes);
    if (!failure.isEmpty())
        throw UserError(QStringLiteral("The project file %1 cannot be saved: %2").arg(path, failure));
}

void OpenProjectFile(ProjectModel &project, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("The project file %1 cannot be opened: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw UserError(QStringLiteral("The project file %1 cannot be read: %2").arg(path, file.errorString()));
    file.close();

    const ProjectContents contents = parseProject(textCodec().decode(bytes), path);
    applyProject(project, contents);
}

} // namespace tervelle
