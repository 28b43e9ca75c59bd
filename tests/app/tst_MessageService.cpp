// The display process on a private bus, driven by this test and by real client processes
// (TestClient.cpp): what clients see of its interface, its errors, the lifetime of its objects,
// the call that tells clients to stop, and the timing of their requests and replies.
#include "ChildProcess.h"
#include "PrivateBus.h"
#include "X11Windows.h"
#include "app/SessionFigures.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kClient = QStringLiteral(HELIX_TEST_CLIENT);
const QString kCreate = u"HELIXDebug.Server.CreateMessage"_s;
const QString kInitialize = u"HELIXDebug.Message.Initialize"_s;
const QString kUnknownObject = u"org.freedesktop.DBus.Error.UnknownObject"_s;

QVariant objectPath(const QString &path)
{
    return QVariant::fromValue(QDBusObjectPath(path));
}

// Stands in for a client at /TestClient so that registrations of the test's own are valid.
class Callback : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "HELIXDebug.Client")
public Q_SLOTS:
    void clsDebug_ShutDown() {}
};

} // namespace

class tst_MessageService : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> mBus;
    QTemporaryDir mDir;
    const QString mLog = mDir.filePath(u"shutdown.log"_s); // where clients say they were told
    Callback mCallback;

    QString printText(const QString &path)
    {
        return outcome(mBus->call(path, u"HELIXDebug.Message.PrintText"_s, {u"A"_s, u"x"_s}));
    }
    QString release(const QString &path, const QDBusConnection *through = nullptr)
    {
        const QList<QVariant> arguments{objectPath(path)};
        return outcome(
            mBus->call(u"/"_s, u"HELIXDebug.Server.ReleaseMessage"_s, arguments, through));
    }
    QString createMessage()
    {
        return mBus->call(u"/"_s, kCreate).arguments().value(0).value<QDBusObjectPath>().path();
    }
    // A new object that the window holds, nothing registered on it.
    QString createHeld()
    {
        const QString path = createMessage();
        const QList<QVariant> arguments{objectPath(u"/"_s), u"Test"_s};
        return outcome(mBus->call(path, kInitialize, arguments)) == u"ok"_s ? path : QString();
    }
    QStringList logLines() const
    {
        QFile log(mLog);
        return log.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }
    bool closeDisplayWindow()
    {
        const qint64 pid = mBus->displayPid();
        if (pid <= 0 || !QTest::qWaitFor([&] { return mappedWindowsOfProcess(pid) > 0; }, 10000))
            return false;
        // A window asked to close before it is fully set up may not hear it: ask again until
        // it leaves the screen.
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (closeWindowsOfProcess(pid) == 0)
                return attempt > 0;
            if (QTest::qWaitFor([&] { return mappedWindowsOfProcess(pid) == 0; }, 1000))
                return true;
        }
        return false;
    }
    SessionFigure figureOf(const QString &title)
    {
        const QDBusMessage reply = mBus->call(u"/"_s, u"HELIXDebug.Server.SessionFigures"_s);
        for (const SessionFigure &figure :
             qdbus_cast<QList<SessionFigure>>(reply.arguments().value(0))) {
            if (figure.title == title)
                return figure;
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        registerSessionFigures();
    }
    void init()
    {
        mBus = std::make_unique<PrivateBus>();
        QVERIFY(mBus->isRunning());
        QVERIFY(mBus->connection().registerObject(u"/TestClient"_s, &mCallback,
                                                  QDBusConnection::ExportAllSlots));
    }
    void cleanup() { mBus.reset(); }

    // Clients written against the interface see its method and argument names only here.
    void interfaceAsDesigned()
    {
        const QString xml =
            mBus->call(createMessage(), u"org.freedesktop.DBus.Introspectable.Introspect"_s)
                .arguments()
                .value(0)
                .toString();
        const qsizetype start = xml.indexOf(u"<interface name=\"HELIXDebug.Message\">"_s);
        QVERIFY(start >= 0);
        const QString body = xml.mid(start, xml.indexOf(u"</interface>"_s, start) - start);
        static const QRegularExpression item(
            u"<method name=\"(\\w+)\">|<arg name=\"(\\w+)\" type=\"(\\w+)\" direction=\"in\"/>"_s);
        QStringList found;
        for (auto it = item.globalMatch(body); it.hasNext();) {
            const auto match = it.next();
            found << (match.hasCaptured(1) ? match.captured(1)
                                           : match.captured(2) + u':' + match.captured(3));
        }
        QCOMPARE(found.join(u' '),
                 u"Initialize clsHELIX:o sAppTitle:s PrintReceiveBuffer HELIXBuffer:ay "
                 u"PrintSendBuffer AppName:s HELIXRequest:s HELIXBuffer:ay "
                 u"PrintText AppName:s Text:s UnHook sAppTitle:s"_s);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QList<QVariant>>("arguments");
        QTest::addColumn<QString>("error"); // the name, a space and how the message starts

        const QString invalid =
            u"HELIXDebug.Error.InvalidArgument 5: Invalid procedure call or argument"_s;
        QTest::newRow("duplicate title in other case")
            << u"Initialize"_s << QList<QVariant>{objectPath(u"/TestClient"_s), u"APP"_s}
            << u"HELIXDebug.Error.DuplicateKey 457: This key is already associated with an "
               u"element of this collection"_s;
        QTest::newRow("unhook of an unknown title")
            << u"UnHook"_s << QList<QVariant>{u"Nobody"_s} << invalid;
        QTest::newRow("reply with unclosed return code")
            << u"PrintReceiveBuffer"_s << QList<QVariant>{QByteArray("H\0RC=0", 6)} << invalid;
        QTest::newRow("truncated UTF-8 in a request")
            << u"PrintSendBuffer"_s << QList<QVariant>{u"A"_s, u"B"_s, QByteArray("A=\xc3")}
            << u"HELIXDebug.Error.InvalidUtf8 Buffer is not valid UTF-8"_s;
        QTest::newRow("buffer too large to show")
            << u"PrintSendBuffer"_s
            << QList<QVariant>{u"A"_s, u"B"_s, QByteArray(32 * 1024 * 1024 + 1, 'x')}
            << u"HELIXDebug.Error.BufferTooLarge Buffer of 33554433 bytes exceeds the limit of "
               u"33554432 bytes"_s;
        QTest::newRow("wrong signature") << u"PrintText"_s << QList<QVariant>{5, u"x"_s}
                                         << u"org.freedesktop.DBus.Error.UnknownMethod "_s;
    }

    void errors()
    {
        QFETCH(QString, method);
        QFETCH(QList<QVariant>, arguments);
        QFETCH(QString, error);
        const QString path = createMessage();
        const QList<QVariant> registration{objectPath(u"/TestClient"_s), u"App"_s};
        QCOMPARE(outcome(mBus->call(path, kInitialize, registration)), u"ok"_s);

        const QDBusMessage reply = mBus->call(path, u"HELIXDebug.Message."_s + method, arguments);
        const QString seen = reply.errorName() + u' ' + reply.errorMessage();
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QVERIFY2(seen.startsWith(error), qPrintable(seen));

        // The display goes on serving, with the registration intact.
        QCOMPARE(printText(path), u"ok"_s);
        QCOMPARE(outcome(mBus->call(path, u"HELIXDebug.Message.UnHook"_s, {u"app"_s})), u"ok"_s);
    }

    void releaseRules()
    {
        const QString held = createHeld();
        const QString loose = createMessage();
        QDBusConnection other = QDBusConnection::connectToBus(mBus->address(), u"other"_s);
        QCOMPARE(release(loose, &other), u"HELIXDebug.Error.NotOwner"_s);
        QDBusConnection::disconnectFromBus(u"other"_s);
        QCOMPARE(release(loose), u"ok"_s);
        QCOMPARE(release(loose), u"HELIXDebug.Error.UnknownObject"_s);
        // Released and held by nobody: the object is gone.
        QCOMPARE(printText(loose), kUnknownObject);
        // Released by its creator but held by the window: it lives on, released once only.
        QCOMPARE(release(held), u"ok"_s);
        QCOMPARE(release(held), u"HELIXDebug.Error.UnknownObject"_s);
        QCOMPARE(printText(held), u"ok"_s);
    }

    // A creator that leaves, before or after its object is made, holds it no longer, so the
    // display still exits once its window has closed.
    void creatorsThatLeaveHoldNothing()
    {
        const QString held = createHeld();
        const qint64 pid = mBus->displayPid();
        ChildProcess creator(kClient, {u"create"_s, QString(), u"Short"_s, u"/dev/null"_s});
        const QString created = creator.firstLine();
        QVERIFY(created.startsWith(u"/Message/"_s));
        QCOMPARE(creator.finish(5000), 0);
        QTRY_COMPARE_WITH_TIMEOUT(printText(created), kUnknownObject, 5000);
        // Fire-and-forget callers are gone before their object exists.
        for (int i = 0; i < 3; ++i) {
            ChildProcess send(u"dbus-send"_s, {u"--session"_s, u"--type=method_call"_s,
                                               u"--dest=HELIXDebug.Message"_s, u"/"_s, kCreate});
            QCOMPARE(send.finish(), 0);
        }
        const QString last = createMessage();
        QCOMPARE(last, u"/Message/6"_s); // numbered in order, and the display took all three
        QCOMPARE(release(last), u"ok"_s);
        QCOMPARE(printText(held), u"ok"_s);
        QCOMPARE(release(held), u"ok"_s);
        QVERIFY(closeDisplayWindow());
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
    }

    // When the window closes, the clients registered on the object it holds are told to stop,
    // one after the other in the order they came, however badly they behave; the display serves
    // on. The window comes back on the next Initialize, holding the object that brought it back
    // and not the one it held before.
    void shutdownReachesTheWindowsClients()
    {
        const QString before = createHeld();
        QVERIFY(closeDisplayWindow());
        const QString held = createHeld();
        ChildProcess elsewhere(kClient, {u"normal"_s, before, u"Elsewhere"_s, mLog});
        QCOMPARE(elsewhere.firstLine(), u"ready"_s);
        ChildProcess gone(kClient, {u"vanish"_s, held, u"Gone"_s, mLog});
        QCOMPARE(gone.firstLine(), u"ready"_s);
        QCOMPARE(gone.finish(5000), 0);
        ChildProcess hung(kClient, {u"hang"_s, held, u"Hung"_s, mLog});
        QCOMPARE(hung.firstLine(), u"ready"_s);
        ChildProcess caller(kClient, {u"callback"_s, held, u"Caller"_s, mLog});
        QCOMPARE(caller.firstLine(), u"ready"_s);
        ChildProcess plain(kClient, {u"normal"_s, held, u"Plain"_s, mLog});
        QCOMPARE(plain.firstLine(), u"ready"_s);
        QVERIFY(closeDisplayWindow()); // at once, however long the clients take
        QTRY_COMPARE_WITH_TIMEOUT(logLines().size(), 3, 20000);
        QTest::qWait(300); // time enough for a wrongly told Elsewhere to show
        QCOMPARE(logLines(), (QStringList{u"Hung"_s, u"Caller unhook=ok note=ok"_s, u"Plain"_s}));
        QVERIFY(!createMessage().isEmpty());
    }

    void delayedReplies_data()
    {
        QTest::addColumn<QString>("delays");
        QTest::addColumn<quint64>("requests");
        QTest::addColumn<quint64>("unanswered");
        QTest::addColumn<quint32>("medianMs");
        QTest::addColumn<quint32>("maxMs");
        QTest::addColumn<QString>("lastCode");

        QTest::newRow("spread") << u"100,300,200"_s << 3ull << 0ull << 200u << 300u << QString();
        QTest::newRow("one never answered")
            << u"40,-1,40/7,60"_s << 4ull << 1ull << 40u << 60u << u"RC=7"_s;
        QTest::newRow("slow at the end")
            << u"20,20,20,20,700/-2"_s << 5ull << 0ull << 20u << 700u << u"RC=-2"_s;
    }

    // Latencies are at least the delays; the slack above them only guards against a stalled
    // machine, never measures speed.
    void delayedReplies()
    {
        QFETCH(QString, delays);
        QFETCH(quint64, requests);
        QFETCH(quint64, unanswered);
        QFETCH(quint32, medianMs);
        QFETCH(quint32, maxMs);
        const QString title = u"Timed %1"_s.arg(QLatin1String(QTest::currentDataTag()));
        // Its requests answered after the delays; it leaves the bus without unhooking, and its
        // row stays, marked gone.
        ChildProcess client(kClient, {u"timed"_s, u"/"_s, title, delays});
        QCOMPARE(client.finish(60000), 0);
        QTRY_VERIFY_WITH_TIMEOUT(figureOf(title).gone, 20000);
        const SessionFigure figure = figureOf(title);
        QCOMPARE(figure.requests, requests);
        QCOMPARE(figure.replies, requests - unanswered);
        QCOMPARE(figure.unanswered, unanswered);
        QTEST(figure.lastNonZeroReturnCode, "lastCode");
        constexpr quint32 kSlackMicros = 2'000'000;
        QVERIFY2(figure.maxMicros >= maxMs * 1000 && figure.maxMicros < maxMs * 1000 + kSlackMicros,
                 qPrintable(QString::number(figure.maxMicros)));
        // The median is read from buckets 1/16 of an octave wide.
        QVERIFY2(figure.medianMicros >= medianMs * 968 &&
                     figure.medianMicros < medianMs * 1000 + kSlackMicros,
                 qPrintable(QString::number(figure.medianMicros)));
        QVERIFY(figure.p95Micros >= figure.medianMicros && figure.p95Micros <= figure.maxMicros);
    }
};

QTEST_GUILESS_MAIN(tst_MessageService)
#include "tst_MessageService.moc"
