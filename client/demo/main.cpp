// helixdebug-demo: a HELIX client that plays realistic traffic into the display, at a steady
// rate or as fast as the display takes it, and stops when the display asks it to.
#include "HelixDebugClient.h"
#include "traffic/DemoTraffic.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QTimer>

#include <cstdio>

namespace {

// Calls in flight at once when flooding: below the bus's usual limit of pending replies.
constexpr int kInFlight = 100;

const QStringList kTitles = {QStringLiteral("HELIX Catalog"), QStringLiteral("HELIX Orders"),
                             QStringLiteral("HELIX Billing")};

class Player : public QObject {
public:
    Player(HelixDebug::Message &message, int rate, qint64 calls, bool flood, bool headers)
        : mMessage(message)
        , mCalls(calls)
        , mFlood(flood)
        , mHeaders(headers)
        , mQueue(DemoTraffic::showcase())
    {
        QObject::connect(&mTimer, &QTimer::timeout, this, [this] { tick(); });
        mTimer.start(flood ? 0 : std::max(1, 1000 / std::max(1, rate)));
    }

    void stop() { mTimer.stop(); }
    qint64 played() const { return mPlayed; }

private:
    TraceCall nextCall()
    {
        if (!mQueue.isEmpty())
            return mQueue.takeFirst();
        return mTraffic.next(mHeaders && mPlayed % 3 != 0);
    }

    void tick()
    {
        // Done: the client stays, as a traced application would, until the display asks it
        // to stop.
        if (mCalls > 0 && mPlayed >= mCalls) {
            mTimer.stop();
            return;
        }
        if (!mFlood) {
            report(play(nextCall()));
            ++mPlayed;
            return;
        }
        // Keep a window of calls in flight: the display's own speed sets the pace.
        while (mPending < kInFlight && (mCalls <= 0 || mPlayed < mCalls)) {
            auto *watcher = new QDBusPendingCallWatcher(playAsync(nextCall()), this);
            ++mPending;
            ++mPlayed;
            QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                             [this](QDBusPendingCallWatcher *done) {
                                 --mPending;
                                 report(done->error());
                                 done->deleteLater();
                             });
        }
    }

    QDBusError play(const TraceCall &call)
    {
        switch (call.kind) {
        case TraceCall::Send:
            return mMessage.PrintSendBuffer(call.appName, call.request, call.buffer);
        case TraceCall::Receive:
            return mMessage.PrintReceiveBuffer(call.buffer);
        case TraceCall::Text:
            break;
        }
        return mMessage.PrintText(call.appName, call.text);
    }

    QDBusPendingCall playAsync(const TraceCall &call)
    {
        switch (call.kind) {
        case TraceCall::Send:
            return mMessage.PrintSendBufferAsync(call.appName, call.request, call.buffer);
        case TraceCall::Receive:
            return mMessage.PrintReceiveBufferAsync(call.buffer);
        case TraceCall::Text:
            break;
        }
        return mMessage.PrintTextAsync(call.appName, call.text);
    }

    static void report(const QDBusError &error)
    {
        if (error.isValid())
            std::fprintf(stderr, "helixdebug-demo: %s: %s\n", qPrintable(error.name()),
                         qPrintable(error.message()));
    }

    HelixDebug::Message &mMessage;
    qint64 mCalls;
    bool mFlood;
    bool mHeaders;
    QList<TraceCall> mQueue;
    DemoTraffic mTraffic{7};
    QTimer mTimer;
    qint64 mPlayed = 0;
    int mPending = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays realistic HELIX traffic into the HELIX Debug Display."));
    parser.addHelpOption();
    const QCommandLineOption rateOption(QStringLiteral("rate"),
                                        QStringLiteral("Calls per second (default 50)."),
                                        QStringLiteral("n"), QStringLiteral("50"));
    const QCommandLineOption callsOption(
        QStringLiteral("calls"), QStringLiteral("Stop sending after n calls (default 0: never)."),
        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption floodOption(QStringLiteral("flood"),
                                         QStringLiteral("Send as fast as the display answers."));
    const QCommandLineOption plainOption(QStringLiteral("no-headers"),
                                         QStringLiteral("Send buffers without header sections."));
    parser.addOptions({rateOption, callsOption, floodOption, plainOption});
    parser.process(app);

    HelixDebug::Message message;
    if (const QDBusError error = message.create(); error.isValid()) {
        std::fprintf(stderr, "helixdebug-demo: cannot reach the display: %s\n",
                     qPrintable(error.message()));
        return 1;
    }
    Player player(message, parser.value(rateOption).toInt(), parser.value(callsOption).toLongLong(),
                  parser.isSet(floodOption), !parser.isSet(plainOption));

    int askedToStop = 0;
    for (const QString &title : kTitles) {
        const QDBusError error = message.Initialize(title, [&, title] {
            std::printf("helixdebug-demo: %s asked to stop tracing\n", qPrintable(title));
            std::fflush(stdout);
            player.stop();
            if (++askedToStop == int(kTitles.size()))
                QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
        });
        if (error.isValid()) {
            std::fprintf(stderr, "helixdebug-demo: Initialize %s: %s\n", qPrintable(title),
                         qPrintable(error.message()));
            return 1;
        }
    }
    const int status = QCoreApplication::exec();
    std::printf("helixdebug-demo: %lld calls played\n", player.played());
    return status;
}
