#include "recording/Recording.h"

#include <QTest>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;
using Call = RecordedCall;
using enum Call::Method;
using enum Call::Answer;
using enum RecordingReader::State;

namespace {

Call makeCall(Call::Method method, std::int64_t time, QList<QByteArray> arguments,
              Call::Answer answer = Ok, QByteArray value = {})
{
    const char *object = method == CreateMessage || method == ReleaseMessage ? "/" : "/Message/1";
    return {method, time, ":1.7", object, std::move(arguments), answer, std::move(value)};
}

// A session with every method, answer and kind of argument.
QList<Call> session()
{
    const QByteArray buffer("[HEADER]\0V=1\0[DATA]\0ITEM=\xc3\xa9\0", 29);
    return {
        makeCall(CreateMessage, 0, {}, Ok, "/Message/1"),
        makeCall(Initialize, 10, {"/HELIXDebugClient/1", "HELIX Orders"}),
        makeCall(Initialize, 11, {"/HELIXDebugClient/2", "helix orders"}, Error,
                 "HELIXDebug.Error.DuplicateKey"),
        makeCall(PrintSendBuffer, 500, {"HELIX Orders", "Lookup", buffer}),
        makeCall(PrintSendBuffer, 501, {"HELIX Orders", "Lookup", buffer}),
        makeCall(PrintReceiveBuffer, 9'000'000'000, {QByteArray("V=1\0RC=0", 8)}, Error,
                 "HELIXDebug.Error.InvalidArgument"),
        makeCall(PrintReceiveBuffer, 9'000'000'001, {QByteArray()}),
        makeCall(PrintText, 9'000'000'002, {"HELIX Orders", QByteArray(300, 'n')}, NoAnswer),
        makeCall(PrintText, 9'000'000'003, {"HELIX Orders", QByteArray(300, 'n')}),
        makeCall(UnHook, 9'000'000'004, {"HELIX Orders"}),
        makeCall(ReleaseMessage, 9'000'000'005, {"/Message/1"}),
        Call{Left, 9'000'000'006, ":1.7", {}, {}, NoAnswer, {}},
    };
}

// The file, and where each call's record ends in it.
std::pair<QByteArray, QList<qsizetype>> write(const QList<Call> &calls, RecordingWriter writer = {})
{
    QByteArray data = Recording::header(1'765'000'000'000'000);
    QList<qsizetype> ends;
    for (const Call &call : calls) {
        writer.appendCall(call, data);
        ends << data.size();
    }
    writer.appendEnd(data);
    return {data, ends};
}

QList<Call> readAll(RecordingReader &reader)
{
    QList<Call> calls;
    for (Call call; reader.next(call);)
        calls << call;
    return calls;
}

QByteArray record(const QByteArray &body)
{
    const quint32 crc = qToLittleEndian(Recording::checksum(body));
    return char(body.size()) + body + QByteArray(reinterpret_cast<const char *>(&crc), 4);
}

} // namespace

class tst_Recording : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Refused calls write nothing and go uncounted; past the string table's limit both sides agree.
    void readsBackWhatWasWritten()
    {
        RecordingWriter writer;
        QByteArray refused;
        QVERIFY(!writer.appendCall(makeCall(PrintText, 0, {"only one"}), refused));
        QVERIFY(!writer.appendCall(makeCall(Call::Method(0), 0, {}), refused));
        QVERIFY(refused.isEmpty());
        QList<Call> calls;
        for (int i = 0; i < 70000; ++i)
            calls << makeCall(PrintText, i, {"T", QByteArray::number(i)});
        for (const int i : {0, 65533, 65534, 69999})
            calls << makeCall(PrintText, 70000, {"T", QByteArray::number(i)});
        RecordingReader reader(write(calls, writer).first);
        QCOMPARE(readAll(reader), calls);
        QCOMPARE(reader.state(), Complete);
        QCOMPARE(reader.startUnixMicros(), 1'765'000'000'000'000);
    }

    void stops_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("read");
        QTest::addColumn<RecordingReader::State>("state");
        QTest::addColumn<QString>("problem");
        const auto [good, ends] = write(session());
        const auto row = [](auto name, QByteArray data, int read, auto state, QString problem) {
            QTest::newRow(name) << data << read << state << problem;
        };
        const auto flipped = [&good](qsizetype at, char bits = 0x20) {
            return QByteArray(good).replace(at, 1, QByteArray(1, char(good[at] ^ bits)));
        };
        // One bit flipped in a record fails its checksum: `at` bytes into it, or before its end.
        const auto damaged = [&](const char *name, int record, int at) {
            const qsizetype start = record ? ends[record - 1] : Recording::kHeaderSize;
            row(name, flipped(at < 0 ? ends[record] + at : start + at), record, Damaged,
                u"damaged at offset %1: checksum mismatch"_s.arg(start));
        };
        const QString foreign = u"not a HELIX recording (offset 0)"_s;
        // Cut anywhere, a file reads up to its last whole record.
        const QString notClosed = u"cut off at offset %1: the recording was not closed"_s;
        for (int size = 0; size < good.size(); ++size) {
            const int whole = std::ranges::count_if(ends, [&](auto end) { return end <= size; });
            const qsizetype at = whole ? ends[whole - 1] : qMin(size, int(Recording::kHeaderSize));
            row(qPrintable(u"cut at %1"_s.arg(size)), good.first(size), whole,
                size < 8 ? NotARecording : CutOff, size < 8 ? foreign : notClosed.arg(at));
        }
        row("text", "HELIX Debug Display\n", 0, NotARecording, foreign);
        row("magic case", flipped(0), 0, NotARecording, foreign);
        row("newer", flipped(8, 3), 0, NewerVersion,
            u"format version 2 at offset 8 is newer than this program reads (1)"_s);
        row("version 0", flipped(8, 1), 0, Damaged, u"damaged at offset 8: format version 0"_s);
        row("data after the end", good + "\x01", 12, Damaged,
            u"damaged at offset %1: data after the closing record"_s.arg(good.size()));
        damaged("damaged length", 3, 0);
        damaged("damaged method", 0, 2);
        damaged("damaged buffer", 4, 30);
        damaged("damaged checksum", 6, -1);
        damaged("damaged closing record", 12, 2);
        row("later record type", QByteArray(good).insert(ends[0], record("\x09 later")), 12,
            Complete, {});
        row("string never written",
            Recording::header(0) + record("\x01\x06\x00\x07\x03\x01\x00"_ba), 0, Damaged,
            u"damaged at offset 24: malformed call record"_s);
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
