#pragma once

#include <QtGlobal>

#include <vector>

namespace tervelle {

// Answers "which node has absolute index i in the tree built so far" while a project file is
// read, before any real node exists. Nodes are ids: 0 to RootCount - 1 the group roots, then one
// per node appended, in the order they were appended.
//
// The walk order is an implicit treap (a balanced tree keyed by position), so finding a node by
// its index and inserting one anywhere both cost O(log n): a file listing its nodes in any order
// reads in the same time as one written parents first. A new last child of the node at index p
// lands at p + the size of p's subtree; sizes are kept along the ancestors, whose number the
// folder path bound keeps small.
class TreeIndex
{
public:
    TreeIndex();

    // The id of the node at `index`, or -1 when there is none.
    int nodeAt(qint64 index) const;
    // Appends a new node as the last child of the node at `parentIndex` (which must exist) and
    // returns its id.
    int appendChild(qint64 parentIndex);
    int count() const { return int(m_parent.size()); }

private:
    struct Item
    {
        int left = -1;
        int right = -1;
        int size = 1; // items in this treap subtree
        quint32 priority = 0;
    };

    int treapSize(int item) const { return item < 0 ? 0 : m_items[std::size_t(item)].size; }
    void update(int item);
    void split(int item, qint64 leftCount, int &left, int &right);
    int merge(int left, int right);
    void insertAt(qint64 position, int id);

    std::vector<Item> m_items; // by node id
    int m_root = -1;
    quint32 m_random;
    std::vector<int> m_parent;  // by node id; -1 for a group root
    std::vector<int> m_subtree; // nodes in the file tree's subtree, the node itself included
};

} // namespace tervelle
