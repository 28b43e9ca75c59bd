#include "app/MessageServer.h"
#include "app/modMain.h"
#include "display/frmMain.h"
#include "platform/ToolIcons.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HELIX Debug Display"));
    QApplication::setWindowIcon(ToolIcons::applicationIcon());
    // The process lives while its window is loaded or a client holds a Message object.
    QApplication::setQuitOnLastWindowClosed(false);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "HELIXDebug2: no D-Bus session bus (%s)\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    MessageServer server(bus);
    if (!bus.registerObject(QStringLiteral("/"), &server, QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("HELIXDebug.Message"))) {
        std::fprintf(stderr, "HELIXDebug2: another display already owns HELIXDebug.Message\n");
        return 1;
    }
    // A display whose session bus is gone can no longer be reached by any client.
    bus.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), &app,
                SLOT(quit()));
    setMainWindowCreated([&server](frmMain &window) {
        QObject::connect(&window, &frmMain::unloaded, &server, &MessageServer::quitIfIdle,
                         Qt::QueuedConnection);
    });

    Main();
    return QApplication::exec();
}
