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
// its request waited for a reply, and figures per client title and per request name that run
// on across clears. It is told every call as the display takes it; it never looks at the lines.
//
// Replies are paired with requests through the message object they came through, not by the
// entry their lines join: a request is answered by the first reply through its object before
// the object's next request, and is unanswered when that next request comes first, when its
// client leaves or when its object goes. Until then it is outstanding. A reply through an
// object with no open request counts for the client whose request last came through it.
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

    // The figures of one request name of one client title.
    struct RequestRow {
        QString title;
        QString name;
        std::uint64_t requests = 0;
        std::uint64_t unanswered = 0;
        QString lastNonZeroReturnCode;
        LatencyHistogram latency;
        int newestEntry = -1;
    };

    // The open requests: how many, and the one waiting longest.
    struct Outstanding {
        int count = 0;
        std::int64_t since = 0;
        int client = -1;
        int requestRow = -1;
        int entry = -1; // -1 when cleared from the display
    };

    // At most this many titles get a row of their own; calls under further titles are
    // counted together under kOtherTitles, so no client can make the log grow without bound.
    static constexpr int kMaxClients = EntryTimings::kMaxClients;
    static inline const QString kOtherTitles = QStringLiteral("(other titles)");
    // Likewise for (title, request name) rows, and request names are cut to a readable length.
    static constexpr int kMaxRequestRows = 4096;
    static constexpr int kMaxNameLength = 128;
    static inline const QString kOtherRequests = QStringLiteral("(other requests)");

    // The wall clock is read once, here, to print arrival times; durations use `clock`.
    explicit SessionLog(Clock clock = {}, std::int64_t wallStartMs = -1);

    std::int64_t now() const { return mClock() - mOrigin; }
    // Milliseconds since the epoch at a time of this log.
    std::int64_t wallMs(std::int64_t micros) const { return mWallStartMs + micros / 1000; }

    // The message object of the call being served (0 for none), which pairs its replies.
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
    // A message object is no more: its open request will never be answered.
    void objectGone(std::uint64_t object);

    // The display took a call and added `lines` lines for it.
    void request(std::int64_t at, const QString &title, const QString &name, int lines);
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
    int requestRowCount() const { return int(mRequests.size()); }
    const RequestRow &requestRow(int index) const { return *mRequests[std::size_t(index)]; }

    bool isUnanswered(int entry) const;
    Outstanding outstanding() const;
    // Told each held entry whose request turns out unanswered, as it does.
    void setUnansweredListener(std::function<void(int entry)> listener)
    {
        mUnansweredListener = std::move(listener);
    }
    // Whether a return code field ("RC=...") reports a failure: anything but a number 0.
    static bool isErrorCode(QStringView returnCode);
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

    static constexpr std::uint16_t kNoClient = 0xFFFF;
    static constexpr int kNoRow = -1;

    // What pairs the replies through one message object.
    struct ObjectPairing {
        std::uint16_t openClient = kNoClient; // the client of the open request, if one is open
        int openRow = kNoRow;
        int openEntry = -1; // the open request's entry while the display holds it
        std::int64_t openSince = 0;
        std::uint16_t lastClient = kNoClient; // whose request, else note, came last
        int lastRow = kNoRow;
    };

    std::uint16_t clientIndex(const QString &title, std::int64_t at);
    int requestRowIndex(std::uint16_t client, const QString &name);
    int startEntry(std::int64_t at, std::uint16_t client, std::uint32_t latency, int lines);
    void closeUnanswered(ObjectPairing &pairing);
    void clientLeft(Client &client, std::int64_t at);
    void countLines(std::int64_t at, int lines);
    void addToNewest(int lines);

    Clock mClock;
    std::int64_t mOrigin = 0;
    std::int64_t mWallStartMs = 0;
    std::int64_t mClearedAt = -1;
    EntryTimings mEntries;
    std::vector<std::unique_ptr<Client>> mClients;
    QHash<QString, std::uint16_t> mClientIndex;
    std::uint16_t mLastClient = 0;
    std::vector<std::unique_ptr<RequestRow>> mRequests;
    QHash<std::pair<std::uint16_t, QString>, int> mRequestIndex;
    int mLastRequest = kNoRow;
    QHash<std::uint64_t, ObjectPairing> mPairings; // by object number
    std::uint64_t mCaller = 0;
    std::function<void(int)> mUnansweredListener;
    std::uint64_t mLinesTaken = 0;
    int mNewestRows = 0; // the rows of the newest entry so far
    std::array<std::uint64_t, kRateBuckets> mRate{};
    std::int64_t mRateBucket = 0; // the bucket number mRate's newest slot holds
};

// The process-wide log, created on first use.
SessionLog &Session();
