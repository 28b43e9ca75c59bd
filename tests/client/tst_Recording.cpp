// The recording format read back: every event as written, a file cut anywhere reads up to its
// last whole record, and damage, foreign files and later versions stop the reading at the
// offset where they start.
#include "recording/Recording.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using State = RecordingReader::State;

namespace {

RecordedCall makeCall(RecordedCall::Method method, std::int64_t time, QList<QByteArray> arguments,
                      RecordedCall::Answer answer = RecordedCall::Ok, QByteArray value = {})
{
    const char *object =
        method == RecordedCall::CreateMessage || method == RecordedCall::ReleaseMessage
            ? "/"
            : "/Message/1";
    return {method, time, ":1.7", object, std::move(arguments), answer, std::move(value)};
}

// A session with every method, answer and kind of argument.
QList<RecordedCall> session()
{
    const QByteArray buffer("[HEADER]\0V=1\0[DATA]\0ITEM=\xc3\xa9\0", 29);
    return {
        makeCall(RecordedCall::CreateMessage, 0, {}, RecordedCall::Ok, "/Message/1"),
        makeCall(RecordedCall::Initialize, 10, {"/HELIXDebugClient/1", "HELIX Orders"}),
        makeCall(RecordedCall::Initialize, 11, {"/HELIXDebugClient/2", "helix orders"},
                 RecordedCall::Error, "HELIXDebug.Error.DuplicateKey"),
        makeCall(RecordedCall::PrintSendBuffer, 500, {"HELIX Orders", "Lookup", buffer}),
        makeCall(RecordedCall::PrintSendBuffer, 501, {"HELIX Orders", "Lookup", buffer}),
        makeCall(RecordedCall::PrintReceiveBuffer, 9'000'000'000, {QByteArray("V=1\0RC=0", 8)},
                 RecordedCall::Error, "HELIXDebug.Error.InvalidArgument"),
        makeCall(RecordedCall::PrintReceiveBuffer, 9'000'000'001, {QByteArray()}),
        makeCall(RecordedCall::PrintText, 9'000'000'002, {"HELIX Orders", QByteArray(300, 'n')},
                 RecordedCall::NoAnswer),
        makeCall(RecordedCall::PrintText, 9'000'000'003, {"HELIX Orders", QByteArray(300, 'n')}),
        makeCall(RecordedCall::UnHook, 9'000'000'004, {"HELIX Orders"}),
        makeCall(RecordedCall::ReleaseMessage, 9'000'000'005, {"/Message/1"}),
        RecordedCall{RecordedCall::Left, 9'000'000'006, ":1.7", {}, {}, RecordedCall::NoAnswer, {}},
    };
}

struct Written {
    QByteArray data;
    QList<qsizetype> ends; // where each call's record ends
};

Written write(const QList<RecordedCall> &calls)
{
    Written out{Recording::header(1'765'000'000'000'000), {}};
    RecordingWriter writer;
    for (const RecordedCall &call : calls) {
        if (!writer.appendCall(call, out.data))
            qFatal("not encodable");
        out.ends << out.data.size();
    }
    writer.appendEnd(out.data);
    return out;
}

QList<RecordedCall> readAll(RecordingReader &reader)
{
    QList<RecordedCall> calls;
    RecordedCall call;
    while (reader.next(call))
        calls << call;
    return calls;
}

// A record of its own making: length, body, checksum.
QByteArray record(const QByteArray &body)
{
    QByteArray out(1, char(body.size()));
    out += body;
    const std::uint32_t crc = Recording::checksum(body);
    for (int i = 0; i < 4; ++i)
        out += char(crc >> (8 * i));
    return out;
}

} // namespace

class tst_Recording : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Calls whose arguments do not fit their method are refused: they write nothing and the
    // closing record does not count them.
    void readsBackWhatWasWritten()
    {
        RecordingWriter writer;
        QByteArray data = Recording::header(1'765'000'000'000'000);
        QVERIFY(!writer.appendCall(makeCall(RecordedCall::PrintText, 0, {"only one"}), data));
        QVERIFY(!writer.appendCall(makeCall(RecordedCall::Method(0), 0, {}), data));
        QCOMPARE(data.size(), Recording::kHeaderSize);
        for (const RecordedCall &call : session())
            QVERIFY(writer.appendCall(call, data));
        writer.appendEnd(data);
        RecordingReader reader(data);
        QCOMPARE(readAll(reader), session());
        QCOMPARE(reader.state(), State::Complete);
        QCOMPARE(reader.startUnixMicros(), 1'765'000'000'000'000);
    }

    // Past the limit of the string table, writer and reader must stop adding at the same place.
    void manyDistinctStrings()
    {
        QList<RecordedCall> calls;
        for (int i = 0; i < 70000; ++i)
            calls << makeCall(RecordedCall::PrintText, i, {"T", QByteArray::number(i)});
        for (const int i : {0, 65533, 65534, 69999})
            calls << makeCall(RecordedCall::PrintText, 70000, {"T", QByteArray::number(i)});
        RecordingReader reader(write(calls).data);
        QCOMPARE(readAll(reader), calls);
        QCOMPARE(reader.state(), State::Complete);
    }

    void cutAnywhere()
    {
        const QList<RecordedCall> calls = session();
        const Written file = write(calls);
        for (qsizetype size = 0; size < file.data.size(); ++size) {
            RecordingReader reader(file.data.first(size));
            const QList<RecordedCall> read = readAll(reader);
            const qsizetype whole = std::count_if(file.ends.cbegin(), file.ends.cend(),
                                                  [&](qsizetype end) { return end <= size; });
            QCOMPARE(read, calls.first(whole));
            QCOMPARE(reader.state(), size < 8 ? State::NotARecording : State::CutOff);
            if (size >= Recording::kHeaderSize)
                QCOMPARE(reader.stopOffset(),
                         whole ? file.ends[whole - 1] : Recording::kHeaderSize);
        }
    }

    // Where and why reading stops, and the calls read before.
    void stops_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("read");
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("problem");
        const Written file = write(session());
        const QByteArray &good = file.data;
        const auto row = [](const char *name, const QByteArray &data, int read, State state,
                            const QString &problem) {
            QTest::newRow(name) << data << read << state << problem;
        };
        const auto flipped = [&good](qsizetype at, char bits = 0x20) {
            QByteArray data = good;
            data[at] ^= bits;
            return data;
        };
        // One bit flipped anywhere in a record fails its checksum: `at` bytes into the record,
        // or before its end when negative.
        const auto damaged = [&](const char *name, int record, int at) {
            const qsizetype start = record ? file.ends[record - 1] : Recording::kHeaderSize;
            const qsizetype end = record < file.ends.size() ? file.ends[record] : good.size();
            row(name, flipped(at < 0 ? end + at : start + at), record, State::Damaged,
                u"damaged at offset %1: checksum mismatch"_s.arg(start));
        };
        const QString foreign = u"not a HELIX recording (offset 0)"_s;
        row("empty", QByteArray(), 0, State::NotARecording, foreign);
        row("text", "HELIX Debug Display\n", 0, State::NotARecording, foreign);
        row("magic case", flipped(0), 0, State::NotARecording, foreign);
        row("newer", flipped(8, 3), 0, State::NewerVersion,
            u"format version 2 at offset 8 is newer than this program reads (1)"_s);
        row("version 0", flipped(8, 1), 0, State::Damaged,
            u"damaged at offset 8: format version 0"_s);
        row("header only", good.first(Recording::kHeaderSize), 0, State::CutOff,
            u"cut off at offset 24: the recording was not closed"_s);
        row("data after the end", good + QByteArray("\x01", 1), 12, State::Damaged,
            u"damaged at offset %1: data after the closing record"_s.arg(good.size()));
        damaged("damaged length", 3, 0);
        damaged("damaged method", 0, 2);
        damaged("damaged buffer", 4, 30);
        damaged("damaged checksum", 6, -1);
        damaged("damaged closing record", 12, 2);
        // Readers of this version step over a record type of a later one.
        row("later record type", QByteArray(good).insert(file.ends[0], record("\x09 later")), 12,
            State::Complete, QString());
        // A well-sealed record that refers to a string never written is damage all the same.
        row("string never written",
            Recording::header(0) + record(QByteArray("\x01\x06\x00\x07\x03\x01\x00", 7)), 0,
            State::Damaged, u"damaged at offset 24: malformed call record"_s);
    }

    void stops()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, read);
        RecordingReader reader(data);
        QCOMPARE(readAll(reader), session().first(read));
        QTEST(reader.state(), "state");
        QTEST(reader.problem(), "problem");
    }
};

QTEST_APPLESS_MAIN(tst_Recording)
#include "tst_Recording.moc"
