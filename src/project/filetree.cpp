#include "project/filetree.h"

#include "project/linkednode.h"

namespace tervelle {

struct FileTree::Index
{
    const ChildList &childrenOf(const TreeNode *parent) const
    {
        static const ChildList none;
        if (!parent)
            return roots;
        const ChildList *children = linked(parent)->childrenOrNull();
        return children ? *children : none;
    }
    ChildList &childrenOf(TreeNode *parent) { return parent ? linked(parent)->children() : roots; }
    // Whether a new last child of `parent` ends the cached walk.
    bool endsCachedWalk(const TreeNode *parent) const;
    void dropCache();
    void ensureOrder();
    // Visits the walk with an end mark after each node's last descendant.
    template <typename Visit>
    void walk(Visit visit) const;

    ChildList roots;
    int count = 0;
    std::vector<TreeNode *> cache;
    bool cacheValid = true;
    TreeOrder order;
    bool orderKept = false;
    // The folder part of the last file source stored: files added one after another from one
    // folder share it.
    SharedText sharedFolder;
};

TreeNode::TreeNode(const NodeData &data, SharedText *sharedFolder)
    : m_text(data.text), m_imageIndex(data.imageIndex), m_kind(qint8(data.info.Kind))
{
    if (isFile())
        setSource(data.info.Path, sharedFolder);
    else if (!isFolder())
        m_source = SharedText(data.info.Path);
}

TreeNode::~TreeNode() = default;

void TreeNode::setSource(const QString &path, SharedText *sharedFolder)
{
    m_sourceEndsWithText = m_text.size() > 0 && m_text.isSuffixOf(path);
    if (!m_sourceEndsWithText) {
        m_source = SharedText(path);
        return;
    }
    const QStringView folder = QStringView(path).chopped(m_text.size());
    if (*sharedFolder != folder)
        *sharedFolder = SharedText(folder);
    m_source = *sharedFolder;
}

QString TreeNode::SourcePath() const
{
    if (!m_sourceEndsWithText)
        return m_source.toString();
    QString path;
    appendSourcePath(path);
    return path;
}

void TreeNode::appendSourcePath(QString &path) const
{
    m_source.appendTo(path);
    if (m_sourceEndsWithText)
        m_text.appendTo(path);
}

TTreeNodeInfo TreeNode::Info() const
{
    if (!isFolder())
        return TTreeNodeInfo{SourcePath(), m_kind};
    // The names from the root down, each followed by "\", after the root's path.
    std::vector<const TreeNode *> chain;
    const TreeNode *top = this;
    for (; top->m_parent && top->isFolder(); top = top->m_parent)
        chain.push_back(top);
    QString path = top->isFolder() ? QString() : top->Info().Path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path += (*it)->Text() + QLatin1Char('\\');
    return TTreeNodeInfo{path, m_kind};
}

LinkedNode::~LinkedNode()
{
    // Tear down without recursion: a deep chain of folders must not exhaust the stack.
    if (!m_children)
        return;
    std::vector<std::unique_ptr<LinkedNode>> pending = m_children->takeAll();
    while (!pending.empty()) {
        std::unique_ptr<LinkedNode> node = std::move(pending.back());
        pending.pop_back();
        if (const std::unique_ptr<ChildList> children = node->takeChildren()) {
            for (auto &child : children->takeAll())
                pending.push_back(std::move(child));
        }
    }
}

int TreeNode::row() const
{
    const LinkedNode *self = linked(this);
    return self->siblings ? self->siblings->rowOf(self) : 0;
}

int TreeNode::childCount() const
{
    const ChildList *children = linked(this)->childrenOrNull();
    return children ? children->count() : 0;
}

TreeNode *TreeNode::child(int row) const
{
    const ChildList *children = linked(this)->childrenOrNull();
    return children ? children->at(row) : nullptr;
}

// A project may hold a million nodes: every byte here counts a megabyte.
static_assert(sizeof(LinkedNode) <= 72, "a tree node stays small");

FileTree::FileTree() : m_index(std::make_unique<Index>())
{}

FileTree::~FileTree()
{
    clear();
}

namespace {

// Past this many levels the end-of-walk test gives up and drops the cache: adds that follow
// a deep subtree must not cost its depth each.
constexpr int EndTestDepth = 64;

} // namespace

bool FileTree::Index::endsCachedWalk(const TreeNode *parent) const
{
    if (!parent)
        return true;
    // A new last child ends the walk exactly when the walk's last node lies in the parent's
    // subtree.
    int steps = 0;
    for (const TreeNode *n = cache.empty() ? nullptr : cache.back(); n && steps < EndTestDepth;
         n = n->m_parent, ++steps) {
        if (n == parent)
            return true;
    }
    return false;
}

TreeNode *FileTree::append(TreeNode *parent, const NodeData &data)
{
    Index &x = *m_index;
    auto node = std::make_unique<LinkedNode>(data, &x.sharedFolder);
    LinkedNode *raw = node.get();
    raw->m_parent = parent;
    const bool atEnd = x.cacheValid && !x.orderKept && x.endsCachedWalk(parent);
    x.childrenOf(parent).append(std::move(node));
    ++x.count;
    int index = x.count - 1;
    if (x.orderKept)
        raw->span = x.order.insertLastChild(parent ? linked(parent)->span : TreeOrder::Span(), raw, index);
    if (x.cacheValid) {
        // The reader and most commands add at the end of the walk; keep the cache for them.
        if ((x.orderKept && std::size_t(index) == x.cache.size()) || atEnd) {
            raw->cachedIndex = int(x.cache.size());
            x.cache.push_back(raw);
        } else {
            x.dropCache();
        }
    }
    return raw;
}

TreeNode *FileTree::insert(TreeNode *parent, int row, const NodeData &data)
{
    Index &x = *m_index;
    ChildList &siblings = x.childrenOf(parent);
    if (row >= siblings.count())
        return append(parent, data);
    const LinkedNode *next = siblings.at(row);
    auto node = std::make_unique<LinkedNode>(data, &x.sharedFolder);
    LinkedNode *raw = node.get();
    raw->m_parent = parent;
    siblings.insert(row, std::move(node));
    ++x.count;
    int index = 0;
    if (x.orderKept)
        raw->span = x.order.insertBefore(next->span, raw, index);
    // Every later index moves: the walk is made again when asked for.
    if (x.cacheValid)
        x.dropCache();
    return raw;
}

void FileTree::remove(TreeNode *node)
{
    Index &x = *m_index;
    LinkedNode *gone = linked(node);
    int removed = 0;
    std::vector<const LinkedNode *> pending{gone};
    while (!pending.empty()) {
        const LinkedNode *n = pending.back();
        pending.pop_back();
        ++removed;
        if (const ChildList *children = n->childrenOrNull())
            children->forEach([&](const LinkedNode *child) { pending.push_back(child); });
    }
    if (x.orderKept)
        x.order.removeSubtree(gone->span);
    if (x.cacheValid && std::size_t(gone->cachedIndex) + std::size_t(removed) == x.cache.size())
        x.cache.resize(std::size_t(gone->cachedIndex)); // the subtree ended the walk
    else
        x.dropCache();
    x.count -= removed;
    // Destroyed here, after the order no longer refers to it.
    x.childrenOf(gone->m_parent).take(gone);
}

void FileTree::rename(TreeNode *node, const QString &text)
{
    const QString old = node->Text();
    if (node->m_sourceEndsWithText) {
        // The source stays what it was, whatever the node is called now.
        node->m_source = SharedText(node->SourcePath());
        node->m_sourceEndsWithText = false;
    }
    node->m_text = PackedText(text);
    m_index->childrenOf(node->m_parent).renamed(linked(node), old);
}

void FileTree::setInfo(TreeNode *node, const TTreeNodeInfo &info)
{
    node->m_kind = qint8(info.Kind);
    if (node->isFile())
        node->setSource(info.Path, &m_index->sharedFolder);
    else if (!node->isFolder())
        node->m_source = SharedText(info.Path);
}

void FileTree::setKind(TreeNode *node, NodeKind kind)
{
    node->m_kind = qint8(kind);
}

void FileTree::swap(FileTree &other) noexcept
{
    m_index.swap(other.m_index);
}

void FileTree::clear()
{
    Index &x = *m_index;
    // Roots first, so that each root's own teardown runs without recursion.
    std::vector<std::unique_ptr<LinkedNode>> roots = x.roots.takeAll();
    roots.clear();
    x.count = 0;
    x.order.clear();
    x.orderKept = false;
    x.cache.clear();
    x.cacheValid = true;
}

int FileTree::topLevelCount() const
{
    return m_index->roots.count();
}

TreeNode *FileTree::topLevel(int row) const
{
    return m_index->roots.at(row);
}

int FileTree::count() const
{
    return m_index->count;
}

void FileTree::Index::dropCache()
{
    cacheValid = false;
    cache.clear();
}

template <typename Visit>
void FileTree::Index::walk(Visit visit) const
{
    // Without recursion: chains of folders may be deep. Each frame is a node and its next slot.
    struct Frame
    {
        LinkedNode *node;
        int next;
    };
    std::vector<Frame> stack;
    for (int root = 0; root < roots.slotCount(); ++root) {
        if (!roots.slot(root))
            continue;
        stack.push_back({roots.slot(root), 0});
        visit(stack.back().node, true);
        while (!stack.empty()) {
            Frame &top = stack.back();
            const ChildList &children = childrenOf(top.node);
            while (top.next < children.slotCount() && !children.slot(top.next))
                ++top.next;
            if (top.next < children.slotCount()) {
                LinkedNode *child = children.slot(top.next++);
                stack.push_back({child, 0});
                visit(child, true);
            } else {
                visit(top.node, false);
                stack.pop_back();
            }
        }
    }
}

void FileTree::Index::ensureOrder()
{
    if (orderKept)
        return;
    std::vector<TreeNode *> entries;
    std::vector<bool> starts;
    entries.reserve(std::size_t(count) * 2);
    starts.reserve(std::size_t(count) * 2);
    walk([&](LinkedNode *node, bool start) {
        (start ? node->span.start : node->span.end) = int(entries.size());
        entries.push_back(node);
        starts.push_back(start);
    });
    order.build(entries, starts);
    orderKept = true;
}

int FileTree::absoluteIndex(const TreeNode *node) const
{
    Index &x = *m_index;
    if (x.cacheValid)
        return linked(node)->cachedIndex;
    x.ensureOrder();
    return x.order.indexOf(linked(node)->span);
}

TreeNode *FileTree::nodeAt(int absoluteIndex) const
{
    Index &x = *m_index;
    if (x.cacheValid) {
        return absoluteIndex >= 0 && std::size_t(absoluteIndex) < x.cache.size() ? x.cache[std::size_t(absoluteIndex)]
                                                                                 : nullptr;
    }
    x.ensureOrder();
    return x.order.nodeAt(absoluteIndex);
}

const std::vector<TreeNode *> &FileTree::nodes() const
{
    Index &x = *m_index;
    if (!x.cacheValid) {
        x.cache.clear();
        x.cache.reserve(std::size_t(x.count));
        x.walk([&x](LinkedNode *node, bool start) {
            if (start) {
                node->cachedIndex = int(x.cache.size());
                x.cache.push_back(node);
            }
        });
        x.cacheValid = true;
    }
    return x.cache;
}

TreeNode *FileTree::fileChildNamed(const TreeNode *parent, const QString &name) const
{
    return m_index->childrenOf(parent).find(name, ChildList::Match::File);
}

TreeNode *FileTree::folderChildNamed(const TreeNode *parent, const QString &name) const
{
    return m_index->childrenOf(parent).find(name, ChildList::Match::Folder);
}

TreeNode *FileTree::childNamed(const TreeNode *parent, const QString &name) const
{
    return m_index->childrenOf(parent).find(name, ChildList::Match::Any);
}

TTreeNodeInfo InfoWalk::info(const TreeNode *node)
{
    if (node->isFile())
        return node->Info();
    while (!m_chain.empty() && m_chain.back().first != node->parent())
        m_chain.pop_back();
    TTreeNodeInfo info;
    if (node->isFolder() && !m_chain.empty())
        info = TTreeNodeInfo{m_chain.back().second + node->Text() + QLatin1Char('\\'), FolderKind};
    else
        info = node->Info();
    m_chain.emplace_back(node, info.Path);
    return info;
}

QString NodeTreePath(const TreeNode *node)
{
    QString path = node->Text();
    for (const TreeNode *above = node->parent(); above; above = above->parent())
        path.prepend(above->Text() + QLatin1Char('\\'));
    return path;
}

} // namespace tervelle
