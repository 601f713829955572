#pragma once

#include "playlist/frmPlaylist.h"
#include "toolkit/ListView.h"

#include <QTest>

#include <cstdint>
#include <vector>

// What the student sees of one playlist row: key, title, length and text colour.
struct Row {
    QString key;
    QString title;
    QString length;
    std::uint32_t colour;
    bool operator==(const Row &) const = default;
};

inline constexpr std::uint32_t kWhite = frmPlaylist::kNormalColour;
inline constexpr std::uint32_t kIntro = frmPlaylist::kIntroColour;
inline constexpr std::uint32_t kYellow = frmPlaylist::kCurrentColour;

// Every row of the list, in the order shown.
inline std::vector<Row> rowsOf(toolkit::ListView &list)
{
    std::vector<Row> result;
    for (int i = 1; i <= list.Count(); ++i) {
        const toolkit::ListItem item = list.Item(i);
        result.push_back({item.Key(), item.Text(), item.SubItem(1), item.ForeColor()});
    }
    return result;
}

namespace QTest
{
template <> inline char *toString(const Row &row)
{
    return qstrdup(QStringLiteral("(%1 | %2 | %3 | %4)")
                       .arg(row.key, row.title, row.length)
                       .arg(row.colour, 8, 16, QChar(u'0'))
                       .toUtf8()
                       .constData());
}
} // namespace QTest
