// The display as clients meet it: calls per second over a private bus against a service that
// does nothing with the same arguments, and the display's memory across a million calls.
#include "BenchReport.h"
#include "HelixDebugClient.h"
#include "PrivateBus.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <deque>

namespace {

constexpr int kInFlight = 100;
const QString kApp = QStringLiteral("Bench");
const QString kRequest = QStringLiteral("Lookup");

// A request of about 300 bytes: a header section and a dozen data fields.
QByteArray requestBuffer()
{
    QByteArray buffer("[HEADER]\0VER=2\0SESSION=4711\0USER=jdoe\0[DATA]\0", 45);
    const char *fields[] = {"ITEM=A-1042",          "NAME=Kowalski",  "QTY=3",
                            "PRICE=1299.00",        "STATUS=open",    "CUSTOMER=Müller GmbH",
                            "WAREHOUSE=Łódź depot", "DUE=2026-12-06", "NOTE=call before delivery",
                            "PRIORITY=2",           "CHANNEL=web",    "REF=PO-2026-004417"};
    for (const char *field : fields) {
        buffer += field;
        buffer += '\0';
    }
    while (buffer.size() < 300) {
        buffer += "PAD=xxxxxxxx";
        buffer += '\0';
    }
    return buffer;
}

// UTF-8 bytes and count of the lines the display makes of one such call (headers hidden).
QPair<qint64, int> linesOf(const QByteArray &buffer)
{
    const QByteArray data = buffer.mid(buffer.indexOf(QByteArray("\0[DATA]\0", 8)) + 8);
    qint64 bytes = QByteArray("[Bench]  Lookup Request").size();
    int lines = 1;
    for (const QByteArray &field : data.split('\0')) {
        if (field.isEmpty())
            continue;
        bytes += 14 + field.size(); // "PutTag " after one indent, or two indents
        ++lines;
    }
    return {bytes, lines};
}

QDBusMessage printCall(const QString &service, const QByteArray &buffer)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/Message/1"),
                                                       QStringLiteral("HELIXDebug.Message"),
                                                       QStringLiteral("PrintSendBuffer"));
    call.setArguments({kApp, kRequest, buffer});
    return call;
}

double syncRate(QDBusConnection bus, const QDBusMessage &call, int calls)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i) {
        if (bus.call(call).type() != QDBusMessage::ReplyMessage)
            qFatal("call failed");
    }
    return calls * 1e9 / double(timer.nsecsElapsed());
}

double pipelinedRate(QDBusConnection bus, const QDBusMessage &call, int calls)
{
    std::deque<QDBusPendingCall> inFlight;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i) {
        if (int(inFlight.size()) == kInFlight) {
            inFlight.front().waitForFinished();
            if (inFlight.front().isError())
                qFatal("call failed: %s", qPrintable(inFlight.front().error().message()));
            inFlight.pop_front();
        }
        inFlight.push_back(bus.asyncCall(call));
    }
    for (QDBusPendingCall &pending : inFlight)
        pending.waitForFinished();
    return calls * 1e9 / double(timer.nsecsElapsed());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    PrivateBus privateBus;
    if (!privateBus.isRunning())
        qFatal("no private bus");
    QDBusConnection bus = privateBus.connection();

    QProcess noop;
    noop.start(QStringLiteral(HELIX_NOOP_SERVICE), {});
    for (int i = 0;
         i < 100 && !bus.interface()->isServiceRegistered(QStringLiteral("HELIXDebug.Bench")); ++i)
        QThread::msleep(50);

    HelixDebug::Message message(bus);
    if (message.create().isValid() || message.Initialize(kApp).isValid())
        qFatal("cannot reach the display");
    const qint64 pid = privateBus.displayPid();

    const QByteArray buffer = requestBuffer();
    const QDBusMessage display = printCall(QStringLiteral("HELIXDebug.Message"), buffer);
    const QDBusMessage baseline = printCall(QStringLiteral("HELIXDebug.Bench"), buffer);

    syncRate(bus, display, 2000); // warm up both ends
    syncRate(bus, baseline, 2000);
    // The best of three turns each, taken alternately: a moment of load elsewhere on the
    // machine slows one side only.
    double syncDisplay = 0;
    double syncNoop = 0;
    for (int round = 0; round < 3; ++round) {
        syncDisplay = std::max(syncDisplay, syncRate(bus, display, 7000));
        syncNoop = std::max(syncNoop, syncRate(bus, baseline, 7000));
    }
    report(QStringLiteral("sync PrintSendBuffer, 300 B (calls/s)"), fixed(syncDisplay, 0),
           fixed(syncNoop, 0), QStringLiteral(">= 70% of base"), syncDisplay >= 0.7 * syncNoop);

    const double pipeDisplay = pipelinedRate(bus, display, 100000);
    const double pipeNoop = pipelinedRate(bus, baseline, 100000);
    report(QStringLiteral("pipelined PrintSendBuffer (calls/s)"), fixed(pipeDisplay, 0),
           fixed(pipeNoop, 0), QStringLiteral(">= 70% of base"), pipeDisplay >= 0.7 * pipeNoop);

    // Memory across a million calls, against what the lines they make hold in UTF-8.
    const qint64 before = residentBytes(pid);
    constexpr int kMillion = 1000000;
    pipelinedRate(bus, display, kMillion);
    const qint64 after = residentBytes(pid);
    const auto [lineBytes, lines] = linesOf(buffer);
    const double perCall = double(after - before) / kMillion;
    const double allowed = 1.5 * double(lineBytes) + 16.0 * lines;
    report(QStringLiteral("display RSS growth per call, 1M calls (B)"), fixed(perCall),
           fixed(double(lineBytes)) + QStringLiteral(" utf8"), QStringLiteral("<= 1.5x+16/line"),
           perCall <= allowed);
    report(QStringLiteral("display RSS before/after 1M calls (MB)"), fixed(after / 1048576.0),
           fixed(before / 1048576.0), QStringLiteral("(reported)"), true);

    noop.kill();
    noop.waitForFinished();
    return 0;
}
