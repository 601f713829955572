#pragma once

#include <QMargins>
#include <QPoint>

#include <optional>

class QWidget;

// What the window manager of an X desktop reads from a window beyond what Qt writes itself. On
// any other platform (the offscreen one of the tests included) these do nothing.
namespace toolkit::x11
{

// Whether the windows are on an X server.
bool available();

// The window is transient for `owner`'s window (WM_TRANSIENT_FOR), so that the window manager
// keeps it above its owner; Qt writes this only for dialogs and tool windows.
void setTransientFor(QWidget &window, const QWidget &owner);

// While it lives, the X server serves this program alone (a server grab), so that the window
// manager sees what the program writes meanwhile as one change: Qt takes WM_TRANSIENT_FOR off
// every window that is neither a dialog nor a tool window when it maps it, and the owner written
// after the map would otherwise race the window manager's first look at the window.
class ServerHold
{
  public:
    ServerHold();
    ~ServerHold();
    ServerHold(const ServerHold &) = delete;
    ServerHold &operator=(const ServerHold &) = delete;

  private:
    bool mHeld = false;
};

// Where the window's frame really is on the screen, as the server and the window manager's
// frame extents say; nothing while the window is not framed. Qt's own idea of it can lag behind
// for a window mapped again.
std::optional<QPoint> frameTopLeft(QWidget &window);

// The frame the window manager will draw around the window, asked of it before the window is
// first shown (_NET_REQUEST_FRAME_EXTENTS): left, top, right and bottom. Nothing where no window
// manager answers such requests or none answers within a quarter of a second.
std::optional<QMargins> askFrame(QWidget &window);

// The window is kept out of the taskbar and the window switcher (_NET_WM_STATE_SKIP_TASKBAR and
// _NET_WM_STATE_SKIP_PAGER). Call it before the window is shown: the window manager reads the
// state when the window is mapped and drops it when the window is hidden.
void skipTaskbar(QWidget &window);

// The window is a floating toolbar framed with a caption and a close box, and given neither a
// minimise nor a maximise button: a utility window (_NET_WM_WINDOW_TYPE_UTILITY), under openbox
// the toolbar type first. Call it before the window is shown.
void setToolbarType(QWidget &window);

} // namespace toolkit::x11
