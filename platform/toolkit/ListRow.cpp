#include "toolkit/ListRow.h"

namespace toolkit
{

ListRow &ListRowStore::make()
{
    if (!mReleased.empty()) {
        ListRow &row = *mReleased.back();
        mReleased.pop_back();
        return row;
    }
    if (mUsedInLast == kBlockRows) {
        mBlocks.push_back(std::make_unique<ListRow[]>(kBlockRows));
        mUsedInLast = 0;
    }
    return mBlocks.back()[mUsedInLast++];
}

void ListRowStore::release(ListRow &row)
{
    row = ListRow();
    mReleased.push_back(&row);
}

void ListRowStore::clear()
{
    mBlocks.clear();
    mUsedInLast = kBlockRows;
    mReleased.clear();
}

} // namespace toolkit
