// One flooding HELIX client for the benchmarks: request/reply pairs as fast as the service
// answers, a window of calls in flight, then the time it took on stdout.
//   bench_flood_client SERVICE OBJECT PAIRS
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>

#include <cstdio>
#include <deque>

namespace {

constexpr int kInFlight = 64;

QByteArray fields(std::initializer_list<const char *> values)
{
    QByteArray buffer;
    for (const char *value : values) {
        buffer += value;
        buffer += '\0';
    }
    return buffer;
}

// About 220 bytes with a header and a dozen fields, and the reply to it.
QByteArray request()
{
    return fields({"[HEADER]", "VER=2", "SESSION=4711", "USER=jdoe", "[DATA]", "ITEM=A-1042",
                   "NAME=Kowalski", "QTY=3", "PRICE=1299.00", "STATUS=open",
                   "CUSTOMER=M\xc3\xbcller GmbH",
                   "WAREHOUSE=\xc5\x81\xc3\xb3"
                   "d\xc5\xba depot",
                   "DUE=2026-12-06", "NOTE=call before delivery", "PRIORITY=2", "CHANNEL=web",
                   "REF=PO-2026-004417"});
}

QByteArray reply()
{
    return fields({"[HEADER]", "VER=2", "SESSION=4711", "RC=0", "[DATA]", "ITEM=A-1042",
                   "NAME=Kowalski", "STATUS=shipped", "TRACKING=00340434161234567890"});
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const QString service = args[1];
    const QString object = args[2];
    const long long pairs = args[3].toLongLong();
    QDBusConnection bus = QDBusConnection::sessionBus();
    const auto make = [&](const QString &method, const QList<QVariant> &arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, object, QStringLiteral("HELIXDebug.Message"), method);
        call.setArguments(arguments);
        return call;
    };
    const QDBusMessage send = make(QStringLiteral("PrintSendBuffer"),
                                   {QStringLiteral("Flood"), QStringLiteral("Lookup"), request()});
    const QDBusMessage receive = make(QStringLiteral("PrintReceiveBuffer"), {reply()});
    std::deque<QDBusPendingCall> inFlight;
    QElapsedTimer timer;
    timer.start();
    for (long long i = 0; i < 2 * pairs; ++i) {
        if (int(inFlight.size()) == kInFlight) {
            inFlight.front().waitForFinished();
            if (inFlight.front().isError()) {
                std::fprintf(stderr, "%s\n", qPrintable(inFlight.front().error().message()));
                return 1;
            }
            inFlight.pop_front();
        }
        inFlight.push_back(bus.asyncCall(i % 2 ? receive : send));
    }
    for (QDBusPendingCall &pending : inFlight)
        pending.waitForFinished();
    std::printf("%lld\n", timer.nsecsElapsed());
    return 0;
}
