#include "PrivateBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QFile>

#include <QThread>

#include <csignal>

#ifndef HELIX_BUS_CONFIG
#error "HELIX_BUS_CONFIG must name the private bus configuration"
#endif

PrivateBus::PrivateBus()
{
    mDaemon.setProgram(QStringLiteral("dbus-daemon"));
    mDaemon.setArguments({QStringLiteral("--config-file=" HELIX_BUS_CONFIG),
                          QStringLiteral("--print-address=1"), QStringLiteral("--nofork")});
    // What the daemon and the display it starts say on stderr shows up in the test log.
    mDaemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mDaemon.start();
    if (!mDaemon.waitForStarted(5000))
        return;
    while (!mDaemon.canReadLine() && mDaemon.waitForReadyRead(5000)) {
    }
    mAddress = QString::fromUtf8(mDaemon.readLine()).trimmed();
    if (mAddress.isEmpty())
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", mAddress.toUtf8());
    static int buses = 0;
    mConnection = QDBusConnection::connectToBus(mAddress, QStringLiteral("private%1").arg(++buses));
}

PrivateBus::~PrivateBus()
{
    const qint64 display = displayPid();
    if (mConnection) {
        const QString name = mConnection->name();
        mConnection.reset();
        QDBusConnection::disconnectFromBus(name);
    }
    mDaemon.terminate();
    mDaemon.waitForFinished(5000);
    // The display quits when its bus goes away; make sure no test leaves one behind.
    if (display > 0 && processAlive(display)) {
        for (int i = 0; i < 50 && processAlive(display); ++i)
            QThread::msleep(100);
        if (processAlive(display))
            ::kill(pid_t(display), SIGKILL);
    }
}

qint64 PrivateBus::displayPid() const
{
    if (!isRunning())
        return 0;
    QDBusConnectionInterface *bus = mConnection->interface();
    if (!bus)
        return 0;
    const QDBusReply<uint> pid = bus->servicePid(QStringLiteral("HELIXDebug.Message"));
    return pid.isValid() ? pid.value() : 0;
}

bool processAlive(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    // The state follows the parenthesised command name: Z is a zombie, X dead.
    const QByteArray stat = status.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    return close > 0 && close + 2 < stat.size() && stat[close + 2] != 'Z' && stat[close + 2] != 'X';
}
