#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

#include <optional>

// A D-Bus session bus of the test's own, started from the build tree's configuration so that
// the first call to HELIXDebug.Message starts the display built alongside the test. The
// test process and everything it starts use it through DBUS_SESSION_BUS_ADDRESS.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();

    bool isRunning() const { return mConnection && mConnection->isConnected(); }
    QString address() const { return mAddress; }
    // The test's own connection to the bus.
    QDBusConnection connection() const { return *mConnection; }

    // The process id of the display that owns HELIXDebug.Message now, or 0.
    qint64 displayPid() const;

private:
    QProcess mDaemon;
    QString mAddress;
    std::optional<QDBusConnection> mConnection;
};

// Whether a process is still running (and not a zombie).
bool processAlive(qint64 pid);
