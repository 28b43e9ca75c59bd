// Whole sessions of real clients, read back through the display's own copy command: one is
// recorded off the bus and replayed into a fresh display, line for line; a bad file is refused or
// replayed as far as it goes. In a soak, clients come and go, killed mid-call, among bad calls.
#include "ChildProcess.h"
#include "DisplayLines.h"
#include "HelixDebugClient.h"
#include "PrivateBus.h"
#include "recording/Recording.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kEnd = u"end of session"_s;

QList<RecordedCall> readRecording(const QString &path, RecordingReader::State *state = nullptr)
{
    QFile file(path);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    RecordingReader reader(data);
    QList<RecordedCall> calls;
    RecordedCall call;
    while (reader.next(call))
        calls << call;
    if (state)
        *state = reader.state();
    return calls;
}

qsizetype prints(const QList<RecordedCall> &calls)
{
    return std::count_if(calls.cbegin(), calls.cend(), [](const RecordedCall &call) {
        return call.method >= RecordedCall::PrintSendBuffer &&
               call.method <= RecordedCall::PrintText;
    });
}

const QString kClient = QStringLiteral(HELIX_TEST_CLIENT);
const QString kRecord = QStringLiteral(HELIX_RECORD);
const QString kReplay = QStringLiteral(HELIX_REPLAY);
const QString kRecording = u"helixdebug-record: recording to"_s; // says it is ready

} // namespace

class tst_RecordReplay : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    QString mRecording;
    QStringList mLive; // the display's lines of the recorded session

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        mRecording = mDir.filePath(u"session.helixrec"_s);
    }

    void replayShowsTheRecordedLines()
    {
        {
            PrivateBus bus;
            QVERIFY(bus.isRunning());
            ChildProcess recorder(kRecord, {mRecording});
            QVERIFY(recorder.firstLine().startsWith(kRecording));
            ChildProcess demo(QStringLiteral(HELIX_DEMO), {u"--flood"_s, u"--calls"_s, u"400"_s});
            QVERIFY(
                QTest::qWaitFor([&] { return prints(readRecording(mRecording)) == 400; }, 60000));
            const RecordedCall first = readRecording(mRecording).value(0);
            QCOMPARE(first.method, RecordedCall::CreateMessage);
            const QString object = QString::fromUtf8(first.answerValue);

            // Errors in between, from clients of their own, as D-Bus errors (the classic ones
            // with their number in front of the text): a title the demo holds (in another case),
            // a reply whose RC= field is not closed, a title nobody registered.
            ChildProcess duplicate(kClient,
                                   {u"normal"_s, object, u"helix orders"_s, u"/dev/null"_s});
            QCOMPARE(duplicate.finish(), 1);
            QCOMPARE(duplicate.out.trimmed(),
                     u"error HELIXDebug.Error.DuplicateKey 457: This key is already associated "
                     u"with an element of this collection"_s);
            const auto send = [&](const QStringList &command) {
                ChildProcess tool(QStringLiteral(HELIX_SEND),
                                  QStringList{u"--object"_s, object} + command);
                return tool.finish();
            };
            QCOMPARE(send({u"receive"_s, u"V=1\\0RC=12"_s}), 1);
            QCOMPARE(send({u"unhook"_s, u"Nobody"_s}), 1);
            QCOMPARE(
                send({u"send"_s, u"Script"_s, u"Find"_s, u"[HEADER]\\0V=1\\0[DATA]\\0ITEM\\0"_s}),
                0);
            QCOMPARE(send({u"text"_s, u"Script"_s, kEnd}), 0);
            QVERIFY(
                QTest::qWaitFor([&] { return prints(readRecording(mRecording)) == 403; }, 30000));

            mLive = copyDisplayLines(bus.displayPid(), kEnd);
            QVERIFY(mLive.size() > 400);
            recorder.signal(SIGTERM);
            QCOMPARE(recorder.finish(10000), 0);
        }

        RecordingReader::State state;
        const QList<RecordedCall> calls = readRecording(mRecording, &state);
        QCOMPARE(state, RecordingReader::State::Complete);
        // Which errors they were, the replay's comparison of answers tells.
        int errors = 0;
        for (const RecordedCall &call : calls)
            errors += call.answer == RecordedCall::Error;
        QCOMPARE(errors, 3);

        // A fresh bus: the replay's first call starts the display.
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        QCOMPARE(bus.displayPid(), 0);
        ChildProcess replay(kReplay, {u"--fast"_s, mRecording});
        QCOMPARE(replay.finish(), 0);
        QVERIFY2(replay.out.contains(u" 0 answers differ from the recording"_s),
                 qPrintable(replay.out + replay.err));
        QCOMPARE(copyDisplayLines(bus.displayPid(), kEnd), mLive);
    }

    // Set-up calls before --from still play; prints outside [--from, --to] do not.
    void replayPart()
    {
        QVERIFY(!mLive.isEmpty());
        std::int64_t sendTime = -1;
        for (const RecordedCall &call : readRecording(mRecording)) {
            if (call.method == RecordedCall::PrintSendBuffer && call.arguments[0] == "Script")
                sendTime = call.time;
        }
        QVERIFY(sendTime > 0);
        const QString at = QString::number(double(sendTime) / 1e6, 'f', 6);
        const qsizetype send = mLive.indexOf(u"[Script]  Find Request"_s);
        const qsizetype end = mLive.indexOf(u"[Script]  "_s + kEnd);
        QVERIFY(send > 3 && end > send);
        // The three titles the demo registers come first, made before any print.
        const QStringList expected = mLive.first(3) + mLive.mid(send, end - send);
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        ChildProcess replay(kReplay, {u"--fast"_s, u"--from"_s, at, u"--to"_s, at, mRecording});
        QCOMPARE(replay.finish(), 0);
        QCOMPARE(copyDisplayLines(bus.displayPid(), expected.constLast()), expected);
    }

    // The replay tool's answer to a bad file; the reader's finer states are tst_Recording's. A
    // null file is none at all.
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("played");
        QFile file(mRecording);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray good = file.readAll();
        RecordingReader reader(good);
        RecordedCall call;
        for (int record = 0; record < 100; ++record)
            QVERIFY(reader.next(call) && call.method != RecordedCall::Left);
        const qsizetype at = reader.offset();
        QByteArray damaged = good;
        damaged[at + 3] = char(damaged[at + 3] ^ 0x40);

        QTest::newRow("unreadable") << QByteArray() << 1 << u"No such file or directory"_s << -1;
        QTest::newRow("damaged") << damaged << 1
                                 << u"damaged at offset %1: checksum mismatch; playing the 100 "
                                    "calls before it"_s.arg(at)
                                 << 100;
        QTest::newRow("cut off") << good.first(at) << 0
                                 << u"cut off at offset %1: the recording was not closed; "
                                    "playing the 100 calls in it"_s.arg(at)
                                 << 100;
    }

    void badFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(int, played);
        const QString path = mDir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QFile file(path);
        QVERIFY(data.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(data) == data.size()));
        file.close();

        PrivateBus bus;
        QVERIFY(bus.isRunning());
        ChildProcess replay(kReplay, {u"--fast"_s, path});
        QCOMPARE(replay.finish(), status);
        QVERIFY2(replay.err.contains(path + u": "_s + message), qPrintable(replay.err));
        QVERIFY2(played < 0 ? replay.out.isEmpty()
                            : replay.out.contains(u": %1 calls played"_s.arg(played)),
                 qPrintable(replay.out));
    }

    // The display's memory under such traffic is measured by the benchmarks.
    void soakKeepsAnswering()
    {
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        HelixDebug::Message held(bus.connection());
        QVERIFY(!held.create().isValid());
        QVERIFY(!held.Initialize(u"Soak"_s).isValid());
        const QString object = held.path().path();
        QRandomGenerator random(20261206);
        std::vector<std::unique_ptr<ChildProcess>> clients;
        const auto start = [&] {
            const QStringList arguments{u"soak"_s, object, u"C%1"_s.arg(clients.size()), u"2000"_s};
            clients.push_back(std::make_unique<ChildProcess>(kClient, arguments));
        };
        while (clients.size() < 8)
            start();
        for (int round = 1; round <= 120; ++round) {
            QTest::qWait(50);
            ChildProcess &victim = *clients[random.bounded(int(clients.size()))];
            if (random.bounded(4) == 0 && victim.state() == QProcess::Running) {
                victim.signal(SIGKILL);
                start();
            }
            const QDBusMessage refused = bus.call(object, u"HELIXDebug.Message.PrintReceiveBuffer"_s,
                                                  {QByteArray("\xff\xfe bad", 6)});
            QCOMPARE(refused.errorName() + u' ' + refused.errorMessage(),
                     u"HELIXDebug.Error.InvalidUtf8 Buffer is not valid UTF-8"_s);
            if (round % 40 == 0) {
                const QList<QVariant> huge{u"Soak"_s, u"Huge"_s,
                                           QByteArray(32 * 1024 * 1024 + 1, 'x')};
                QCOMPARE(outcome(bus.call(object, u"HELIXDebug.Message.PrintSendBuffer"_s, huge)),
                         u"HELIXDebug.Error.BufferTooLarge"_s);
            }
        }
        // Those not killed saw every call taken (exit status 1 says one was refused).
        for (const auto &client : clients)
            QVERIFY(client->finish(60000) != 1 && client->state() == QProcess::NotRunning);
        QVERIFY(!HelixDebug::Message(bus.connection()).create().isValid());
    }
};

QTEST_GUILESS_MAIN(tst_RecordReplay)
#include "tst_RecordReplay.moc"
