#include "X11Windows.h"

#include <QThread>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename T> std::unique_ptr<T, void (*)(void *)> owned(T *reply)
{
    return {reply, std::free};
}

// A connection for the length of one question, so that nothing is left open between them.
struct Connection {
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    ~Connection() { xcb_disconnect(c); }
    bool ok() const { return !xcb_connection_has_error(c); }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }
    xcb_atom_t atom(const char *name) const
    {
        const auto reply = owned(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, false, uint16_t(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    // The first 32-bit value of a property, when there is one.
    std::optional<uint32_t> property(xcb_window_t window, const char *name, xcb_atom_t type) const
    {
        const auto reply = owned(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, atom(name), type, 0, 1), nullptr));
        if (!reply || xcb_get_property_value_length(reply.get()) != 4)
            return std::nullopt;
        return *static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    }
    // Mapped children of the root whose _NET_WM_PID is pid.
    std::vector<xcb_window_t> windowsOf(qint64 pid) const
    {
        std::vector<xcb_window_t> windows;
        const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, root()), nullptr));
        for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
            const xcb_window_t window = xcb_query_tree_children(tree.get())[i];
            const auto attributes = owned(
                xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
            if (property(window, "_NET_WM_PID", XCB_ATOM_CARDINAL) == uint32_t(pid) && attributes &&
                attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                windows.push_back(window);
        }
        return windows;
    }
};

} // namespace

int closeWindowsOfProcess(qint64 pid)
{
    const Connection x;
    const std::vector<xcb_window_t> windows =
        x.ok() ? x.windowsOf(pid) : std::vector<xcb_window_t>();
    for (const xcb_window_t window : windows) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = x.atom("WM_PROTOCOLS");
        event.data.data32[0] = x.atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(x.c, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&event));
    }
    xcb_flush(x.c);
    return int(windows.size());
}

int mappedWindowsOfProcess(qint64 pid)
{
    const Connection x;
    return x.ok() ? int(x.windowsOf(pid).size()) : 0;
}

WindowManagerSession::WindowManagerSession()
{
    mServer.start(u"Xvfb"_s, u"-displayfd 1 -screen 0 1280x1024x24 -nolisten tcp"_s.split(u' '));
    while (mServer.waitForStarted(5000) && !mServer.canReadLine()) {
        if (!mServer.waitForReadyRead(10000))
            return;
    }
    if (!mServer.canReadLine())
        return;
    qputenv("DISPLAY", ':' + mServer.readLine().trimmed());
    mManager.start(u"openbox"_s, {u"--sm-disable"_s});
    // A window manager announces itself on the root window with _NET_SUPPORTING_WM_CHECK.
    const auto managed = [] {
        const Connection x;
        return x.ok() && x.property(x.root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    };
    for (int i = 0; mManager.waitForStarted(5000) && i < 100 && !managed(); ++i)
        QThread::msleep(100);
    mRunning = managed();
}

WindowManagerSession::~WindowManagerSession()
{
    for (QProcess *process : {&mManager, &mServer}) {
        process->terminate();
        if (!process->waitForFinished(3000))
            process->kill();
        process->waitForFinished(3000);
    }
}
