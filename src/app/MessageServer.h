#pragma once

#include "app/SessionFigures.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>

#include <map>
#include <memory>

class Message;

// The object clients create Message objects from (/, interface HELIXDebug.Server). Each
// object lives while its creator holds it or the window does; a creator that leaves the bus
// lets go of everything it held. When no window is loaded and no object is alive, the
// process quits (once lines it put on the clipboard are safe), and the bus starts it again on
// the next call.
class MessageServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "HELIXDebug.Server")
public:
    explicit MessageServer(const QDBusConnection &bus, QObject *parent = nullptr);
    ~MessageServer() override;

    int liveMessages() const;
    // Quits the application when nothing keeps the display alive any more.
    void quitIfIdle();

public Q_SLOTS:
    QDBusObjectPath CreateMessage();
    void ReleaseMessage(const QDBusObjectPath &message);
    // The Session window's tables: a row per client title since the display started, and one
    // per client title and request name.
    QList<SessionFigure> SessionFigures();
    QList<RequestFigure> RequestFigures();

private:
    struct Entry {
        std::weak_ptr<Message> object;
        std::shared_ptr<Message> creatorHold;
        QString creator;
        quint64 number = 0;
    };

    // Creators and registered clients alike: when one leaves the bus, what it created is let
    // go and the clients it registered are gone.
    void watchConnection(const QString &service);
    void connectionLeft(const QString &service);
    void forgetDeadEntries();

    QDBusConnection mBus;
    QDBusServiceWatcher mWatcher;
    QTimer mKeepingClipboard;
    bool mClipboardKept = false;       // kept as long as it is kept at most
    std::map<QString, Entry> mObjects; // by object path
    quint64 mNextId = 1;
};
