#include "replay/Replayer.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QSet>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const QString kService = QStringLiteral("HELIXDebug.Message");
// Calls of one client in flight at once: below the bus's usual limit of pending replies.
constexpr int kInFlight = 100;
// Differences between the recorded and the replayed answers told one by one; the rest counted.
constexpr int kDifferencesShown = 10;

// Stands in for the recorded client's object when the display tells it to stop tracing. The
// replay goes on: what the client did next is in the recording.
class ShutdownAnswer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "HELIXDebug.Client")
public:
    explicit ShutdownAnswer(QString client)
        : mClient(std::move(client))
    {
    }

public Q_SLOTS:
    void clsDebug_ShutDown()
    {
        std::fprintf(stderr, "\nhelixdebug-replay: the display asked %s to stop tracing\n",
                     qPrintable(mClient));
    }

private:
    QString mClient;
};

std::int64_t micros(double seconds)
{
    return std::int64_t(std::llround(seconds * 1e6));
}

QString clock(double seconds)
{
    const auto whole = std::int64_t(std::max(0.0, seconds));
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

bool isSetUp(RecordedCall::Method method)
{
    return method == RecordedCall::CreateMessage || method == RecordedCall::ReleaseMessage ||
           method == RecordedCall::Initialize || method == RecordedCall::UnHook;
}

QString describe(const RecordedCall &call)
{
    return QStringLiteral("%1 of %2 at %3 s")
        .arg(Recording::methodName(call.method), QString::fromUtf8(call.sender))
        .arg(call.time / 1e6, 0, 'f', 3);
}

QString answerText(bool error, const QString &name)
{
    return error ? name : QStringLiteral("success");
}

} // namespace

struct Replayer::Link {
    QString name;
    QDBusConnection bus;
    std::vector<std::unique_ptr<ShutdownAnswer>> answers;
    QSet<QByteArray> registered;

    explicit Link(const QString &connectionName)
        : name(connectionName)
        , bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName))
    {
    }
    ~Link()
    {
        for (const QByteArray &path : std::as_const(registered))
            bus.unregisterObject(QString::fromUtf8(path));
        QDBusConnection::disconnectFromBus(name);
    }
};

Replayer::Replayer(const QByteArray &data, const ReplayOptions &options, std::int64_t total,
                   std::int64_t firstTime, std::int64_t lastTime)
    : mReader(data)
    , mOptions(options)
    , mTotal(total)
    , mFirstTime(firstTime)
    , mLastTime(lastTime)
    , mFromMicros(micros(options.from))
    , mToMicros(options.to < 0 ? INT64_MAX : micros(options.to))
{
    mWait.setSingleShot(true);
    connect(&mWait, &QTimer::timeout, this, &Replayer::step);
    connect(&mProgress, &QTimer::timeout, this, [this] { printProgress(false); });
}

Replayer::~Replayer() = default;

bool Replayer::plays(const RecordedCall &call, const ReplayOptions &options)
{
    if (call.method == RecordedCall::Left || (options.to >= 0 && call.time > micros(options.to)))
        return false;
    // Before the start the objects and registrations are made, and nothing is printed.
    return call.time >= micros(options.from) || isSetUp(call.method);
}

void Replayer::start()
{
    mClock.start();
    if (mOptions.progress)
        mProgress.start(200);
    advance();
    step();
}

void Replayer::advance()
{
    RecordedCall call;
    if (mReader.next(call) && call.time <= mToMicros)
        mNext = std::move(call);
    else
        mNext.reset();
}

Replayer::Link &Replayer::linkFor(const QByteArray &sender)
{
    std::shared_ptr<Link> &link = mLinks[sender];
    if (!link)
        link = std::make_shared<Link>(QStringLiteral("replay%1").arg(++mLinkCount));
    return *link;
}

void Replayer::step()
{
    while (!mUnreachable) {
        if (!mNext) {
            if (mInFlight == 0) {
                mProgress.stop();
                printProgress(true);
                Q_EMIT finished(true);
            }
            return;
        }
        const RecordedCall &call = *mNext;
        const bool before = call.time < mFromMicros;
        if (call.method != RecordedCall::Left && !plays(call, mOptions)) {
            advance();
            continue;
        }
        const bool quiet = call.sender == mLastSender && !mCreating &&
                           call.method != RecordedCall::Left && mInFlight < kInFlight;
        if (mInFlight > 0 && !quiet)
            return;
        if (!mOptions.fast && !before) {
            const double due =
                double(call.time - std::max(mFirstTime, mFromMicros)) / mOptions.speed / 1e3;
            const double now = mClock.nsecsElapsed() / 1e6;
            if (due > now) {
                mWait.start(int(std::min(due - now, 1e9)));
                return;
            }
        }
        if (call.method == RecordedCall::Left) {
            mLinks.remove(call.sender);
            mLastSender.clear();
            mPlayedTime = call.time;
            advance();
            continue;
        }
        Link &link = linkFor(call.sender);
        const bool onServer =
            Recording::interfaceOf(call.method) == QStringLiteral("HELIXDebug.Server");
        if (!onServer && !mObjects.contains(call.object)) {
            // An object made before the recording started: this client makes one now.
            createFor(call.object, link);
            return;
        }
        send(call, link);
        mLastSender = call.sender;
        mCreating = call.method == RecordedCall::CreateMessage;
        advance();
    }
}

void Replayer::send(const RecordedCall &call, Link &link)
{
    const bool onServer =
        Recording::interfaceOf(call.method) == QStringLiteral("HELIXDebug.Server");
    QDBusMessage message = QDBusMessage::createMethodCall(
        kService, onServer ? QString::fromUtf8(call.object) : mObjects.value(call.object),
        Recording::interfaceOf(call.method), Recording::methodName(call.method));
    QList<QVariant> arguments;
    const char *signature = Recording::signatureOf(call.method);
    for (int i = 0; i < call.arguments.size(); ++i, ++signature) {
        const QByteArray &argument = call.arguments[i];
        if (*signature == 'a') {
            ++signature;
            arguments << argument;
        } else if (*signature == 'o' && call.method == RecordedCall::ReleaseMessage) {
            arguments << QVariant::fromValue(
                QDBusObjectPath(mObjects.value(argument, QString::fromUtf8(argument))));
        } else if (*signature == 'o') {
            const QString path = QString::fromUtf8(argument);
            if (path != QStringLiteral("/") && !link.registered.contains(argument)) {
                link.answers.push_back(
                    std::make_unique<ShutdownAnswer>(QString::fromUtf8(call.arguments.value(1))));
                link.bus.registerObject(path, link.answers.back().get(),
                                        QDBusConnection::ExportAllSlots);
                link.registered.insert(argument);
            }
            arguments << QVariant::fromValue(QDBusObjectPath(path));
        } else {
            arguments << QString::fromUtf8(argument);
        }
    }
    message.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(link.bus.asyncCall(message), this);
    ++mInFlight;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, call](QDBusPendingCallWatcher *done) {
                done->deleteLater();
                --mInFlight;
                ++mPlayed;
                mPlayedTime = call.time;
                answered(call, done->reply());
                step();
            });
}

void Replayer::createFor(const QByteArray &object, Link &link)
{
    const QDBusMessage message = QDBusMessage::createMethodCall(kService, QStringLiteral("/"),
                                                                QStringLiteral("HELIXDebug.Server"),
                                                                QStringLiteral("CreateMessage"));
    auto *watcher = new QDBusPendingCallWatcher(link.bus.asyncCall(message), this);
    ++mInFlight;
    mCreating = true;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, object](QDBusPendingCallWatcher *done) {
                done->deleteLater();
                --mInFlight;
                const QDBusMessage reply = done->reply();
                // Without an object of its own the calls go to the recorded path, and fail
                // there as the display decides.
                mObjects.insert(object,
                                reply.type() == QDBusMessage::ReplyMessage
                                    ? reply.arguments().value(0).value<QDBusObjectPath>().path()
                                    : QString::fromUtf8(object));
                mUnreachable = reply.errorName() ==
                               QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown");
                if (mUnreachable)
                    Q_EMIT finished(false);
                else
                    step();
            });
}

void Replayer::answered(const RecordedCall &call, const QDBusMessage &reply)
{
    const bool error = reply.type() == QDBusMessage::ErrorMessage;
    if (error && reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown")) {
        if (!mUnreachable)
            Q_EMIT finished(false);
        mUnreachable = true;
        return;
    }
    if (call.method == RecordedCall::CreateMessage) {
        mCreating = false;
        if (call.answer == RecordedCall::Ok && !error)
            mObjects.insert(call.answerValue,
                            reply.arguments().value(0).value<QDBusObjectPath>().path());
    }
    if (call.answer == RecordedCall::NoAnswer)
        return;
    const bool recordedError = call.answer == RecordedCall::Error;
    const QString recordedName = QString::fromUtf8(call.answerValue);
    if (error == recordedError && (!error || reply.errorName() == recordedName))
        return;
    if (++mDiffering <= kDifferencesShown)
        std::fprintf(stderr, "\nhelixdebug-replay: %s: recorded %s, now %s\n",
                     qPrintable(describe(call)),
                     qPrintable(answerText(recordedError, recordedName)),
                     qPrintable(answerText(error, reply.errorName())));
}

void Replayer::printProgress(bool last)
{
    if (!mOptions.progress)
        return;
    const double elapsed = seconds();
    double left = 0;
    if (mOptions.fast)
        left = mPlayed > 0 ? elapsed * double(mTotal - mPlayed) / double(mPlayed) : 0;
    else
        left = double(mLastTime - std::max(mPlayedTime, mFromMicros)) / 1e6 / mOptions.speed;
    std::fprintf(stderr, "\r%lld/%lld calls  %s elapsed  %s left   %s",
                 static_cast<long long>(mPlayed), static_cast<long long>(mTotal),
                 qPrintable(clock(elapsed)), qPrintable(clock(last ? 0 : left)), last ? "\n" : "");
    std::fflush(stderr);
}

#include "Replayer.moc"
