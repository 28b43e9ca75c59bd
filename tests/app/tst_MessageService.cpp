// The display on a private bus, driven by the test and real clients (TestClient.cpp): object
// lifetimes, telling clients to stop, reply timing, recording and replay. Errors as clients see
// them: tst_RecordReplay.
#include "ChildProcess.h"
#include "DisplayLines.h"
#include "PrivateBus.h"
#include "X11Windows.h"
#include "app/SessionFigures.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_MessageService : public QObject {
    Q_OBJECT

    const QString kClient = QStringLiteral(HELIX_TEST_CLIENT);
    const QString kUnknownObject = u"org.freedesktop.DBus.Error.UnknownObject"_s;
    std::optional<PrivateBus> mBus;
    QTemporaryDir mDir;
    const QString mLog = mDir.filePath(u"shutdown.log"_s); // where clients say they were told

    static QVariant objectPath(const QString &p) { return QVariant::fromValue(QDBusObjectPath(p)); }
    QString call(const QString &path, const QString &method, const QList<QVariant> &args)
    {
        return outcome(mBus->call(path, u"HELIXDebug.Message."_s + method, args));
    }
    QString release(const QString &path, const QDBusConnection *through = nullptr)
    {
        return outcome(
            mBus->call(u"/"_s, u"HELIXDebug.Server.ReleaseMessage"_s, {objectPath(path)}, through));
    }
    QString createMessage(const QDBusConnection *through = nullptr)
    {
        const auto reply = mBus->call(u"/"_s, u"HELIXDebug.Server.CreateMessage"_s, {}, through);
        return reply.arguments().value(0).value<QDBusObjectPath>().path();
    }
    QByteArray logged() const
    {
        QFile log(mLog);
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }
    // A window asked to close before it is fully set up may not hear it: ask again each second.
    static bool closeWindowOf(qint64 pid)
    {
        bool asked = false;
        for (int attempt = 0; pid > 0 && attempt < 20; ++attempt) {
            asked |= closeWindowsOfProcess(pid) > 0;
            if (QTest::qWaitFor([&] { return asked && mappedWindowsOfProcess(pid) == 0; }, 1000))
                return true;
        }
        return false;
    }
    QList<SessionFigure> figures()
    {
        const QDBusMessage reply = mBus->call(u"/"_s, u"HELIXDebug.Server.SessionFigures"_s);
        return qdbus_cast<QList<SessionFigure>>(reply.arguments().value(0));
    }
    QList<RequestFigure> requestFigures()
    {
        const QDBusMessage reply = mBus->call(u"/"_s, u"HELIXDebug.Server.RequestFigures"_s);
        return qdbus_cast<QList<RequestFigure>>(reply.arguments().value(0));
    }

private Q_SLOTS:
    void initTestCase() { registerSessionFigures(); }
    void init() { QVERIFY(mBus.emplace().isRunning()); }
    void cleanup() { mBus.reset(); }

    // An object lives while its creator or the window holds it; a creator that leaves, before or
    // after it is made, holds it no longer. Closing the window tells its object's clients to stop
    // in turn: one that left the bus costs nothing, one that never answers holds up the next no
    // longer than the display's own timeout (well under Qt's default); then, nothing held, the
    // display exits.
    void lifetimesAndShutdown()
    {
        const QString held = createMessage(); // the window holds it, nothing registered on it
        QCOMPARE(call(held, u"Initialize"_s, {objectPath(u"/"_s), u"Test"_s}), u"ok"_s);

        const QString loose = createMessage();
        QDBusConnection other = QDBusConnection::connectToBus(mBus->address(), u"other"_s);
        QCOMPARE(release(loose, &other), u"HELIXDebug.Error.NotOwner"_s);
        const QString left = createMessage(&other);
        QDBusConnection::disconnectFromBus(u"other"_s);
        other = QDBusConnection(QString()); // the last reference: the other connection closes
        QCOMPARE(release(loose), u"ok"_s);
        QCOMPARE(release(loose), u"HELIXDebug.Error.UnknownObject"_s);
        QCOMPARE(call(loose, u"PrintText"_s, {u"A"_s, u"x"_s}), kUnknownObject);
        QCOMPARE(release(held), u"ok"_s);
        QCOMPARE(release(held), u"HELIXDebug.Error.UnknownObject"_s);
        QCOMPARE(call(held, u"PrintText"_s, {u"A"_s, u"x"_s}), u"ok"_s);
        QTRY_COMPARE_WITH_TIMEOUT(call(left, u"PrintText"_s, {u"A"_s, u"x"_s}), kUnknownObject,
                                  5000);
        ChildProcess send(u"dbus-send"_s,
                          {u"--session"_s, u"--type=method_call"_s, u"--dest=HELIXDebug.Message"_s,
                           u"/"_s, u"HELIXDebug.Server.CreateMessage"_s});
        QCOMPARE(send.finish(), 0);
        QCOMPARE(createMessage(), u"/Message/5"_s); // the display took the fire-and-forget call
        QCOMPARE(release(u"/Message/5"_s), u"ok"_s);

        ChildProcess gone(kClient, {u"vanish"_s, held, u"Gone"_s, mLog});
        QCOMPARE(gone.firstLine(), u"ready"_s);
        QCOMPARE(gone.finish(5000), 0);
        ChildProcess hung(kClient, {u"hang"_s, held, u"Hung"_s, mLog});
        QCOMPARE(hung.firstLine(), u"ready"_s);
        // Told on the client interface, or without one for a client that has no such interface.
        ChildProcess plain(kClient, {u"normal"_s, held, u"Plain"_s, mLog});
        QCOMPARE(plain.firstLine(), u"ready"_s);
        ChildProcess strict(kClient, {u"strict"_s, held, u"Strict"_s, mLog});
        QCOMPARE(strict.firstLine(), u"ready"_s);
        ChildProcess bare(kClient, {u"bare"_s, held, u"Bare"_s, mLog});
        QCOMPARE(bare.firstLine(), u"ready"_s);
        const qint64 pid = mBus->displayPid();
        QVERIFY(closeWindowOf(pid));
        QTRY_COMPARE_WITH_TIMEOUT(logged(), QByteArray("Hung\nPlain\nStrict\nBare\n"), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
    }

    // Lines copied before the window closed can still be pasted: with no clipboard manager the
    // display stays, windowless, until another program takes the clipboard.
    void copiedLinesOutliveTheWindow()
    {
        const QString held = createMessage();
        QCOMPARE(call(held, u"Initialize"_s, {objectPath(u"/"_s), u"Copier"_s}), u"ok"_s);
        QCOMPARE(call(held, u"PrintText"_s, {u"Copier"_s, u"kept"_s}), u"ok"_s);
        QCOMPARE(release(held), u"ok"_s);
        const qint64 pid = mBus->displayPid();
        QTRY_VERIFY_WITH_TIMEOUT(mappedWindowsOfProcess(pid) > 0, 10000);
        QCOMPARE(copyDisplayLines(pid, u"kept"_s), QStringList{u"[Copier]  kept"_s});
        QVERIFY(closeWindowOf(pid));
        QTest::qWait(500);
        ChildProcess paste(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-o"_s});
        QCOMPARE(paste.finish(10000), 0);
        QCOMPARE(paste.out, u"[Copier]  kept\r\n"_s);
        ChildProcess take(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-i"_s, u"/dev/null"_s});
        QCOMPARE(take.finish(10000), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
    }

    // Four clients at once, each strictly request then reply with known delays, interleaved on
    // the bus: the figures pair replies through each client's own object. One registered on an
    // object the test made; all leave the bus without unhooking and their rows stay, marked
    // gone. Recorded meanwhile, the session replayed as fast as it goes counts the same.
    void interleavedClients()
    {
        ChildProcess recorder(QStringLiteral(HELIX_RECORD), {mDir.filePath(u"rec"_s)});
        QVERIFY(recorder.firstLine().startsWith(u"helixdebug-record: recording to"_s));
        const QString made = createMessage();
        const QList<QStringList> runs{
            {u"/"_s, u"Fast"_s, QStringList(16, u"5"_s).join(u',')},
            {made, u"Medium"_s, QStringList(6, u"Get:20,Find:40"_s).join(u',')},
            {u"/"_s, u"Slow"_s, QStringList(6, u"60"_s).join(u',')},
            {u"/"_s, u"Lossy"_s, u"-1,30/7,2"_s}};
        std::vector<std::unique_ptr<ChildProcess>> clients;
        for (const QStringList &run : runs)
            clients.push_back(
                std::make_unique<ChildProcess>(kClient, QStringList{u"timed"_s} + run));
        for (const auto &client : clients)
            QCOMPARE(client->finish(60000), 0);
        QTRY_VERIFY_WITH_TIMEOUT(std::ranges::all_of(figures(), &SessionFigure::gone), 20000);
        recorder.signal(SIGTERM);
        QCOMPARE(recorder.finish(10000), 0);
        // Rows come in the order the clients first called, which is the bus's to choose.
        const auto counts = [this] {
            QStringList clients, requests;
            for (const SessionFigure &f : figures())
                clients << (u"%1 %2/%3/%4 "_s.arg(f.title)
                                .arg(f.requests)
                                .arg(f.replies)
                                .arg(f.unanswered) +
                            f.lastNonZeroReturnCode)
                               .trimmed();
            for (const RequestFigure &f : requestFigures())
                requests << u"%1:%2 %3/%4 %5"_s.arg(f.title, f.name)
                                .arg(f.requests)
                                .arg(f.unanswered)
                                .arg(f.lastNonZeroReturnCode)
                                .trimmed();
            clients.sort();
            requests.sort();
            return clients.join(u", "_s) + u"; "_s + requests.join(u", "_s);
        };
        const QString live = counts();
        QCOMPARE(live,
                 u"Fast 16/16/0, Lossy 3/2/1 RC=7, Medium 12/12/0, Slow 6/6/0; Fast:Get 16/0, "
                 u"Lossy:Get 3/1 RC=7, Medium:Find 6/0, Medium:Get 6/0, Slow:Get 6/0"_s);
        // The median is read from buckets 1/16 of an octave wide; the slack is the bus's.
        const QMap<QString, quint32> delays{
            {u"Fast:Get"_s, 5}, {u"Medium:Get"_s, 20}, {u"Medium:Find"_s, 40}, {u"Slow:Get"_s, 60}};
        for (const RequestFigure &f : requestFigures()) {
            const quint32 delay = delays.value(f.title + u':' + f.name) * 1000;
            QVERIFY2(delay == 0 ||
                         (f.medianMicros >= delay * 31 / 32 && f.medianMicros < delay + 8000),
                     qPrintable(u"%1:%2 %3"_s.arg(f.title, f.name).arg(f.medianMicros)));
        }
        QVERIFY(mBus.emplace().isRunning());
        ChildProcess replay(QStringLiteral(HELIX_REPLAY), {u"--fast"_s, mDir.filePath(u"rec"_s)});
        QCOMPARE(replay.finish(60000), 0);
        QTRY_COMPARE_WITH_TIMEOUT(counts(), live, 20000);
    }
};

QTEST_GUILESS_MAIN(tst_MessageService)
#include "tst_MessageService.moc"
