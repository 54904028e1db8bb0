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

namespace {

// Past this many levels the end-of-walk test gives up and drops the cache: adds that follow
// a deep subtree must not cost its depth each.
constexpr int EndTestDepth = 64;

} // namespace

bool FileTree::endsCachedWalk(const TreeNode *parent) const
{
    if (!parent)
        return true;
    // A new last child ends the walk exactly when the walk's last node lies in the parent's
    // subtree.
    int steps = 0;
    for (const TreeNode *n = m_cache.empty() ? nullptr : m_cache.back(); n && steps < EndTestDepth;
         n = n->m_parent, ++steps) {
        if (n == parent)
            return true;
    }
    return false;
}

TreeNode *FileTree::append(TreeNode *parent, NodeData data)
{
    auto node = std::make_unique<TreeNode>(std::move(data));
    TreeNode *raw = node.get();
    raw->m_parent = parent;
    const bool atEnd = m_cacheValid && !m_orderKept && endsCachedWalk(parent);
    (parent ? parent->m_children : m_roots).append(std::move(node));
    ++m_count;
    int index = m_count - 1;
    if (m_orderKept)
        raw->m_span = m_order.insertLastChild(parent ? parent->m_span : TreeOrder::Span(), raw, index);
    if (m_cacheValid) {
        // The reader and most commands add at the end of the walk; keep the cache for them.
        if ((m_orderKept && std::size_t(index) == m_cache.size()) || atEnd) {
            raw->m_cachedIndex = int(m_cache.size());
            m_cache.push_back(raw);
        } else {
            dropCache();
        }
    }
    return raw;
}

TreeNode *FileTree::insert(TreeNode *parent, int row, NodeData data)
{
    ChildList &siblings = parent ? parent->m_children : m_roots;
    if (row >= siblings.count())
        return append(parent, std::move(data));
    TreeNode *next = siblings.at(row);
    auto node = std::make_unique<TreeNode>(std::move(data));
    TreeNode *raw = node.get();
    raw->m_parent = parent;
    siblings.insert(row, std::move(node));
    ++m_count;
    int index = 0;
    if (m_orderKept)
        raw->m_span = m_order.insertBefore(next->m_span, raw, index);
    // Every later index moves: the walk is made again when asked for.
    if (m_cacheValid)
        dropCache();
    return raw;
}

void FileTree::remove(TreeNode *node)
{
    int removed = 0;
    std::vector<const TreeNode *> pending{node};
    while (!pending.empty()) {
        const TreeNode *n = pending.back();
        pending.pop_back();
        ++removed;
        n->m_children.forEach([&](const TreeNode *child) { pending.push_back(child); });
    }
    if (m_orderKept)
        m_order.removeSubtree(node->m_span);
    if (m_cacheValid && std::size_t(node->m_cachedIndex) + std::size_t(removed) == m_cache.size())
        m_cache.resize(std::size_t(node->m_cachedIndex)); // the subtree ended the walk
    else
        dropCache();
    m_count -= removed;
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
    m_count = 0;
    m_order.clear();
    m_orderKept = false;
    m_cache.clear();
    m_cacheValid = true;
}

void FileTree::dropCache() const
{
    m_cacheValid = false;
    m_cache.clear();
}

template <typename Visit>
void FileTree::walk(Visit visit) const
{
    // Without recursion: chains of folders may be deep. Each frame is a node and its next slot.
    struct Frame
    {
        TreeNode *node;
        int next;
    };
    std::vector<Frame> stack;
    for (int root = 0; root < m_roots.slotCount(); ++root) {
        if (!m_roots.slot(root))
            continue;
        stack.push_back({m_roots.slot(root), 0});
        visit(stack.back().node, true);
        while (!stack.empty()) {
            Frame &top = stack.back();
            const ChildList &children = top.node->m_children;
            while (top.next < children.slotCount() && !children.slot(top.next))
                ++top.next;
            if (top.next < children.slotCount()) {
                TreeNode *child = children.slot(top.next++);
                stack.push_back({child, 0});
                visit(child, true);
            } else {
                visit(top.node, false);
                stack.pop_back();
            }
        }
    }
}

void FileTree::ensureOrder() const
{
    if (m_orderKept)
        return;
    std::vector<TreeNode *> entries;
    std::vector<bool> starts;
    entries.reserve(std::size_t(m_count) * 2);
    starts.reserve(std::size_t(m_count) * 2);
    walk([&](TreeNode *node, bool start) {
        (start ? node->m_span.start : node->m_span.end) = int(entries.size());
        entries.push_back(node);
        starts.push_back(start);
    });
    m_order.build(entries, starts);
    m_orderKept = true;
}

int FileTree::absoluteIndex(const TreeNode *node) const
{
    if (m_cacheValid)
        return node->m_cachedIndex;
    ensureOrder();
    return m_order.indexOf(node->m_span);
}

TreeNode *FileTree::nodeAt(int absoluteIndex) const
{
    if (m_cacheValid) {
        return absoluteIndex >= 0 && std::size_t(absoluteIndex) < m_cache.size() ? m_cache[std::size_t(absoluteIndex)]
                                                                                 : nullptr;
    }
    ensureOrder();
    return m_order.nodeAt(absoluteIndex);
}

const std::vector<TreeNode *> &FileTree::nodes() const
{
    if (!m_cacheValid) {
        m_cache.clear();
        m_cache.reserve(std::size_t(m_count));
        walk([this](TreeNode *node, bool start) {
            if (start) {
                node->m_cachedIndex = int(m_cache.size());
                m_cache.push_back(node);
            }
        });
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
