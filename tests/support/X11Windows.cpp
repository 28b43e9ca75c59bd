#include "X11Windows.h"

#include <QThread>

#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

// A connection for the length of one question, so that nothing is left open between them.
struct XConnection {
    using Free = decltype(&std::free);
    template <typename T> static std::unique_ptr<T, Free> owned(T *r) { return {r, std::free}; }
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    ~XConnection() { xcb_disconnect(c); }
    bool ok() const { return !xcb_connection_has_error(c); }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }
    // A window manager announces itself on the root window with _NET_SUPPORTING_WM_CHECK.
    bool managed() const { return ok() && property(root(), "_NET_SUPPORTING_WM_CHECK"); }
    xcb_atom_t atom(const char *name) const
    {
        const auto reply = owned(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, false, qstrlen(name), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    // The first 32-bit value of a property, 0 when there is none.
    uint32_t property(xcb_window_t window, const char *name) const
    {
        const auto reply = owned(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, atom(name), XCB_ATOM_ANY, 0, 1), nullptr));
        const bool one = reply && xcb_get_property_value_length(reply.get()) == 4;
        return one ? *static_cast<const uint32_t *>(xcb_get_property_value(reply.get())) : 0;
    }
    // Mapped children of the root whose _NET_WM_PID is pid; none when there is no server.
    std::vector<xcb_window_t> windowsOf(qint64 pid) const
    {
        std::vector<xcb_window_t> windows;
        const auto tree =
            owned(ok() ? xcb_query_tree_reply(c, xcb_query_tree(c, root()), nullptr) : nullptr);
        for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
            const xcb_window_t window = xcb_query_tree_children(tree.get())[i];
            const auto attributes = owned(
                xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
            if (property(window, "_NET_WM_PID") == pid && attributes &&
                attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                windows.push_back(window);
        }
        return windows;
    }
};

int closeWindowsOfProcess(qint64 pid)
{
    const XConnection x;
    const std::vector<xcb_window_t> windows = x.windowsOf(pid);
    const xcb_atom_t protocols = x.atom("WM_PROTOCOLS"), close = x.atom("WM_DELETE_WINDOW");
    for (const xcb_window_t window : windows) {
        const xcb_client_message_event_t event{
            XCB_CLIENT_MESSAGE, 32, 0, window, protocols, {.data32 = {close, XCB_CURRENT_TIME}}};
        xcb_send_event(x.c, 0, window, 0, reinterpret_cast<const char *>(&event)); // no mask
    }
    xcb_flush(x.c);
    return int(windows.size());
}

int mappedWindowsOfProcess(qint64 pid)
{
    return int(XConnection().windowsOf(pid).size());
}

WindowManagerSession::WindowManagerSession()
{
    mServer.startCommand(QStringLiteral("Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp"));
    while (!mServer.canReadLine()) {
        if (!mServer.waitForReadyRead(30000))
            return;
    }
    qputenv("DISPLAY", ':' + mServer.readLine().trimmed());
    mManager.startCommand(QStringLiteral("openbox --sm-disable"));
    // Asked every 100 ms, for a loaded machine's worth of time: openbox starts slowly then.
    for (int i = 0; mManager.waitForStarted(5000) && i < 300; ++i) {
        if ((running = XConnection().managed()))
            return;
        QThread::msleep(100);
    }
}

WindowManagerSession::~WindowManagerSession()
{
    for (QProcess *process : {&mManager, &mServer}) {
        process->terminate();
        process->waitForFinished(3000); // else the QProcess kills it
    }
}
