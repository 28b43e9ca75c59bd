#pragma once

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>

#include <memory>
#include <optional>

class Message;
struct HelixError;

// The D-Bus face of one Message object (/Message/<n>, interface HELIXDebug.Message): decodes
// buffers, passes every call to the object and turns its failures into D-Bus errors. The
// methods, their order and their argument names are what clients see in introspection.
class MessageAdaptor : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "HELIXDebug.Message")
public:
    void setMessage(std::weak_ptr<Message> message) { mMessage = std::move(message); }

public Q_SLOTS:
    void Initialize(const QDBusObjectPath &clsHELIX, const QString &sAppTitle);
    void PrintReceiveBuffer(const QByteArray &HELIXBuffer);
    void PrintSendBuffer(const QString &AppName, const QString &HELIXRequest,
                         const QByteArray &HELIXBuffer);
    void PrintText(const QString &AppName, const QString &Text);
    void UnHook(const QString &sAppTitle);

private:
    std::shared_ptr<Message> target();
    void fail(const HelixError &error);
    // The buffer as text, or nothing after replying why it cannot be shown.
    std::optional<QString> decoded(const QByteArray &buffer);

    std::weak_ptr<Message> mMessage;
};

// The D-Bus error name of a failure: "HELIXDebug.Error.<Name>".
QString dbusErrorName(const HelixError &error);
