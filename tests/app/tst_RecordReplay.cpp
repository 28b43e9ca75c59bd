// Real clients' sessions read back by the display's own copy: recorded off the bus, replayed line
// for line; a bad file refused or played as far as it goes. A soak kills clients mid-call.
#include "ChildProcess.h"
#include "DisplayLines.h"
#include "HelixDebugClient.h"
#include "PrivateBus.h"
#include "recording/Recording.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_RecordReplay : public QObject {
    Q_OBJECT

    const QString kEnd = u"end of session"_s;
    const QString kClient = QStringLiteral(HELIX_TEST_CLIENT);
    const QString kReplay = QStringLiteral(HELIX_REPLAY);
    std::optional<PrivateBus> mBus;
    QTemporaryDir mDir;
    const QString mRecording = mDir.filePath(u"session.helixrec"_s);

    QList<RecordedCall> recorded() const
    {
        QFile file(mRecording);
        RecordingReader reader(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        QList<RecordedCall> calls;
        for (RecordedCall call; reader.next(call);)
            calls << call;
        return calls;
    }
    qsizetype recordedPrints() const
    {
        return std::ranges::count_if(recorded(), [](const RecordedCall &call) {
            return call.method >= RecordedCall::PrintSendBuffer &&
                   call.method <= RecordedCall::PrintText;
        });
    }

private Q_SLOTS:
    void init() { QVERIFY(mBus.emplace().isRunning()); }
    void cleanup() { mBus.reset(); }

    void replayShowsTheRecordedLines()
    {
        ChildProcess recorder(QStringLiteral(HELIX_RECORD), {mRecording});
        QVERIFY(recorder.firstLine().startsWith(u"helixdebug-record: recording to"_s));
        ChildProcess demo(QStringLiteral(HELIX_DEMO), {u"--flood"_s, u"--calls"_s, u"400"_s});
        QVERIFY(QTest::qWaitFor([&] { return recordedPrints() == 400; }, 60000));
        const QString object = QString::fromUtf8(recorded().value(0).answerValue);

        // Errors as clients see them, number first: a title held in other case, RC= open, no title.
        ChildProcess duplicate(kClient, {u"normal"_s, object, u"helix orders"_s, u"/dev/null"_s});
        QCOMPARE(duplicate.finish(), 1);
        QCOMPARE(duplicate.out.trimmed(),
                 u"error HELIXDebug.Error.DuplicateKey 457: This key is already "
                 u"associated with an element of this collection"_s);
        const auto run = [&](const QStringList &cmd) {
            ChildProcess tool(QStringLiteral(HELIX_SEND), QStringList{u"--object"_s, object} + cmd);
            return tool.finish();
        };
        QCOMPARE(run({u"receive"_s, u"V=1\\0RC=12"_s}), 1);
        QCOMPARE(run({u"unhook"_s, u"Nobody"_s}), 1);
        QCOMPARE(run({u"send"_s, u"Script"_s, u"Find"_s, u"[HEADER]\\0[DATA]\\0ITEM\\0"_s}), 0);
        QCOMPARE(run({u"text"_s, u"Script"_s, kEnd}), 0);
        QVERIFY(QTest::qWaitFor([&] { return recordedPrints() == 403; }, 30000));
        const QStringList live = copyDisplayLines(mBus->displayPid(), kEnd);
        QVERIFY(live.size() > 400);
        recorder.signal(SIGTERM);
        QCOMPARE(recorder.finish(10000), 0);

        const QList<RecordedCall> calls = recorded();
        QCOMPARE(std::ranges::count(calls, RecordedCall::Error, &RecordedCall::answer), 3);
        QVERIFY(mBus.emplace().isRunning()); // the replay's first call starts the display
        ChildProcess replay(kReplay, {u"--fast"_s, mRecording});
        QCOMPARE(replay.finish(), 0);
        QVERIFY2(replay.out.contains(u" 0 answers differ from the recording"_s),
                 qPrintable(replay.out + replay.err));
        QVERIFY2(!replay.err.contains(mRecording), qPrintable(replay.err)); // closed and undamaged
        QCOMPARE(copyDisplayLines(mBus->displayPid(), kEnd), live);

        // --from and --to at the script's send, the last one (the demo's were all answered): the
        // set-up calls before it play too, the demo's three titles first, but no print outside.
        const auto script = std::ranges::find(calls.crbegin(), calls.crend(),
                                              RecordedCall::PrintSendBuffer, &RecordedCall::method);
        const QString at = QString::number(double(script->time) / 1e6, 'f', 6);
        const qsizetype send = live.indexOf(u"[Script]  Find Request"_s);
        const qsizetype end = live.indexOf(u"[Script]  "_s + kEnd);
        QVERIFY(send > 3 && end > send);
        const QStringList expected = live.first(3) + live.mid(send, end - send);
        QVERIFY(mBus.emplace().isRunning());
        ChildProcess part(kReplay, {u"--fast"_s, u"--from"_s, at, u"--to"_s, at, mRecording});
        QCOMPARE(part.finish(), 0);
        QCOMPARE(copyDisplayLines(mBus->displayPid(), expected.constLast()), expected);
        QCOMPARE(ChildProcess(kReplay, {u"--fast"_s, u"--to"_s, u"0"_s, mRecording}).finish(), 0);
    }

    // The replay's answer to a bad file, ending even with nothing to play (states: tst_Recording).
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("played");
        QFile file(mRecording);
        const QByteArray good = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        RecordingReader reader(good);
        RecordedCall call;
        for (int record = 0; record < 100; ++record)
            QVERIFY(reader.next(call) && call.method != RecordedCall::Left);
        const qsizetype at = reader.offset();
        const auto flip = [](QByteArray data, qsizetype at) {
            data[at + 3] ^= 0x40;
            return data;
        };
        QByteArray closedEmpty = Recording::header(0);
        RecordingWriter().appendEnd(closedEmpty);
        const QString cutOff = u"cut off at offset %1: the recording was not closed; playing the "
                               "%2 calls in it"_s;
        const QString damaged = u"damaged at offset %1: checksum mismatch; playing the %2 calls "
                                "before it"_s;
        QTest::newRow("unreadable") << QByteArray() << 1 << u"No such file or directory"_s << -1;
        QTest::newRow("header only") << good.first(24) << 0 << cutOff.arg(24).arg(0) << 0;
        QTest::newRow("first record damaged")
            << flip(good.first(at), Recording::kHeaderSize) << 1 << damaged.arg(24).arg(0) << 0;
        QTest::newRow("closed with no calls") << closedEmpty << 0 << QString() << 0;
        QTest::newRow("damaged") << flip(good, at) << 1 << damaged.arg(at).arg(100) << 100;
        QTest::newRow("cut off") << good.first(at) << 0 << cutOff.arg(at).arg(100) << 100;
    }

    void badFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        QFETCH(int, played);
        const QString path = mDir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        if (QFile file(path); !data.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        ChildProcess replay(kReplay, {u"--fast"_s, path});
        QTEST(replay.finish(30000), "status");
        QVERIFY2(message.isEmpty() ? replay.err.isEmpty()
                                   : replay.err.contains(path + u": "_s + message),
                 qPrintable(replay.err));
        QVERIFY2(played < 0 ? replay.out.isEmpty()
                            : replay.out.contains(u": %1 calls played"_s.arg(played)),
                 qPrintable(replay.out));
    }

    void soakKeepsAnswering() // the display's memory under such traffic: the benchmarks
    {
        HelixDebug::Message held(mBus->connection());
        QVERIFY(!held.create().isValid() && !held.Initialize(u"Soak"_s).isValid());
        const QString object = held.path().path();
        const QString huge(32 * 1024 * 1024 + 1, u'x');
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
            const QDBusMessage refused = mBus->call(
                object, u"HELIXDebug.Message.PrintReceiveBuffer"_s, {QByteArray("\xff\xfe bad")});
            QCOMPARE(refused.errorName() + u' ' + refused.errorMessage(),
                     u"HELIXDebug.Error.InvalidUtf8 Buffer is not valid UTF-8"_s);
            if (round % 40 == 0)
                QCOMPARE(held.PrintSendBuffer(u"Soak"_s, u"Huge"_s, huge).name(),
                         u"HELIXDebug.Error.BufferTooLarge"_s);
        }
        // Those not killed saw every call taken (exit status 1 says one was refused).
        for (const auto &client : clients)
            QVERIFY(client->finish(60000) != 1 && client->state() == QProcess::NotRunning);
        QVERIFY(!HelixDebug::Message(mBus->connection()).create().isValid());
    }
};

QTEST_GUILESS_MAIN(tst_RecordReplay)
#include "tst_RecordReplay.moc"
