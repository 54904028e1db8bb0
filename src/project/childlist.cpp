#include "project/childlist.h"

#include "project/filenames.h"
#include "project/linkednode.h"

namespace tervelle {

namespace {

// Below this many slots a scan is cheaper than keeping a hash.
constexpr std::size_t IndexedFrom = 16;
// Compaction waits for this many holes at least, so that a short list is not copied per removal.
constexpr std::size_t CompactFrom = 32;

bool matches(const LinkedNode *node, ChildList::Match match)
{
    switch (match) {
    case ChildList::Match::File: return node->isFile();
    case ChildList::Match::Folder: return node->isFolder();
    case ChildList::Match::Any: return true;
    }
    return false;
}

} // namespace

ChildList::ChildList() = default;
ChildList::~ChildList() = default;

LinkedNode *ChildList::at(int row) const
{
    if (row < 0 || row >= m_live)
        return nullptr;
    if (m_fenwick.empty())
        return m_slots[std::size_t(row)].get();
    // The slot holding the (row + 1)-th child: descend the Fenwick tree.
    const int n = int(m_slots.size());
    int step = 1;
    while (step * 2 <= n)
        step *= 2;
    int position = 0;
    int remaining = row + 1;
    for (; step > 0; step /= 2) {
        if (position + step <= n && m_fenwick[std::size_t(position) + std::size_t(step)] < remaining) {
            position += step;
            remaining -= m_fenwick[std::size_t(position)];
        }
    }
    return m_slots[std::size_t(position)].get();
}

int ChildList::rowOf(const LinkedNode *child) const
{
    return m_fenwick.empty() ? child->slot : liveBefore(child->slot);
}

int ChildList::liveBefore(int slot) const
{
    int sum = 0;
    for (int i = slot; i > 0; i -= i & -i)
        sum += m_fenwick[std::size_t(i)];
    return sum;
}

void ChildList::addToFenwick(int slot, int delta)
{
    const int n = int(m_slots.size());
    for (int i = slot + 1; i <= n; i += i & -i)
        m_fenwick[std::size_t(i)] += delta;
}

void ChildList::buildFenwick()
{
    const std::size_t n = m_slots.size();
    m_fenwick.assign(n + 1, 0);
    for (std::size_t i = 1; i <= n; ++i) {
        m_fenwick[i] += m_slots[i - 1] ? 1 : 0;
        const std::size_t next = i + (i & (~i + 1));
        if (next <= n)
            m_fenwick[next] += m_fenwick[i];
    }
}

LinkedNode *ChildList::append(std::unique_ptr<LinkedNode> node)
{
    LinkedNode *raw = node.get();
    raw->slot = int(m_slots.size());
    raw->siblings = this;
    m_slots.push_back(std::move(node));
    ++m_live;
    if (!m_fenwick.empty()) {
        // The new entry covers the slots (i - lowbit(i), i]; all but itself are there already.
        const int i = raw->slot + 1;
        m_fenwick.push_back(1 + liveBefore(i - 1) - liveBefore(i - (i & -i)));
    }
    if (m_names)
        indexName(raw);
    return raw;
}

LinkedNode *ChildList::insert(int row, std::unique_ptr<LinkedNode> node)
{
    if (row >= m_live)
        return append(std::move(node));
    if (!m_fenwick.empty())
        compact();
    LinkedNode *raw = node.get();
    raw->siblings = this;
    m_slots.insert(m_slots.begin() + row, std::move(node));
    for (std::size_t slot = std::size_t(row); slot < m_slots.size(); ++slot)
        m_slots[slot]->slot = int(slot);
    ++m_live;
    if (m_names)
        indexName(raw);
    return raw;
}

std::unique_ptr<LinkedNode> ChildList::take(LinkedNode *child)
{
    const std::size_t slot = std::size_t(child->slot);
    if (m_names)
        unindexName(child, child->Text());
    std::unique_ptr<LinkedNode> taken = std::move(m_slots[slot]);
    --m_live;
    if (slot + 1 == m_slots.size()) {
        // The last child, or a hole run at the end: nothing after it needs to change.
        m_slots.pop_back();
        while (!m_slots.empty() && !m_slots.back())
            m_slots.pop_back();
        if (m_slots.size() == std::size_t(m_live))
            m_fenwick.clear();
        else
            m_fenwick.resize(m_slots.size() + 1);
    } else {
        if (m_fenwick.empty()) {
            m_slots[slot] = nullptr;
            buildFenwick();
        } else {
            addToFenwick(int(slot), -1);
        }
        const std::size_t holes = m_slots.size() - std::size_t(m_live);
        if (holes >= CompactFrom && holes > std::size_t(m_live))
            compact();
    }
    return taken;
}

std::vector<std::unique_ptr<LinkedNode>> ChildList::takeAll()
{
    std::vector<std::unique_ptr<LinkedNode>> all;
    all.reserve(std::size_t(m_live));
    for (auto &slot : m_slots) {
        if (slot)
            all.push_back(std::move(slot));
    }
    m_slots.clear();
    m_fenwick.clear();
    m_live = 0;
    m_names.reset();
    return all;
}

void ChildList::compact()
{
    std::size_t to = 0;
    for (std::size_t from = 0; from < m_slots.size(); ++from) {
        if (!m_slots[from])
            continue;
        m_slots[from]->slot = int(to);
        if (to != from)
            m_slots[to] = std::move(m_slots[from]);
        ++to;
    }
    m_slots.resize(to);
    m_fenwick.clear();
}

void ChildList::indexName(LinkedNode *child)
{
    m_names->emplace(fileNameHash(child->Text()), child);
}

void ChildList::unindexName(LinkedNode *child, const QString &text)
{
    auto range = m_names->equal_range(fileNameHash(text));
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == child) {
            m_names->erase(it);
            return;
        }
    }
}

void ChildList::renamed(LinkedNode *child, const QString &oldText)
{
    if (!m_names)
        return;
    unindexName(child, oldText);
    indexName(child);
}

LinkedNode *ChildList::find(const QString &name, Match match) const
{
    if (!m_names && m_slots.size() < IndexedFrom) {
        for (const auto &slot : m_slots) {
            if (slot && matches(slot.get(), match) && sameFileName(slot->Text(), name))
                return slot.get();
        }
        return nullptr;
    }
    if (!m_names) {
        m_names = std::make_unique<NameIndex>();
        m_names->reserve(m_slots.size());
        for (const auto &slot : m_slots) {
            if (slot)
                m_names->emplace(fileNameHash(slot->Text()), slot.get());
        }
    }
    // Hand-edited project files may repeat a name; the first in row order wins.
    LinkedNode *first = nullptr;
    auto range = m_names->equal_range(fileNameHash(name));
    for (auto it = range.first; it != range.second; ++it) {
        LinkedNode *candidate = it->second;
        if (matches(candidate, match) && sameFileName(candidate->Text(), name)
            && (!first || candidate->slot < first->slot))
            first = candidate;
    }
    return first;
}

} // namespace tervelle
