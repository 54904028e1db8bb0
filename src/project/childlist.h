#pragma once

#include <QString>

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

namespace tervelle {

class LinkedNode;

// The children of one tree node, in order.
//
// A removed child leaves a hole instead of moving every later sibling; while holes exist, a
// Fenwick tree over the slots turns slots into rows and back in O(log n), and the slots are
// compacted once the holes outnumber the children. A list with many children also keeps a
// hash of the names as Windows compares them (fileNameHash), so that the name test before each add does
// not scan the siblings.
class ChildList
{
public:
    enum class Match { File, Folder, Any };

    ChildList();
    ~ChildList();
    ChildList(const ChildList &) = delete;
    ChildList &operator=(const ChildList &) = delete;

    int count() const { return m_live; }
    LinkedNode *at(int row) const;
    int rowOf(const LinkedNode *child) const;

    // Slots in order, some of them null where a child was removed.
    int slotCount() const { return int(m_slots.size()); }
    LinkedNode *slot(int index) const { return m_slots[std::size_t(index)].get(); }

    template <typename Visit>
    void forEach(Visit visit) const
    {
        for (const auto &slot : m_slots) {
            if (slot)
                visit(slot.get());
        }
    }

    LinkedNode *append(std::unique_ptr<LinkedNode> node);
    // Puts a child at `row`, moving the later ones down: O(children), for undoing a removal.
    LinkedNode *insert(int row, std::unique_ptr<LinkedNode> node);
    std::unique_ptr<LinkedNode> take(LinkedNode *child);
    std::vector<std::unique_ptr<LinkedNode>> takeAll();
    // Keeps the name index true when a child's text changes from `oldText`.
    void renamed(LinkedNode *child, const QString &oldText);

    // The first child of that kind whose text Windows takes for `name` (sameFileName).
    LinkedNode *find(const QString &name, Match match) const;

private:
    using NameIndex = std::unordered_multimap<std::size_t, LinkedNode *>;

    void compact();
    void buildFenwick();
    void addToFenwick(int slot, int delta);
    int liveBefore(int slot) const;
    void indexName(LinkedNode *child);
    void unindexName(LinkedNode *child, const QString &text);

    std::vector<std::unique_ptr<LinkedNode>> m_slots;
    std::vector<int> m_fenwick; // 1-based; empty while no slot is a hole
    int m_live = 0;
    mutable std::unique_ptr<NameIndex> m_names; // made at the first lookup in a long list
};

} // namespace tervelle
