#pragma once

#include "platform/WindowState.h"

#include <QRect>
#include <QtGlobal>

// The outer rectangle a window had while it was last in the normal state, in twips, kept
// true while the window manager reports one change in several events.
//
// A maximize arrives as the new geometry and then the new state, a restore to maximized as
// normal first and maximized a moment later. What the window system reports is taken together
// once it has been quiet for a moment (the caller's settle timer), so a geometry on the way to
// another state is never taken as the normal one and the resize rule runs once per change. A
// geometry the program sets itself belongs to no change of state and counts at once.
class NormalPlacement {
public:
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
    // The state the resize rule saw last.
    qint16 lastState = vbNormal;

    void record(const QRect &outer);

    // A new geometry in `state`. True when the caller must (re)start its settle timer.
    bool geometryArrived(bool fromWindowSystem, int state, const QRect &outer);
    // A resize or a change of state: the resize rule runs once the change settles.
    void resizeArrived() { mResizeArrived = true; }
    // The change has settled in `state`. True when the resize rule must run.
    bool settled(int state, const QRect &outer);

    // The resize rule's part: the window is now in `state`. True when it has left the normal
    // state, so the normal rectangle must be saved. A resize while minimized or maximized (the
    // geometry that follows a new state on X11) is no change of state and saves nothing.
    bool stateSeen(int state);

private:
    bool mResizeArrived = false;
};
