#include "app/MessageAdaptor.h"

#include "app/BufferDecoding.h"
#include "app/Message.h"

#include <QDBusConnection>
#include <QDBusMessage>

QString dbusErrorName(const HelixError &error)
{
    return QStringLiteral("HELIXDebug.Error.") + error.name;
}

std::shared_ptr<Message> MessageAdaptor::target()
{
    std::shared_ptr<Message> message = mMessage.lock();
    if (!message)
        sendErrorReply(QDBusError::UnknownObject, QStringLiteral("The message object is gone"));
    return message;
}

void MessageAdaptor::fail(const HelixError &error)
{
    sendErrorReply(dbusErrorName(error), error.message());
}

std::optional<QString> MessageAdaptor::decoded(const QByteArray &buffer)
{
    auto text = BufferDecoding::decode(buffer);
    if (auto *error = std::get_if<HelixError>(&text)) {
        fail(*error);
        return std::nullopt;
    }
    return std::get<QString>(std::move(text));
}

void MessageAdaptor::Initialize(const QDBusObjectPath &clsHELIX, const QString &sAppTitle)
{
    const std::shared_ptr<Message> message = target();
    if (!message)
        return;
    std::optional<ClientRef> client;
    if (clsHELIX.path() != QLatin1String("/"))
        client = ClientRef{this->message().service(), clsHELIX.path()};
    if (auto error = message->Initialize(client, sAppTitle))
        fail(*error);
}

void MessageAdaptor::PrintReceiveBuffer(const QByteArray &HELIXBuffer)
{
    const std::shared_ptr<Message> message = target();
    const std::optional<QString> buffer = message ? decoded(HELIXBuffer) : std::nullopt;
    if (!buffer)
        return;
    if (auto error = message->PrintReceiveBuffer(*buffer))
        fail(*error);
}

void MessageAdaptor::PrintSendBuffer(const QString &AppName, const QString &HELIXRequest,
                                     const QByteArray &HELIXBuffer)
{
    const std::shared_ptr<Message> message = target();
    const std::optional<QString> buffer = message ? decoded(HELIXBuffer) : std::nullopt;
    if (buffer)
        message->PrintSendBuffer(AppName, HELIXRequest, *buffer);
}

void MessageAdaptor::PrintText(const QString &AppName, const QString &Text)
{
    if (const std::shared_ptr<Message> message = target())
        message->PrintText(AppName, Text);
}

void MessageAdaptor::UnHook(const QString &sAppTitle)
{
    const std::shared_ptr<Message> message = target();
    if (!message)
        return;
    if (auto error = message->UnHook(sAppTitle))
        fail(*error);
}
