#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace toolkit
{

// One row of a list view. Its address stays the same while it is in the list, so handles to it
// survive sorting and moves.
struct ListRow {
    QString key;
    QString text;      // the first column
    QString subItem;   // the second column
    QString smallIcon; // key of an image in the list's image list
    std::uint32_t foreColor = 0;
    bool ownForeColor = false;   // without a colour of its own a row shows the list's text colour
    std::uint32_t ruleColor = 0; // the colour the list's colour rule gives the row's key
    int position = -1;           // 0-based place in the shown order; -1 while a fill holds it back
    int offRuleSlot = -1;        // where the list keeps it among the rows off their rule colour
};

// Where a list's rows live: made in blocks, so that a long list costs one allocation per block
// instead of one per row and rows made together lie together in memory. A released row's place
// is used again.
class ListRowStore
{
  public:
    ListRow &make();
    void release(ListRow &row);
    void clear();

  private:
    static constexpr std::size_t kBlockRows = 1024;
    std::vector<std::unique_ptr<ListRow[]>> mBlocks;
    std::size_t mUsedInLast = kBlockRows;
    std::vector<ListRow *> mReleased;
};

} // namespace toolkit
