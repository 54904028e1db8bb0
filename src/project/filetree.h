#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace tervelle {

// What a tree node stands for: the group root's tag or folder path, or the source file on disk.
struct TTreeNodeInfo
{
    QString Path;
    qint32 Kind = 0; // 0 group root, 1 folder, 2 file found on disk, -1 file not found
};

enum FileType : int {
    PlainFile = 0,
    MapFile = 1,
    HeightMapFile = 2,
    LevelIconFile = 3,
    TextureListFile = 4,
    ScriptFile = 5,
    InfoPageFile = 6,
    MapListFile = 7,
};

enum NodeKind : qint32 { RootKind = 0, FolderKind = 1, FileFoundKind = 2, FileMissingKind = -1 };

inline constexpr int RootImage = 0;
inline constexpr int FolderImage = 2;
inline constexpr int FirstFileImage = 4;

class TreeNode
{
public:
    QString Text;
    int ImageIndex = 0;
    int SelectedIndex = 0;
    TTreeNodeInfo Info;

    TreeNode() = default;
    ~TreeNode();
    TreeNode(const TreeNode &) = delete;
    TreeNode &operator=(const TreeNode &) = delete;

    TreeNode *parent() const { return m_parent; }
    int row() const { return m_row; }
    int childCount() const { return int(m_children.size()); }
    TreeNode *child(int row) const { return m_children[std::size_t(row)].get(); }
    bool isFile() const { return ImageIndex > 3; }
    bool isFolder() const { return ImageIndex == FolderImage; }
    bool isRoot() const { return m_parent == nullptr; }

private:
    friend class FileTree;
    TreeNode *m_parent = nullptr;
    int m_row = 0;
    int m_absoluteIndex = 0;
    std::vector<std::unique_ptr<TreeNode>> m_children;
};

// The forest of the files tree with the absolute index of every node: its position in a walk
// that visits a node before its children, children in order, roots in order, from 0.
//
// The index is kept in a table that appends stay cheap for: a node appended after the last node
// of the walk costs O(depth); any other change marks the table stale and the next lookup
// rebuilds it in one walk.
class FileTree
{
public:
    FileTree();
    ~FileTree();
    FileTree(const FileTree &) = delete;
    FileTree &operator=(const FileTree &) = delete;

    // Appends `node` as the last child of `parent`, or as the last top-level node when null.
    TreeNode *append(TreeNode *parent, std::unique_ptr<TreeNode> node);
    // Removes the node with its whole subtree.
    void remove(TreeNode *node);
    void clear();

    int topLevelCount() const { return int(m_roots.size()); }
    TreeNode *topLevel(int row) const { return m_roots[std::size_t(row)].get(); }

    int count() const;
    int absoluteIndex(const TreeNode *node) const;
    // The node with that absolute index, or null.
    TreeNode *nodeAt(int absoluteIndex) const;
    // All nodes in absolute index order.
    const std::vector<TreeNode *> &nodes() const;

private:
    void rebuildOrder() const;
    bool appendsAtEnd(const TreeNode *parent) const;

    std::vector<std::unique_ptr<TreeNode>> m_roots;
    mutable std::vector<TreeNode *> m_order;
    mutable bool m_orderValid = true;
};

// Equal ignoring the case of the letters A to Z only, as names in the tree are compared.
bool SameNodeName(const QString &a, const QString &b);

} // namespace tervelle
