// helix_test_client MODE OBJECT TITLE ARGUMENT: a HELIX client for the service tests, on OBJECT:
//   normal  when told to stop tracing, logs its title to the file ARGUMENT and exits
//   hang    logs its title likewise, then answers nothing for far longer than any caller waits
//   vanish  leaves the bus right after registering
//   soak    prints ARGUMENT notes "line 1", "line 2", ..., then exits
//   timed   on OBJECT, or on an object of its own for "/", sends one request per item of ARGUMENT
//           ("20,-1,Find:300/7"), named Get (or the name before ":") and answered that many ms
//           later with RC=0 (or the code after "/"), never if negative
//   strict  like normal, but its object takes only calls that name the interface, as GDBus does;
//   bare    like strict, but only calls that name no interface
#include "HelixDebugClient.h"

#include <QCoreApplication>
#include <QDBusVirtualObject>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

// A client object made by hand, refusing what its library would refuse.
struct PickyObject : QDBusVirtualObject {
    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &bus) override
    {
        const bool refused = message.interface().isEmpty() == strict;
        bus.send(refused ? message.createErrorReply(u"org.freedesktop.DBus.Error.UnknownMethod"_s,
                                                    u"Object does not exist"_s)
                         : message.createReply());
        if (!refused)
            onShutDown();
        return true;
    }
    bool strict = false;
    std::function<void()> onShutDown;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args[1], title = args[3];
    HelixDebug::Message message;
    if (mode != u"timed"_s || args[2] != u"/"_s)
        message.attach(QDBusObjectPath(args[2]));
    else if (message.create().isValid())
        return 1;
    const auto onShutDown = [&] {
        if (QFile log(args[4]); log.open(QIODevice::Append))
            log.write((title + u'\n').toUtf8());
        if (mode == u"hang"_s)
            QThread::sleep(60);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    };
    PickyObject picky;
    picky.strict = mode == u"strict"_s;
    picky.onShutDown = onShutDown;
    QDBusError error;
    if (mode == u"strict"_s || mode == u"bare"_s) {
        message.bus().registerVirtualObject(u"/Picky"_s, &picky);
        error = QDBusError(message.bus().call(
            QDBusMessage::createMethodCall(u"HELIXDebug.Message"_s, args[2],
                                           u"HELIXDebug.Message"_s, u"Initialize"_s)
            << QVariant::fromValue(QDBusObjectPath(u"/Picky"_s)) << title));
    } else {
        error = message.Initialize(title, onShutDown);
    }
    if (error.isValid()) {
        std::printf("error %s %s\n", qPrintable(error.name()), qPrintable(error.message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (int k = 1; mode == u"soak"_s && k <= args[4].toInt(); ++k) {
        if (message.PrintText(title, u"line %1"_s.arg(k)).isValid())
            return 1;
        QThread::msleep(2);
    }
    for (QString item : mode == u"timed"_s ? args[4].split(u',') : QStringList()) {
        const QString name = item.contains(u':') ? item.section(u':', 0, 0) : u"Get"_s;
        item = item.section(u':', -1);
        if (message.PrintSendBuffer(title, name, u"A=1\0"_s).isValid())
            return 1;
        if (const int delay = item.section(u'/', 0, 0).toInt(); delay >= 0) {
            QThread::msleep(std::uint32_t(delay));
            const QString code = (item + u"/0"_s).section(u'/', 1, 1); // "0" when none is given
            if (message.PrintReceiveBuffer(u"V=1\0RC=%1\0[DATA]\0B=2\0"_s.arg(code)).isValid())
                return 1;
        }
    }
    if (mode == u"soak"_s || mode == u"timed"_s || mode == u"vanish"_s)
        std::_Exit(0); // leave the bus without a goodbye, as a crashed client would
    return QCoreApplication::exec();
}
