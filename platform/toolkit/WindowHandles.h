#pragma once

#include <QRect>

class QWidget;

namespace toolkit
{

// A window handle is a stable non-zero integer per widget. It survives native-window
// re-creation (unlike winId) and can be turned back into the widget while it lives.
long long handleOf(QWidget *widget);
QWidget *widgetOf(long long handle);

// The widget's outer rectangle in screen pixels; an empty rectangle for an unknown handle.
QRect windowRect(long long handle);

} // namespace toolkit
