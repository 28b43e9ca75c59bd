// Recording and replaying on a private bus with the real display: the bytes a recording takes
// for a million calls of the demo traffic against their buffers, the flood client's rate with
// the recorder listening against the bus's own monitor, and a --fast replay of that flood against
// the flood.
#include "BenchReport.h"
#include "HelixDebugClient.h"
#include "PrivateBus.h"
#include "recording/Recording.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

constexpr long long kDemoCalls = 1000000;
constexpr long long kFloodPairs = 50000;

// Starts helixdebug-record and waits until it listens.
bool startRecorder(QProcess &recorder, const QString &file)
{
    recorder.start(QStringLiteral(HELIX_RECORD), {file});
    return recorder.waitForReadyRead(10000) && recorder.readLine().startsWith("helixdebug-record");
}

bool stopRecorder(QProcess &recorder)
{
    ::kill(pid_t(recorder.processId()), SIGTERM);
    return recorder.waitForFinished(60000) && recorder.exitCode() == 0;
}

// Waits until a file has stopped growing for two seconds: the calls that make it are over.
void waitUntilStill(const QString &file)
{
    qint64 size = -1;
    int still = 0;
    while (still < 4) {
        QThread::msleep(500);
        const qint64 now = QFileInfo(file).size();
        still = now == size && now > 0 ? still + 1 : 0;
        size = now;
    }
}

struct Contents {
    long long calls = 0;
    long long bufferBytes = 0;
    bool complete = false;
};

Contents readBack(const QString &path)
{
    QFile file(path);
    Contents contents;
    if (!file.open(QIODevice::ReadOnly))
        return contents;
    const uchar *mapped = file.map(0, file.size());
    RecordingReader reader(
        QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), mapped ? file.size() : 0));
    RecordedCall call;
    while (reader.next(call)) {
        if (call.method == RecordedCall::Left)
            continue;
        ++contents.calls;
        const int buffer = Recording::bufferArgument(call.method);
        if (buffer >= 0)
            contents.bufferBytes += call.arguments[buffer].size();
    }
    contents.complete = reader.state() == RecordingReader::State::Complete;
    return contents;
}

// Calls per second of one flood client of `pairs` request/reply pairs.
double flood(const QString &object, long long pairs)
{
    QProcess client;
    QElapsedTimer timer;
    timer.start();
    client.start(QStringLiteral(HELIX_FLOOD_CLIENT),
                 {QStringLiteral("HELIXDebug.Message"), object, QString::number(pairs)});
    client.waitForFinished(-1);
    return 2.0 * pairs * 1e9 / double(timer.nsecsElapsed());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString demoFile = dir.filePath(QStringLiteral("demo.helixrec"));
    const QString floodFile = dir.filePath(QStringLiteral("flood.helixrec"));
    {
        PrivateBus bus;
        QProcess recorder;
        if (!startRecorder(recorder, demoFile))
            qFatal("helixdebug-record did not start");
        QProcess demo;
        demo.start(
            QStringLiteral(HELIX_DEMO),
            {QStringLiteral("--flood"), QStringLiteral("--calls"), QString::number(kDemoCalls)});
        waitUntilStill(demoFile);
        if (!stopRecorder(recorder))
            qFatal("helixdebug-record failed");
        demo.kill();
        demo.waitForFinished();
        const Contents contents = readBack(demoFile);
        const double perCall = double(QFileInfo(demoFile).size()) / double(contents.calls);
        const double buffers = double(contents.bufferBytes) / double(contents.calls);
        report(QStringLiteral("recording, %1 demo calls (B/call)").arg(contents.calls),
               fixed(perCall), fixed(buffers) + QStringLiteral(" buffers"),
               QStringLiteral("<= 1.2x+32"),
               contents.complete && contents.calls >= kDemoCalls && perCall <= 1.2 * buffers + 32);
    }
    {
        PrivateBus bus;
        HelixDebug::Message held(bus.connection());
        if (held.create().isValid() || held.Initialize(QStringLiteral("Bench")).isValid())
            qFatal("cannot reach the display");
        const QString object = held.path().path();
        // The bus's own monitor, writing what it sees as it is, shows what listening costs the
        // bus; the recorder should add little to it.
        QProcess monitor;
        monitor.setStandardOutputFile(QProcess::nullDevice());
        monitor.start(QStringLiteral("dbus-monitor"),
                      {QStringLiteral("--session"), QStringLiteral("--binary"),
                       QStringLiteral("interface='HELIXDebug.Message'"),
                       QStringLiteral("type='method_return'")});
        monitor.waitForStarted();
        QThread::msleep(500);
        const double monitored = flood(object, kFloodPairs);
        monitor.kill();
        monitor.waitForFinished();
        QProcess recorder;
        if (!startRecorder(recorder, floodFile))
            qFatal("helixdebug-record did not start");
        const double recorded = flood(object, kFloodPairs);
        waitUntilStill(floodFile);
        if (!stopRecorder(recorder))
            qFatal("helixdebug-record failed");
        report(QStringLiteral("flood while recording (calls/s)"), fixed(recorded, 0),
               fixed(monitored, 0) + QStringLiteral(" dbus-monitor"),
               QStringLiteral(">= 80% of base"), recorded >= 0.8 * monitored);

        const double base = flood(object, kFloodPairs);
        const Contents contents = readBack(floodFile);
        QProcess replay;
        QElapsedTimer timer;
        timer.start();
        replay.start(QStringLiteral(HELIX_REPLAY), {QStringLiteral("--fast"), floodFile});
        replay.waitForFinished(-1);
        const double rate = double(contents.calls) * 1e9 / double(timer.nsecsElapsed());
        report(QStringLiteral("replay --fast of the flood (calls/s)"), fixed(rate, 0),
               fixed(base, 0) + QStringLiteral(" flood"), QStringLiteral(">= 70% of base"),
               replay.exitCode() == 0 && contents.calls >= 2 * kFloodPairs && rate >= 0.7 * base);
    }
    return 0;
}
