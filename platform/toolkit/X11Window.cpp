#include "toolkit/X11Window.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace toolkit::x11
{
namespace
{

xcb_connection_t *connection()
{
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t windowOf(QWidget &widget)
{
    return static_cast<xcb_window_t>(widget.window()->winId());
}

} // namespace

bool available()
{
    return connection() != nullptr;
}

void setTransientFor(QWidget &window, const QWidget &owner)
{
    xcb_connection_t *c = connection();
    if (!c || !owner.window()->internalWinId())
        return;
    const auto ownerWindow = static_cast<xcb_window_t>(owner.window()->internalWinId());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, windowOf(window), XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &ownerWindow);
    xcb_flush(c);
}

void skipTaskbar(QWidget &window)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    const xcb_window_t id = windowOf(window);
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    std::vector<xcb_atom_t> atoms;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        atoms.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    for (const char *name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t wanted = atom(c, name);
        if (std::find(atoms.begin(), atoms.end(), wanted) == atoms.end())
            atoms.push_back(wanted);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
    xcb_flush(c);
}

void setToolbarType(QWidget &window)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    // Not the toolbar type: mutter leaves toolbar windows undecorated (no caption, no close
    // box, nothing to drag it by); every window manager frames a utility window.
    const xcb_atom_t type = atom(c, "_NET_WM_WINDOW_TYPE_UTILITY");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, windowOf(window), atom(c, "_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &type);
    xcb_flush(c);
}

} // namespace toolkit::x11
