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

namespace {

const QString kService = QStringLiteral("HELIXDebug.Message");
const QString kMessageInterface = QStringLiteral("HELIXDebug.Message");
const QString kServerInterface = QStringLiteral("HELIXDebug.Server");

// Answers clsDebug_ShutDown for the test's own registrations.
class Callback : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "HELIXDebug.Client")
public:
    int calls = 0;
public Q_SLOTS:
    void clsDebug_ShutDown() { ++calls; }
};

// A client process (TestClient.cpp) registered on an object, waiting to be told to stop.
struct ClientProcess {
    QProcess process;
    QString output;

    bool start(const QString &mode, const QString &object, const QString &title, const QString &log)
    {
        process.start(QStringLiteral(HELIX_TEST_CLIENT), {mode, object, title, log});
        if (!process.waitForStarted(5000))
            return false;
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(10000))
                return false;
        }
        output = QString::fromUtf8(process.readLine()).trimmed();
        return !output.startsWith(QLatin1String("error"));
    }
    ~ClientProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

} // namespace

class tst_MessageService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void interfaceAsDesigned();
    void errors_data();
    void errors();
    void releaseRules();
    void shutdownInRegistrationOrder();
    void shutdownSurvivesBadClients();
    void creatorLeavingReleasesItsObjects();
    void exitsWhenIdleAndStartsAgainOnDemand();

private:
    QDBusMessage call(const QString &path, const QString &interface, const QString &method,
                      const QList<QVariant> &arguments = {},
                      const QDBusConnection *through = nullptr);
    QString createMessage();
    void initializeHeld(const QString &path);
    QStringList logLines() const;
    bool closeDisplayWindow();

    std::unique_ptr<PrivateBus> mBus;
    std::unique_ptr<QDBusConnection> mConnection;
    std::unique_ptr<QTemporaryDir> mDir;
    Callback mCallback;
};

void tst_MessageService::init()
{
    mBus = std::make_unique<PrivateBus>();
    QVERIFY(mBus->isRunning());
    mConnection = std::make_unique<QDBusConnection>(mBus->connection());
    QVERIFY(mConnection->registerObject(QStringLiteral("/TestClient"), &mCallback,
                                        QDBusConnection::ExportAllSlots));
    mDir = std::make_unique<QTemporaryDir>();
    mCallback.calls = 0;
}

void tst_MessageService::cleanup()
{
    mConnection.reset();
    mBus.reset();
}

QDBusMessage tst_MessageService::call(const QString &path, const QString &interface,
                                      const QString &method, const QList<QVariant> &arguments,
                                      const QDBusConnection *through)
{
    QDBusMessage request = QDBusMessage::createMethodCall(kService, path, interface, method);
    request.setArguments(arguments);
    return (through ? *through : *mConnection).call(request, QDBus::Block, 30000);
}

QString tst_MessageService::createMessage()
{
    const QDBusMessage reply =
        call(QStringLiteral("/"), kServerInterface, QStringLiteral("CreateMessage"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qWarning("CreateMessage: %s", qPrintable(reply.errorMessage()));
        return {};
    }
    return reply.arguments().constFirst().value<QDBusObjectPath>().path();
}

// Makes the window hold `path` without registering anything.
void tst_MessageService::initializeHeld(const QString &path)
{
    const QDBusMessage reply =
        call(path, kMessageInterface, QStringLiteral("Initialize"),
             {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/"))), QStringLiteral("Test")});
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
}

QStringList tst_MessageService::logLines() const
{
    QFile log(mDir->filePath(QStringLiteral("shutdown.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool tst_MessageService::closeDisplayWindow()
{
    const qint64 pid = mBus->displayPid();
    if (pid <= 0)
        return false;
    if (!QTest::qWaitFor([&] { return mappedWindowsOfProcess(pid) > 0; }, 10000))
        return false;
    // A window asked to close before it is fully set up may not hear it: ask again until it
    // leaves the screen.
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (closeWindowsOfProcess(pid) == 0)
            return attempt > 0;
        if (QTest::qWaitFor([&] { return mappedWindowsOfProcess(pid) == 0; }, 1000))
            return true;
    }
    return false;
}

void tst_MessageService::interfaceAsDesigned()
{
    const QString path = createMessage();
    QCOMPARE(path, QStringLiteral("/Message/1"));
    QCOMPARE(createMessage(), QStringLiteral("/Message/2"));
    const QDBusMessage reply = call(path, QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                    QStringLiteral("Introspect"));
    const QString xml = reply.arguments().value(0).toString();
    const qsizetype start = xml.indexOf(QLatin1String("<interface name=\"HELIXDebug.Message\">"));
    QVERIFY(start >= 0);
    const QString body = xml.mid(start, xml.indexOf(QLatin1String("</interface>"), start) - start);
    QStringList methods;
    const QRegularExpression method(QStringLiteral("<method name=\"(\\w+)\">"));
    for (auto it = method.globalMatch(body); it.hasNext();)
        methods << it.next().captured(1);
    QCOMPARE(methods,
             (QStringList{QStringLiteral("Initialize"), QStringLiteral("PrintReceiveBuffer"),
                          QStringLiteral("PrintSendBuffer"), QStringLiteral("PrintText"),
                          QStringLiteral("UnHook")}));
    QStringList arguments;
    const QRegularExpression argument(
        QStringLiteral("<arg name=\"(\\w+)\" type=\"(\\w+)\" direction=\"in\"/>"));
    for (auto it = argument.globalMatch(body); it.hasNext();) {
        const auto match = it.next();
        arguments << match.captured(1) + QLatin1Char(':') + match.captured(2);
    }
    QCOMPARE(arguments.join(QLatin1Char(' ')),
             QStringLiteral("clsHELIX:o sAppTitle:s HELIXBuffer:ay AppName:s HELIXRequest:s "
                            "HELIXBuffer:ay AppName:s Text:s sAppTitle:s"));
}

void tst_MessageService::errors_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QList<QVariant>>("arguments");
    QTest::addColumn<QString>("errorName");
    QTest::addColumn<QString>("messageStart");

    const QVariant self = QVariant::fromValue(QDBusObjectPath(QStringLiteral("/TestClient")));
    QTest::newRow("duplicate title in other case")
        << QStringLiteral("Initialize") << QList<QVariant>{self, QStringLiteral("APP")}
        << QStringLiteral("HELIXDebug.Error.DuplicateKey")
        << QStringLiteral("457: This key is already associated with an element of this "
                          "collection");
    QTest::newRow("unhook of an unknown title")
        << QStringLiteral("UnHook") << QList<QVariant>{QStringLiteral("Nobody")}
        << QStringLiteral("HELIXDebug.Error.InvalidArgument")
        << QStringLiteral("5: Invalid procedure call or argument");
    QTest::newRow("reply with unclosed return code")
        << QStringLiteral("PrintReceiveBuffer") << QList<QVariant>{QByteArray("H\0RC=0", 6)}
        << QStringLiteral("HELIXDebug.Error.InvalidArgument")
        << QStringLiteral("5: Invalid procedure call or argument");
    QTest::newRow("invalid UTF-8")
        << QStringLiteral("PrintReceiveBuffer") << QList<QVariant>{QByteArray("\xff\x41\0", 3)}
        << QStringLiteral("HELIXDebug.Error.InvalidUtf8")
        << QStringLiteral("Buffer is not valid UTF-8");
    QTest::newRow("truncated UTF-8 in a request")
        << QStringLiteral("PrintSendBuffer")
        << QList<QVariant>{QStringLiteral("A"), QStringLiteral("B"), QByteArray("A=\xc3")}
        << QStringLiteral("HELIXDebug.Error.InvalidUtf8")
        << QStringLiteral("Buffer is not valid UTF-8");
    QTest::newRow("buffer too large to show")
        << QStringLiteral("PrintSendBuffer")
        << QList<QVariant>{QStringLiteral("A"), QStringLiteral("B"),
                           QByteArray(32 * 1024 * 1024 + 1, 'x')}
        << QStringLiteral("HELIXDebug.Error.BufferTooLarge")
        << QStringLiteral("Buffer of 33554433 bytes exceeds the limit of 33554432 bytes");
    QTest::newRow("wrong signature")
        << QStringLiteral("PrintText") << QList<QVariant>{5, QStringLiteral("x")}
        << QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod") << QString();
}

void tst_MessageService::errors()
{
    QFETCH(QString, method);
    QFETCH(QList<QVariant>, arguments);
    QFETCH(QString, errorName);
    QFETCH(QString, messageStart);
    const QString path = createMessage();
    QVERIFY(!path.isEmpty());
    const QVariant self = QVariant::fromValue(QDBusObjectPath(QStringLiteral("/TestClient")));
    QCOMPARE(
        call(path, kMessageInterface, QStringLiteral("Initialize"), {self, QStringLiteral("App")})
            .type(),
        QDBusMessage::ReplyMessage);

    const QDBusMessage reply = call(path, kMessageInterface, method, arguments);
    QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(reply.errorName(), errorName);
    QVERIFY2(reply.errorMessage().startsWith(messageStart), qPrintable(reply.errorMessage()));

    // The display goes on serving, with the registration intact.
    QCOMPARE(call(path, kMessageInterface, QStringLiteral("PrintText"),
                  {QStringLiteral("App"), QStringLiteral("still here")})
                 .type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(
        call(path, kMessageInterface, QStringLiteral("UnHook"), {QStringLiteral("app")}).type(),
        QDBusMessage::ReplyMessage);
}

void tst_MessageService::releaseRules()
{
    const QString held = createMessage();
    initializeHeld(held);
    const QString loose = createMessage();
    QDBusConnection other = QDBusConnection::connectToBus(mBus->address(), QStringLiteral("other"));
    const auto release = [&](const QString &path, const QDBusConnection *through = nullptr) {
        return call(QStringLiteral("/"), kServerInterface, QStringLiteral("ReleaseMessage"),
                    {QVariant::fromValue(QDBusObjectPath(path))}, through);
    };
    QCOMPARE(release(loose, &other).errorName(), QStringLiteral("HELIXDebug.Error.NotOwner"));
    QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    QCOMPARE(release(QStringLiteral("/Message/99")).errorName(),
             QStringLiteral("HELIXDebug.Error.UnknownObject"));
    QCOMPARE(release(loose).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(release(loose).errorName(), QStringLiteral("HELIXDebug.Error.UnknownObject"));
    // Released and held by nobody: the object is gone.
    QCOMPARE(call(loose, kMessageInterface, QStringLiteral("PrintText"),
                  {QStringLiteral("A"), QStringLiteral("x")})
                 .errorName(),
             QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"));
    // Released by its creator but held by the window: it lives on.
    QCOMPARE(release(held).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(call(held, kMessageInterface, QStringLiteral("PrintText"),
                  {QStringLiteral("A"), QStringLiteral("x")})
                 .type(),
             QDBusMessage::ReplyMessage);
}

void tst_MessageService::shutdownInRegistrationOrder()
{
    const QString log = mDir->filePath(QStringLiteral("shutdown.log"));
    const QString held = createMessage();
    initializeHeld(held);
    ClientProcess c, a, b;
    QVERIFY(c.start(QStringLiteral("normal"), held, QStringLiteral("C"), log));
    QVERIFY(a.start(QStringLiteral("normal"), held, QStringLiteral("A"), log));
    QVERIFY(b.start(QStringLiteral("normal"), held, QStringLiteral("B"), log));
    QVERIFY(closeDisplayWindow());
    QTRY_COMPARE_WITH_TIMEOUT(
        logLines(), (QStringList{QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B")}),
        15000);

    // The window comes back on the next Initialize, holding the object that brought it back;
    // only the clients registered there now are told to stop at the second close.
    const QString second = createMessage();
    initializeHeld(second);
    ClientProcess d;
    QVERIFY(d.start(QStringLiteral("normal"), second, QStringLiteral("D"), log));
    ClientProcess elsewhere;
    QVERIFY(elsewhere.start(QStringLiteral("normal"), held, QStringLiteral("E"), log));
    QVERIFY(closeDisplayWindow());
    QTRY_COMPARE_WITH_TIMEOUT(logLines().size(), 4, 15000);
    QCOMPARE(logLines().last(), QStringLiteral("D"));
    QTest::qWait(300);
    QCOMPARE(logLines().size(), 4); // E registered on an object the window no longer holds
}

void tst_MessageService::shutdownSurvivesBadClients()
{
    const QString log = mDir->filePath(QStringLiteral("shutdown.log"));
    const QString held = createMessage();
    initializeHeld(held);
    ClientProcess gone, hung, caller, plain;
    QVERIFY(gone.start(QStringLiteral("vanish"), held, QStringLiteral("Gone"), log));
    QVERIFY(gone.process.waitForFinished(5000));
    QVERIFY(hung.start(QStringLiteral("hang"), held, QStringLiteral("Hung"), log));
    QVERIFY(caller.start(QStringLiteral("callback"), held, QStringLiteral("Caller"), log));
    QVERIFY(plain.start(QStringLiteral("normal"), held, QStringLiteral("Plain"), log));
    const qint64 pid = mBus->displayPid();
    QVERIFY(closeDisplayWindow());
    // The window leaves the screen at once, however long the clients take.
    QTRY_COMPARE_WITH_TIMEOUT(mappedWindowsOfProcess(pid), 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(logLines().size(), 3, 20000);
    QCOMPARE(logLines(),
             (QStringList{QStringLiteral("Hung"), QStringLiteral("Caller unhook=ok note=ok"),
                          QStringLiteral("Plain")}));
    // The display still serves clients afterwards.
    QVERIFY(!createMessage().isEmpty());
}

void tst_MessageService::creatorLeavingReleasesItsObjects()
{
    const QString held = createMessage();
    initializeHeld(held);
    ClientProcess creator;
    QVERIFY(creator.start(QStringLiteral("create"), QString(), QStringLiteral("Short"),
                          mDir->filePath(QStringLiteral("unused.log"))));
    const QString path = creator.output;
    QVERIFY(path.startsWith(QLatin1String("/Message/")));
    QVERIFY(creator.process.waitForFinished(5000));
    QTRY_COMPARE_WITH_TIMEOUT(call(path, kMessageInterface, QStringLiteral("PrintText"),
                                   {QStringLiteral("A"), QStringLiteral("x")})
                                  .errorName(),
                              QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"), 5000);
    QCOMPARE(call(held, kMessageInterface, QStringLiteral("PrintText"),
                  {QStringLiteral("A"), QStringLiteral("x")})
                 .type(),
             QDBusMessage::ReplyMessage);
}

void tst_MessageService::exitsWhenIdleAndStartsAgainOnDemand()
{
    const QString path = createMessage();
    const qint64 first = mBus->displayPid();
    QVERIFY(first > 0);
    QCOMPARE(call(QStringLiteral("/"), kServerInterface, QStringLiteral("ReleaseMessage"),
                  {QVariant::fromValue(QDBusObjectPath(path))})
                 .type(),
             QDBusMessage::ReplyMessage);
    // Nothing is held, but the window is loaded: the display stays.
    QTest::qWait(500);
    QVERIFY(processAlive(first));
    QVERIFY(closeDisplayWindow());
    QTRY_VERIFY_WITH_TIMEOUT(!processAlive(first), 10000);
    // The next call starts a new display.
    QCOMPARE(createMessage(), QStringLiteral("/Message/1"));
    const qint64 second = mBus->displayPid();
    QVERIFY(second > 0);
    QVERIFY(second != first);
}

QTEST_GUILESS_MAIN(tst_MessageService)
#include "tst_MessageService.moc"
