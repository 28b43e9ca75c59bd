#include "session/SessionLog.h"

#include "platform/ProcessWide.h"

#include <QDateTime>

#include <algorithm>
#include <chrono>

namespace {

std::int64_t steadyMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// "RC=0" and "RC= 00" are success; an empty code says nothing either way.
bool isNonZeroCode(QStringView returnCode)
{
    const QStringView value = returnCode.mid(3).trimmed();
    if (value.isEmpty())
        return false;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    return !ok || number != 0;
}

constexpr std::uint16_t kNoObject = 0xFFFF;
// Return codes are shown, not parsed: a client cannot make the log hold a huge one.
constexpr int kMaxCodeLength = 64;

} // namespace

SessionLog::SessionLog(Clock clock, std::int64_t wallStartMs)
    : mClock(clock ? std::move(clock) : Clock(steadyMicros))
    , mOrigin(mClock())
    , mWallStartMs(wallStartMs >= 0 ? wallStartMs : QDateTime::currentMSecsSinceEpoch())
{
}

SessionLog::CallFrom::CallFrom(SessionLog &log, std::uint64_t object)
    : mLog(log)
    , mPrevious(std::exchange(log.mCaller, object))
{
}

SessionLog::CallFrom::~CallFrom()
{
    mLog.mCaller = mPrevious;
}

std::uint16_t SessionLog::clientIndex(const QString &title, std::int64_t at)
{
    if (!mClients.empty() && mClients[mLastClient]->title == title)
        return mLastClient;
    auto it = mClientIndex.constFind(title);
    if (it == mClientIndex.constEnd()) {
        const bool full = int(mClients.size()) >= kMaxClients - 1;
        const QString &key = full ? kOtherTitles : title;
        it = mClientIndex.constFind(key);
        if (it == mClientIndex.constEnd()) {
            auto client = std::make_unique<Client>();
            client->title = key;
            client->since = at;
            mClients.push_back(std::move(client));
            it = mClientIndex.insert(key, std::uint16_t(mClients.size() - 1));
        }
    }
    mLastClient = *it;
    return mLastClient;
}

std::uint16_t SessionLog::objectIndex(std::uint64_t object)
{
    if (mObjects.back() == object)
        return std::uint16_t(mObjects.size() - 1);
    const auto it = mObjectIndex.constFind(object);
    if (it != mObjectIndex.constEnd())
        return *it;
    if (mObjects.size() >= kNoObject)
        return kNoObject;
    mObjects.push_back(object);
    const auto index = std::uint16_t(mObjects.size() - 1);
    mObjectIndex.insert(object, index);
    return index;
}

std::uint64_t SessionLog::objectOf(int entry) const
{
    const std::uint16_t index = mEntries.at(entry).object;
    return index < mObjects.size() ? mObjects[index] : 0;
}

void SessionLog::connected(std::int64_t at, const QString &title, const QString &connection)
{
    Client &c = *mClients[clientIndex(title, at)];
    c.since = at;
    c.connected = true;
    c.gone = false;
    c.connection = connection;
}

void SessionLog::unhooked(std::int64_t at, const QString &title)
{
    const auto it = mClientIndex.constFind(title);
    if (it == mClientIndex.constEnd())
        return;
    Client &c = *mClients[*it];
    if (!c.gone) {
        c.gone = true;
        c.goneAt = at;
    }
}

void SessionLog::connectionLeft(std::int64_t at, const QString &connection)
{
    for (const auto &c : mClients) {
        if (!c->gone && c->connected && c->connection == connection) {
            c->gone = true;
            c->goneAt = at;
        }
    }
}

void SessionLog::startEntry(std::int64_t at, const QString &title, std::uint32_t latency, int lines)
{
    const int previous = mEntries.size() - 1;
    if (previous >= 0 && mEntries.at(previous).latency == EntryTimings::kPending)
        ++mClients[mEntries.at(previous).client]->unanswered;
    const std::uint16_t client = clientIndex(title, at);
    mEntries.append({at, latency, client, objectIndex(mCaller)});
    mClients[client]->newestEntry = mEntries.size() - 1;
    countLines(at, lines);
}

void SessionLog::request(std::int64_t at, const QString &title, int lines)
{
    startEntry(at, title, EntryTimings::kPending, lines);
    ++mClients[mLastClient]->requests;
}

void SessionLog::note(std::int64_t at, const QString &title, int lines)
{
    startEntry(at, title, EntryTimings::kNote, lines);
}

void SessionLog::reply(std::int64_t at, QStringView returnCode, int lines)
{
    countLines(at, lines);
    const int entry = mEntries.size() - 1;
    if (entry < 0)
        return;
    const EntryTimings::Entry joined = mEntries.at(entry);
    Client &c = *mClients[joined.client];
    ++c.replies;
    if (joined.latency == EntryTimings::kPending) {
        const auto waited = std::uint32_t(
            std::clamp<std::int64_t>(at - joined.arrivalMicros, 0, EntryTimings::kLongest));
        mEntries.setLatency(entry, waited);
        c.latency.add(waited);
    }
    if (isNonZeroCode(returnCode))
        c.lastNonZeroReturnCode = returnCode.left(kMaxCodeLength).toString();
}

void SessionLog::otherLines(std::int64_t at, int lines)
{
    countLines(at, lines);
}

void SessionLog::clearEntries(std::int64_t at)
{
    // Emptying what was never filled changes nothing the operator needs to be told about:
    // the entries held still run from the start of the client figures.
    if (mEntries.size() == 0 && mClearedAt < 0)
        return;
    mEntries.clear();
    for (const auto &c : mClients)
        c->newestEntry = -1;
    mClearedAt = at;
}

bool SessionLog::isUnanswered(int entry) const
{
    return entry >= 0 && entry < mEntries.size() - 1 &&
           mEntries.at(entry).latency == EntryTimings::kPending;
}

int SessionLog::outstandingEntry() const
{
    const int newest = mEntries.size() - 1;
    return newest >= 0 && mEntries.at(newest).latency == EntryTimings::kPending ? newest : -1;
}

int SessionLog::slowestEntry() const
{
    int slowest = -1;
    std::uint32_t longest = 0;
    for (int e = 0; e < mEntries.size(); ++e) {
        const std::uint32_t latency = mEntries.at(e).latency;
        if (latency <= EntryTimings::kLongest && (slowest < 0 || latency > longest)) {
            slowest = e;
            longest = latency;
        }
    }
    return slowest;
}

int SessionLog::nextUnanswered(int entry) const
{
    const int count = mEntries.size();
    for (int step = 1; step <= count; ++step) {
        const int e = ((entry < 0 ? -1 : entry) + step) % count;
        if (isUnanswered(e))
            return e;
    }
    return -1;
}

void SessionLog::countLines(std::int64_t at, int lines)
{
    mLinesTaken += std::uint64_t(std::max(lines, 0));
    const std::int64_t bucket = at / kBucketMicros;
    if (bucket > mRateBucket) {
        const std::int64_t skipped = std::min<std::int64_t>(bucket - mRateBucket, kRateBuckets);
        for (std::int64_t k = 1; k <= skipped; ++k)
            mRate[std::size_t((mRateBucket + k) % kRateBuckets)] = 0;
        mRateBucket = bucket;
    }
    if (bucket > mRateBucket - kRateBuckets)
        mRate[std::size_t(bucket % kRateBuckets)] += std::uint64_t(std::max(lines, 0));
}

double SessionLog::linesPerSecond(std::int64_t at) const
{
    const std::int64_t bucket = at / kBucketMicros;
    std::uint64_t lines = 0;
    for (std::int64_t b = bucket - kRateBuckets + 1; b <= bucket; ++b) {
        if (b >= 0 && b <= mRateBucket && b > mRateBucket - kRateBuckets)
            lines += mRate[std::size_t(b % kRateBuckets)];
    }
    // The window is five seconds, or the whole session while it is younger.
    const double seconds = std::clamp(double(at) / 1e6, double(kBucketMicros) / 1e6,
                                      double(kRateBuckets * kBucketMicros) / 1e6);
    return double(lines) / seconds;
}

SessionLog &Session()
{
    return ProcessWide::instance<SessionLog>();
}
