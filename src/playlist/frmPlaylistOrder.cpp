// Reordering the playlist: moving the selected entry and sorting by a column.
#include "common/modGlobals.h"
#include "playlist/frmPlaylist.h"

using namespace modGlobals;

void frmPlaylist::ListMove(std::int32_t plngMoveTo)
{
    Trap([&] {
        if (lvPlaylist.Count() == 0)
            return;
        // Rows but no selection: there is no entry to move.
        const auto selected = lvPlaylist.SelectedItem();
        if (!selected)
            return;
        const qint64 from = selected->Index();
        const qint64 to = from + plngMoveTo;
        if (to < 1 || to > lvPlaylist.Count() || to == from)
            return;
        // Swapping the rows themselves keeps every key unique at every moment and carries the
        // title, the length and the icon along with the key.
        lvPlaylist.swapRows(static_cast<int>(from), static_cast<int>(to));
        lvPlaylist.Item(static_cast<int>(to)).setSelected(true);
        ApplyColourRule(gMCI ? QString::fromStdString(gMCI->mstrLongFileName) : QString());
    });
}

void frmPlaylist::lvPlaylist_ColumnClick(int columnIndex)
{
    Trap([&] {
        lvPlaylist.setSortKey(columnIndex - 1);
        // One order for the whole list: a click on the other column flips it too.
        lvPlaylist.setSortOrder(lvPlaylist.SortOrder() == 1 ? 0 : 1);
        lvPlaylist.setSorted(true);
    });
}
