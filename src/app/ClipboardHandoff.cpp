#include "app/ClipboardHandoff.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

bool clipboardManagerRuns()
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return false;
    xcb_connection_t *c = x11->connection();
    static constexpr char kName[] = "CLIPBOARD_MANAGER";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, true, sizeof kName - 1, kName), nullptr),
        std::free);
    if (!atom || atom->atom == XCB_NONE)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr),
        std::free);
    return owner && owner->owner != XCB_NONE;
}

} // namespace

bool copiedLinesWouldBeLost()
{
    return QGuiApplication::clipboard()->ownsClipboard() && !clipboardManagerRuns();
}
