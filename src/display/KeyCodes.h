#pragma once

#include <Qt>

// The grid reports keys as the classic virtual-key codes (67 for C, 114 for F3) with the
// modifier bits 1 = Shift, 2 = Ctrl, 4 = Alt, so key tables read the same on every platform.
namespace KeyCodes {

constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;

// The virtual-key code of a Qt key, or 0 for a key that has none.
int virtualKey(int qtKey);

int shiftBits(Qt::KeyboardModifiers modifiers);

// Mouse buttons as bits: 1 left, 2 right, 4 middle.
int buttonBits(Qt::MouseButtons buttons);

} // namespace KeyCodes
