#pragma once

#include "toolkit/ListRow.h"

#include <QStringView>

#include <cstddef>
#include <vector>

namespace toolkit
{

// A list's rows by key: an open table of rows with each key's hash beside it, so that filing or
// finding a key reads another row's key only when the two hashes are the same. A long list then
// costs one scattered memory access per key instead of several.
class ListKeyIndex
{
  public:
    ListRow *find(QStringView key) const;
    // Files the row under its key; false, and nothing filed, when a row has that key already.
    bool insert(ListRow &row);
    void remove(const ListRow &row);
    void clear();
    void reserve(std::size_t rows);
    std::size_t size() const { return mSize; }

  private:
    struct Slot {
        std::size_t hash = 0;
        ListRow *row = nullptr; // none: the slot is free
    };

    std::size_t hashOf(QStringView key) const;
    std::size_t slotOf(QStringView key, std::size_t hash) const;
    void rebuild(std::size_t slotCount);

    std::vector<Slot> mSlots; // a power of two long, at most half in use
    std::size_t mSize = 0;
};

} // namespace toolkit
