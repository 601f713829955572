#include "toolkit/X11Window.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMargins>
#include <QPoint>
#include <QThread>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
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

xcb_window_t rootOf(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// How long a window waits for the window manager's frame before its first show.
constexpr int kFrameAnswerMs = 250;

// The window manager's name, as it gives it on the window _NET_SUPPORTING_WM_CHECK names.
std::string windowManagerName(xcb_connection_t *c)
{
    const xcb_window_t root = rootOf(c);
    const auto read = [c](xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
        return std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)>(
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 64),
                                   nullptr),
            &std::free);
    };
    const auto check = read(root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (!check || check->format != 32 || xcb_get_property_value_length(check.get()) < 4)
        return {};
    const auto wm = *static_cast<const xcb_window_t *>(xcb_get_property_value(check.get()));
    const auto name = read(wm, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"));
    if (!name)
        return {};
    return std::string(static_cast<const char *>(xcb_get_property_value(name.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(name.get())));
}

// The left, right, top and bottom frame extents the window manager reported for the window.
std::optional<std::array<std::uint32_t, 4>> frameExtents(xcb_connection_t *c, xcb_window_t id)
{
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> extents(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, id, atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4),
            nullptr),
        &std::free);
    if (!extents || extents->format != 32 || xcb_get_property_value_length(extents.get()) != 16)
        return std::nullopt;
    const auto *values = static_cast<const std::uint32_t *>(xcb_get_property_value(extents.get()));
    return std::array<std::uint32_t, 4>{values[0], values[1], values[2], values[3]};
}

// Whether the window manager lists the hint among those it handles (_NET_SUPPORTED on the root).
bool supported(xcb_connection_t *c, const char *hint)
{
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> list(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, rootOf(c), atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 1024),
            nullptr),
        &std::free);
    if (!list || list->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(list.get()));
    const auto *end = atoms + xcb_get_property_value_length(list.get()) / 4;
    return std::find(atoms, end, atom(c, hint)) != end;
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

ServerHold::ServerHold()
{
    if (xcb_connection_t *c = connection()) {
        xcb_grab_server(c);
        mHeld = true;
    }
}

ServerHold::~ServerHold()
{
    xcb_connection_t *c = connection();
    if (!mHeld || !c)
        return;
    xcb_ungrab_server(c);
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

std::optional<QPoint> frameTopLeft(QWidget &window)
{
    xcb_connection_t *c = connection();
    if (!c || !window.window()->internalWinId())
        return std::nullopt;
    const xcb_window_t id = windowOf(window);
    const auto margins = frameExtents(c, id);
    if (!margins)
        return std::nullopt;
    const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> place(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, rootOf(c), 0, 0),
                                        nullptr),
        &std::free);
    if (!place)
        return std::nullopt;
    return QPoint(place->dst_x - int((*margins)[0]), place->dst_y - int((*margins)[2]));
}

std::optional<QMargins> askFrame(QWidget &window)
{
    xcb_connection_t *c = connection();
    // Only a window manager that lists the request is asked (openbox and mutter do; KWin 5.27
    // neither lists nor answers it); one that still leaves a window unanswered is not asked
    // again, so the wait is paid once at most.
    static bool unanswered = false;
    if (!c || unanswered || !supported(c, "_NET_REQUEST_FRAME_EXTENTS"))
        return std::nullopt;
    const xcb_window_t id = windowOf(window);
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(c, 0, rootOf(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(c);
    // The window manager answers within a few milliseconds; one that is busy or never answers
    // costs the start no more than the wait.
    const QDeadlineTimer deadline(kFrameAnswerMs);
    do {
        if (const auto extents = frameExtents(c, id))
            return QMargins(int((*extents)[0]), int((*extents)[2]), int((*extents)[1]),
                            int((*extents)[3]));
        QThread::msleep(2);
    } while (!deadline.hasExpired());
    unanswered = true;
    return std::nullopt;
}

void setToolbarType(QWidget &window)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    // A utility window: mutter leaves toolbar windows undecorated (no caption, no close box,
    // nothing to drag it by) and KWin gives them no close box. openbox alone offers to minimise
    // a utility window, and frames a toolbar as it should: there the toolbar type comes first.
    std::vector<xcb_atom_t> types;
    if (windowManagerName(c) == "Openbox")
        types.push_back(atom(c, "_NET_WM_WINDOW_TYPE_TOOLBAR"));
    types.push_back(atom(c, "_NET_WM_WINDOW_TYPE_UTILITY"));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, windowOf(window), atom(c, "_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, static_cast<std::uint32_t>(types.size()), types.data());
    xcb_flush(c);
}

} // namespace toolkit::x11
