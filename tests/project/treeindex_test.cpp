#include "project/projectmodel.h"
#include "project/treeindex.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace tervelle;

namespace {

// The walk order worked out the plain way: every node's children, walked recursively.
std::vector<int> walkOrder(const std::vector<std::vector<int>> &children)
{
    std::vector<int> order;
    std::vector<int> stack;
    for (int root = RootCount - 1; root >= 0; --root)
        stack.push_back(root);
    while (!stack.empty()) {
        const int node = stack.back();
        stack.pop_back();
        order.push_back(node);
        for (auto it = children[std::size_t(node)].rbegin(); it != children[std::size_t(node)].rend(); ++it)
            stack.push_back(*it);
    }
    return order;
}

TEST(TreeIndex, FindsEveryNodeWhereverChildrenAreAppended)
{
    TreeIndex index;
    std::vector<std::vector<int>> children(RootCount);
    std::mt19937 random(7);
    for (int step = 0; step < 3000; ++step) {
        // Parents anywhere in the tree so far, files of earlier groups included.
        const int parentIndex = int(random() % unsigned(index.count()));
        const int parent = walkOrder(children)[std::size_t(parentIndex)];
        const int id = index.appendChild(parentIndex);
        ASSERT_EQ(id, int(children.size()));
        children[std::size_t(parent)].push_back(id);
        children.emplace_back();
        if (step % 300 == 0 || step == 2999) {
            const std::vector<int> order = walkOrder(children);
            for (std::size_t i = 0; i < order.size(); ++i)
                ASSERT_EQ(index.nodeAt(qint64(i)), order[i]) << "index " << i << " after step " << step;
        }
    }
    EXPECT_EQ(index.nodeAt(-1), -1);
    EXPECT_EQ(index.nodeAt(index.count()), -1);
}

} // namespace
