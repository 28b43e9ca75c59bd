// RecordingReader on any bytes: it stops with a state and an offset inside the input, its
// events fit their methods and go forward in time, and what it read, written again, reads back
// the same to a clean end.
#include "FuzzCheck.h"
#include "recording/Recording.h"

#include <cstddef>
#include <cstdint>

namespace {

int argumentCount(RecordedCall::Method method)
{
    int count = 0;
    for (const char *type = Recording::signatureOf(method); *type; ++type)
        count += *type != 'a';
    return count;
}

// Nearly every mutation breaks a record's checksum, and the reader rightly stops there. Inputs
// of odd length get their records' checksums made right first, so that the contents of the
// records are explored as well.
QByteArray sealed(QByteArrayView input)
{
    QByteArray out = input.toByteArray();
    if (input.size() % 2 == 0)
        return out;
    qsizetype at = Recording::kHeaderSize;
    while (at < out.size()) {
        std::uint64_t length = 0;
        int shift = 0;
        while (at < out.size() && shift < 9 && (std::uint8_t(out[at]) & 0x80))
            length |= std::uint64_t(std::uint8_t(out[at++]) & 0x7F) << (7 * shift++);
        if (at >= out.size() || shift >= 9)
            break;
        length |= std::uint64_t(std::uint8_t(out[at++])) << (7 * shift);
        if (length + 4 > std::uint64_t(out.size() - at))
            break;
        const std::uint32_t crc =
            Recording::checksum(QByteArrayView(out).sliced(at, qsizetype(length)));
        at += qsizetype(length);
        for (int i = 0; i < 4; ++i)
            out[at++] = char(crc >> (8 * i));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = sealed(QByteArrayView(data, qsizetype(size)));
    RecordingReader reader(input);
    QList<RecordedCall> calls;
    RecordedCall call;
    std::int64_t time = 0;
    while (reader.next(call)) {
        FUZZ_CHECK(call.arguments.size() == argumentCount(call.method));
        FUZZ_CHECK(call.time >= time);
        FUZZ_CHECK(reader.offset() <= input.size());
        time = call.time;
        calls << call;
    }
    FUZZ_CHECK(reader.state() != RecordingReader::State::Reading);
    FUZZ_CHECK(reader.stopOffset() >= 0 && reader.stopOffset() <= input.size());
    if (reader.state() == RecordingReader::State::Complete) {
        FUZZ_CHECK(reader.stopOffset() == input.size());
        FUZZ_CHECK(reader.problem().isEmpty());
    } else {
        FUZZ_CHECK(reader.problem().contains(QStringLiteral("offset %1").arg(reader.stopOffset())));
    }
    if (reader.failed() && reader.state() != RecordingReader::State::Damaged)
        FUZZ_CHECK(calls.isEmpty());

    QByteArray again = Recording::header(reader.startUnixMicros());
    RecordingWriter writer;
    for (const RecordedCall &read : calls)
        FUZZ_CHECK(writer.appendCall(read, again));
    writer.appendEnd(again);
    RecordingReader back(again);
    for (const RecordedCall &read : calls)
        FUZZ_CHECK(back.next(call) && call == read);
    FUZZ_CHECK(!back.next(call) && back.state() == RecordingReader::State::Complete);
    return 0;
}
