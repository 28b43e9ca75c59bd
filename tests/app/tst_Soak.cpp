// Eight clients that come and go, some killed in the middle of a call or while registering,
// bad buffers in between: the display keeps answering, and every call a surviving client saw
// completed shows exactly once and in order, read back through the display's own copy command.
#include "DisplayLines.h"
#include "HelixDebugClient.h"
#include "PrivateBus.h"
#include "X11Windows.h"

#include <QDBusMessage>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <map>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kClients = 8;
constexpr int kCallsEach = 2000;
constexpr int kSoakMs = 8000;

struct Client {
    QString title;
    std::unique_ptr<QProcess> process;
    QList<int> completed;
    bool killed = false;
};

qint64 residentBytes(qint64 pid)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression rss(u"VmRSS:\\s+(\\d+)"_s);
    return rss.match(QString::fromUtf8(status.readAll())).captured(1).toLongLong() * 1024;
}

} // namespace

class tst_Soak : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clientsComeAndGo();
};

void tst_Soak::clientsComeAndGo()
{
    // Memory is read off the display process: keep the address sanitizer from holding freed
    // memory back, so what it shows is what the display holds.
    qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":quarantine_size_mb=0");
    PrivateBus bus;
    QVERIFY(bus.isRunning());
    HelixDebug::Message held(bus.connection());
    QVERIFY(!held.create().isValid());
    QVERIFY(!held.Initialize(u"Soak"_s).isValid());
    const qint64 pid = bus.displayPid();
    QVERIFY(pid > 0);
    const qint64 memoryBefore = residentBytes(pid);

    QRandomGenerator random(20261206);
    std::vector<Client> clients;
    int generation = 0;
    int killed = 0;
    const auto start = [&](int slot) {
        Client client;
        client.title = u"C%1g%2"_s.arg(slot).arg(++generation);
        client.process = std::make_unique<QProcess>();
        client.process->start(
            QStringLiteral(HELIX_TEST_CLIENT),
            {u"soak"_s, held.path().path(), client.title, QString::number(kCallsEach)});
        clients.push_back(std::move(client));
    };
    for (int slot = 0; slot < kClients; ++slot)
        start(slot);

    QElapsedTimer soak;
    soak.start();
    int rounds = 0;
    while (soak.elapsed() < kSoakMs) {
        QTest::qWait(50);
        Client &victim = clients[random.bounded(int(clients.size()))];
        if (random.bounded(4) == 0 && victim.process->state() == QProcess::Running) {
            // Often in the middle of a call, sometimes before it has even registered.
            ::kill(pid_t(victim.process->processId()), SIGKILL);
            victim.killed = true;
            ++killed;
            start(random.bounded(kClients));
        }
        // Bad input in between: refused, and nothing else changes.
        const QDBusMessage bad = bus.connection().call(
            QDBusMessage::createMethodCall(u"HELIXDebug.Message"_s, held.path().path(),
                                           u"HELIXDebug.Message"_s, u"PrintReceiveBuffer"_s)
            << QByteArray("\xff\xfe bad", 6));
        QCOMPARE(bad.errorName(), u"HELIXDebug.Error.InvalidUtf8"_s);
        if (++rounds % 40 == 0) {
            const QDBusMessage huge = bus.connection().call(
                QDBusMessage::createMethodCall(u"HELIXDebug.Message"_s, held.path().path(),
                                               u"HELIXDebug.Message"_s, u"PrintSendBuffer"_s)
                << u"Soak"_s << u"Huge"_s << QByteArray(32 * 1024 * 1024 + 1, 'x'));
            QCOMPARE(huge.errorName(), u"HELIXDebug.Error.BufferTooLarge"_s);
        }
    }
    for (Client &client : clients)
        QVERIFY(client.process->state() == QProcess::NotRunning ||
                client.process->waitForFinished(60000));

    int calls = 0;
    for (Client &client : clients) {
        for (const QString &line : QString::fromUtf8(client.process->readAllStandardOutput())
                                       .split(u'\n', Qt::SkipEmptyParts)) {
            if (line != u"ready"_s)
                client.completed << line.toInt();
        }
        calls += int(client.completed.size());
    }

    // The display's own copy of all lines.
    const QStringList copied = copyDisplayLines(pid, u"]  line "_s);
    QVERIFY(!copied.isEmpty());

    std::map<QString, QList<int>> shown;
    const QRegularExpression note(u"^\\[(C\\d+g\\d+)\\]  line (\\d+)$"_s);
    for (const QString &line : copied) {
        const auto match = note.match(line);
        if (match.hasMatch())
            shown[match.captured(1)] << match.captured(2).toInt();
    }
    int verified = 0;
    for (const Client &client : clients) {
        const QList<int> lines = shown[client.title];
        // Shown once each and in order; a killed client's last call may show without the client
        // having seen its answer.
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i], i + 1);
        QVERIFY(lines.size() >= client.completed.size());
        QVERIFY(lines.size() <= client.completed.size() + 1);
        if (!client.killed)
            QCOMPARE(lines.size(), client.completed.size());
        verified += int(client.completed.size());
    }

    QVERIFY(!HelixDebug::Message(bus.connection()).create().isValid()); // still answering
    const qint64 memoryAfter = residentBytes(pid);
    std::printf("soak: %d clients started, %d killed, %d calls completed, %d lines verified, "
                "display memory %.1f MB before, %.1f MB after\n",
                generation, killed, calls, verified, memoryBefore / 1048576.0,
                memoryAfter / 1048576.0);
    // What stays is the lines shown; the clients that left took their objects with them.
    QVERIFY(memoryAfter - memoryBefore < 32 * 1024 * 1024);

    // Clients killed while the display waits for their answer to clsDebug_ShutDown: the window
    // still goes, and the display still answers.
    std::vector<std::unique_ptr<QProcess>> slow;
    for (int i = 0; i < 3; ++i) {
        auto client = std::make_unique<QProcess>();
        client->start(QStringLiteral(HELIX_TEST_CLIENT),
                      {u"hang"_s, held.path().path(), u"Slow%1"_s.arg(i), u"/dev/null"_s});
        QVERIFY(client->waitForReadyRead(10000));
        slow.push_back(std::move(client));
    }
    for (int attempt = 0; attempt < 10 && mappedWindowsOfProcess(pid) > 0; ++attempt) {
        closeWindowsOfProcess(pid);
        if (QTest::qWaitFor([&] { return mappedWindowsOfProcess(pid) == 0; }, 1000))
            break;
    }
    QCOMPARE(mappedWindowsOfProcess(pid), 0); // the window goes at once
    for (auto &client : slow)
        ::kill(pid_t(client->processId()), SIGKILL);
    QVERIFY(!HelixDebug::Message(bus.connection()).create().isValid());
}

QTEST_GUILESS_MAIN(tst_Soak)
#include "tst_Soak.moc"
