#include "PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QFile>
#include <QThread>

#include <csignal>

using namespace Qt::Literals::StringLiterals;

PrivateBus::PrivateBus()
{
    mDaemon.setProgram(u"dbus-daemon"_s);
    mDaemon.setArguments(
        {QStringLiteral("--config-file=" HELIX_BUS_CONFIG), u"--print-address=1"_s, u"--nofork"_s});
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
    mConnection = QDBusConnection::connectToBus(mAddress, u"private%1"_s.arg(++buses));
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
    for (int i = 0; i < 50 && display > 0 && processAlive(display); ++i)
        QThread::msleep(100);
    if (display > 0 && processAlive(display))
        ::kill(pid_t(display), SIGKILL);
}

qint64 PrivateBus::displayPid() const
{
    QDBusConnectionInterface *bus = isRunning() ? mConnection->interface() : nullptr;
    const QDBusReply<uint> pid =
        bus ? bus->servicePid(u"HELIXDebug.Message"_s) : QDBusReply<uint>();
    return pid.isValid() ? pid.value() : 0;
}

QDBusMessage PrivateBus::call(const QString &path, const QString &member,
                              const QList<QVariant> &arguments,
                              const QDBusConnection *through) const
{
    const qsizetype dot = member.lastIndexOf(u'.');
    QDBusMessage request = QDBusMessage::createMethodCall(u"HELIXDebug.Message"_s, path,
                                                          member.left(dot), member.mid(dot + 1));
    request.setArguments(arguments);
    return (through ? *through : connection()).call(request, QDBus::Block, 30000);
}

QString outcome(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage ? u"ok"_s : reply.errorName();
}

bool processAlive(qint64 pid)
{
    QFile status(u"/proc/%1/stat"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    // The state follows the parenthesised command name: Z is a zombie, X dead.
    const QByteArray stat = status.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    return close > 0 && close + 2 < stat.size() && stat[close + 2] != 'Z' && stat[close + 2] != 'X';
}
