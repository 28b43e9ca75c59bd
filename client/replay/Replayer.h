#pragma once

#include "recording/Recording.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>

struct ReplayOptions {
    double speed = 1;  // the recorded gaps divided by this
    bool fast = false; // no gaps: each call as soon as the display has taken the one before
    double from = 0;   // seconds into the recording
    double to = -1;    // seconds into the recording; negative: to the end
    bool progress = false;
};

// Plays the calls of a recording into the display, one bus connection per recorded client,
// in the recorded order. Calls of one client are pipelined; a call of another client waits
// until every call before it has been answered, so the display takes them in the same order.
class Replayer : public QObject {
    Q_OBJECT
public:
    // `total` is how many calls it will play.
    Replayer(const QByteArray &data, const ReplayOptions &options, std::int64_t total,
             std::int64_t firstTime, std::int64_t lastTime);
    ~Replayer() override;

    // Whether a call is played under these options (leaving the bus is not a call).
    static bool plays(const RecordedCall &call, const ReplayOptions &options);

    void start();
    std::int64_t played() const { return mPlayed; }
    std::int64_t differing() const { return mDiffering; }
    double seconds() const { return mClock.nsecsElapsed() / 1e9; }

Q_SIGNALS:
    // `reachable` is false when the display could not be reached at all.
    void finished(bool reachable);

private:
    struct Link;
    void step();
    void advance();
    Link &linkFor(const QByteArray &sender);
    void send(const RecordedCall &call, Link &link);
    void createFor(const QByteArray &object, Link &link);
    void answered(const RecordedCall &call, const QDBusMessage &reply);
    void printProgress(bool last);

    RecordingReader mReader;
    ReplayOptions mOptions;
    std::optional<RecordedCall> mNext;
    std::int64_t mTotal;
    std::int64_t mFirstTime;
    std::int64_t mLastTime;
    std::int64_t mFromMicros;
    std::int64_t mToMicros;
    QHash<QByteArray, std::shared_ptr<Link>> mLinks;
    int mLinkCount = 0;
    QHash<QByteArray, QString> mObjects; // recorded path to the path the display gave now
    QByteArray mLastSender;
    int mInFlight = 0;
    bool mCreating = false;
    bool mUnreachable = false;
    std::int64_t mPlayed = 0;
    std::int64_t mDiffering = 0;
    std::int64_t mPlayedTime = 0;
    QElapsedTimer mClock;
    QTimer mWait;
    QTimer mProgress;
};
