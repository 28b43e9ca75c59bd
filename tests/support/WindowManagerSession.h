#pragma once

#include <QProcess>

// An X server with a window manager of the test's own (Xvfb and openbox), for tests in which
// frames, minimizing and maximizing must be real. It points DISPLAY at its server, so it must
// be made before the application object.
class WindowManagerSession {
public:
    WindowManagerSession();
    ~WindowManagerSession();
    WindowManagerSession(const WindowManagerSession &) = delete;
    WindowManagerSession &operator=(const WindowManagerSession &) = delete;

    bool isRunning() const { return mRunning; }

private:
    QProcess mServer;
    QProcess mManager;
    bool mRunning = false;
};
