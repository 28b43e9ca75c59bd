#include "app/ClientShutdownCall.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>

void callClientShutDown(QDBusConnection bus, const ClientRef &client)
{
    QDBusMessage call = QDBusMessage::createMethodCall(client.service, client.path, QString(),
                                                       QStringLiteral("clsDebug_ShutDown"));
    call.setAutoStartService(false);
    QDBusPendingCallWatcher watcher(bus.asyncCall(call, ClientShutdownTimeoutMs));
    if (watcher.isFinished())
        return;
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    loop.exec();
}
