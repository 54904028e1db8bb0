#include "project/filetree.h"

#include "project/filenames.h"

#include <QStringList>

#include <malloc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_map>
#include <vector>

using namespace tervelle;

namespace {

NodeData folder(const QString &name)
{
    return NodeData{name, FolderImage, {}};
}
NodeData file(const QString &name)
{
    return NodeData{name, FirstFileImage, {}};
}

// The same forest kept the plain way, to hold the indexed tree against.
class ReferenceForest
{
public:
    std::vector<TreeNode *> &childrenOf(TreeNode *parent) { return parent ? m_children[parent] : m_top; }

    void add(TreeNode *parent, TreeNode *node)
    {
        childrenOf(parent).push_back(node);
        m_parent[node] = parent;
        m_all.push_back(node);
    }

    void remove(TreeNode *node)
    {
        auto &siblings = childrenOf(m_parent[node]);
        siblings.erase(std::find(siblings.begin(), siblings.end(), node));
        std::vector<TreeNode *> gone{node};
        for (std::size_t i = 0; i < gone.size(); ++i) {
            for (TreeNode *child : m_children[gone[i]])
                gone.push_back(child);
        }
        for (TreeNode *n : gone) {
            m_all.erase(std::find(m_all.begin(), m_all.end(), n));
            m_children.erase(n);
            m_parent.erase(n);
        }
    }

    std::vector<TreeNode *> walk()
    {
        std::vector<TreeNode *> order;
        std::vector<TreeNode *> stack(m_top.rbegin(), m_top.rend());
        while (!stack.empty()) {
            TreeNode *n = stack.back();
            stack.pop_back();
            order.push_back(n);
            const auto &children = m_children[n];
            stack.insert(stack.end(), children.rbegin(), children.rend());
        }
        return order;
    }

    TreeNode *firstNamed(TreeNode *parent, const QString &name, bool files)
    {
        for (TreeNode *child : childrenOf(parent)) {
            if ((files ? child->isFile() : child->isFolder()) && sameFileName(child->Text(), name))
                return child;
        }
        return nullptr;
    }

    const std::vector<TreeNode *> &all() const { return m_all; }

private:
    std::vector<TreeNode *> m_top;
    std::unordered_map<TreeNode *, std::vector<TreeNode *>> m_children;
    std::unordered_map<TreeNode *, TreeNode *> m_parent;
    std::vector<TreeNode *> m_all;
};

// Random adds anywhere, removals of subtrees, renames; after each step the indexes, rows and
// name lookups must agree with the plain forest. Names repeat in varied letter case, and
// folders grow past the size where children are indexed by name and removals leave holes.
// With lookups after every change the tree keeps its balanced order; without them it only
// ever rebuilds its cached list.
class RandomChanges : public ::testing::TestWithParam<bool>
{
};

TEST_P(RandomChanges, AgreeWithAPlainForest)
{
    const bool lookups = GetParam();
    const QStringList names{"a", "A", "b.xan", "B.XAN", QString::fromUtf8("ü"), QString::fromUtf8("Ü"), "c", "data"};
    std::mt19937 random(20261207);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };

    FileTree tree;
    ReferenceForest reference;
    for (int i = 0; i < 3; ++i)
        reference.add(nullptr, tree.append(nullptr, folder(QStringLiteral("root%1").arg(i))));

    for (int step = 0; step < 4000; ++step) {
        const auto &all = reference.all();
        TreeNode *target = all[std::size_t(pick(int(all.size())))];
        const int action = pick(10);
        if (action < 6) {
            // Adds favour a few folders, so that some hold hundreds of children.
            TreeNode *parent = target->isFolder() ? target : target->parent();
            if (pick(3) == 0)
                parent = tree.topLevel(0)->childCount() > 0 && pick(2) ? tree.topLevel(0) : tree.topLevel(1);
            const QString &name = names[pick(int(names.size()))];
            reference.add(parent, tree.append(parent, pick(4) == 0 ? folder(name) : file(name)));
        } else if (action < 9 && target->parent()) {
            reference.remove(target);
            tree.remove(target);
        } else {
            tree.rename(target, names[pick(int(names.size()))]);
        }

        // Spot checks through the balanced order, before anything rebuilds the cached list.
        const std::vector<TreeNode *> walk = reference.walk();
        ASSERT_EQ(tree.count(), int(walk.size()));
        for (int probe = 0; lookups && probe < 5; ++probe) {
            const int index = pick(int(walk.size()));
            ASSERT_EQ(tree.absoluteIndex(walk[std::size_t(index)]), index) << "step " << step;
            ASSERT_EQ(tree.nodeAt(index), walk[std::size_t(index)]) << "step " << step;
        }
        TreeNode *parent = walk[std::size_t(pick(int(walk.size())))];
        const auto &children = reference.childrenOf(parent);
        ASSERT_EQ(parent->childCount(), int(children.size()));
        for (std::size_t row = 0; row < children.size(); ++row) {
            ASSERT_EQ(children[row]->row(), int(row)) << "step " << step;
            ASSERT_EQ(parent->child(int(row)), children[row]) << "step " << step;
        }
        for (const QString &name : names) {
            ASSERT_EQ(tree.fileChildNamed(parent, name), reference.firstNamed(parent, name, true)) << "step " << step;
            ASSERT_EQ(tree.folderChildNamed(parent, name), reference.firstNamed(parent, name, false))
                << "step " << step;
        }
        if (step % (lookups ? 50 : 7) == 0) {
            ASSERT_EQ(tree.nodes(), walk) << "step " << step;
            for (std::size_t i = 0; i < walk.size(); ++i)
                ASSERT_EQ(tree.absoluteIndex(walk[i]), int(i));
        }
    }
    EXPECT_EQ(tree.nodeAt(-1), nullptr);
    EXPECT_EQ(tree.nodeAt(tree.count()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(FileTree, RandomChanges, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "WithLookups" : "WithoutLookups"; });

TEST(FileTree, RowsAndNamesSurviveRemovalsFromTheFront)
{
    // Removing first to last leaves holes, then compacts them; rows, lookups and appends must
    // hold across both.
    FileTree tree;
    TreeNode *top = tree.append(nullptr, folder("top"));
    std::vector<TreeNode *> kept;
    kept.reserve(300);
    for (int i = 0; i < 300; ++i)
        kept.push_back(tree.append(top, file(QStringLiteral("f%1").arg(i))));
    for (int i = 0; i < 250; ++i) {
        tree.remove(kept.front());
        kept.erase(kept.begin());
        if (i % 40 == 0)
            kept.push_back(tree.append(top, file(QStringLiteral("g%1").arg(i))));
        ASSERT_EQ(top->childCount(), int(kept.size()));
        ASSERT_EQ(top->child(0), kept.front());
        ASSERT_EQ(kept.back()->row(), int(kept.size()) - 1);
        ASSERT_EQ(tree.absoluteIndex(kept.back()), int(kept.size()));
    }
    for (std::size_t row = 0; row < kept.size(); ++row)
        ASSERT_EQ(top->child(int(row)), kept[row]);
    EXPECT_EQ(tree.fileChildNamed(top, "F299"), kept[kept.size() - 8]);
    EXPECT_EQ(tree.fileChildNamed(top, "f0"), nullptr);
}

TEST(FileTree, AppendsInWalkOrderKeepEveryIndex)
{
    // The project file reader appends in walk order and looks each parent up by its index.
    FileTree tree;
    TreeNode *root = tree.append(nullptr, folder("root"));
    TreeNode *current = root;
    for (int i = 1; i < 2000; ++i) {
        TreeNode *parent = tree.nodeAt(i % 50 == 0 ? 0 : tree.absoluteIndex(current));
        TreeNode *node = tree.append(parent, folder(QString::number(i)));
        ASSERT_EQ(tree.absoluteIndex(node), i);
        ASSERT_EQ(tree.nodeAt(i), node);
        if (i % 10 == 0)
            current = node;
    }
    EXPECT_EQ(tree.count(), 2000);
    EXPECT_EQ(tree.nodes().size(), 2000u);
}

TEST(FileTree, DeepChainIsBuiltIndexedAndFreedWithoutRecursion)
{
    auto tree = std::make_unique<FileTree>();
    TreeNode *parent = nullptr;
    for (int i = 0; i < 200000; ++i)
        parent = tree->append(parent, folder("d"));
    // A file added high up lands after the whole chain.
    TreeNode *late = tree->append(tree->topLevel(0), file("late"));
    EXPECT_EQ(tree->absoluteIndex(parent), 199999);
    EXPECT_EQ(tree->absoluteIndex(late), 200000);
    tree->remove(tree->topLevel(0)->child(0));
    EXPECT_EQ(tree->count(), 2);
    EXPECT_EQ(tree->absoluteIndex(late), 1);
    tree.reset();
}

} // namespace

// A project may hold a million files: what one file node costs the tree, its name and its source
// (which shares its folder with its neighbours') included, stays far below the 50 bytes or so
// of its line in the file times four.
TEST(FileTree, AFileNodeCostsUnderTwoHundredBytes)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own books";
#else
    constexpr int Files = 100000;
    FileTree tree;
    TreeNode *top = tree.append(nullptr, NodeData{QStringLiteral("Files"), RootImage, {"{files}\\", RootKind}});
    TreeNode *pages = tree.append(top, folder(QStringLiteral("pages")));
    tree.nodes();
    // Large lists are mapped apart from the heap: both count.
    const auto used = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
    const std::size_t before = used();
    for (int n = 0; n < Files; ++n) {
        const QString name = QStringLiteral("page%1.htm").arg(n);
        tree.append(pages,
                    NodeData{name,
                             FirstFileImage,
                             {QStringLiteral("/packs/source/chain%1/").arg(n / 1000) + name, FileMissingKind}});
    }
    tree.nodes();
    const double perNode = double(used() - before) / Files;
    EXPECT_LT(perNode, 200) << perNode << " bytes a file node";
    EXPECT_EQ(tree.nodeAt(2 + 4321)->Info().Path, QStringLiteral("/packs/source/chain4/page4321.htm"));
#endif
}
