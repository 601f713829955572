#pragma once

#include <QColor>

#include <cstdint>

namespace toolkit
{

// Colours arrive as 0x00BBGGRR values or, with the high bit set, as system colour indexes.
inline constexpr std::uint32_t kSystemInactiveBorder = 0x8000000B;

QColor colorOf(std::uint32_t value);

} // namespace toolkit
