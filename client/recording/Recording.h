#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>

// One event of a recorded session: a client's call to the display with the display's answer,
// or a client leaving the bus. Strings and object paths are kept as the UTF-8 bytes they
// travelled as, buffers as their bytes, so a replay sends exactly what was sent.
struct RecordedCall {
    enum Method : std::uint8_t {
        CreateMessage = 1,
        ReleaseMessage,
        Initialize,
        PrintSendBuffer,
        PrintReceiveBuffer,
        PrintText,
        UnHook,
        Left, // the sender left the bus; no arguments, no answer
    };
    enum Answer : std::uint8_t { Ok, Error, NoAnswer };

    Method method = PrintText;
    std::int64_t time = 0; // microseconds since the recording started
    QByteArray sender;     // the caller's unique bus name
    QByteArray object;     // the object path called
    QList<QByteArray> arguments;
    Answer answer = NoAnswer;
    QByteArray answerValue; // the error name, or the path CreateMessage returned

    bool operator==(const RecordedCall &) const = default;
};

namespace Recording {

constexpr int kVersion = 1;
constexpr qsizetype kHeaderSize = 24;

// The D-Bus method name, interface and signature of a call.
QString methodName(RecordedCall::Method method);
QString interfaceOf(RecordedCall::Method method);
const char *signatureOf(RecordedCall::Method method);
// Which argument of a call is a buffer (-1: none).
int bufferArgument(RecordedCall::Method method);

QByteArray header(std::int64_t startUnixMicros);
// CRC-32 (the one of zip and PNG) closes each record, so damage inside a buffer is found too.
std::uint32_t checksum(QByteArrayView data);

} // namespace Recording

// Encodes a session record by record; the bytes go wherever the caller writes them, so a
// record is either wholly in the file or not at all.
class RecordingWriter {
public:
    // A call whose arguments do not fit its method is not encodable: false, nothing written.
    bool appendCall(const RecordedCall &call, QByteArray &out);
    // The closing record: a file without one was cut off.
    void appendEnd(QByteArray &out);

private:
    void appendString(const QByteArray &text, QByteArray &body);

    QHash<QByteArray, std::uint32_t> mStrings;
    std::int64_t mLastTime = 0;
    std::int64_t mCalls = 0;
};

// Decodes a recording held in memory, one event at a time, and says where and why it stopped.
// Pure: no bus, no files, so anything can feed it. It shares the bytes it is given (a mapped
// file comes in through QByteArray::fromRawData, uncopied).
class RecordingReader {
public:
    enum class State {
        Reading,       // more may follow
        Complete,      // the closing record was read
        CutOff,        // the file ends inside or before a record: the recorder was stopped hard
        NotARecording, // the file does not start like a recording
        NewerVersion,  // written by a later version of the format
        Damaged,       // a record does not read back as it was written
    };

    explicit RecordingReader(QByteArray data);

    // The next event into `call`; false at the end or where reading stopped.
    bool next(RecordedCall &call);

    State state() const { return mState; }
    bool failed() const { return mState > State::CutOff; }
    // Where the next record starts.
    qsizetype offset() const { return mOffset; }
    // Where reading stopped: the offset of the record that could not be read.
    qsizetype stopOffset() const { return mStopOffset; }
    // What stopped the reading, naming the offset; empty while reading or when complete.
    QString problem() const;
    int version() const { return mVersion; }
    std::int64_t startUnixMicros() const { return mStart; }

private:
    bool stop(State state, qsizetype offset, const QString &why = {});
    bool decodeCall(QByteArrayView body, RecordedCall &call);

    QByteArray mData;
    qsizetype mOffset = 0;
    State mState = State::Reading;
    qsizetype mStopOffset = 0;
    QString mWhy;
    int mVersion = 0;
    std::int64_t mStart = 0;
    std::int64_t mLastTime = 0;
    std::int64_t mCalls = 0;
    QList<QByteArray> mStrings;
};
