#pragma once

#include <QtGlobal>

// Asks every mapped top-level window of a process to close, the way a window manager's close
// button does (WM_DELETE_WINDOW), on the X server named by $DISPLAY. Returns how many
// windows were asked.
int closeWindowsOfProcess(qint64 pid);

// How many mapped top-level windows the process has on $DISPLAY.
int mappedWindowsOfProcess(qint64 pid);
