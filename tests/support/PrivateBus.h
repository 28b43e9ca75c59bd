#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

// A session bus of the test's own, on which a call to HELIXDebug.Message starts the display built
// alongside; DBUS_SESSION_BUS_ADDRESS points the test and all it starts at it.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();

    bool isRunning() const { return mConnection.isConnected(); }
    QString address() const { return mAddress; }
    QDBusConnection connection() const { return mConnection; } // the test's own
    qint64 displayPid() const; // of the display that owns HELIXDebug.Message now, or 0
    // Waits for the answer; `member` as dbus-send writes it: "HELIXDebug.Server.CreateMessage".
    QDBusMessage call(const QString &path, const QString &member,
                      const QList<QVariant> &arguments = {},
                      const QDBusConnection *through = nullptr) const;

private:
    QProcess mDaemon;
    QString mAddress;
    QDBusConnection mConnection{QString()};
};

// How a call came back, as the tests and their client write it: "ok", or the error's name.
QString outcome(const QDBusMessage &reply);
bool processAlive(qint64 pid); // and not a zombie
