#include "project/treeindex.h"

#include "project/projectmodel.h"

#include <QRandomGenerator>

namespace tervelle {

TreeIndex::TreeIndex() : m_random(QRandomGenerator::global()->generate() | 1u)
{
    for (int root = 0; root < RootCount; ++root) {
        m_parent.push_back(-1);
        m_subtree.push_back(1);
        insertAt(root, root);
    }
}

int TreeIndex::nodeAt(qint64 index) const
{
    if (index < 0 || index >= treapSize(m_root))
        return -1;
    int item = m_root;
    for (;;) {
        const Item &at = m_items[std::size_t(item)];
        const int before = treapSize(at.left);
        if (index < before) {
            item = at.left;
        } else if (index == before) {
            return item;
        } else {
            index -= before + 1;
            item = at.right;
        }
    }
}

int TreeIndex::appendChild(qint64 parentIndex)
{
    const int parent = nodeAt(parentIndex);
    Q_ASSERT(parent >= 0);
    const int id = int(m_parent.size());
    m_parent.push_back(parent);
    m_subtree.push_back(1);
    insertAt(parentIndex + m_subtree[std::size_t(parent)], id);
    for (int n = parent; n >= 0; n = m_parent[std::size_t(n)])
        ++m_subtree[std::size_t(n)];
    return id;
}

void TreeIndex::update(int item)
{
    Item &at = m_items[std::size_t(item)];
    at.size = 1 + treapSize(at.left) + treapSize(at.right);
}

void TreeIndex::split(int item, qint64 leftCount, int &left, int &right)
{
    if (item < 0) {
        left = right = -1;
        return;
    }
    Item &at = m_items[std::size_t(item)];
    const int before = treapSize(at.left);
    if (before < leftCount) {
        split(at.right, leftCount - before - 1, at.right, right);
        left = item;
    } else {
        split(at.left, leftCount, left, at.left);
        right = item;
    }
    update(item);
}

int TreeIndex::merge(int left, int right)
{
    if (left < 0)
        return right;
    if (right < 0)
        return left;
    Item &l = m_items[std::size_t(left)];
    Item &r = m_items[std::size_t(right)];
    if (l.priority > r.priority) {
        l.right = merge(l.right, right);
        update(left);
        return left;
    }
    r.left = merge(left, r.left);
    update(right);
    return right;
}

void TreeIndex::insertAt(qint64 position, int id)
{
    // xorshift: random priorities keep the treap shallow whatever order the file inserts in.
    m_random ^= m_random << 13;
    m_random ^= m_random >> 17;
    m_random ^= m_random << 5;
    Item item;
    item.priority = m_random;
    m_items.push_back(item);
    Q_ASSERT(int(m_items.size()) == id + 1);
    int left = -1;
    int right = -1;
    split(m_root, position, left, right);
    m_root = merge(merge(left, id), right);
}

} // namespace tervelle
