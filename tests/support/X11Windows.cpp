#include "X11Windows.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// Mapped children of the root whose _NET_WM_PID is pid.
std::vector<xcb_window_t> windowsOf(xcb_connection_t *connection, qint64 pid)
{
    std::vector<xcb_window_t> windows;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t pidAtom = atom(connection, "_NET_WM_PID");
    xcb_query_tree_reply_t *tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, screen->root), nullptr);
    if (!tree)
        return windows;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_property_reply_t *property = xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, children[i], pidAtom, XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        const bool match =
            property && xcb_get_property_value_length(property) == 4 &&
            *static_cast<const uint32_t *>(xcb_get_property_value(property)) == uint32_t(pid);
        std::free(property);
        if (!match)
            continue;
        xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, children[i]), nullptr);
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            windows.push_back(children[i]);
        std::free(attributes);
    }
    std::free(tree);
    return windows;
}

} // namespace

int closeWindowsOfProcess(qint64 pid)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return 0;
    }
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(connection, "WM_DELETE_WINDOW");
    const std::vector<xcb_window_t> windows = windowsOf(connection, pid);
    for (const xcb_window_t window : windows) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = protocols;
        event.data.data32[0] = deleteWindow;
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&event));
    }
    xcb_flush(connection);
    xcb_disconnect(connection);
    return int(windows.size());
}

int mappedWindowsOfProcess(qint64 pid)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    int count = 0;
    if (!xcb_connection_has_error(connection))
        count = int(windowsOf(connection, pid).size());
    xcb_disconnect(connection);
    return count;
}
