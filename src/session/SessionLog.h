#pragma once

#include "session/EntryTimings.h"
#include "session/LatencyHistogram.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The timing of the traffic: for each entry the display holds, when it arrived and how long
// its request waited for a reply, and for each client title, figures that run on across
// clears. It is told every call as the display takes it; it never looks at the lines.
//
// An entry is a request (from PrintSendBuffer) or a note (PrintText, the connect and
// disconnect notes) followed by the replies that join it. A request's latency runs from its
// arrival to the first reply that joins it. A request that a later entry closes without a
// reply is unanswered; the newest entry, while it is a request with no reply, is outstanding.
class SessionLog {
public:
    // Microseconds on a clock that never goes back, from any origin.
    using Clock = std::function<std::int64_t()>;

    struct Client {
        QString title;
        QString connection;     // the bus name that initialized it, when one did
        std::int64_t since = 0; // its latest Initialize, else the first call seen
        bool connected = false; // it has initialized
        bool gone = false;      // it unhooked or its connection left the bus
        std::int64_t goneAt = 0;
        std::uint64_t requests = 0;
        std::uint64_t replies = 0;
        std::uint64_t unanswered = 0;
        QString lastNonZeroReturnCode; // the "RC=" field as it came
        LatencyHistogram latency;
        int newestEntry = -1; // among the entries held, or -1
    };

    // At most this many titles get a row of their own; calls under further titles are
    // counted together under kOtherTitles, so no client can make the log grow without bound.
    static constexpr int kMaxClients = 1024;
    static inline const QString kOtherTitles = QStringLiteral("(other titles)");

    // The wall clock is read once, here, to print arrival times; durations use `clock`.
    explicit SessionLog(Clock clock = {}, std::int64_t wallStartMs = -1);

    std::int64_t now() const { return mClock() - mOrigin; }
    // Milliseconds since the epoch at a time of this log.
    std::int64_t wallMs(std::int64_t micros) const { return mWallStartMs + micros / 1000; }

    // The message object of the call being served (0 for none), for the entries it starts.
    class CallFrom {
    public:
        CallFrom(SessionLog &log, std::uint64_t object);
        ~CallFrom();
        CallFrom(const CallFrom &) = delete;
        CallFrom &operator=(const CallFrom &) = delete;

    private:
        SessionLog &mLog;
        std::uint64_t mPrevious;
    };

    void connected(std::int64_t at, const QString &title, const QString &connection);
    void unhooked(std::int64_t at, const QString &title);
    void connectionLeft(std::int64_t at, const QString &connection);

    // The display took a call and added `lines` lines for it.
    void request(std::int64_t at, const QString &title, int lines);
    void note(std::int64_t at, const QString &title, int lines);
    void reply(std::int64_t at, QStringView returnCode, int lines);
    // Lines of a call that started no entry and joined none (a reply that failed half-way).
    void otherLines(std::int64_t at, int lines);

    // The display was cleared: the entries' timings go, the clients' figures stay.
    void clearEntries(std::int64_t at);
    // When the entries were last cleared, or -1.
    std::int64_t clearedAt() const { return mClearedAt; }

    const EntryTimings &entries() const { return mEntries; }
    int clientCount() const { return int(mClients.size()); }
    const Client &client(int index) const { return *mClients[std::size_t(index)]; }
    // The object number an entry came through (0 for none).
    std::uint64_t objectOf(int entry) const;

    bool isUnanswered(int entry) const;
    // The newest entry while it is a request waiting for its reply, else -1.
    int outstandingEntry() const;
    // The held request that waited longest for its reply, or -1.
    int slowestEntry() const;
    // The first unanswered entry after `entry`, wrapping round to the top, or -1.
    int nextUnanswered(int entry) const;

    std::uint64_t linesTaken() const { return mLinesTaken; }
    // Lines added per second over the last five seconds (less, early in the session).
    double linesPerSecond(std::int64_t at) const;

private:
    static constexpr std::int64_t kBucketMicros = 250'000;
    static constexpr int kRateBuckets = 20; // five seconds

    std::uint16_t clientIndex(const QString &title, std::int64_t at);
    std::uint16_t objectIndex(std::uint64_t object);
    void startEntry(std::int64_t at, const QString &title, std::uint32_t latency, int lines);
    void countLines(std::int64_t at, int lines);

    Clock mClock;
    std::int64_t mOrigin = 0;
    std::int64_t mWallStartMs = 0;
    std::int64_t mClearedAt = -1;
    EntryTimings mEntries;
    std::vector<std::unique_ptr<Client>> mClients;
    QHash<QString, std::uint16_t> mClientIndex;
    std::uint16_t mLastClient = 0;
    std::vector<std::uint64_t> mObjects{0};
    QHash<std::uint64_t, std::uint16_t> mObjectIndex{{0, 0}};
    std::uint64_t mCaller = 0;
    std::uint64_t mLinesTaken = 0;
    std::array<std::uint64_t, kRateBuckets> mRate{};
    std::int64_t mRateBucket = 0; // the bucket number mRate's newest slot holds
};

// The process-wide log, created on first use.
SessionLog &Session();
