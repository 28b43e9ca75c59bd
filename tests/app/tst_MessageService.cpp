// The display process on a private bus, driven by this test and by real client processes.
#include "PrivateBus.h"
#include "X11Windows.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kMessage = u"HELIXDebug.Message"_s; // the service and the object's interface
const QString kServer = u"HELIXDebug.Server"_s;
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

// A client process (TestClient.cpp): mode, object, title, log file.
struct ClientProcess {
    QProcess process;
    QString output;

    bool start(const QStringList &arguments)
    {
        process.start(QStringLiteral(HELIX_TEST_CLIENT), arguments);
        while (process.waitForStarted(5000) && !process.canReadLine() &&
               process.waitForReadyRead(10000)) {
        }
        output = QString::fromUtf8(process.readLine()).trimmed();
        return !output.isEmpty() && !output.startsWith(u"error"_s);
    }
    ~ClientProcess()
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

} // namespace

class tst_MessageService : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> mBus;
    std::unique_ptr<QTemporaryDir> mDir;
    QString mLog;
    Callback mCallback;

    QDBusMessage call(const QString &path, const QString &interface, const QString &method,
                      const QList<QVariant> &arguments = {},
                      const QDBusConnection *through = nullptr)
    {
        QDBusMessage request = QDBusMessage::createMethodCall(kMessage, path, interface, method);
        request.setArguments(arguments);
        return (through ? *through : mBus->connection()).call(request, QDBus::Block, 30000);
    }
    QDBusMessage printText(const QString &path)
    {
        return call(path, kMessage, u"PrintText"_s, {u"A"_s, u"x"_s});
    }
    QDBusMessage release(const QString &path, const QDBusConnection *through = nullptr)
    {
        return call(u"/"_s, kServer, u"ReleaseMessage"_s, {objectPath(path)}, through);
    }
    QString createMessage()
    {
        const QDBusMessage reply = call(u"/"_s, kServer, u"CreateMessage"_s);
        if (reply.type() == QDBusMessage::ErrorMessage)
            qWarning("CreateMessage: %s", qPrintable(reply.errorMessage()));
        return reply.arguments().value(0).value<QDBusObjectPath>().path();
    }
    // A new object that the window holds, nothing registered on it.
    QString createHeld()
    {
        const QString path = createMessage();
        const QDBusMessage reply =
            call(path, kMessage, u"Initialize"_s, {objectPath(u"/"_s), u"Test"_s});
        return reply.type() == QDBusMessage::ReplyMessage ? path : QString();
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

private Q_SLOTS:
    void init()
    {
        mBus = std::make_unique<PrivateBus>();
        QVERIFY(mBus->isRunning());
        QVERIFY(mBus->connection().registerObject(u"/TestClient"_s, &mCallback,
                                                  QDBusConnection::ExportAllSlots));
        mDir = std::make_unique<QTemporaryDir>();
        mLog = mDir->filePath(u"shutdown.log"_s);
    }
    void cleanup() { mBus.reset(); }

    // Clients written against the interface see its method and argument names only here.
    void interfaceAsDesigned()
    {
        const QString path = createMessage();
        QCOMPARE(path, u"/Message/1"_s);
        QCOMPARE(createMessage(), u"/Message/2"_s);
        const QString xml = call(path, u"org.freedesktop.DBus.Introspectable"_s, u"Introspect"_s)
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
        const QString utf8 = u"HELIXDebug.Error.InvalidUtf8 Buffer is not valid UTF-8"_s;
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
            << utf8;
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
        QCOMPARE(
            call(path, kMessage, u"Initialize"_s, {objectPath(u"/TestClient"_s), u"App"_s}).type(),
            QDBusMessage::ReplyMessage);

        const QDBusMessage reply = call(path, kMessage, method, arguments);
        const QString seen = reply.errorName() + u' ' + reply.errorMessage();
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QVERIFY2(seen.startsWith(error), qPrintable(seen));

        // The display goes on serving, with the registration intact.
        QCOMPARE(printText(path).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(call(path, kMessage, u"UnHook"_s, {u"app"_s}).type(), QDBusMessage::ReplyMessage);
    }

    void releaseRules()
    {
        const QString held = createHeld();
        const QString loose = createMessage();
        QDBusConnection other = QDBusConnection::connectToBus(mBus->address(), u"other"_s);
        QCOMPARE(release(loose, &other).errorName(), u"HELIXDebug.Error.NotOwner"_s);
        QDBusConnection::disconnectFromBus(u"other"_s);
        QCOMPARE(release(u"/Message/99"_s).errorName(), u"HELIXDebug.Error.UnknownObject"_s);
        QCOMPARE(release(loose).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(release(loose).errorName(), u"HELIXDebug.Error.UnknownObject"_s);
        // Released and held by nobody: the object is gone.
        QCOMPARE(printText(loose).errorName(), kUnknownObject);
        // Released by its creator but held by the window: it lives on.
        QCOMPARE(release(held).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(printText(held).type(), QDBusMessage::ReplyMessage);
    }

    // The window comes back on the next Initialize, holding the object that brought it back;
    // only the clients registered there are told to stop when it closes again. The order in
    // which clients are told is that of shutdownSurvivesBadClients.
    void reopenedWindowHoldsTheObjectThatReopenedIt()
    {
        const QString first = createHeld();
        QVERIFY(closeDisplayWindow());
        const QString second = createHeld();
        ClientProcess d, elsewhere;
        QVERIFY(d.start({u"normal"_s, second, u"D"_s, mLog}));
        QVERIFY(elsewhere.start({u"normal"_s, first, u"E"_s, mLog}));
        QVERIFY(closeDisplayWindow());
        QTRY_COMPARE_WITH_TIMEOUT(logLines(), QStringList{u"D"_s}, 15000);
        QTest::qWait(300);
        QCOMPARE(logLines(), QStringList{u"D"_s}); // E is on an object the window no longer holds
    }

    void shutdownSurvivesBadClients()
    {
        const QString held = createHeld();
        ClientProcess gone, hung, caller, plain;
        QVERIFY(gone.start({u"vanish"_s, held, u"Gone"_s, mLog}));
        QVERIFY(gone.process.waitForFinished(5000));
        QVERIFY(hung.start({u"hang"_s, held, u"Hung"_s, mLog}));
        QVERIFY(caller.start({u"callback"_s, held, u"Caller"_s, mLog}));
        QVERIFY(plain.start({u"normal"_s, held, u"Plain"_s, mLog}));
        const qint64 pid = mBus->displayPid();
        QVERIFY(closeDisplayWindow());
        // The window leaves the screen at once, however long the clients take.
        QTRY_COMPARE_WITH_TIMEOUT(mappedWindowsOfProcess(pid), 0, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(logLines().size(), 3, 20000);
        QCOMPARE(logLines(), (QStringList{u"Hung"_s, u"Caller unhook=ok note=ok"_s, u"Plain"_s}));
        QVERIFY(!createMessage().isEmpty()); // and still serves clients afterwards
    }

    void creatorLeavingReleasesItsObjects()
    {
        const QString held = createHeld();
        ClientProcess creator;
        QVERIFY(creator.start({u"create"_s, QString(), u"Short"_s, mDir->filePath(u"unused"_s)}));
        QVERIFY(creator.output.startsWith(u"/Message/"_s));
        QVERIFY(creator.process.waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(printText(creator.output).errorName(), kUnknownObject, 5000);
        QCOMPARE(printText(held).type(), QDBusMessage::ReplyMessage);
    }

    // Fire-and-forget callers are gone before their object exists; they hold it no longer
    // than that, so the display still exits once its window has closed.
    void creatorGoneBeforeTheReplyHoldsNothing()
    {
        const QString held = createHeld();
        const qint64 pid = mBus->displayPid();
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(QProcess::execute(u"dbus-send"_s, {u"--session"_s, u"--type=method_call"_s,
                                                        u"--dest="_s + kMessage, u"/"_s,
                                                        kServer + u".CreateMessage"_s}),
                     0);
        }
        const QString last = createMessage();
        QCOMPARE(last, u"/Message/5"_s); // the display took all three
        QCOMPARE(release(last).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(release(held).type(), QDBusMessage::ReplyMessage);
        QVERIFY(closeDisplayWindow());
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(pid), 10000);
    }
};

QTEST_GUILESS_MAIN(tst_MessageService)
#include "tst_MessageService.moc"
