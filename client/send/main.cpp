// helixdebug-send: one call to the HELIX Debug Display per run, for scripts.
#include "HelixDebugClient.h"
#include "send/SendArguments.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (const QString first = app.arguments().value(1); first == u"--help" || first == u"-h") {
        std::printf("%s", SendUsage);
        return 0;
    }
    const auto parsed = parseSendArguments(app.arguments().mid(1));
    if (const QString *problem = std::get_if<QString>(&parsed)) {
        std::fprintf(stderr, "helixdebug-send: %s\n%s", qPrintable(*problem), SendUsage);
        return 2;
    }
    const SendCommand &command = std::get<SendCommand>(parsed);
    const QStringList &a = command.arguments;

    HelixDebug::Message message;
    QDBusError error;
    if (command.object.isEmpty())
        error = message.create();
    else
        message.attach(QDBusObjectPath(command.object));
    if (!error.isValid()) {
        switch (command.kind) {
        case SendCommand::Initialize:
            error = message.Initialize(a[0]);
            if (!error.isValid())
                std::printf("%s\n", qPrintable(message.path().path()));
            break;
        case SendCommand::Send:
            error = message.PrintSendBuffer(a[0], a[1], a[2]);
            break;
        case SendCommand::Receive:
            error = message.PrintReceiveBuffer(a[0]);
            break;
        case SendCommand::Text:
            error = message.PrintText(a[0], a[1]);
            break;
        case SendCommand::UnHook:
            error = message.UnHook(a[0]);
            break;
        }
    }
    if (error.isValid()) {
        std::fprintf(stderr, "helixdebug-send: %s: %s\n", qPrintable(error.name()),
                     qPrintable(error.message()));
        return 1;
    }
    return 0;
}
