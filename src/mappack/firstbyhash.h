#pragma once

#include <QtGlobal>

#include <algorithm>
#include <vector>

namespace tervelle {

// The first of many numbered items to have each key, keeping for an item only its key's hash
// and its number: the key is worked out again, from the item, only where two hashes meet. A
// pack of a million files would otherwise keep a million keys beside the tree.
class FirstByHash
{
public:
    // Room for `count` items from the start, a quarter of it free: a table that grew would hold
    // its old slots beside the new ones for a while.
    explicit FirstByHash(std::size_t count) : m_slots(std::max<std::size_t>(1024, count + count / 3 + 1)) {}

    // The first item claimed before whose key is that of `item` (`sameKey(number)` tells), or
    // -1 when there is none and `item` is now the first. At most `count` items are claimed.
    template <typename SameKey>
    int claim(quint32 hash, int item, const SameKey &sameKey)
    {
        for (std::size_t at = slotOf(hash);; at = at + 1 == m_slots.size() ? 0 : at + 1) {
            Slot &slot = m_slots[at];
            if (slot.item < 0) {
                slot = {hash, item};
                return -1;
            }
            if (slot.hash == hash && sameKey(slot.item))
                return slot.item;
        }
    }

private:
    struct Slot
    {
        quint32 hash = 0;
        int item = -1;
    };

    // Spread over any number of slots, so the table need not be a power of two.
    std::size_t slotOf(quint32 hash) const { return std::size_t((quint64(hash) * m_slots.size()) >> 32); }

    std::vector<Slot> m_slots;
};

} // namespace tervelle
