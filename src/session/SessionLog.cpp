#include "session/SessionLog.h"

#include "platform/ProcessWide.h"
#include "platform/ReturnCode.h"

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

// Return codes are shown, not parsed: a client cannot make the log hold a huge one.
constexpr int kMaxCodeLength = 64;

} // namespace

bool SessionLog::isErrorCode(QStringView returnCode)
{
    return ReturnCode::isError(returnCode.mid(3));
}

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

int SessionLog::requestRowIndex(std::uint16_t client, const QString &name)
{
    const QString key = name.left(kMaxNameLength);
    if (mLastRequest != kNoRow) {
        const RequestRow &last = *mRequests[std::size_t(mLastRequest)];
        if (last.name == key && last.title == mClients[client]->title)
            return mLastRequest;
    }
    auto it = mRequestIndex.constFind({client, key});
    if (it == mRequestIndex.constEnd()) {
        const bool full = int(mRequests.size()) >= kMaxRequestRows - 1;
        const std::pair<std::uint16_t, QString> slot =
            full ? std::pair{kNoClient, QString()} : std::pair{client, key};
        it = mRequestIndex.constFind(slot);
        if (it == mRequestIndex.constEnd()) {
            auto row = std::make_unique<RequestRow>();
            row->title = full ? kOtherRequests : mClients[client]->title;
            row->name = slot.second;
            mRequests.push_back(std::move(row));
            it = mRequestIndex.insert(slot, int(mRequests.size() - 1));
        }
    }
    mLastRequest = *it;
    return mLastRequest;
}

void SessionLog::connected(std::int64_t at, const QString &title, const QString &connection)
{
    Client &c = *mClients[clientIndex(title, at)];
    c.since = at;
    c.connected = true;
    c.gone = false;
    c.connection = connection;
}

void SessionLog::clientLeft(Client &client, std::int64_t at)
{
    if (client.gone)
        return;
    client.gone = true;
    client.goneAt = at;
    // Whatever it still waited for, it will never see.
    for (ObjectPairing &pairing : mPairings) {
        if (pairing.openClient != kNoClient && mClients[pairing.openClient].get() == &client)
            closeUnanswered(pairing);
    }
}

void SessionLog::unhooked(std::int64_t at, const QString &title)
{
    const auto it = mClientIndex.constFind(title);
    if (it != mClientIndex.constEnd())
        clientLeft(*mClients[*it], at);
}

void SessionLog::connectionLeft(std::int64_t at, const QString &connection)
{
    for (const auto &c : mClients) {
        if (c->connected && c->connection == connection)
            clientLeft(*c, at);
    }
}

void SessionLog::objectGone(std::uint64_t object)
{
    const auto it = mPairings.find(object);
    if (it == mPairings.end())
        return;
    closeUnanswered(*it);
    mPairings.erase(it);
}

void SessionLog::closeUnanswered(ObjectPairing &pairing)
{
    if (pairing.openClient == kNoClient)
        return;
    ++mClients[pairing.openClient]->unanswered;
    ++mRequests[std::size_t(pairing.openRow)]->unanswered;
    const int entry = std::exchange(pairing.openEntry, -1);
    pairing.openClient = kNoClient;
    if (entry >= 0) {
        mEntries.setLatency(entry, EntryTimings::kUnanswered);
        if (mUnansweredListener)
            mUnansweredListener(entry);
    }
}

int SessionLog::startEntry(std::int64_t at, std::uint16_t client, std::uint32_t latency, int lines)
{
    mEntries.append({at, latency, client});
    const int entry = mEntries.size() - 1;
    mClients[client]->newestEntry = entry;
    mNewestRows = 0;
    addToNewest(lines);
    countLines(at, lines);
    return entry;
}

void SessionLog::request(std::int64_t at, const QString &title, const QString &name, int lines)
{
    ObjectPairing &pairing = mPairings[mCaller];
    closeUnanswered(pairing);
    const std::uint16_t client = clientIndex(title, at);
    const int row = requestRowIndex(client, name);
    const int entry = startEntry(at, client, EntryTimings::kPending, lines);
    pairing = {client, row, entry, at, client, row};
    ++mClients[client]->requests;
    RequestRow &figures = *mRequests[std::size_t(row)];
    ++figures.requests;
    figures.newestEntry = entry;
}

void SessionLog::note(std::int64_t at, const QString &title, int lines)
{
    const std::uint16_t client = clientIndex(title, at);
    startEntry(at, client, EntryTimings::kNote, lines);
    ObjectPairing &pairing = mPairings[mCaller];
    if (pairing.lastClient == kNoClient)
        pairing.lastClient = client;
}

void SessionLog::addToNewest(int lines)
{
    mNewestRows = int(std::min<std::int64_t>(std::int64_t(mNewestRows) + std::max(lines, 0),
                                             EntryTimings::kMaxReplyRow + 1));
}

void SessionLog::reply(std::int64_t at, QStringView returnCode, int lines)
{
    countLines(at, lines);
    const int replyRow = mNewestRows;
    addToNewest(lines);
    const auto it = mPairings.find(mCaller);
    if (it == mPairings.end() || it->lastClient == kNoClient)
        return;
    ObjectPairing &pairing = *it;
    const bool answers = pairing.openClient != kNoClient;
    const std::uint16_t client = answers ? pairing.openClient : pairing.lastClient;
    const int row = answers ? pairing.openRow : pairing.lastRow;
    Client &c = *mClients[client];
    ++c.replies;
    if (answers) {
        const auto waited = std::uint32_t(
            std::clamp<std::int64_t>(at - pairing.openSince, 0, EntryTimings::kLongest));
        if (pairing.openEntry >= 0)
            mEntries.setLatency(pairing.openEntry, waited);
        c.latency.add(waited);
        mRequests[std::size_t(row)]->latency.add(waited);
        pairing.openClient = kNoClient;
        pairing.openEntry = -1;
    }
    if (isErrorCode(returnCode)) {
        c.lastNonZeroReturnCode = returnCode.left(kMaxCodeLength).toString();
        if (row != kNoRow)
            mRequests[std::size_t(row)]->lastNonZeroReturnCode = c.lastNonZeroReturnCode;
    }
    // Its lines join the newest entry, as every reply's do: say so where that is another's.
    const int newest = mEntries.size() - 1;
    if (lines > 0 && newest >= 0 && replyRow <= EntryTimings::kMaxReplyRow) {
        const EntryTimings::Entry joined = mEntries.at(newest);
        if (joined.client != client && joined.replyTo == 0)
            mEntries.setReplyTo(newest, std::uint16_t(client + 1), std::uint16_t(replyRow));
    }
}

void SessionLog::otherLines(std::int64_t at, int lines)
{
    countLines(at, lines);
    addToNewest(lines);
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
    for (const auto &r : mRequests)
        r->newestEntry = -1;
    for (ObjectPairing &pairing : mPairings)
        pairing.openEntry = -1;
    mClearedAt = at;
}

bool SessionLog::isUnanswered(int entry) const
{
    return entry >= 0 && entry < mEntries.size() &&
           mEntries.at(entry).latency == EntryTimings::kUnanswered;
}

SessionLog::Outstanding SessionLog::outstanding() const
{
    Outstanding open;
    for (const ObjectPairing &pairing : mPairings) {
        if (pairing.openClient == kNoClient)
            continue;
        if (open.count++ == 0 || pairing.openSince < open.since) {
            open.since = pairing.openSince;
            open.client = pairing.openClient;
            open.requestRow = pairing.openRow;
            open.entry = pairing.openEntry;
        }
    }
    return open;
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
