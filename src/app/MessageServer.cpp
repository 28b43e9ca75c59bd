#include "app/MessageServer.h"

#include "app/ClientShutdownCall.h"
#include "app/ClipboardHandoff.h"
#include "app/Message.h"
#include "app/MessageAdaptor.h"
#include "app/modMain.h"
#include "session/SessionLog.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QPointer>

#include <chrono>

MessageServer::MessageServer(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , mBus(bus)
    , mWatcher(QString(), bus, QDBusServiceWatcher::WatchForUnregistration)
{
    registerSessionFigures();
    connect(&mWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &MessageServer::connectionLeft);
    mKeepingClipboard.setSingleShot(true);
    mKeepingClipboard.setInterval(std::chrono::minutes(10));
    connect(&mKeepingClipboard, &QTimer::timeout, this, [this] {
        mClipboardKept = true;
        quitIfIdle();
    });
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this, [this] {
        if (mKeepingClipboard.isActive())
            quitIfIdle();
    });
}

MessageServer::~MessageServer() = default;

QDBusObjectPath MessageServer::CreateMessage()
{
    const quint64 number = mNextId++;
    const QString path = QStringLiteral("/Message/%1").arg(number);
    auto *adaptor = new MessageAdaptor;
    QPointer<MessageAdaptor> adaptorGuard(adaptor);
    QPointer<MessageServer> self(this);
    QDBusConnection bus = mBus;
    const std::shared_ptr<Message> message(
        new Message([bus](const ClientRef &client) { callClientShutDown(bus, client); }, number,
                    [self](const QString &service) {
                        if (self)
                            self->watchConnection(service);
                    }),
        [bus, path, adaptorGuard, self](Message *dying) mutable {
            bus.unregisterObject(path);
            if (adaptorGuard)
                adaptorGuard->deleteLater();
            delete dying;
            if (self)
                QMetaObject::invokeMethod(self.data(), &MessageServer::quitIfIdle,
                                          Qt::QueuedConnection);
        });
    adaptor->setMessage(message);
    mBus.registerObject(path, adaptor, QDBusConnection::ExportAllSlots);

    const QString creator = calledFromDBus() ? this->message().service() : QString();
    mObjects[path] = {message, message, creator, number};
    if (!creator.isEmpty())
        watchConnection(creator);
    return QDBusObjectPath(path);
}

// A connection that has already left (a fire-and-forget call, a client killed mid-call) sends
// no NameOwnerChanged once the watch is set up, so its name is checked after the watch: the
// bus answers in order, and a unique name never comes back.
void MessageServer::watchConnection(const QString &service)
{
    if (mWatcher.watchedServices().contains(service))
        return;
    mWatcher.addWatchedService(service);
    auto *pending = new QDBusPendingCallWatcher(
        mBus.interface()->asyncCall(QStringLiteral("NameHasOwner"), service), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, service](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<bool> owned = *call;
                if (owned.isValid() && !owned.value())
                    connectionLeft(service);
            });
}

void MessageServer::ReleaseMessage(const QDBusObjectPath &message)
{
    forgetDeadEntries();
    const auto it = mObjects.find(message.path());
    if (it == mObjects.end() || !it->second.creatorHold) {
        sendErrorReply(
            QStringLiteral("HELIXDebug.Error.UnknownObject"),
            QStringLiteral("No message object %1 is held by its creator").arg(message.path()));
        return;
    }
    if (calledFromDBus() && it->second.creator != this->message().service()) {
        sendErrorReply(QStringLiteral("HELIXDebug.Error.NotOwner"),
                       QStringLiteral("%1 was created by another connection").arg(message.path()));
        return;
    }
    it->second.creatorHold.reset();
}

QList<SessionFigure> MessageServer::SessionFigures()
{
    return sessionFigures(Session());
}

QList<RequestFigure> MessageServer::RequestFigures()
{
    return requestFigures(Session());
}

void MessageServer::connectionLeft(const QString &service)
{
    mWatcher.removeWatchedService(service);
    Session().connectionLeft(Session().now(), service);
    for (auto &[path, entry] : mObjects) {
        if (entry.creator == service)
            entry.creatorHold.reset();
    }
    forgetDeadEntries();
    quitIfIdle();
}

void MessageServer::forgetDeadEntries()
{
    std::erase_if(mObjects, [](const auto &item) {
        if (!item.second.object.expired())
            return false;
        Session().objectGone(item.second.number);
        return true;
    });
}

int MessageServer::liveMessages() const
{
    return int(std::count_if(mObjects.begin(), mObjects.end(),
                             [](const auto &item) { return !item.second.object.expired(); }));
}

void MessageServer::quitIfIdle()
{
    forgetDeadEntries();
    if (loadedMainWindow() || liveMessages() > 0) {
        mKeepingClipboard.stop();
        mClipboardKept = false;
        return;
    }
    // Lines copied last would go with the process: it stays, windowless and still serving the
    // bus, until another program takes the clipboard or long enough to paste them has passed.
    if (!mClipboardKept && copiedLinesWouldBeLost()) {
        if (!mKeepingClipboard.isActive())
            mKeepingClipboard.start();
        return;
    }
    QCoreApplication::quit();
}
