#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace HelixDebug {

// One Message object on the HELIX Debug Display, reached over the D-Bus session bus: create
// it, register with Initialize (optionally with a callback for clsDebug_ShutDown), report
// requests, replies and notes, and UnHook. Every call returns the D-Bus error it met, or an
// invalid QDBusError on success. Buffers are strings whose fields end with U+0000.
class Message : public QObject {
    Q_OBJECT
public:
    explicit Message(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                     QObject *parent = nullptr);
    // Releases the object if this client created it.
    ~Message() override;

    // Creates a new object on the display (starting the display if needed).
    QDBusError create();
    // Uses an object that already exists, for example one the window holds.
    void attach(const QDBusObjectPath &path);
    QDBusObjectPath path() const { return mPath; }

    // Registers `title`. With a callback, the display calls it (through clsDebug_ShutDown)
    // when the operator closes the window; without one, nothing is registered, but the
    // window comes up and holds this object.
    QDBusError Initialize(const QString &title, std::function<void()> onShutDown = {});
    QDBusError PrintSendBuffer(const QString &appName, const QString &request,
                               const QString &buffer);
    QDBusError PrintReceiveBuffer(const QString &buffer);
    QDBusError PrintText(const QString &appName, const QString &text);
    QDBusError UnHook(const QString &title);
    QDBusError release();

    // The same calls without waiting for the answer, for clients that pipeline their traffic.
    QDBusPendingCall PrintSendBufferAsync(const QString &appName, const QString &request,
                                          const QString &buffer);
    QDBusPendingCall PrintReceiveBufferAsync(const QString &buffer);
    QDBusPendingCall PrintTextAsync(const QString &appName, const QString &text);

    QDBusConnection bus() const { return mBus; }

private:
    QDBusMessage methodCall(const QString &method, const QList<QVariant> &arguments) const;
    QDBusError call(const QString &method, const QList<QVariant> &arguments);

    QDBusConnection mBus;
    QDBusObjectPath mPath;
    bool mCreated = false;
    std::vector<QObject *> mCallbacks;
};

} // namespace HelixDebug
