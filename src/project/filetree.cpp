#include "project/filetree.h"

namespace tervelle {

TreeNode::~TreeNode()
{
    // Tear down without recursion: a deep chain of folders must not exhaust the stack.
    std::vector<std::unique_ptr<TreeNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<TreeNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto &child : node->m_children)
            pending.push_back(std::move(child));
        node->m_children.clear();
    }
}

FileTree::FileTree() = default;
FileTree::~FileTree() = default;

bool FileTree::appendsAtEnd(const TreeNode *parent) const
{
    if (!m_orderValid)
        return false;
    if (!parent || m_order.empty())
        return true;
    // The new last child lands at the end of the walk exactly when the walk's last node lies in
    // the parent's subtree.
    for (const TreeNode *n = m_order.back(); n; n = n->m_parent) {
        if (n == parent)
            return true;
    }
    return false;
}

TreeNode *FileTree::append(TreeNode *parent, std::unique_ptr<TreeNode> node)
{
    const bool atEnd = appendsAtEnd(parent);
    TreeNode *raw = node.get();
    raw->m_parent = parent;
    auto &siblings = parent ? parent->m_children : m_roots;
    raw->m_row = int(siblings.size());
    siblings.push_back(std::move(node));
    if (atEnd) {
        raw->m_absoluteIndex = int(m_order.size());
        m_order.push_back(raw);
    } else {
        m_orderValid = false;
    }
    return raw;
}

void FileTree::remove(TreeNode *node)
{
    auto &siblings = node->m_parent ? node->m_parent->m_children : m_roots;
    const int row = node->m_row;
    siblings.erase(siblings.begin() + row);
    for (std::size_t i = std::size_t(row); i < siblings.size(); ++i)
        siblings[i]->m_row = int(i);
    m_orderValid = false;
}

void FileTree::clear()
{
    m_roots.clear();
    m_order.clear();
    m_orderValid = true;
}

void FileTree::rebuildOrder() const
{
    m_order.clear();
    std::vector<TreeNode *> stack;
    for (auto it = m_roots.rbegin(); it != m_roots.rend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        TreeNode *node = stack.back();
        stack.pop_back();
        node->m_absoluteIndex = int(m_order.size());
        m_order.push_back(node);
        for (auto it = node->m_children.rbegin(); it != node->m_children.rend(); ++it)
            stack.push_back(it->get());
    }
    m_orderValid = true;
}

const std::vector<TreeNode *> &FileTree::nodes() const
{
    if (!m_orderValid)
        rebuildOrder();
    return m_order;
}

int FileTree::count() const
{
    return int(nodes().size());
}

int FileTree::absoluteIndex(const TreeNode *node) const
{
    if (!m_orderValid)
        rebuildOrder();
    return node->m_absoluteIndex;
}

TreeNode *FileTree::nodeAt(int absoluteIndex) const
{
    const auto &all = nodes();
    if (absoluteIndex < 0 || std::size_t(absoluteIndex) >= all.size())
        return nullptr;
    return all[std::size_t(absoluteIndex)];
}

bool SameNodeName(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'a' && x <= u'z')
            x = char16_t(x - u'a' + u'A');
        if (y >= u'a' && y <= u'z')
            y = char16_t(y - u'a' + u'A');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace tervelle
