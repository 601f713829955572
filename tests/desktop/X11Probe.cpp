#include "X11Probe.h"

#include <QElapsedTimer>
#include <QThread>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace
{

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T> Reply<T> reply(T *pointer)
{
    return Reply<T>(pointer, &std::free);
}

} // namespace

X11Probe::X11Probe()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    mConnection = connection;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(mConnection)).data;
    mRoot = screen->root;
    mScreenSize = QSize(screen->width_in_pixels, screen->height_in_pixels);
}

X11Probe::~X11Probe()
{
    if (mConnection)
        xcb_disconnect(mConnection);
}

xcb_atom_t X11Probe::atom(const char *name)
{
    const auto answer = reply(xcb_intern_atom_reply(
        mConnection, xcb_intern_atom(mConnection, 0, std::uint16_t(std::strlen(name)), name),
        nullptr));
    return answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
}

bool X11Probe::windowManagerRunning()
{
    return !values(mRoot, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).isEmpty();
}

bool X11Probe::windowManagerFramesWindows(int timeoutMs)
{
    // A window mapped while the window manager is still taking over the screen may be missed by
    // it for good, so a window not framed after a while is replaced by a new one.
    constexpr int kAttemptMs = 2000;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(mConnection)).data;
    QElapsedTimer waited;
    waited.start();
    while (!waited.hasExpired(timeoutMs)) {
        const xcb_window_t window = xcb_generate_id(mConnection);
        xcb_create_window(mConnection, XCB_COPY_FROM_PARENT, window, mRoot, 0, 0, 64, 64, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(mConnection, window);
        sync();
        QElapsedTimer attempt;
        attempt.start();
        bool framed = false;
        while (!framed && !attempt.hasExpired(kAttemptMs)) {
            framed = !values(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL).isEmpty();
            if (!framed)
                QThread::msleep(20);
        }
        xcb_destroy_window(mConnection, window);
        sync();
        if (framed)
            return true;
    }
    return false;
}

QList<quint32> X11Probe::values(xcb_window_t window, const char *property, xcb_atom_t type)
{
    const auto answer = reply(xcb_get_property_reply(
        mConnection, xcb_get_property(mConnection, 0, window, atom(property), type, 0, 4096),
        nullptr));
    QList<quint32> list;
    if (!answer || answer->format != 32)
        return list;
    const auto *data = static_cast<const quint32 *>(xcb_get_property_value(answer.get()));
    const int count = xcb_get_property_value_length(answer.get()) / 4;
    for (int i = 0; i < count; ++i)
        list << data[i];
    return list;
}

QStringList X11Probe::atomNames(xcb_window_t window, const char *property)
{
    QStringList names;
    for (const quint32 value : values(window, property, XCB_ATOM_ATOM)) {
        const auto answer = reply(
            xcb_get_atom_name_reply(mConnection, xcb_get_atom_name(mConnection, value), nullptr));
        if (answer)
            names << QString::fromLatin1(xcb_get_atom_name_name(answer.get()),
                                         xcb_get_atom_name_name_length(answer.get()));
    }
    return names;
}

QRect X11Probe::geometry(xcb_window_t window)
{
    const auto size =
        reply(xcb_get_geometry_reply(mConnection, xcb_get_geometry(mConnection, window), nullptr));
    const auto place = reply(xcb_translate_coordinates_reply(
        mConnection, xcb_translate_coordinates(mConnection, window, mRoot, 0, 0), nullptr));
    if (!size || !place)
        return {};
    return QRect(place->dst_x, place->dst_y, size->width, size->height);
}

xcb_window_t X11Probe::inputFocus()
{
    const auto focus =
        reply(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
    return focus ? focus->focus : xcb_window_t{XCB_WINDOW_NONE};
}

xcb_window_t X11Probe::frameOf(xcb_window_t window)
{
    for (;;) {
        const auto tree =
            reply(xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, window), nullptr));
        if (!tree || tree->parent == mRoot || tree->parent == XCB_WINDOW_NONE)
            return window;
        window = tree->parent;
    }
}

QRect X11Probe::outerGeometry(xcb_window_t window)
{
    // The frame the window manager draws is the one it reports: mutter's frame window holds
    // invisible resize borders beyond it.
    const QList<quint32> extents = values(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    if (extents.size() == 4)
        return geometry(window).marginsAdded(
            QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3])));
    return geometry(frameOf(window));
}

QList<xcb_window_t> X11Probe::stacking()
{
    if (windowManagerRunning())
        return values(mRoot, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
    const auto tree =
        reply(xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, mRoot), nullptr));
    QList<xcb_window_t> windows;
    if (!tree)
        return windows;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        windows << children[i];
    return windows;
}

void X11Probe::requestGeometry(xcb_window_t window, const QRect &rect)
{
    const std::uint32_t values[] = {std::uint32_t(rect.x()), std::uint32_t(rect.y()),
                                    std::uint32_t(rect.width()), std::uint32_t(rect.height())};
    xcb_configure_window(mConnection, window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    sync();
}

void X11Probe::requestState(xcb_window_t window, const char *state, bool on)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("_NET_WM_STATE");
    event.data.data32[0] = on ? 1 : 0;
    event.data.data32[1] = atom(state);
    event.data.data32[3] = 2; // sent by a pager or a similar tool
    xcb_send_event(mConnection, 0, mRoot,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    sync();
}

void X11Probe::closeBox(xcb_window_t window)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(mConnection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&event));
    sync();
}

xcb_window_t X11Probe::findWindow(const QString &name, qint64 pid)
{
    const QByteArray wanted = name.toUtf8();
    std::function<xcb_window_t(xcb_window_t)> search = [&](xcb_window_t window) -> xcb_window_t {
        const auto title =
            reply(xcb_get_property_reply(mConnection,
                                         xcb_get_property(mConnection, 0, window, XCB_ATOM_WM_NAME,
                                                          XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                         nullptr));
        if (title &&
            QByteArray(static_cast<const char *>(xcb_get_property_value(title.get())),
                       xcb_get_property_value_length(title.get())) == wanted &&
            values(window, "_NET_WM_PID", XCB_ATOM_CARDINAL) == QList<quint32>{quint32(pid)})
            return window;
        const auto tree =
            reply(xcb_query_tree_reply(mConnection, xcb_query_tree(mConnection, window), nullptr));
        if (!tree)
            return 0;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
            if (const xcb_window_t found = search(children[i]))
                return found;
        return 0;
    };
    return search(mRoot);
}

void X11Probe::paintDesktop(quint32 rgb)
{
    const std::uint32_t pixel = rgb;
    xcb_change_window_attributes(mConnection, mRoot, XCB_CW_BACK_PIXEL, &pixel);
    xcb_clear_area(mConnection, 0, mRoot, 0, 0, 0, 0);
    sync();
}

void X11Probe::sync()
{
    xcb_flush(mConnection);
    std::free(xcb_get_input_focus_reply(mConnection, xcb_get_input_focus(mConnection), nullptr));
}
