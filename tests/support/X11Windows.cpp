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

struct Free {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, Free>;

// A connection for the length of one question, so that nothing is left open between them.
struct Connection {
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    ~Connection() { xcb_disconnect(c); }
    bool ok() const { return !xcb_connection_has_error(c); }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }
    xcb_atom_t atom(const char *name) const
    {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, false, uint16_t(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    // The first 32-bit value of a property, when there is one.
    std::optional<uint32_t> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) const
    {
        const Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1), nullptr));
        if (!reply || xcb_get_property_value_length(reply.get()) != 4)
            return std::nullopt;
        return *static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    }
};

// Mapped children of the root whose _NET_WM_PID is pid.
std::vector<xcb_window_t> windowsOf(const Connection &x, qint64 pid)
{
    std::vector<xcb_window_t> windows;
    const xcb_atom_t pidAtom = x.atom("_NET_WM_PID");
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(x.c, xcb_query_tree(x.c, x.root()), nullptr));
    if (!tree)
        return windows;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        if (x.property(children[i], pidAtom, XCB_ATOM_CARDINAL) != uint32_t(pid))
            continue;
        const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
            x.c, xcb_get_window_attributes(x.c, children[i]), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            windows.push_back(children[i]);
    }
    return windows;
}

} // namespace

int closeWindowsOfProcess(qint64 pid)
{
    const Connection x;
    if (!x.ok())
        return 0;
    const std::vector<xcb_window_t> windows = windowsOf(x, pid);
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
    return x.ok() ? int(windowsOf(x, pid).size()) : 0;
}

// A window manager announces itself on the root window with _NET_SUPPORTING_WM_CHECK.
static bool windowManagerRunning()
{
    const Connection x;
    return x.ok() &&
           x.property(x.root(), x.atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).has_value();
}

WindowManagerSession::WindowManagerSession()
{
    mServer.start(u"Xvfb"_s, u"-displayfd 1 -screen 0 1280x1024x24 -nolisten tcp"_s.split(u' '));
    if (!mServer.waitForStarted(5000))
        return;
    while (!mServer.canReadLine()) {
        if (!mServer.waitForReadyRead(10000))
            return;
    }
    qputenv("DISPLAY", ':' + mServer.readLine().trimmed());
    mManager.start(u"openbox"_s, {u"--sm-disable"_s});
    if (!mManager.waitForStarted(5000))
        return;
    for (int i = 0; i < 100 && !windowManagerRunning(); ++i)
        QThread::msleep(100);
    mRunning = windowManagerRunning();
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
