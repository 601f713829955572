#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

// What the X server and its window manager say about windows, read on a connection of the
// test's own, as another program on the desktop would see them.
class X11Probe
{
  public:
    X11Probe();
    ~X11Probe();
    X11Probe(const X11Probe &) = delete;
    X11Probe &operator=(const X11Probe &) = delete;

    bool valid() const { return mConnection != nullptr; }
    xcb_window_t root() const { return mRoot; }
    QSize screenSize() const { return mScreenSize; }

    // A window manager has announced itself on the root window.
    bool windowManagerRunning();
    // The window manager frames a window of this connection's within `timeoutMs`: it has
    // announced itself before it reads its configuration, and maps nothing meanwhile.
    bool windowManagerFramesWindows(int timeoutMs);

    // The names of the atoms a property holds (_NET_WM_STATE, _NET_WM_ALLOWED_ACTIONS).
    QStringList atomNames(xcb_window_t window, const char *property);
    // The 32-bit values of a property of that type (CARDINAL, WINDOW).
    QList<quint32> values(xcb_window_t window, const char *property, xcb_atom_t type);

    // The window's own rectangle, and that of the frame around it (the window's own rectangle
    // and the frame extents the window manager reports, or the window it put it in, or the
    // window itself where nothing framed it), on the screen.
    QRect geometry(xcb_window_t window);
    QRect outerGeometry(xcb_window_t window);

    // The window that has the keyboard focus: where the X server sends the next key typed.
    xcb_window_t inputFocus();

    // The clients from bottom to top, as the window manager stacks them, or as the server
    // stacks the top-level windows where no window manager runs.
    QList<xcb_window_t> stacking();

    // Asks for a new place and size, as another program may.
    void requestGeometry(xcb_window_t window, const QRect &rect);
    // Asks the window manager to change a state of the window (_NET_WM_STATE).
    void requestState(xcb_window_t window, const char *state, bool on);
    // What a window's close box does: WM_DELETE_WINDOW to its program.
    void closeBox(xcb_window_t window);

    // Paints the bare desktop (the root window) in a colour of 24-bit true colour.
    void paintDesktop(quint32 rgb);

    // The window with that name (WM_NAME) of the process `pid` (_NET_WM_PID), 0 while there is
    // none.
    xcb_window_t findWindow(const QString &name, qint64 pid);

  private:
    xcb_atom_t atom(const char *name);
    xcb_window_t frameOf(xcb_window_t window);
    void sync();

    xcb_connection_t *mConnection = nullptr;
    xcb_window_t mRoot = 0;
    QSize mScreenSize;
};
