#pragma once

#include <QRect>

class QWidget;

namespace toolkit
{

// A window handle is a stable non-zero integer per widget. It survives native-window
// re-creation (unlike winId) and can be turned back into the widget while it lives.
long long handleOf(QWidget *widget);
QWidget *widgetOf(long long handle);
// Numbers handles from the start again, as the process does, when no widget holds one; while one
// does, numbering goes on, so that no handle is ever given twice.
void resetHandles();

// The widget's outer rectangle in screen pixels; an empty rectangle for an unknown handle.
QRect windowRect(long long handle);

} // namespace toolkit
