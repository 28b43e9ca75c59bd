// Request-to-reply timing in the display process, with real clients whose replies come after
// known delays, read back through the bus.
#include "PrivateBus.h"
#include "app/SessionFigures.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QProcess>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// A client run to its end: its requests answered after the given delays (see TestClient.cpp).
bool runTimedClient(const QString &title, const QString &delays)
{
    QProcess client;
    client.start(QStringLiteral(HELIX_TEST_CLIENT), {u"timed"_s, u"/"_s, title, delays});
    return client.waitForFinished(60000) && client.exitStatus() == QProcess::NormalExit &&
           client.exitCode() == 0;
}

} // namespace

class tst_SessionTiming : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateBus> mBus;

    QList<SessionFigure> figures()
    {
        const QDBusMessage request = QDBusMessage::createMethodCall(
            u"HELIXDebug.Message"_s, u"/"_s, u"HELIXDebug.Server"_s, u"SessionFigures"_s);
        const QDBusMessage reply = mBus->connection().call(request, QDBus::Block, 30000);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
            return {};
        return qdbus_cast<QList<SessionFigure>>(reply.arguments().constFirst());
    }
    SessionFigure figureOf(const QString &title)
    {
        for (const SessionFigure &figure : figures()) {
            if (figure.title == title)
                return figure;
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        registerSessionFigures();
        mBus = std::make_unique<PrivateBus>();
        QVERIFY(mBus->isRunning());
    }
    void cleanupTestCase()
    {
        const qint64 pid = mBus->displayPid();
        mBus.reset();
        QTRY_VERIFY_WITH_TIMEOUT(pid == 0 || !processAlive(pid), 20000);
    }

    void delayedReplies_data();
    void delayedReplies();
};

void tst_SessionTiming::delayedReplies_data()
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
void tst_SessionTiming::delayedReplies()
{
    QFETCH(QString, delays);
    QFETCH(quint64, requests);
    QFETCH(quint64, unanswered);
    QFETCH(quint32, medianMs);
    QFETCH(quint32, maxMs);
    const QString title = u"Timed %1"_s.arg(QLatin1String(QTest::currentDataTag()));
    QVERIFY(runTimedClient(title, delays));

    // The client left the bus without unhooking; its row stays, marked gone.
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

QTEST_GUILESS_MAIN(tst_SessionTiming)
#include "tst_SessionTiming.moc"
