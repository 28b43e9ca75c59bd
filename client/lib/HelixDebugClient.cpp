#include "HelixDebugClient.h"

#include <QDBusMessage>
#include <QDBusReply>

#include <atomic>

namespace HelixDebug {

namespace {

const QString kService = QStringLiteral("HELIXDebug.Message");
const QString kInterface = QStringLiteral("HELIXDebug.Message");

// The object the display calls clsDebug_ShutDown on.
class ShutdownCallback : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "HELIXDebug.Client")
public:
    explicit ShutdownCallback(std::function<void()> onShutDown, QObject *parent)
        : QObject(parent)
        , mOnShutDown(std::move(onShutDown))
    {
    }

public Q_SLOTS:
    void clsDebug_ShutDown() { mOnShutDown(); }

private:
    std::function<void()> mOnShutDown;
};

QString nextCallbackPath()
{
    static std::atomic<int> next{1};
    return QStringLiteral("/HELIXDebugClient/%1").arg(next++);
}

} // namespace

Message::Message(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , mBus(bus)
{
}

Message::~Message()
{
    if (mCreated)
        release();
    for (QObject *callback : mCallbacks)
        mBus.unregisterObject(callback->objectName());
}

QDBusError Message::create()
{
    const QDBusMessage request = QDBusMessage::createMethodCall(kService, QStringLiteral("/"),
                                                                QStringLiteral("HELIXDebug.Server"),
                                                                QStringLiteral("CreateMessage"));
    const QDBusReply<QDBusObjectPath> reply = mBus.call(request);
    if (!reply.isValid())
        return reply.error();
    mPath = reply.value();
    mCreated = true;
    return {};
}

void Message::attach(const QDBusObjectPath &path)
{
    mPath = path;
    mCreated = false;
}

QDBusError Message::release()
{
    if (!mCreated)
        return {};
    mCreated = false;
    const QDBusMessage request = QDBusMessage::createMethodCall(kService, QStringLiteral("/"),
                                                                QStringLiteral("HELIXDebug.Server"),
                                                                QStringLiteral("ReleaseMessage"));
    const QDBusMessage reply = mBus.call(QDBusMessage(request) << QVariant::fromValue(mPath));
    return reply.type() == QDBusMessage::ErrorMessage ? QDBusError(reply) : QDBusError();
}

QDBusMessage Message::methodCall(const QString &method, const QList<QVariant> &arguments) const
{
    QDBusMessage request =
        QDBusMessage::createMethodCall(kService, mPath.path(), kInterface, method);
    request.setArguments(arguments);
    return request;
}

QDBusError Message::call(const QString &method, const QList<QVariant> &arguments)
{
    const QDBusMessage reply = mBus.call(methodCall(method, arguments));
    return reply.type() == QDBusMessage::ErrorMessage ? QDBusError(reply) : QDBusError();
}

QDBusError Message::Initialize(const QString &title, std::function<void()> onShutDown)
{
    QDBusObjectPath callbackPath(QStringLiteral("/"));
    if (onShutDown) {
        auto *callback = new ShutdownCallback(std::move(onShutDown), this);
        callback->setObjectName(nextCallbackPath());
        mBus.registerObject(callback->objectName(), callback, QDBusConnection::ExportAllSlots);
        mCallbacks.push_back(callback);
        callbackPath = QDBusObjectPath(callback->objectName());
    }
    return call(QStringLiteral("Initialize"), {QVariant::fromValue(callbackPath), title});
}

QDBusError Message::PrintSendBuffer(const QString &appName, const QString &request,
                                    const QString &buffer)
{
    return call(QStringLiteral("PrintSendBuffer"), {appName, request, buffer.toUtf8()});
}

QDBusError Message::PrintReceiveBuffer(const QString &buffer)
{
    return call(QStringLiteral("PrintReceiveBuffer"), {buffer.toUtf8()});
}

QDBusError Message::PrintText(const QString &appName, const QString &text)
{
    return call(QStringLiteral("PrintText"), {appName, text});
}

QDBusError Message::UnHook(const QString &title)
{
    return call(QStringLiteral("UnHook"), {title});
}

QDBusPendingCall Message::PrintSendBufferAsync(const QString &appName, const QString &request,
                                               const QString &buffer)
{
    return mBus.asyncCall(
        methodCall(QStringLiteral("PrintSendBuffer"), {appName, request, buffer.toUtf8()}));
}

QDBusPendingCall Message::PrintReceiveBufferAsync(const QString &buffer)
{
    return mBus.asyncCall(methodCall(QStringLiteral("PrintReceiveBuffer"), {buffer.toUtf8()}));
}

QDBusPendingCall Message::PrintTextAsync(const QString &appName, const QString &text)
{
    return mBus.asyncCall(methodCall(QStringLiteral("PrintText"), {appName, text}));
}

} // namespace HelixDebug

#include "HelixDebugClient.moc"
