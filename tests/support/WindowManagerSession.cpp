#include "WindowManagerSession.h"

#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

// A window manager announces itself on the root window with _NET_SUPPORTING_WM_CHECK.
bool managerRunning()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    bool running = false;
    if (!xcb_connection_has_error(connection)) {
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, std::strlen(name), name), nullptr);
        if (atom && atom->atom != XCB_ATOM_NONE) {
            const xcb_window_t root =
                xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
            xcb_get_property_reply_t *property = xcb_get_property_reply(
                connection,
                xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
            running = property && xcb_get_property_value_length(property) == 4;
            std::free(property);
        }
        std::free(atom);
    }
    xcb_disconnect(connection);
    return running;
}

} // namespace

WindowManagerSession::WindowManagerSession()
{
    mServer.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    if (!mServer.waitForStarted(5000))
        return;
    while (!mServer.canReadLine()) {
        if (!mServer.waitForReadyRead(10000))
            return;
    }
    const QByteArray display = ':' + mServer.readLine().trimmed();
    qputenv("DISPLAY", display);
    mManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!mManager.waitForStarted(5000))
        return;
    for (int i = 0; i < 100 && !managerRunning(); ++i)
        QThread::msleep(100);
    mRunning = managerRunning();
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
