#pragma once

#include "project/packedtext.h"

#include <QString>

#include <memory>
#include <utility>
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

// A file node's icon index is its FileType counted from FirstFileImage, as project files store it.
inline constexpr int fileTypeOfImage(int imageIndex)
{
    return imageIndex - FirstFileImage;
}
inline constexpr int imageOfFileType(int fileType)
{
    return fileType + FirstFileImage;
}

// Longer folder paths than any installer could create; the project file reader refuses them,
// so nothing may make one. The bound also keeps a crafted file of deeply nested folders from
// growing paths quadratically in memory.
inline constexpr qsizetype MaxFolderPath = 1024;

// What a new node is made of.
struct NodeData
{
    QString text;
    int imageIndex = 0;
    // A file's source and Kind; a group root's tag path. A folder's path is its parent's with
    // its name: the tree works it out, whatever this holds.
    TTreeNodeInfo info;
};

// A node of the files tree. Only FileTree makes, changes and destroys nodes: it indexes them by
// name, kind and position, so everything here is read-only to the rest of the program.
//
// A node is small, since a project may hold a million: its name is packed, a folder's path is
// worked out from its parents when asked for, and a file's source shares its folder part with
// the sources of the files around it (most sources are <folder> + the node's name).
class TreeNode
{
public:
    QString Text() const { return m_text.toString(); }
    int ImageIndex() const { return m_imageIndex; }
    // The icon while selected: a folder's or root's open icon follows its closed one.
    int SelectedIndex() const { return isFile() ? m_imageIndex : m_imageIndex + 1; }
    // O(depth) for a folder, whose Path is made from its parents'.
    TTreeNodeInfo Info() const;
    NodeKind Kind() const { return NodeKind(m_kind); }
    // A file's source path (Info().Path without the rest of the info).
    QString SourcePath() const;
    // The same appended to `path`, for a caller that asks for many and keeps one buffer.
    void appendSourcePath(QString &path) const;

    TreeNode(const TreeNode &) = delete;
    TreeNode &operator=(const TreeNode &) = delete;

    TreeNode *parent() const { return m_parent; }
    // O(1); O(log n) while removed siblings still leave holes in the parent's list.
    int row() const;
    int childCount() const;
    TreeNode *child(int row) const;
    bool isFile() const { return m_imageIndex > 3; }
    bool isFolder() const { return m_imageIndex == FolderImage; }
    bool isRoot() const { return m_parent == nullptr; }

protected:
    // The tree's own node type adds the links that index it (filetree.cpp).
    TreeNode(const NodeData &data, SharedText *sharedFolder);
    ~TreeNode();

private:
    friend class FileTree;
    // Keeps `path` as the node's source; `sharedFolder` is the folder part of the source set
    // last, handed on so that neighbours share it.
    void setSource(const QString &path, SharedText *sharedFolder);

    TreeNode *m_parent = nullptr;
    PackedText m_text;
    // A root's path; a file's source, or its folder part when m_sourceEndsWithText.
    SharedText m_source;
    qint32 m_imageIndex = 0;
    qint8 m_kind = 0;
    bool m_sourceEndsWithText = false;
};

// The forest of the files tree with the absolute index of every node: its position in a walk
// that visits a node before its children, children in order, roots in order, from 0.
//
// No change or lookup costs more than O(log n) amortised, whatever the shape of the tree:
// - the list of all nodes in walk order is cached with each node's index; appends at the end
//   of the walk keep it, other changes drop it, and nodes() makes it again in one walk;
// - while the cache is dropped, indexes come from a balanced sequence of the walk order
//   (TreeOrder), made in one walk at the first such lookup and kept up to date from then on,
//   so that adding anywhere and asking for the index costs O(log n) each. Opening and saving a
//   project never needs it;
// - rows survive removals without renumbering, and folders with many children find a child by
//   name without a scan (ChildList).
class FileTree
{
public:
    FileTree();
    ~FileTree();
    FileTree(const FileTree &) = delete;
    FileTree &operator=(const FileTree &) = delete;

    // Appends a node as the last child of `parent`, or as the last top-level node when null.
    TreeNode *append(TreeNode *parent, const NodeData &data);
    // Puts a node at `row` among the children of `parent` (the top level when null).
    TreeNode *insert(TreeNode *parent, int row, const NodeData &data);
    // Removes the node with its whole subtree.
    void remove(TreeNode *node);
    void rename(TreeNode *node, const QString &text);
    // What the node stands for; names and positions do not depend on it, so no index changes.
    // A folder's path is its parent's with its name whatever `info` says.
    void setInfo(TreeNode *node, const TTreeNodeInfo &info);
    void setKind(TreeNode *node, NodeKind kind);
    void clear();
    // Trades the whole forest with `other`: a tree built aside (a project being read) becomes
    // this one at once, and every node stays where it is in memory.
    void swap(FileTree &other) noexcept;

    int topLevelCount() const;
    TreeNode *topLevel(int row) const;

    int count() const;
    int absoluteIndex(const TreeNode *node) const;
    // The node with that absolute index, or null.
    TreeNode *nodeAt(int absoluteIndex) const;
    // All nodes in absolute index order.
    const std::vector<TreeNode *> &nodes() const;

    // The first file child, or the first folder child, of `parent` whose text Windows takes
    // for `name` (sameFileName); a null parent means the top level.
    TreeNode *fileChildNamed(const TreeNode *parent, const QString &name) const;
    TreeNode *folderChildNamed(const TreeNode *parent, const QString &name) const;
    // The first child of either kind.
    TreeNode *childNamed(const TreeNode *parent, const QString &name) const;

private:
    // The roots, the walk cache and the order (filetree.cpp).
    struct Index;
    std::unique_ptr<Index> m_index;
};

// The Info of nodes taken in absolute index order, a folder's path made from its parent's in
// the time of its name rather than of its depth: for walks over the whole tree.
class InfoWalk
{
public:
    TTreeNodeInfo info(const TreeNode *node);

private:
    // The folders and roots from the top down to the last one seen, with their paths.
    std::vector<std::pair<const TreeNode *, QString>> m_chain;
};

// A node's place as the map maker reads it: the captions from its group down, "\"-separated.
QString NodeTreePath(const TreeNode *node);

} // namespace tervelle
