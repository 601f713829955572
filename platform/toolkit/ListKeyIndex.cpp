#include "toolkit/ListKeyIndex.h"

#include <QHashFunctions>

namespace toolkit
{

namespace
{

constexpr std::size_t kFewestSlots = 16;

std::size_t slotsFor(std::size_t rows)
{
    std::size_t slotCount = kFewestSlots;
    while (slotCount < rows * 2)
        slotCount *= 2;
    return slotCount;
}

} // namespace

std::size_t ListKeyIndex::hashOf(QStringView key) const
{
    return qHash(key, QHashSeed::globalSeed());
}

// The slot that holds the key, or the free slot where it would go (linear probing).
std::size_t ListKeyIndex::slotOf(QStringView key, std::size_t hash) const
{
    const std::size_t mask = mSlots.size() - 1;
    std::size_t at = hash & mask;
    while (mSlots[at].row && (mSlots[at].hash != hash || mSlots[at].row->key != key))
        at = (at + 1) & mask;
    return at;
}

ListRow *ListKeyIndex::find(QStringView key) const
{
    if (mSlots.empty())
        return nullptr;
    return mSlots[slotOf(key, hashOf(key))].row;
}

bool ListKeyIndex::insert(ListRow &row)
{
    if ((mSize + 1) * 2 > mSlots.size())
        rebuild(slotsFor(mSize + 1));
    const std::size_t hash = hashOf(row.key);
    Slot &slot = mSlots[slotOf(row.key, hash)];
    if (slot.row)
        return false;
    slot = {hash, &row};
    ++mSize;
    return true;
}

void ListKeyIndex::remove(const ListRow &row)
{
    if (mSlots.empty())
        return;
    const std::size_t mask = mSlots.size() - 1;
    std::size_t gap = slotOf(row.key, hashOf(row.key));
    if (mSlots[gap].row != &row)
        return;
    // Later rows of the same run move back into the gap unless they would then sit before their
    // own first slot, so that every row stays reachable from where its search starts.
    for (std::size_t next = (gap + 1) & mask; mSlots[next].row; next = (next + 1) & mask) {
        const std::size_t home = mSlots[next].hash & mask;
        const bool homeInGapToNext =
            gap <= next ? (home > gap && home <= next) : (home > gap || home <= next);
        if (homeInGapToNext)
            continue;
        mSlots[gap] = mSlots[next];
        gap = next;
    }
    mSlots[gap] = Slot();
    --mSize;
}

void ListKeyIndex::clear()
{
    mSlots.clear();
    mSize = 0;
}

void ListKeyIndex::reserve(std::size_t rows)
{
    if (rows * 2 > mSlots.size())
        rebuild(slotsFor(rows));
}

void ListKeyIndex::rebuild(std::size_t slotCount)
{
    std::vector<Slot> old(slotCount);
    old.swap(mSlots);
    const std::size_t mask = mSlots.size() - 1;
    for (const Slot &slot : old) {
        if (!slot.row)
            continue;
        std::size_t at = slot.hash & mask;
        while (mSlots[at].row)
            at = (at + 1) & mask;
        mSlots[at] = slot;
    }
}

} // namespace toolkit
