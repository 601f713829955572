#pragma once

#include <QString>

namespace modGlobals
{

// Pixel size of the primary screen as "<width>x<height>"; empty when there is no screen.
QString GetScreenResolution();

} // namespace modGlobals
