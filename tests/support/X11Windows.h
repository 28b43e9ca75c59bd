#pragma once

#include <QProcess>

// On the X server named by $DISPLAY: asks every mapped top-level window of a process to close,
// as a window manager's close button does (WM_DELETE_WINDOW). Returns how many were asked.
int closeWindowsOfProcess(qint64 pid);

int mappedWindowsOfProcess(qint64 pid);

// Xvfb and openbox of the test's own, for real frames, minimizing and maximizing. It points
// DISPLAY at its server, so it must be made before the application object.
struct WindowManagerSession {
    WindowManagerSession();
    ~WindowManagerSession();
    QProcess mServer, mManager;
    bool running = false; // Xvfb came up and openbox manages it
};
