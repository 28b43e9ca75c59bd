#pragma once

#include <Qt>

// The grid reports keys as the classic virtual-key codes (67 for C, 114 for F3) with the
// modifier bits 1 = Shift, 2 = Ctrl, 4 = Alt, so key tables read the same on every platform.
namespace KeyCodes {

constexpr int vbKeyC = 67;
constexpr int vbKeyF = 70;
constexpr int vbKeyI = 73;
constexpr int vbKeyF1 = 112;
constexpr int vbKeyF2 = 113;
constexpr int vbKeyF3 = 114;
constexpr int vbKeyScrollLock = 145;

constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;
constexpr int vbMiddleButton = 4;

constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;

// The virtual-key code of a Qt key, or 0 for a key that has none.
int virtualKey(int qtKey);

int shiftBits(Qt::KeyboardModifiers modifiers);

// Mouse buttons as the button bits above.
int buttonBits(Qt::MouseButtons buttons);

} // namespace KeyCodes
