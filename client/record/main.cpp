// helixdebug-record: listens to the session bus as a monitor and writes every call a client
// makes to the display, with the display's answer, to a recording that helixdebug-replay plays
// back. A monitor only receives, so the display neither knows nor waits for it.
//   helixdebug-record FILE
#include "recording/Recording.h"

#include <QHash>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dbus/dbus.h>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t gStop = 0;

// A call the display has not answered after this long gets no answer: the bus gives up on it
// by then as well (its default timeout is 25 seconds).
constexpr std::int64_t kAnswerWaitMicros = 30'000'000;

const char *const kRules[] = {
    "type='method_call',interface='HELIXDebug.Message'",
    "type='method_call',interface='HELIXDebug.Server'",
    // Calls that name no interface still reach the display's methods.
    "type='method_call',destination='HELIXDebug.Message'",
    "type='method_return'",
    "type='error'",
    "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged'",
};

std::int64_t monotonicMicros()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

std::int64_t unixMicros()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

QByteArray text(const char *value)
{
    return value ? QByteArray(value) : QByteArray();
}

bool methodOf(const char *interface, const char *member, RecordedCall::Method &method)
{
    for (int m = RecordedCall::CreateMessage; m < RecordedCall::Left; ++m) {
        const auto candidate = RecordedCall::Method(m);
        if (Recording::methodName(candidate) == QLatin1StringView(member) &&
            (!interface || Recording::interfaceOf(candidate) == QLatin1StringView(interface))) {
            method = candidate;
            return true;
        }
    }
    return false;
}

// The arguments in signature order: strings and paths as UTF-8, buffers as bytes.
QList<QByteArray> argumentsOf(DBusMessage *message)
{
    QList<QByteArray> arguments;
    DBusMessageIter it;
    if (!dbus_message_iter_init(message, &it))
        return arguments;
    do {
        if (dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_ARRAY) {
            DBusMessageIter bytes;
            dbus_message_iter_recurse(&it, &bytes);
            const char *data = nullptr;
            int size = 0;
            dbus_message_iter_get_fixed_array(&bytes, &data, &size);
            arguments.append(QByteArray(data, size));
        } else {
            const char *value = nullptr;
            dbus_message_iter_get_basic(&it, &value);
            arguments.append(text(value));
        }
    } while (dbus_message_iter_next(&it));
    return arguments;
}

class Recorder {
public:
    Recorder(int fd, std::int64_t start)
        : mFd(fd)
        , mStart(start)
    {
    }

    void take(DBusMessage *message)
    {
        switch (dbus_message_get_type(message)) {
        case DBUS_MESSAGE_TYPE_METHOD_CALL:
            takeCall(message);
            break;
        case DBUS_MESSAGE_TYPE_METHOD_RETURN:
        case DBUS_MESSAGE_TYPE_ERROR:
            takeAnswer(message);
            break;
        case DBUS_MESSAGE_TYPE_SIGNAL:
            takeLeaving(message);
            break;
        }
    }

    // Encodes the calls in the order they were made, each once the display has answered it;
    // calls left unanswered too long (or all, when closing) go without an answer.
    void flush(bool closing)
    {
        const std::int64_t now = monotonicMicros();
        while (!mPending.empty() && (mPending.front().answered || closing ||
                                     now - mPending.front().seen > kAnswerWaitMicros)) {
            Pending &head = mPending.front();
            if (!head.answered)
                mWaiting.remove(head.key);
            mWriter.appendCall(head.call, mOut);
            mCalls += head.call.method != RecordedCall::Left;
            mPending.pop_front();
            ++mFirstIndex;
        }
        if (closing)
            mWriter.appendEnd(mOut);
    }

    // Only unwritten bytes are lost: the file stays readable up to its last whole record.
    bool writeOut()
    {
        qsizetype done = 0;
        while (done < mOut.size()) {
            const ssize_t wrote = ::write(mFd, mOut.constData() + done, size_t(mOut.size() - done));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                return false;
            done += wrote;
        }
        mOut.clear();
        return true;
    }

    std::int64_t written() const { return mCalls; }
    std::int64_t skipped() const { return mSkipped; }

private:
    struct Pending {
        RecordedCall call;
        QByteArray key;
        std::int64_t seen = 0;
        bool answered = false;
    };

    static QByteArray keyOf(const char *caller, dbus_uint32_t serial)
    {
        return text(caller) + ' ' + QByteArray::number(serial);
    }

    void takeCall(DBusMessage *message)
    {
        const char *interface = dbus_message_get_interface(message);
        const char *destination = dbus_message_get_destination(message);
        RecordedCall::Method method;
        if (!methodOf(interface, dbus_message_get_member(message), method))
            return;
        if (!interface && std::strcmp(destination ? destination : "", "HELIXDebug.Message") != 0)
            return;
        // A call with other arguments is refused by the bus library and shows nothing.
        if (!dbus_message_has_signature(message, Recording::signatureOf(method))) {
            ++mSkipped;
            return;
        }
        Pending pending;
        pending.seen = monotonicMicros();
        pending.call.method = method;
        pending.call.time = pending.seen - mStart;
        pending.call.sender = text(dbus_message_get_sender(message));
        pending.call.object = text(dbus_message_get_path(message));
        pending.call.arguments = argumentsOf(message);
        mSenders.insert(pending.call.sender);
        if (dbus_message_get_no_reply(message)) {
            pending.answered = true;
        } else {
            pending.key = keyOf(dbus_message_get_sender(message), dbus_message_get_serial(message));
            mWaiting.insert(pending.key, mFirstIndex + std::int64_t(mPending.size()));
        }
        mPending.push_back(std::move(pending));
    }

    void takeAnswer(DBusMessage *message)
    {
        const auto found = mWaiting.constFind(
            keyOf(dbus_message_get_destination(message), dbus_message_get_reply_serial(message)));
        if (found == mWaiting.cend())
            return;
        Pending &pending = mPending[std::size_t(*found - mFirstIndex)];
        mWaiting.erase(found);
        pending.answered = true;
        RecordedCall &call = pending.call;
        if (dbus_message_get_type(message) == DBUS_MESSAGE_TYPE_ERROR) {
            call.answer = RecordedCall::Error;
            call.answerValue = text(dbus_message_get_error_name(message));
            return;
        }
        call.answer = RecordedCall::Ok;
        if (call.method == RecordedCall::CreateMessage &&
            dbus_message_has_signature(message, DBUS_TYPE_OBJECT_PATH_AS_STRING))
            call.answerValue = argumentsOf(message).value(0);
    }

    // A client that leaves takes its objects with it: a replay must let go of them there too.
    void takeLeaving(DBusMessage *message)
    {
        const QList<QByteArray> names =
            dbus_message_has_signature(message, "sss") ? argumentsOf(message) : QList<QByteArray>();
        if (names.size() != 3 || !names[2].isEmpty() || !mSenders.remove(names[0]))
            return;
        // Answers to a client that is gone may never be seen: its calls go without one.
        for (Pending &waiting : mPending) {
            if (!waiting.answered && waiting.call.sender == names[0]) {
                waiting.answered = true;
                mWaiting.remove(waiting.key);
            }
        }
        Pending pending;
        pending.seen = monotonicMicros();
        pending.answered = true;
        pending.call.method = RecordedCall::Left;
        pending.call.time = pending.seen - mStart;
        pending.call.sender = names[0];
        mPending.push_back(std::move(pending));
    }

    int mFd;
    std::int64_t mStart;
    RecordingWriter mWriter;
    QByteArray mOut;
    std::deque<Pending> mPending;
    // Calls waiting for their answer: caller and serial to the call's number in the order of
    // calls, of which mPending starts at mFirstIndex.
    QHash<QByteArray, std::int64_t> mWaiting;
    std::int64_t mFirstIndex = 0;
    QSet<QByteArray> mSenders;
    std::int64_t mSkipped = 0;
    std::int64_t mCalls = 0;
};

bool becomeMonitor(DBusConnection *bus, DBusError *error)
{
    DBusMessage *call = dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS,
                                                     DBUS_INTERFACE_MONITORING, "BecomeMonitor");
    const char **rules = const_cast<const char **>(kRules);
    const int count = int(sizeof kRules / sizeof kRules[0]);
    const dbus_uint32_t flags = 0;
    dbus_message_append_args(call, DBUS_TYPE_ARRAY, DBUS_TYPE_STRING, &rules, count,
                             DBUS_TYPE_UINT32, &flags, DBUS_TYPE_INVALID);
    DBusMessage *reply = dbus_connection_send_with_reply_and_block(bus, call, -1, error);
    dbus_message_unref(call);
    if (reply)
        dbus_message_unref(reply);
    return reply != nullptr;
}

void onSignal(int)
{
    gStop = 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool help =
        argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(help ? stdout : stderr,
                     "usage: helixdebug-record FILE\n"
                     "Records the calls of HELIX clients on the session bus to FILE until Ctrl+C "
                     "or SIGTERM.\n");
        return help ? 0 : 2;
    }
    const char *path = argv[1];
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "helixdebug-record: %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    DBusError error;
    dbus_error_init(&error);
    DBusConnection *bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    if (!bus || !becomeMonitor(bus, &error)) {
        std::fprintf(stderr, "helixdebug-record: cannot listen to the session bus: %s\n",
                     error.message ? error.message : "no bus");
        dbus_error_free(&error);
        ::close(fd);
        ::unlink(path);
        return 1;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    Recorder recorder(fd, monotonicMicros());
    const QByteArray header = Recording::header(unixMicros());
    bool ok = ::write(fd, header.constData(), size_t(header.size())) == header.size();
    // Whoever started the recorder may start the clients now.
    std::printf("helixdebug-record: recording to %s\n", path);
    std::fflush(stdout);
    bool connected = true;
    while (ok && !gStop && connected) {
        connected = dbus_connection_read_write(bus, 200);
        while (DBusMessage *message = dbus_connection_pop_message(bus)) {
            recorder.take(message);
            dbus_message_unref(message);
        }
        recorder.flush(false);
        ok = recorder.writeOut();
    }
    recorder.flush(true);
    ok = ok && recorder.writeOut();
    ok = ::close(fd) == 0 && ok;
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
    dbus_shutdown();
    if (!ok) {
        std::fprintf(stderr, "helixdebug-record: %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    std::printf("helixdebug-record: %lld calls recorded%s\n",
                static_cast<long long>(recorder.written()),
                connected ? "" : " (the bus went away)");
    if (recorder.skipped() > 0)
        std::printf("helixdebug-record: %lld calls with other arguments left out (the display "
                    "refuses them)\n",
                    static_cast<long long>(recorder.skipped()));
    return 0;
}
