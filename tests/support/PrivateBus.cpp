#include "PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QFile>
#include <QTest>

#include <csignal>

using namespace Qt::Literals::StringLiterals;

PrivateBus::PrivateBus()
{
    mDaemon.setProcessChannelMode(QProcess::ForwardedErrorChannel); // and the display's, in the log
    mDaemon.start(u"dbus-daemon"_s, {QStringLiteral("--config-file=" HELIX_BUS_CONFIG),
                                     u"--print-address=1"_s, u"--nofork"_s});
    while (mDaemon.waitForStarted(5000) && !mDaemon.canReadLine() &&
           mDaemon.waitForReadyRead(5000)) {
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
    QDBusConnection::disconnectFromBus(mConnection.name());
    mConnection = QDBusConnection(QString()); // the last reference: the connection closes
    mDaemon.terminate();
    mDaemon.waitForFinished(5000);
    // The display quits when its bus goes away; make sure no test leaves one behind.
    if (display > 0 && !QTest::qWaitFor([&] { return !processAlive(display); }, 5000))
        ::kill(pid_t(display), SIGKILL);
}

qint64 PrivateBus::displayPid() const
{
    const QDBusReply<uint> pid = isRunning()
                                     ? mConnection.interface()->servicePid(u"HELIXDebug.Message"_s)
                                     : QDBusReply<uint>();
    return pid.isValid() ? pid.value() : 0;
}

QDBusMessage PrivateBus::call(const QString &path, const QString &member,
                              const QList<QVariant> &args, const QDBusConnection *through) const
{
    QDBusMessage request = QDBusMessage::createMethodCall(
        u"HELIXDebug.Message"_s, path, member.section(u'.', 0, -2), member.section(u'.', -1));
    request.setArguments(args);
    return (through ? *through : connection()).call(request, QDBus::Block, 30000);
}

QString outcome(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage ? u"ok"_s : reply.errorName();
}

bool processAlive(qint64 pid)
{
    QFile file(u"/proc/%1/stat"_s.arg(pid));
    const QByteArray stat = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    // The state follows the parenthesised command name: Z is a zombie, X dead.
    const QByteArray state = stat.mid(stat.lastIndexOf(')') + 2, 1);
    return !state.isEmpty() && state != "Z" && state != "X";
}
