// The display process on a private bus, driven by this test and by real client processes
// (TestClient.cpp): the lifetime of its objects, the call that tells clients to stop, and the
// timing of their requests and replies. Its errors as clients see them are tst_RecordReplay's.
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
const QString kUnknownObject = u"org.freedesktop.DBus.Error.UnknownObject"_s;

QVariant objectPath(const QString &path)
{
    return QVariant::fromValue(QDBusObjectPath(path));
}

} // namespace

class tst_MessageService : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> mBus;
    QTemporaryDir mDir;
    const QString mLog = mDir.filePath(u"shutdown.log"_s); // where clients say they were told

    QString call(const QString &path, const QString &method, const QList<QVariant> &arguments)
    {
        return outcome(mBus->call(path, u"HELIXDebug.Message."_s + method, arguments));
    }
    QString printText(const QString &path) { return call(path, u"PrintText"_s, {u"A"_s, u"x"_s}); }
    QString release(const QString &path, const QDBusConnection *through = nullptr)
    {
        return outcome(
            mBus->call(u"/"_s, u"HELIXDebug.Server.ReleaseMessage"_s, {objectPath(path)}, through));
    }
    QString createMessage(const QDBusConnection *through = nullptr)
    {
        const QDBusMessage reply = mBus->call(u"/"_s, kCreate, {}, through);
        return reply.arguments().value(0).value<QDBusObjectPath>().path();
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
    }
    void cleanup() { mBus.reset(); }

    // An object lives while its creator or the window holds it; a creator that leaves, before
    // or after its object is made, holds it no longer. When the window closes, the clients on
    // its object are told to stop one after the other, one that left the bus costing nothing
    // and one that never answers holding up the next no longer than the display's own timeout
    // (well under Qt's default); then, nothing held, the display exits.
    void lifetimesAndShutdown()
    {
        const QString held = createMessage(); // the window holds it, nothing registered on it
        QCOMPARE(call(held, u"Initialize"_s, {objectPath(u"/"_s), u"Test"_s}), u"ok"_s);
        const QString loose = createMessage();
        QString left;
        {
            QDBusConnection other = QDBusConnection::connectToBus(mBus->address(), u"other"_s);
            QCOMPARE(release(loose, &other), u"HELIXDebug.Error.NotOwner"_s);
            left = createMessage(&other);
        }
        QDBusConnection::disconnectFromBus(u"other"_s);
        QCOMPARE(release(loose), u"ok"_s);
        QCOMPARE(release(loose), u"HELIXDebug.Error.UnknownObject"_s);
        QCOMPARE(printText(loose), kUnknownObject);
        QCOMPARE(release(held), u"ok"_s);
        QCOMPARE(release(held), u"HELIXDebug.Error.UnknownObject"_s);
        QCOMPARE(printText(held), u"ok"_s);
        QTRY_COMPARE_WITH_TIMEOUT(printText(left), kUnknownObject, 5000);
        ChildProcess send(u"dbus-send"_s, {u"--session"_s, u"--type=method_call"_s,
                                           u"--dest=HELIXDebug.Message"_s, u"/"_s, kCreate});
        QCOMPARE(send.finish(), 0);
        const QString last = createMessage();
        QCOMPARE(last, u"/Message/5"_s); // the display took the fire-and-forget call
        QCOMPARE(release(last), u"ok"_s);

        ChildProcess gone(kClient, {u"vanish"_s, held, u"Gone"_s, mLog});
        QCOMPARE(gone.firstLine(), u"ready"_s);
        QCOMPARE(gone.finish(5000), 0);
        ChildProcess hung(kClient, {u"hang"_s, held, u"Hung"_s, mLog});
        QCOMPARE(hung.firstLine(), u"ready"_s);
        ChildProcess plain(kClient, {u"normal"_s, held, u"Plain"_s, mLog});
        QCOMPARE(plain.firstLine(), u"ready"_s);
        const qint64 pid = mBus->displayPid();
        QVERIFY(closeDisplayWindow());
        QTRY_COMPARE_WITH_TIMEOUT(logLines(), (QStringList{u"Hung"_s, u"Plain"_s}), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
    }

    // A client's requests answered after real delays, one never; it leaves the bus without
    // unhooking and its row stays, marked gone. The slack above the delays only guards against
    // a stalled machine, never measures speed.
    // Clients rely on the argument names, which only introspection shows.
    void interfaceNames()
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

    void delayedReplies()
    {
        const QString title = u"Timed"_s;
        ChildProcess client(kClient, {u"timed"_s, u"/"_s, title, u"100,-1,300/7,200"_s});
        QCOMPARE(client.finish(60000), 0);
        QTRY_VERIFY_WITH_TIMEOUT(figureOf(title).gone, 20000);
        const SessionFigure figure = figureOf(title);
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
