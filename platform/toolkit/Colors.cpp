#include "toolkit/Colors.h"

namespace toolkit
{

QColor colorOf(std::uint32_t value)
{
    if (value & 0x80000000u) {
        // The classic desktop's defaults for the system colours the player uses.
        switch (value & 0xFF) {
        case 11: // inactive window border
            return QColor(212, 208, 200);
        case 15: // button face
            return QColor(212, 208, 200);
        case 18: // button text
            return Qt::black;
        default:
            return QColor(128, 128, 128);
        }
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace toolkit
