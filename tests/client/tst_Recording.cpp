// The recording format read back: every event as written, a file cut anywhere reads up to its
// last whole record, and damage, foreign files and later versions stop the reading at the
// offset where they start.
#include "recording/Recording.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

RecordedCall makeCall(RecordedCall::Method method, std::int64_t time, QList<QByteArray> arguments,
                      RecordedCall::Answer answer = RecordedCall::Ok, QByteArray value = {})
{
    RecordedCall call;
    call.method = method;
    call.time = time;
    call.sender = ":1.7";
    call.object = method == RecordedCall::CreateMessage || method == RecordedCall::ReleaseMessage
                      ? "/"
                      : "/Message/1";
    call.arguments = std::move(arguments);
    call.answer = answer;
    call.answerValue = std::move(value);
    return call;
}

// A session with every method, answer and kind of argument.
QList<RecordedCall> session()
{
    const QByteArray buffer("[HEADER]\0V=1\0[DATA]\0ITEM=\xc3\xa9\0", 29);
    QList<RecordedCall> calls{
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
    };
    RecordedCall left;
    left.method = RecordedCall::Left;
    left.time = 9'000'000'006;
    left.sender = ":1.7";
    calls << left;
    return calls;
}

struct Written {
    QByteArray data;
    QList<qsizetype> ends; // where each call's record ends
};

Written write(const QList<RecordedCall> &calls, bool close = true)
{
    Written out{Recording::header(1'765'000'000'000'000), {}};
    RecordingWriter writer;
    for (const RecordedCall &call : calls) {
        if (!writer.appendCall(call, out.data))
            qFatal("not encodable");
        out.ends << out.data.size();
    }
    if (close)
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
    void readsBackWhatWasWritten();
    void manyDistinctStrings();
    void cutAnywhere();
    void damage_data();
    void damage();
    void headers_data();
    void headers();
    void laterRecordTypesAreSkipped();
    void refusesCallsThatDoNotFitTheirMethod();
};

void tst_Recording::readsBackWhatWasWritten()
{
    const Written file = write(session());
    RecordingReader reader(file.data);
    QCOMPARE(readAll(reader), session());
    QCOMPARE(reader.state(), RecordingReader::State::Complete);
    QCOMPARE(reader.startUnixMicros(), 1'765'000'000'000'000);
    QCOMPARE(reader.version(), 1);
    QVERIFY(reader.problem().isEmpty());
}

void tst_Recording::manyDistinctStrings()
{
    // Past the limit of the string table, writer and reader must stop adding at the same place.
    QList<RecordedCall> calls;
    for (int i = 0; i < 70000; ++i)
        calls << makeCall(RecordedCall::PrintText, i, {"T", QByteArray::number(i)});
    for (const int i : {0, 65533, 65534, 69999})
        calls << makeCall(RecordedCall::PrintText, 70000, {"T", QByteArray::number(i)});
    const Written file = write(calls);
    RecordingReader reader(file.data);
    QCOMPARE(readAll(reader), calls);
    QCOMPARE(reader.state(), RecordingReader::State::Complete);
}

void tst_Recording::cutAnywhere()
{
    const QList<RecordedCall> calls = session();
    const Written file = write(calls);
    for (qsizetype size = 0; size < file.data.size(); ++size) {
        RecordingReader reader(file.data.first(size));
        const QList<RecordedCall> read = readAll(reader);
        const qsizetype whole = std::count_if(file.ends.cbegin(), file.ends.cend(),
                                              [&](qsizetype end) { return end <= size; });
        QCOMPARE(read, calls.first(whole));
        QCOMPARE(reader.state(),
                 size < 8 ? RecordingReader::State::NotARecording : RecordingReader::State::CutOff);
        if (size >= Recording::kHeaderSize)
            QCOMPARE(reader.stopOffset(), whole ? file.ends[whole - 1] : Recording::kHeaderSize);
    }
}

void tst_Recording::damage_data()
{
    QTest::addColumn<int>("record"); // the damaged record
    QTest::addColumn<int>("at");     // the byte changed inside it
    QTest::addColumn<QString>("why");
    QTest::newRow("length") << 3 << 0 << u"checksum mismatch"_s;
    QTest::newRow("method") << 0 << 2 << u"checksum mismatch"_s;
    QTest::newRow("inside a buffer") << 4 << 30 << u"checksum mismatch"_s;
    QTest::newRow("checksum") << 6 << -1 << u"checksum mismatch"_s;
    QTest::newRow("closing record") << 12 << 2 << u"checksum mismatch"_s;
}

void tst_Recording::damage()
{
    QFETCH(int, record);
    QFETCH(int, at);
    QFETCH(QString, why);
    const QList<RecordedCall> calls = session();
    Written file = write(calls);
    const qsizetype start = record ? file.ends[record - 1] : Recording::kHeaderSize;
    const qsizetype end = record < file.ends.size() ? file.ends[record] : file.data.size();
    file.data[at < 0 ? end + at : start + at] ^= 0x20;
    RecordingReader reader(file.data);
    QCOMPARE(readAll(reader), calls.first(record));
    QCOMPARE(reader.state(), RecordingReader::State::Damaged);
    QCOMPARE(reader.stopOffset(), start);
    QCOMPARE(reader.problem(), u"damaged at offset %1: %2"_s.arg(start).arg(why));
}

void tst_Recording::headers_data()
{
    const QByteArray good = write(session()).data;
    QByteArray newer = good;
    newer[8] = 2;
    QByteArray zero = good;
    zero[8] = 0;
    QByteArray foreign = good;
    foreign[0] = 'h';
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<RecordingReader::State>("state");
    QTest::addColumn<QString>("problem");
    QTest::newRow("empty") << QByteArray() << RecordingReader::State::NotARecording
                           << u"not a HELIX recording (offset 0)"_s;
    QTest::newRow("text") << QByteArray("HELIX Debug Display\n")
                          << RecordingReader::State::NotARecording
                          << u"not a HELIX recording (offset 0)"_s;
    QTest::newRow("magic case") << foreign << RecordingReader::State::NotARecording
                                << u"not a HELIX recording (offset 0)"_s;
    QTest::newRow("newer")
        << newer << RecordingReader::State::NewerVersion
        << u"format version 2 at offset 8 is newer than this program reads (1)"_s;
    QTest::newRow("version 0") << zero << RecordingReader::State::Damaged
                               << u"damaged at offset 8: format version 0"_s;
    QTest::newRow("header only") << good.first(Recording::kHeaderSize)
                                 << RecordingReader::State::CutOff
                                 << u"cut off at offset 24: the recording was not closed"_s;
    QTest::newRow("data after the end")
        << good + QByteArray("\x01", 1) << RecordingReader::State::Damaged
        << u"damaged at offset %1: data after the closing record"_s.arg(good.size());
}

void tst_Recording::headers()
{
    QFETCH(QByteArray, data);
    QFETCH(RecordingReader::State, state);
    QFETCH(QString, problem);
    RecordingReader reader(data);
    const QList<RecordedCall> read = readAll(reader);
    QCOMPARE(reader.state(), state);
    QCOMPARE(reader.problem(), problem);
    if (reader.failed() && state != RecordingReader::State::Damaged)
        QVERIFY(read.isEmpty());
}

void tst_Recording::laterRecordTypesAreSkipped()
{
    const QList<RecordedCall> calls = session();
    const Written file = write(calls);
    // A record of a type this version does not know, between the first and second call.
    QByteArray data = file.data;
    data.insert(file.ends[0], record("\x09 later"));
    RecordingReader reader(data);
    QCOMPARE(readAll(reader), calls);
    QCOMPARE(reader.state(), RecordingReader::State::Complete);

    // A well-sealed record that refers to a string never written is damage all the same.
    QByteArray dangling = Recording::header(0);
    dangling += record(QByteArray("\x01\x06\x00\x07\x03\x01\x00", 7));
    RecordingReader danglingReader(dangling);
    QVERIFY(readAll(danglingReader).isEmpty());
    QCOMPARE(danglingReader.problem(), u"damaged at offset 24: malformed call record"_s);
}

void tst_Recording::refusesCallsThatDoNotFitTheirMethod()
{
    RecordingWriter writer;
    QByteArray out;
    QVERIFY(!writer.appendCall(makeCall(RecordedCall::PrintText, 0, {"only one"}), out));
    QVERIFY(!writer.appendCall(makeCall(RecordedCall::Method(0), 0, {}), out));
    QVERIFY(out.isEmpty());
    // Refused calls are not counted by the closing record either.
    writer.appendEnd(out);
    RecordingReader reader(Recording::header(0) + out);
    RecordedCall call;
    QVERIFY(!reader.next(call));
    QCOMPARE(reader.state(), RecordingReader::State::Complete);
}

QTEST_APPLESS_MAIN(tst_Recording)
#include "tst_Recording.moc"
