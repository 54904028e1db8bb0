#pragma once

#include <cstdint>
#include <vector>

namespace tervelle {

class TreeNode;

// The walk order of the files tree (a node before its children, children in order) as a
// balanced sequence, so that the absolute index of a node, the node at an index, an insert
// anywhere and the removal of a subtree each cost O(log n) whatever the shape of the tree.
//
// Every node owns two entries: one where its walk starts and one after its last descendant.
// A new last child goes just before its parent's end entry; a subtree is the run of entries
// from its start to its end. The absolute index counts start entries only.
class TreeOrder
{
public:
    struct Span
    {
        int start = -1;
        int end = -1;
    };

    // Inserts a node's two entries before the end entry of `parent`'s span, or at the end of
    // the sequence when `parent` is empty (a top-level node). `index` receives the node's
    // absolute index.
    Span insertLastChild(Span parent, TreeNode *node, int &index);
    // Inserts a node's two entries just before the start entry of `sibling`'s span.
    Span insertBefore(Span sibling, TreeNode *node, int &index);
    // Replaces the sequence in O(n): `starts[i]` tells whether entry i starts a node's walk,
    // `nodes[i]` is its node. Entry i gets the id i.
    void build(const std::vector<TreeNode *> &nodes, const std::vector<bool> &starts);
    // Drops the entries of a whole subtree.
    void removeSubtree(Span span);
    void clear();

    int nodeCount() const;
    int indexOf(Span span) const;
    TreeNode *nodeAt(int index) const;

private:
    struct Entry
    {
        int left = -1, right = -1, up = -1;
        int size = 1;   // entries in this subtree of the sequence
        int starts = 0; // start entries among them
        std::uint32_t priority = 0;
        bool start = false;
        TreeNode *node = nullptr;
    };

    int make(TreeNode *node, bool start);
    void update(int e);
    int sizeOf(int e) const { return e < 0 ? 0 : m_entries[std::size_t(e)].size; }
    int startsOf(int e) const { return e < 0 ? 0 : m_entries[std::size_t(e)].starts; }
    int positionOf(int e) const;
    // Splits `t` into the first `count` entries and the rest.
    void split(int t, int count, int &first, int &rest);
    int merge(int a, int b);
    std::uint32_t nextPriority();

    std::vector<Entry> m_entries;
    std::vector<int> m_free;
    int m_root = -1;
    std::uint32_t m_state = 0x9E3779B9u;
};

} // namespace tervelle
