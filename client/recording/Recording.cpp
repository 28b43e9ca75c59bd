#include "recording/Recording.h"

#include <array>
#include <cstring>

namespace {

constexpr char kMagic[8] = {'H', 'E', 'L', 'I', 'X', 'R', 'E', 'C'};
constexpr std::uint8_t kCallRecord = 1;
constexpr std::uint8_t kEndRecord = 2;
// Larger than any call the bus carries (its messages are limited to 128 MiB): a length beyond
// it is damage, not a big record.
constexpr std::uint64_t kMaxRecord = 512ull << 20;
// Short strings (titles, requests, senders, paths, error names) repeat: each is written once
// and referred to by number afterwards. The table stops growing at its limit, the same way in
// the writer and the reader, so a session of endless distinct notes costs bounded memory.
constexpr qsizetype kMaxInterned = 255;
constexpr std::uint32_t kMaxStrings = 65536;

constexpr std::array<std::uint32_t, 256> crcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

} // namespace

std::uint32_t Recording::checksum(QByteArrayView data)
{
    static constexpr std::array<std::uint32_t, 256> table = crcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char byte : data)
        c = table[(c ^ std::uint8_t(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

namespace {

void putVarint(std::uint64_t value, QByteArray &out)
{
    while (value >= 0x80) {
        out += char(value | 0x80);
        value >>= 7;
    }
    out += char(value);
}

void putLittleEndian(std::uint64_t value, int bytes, QByteArray &out)
{
    for (int i = 0; i < bytes; ++i)
        out += char(value >> (8 * i));
}

std::uint64_t getLittleEndian(QByteArrayView data, qsizetype at, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= std::uint64_t(std::uint8_t(data[at + i])) << (8 * i);
    return value;
}

// Reads within one span; every read says whether it fitted.
struct Cursor {
    QByteArrayView data;
    qsizetype at = 0;

    enum class Varint { Ok, Short, Malformed };
    Varint varint(std::uint64_t &value)
    {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at >= data.size())
                return Varint::Short;
            const std::uint8_t byte = std::uint8_t(data[at++]);
            if (shift == 63 && byte > 1)
                return Varint::Malformed;
            value |= std::uint64_t(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return Varint::Ok;
        }
        return Varint::Malformed;
    }
    bool number(std::uint64_t &value) { return varint(value) == Varint::Ok; }
    bool byte(std::uint8_t &value)
    {
        if (at >= data.size())
            return false;
        value = std::uint8_t(data[at++]);
        return true;
    }
    bool bytes(std::uint64_t count, QByteArray &out)
    {
        if (count > std::uint64_t(data.size() - at))
            return false;
        out = data.sliced(at, qsizetype(count)).toByteArray();
        at += qsizetype(count);
        return true;
    }
};

int argumentCount(RecordedCall::Method method)
{
    int count = 0;
    for (const char *type = Recording::signatureOf(method); *type; ++type)
        count += *type != 'a';
    return count;
}

bool knownMethod(std::uint8_t method)
{
    return method >= RecordedCall::CreateMessage && method <= RecordedCall::Left;
}

bool answerHasValue(const RecordedCall &call)
{
    return call.answer == RecordedCall::Error ||
           (call.answer == RecordedCall::Ok && call.method == RecordedCall::CreateMessage);
}

} // namespace

namespace Recording {

QString methodName(RecordedCall::Method method)
{
    static const char *const names[] = {"",           "CreateMessage",   "ReleaseMessage",
                                        "Initialize", "PrintSendBuffer", "PrintReceiveBuffer",
                                        "PrintText",  "UnHook",          "Left"};
    return QString::fromLatin1(names[knownMethod(method) ? method : 0]);
}

QString interfaceOf(RecordedCall::Method method)
{
    return method == RecordedCall::CreateMessage || method == RecordedCall::ReleaseMessage
               ? QStringLiteral("HELIXDebug.Server")
               : QStringLiteral("HELIXDebug.Message");
}

const char *signatureOf(RecordedCall::Method method)
{
    switch (method) {
    case RecordedCall::ReleaseMessage:
        return "o";
    case RecordedCall::Initialize:
        return "os";
    case RecordedCall::PrintSendBuffer:
        return "ssay";
    case RecordedCall::PrintReceiveBuffer:
        return "ay";
    case RecordedCall::PrintText:
        return "ss";
    case RecordedCall::UnHook:
        return "s";
    case RecordedCall::CreateMessage:
    case RecordedCall::Left:
        break;
    }
    return "";
}

int bufferArgument(RecordedCall::Method method)
{
    if (method == RecordedCall::PrintSendBuffer)
        return 2;
    return method == RecordedCall::PrintReceiveBuffer ? 0 : -1;
}

QByteArray header(std::int64_t startUnixMicros)
{
    QByteArray out(kMagic, sizeof kMagic);
    putLittleEndian(kVersion, 2, out);
    putLittleEndian(0, 6, out);
    putLittleEndian(std::uint64_t(startUnixMicros), 8, out);
    return out;
}

} // namespace Recording

void RecordingWriter::appendString(const QByteArray &text, QByteArray &body)
{
    const auto known = mStrings.constFind(text);
    if (known != mStrings.cend()) {
        putVarint(std::uint64_t(*known) << 1 | 1, body);
        return;
    }
    putVarint(std::uint64_t(text.size()) << 1, body);
    body += text;
    if (text.size() <= kMaxInterned && std::uint32_t(mStrings.size()) < kMaxStrings)
        mStrings.insert(text, std::uint32_t(mStrings.size()));
}

bool RecordingWriter::appendCall(const RecordedCall &call, QByteArray &out)
{
    if (!knownMethod(call.method) || call.arguments.size() != argumentCount(call.method) ||
        call.answer > RecordedCall::NoAnswer)
        return false;
    QByteArray body;
    body += char(kCallRecord);
    body += char(call.method);
    // Times only go forward in the file; a clock that stepped back reads as no gap.
    const std::int64_t time = std::max(call.time, mLastTime);
    putVarint(std::uint64_t(time - mLastTime), body);
    mLastTime = time;
    appendString(call.sender, body);
    if (call.method != RecordedCall::Left) {
        appendString(call.object, body);
        for (int i = 0; i < call.arguments.size(); ++i) {
            if (i == Recording::bufferArgument(call.method)) {
                putVarint(std::uint64_t(call.arguments[i].size()), body);
                body += call.arguments[i];
            } else {
                appendString(call.arguments[i], body);
            }
        }
        body += char(call.answer);
        if (answerHasValue(call))
            appendString(call.answerValue, body);
    }
    putVarint(std::uint64_t(body.size()), out);
    out += body;
    putLittleEndian(Recording::checksum(body), 4, out);
    ++mCalls;
    return true;
}

void RecordingWriter::appendEnd(QByteArray &out)
{
    QByteArray body;
    body += char(kEndRecord);
    putVarint(std::uint64_t(mCalls), body);
    putVarint(std::uint64_t(body.size()), out);
    out += body;
    putLittleEndian(Recording::checksum(body), 4, out);
}

RecordingReader::RecordingReader(QByteArray bytes)
    : mData(std::move(bytes))
{
    const QByteArrayView data(mData);
    if (data.size() < qsizetype(sizeof kMagic) ||
        std::memcmp(data.data(), kMagic, sizeof kMagic) != 0) {
        stop(State::NotARecording, 0);
        return;
    }
    if (data.size() < Recording::kHeaderSize) {
        stop(State::CutOff, data.size());
        return;
    }
    mVersion = int(getLittleEndian(data, 8, 2));
    if (mVersion > Recording::kVersion) {
        stop(State::NewerVersion, 8);
        return;
    }
    if (mVersion == 0) {
        stop(State::Damaged, 8, QStringLiteral("format version 0"));
        return;
    }
    mStart = std::int64_t(getLittleEndian(data, 16, 8));
    mOffset = Recording::kHeaderSize;
}

bool RecordingReader::stop(State state, qsizetype offset, const QString &why)
{
    mState = state;
    mStopOffset = offset;
    mWhy = why;
    return false;
}

QString RecordingReader::problem() const
{
    switch (mState) {
    case State::Reading:
    case State::Complete:
        break;
    case State::CutOff:
        return QStringLiteral("cut off at offset %1: the recording was not closed")
            .arg(mStopOffset);
    case State::NotARecording:
        return QStringLiteral("not a HELIX recording (offset 0)");
    case State::NewerVersion:
        return QStringLiteral("format version %1 at offset 8 is newer than this program reads (%2)")
            .arg(mVersion)
            .arg(Recording::kVersion);
    case State::Damaged:
        return QStringLiteral("damaged at offset %1: %2").arg(mStopOffset).arg(mWhy);
    }
    return {};
}

bool RecordingReader::next(RecordedCall &call)
{
    while (mState == State::Reading) {
        const qsizetype start = mOffset;
        if (start == mData.size())
            return stop(State::CutOff, start);
        Cursor cursor{mData, start};
        std::uint64_t length = 0;
        const Cursor::Varint read = cursor.varint(length);
        if (read == Cursor::Varint::Malformed ||
            (read == Cursor::Varint::Ok && length > kMaxRecord))
            return stop(State::Damaged, start, QStringLiteral("impossible record length"));
        if (read == Cursor::Varint::Short || length + 4 > std::uint64_t(mData.size() - cursor.at))
            return stop(State::CutOff, start);
        const QByteArrayView body = QByteArrayView(mData).sliced(cursor.at, qsizetype(length));
        const qsizetype end = cursor.at + qsizetype(length) + 4;
        if (Recording::checksum(body) != getLittleEndian(mData, end - 4, 4))
            return stop(State::Damaged, start, QStringLiteral("checksum mismatch"));
        if (body.isEmpty())
            return stop(State::Damaged, start, QStringLiteral("empty record"));
        mOffset = end;
        if (body[0] == char(kCallRecord)) {
            if (!decodeCall(body.sliced(1), call))
                return stop(State::Damaged, start, QStringLiteral("malformed call record"));
            ++mCalls;
            return true;
        }
        if (body[0] == char(kEndRecord)) {
            Cursor count{body, 1};
            std::uint64_t calls = 0;
            if (!count.number(calls) || calls != std::uint64_t(mCalls))
                return stop(
                    State::Damaged, start,
                    QStringLiteral("the closing record does not count the %1 calls before it")
                        .arg(mCalls));
            if (end != mData.size())
                return stop(State::Damaged, end, QStringLiteral("data after the closing record"));
            return stop(State::Complete, end);
        }
        // A record type of a later version of this format: its readers add, and older ones
        // step over what they do not know.
    }
    return false;
}

bool RecordingReader::decodeCall(QByteArrayView body, RecordedCall &call)
{
    Cursor cursor{body};
    const auto string = [&](QByteArray &out) {
        std::uint64_t code = 0;
        if (!cursor.number(code))
            return false;
        if (code & 1) {
            if ((code >> 1) >= std::uint64_t(mStrings.size()))
                return false;
            out = mStrings[qsizetype(code >> 1)];
            return true;
        }
        if (!cursor.bytes(code >> 1, out))
            return false;
        if (out.size() <= kMaxInterned && std::uint32_t(mStrings.size()) < kMaxStrings)
            mStrings.append(out);
        return true;
    };
    std::uint8_t method = 0;
    std::uint64_t delta = 0;
    if (!cursor.byte(method) || !knownMethod(method) || !cursor.number(delta) ||
        delta > std::uint64_t(INT64_MAX - mLastTime))
        return false;
    call = RecordedCall{};
    call.method = RecordedCall::Method(method);
    mLastTime += std::int64_t(delta);
    call.time = mLastTime;
    if (!string(call.sender))
        return false;
    if (call.method == RecordedCall::Left)
        return true;
    if (!string(call.object))
        return false;
    const int count = argumentCount(call.method);
    for (int i = 0; i < count; ++i) {
        QByteArray argument;
        std::uint64_t size = 0;
        const bool ok = i == Recording::bufferArgument(call.method)
                            ? cursor.number(size) && cursor.bytes(size, argument)
                            : string(argument);
        if (!ok)
            return false;
        call.arguments.append(argument);
    }
    std::uint8_t answer = 0;
    if (!cursor.byte(answer) || answer > RecordedCall::NoAnswer)
        return false;
    call.answer = RecordedCall::Answer(answer);
    // Bytes after the known fields belong to a later version of the format.
    return !answerHasValue(call) || string(call.answerValue);
}
