#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
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
    QDBusConnection connection() const { return *mConnection; } // the test's own

    // The process id of the display that owns HELIXDebug.Message now, or 0.
    qint64 displayPid() const;

    // A call to the display that waits for its answer, on the test's own connection unless
    // another is given; `member` as dbus-send writes it: "HELIXDebug.Server.CreateMessage".
    QDBusMessage call(const QString &path, const QString &member,
                      const QList<QVariant> &arguments = {},
                      const QDBusConnection *through = nullptr) const;

private:
    QProcess mDaemon;
    QString mAddress;
    std::optional<QDBusConnection> mConnection;
};

// How a call came back, as the tests and their client write it: "ok", or the error's name.
QString outcome(const QDBusMessage &reply);

// Whether a process is still running (and not a zombie).
bool processAlive(qint64 pid);
