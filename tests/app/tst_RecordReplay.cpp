// A session of real clients recorded off the bus and replayed into a fresh display: the
// display shows the same lines, line for line, read back through its own copy command. Cut
// off, damaged and foreign files replay what they can and say where they stop.
#include "DisplayLines.h"
#include "PrivateBus.h"
#include "recording/Recording.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kEnd = u"end of session"_s;

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(120000))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

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

// helixdebug-record on the bus, ready once it says so.
struct Recorder {
    QProcess process;

    bool start(const QString &file)
    {
        process.start(QStringLiteral(HELIX_RECORD), {file});
        return process.waitForReadyRead(10000) &&
               process.readLine().startsWith("helixdebug-record: recording to");
    }
    ~Recorder()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

struct Demo {
    QProcess process;
    ~Demo()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

} // namespace

class tst_RecordReplay : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    QString mRecording;
    QStringList mLive; // the display's lines of the recorded session

private Q_SLOTS:
    void initTestCase();
    void replayShowsTheRecordedLines();
    void replayPart_data();
    void replayPart();
    void recorderKilledMidSession();
    void badFiles_data();
    void badFiles();
};

void tst_RecordReplay::initTestCase()
{
    QVERIFY(mDir.isValid());
    mRecording = mDir.filePath(u"session.helixrec"_s);
}

void tst_RecordReplay::replayShowsTheRecordedLines()
{
    QStringList live;
    {
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        Recorder recorder;
        QVERIFY(recorder.start(mRecording));
        Demo demo;
        demo.process.start(QStringLiteral(HELIX_DEMO), {u"--flood"_s, u"--calls"_s, u"400"_s});
        QVERIFY(QTest::qWaitFor([&] { return prints(readRecording(mRecording)) == 400; }, 60000));
        const QList<RecordedCall> demoCalls = readRecording(mRecording);
        QCOMPARE(demoCalls.first().method, RecordedCall::CreateMessage);
        const QString object = QString::fromUtf8(demoCalls.first().answerValue);
        QVERIFY(object.startsWith(u"/Message/"_s));

        // Errors in between, from clients of their own: a title the demo holds (in another
        // case), a reply whose RC= field is not closed, a title nobody registered.
        const Run duplicate = run(QStringLiteral(HELIX_TEST_CLIENT),
                                  {u"normal"_s, object, u"helix orders"_s, u"/dev/null"_s});
        QCOMPARE(duplicate.out.trimmed(), u"error HELIXDebug.Error.DuplicateKey"_s);
        const QString send = QStringLiteral(HELIX_SEND);
        QCOMPARE(run(send, {u"--object"_s, object, u"receive"_s, u"V=1\\0RC=12"_s}).status, 1);
        QCOMPARE(run(send, {u"--object"_s, object, u"unhook"_s, u"Nobody"_s}).status, 1);
        QCOMPARE(run(send, {u"--object"_s, object, u"send"_s, u"Script"_s, u"Find"_s,
                            u"[HEADER]\\0V=1\\0[DATA]\\0ITEM\\0"_s})
                     .status,
                 0);
        QCOMPARE(run(send, {u"--object"_s, object, u"text"_s, u"Script"_s, kEnd}).status, 0);
        QVERIFY(QTest::qWaitFor([&] { return prints(readRecording(mRecording)) == 403; }, 30000));

        live = copyDisplayLines(bus.displayPid(), kEnd);
        QVERIFY(live.size() > 400);
        QVERIFY(live.contains(u"[Script]  "_s + kEnd));
        ::kill(pid_t(recorder.process.processId()), SIGTERM);
        QVERIFY(recorder.process.waitForFinished(10000));
        QCOMPARE(recorder.process.exitCode(), 0);
    }

    RecordingReader::State state;
    const QList<RecordedCall> calls = readRecording(mRecording, &state);
    QCOMPARE(state, RecordingReader::State::Complete);
    QStringList errors;
    for (const RecordedCall &call : calls) {
        if (call.answer == RecordedCall::Error)
            errors << Recording::methodName(call.method) + u' ' +
                          QString::fromUtf8(call.answerValue);
    }
    QCOMPARE(errors, QStringList({u"Initialize HELIXDebug.Error.DuplicateKey"_s,
                                  u"PrintReceiveBuffer HELIXDebug.Error.InvalidArgument"_s,
                                  u"UnHook HELIXDebug.Error.InvalidArgument"_s}));

    // A fresh bus: the replay's first call starts the display.
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    QCOMPARE(bus.displayPid(), 0);
    const Run replay = run(QStringLiteral(HELIX_REPLAY), {u"--fast"_s, mRecording});
    QCOMPARE(replay.status, 0);
    QVERIFY2(replay.out.contains(u"calls played"_s) &&
                 replay.out.contains(u" 0 answers differ from the recording"_s),
             qPrintable(replay.out + replay.err));
    QCOMPARE(copyDisplayLines(bus.displayPid(), kEnd), live);
    mLive = live;
}

void tst_RecordReplay::replayPart_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("expected");
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
    const QStringList connecting = mLive.first(3);
    for (const QString &line : connecting)
        QVERIFY(line.endsWith(u"<Connecting>"_s));
    QTest::newRow("from the request")
        << QStringList{u"--from"_s, at} << connecting + mLive.mid(send);
    QTest::newRow("up to the request") << QStringList{u"--to"_s, at} << mLive.first(end);
    QTest::newRow("the request alone")
        << QStringList{u"--from"_s, at, u"--to"_s, at} << connecting + mLive.mid(send, end - send);
}

void tst_RecordReplay::replayPart()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, expected);
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    const Run replay = run(QStringLiteral(HELIX_REPLAY),
                           QStringList{u"--fast"_s} + options + QStringList{mRecording});
    QCOMPARE(replay.status, 0);
    QCOMPARE(copyDisplayLines(bus.displayPid(), expected.constLast()), expected);
}

void tst_RecordReplay::recorderKilledMidSession()
{
    const QString file = mDir.filePath(u"killed.helixrec"_s);
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    Recorder recorder;
    QVERIFY(recorder.start(file));
    Demo demo;
    demo.process.start(QStringLiteral(HELIX_DEMO), {u"--flood"_s});
    QVERIFY(QTest::qWaitFor([&] { return prints(readRecording(file)) >= 2000; }, 60000));
    ::kill(pid_t(recorder.process.processId()), SIGKILL);
    QVERIFY(recorder.process.waitForFinished(10000));

    RecordingReader::State state;
    const QList<RecordedCall> calls = readRecording(file, &state);
    QCOMPARE(state, RecordingReader::State::CutOff);
    QVERIFY(prints(calls) >= 2000);
    const Run replay = run(QStringLiteral(HELIX_REPLAY), {u"--fast"_s, file});
    QCOMPARE(replay.status, 0);
    QVERIFY2(replay.err.contains(u": cut off at offset "_s), qPrintable(replay.err));
    QVERIFY2(replay.out.contains(u": %1 calls played"_s.arg(calls.size())), qPrintable(replay.out));
}

void tst_RecordReplay::badFiles_data()
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
    QByteArray newer = good;
    newer[8] = 7;

    QTest::newRow("damaged") << damaged << 1
                             << u"damaged at offset %1: checksum mismatch; playing the 100 calls "
                                "before it"_s.arg(at)
                             << 100;
    QTest::newRow("cut off") << good.first(at) << 0
                             << u"cut off at offset %1: the recording was not closed; playing the "
                                "100 calls in it"_s.arg(at)
                             << 100;
    QTest::newRow("newer") << newer << 1
                           << u"format version 7 at offset 8 is newer than this program reads"_s
                           << -1;
    QTest::newRow("text") << QByteArray("[HEADER]\nV=1\n") << 1
                          << u"not a HELIX recording (offset 0)"_s << -1;
}

void tst_RecordReplay::badFiles()
{
    QFETCH(QByteArray, data);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(int, played);
    const QString path = mDir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();

    PrivateBus bus;
    QVERIFY(bus.isRunning());
    const Run replay = run(QStringLiteral(HELIX_REPLAY), {u"--fast"_s, path});
    QCOMPARE(replay.status, status);
    QVERIFY2(replay.err.contains(path + u": "_s + message), qPrintable(replay.err));
    if (played < 0)
        QVERIFY(replay.out.isEmpty());
    else
        QVERIFY2(replay.out.contains(u": %1 calls played"_s.arg(played)), qPrintable(replay.out));
}

QTEST_GUILESS_MAIN(tst_RecordReplay)
#include "tst_RecordReplay.moc"
