#pragma once

// The files tree's own side of its nodes: only filetree.cpp and childlist.cpp include this.

#include "project/childlist.h"
#include "project/filetree.h"
#include "project/treeorder.h"

namespace tervelle {

// A node as FileTree holds it: the public face with the links that index it.
class LinkedNode final : public TreeNode
{
public:
    explicit LinkedNode(NodeData data) : TreeNode(std::move(data)) {}
    ~LinkedNode();
    LinkedNode(const LinkedNode &) = delete;
    LinkedNode &operator=(const LinkedNode &) = delete;

    ChildList *siblings = nullptr; // the parent's children, or the roots
    int slot = 0;                  // the position in `siblings`, holes counted
    int cachedIndex = 0;           // the absolute index while the walk cache is valid
    ChildList children;
    TreeOrder::Span span;
};

// Every TreeNode is a LinkedNode: FileTree makes no other.
inline LinkedNode *linked(TreeNode *node)
{
    return static_cast<LinkedNode *>(node);
}
inline const LinkedNode *linked(const TreeNode *node)
{
    return static_cast<const LinkedNode *>(node);
}

} // namespace tervelle
