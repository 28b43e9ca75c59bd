#include "platform/NormalPlacement.h"

#include "platform/WindowState.h"

#include <utility>

void NormalPlacement::record(const QRect &outer)
{
    top = outer.y();
    left = outer.x();
    height = outer.height();
    width = outer.width();
}

bool NormalPlacement::geometryArrived(bool fromWindowSystem, int state, const QRect &outer)
{
    if (fromWindowSystem)
        return true;
    if (state == vbNormal)
        record(outer);
    return false;
}

bool NormalPlacement::settled(int state, const QRect &outer)
{
    if (state == vbNormal)
        record(outer);
    return std::exchange(mResizeArrived, false);
}

bool NormalPlacement::stateSeen(int state)
{
    const bool leftNormal =
        state != lastState && ((state == vbMinimized && lastState != vbMaximized) ||
                               (state == vbMaximized && lastState != vbMinimized));
    lastState = qint16(state);
    return leftNormal;
}
