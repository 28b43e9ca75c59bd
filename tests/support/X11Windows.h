#pragma once

#include <QProcess>

// All on the X server named by $DISPLAY.

// Asks every mapped top-level window of a process to close, the way a window manager's close
// button does (WM_DELETE_WINDOW). Returns how many windows were asked.
int closeWindowsOfProcess(qint64 pid);

int mappedWindowsOfProcess(qint64 pid);

// An X server with a window manager of the test's own (Xvfb and openbox), for tests in which
// frames, minimizing and maximizing must be real. It points DISPLAY at its server, so it must
// be made before the application object.
class WindowManagerSession {
public:
    WindowManagerSession();
    ~WindowManagerSession();
    bool isRunning() const { return mRunning; }

private:
    QProcess mServer, mManager;
    bool mRunning = false;
};
