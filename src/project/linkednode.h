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
    LinkedNode(const NodeData &data, SharedText *sharedFolder) : TreeNode(data, sharedFolder) {}
    ~LinkedNode();
    LinkedNode(const LinkedNode &) = delete;
    LinkedNode &operator=(const LinkedNode &) = delete;

    ChildList *siblings = nullptr; // the parent's children, or the roots
    int slot = 0;                  // the position in `siblings`, holes counted
    int cachedIndex = 0;           // the absolute index while the walk cache is valid
    TreeOrder::Span span;

    // Most nodes are files without children: the list is made at the first child.
    const ChildList *childrenOrNull() const { return m_children.get(); }
    ChildList &children()
    {
        if (!m_children)
            m_children = std::make_unique<ChildList>();
        return *m_children;
    }
    std::unique_ptr<ChildList> takeChildren() { return std::move(m_children); }

private:
    std::unique_ptr<ChildList> m_children;
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
