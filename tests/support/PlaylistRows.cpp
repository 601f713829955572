#include "support/PlaylistRows.h"

namespace support
{

namespace
{

std::vector<Row> rows(toolkit::ListView &list, bool withSelection)
{
    std::vector<Row> result;
    for (int i = 1; i <= list.Count(); ++i) {
        const toolkit::ListItem item = list.Item(i);
        result.push_back({item.Key(), item.Text(), item.SubItem(1), item.ForeColor(),
                          withSelection && item.Selected()});
    }
    return result;
}

} // namespace

std::vector<Row> rowsOf(toolkit::ListView &list)
{
    return rows(list, false);
}

std::vector<Row> rowsWithSelectionOf(toolkit::ListView &list)
{
    return rows(list, true);
}

} // namespace support

namespace QTest
{
template <> char *toString(const support::Row &row)
{
    return qstrdup(QStringLiteral("(%1 | %2 | %3 | %4%5)")
                       .arg(row.key, row.title, row.length)
                       .arg(row.colour, 8, 16, QChar(u'0'))
                       .arg(row.selected ? QStringLiteral(" | selected") : QString())
                       .toUtf8()
                       .constData());
}
} // namespace QTest
