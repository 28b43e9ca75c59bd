// The baseline for the display's call rate: a service on the same bus, built on the same D-Bus
// stack, whose prints take the same arguments and do nothing.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>

#include <cstdio>

class NoopMessage : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "HELIXDebug.Message")
public Q_SLOTS:
    void PrintSendBuffer(const QString &, const QString &, const QByteArray &) {}
    void PrintReceiveBuffer(const QByteArray &) {}
    void PrintText(const QString &, const QString &) {}
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    NoopMessage noop;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/Message/1"), &noop, QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("HELIXDebug.Bench"))) {
        std::fprintf(stderr, "bench_noop_service: cannot register on the bus\n");
        return 1;
    }
    return QCoreApplication::exec();
}

#include "NoopService.moc"
