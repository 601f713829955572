#pragma once

#include "playlist/frmPlaylist.h"
#include "toolkit/ListView.h"

#include <QTest>

#include <cstdint>
#include <vector>

namespace support
{

// What the student sees of one playlist row: key, title, length, text colour and, where the
// suite asks for it, whether the row is selected.
struct Row {
    QString key;
    QString title;
    QString length;
    std::uint32_t colour;
    bool selected = false;
    bool operator==(const Row &) const = default;
};

inline constexpr std::uint32_t kWhite = frmPlaylist::kNormalColour;
inline constexpr std::uint32_t kIntro = frmPlaylist::kIntroColour;
inline constexpr std::uint32_t kYellow = frmPlaylist::kCurrentColour;

// Every row of the list, in the order shown; `selected` stays false.
std::vector<Row> rowsOf(toolkit::ListView &list);
// The same with each row's selection.
std::vector<Row> rowsWithSelectionOf(toolkit::ListView &list);

} // namespace support

namespace QTest
{
template <> char *toString(const support::Row &row);
} // namespace QTest
