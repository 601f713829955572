#pragma once

#include <QRect>

#include <cstdint>

class QPainter;
class QWidget;

// Coloured captions for buttons that their parent window draws: the state lives in named
// properties on the windows themselves ("ExtBtnProc" on the parent, "VBTCustom",
// "VBTForeColor" and "VBTVAlign" on the button), so any number of buttons can be served.
namespace modGlobals
{

inline constexpr int DT_TOP = 0;
inline constexpr int DT_VCENTER = 4;
inline constexpr int DT_BOTTOM = 8;

void SetButtonTextColor(long long hwndButton, std::uint32_t color, int alignment);
void ClearButtonTextColor(long long hwndButton);
void HookButton(long long hwnd);
void UnhookButton(long long hwnd);
// Paints the button's caption in its colour over the finished face.
void DrawButtonText(QWidget &button, QPainter &painter, QRect rect, int itemState);
// Where the caption goes: 4 pixels up for bottom alignment, 1 right and down while pressed.
QRect CaptionRect(QRect rect, int alignment, int itemState);

} // namespace modGlobals
