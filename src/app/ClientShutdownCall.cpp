#include "app/ClientShutdownCall.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QEventLoop>

namespace {

// The interface clients export clsDebug_ShutDown on.
constexpr char ClientInterface[] = "HELIXDebug.Client";

QDBusMessage waitForShutDownCall(QDBusConnection &bus, const ClientRef &client,
                                 const QString &interface, int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(client.service, client.path, interface,
                                                       QStringLiteral("clsDebug_ShutDown"));
    call.setAutoStartService(false);
    QDBusPendingCallWatcher watcher(bus.asyncCall(call, timeoutMs));
    if (!watcher.isFinished()) {
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return watcher.reply();
}

bool hasNoSuchMethod(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    const QString name = reply.errorName();
    return name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
           name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
           name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject");
}

} // namespace

void callClientShutDown(QDBusConnection bus, const ClientRef &client)
{
    const QDeadlineTimer deadline(ClientShutdownTimeoutMs);
    const QDBusMessage reply =
        waitForShutDownCall(bus, client, QLatin1String(ClientInterface), ClientShutdownTimeoutMs);
    const int left = int(deadline.remainingTime());
    if (hasNoSuchMethod(reply) && left > 0)
        waitForShutDownCall(bus, client, QString(), left);
}
