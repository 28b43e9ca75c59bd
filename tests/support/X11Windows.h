#pragma once

#include <QtGlobal>

// All on the X server named by $DISPLAY.

// Asks every mapped top-level window of a process to close, the way a window manager's close
// button does (WM_DELETE_WINDOW). Returns how many windows were asked.
int closeWindowsOfProcess(qint64 pid);

int mappedWindowsOfProcess(qint64 pid);

bool windowManagerRunning();
