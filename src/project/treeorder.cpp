#include "project/treeorder.h"

namespace tervelle {

std::uint32_t TreeOrder::nextPriority()
{
    // xorshift32: cheap, and the shape of the sequence needs no better randomness.
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

int TreeOrder::make(TreeNode *node, bool start)
{
    Entry entry;
    entry.priority = nextPriority();
    entry.start = start;
    entry.starts = start ? 1 : 0;
    entry.node = node;
    if (!m_free.empty()) {
        const int e = m_free.back();
        m_free.pop_back();
        m_entries[std::size_t(e)] = entry;
        return e;
    }
    m_entries.push_back(entry);
    return int(m_entries.size()) - 1;
}

void TreeOrder::update(int e)
{
    Entry &entry = m_entries[std::size_t(e)];
    entry.size = 1 + sizeOf(entry.left) + sizeOf(entry.right);
    entry.starts = (entry.start ? 1 : 0) + startsOf(entry.left) + startsOf(entry.right);
    if (entry.left >= 0)
        m_entries[std::size_t(entry.left)].up = e;
    if (entry.right >= 0)
        m_entries[std::size_t(entry.right)].up = e;
}

void TreeOrder::split(int t, int count, int &first, int &rest)
{
    if (t < 0) {
        first = rest = -1;
        return;
    }
    Entry &entry = m_entries[std::size_t(t)];
    if (sizeOf(entry.left) < count) {
        int a = -1;
        split(entry.right, count - sizeOf(entry.left) - 1, a, rest);
        m_entries[std::size_t(t)].right = a;
        update(t);
        first = t;
    } else {
        int b = -1;
        split(entry.left, count, first, b);
        m_entries[std::size_t(t)].left = b;
        update(t);
        rest = t;
    }
    m_entries[std::size_t(t)].up = -1;
}

int TreeOrder::merge(int a, int b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    if (m_entries[std::size_t(a)].priority > m_entries[std::size_t(b)].priority) {
        const int right = merge(m_entries[std::size_t(a)].right, b);
        m_entries[std::size_t(a)].right = right;
        update(a);
        m_entries[std::size_t(a)].up = -1;
        return a;
    }
    const int left = merge(a, m_entries[std::size_t(b)].left);
    m_entries[std::size_t(b)].left = left;
    update(b);
    m_entries[std::size_t(b)].up = -1;
    return b;
}

int TreeOrder::positionOf(int e) const
{
    int position = sizeOf(m_entries[std::size_t(e)].left);
    for (int child = e, up = m_entries[std::size_t(e)].up; up >= 0; child = up, up = m_entries[std::size_t(up)].up) {
        const Entry &parent = m_entries[std::size_t(up)];
        if (parent.right == child)
            position += sizeOf(parent.left) + 1;
    }
    return position;
}

TreeOrder::Span TreeOrder::insertLastChild(Span parent, TreeNode *node, int &index)
{
    Span span;
    span.start = make(node, true);
    span.end = make(node, false);
    const int pair = merge(span.start, span.end);
    if (parent.end < 0) {
        index = startsOf(m_root);
        m_root = merge(m_root, pair);
        return span;
    }
    int before = -1, after = -1;
    split(m_root, positionOf(parent.end), before, after);
    index = startsOf(before);
    m_root = merge(merge(before, pair), after);
    return span;
}

TreeOrder::Span TreeOrder::insertBefore(Span sibling, TreeNode *node, int &index)
{
    Span span;
    span.start = make(node, true);
    span.end = make(node, false);
    const int pair = merge(span.start, span.end);
    int before = -1, after = -1;
    split(m_root, positionOf(sibling.start), before, after);
    index = startsOf(before);
    m_root = merge(merge(before, pair), after);
    return span;
}

void TreeOrder::build(const std::vector<TreeNode *> &nodes, const std::vector<bool> &starts)
{
    clear();
    m_entries.reserve(nodes.size());
    // The treap of a sequence whose order is given: keep the right spine on a stack, and hang
    // what a new entry outranks as its left part.
    std::vector<int> spine;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const int e = make(nodes[i], starts[i]);
        int last = -1;
        while (!spine.empty() && m_entries[std::size_t(spine.back())].priority < m_entries[std::size_t(e)].priority) {
            last = spine.back();
            spine.pop_back();
        }
        m_entries[std::size_t(e)].left = last;
        if (!spine.empty())
            m_entries[std::size_t(spine.back())].right = e;
        spine.push_back(e);
    }
    if (spine.empty())
        return;
    m_root = spine.front();
    // Sizes bottom up, without recursion: children before parents.
    std::vector<int> order;
    order.reserve(m_entries.size());
    order.push_back(m_root);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Entry &entry = m_entries[std::size_t(order[i])];
        if (entry.left >= 0)
            order.push_back(entry.left);
        if (entry.right >= 0)
            order.push_back(entry.right);
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        update(*it);
    m_entries[std::size_t(m_root)].up = -1;
}

void TreeOrder::removeSubtree(Span span)
{
    const int from = positionOf(span.start);
    const int to = positionOf(span.end);
    int before = -1, middle = -1, after = -1, rest = -1;
    split(m_root, from, before, rest);
    split(rest, to - from + 1, middle, after);
    m_root = merge(before, after);
    // Without recursion: a removed subtree may hold most of the tree.
    std::vector<int> pending;
    if (middle >= 0)
        pending.push_back(middle);
    while (!pending.empty()) {
        const int e = pending.back();
        pending.pop_back();
        Entry &entry = m_entries[std::size_t(e)];
        if (entry.left >= 0)
            pending.push_back(entry.left);
        if (entry.right >= 0)
            pending.push_back(entry.right);
        entry = Entry();
        m_free.push_back(e);
    }
}

void TreeOrder::clear()
{
    m_entries.clear();
    m_free.clear();
    m_root = -1;
}

int TreeOrder::nodeCount() const
{
    return startsOf(m_root);
}

int TreeOrder::indexOf(Span span) const
{
    // Start entries before this one: those of the left part, and of every part passed on the
    // way up from the right.
    const Entry &self = m_entries[std::size_t(span.start)];
    int index = startsOf(self.left);
    for (int child = span.start, up = self.up; up >= 0; child = up, up = m_entries[std::size_t(up)].up) {
        const Entry &parent = m_entries[std::size_t(up)];
        if (parent.right == child)
            index += startsOf(parent.left) + (parent.start ? 1 : 0);
    }
    return index;
}

TreeNode *TreeOrder::nodeAt(int index) const
{
    if (index < 0 || index >= nodeCount())
        return nullptr;
    int e = m_root;
    while (e >= 0) {
        const Entry &entry = m_entries[std::size_t(e)];
        const int left = startsOf(entry.left);
        if (index < left) {
            e = entry.left;
        } else if (entry.start && index == left) {
            return entry.node;
        } else {
            index -= left + (entry.start ? 1 : 0);
            e = entry.right;
        }
    }
    return nullptr;
}

} // namespace tervelle
