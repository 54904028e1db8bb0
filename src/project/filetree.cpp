#include "project/filetree.h"

namespace tervelle {

TreeNode::TreeNode(NodeData data)
    : m_text(std::move(data.text)), m_imageIndex(data.imageIndex), m_selectedIndex(data.selectedIndex),
      Info(std::move(data.info))
{
}

TreeNode::~TreeNode()
{
    // Tear down without recursion: a deep chain of folders must not exhaust the stack.
    std::vector<std::unique_ptr<TreeNode>> pending = m_children.takeAll();
    while (!pending.empty()) {
        std::unique_ptr<TreeNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto &child : node->m_children.takeAll())
            pending.push_back(std::move(child));
    }
}

int TreeNode::row() const
{
    return m_siblings ? m_siblings->rowOf(this) : 0;
}

FileTree::FileTree() = default;

FileTree::~FileTree()
{
    clear();
}

TreeNode *FileTree::append(TreeNode *parent, NodeData data)
{
    auto node = std::make_unique<TreeNode>(std::move(data));
    TreeNode *raw = node.get();
    raw->m_parent = parent;
    (parent ? parent->m_children : m_roots).append(std::move(node));
    int index = 0;
    raw->m_span = m_order.insertLastChild(parent ? parent->m_span : TreeOrder::Span(), raw, index);
    if (m_cacheValid) {
        // The reader and most commands add at the end of the walk; keep the cache for them.
        if (std::size_t(index) == m_cache.size()) {
            raw->m_cachedIndex = index;
            m_cache.push_back(raw);
        } else {
            dropCache();
        }
    }
    return raw;
}

void FileTree::remove(TreeNode *node)
{
    const int before = count();
    m_order.removeSubtree(node->m_span);
    if (m_cacheValid && std::size_t(node->m_cachedIndex + before - count()) == m_cache.size())
        m_cache.resize(std::size_t(node->m_cachedIndex)); // the subtree ended the walk
    else
        dropCache();
    ChildList &siblings = node->m_parent ? node->m_parent->m_children : m_roots;
    // Destroyed here, after the order no longer refers to it.
    siblings.take(node);
}

void FileTree::rename(TreeNode *node, const QString &text)
{
    const QString old = node->m_text;
    node->m_text = text;
    (node->m_parent ? node->m_parent->m_children : m_roots).renamed(node, old);
}

void FileTree::clear()
{
    // Roots first, so that each root's own teardown runs without recursion.
    std::vector<std::unique_ptr<TreeNode>> roots = m_roots.takeAll();
    roots.clear();
    m_order.clear();
    m_cache.clear();
    m_cacheValid = true;
}

void FileTree::dropCache() const
{
    m_cacheValid = false;
    m_cache.clear();
}

int FileTree::absoluteIndex(const TreeNode *node) const
{
    return m_cacheValid ? node->m_cachedIndex : m_order.indexOf(node->m_span);
}

TreeNode *FileTree::nodeAt(int absoluteIndex) const
{
    if (m_cacheValid) {
        return absoluteIndex >= 0 && std::size_t(absoluteIndex) < m_cache.size() ? m_cache[std::size_t(absoluteIndex)]
                                                                                 : nullptr;
    }
    return m_order.nodeAt(absoluteIndex);
}

const std::vector<TreeNode *> &FileTree::nodes() const
{
    if (!m_cacheValid) {
        m_cache.clear();
        m_cache.reserve(std::size_t(count()));
        m_order.collect(m_cache);
        for (std::size_t i = 0; i < m_cache.size(); ++i)
            m_cache[i]->m_cachedIndex = int(i);
        m_cacheValid = true;
    }
    return m_cache;
}

TreeNode *FileTree::fileChildNamed(const TreeNode *parent, const QString &name) const
{
    return childrenOf(parent).find(name, ChildList::Match::File);
}

TreeNode *FileTree::folderChildNamed(const TreeNode *parent, const QString &name) const
{
    return childrenOf(parent).find(name, ChildList::Match::Folder);
}

TreeNode *FileTree::childNamed(const TreeNode *parent, const QString &name) const
{
    return childrenOf(parent).find(name, ChildList::Match::Any);
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
