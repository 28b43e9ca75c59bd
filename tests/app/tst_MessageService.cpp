// The display on a private bus, driven by the test and real clients (TestClient.cpp): object
// lifetimes, telling clients to stop, reply timing. Errors as clients see them: tst_RecordReplay.
#include "ChildProcess.h"
#include "DisplayLines.h"
#include "PrivateBus.h"
#include "X11Windows.h"
#include "app/SessionFigures.h"

#include <QFile>
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
    SessionFigure onlyFigure() // of the one client the display had
    {
        const QDBusMessage reply = mBus->call(u"/"_s, u"HELIXDebug.Server.SessionFigures"_s);
        return qdbus_cast<QList<SessionFigure>>(reply.arguments().value(0)).value(0);
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

    // A client's requests answered after real delays, one never; it leaves the bus without
    // unhooking and its row stays, marked gone. The slack above the delays only guards against
    // a stalled machine, never measures speed.
    void delayedReplies()
    {
        ChildProcess client(kClient, {u"timed"_s, u"/"_s, u"Timed"_s, u"100,-1,300/7,200"_s});
        QCOMPARE(client.finish(60000), 0);
        QTRY_VERIFY_WITH_TIMEOUT(onlyFigure().gone, 20000);
        const SessionFigure figure = onlyFigure();
        QCOMPARE(figure.title, u"Timed"_s);
        QCOMPARE(figure.requests, 4ull);
        QCOMPARE(figure.replies, 3ull);
        QCOMPARE(figure.unanswered, 1ull);
        QCOMPARE(figure.lastNonZeroReturnCode, u"RC=7"_s);
        constexpr quint32 kSlackMicros = 2'000'000;
        QVERIFY2(figure.maxMicros >= 300'000u && figure.maxMicros < 300'000u + kSlackMicros,
                 qPrintable(QString::number(figure.maxMicros)));
        // The median is read from buckets 1/16 of an octave wide.
        QVERIFY2(figure.medianMicros >= 200u * 968 && figure.medianMicros < 200'000u + kSlackMicros,
                 qPrintable(QString::number(figure.medianMicros)));
        QVERIFY(figure.p95Micros >= figure.medianMicros && figure.p95Micros <= figure.maxMicros);
    }
};

QTEST_GUILESS_MAIN(tst_MessageService)
#include "tst_MessageService.moc"
