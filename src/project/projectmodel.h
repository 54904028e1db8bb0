#pragma once

#include "core/common.h"
#include "core/langload.h"
#include "project/filetree.h"
#include "project/projectedit.h"

#include <QObject>
#include <QStringList>
#include <QVector>

#include <array>

namespace tervelle {

// The six fixed groups of the files tree, in their fixed order.
enum RootGroup : int { FilesRoot = 0, MapsRoot, HeightMapsRoot, IconsRoot, TexturesRoot, ScriptsRoot, RootCount };
extern const std::array<const char *, RootCount> RootTags;
extern const std::array<LangKey, RootCount> RootCaptionKeys;

inline constexpr int FixedHeaderRows = 2;
inline constexpr int FixedMapProperties = 7;
// The add-map command stops here; a project file with more maps is still read whole.
inline constexpr int MaxMaps = 89;

// Why the whole project was replaced: views treat a new project and an opened one differently
// (a new project empties the resources list, an opened one keeps it).
enum class ResetKind { New, Open };

// The project: pack header, maps and files tree. Views bind to its signals; these operations
// are the only ways it changes. It holds the pack fields too.
//
// Echoes: every change is signalled to every view, the view that made it included. Operations
// a view calls while the user types (header and property cells, map names) take that view as
// `origin` and pass it on in the signal, so the view can skip reloading what it just wrote;
// changes made for other reasons (New, Open, commands) carry no origin.
//
// Refusals the user can cause throw UserError with the message to show; nothing has changed
// then. Indexes outside the lists are ignored.
class ProjectModel : public QObject
{
    Q_OBJECT

public:
    // What tells AddFileElement and RelinkNode whether a source exists: the file system (null),
    // unless a caller that cannot lay out real files (paths the compiler would misread, say)
    // stands in for it.
    using SourceProbe = bool (*)(const QString &path);
    explicit ProjectModel(QObject *parent = nullptr, SourceProbe sourceExists = nullptr);
    ~ProjectModel() override;

    void NewFile();

    // The pack fields as one value; setting them is one change.
    const PackProperties &packProperties() const { return m_pack; }
    void setPackProperties(const PackProperties &pack);

    // Pack header
    const QStringList &headerRows() const { return m_headerRows; }
    const QVector<THeaderKeyInfo> &headerInfo() const { return m_headerInfo; }
    int headerCount() const { return int(m_headerRows.size()); }
    QString packTitle() const; // the "[english]" value, or empty
    // Appends key + "="; a "=" in the key ends it and starts the value. Refuses a key that
    // exists (cut at its "=") with the add command's message for that kind of key.
    int AddHeaderKey(const QString &key, HeaderKeyKind kind);
    // Rows 2 and later only.
    void DeleteHeaderKey(int row);
    // Refuses the fixed rows, a key holding "=" and a key another row has.
    void SetHeaderKey(int row, const QString &key, QObject *origin = nullptr);
    void SetHeaderValue(int row, const QString &value, QObject *origin = nullptr);
    // Replaces the whole header. Throws UserError when a key repeats.
    void SetHeader(const QStringList &rows, const QVector<THeaderKeyInfo> &info);

    // Maps
    int mapCount() const { return int(m_maps.size()); }
    const MapEntry &map(int index) const { return m_maps[index]; }
    int AddMap();
    int appendMap(const QString &displayName, const TMapInfo &info);
    void DeleteMap(int index);
    // A copy of the map with all its properties, named "<name> copy", right after it. Its
    // index, or -1 for an index outside the list or a full pack.
    int duplicateMap(int index);
    // Moves the map to `to`, the others closing up; signalled as its removal and insertion.
    // False when either index lies outside the list or they are equal.
    bool moveMap(int from, int to);
    void CommitMapProperties(int index, const QStringList &rows, QObject *origin = nullptr);
    // Appends key + "=" with value kind 0, under the rules of AddHeaderKey. The test sees the
    // committed rows: the properties grid commits its edits first (or tests its own rows with
    // requireNewKey).
    int AddMapProperty(int index, const QString &key);
    // Rows 7 and later only.
    void DeleteMapProperty(int index, int row);
    // Under the rules of SetHeaderKey; the seven fixed properties keep their keys.
    void SetMapPropertyKey(int index, int row, const QString &key, QObject *origin = nullptr);
    void SetMapPropertyValue(int index, int row, const QString &value, QObject *origin = nullptr);
    static TMapInfo defaultMapInfo();

    // Files tree
    const FileTree &tree() const { return m_tree; }
    TreeNode *root(RootGroup group) const { return m_roots[group]; }
    // Which group root a node lies under, or -1 for a node outside the tree's groups.
    int groupOf(const TreeNode *node) const;
    TreeNode *MapListNode() const { return m_mapListNode; }
    void setMapListNode(TreeNode *node);
    int absoluteIndex(const TreeNode *node) const { return m_tree.absoluteIndex(node); }
    TreeNode *AddRootElement(const QString &caption, const QString &tag);
    TreeNode *AddDirElement(TreeNode *parent, const QString &name);
    TreeNode *AddFileElement(TreeNode *parent, const QString &name, int type, const QString &path);
    // The first file child (or folder child) with that name ignoring letter case as Windows does, or none.
    TreeNode *findFileNode(const TreeNode *parent, const QString &name) const;
    TreeNode *findFolderNode(const TreeNode *parent, const QString &name) const;
    // The first child, file or folder, with that name ignoring letter case as Windows does, or none.
    TreeNode *findAnyNode(const TreeNode *parent, const QString &name) const;
    // Removes the node with its subtree. The group roots and the map list node stay (and so
    // does a folder holding the map list node): false, and nothing changes.
    bool DeleteNode(TreeNode *node);
    bool canDelete(const TreeNode *node) const;
    void RenameNode(TreeNode *node, const QString &text);
    // Points a file node at another source, with the Kind a new node of that path would get;
    // its place and name stay.
    void RelinkNode(TreeNode *node, const QString &path);
    // Empties the tree and makes the six group roots with captions of the current language.
    void resetTree();
    // Takes the nodes of `tree`, built aside by the project reader with the six group roots
    // first, as the whole tree; the old nodes are freed and `tree` is left empty. Every file's
    // Kind is worked out afresh, the sources looked at side by side on every core. Only inside a
    // ResetScope.
    void adoptTree(FileTree &tree, TreeNode *mapListNode);

    // While a scope lives, per-item signals are held back; projectReset follows at its end with
    // the outermost scope's kind. Used for whole-project changes: New and Open.
    class ResetScope
    {
    public:
        ResetScope(ProjectModel &model, ResetKind kind);
        ~ResetScope();
        ResetScope(const ResetScope &) = delete;
        ResetScope &operator=(const ResetScope &) = delete;

    private:
        ProjectModel &m_model;
    };

signals:
    void projectReset(tervelle::ResetKind kind);
    void headerChanged(QObject *origin);
    void mapInserted(int index);
    void mapRemoved(int index);
    void mapChanged(int index, QObject *origin); // display name or properties
    // A node is added as the last child of `parent` (nullptr: a top-level node) at `row`.
    void nodeAboutToBeInserted(tervelle::TreeNode *parent, int row);
    void nodeInserted(tervelle::TreeNode *node);
    void nodeAboutToBeRemoved(tervelle::TreeNode *node);
    void nodeRemoved(tervelle::TreeNode *parent, int row);
    void nodeChanged(tervelle::TreeNode *node);
    void packChanged();

private:
    // The journal is the document's: it records and replays the changes, and hands out the
    // model to change only inside a recorded change.
    friend class ProjectDocument;
    // While a journal is set, every change outside New and Open appends to it what undoes it.
    void setJournal(EditList *journal) { m_journal = journal; }
    EditList *journal() const { return m_journal; }
    // Makes the change `edit` describes and records the edit that reverts it. Throws
    // std::logic_error, having changed nothing, when the edit names a node or map the project
    // does not have: the history no longer matches the project.
    void applyEdit(const ProjectEdit &edit);

    bool quiet() const { return m_resetDepth > 0; }
    bool validMap(int index) const { return index >= 0 && index < mapCount(); }
    // Every change of the header rows ends here: the map list node follows "[english]".
    void headerRowsChanged(QObject *origin = nullptr);
    void mapPropertiesChanged(int index, QObject *origin);
    TreeNode *insertNode(TreeNode *parent, const NodeData &data);
    NodeKind sourceKind(const QString &path) const;
    bool recording() const { return m_journal && !quiet(); }
    void record(ProjectEdit edit) { m_journal->push_back(std::move(edit)); }
    void recordHeader();
    void recordMap(int index);
    // Raw changes for applyEdit: they record nothing and keep no rule.
    void setNodeSource(TreeNode *node, const QString &path);
    void putSubtree(const std::vector<int> &path, const std::vector<SavedNode> &nodes);
    std::vector<SavedNode> saveSubtree(const TreeNode *top) const;
    void removeSubtree(TreeNode *node);

    PackProperties m_pack;
    QStringList m_headerRows;
    QVector<THeaderKeyInfo> m_headerInfo;
    QVector<MapEntry> m_maps;
    FileTree m_tree;
    std::array<TreeNode *, RootCount> m_roots{};
    TreeNode *m_mapListNode = nullptr;
    int m_resetDepth = 0;
    EditList *m_journal = nullptr;
    ResetKind m_resetKind = ResetKind::New;
    SourceProbe m_sourceProbe = nullptr;
};

} // namespace tervelle

Q_DECLARE_METATYPE(tervelle::ResetKind)
