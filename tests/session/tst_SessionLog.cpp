#include "session/EntryTimings.h"
#include "session/LatencyHistogram.h"
#include "session/SessionLog.h"
#include "session/SessionText.h"

#include <QTest>

#include <algorithm>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

// A log on a clock the test moves by hand.
struct TimedLog {
    std::int64_t clock = 5'000'000;
    SessionLog log{[this] { return clock; }, 0};
};

// Plays calls written as "S title @ms", "T title @ms" (a note), "R rc @ms" and "C @ms" (clear),
// separated by ";".
void play(SessionLog &log, const QString &calls)
{
    for (const QString &call : calls.split(u';', Qt::SkipEmptyParts)) {
        const QStringList parts = call.trimmed().split(u' ');
        const std::int64_t at = parts.last().mid(1).toLongLong() * 1000;
        if (parts[0] == u"S")
            log.request(at, parts[1], 3);
        else if (parts[0] == u"T")
            log.note(at, parts[1], 1);
        else if (parts[0] == u"R")
            log.reply(at, parts[1], 2);
        else if (parts[0] == u"C")
            log.clearEntries(at);
    }
}

// Each held entry as "latency" in ms, "-" for a note, "?" waiting, "!" unanswered.
QString entryStates(const SessionLog &log)
{
    QStringList states;
    for (int e = 0; e < log.entries().size(); ++e) {
        const std::uint32_t latency = log.entries().at(e).latency;
        if (latency == EntryTimings::kNote)
            states << u"-"_s;
        else if (log.isUnanswered(e))
            states << u"!"_s;
        else if (latency == EntryTimings::kPending)
            states << u"?"_s;
        else
            states << QString::number(latency / 1000);
    }
    return states.join(u' ');
}

// Per client "title requests/replies/unanswered".
QString clientFigures(const SessionLog &log)
{
    QStringList figures;
    for (int c = 0; c < log.clientCount(); ++c) {
        const SessionLog::Client &client = log.client(c);
        figures << u"%1 %2/%3/%4"_s.arg(client.title)
                       .arg(client.requests)
                       .arg(client.replies)
                       .arg(client.unanswered);
    }
    return figures.join(u", ");
}

} // namespace

class tst_SessionLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void latencyRules_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("clients");
        QTest::addColumn<int>("outstanding");
        // What the Session window reports as "entries since": only a clear that dropped
        // entries, or followed one that did, starts the entries later than the client figures.
        QTest::addColumn<int>("clearedAtMs");
        const auto row = [](const char *name, const QString &calls, const QString &entries,
                            const QString &clients, int outstanding, int clearedAtMs = -1) {
            QTest::newRow(name) << calls << entries << clients << outstanding << clearedAtMs;
        };
        row("answered", u"S A @0; R RC=0 @12"_s, u"12"_s, u"A 1/1/0"_s, -1);
        row("only the first reply times the request", u"S A @0; R RC=0 @12; R RC=0 @40"_s, u"12"_s,
            u"A 1/2/0"_s, -1);
        row("newest request waits", u"S A @0"_s, u"?"_s, u"A 1/0/0"_s, 0);
        row("closed by a later request", u"S A @0; S B @5; R RC=0 @9"_s, u"! 4"_s,
            u"A 1/0/1, B 1/1/0"_s, -1);
        row("closed by a note", u"S A @0; T A @5"_s, u"! -"_s, u"A 1/0/1"_s, -1);
        row("a note is no request", u"T A @0; S A @5"_s, u"- ?"_s, u"A 1/0/0"_s, 1);
        row("a reply to a note counts, untimed", u"T A @0; R RC=0 @3; S B @4; R RC=0 @9"_s,
            u"- 5"_s, u"A 0/1/0, B 1/1/0"_s, -1);
        row("a reply with no entry is nobody's", u"R RC=0 @1; S A @2"_s, u"?"_s, u"A 1/0/0"_s, 0);
        row("clock going back gives no negative latency", u"S A @50; R RC=0 @20"_s, u"0"_s,
            u"A 1/1/0"_s, -1);
        row("clear drops timings, not counters",
            u"S A @0; R RC=0 @7; S A @10; C @11; S A @20; R RC=0 @23"_s, u"3"_s, u"A 3/2/0"_s, -1,
            11);
        row("the request pending at a clear is not unanswered", u"S A @0; C @5; S A @6"_s, u"?"_s,
            u"A 2/0/0"_s, 0, 5);
        row("a reply after a clear joins nothing", u"S A @0; C @5; R RC=0 @6"_s, u""_s,
            u"A 1/0/0"_s, -1, 5);
        row("a clear before anything came is no clear", u"C @0; S A @3"_s, u"?"_s, u"A 1/0/0"_s, 0);
        row("a later clear of an empty display counts", u"S A @0; C @4; C @9"_s, u""_s,
            u"A 1/0/0"_s, -1, 9);
    }

    void latencyRules()
    {
        QFETCH(QString, calls);
        QFETCH(int, clearedAtMs);
        TimedLog timed;
        play(timed.log, calls);
        QTEST(entryStates(timed.log), "entries");
        QTEST(clientFigures(timed.log), "clients");
        QTEST(timed.log.outstandingEntry(), "outstanding");
        QCOMPARE(timed.log.clearedAt(), clearedAtMs < 0 ? -1 : std::int64_t(clearedAtMs) * 1000);
    }

    void navigation_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<int>("slowest");
        QTest::addColumn<QList<int>>("nextUnanswered"); // from entries -1, 0, 1, ...

        QTest::newRow("none") << u"S A @0; R RC=0 @5"_s << 0 << QList<int>{-1, -1};
        QTest::newRow("empty") << u""_s << -1 << QList<int>{-1};
        QTest::newRow("slowest of several")
            << u"S A @0; R RC=0 @5; S A @10; R RC=0 @40; S A @50; R RC=0 @60"_s << 1
            << QList<int>{-1, -1, -1, -1};
        QTest::newRow("wraps round, skips notes and the newest")
            << u"S A @0; S A @1; T A @2; S A @3; R RC=0 @4; S A @5; S A @6"_s << 3
            << QList<int>{0, 1, 4, 4, 4, 0, 0};
        QTest::newRow("the first is the slowest")
            << u"S A @0; R RC=0 @50; S A @60; R RC=0 @65"_s << 0 << QList<int>{-1, -1, -1};
        QTest::newRow("only one, from itself") << u"S A @0; S B @1"_s << -1 << QList<int>{0, 0, 0};
    }

    void navigation()
    {
        QFETCH(QString, calls);
        QFETCH(QList<int>, nextUnanswered);
        TimedLog timed;
        play(timed.log, calls);
        QTEST(timed.log.slowestEntry(), "slowest");
        for (int from = -1; from < int(nextUnanswered.size()) - 1; ++from)
            QCOMPARE(timed.log.nextUnanswered(from), nextUnanswered[from + 1]);
    }

    void percentiles_data()
    {
        QTest::addColumn<QList<quint32>>("values");

        QTest::newRow("one") << QList<quint32>{1234};
        QTest::newRow("small exact values") << QList<quint32>{1, 2, 3, 4, 5, 6, 7, 8, 9, 31};
        QTest::newRow("zero") << QList<quint32>{0, 0, 0};
        QTest::newRow("octave edges") << QList<quint32>{32, 63, 64, 65, 127, 128, 1023, 1024};
        QTest::newRow("longest storable") << QList<quint32>{EntryTimings::kLongest, 10, 20};
        QList<quint32> spread;
        std::mt19937 random(7);
        std::lognormal_distribution<double> latency(9.0, 1.5);
        for (int i = 0; i < 5000; ++i)
            spread << quint32(std::min(latency(random), 4e9));
        QTest::newRow("log-normal spread") << spread;
    }

    void percentiles()
    {
        QFETCH(QList<quint32>, values);
        LatencyHistogram histogram;
        for (quint32 v : values)
            histogram.add(v);
        std::sort(values.begin(), values.end());
        QCOMPARE(histogram.count(), quint64(values.size()));
        QCOMPARE(histogram.max(), values.last());
        for (double q : {0.0, 0.5, 0.95, 1.0}) {
            const auto rank =
                std::max<qsizetype>(1, qsizetype(std::ceil(q * double(values.size()))));
            const double exact = values[rank - 1];
            const double read = histogram.percentile(q);
            QVERIFY2(std::abs(read - exact) <= exact * 0.032 + 0.5,
                     qPrintable(u"q=%1: %2 for %3"_s.arg(q).arg(read).arg(exact)));
            QVERIFY(read <= values.last());
        }
        QCOMPARE(LatencyHistogram().percentile(0.5), 0u);
    }

    void returnCodes_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("last");

        QTest::newRow("zero is success") << QStringList{u"RC=0"_s, u"RC= 00"_s} << QString();
        QTest::newRow("latest non-zero stays")
            << QStringList{u"RC=17"_s, u"RC=0"_s, u"RC=-3"_s, u"RC=0"_s} << u"RC=-3"_s;
        QTest::newRow("text is non-zero") << QStringList{u"RC=FAIL"_s} << u"RC=FAIL"_s;
        QTest::newRow("empty says nothing") << QStringList{u"RC=5"_s, u"RC="_s} << u"RC=5"_s;
        QTest::newRow("huge is cut")
            << QStringList{u"RC="_s + QString(1000, u'9')} << u"RC="_s + QString(61, u'9');
    }

    void returnCodes()
    {
        QFETCH(QStringList, codes);
        TimedLog timed;
        timed.log.request(0, u"A"_s, 1);
        for (const QString &code : codes)
            timed.log.reply(1000, code, 1);
        QTEST(timed.log.client(0).lastNonZeroReturnCode, "last");
    }

    // Leaving, by UnHook or by the bus, marks the row gone; coming back is a new connection
    // under the same row.
    void clientsComeAndGo()
    {
        TimedLog timed;
        SessionLog &log = timed.log;
        log.connected(1000, u"A"_s, u":1.5"_s);
        log.connected(2000, u"B"_s, u":1.6"_s);
        log.request(3000, u"C"_s, 1);
        log.unhooked(4000, u"A"_s);
        log.connectionLeft(5000, u":1.6"_s);
        log.connectionLeft(6000, u":1.6"_s);
        log.unhooked(6000, u"nobody"_s);
        QCOMPARE(log.clientCount(), 3);
        QCOMPARE(log.client(0).goneAt, 4000);
        QCOMPARE(log.client(1).goneAt, 5000);
        QVERIFY(!log.client(2).gone && !log.client(2).connected);
        QCOMPARE(log.client(2).since, 3000);
        log.connected(7000, u"A"_s, u":1.9"_s);
        QVERIFY(!log.client(0).gone && log.client(0).connected);
        QCOMPARE(log.client(0).since, 7000);
        QCOMPARE(log.client(0).connection, u":1.9"_s);
    }

    void clientTitlesAreBounded()
    {
        TimedLog timed;
        for (int i = 0; i < SessionLog::kMaxClients + 500; ++i)
            timed.log.request(i, u"title %1"_s.arg(i), 1);
        QCOMPARE(timed.log.clientCount(), SessionLog::kMaxClients);
        const SessionLog::Client &other = timed.log.client(SessionLog::kMaxClients - 1);
        QCOMPARE(other.title, SessionLog::kOtherTitles);
        QCOMPARE(other.requests, 501u);
        // Titles that had a row keep it.
        timed.log.request(99999, u"title 7"_s, 1);
        QCOMPARE(timed.log.client(7).requests, 2u);
    }

    void linesPerSecond_data()
    {
        QTest::addColumn<QList<int>>("linesAtMs"); // pairs: ms, lines
        QTest::addColumn<int>("readAtMs");
        QTest::addColumn<double>("expected");

        QTest::newRow("steady, over five seconds")
            << QList<int>{6000, 100, 7000, 100, 8000, 100, 9000, 100, 10000, 100} << 10000 << 100.0;
        QTest::newRow("old lines drop out") << QList<int>{6000, 500, 12000, 50} << 12000 << 10.0;
        QTest::newRow("five seconds, not six") << QList<int>{1000, 100, 5000, 100} << 6000 << 20.0;
        QTest::newRow("quiet for long") << QList<int>{6000, 500} << 60000 << 0.0;
        QTest::newRow("young session") << QList<int>{1000, 100, 1900, 100} << 2000 << 100.0;
    }

    void linesPerSecond()
    {
        QFETCH(QList<int>, linesAtMs);
        QFETCH(int, readAtMs);
        QFETCH(double, expected);
        TimedLog timed;
        for (qsizetype i = 0; i + 1 < linesAtMs.size(); i += 2)
            timed.log.otherLines(std::int64_t(linesAtMs[i]) * 1000, linesAtMs[i + 1]);
        QCOMPARE(timed.log.linesPerSecond(std::int64_t(readAtMs) * 1000), expected);
    }

    // Entries are packed: far times, large latencies and every client and object number come
    // back whole, across blocks; a time before the session's start reads as its start.
    void entriesRoundTrip()
    {
        EntryTimings timings;
        const std::int64_t far = (std::int64_t(1) << 47) + 12345;
        for (int i = 0; i < 10000; ++i)
            timings.append({i == 9999 ? far : std::int64_t(i) * 70'000'000,
                            std::uint32_t(i) * 429'000u, std::uint16_t(i), std::uint16_t(65535 - i)});
        const EntryTimings::Entry e = timings.at(9999);
        QCOMPARE(QList<std::int64_t>({e.arrivalMicros, e.latency, e.client, e.object}),
                 QList<std::int64_t>({far, 9999ll * 429'000, 9999, 65535 - 9999}));
        QCOMPARE(timings.at(4096).arrivalMicros, 4096LL * 70'000'000);
        timings.setLatency(4096, EntryTimings::kPending);
        QCOMPARE(timings.at(4096).latency, EntryTimings::kPending);
        QCOMPARE(timings.at(4095).latency, 4095u * 429'000u);
        timings.append({-5, 0, 0, 0});
        QCOMPARE(timings.at(10000).arrivalMicros, 0);
        timings.clear();
        QCOMPARE(timings.size(), 0);
        QCOMPARE(timings.bytesReserved(), 0u);
    }

    void objectsOfEntries()
    {
        TimedLog timed;
        SessionLog &log = timed.log;
        log.request(0, u"A"_s, 1);
        {
            const SessionLog::CallFrom from(log, 7);
            log.request(1, u"A"_s, 1);
            {
                const SessionLog::CallFrom inner(log, 1ull << 40);
                log.note(2, u"A"_s, 1);
            }
            log.request(3, u"A"_s, 1);
        }
        log.request(4, u"A"_s, 1);
        QCOMPARE(log.objectOf(0), 0u);
        QCOMPARE(log.objectOf(1), 7u);
        QCOMPARE(log.objectOf(2), 1ull << 40);
        QCOMPARE(log.objectOf(3), 7u);
        QCOMPARE(log.objectOf(4), 0u);
    }

    void texts_data()
    {
        QTest::addColumn<quint64>("micros");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<QString>("gutter");

        QTest::newRow("0") << 0ull << u"0 us"_s << u"+0.0 ms"_s;
        QTest::newRow("850 us") << 850ull << u"850 us"_s << u"+0.8 ms"_s;
        QTest::newRow("2.414 ms") << 2414ull << u"2.41 ms"_s << u"+2.4 ms"_s;
        QTest::newRow("12.34 ms") << 12340ull << u"12.3 ms"_s << u"+12 ms"_s;
        QTest::newRow("480.4 ms") << 480400ull << u"480 ms"_s << u"+480 ms"_s;
        QTest::newRow("999.6 ms") << 999600ull << u"1.00 s"_s << u"+1000 ms"_s;
        QTest::newRow("9.9996 s") << 9999600ull << u"10.0 s"_s << u"+10.0 s"_s;
        QTest::newRow("73 s") << 73'000'000ull << u"73.0 s"_s << u"+73.0 s"_s;
        QTest::newRow("125 s") << 125'400'000ull << u"125 s"_s << u"+125 s"_s;
        QTest::newRow("2 h 5 min") << 7'500'000'000ull << u"2 h 05 min"_s << u"+7500 s"_s;
    }

    void texts()
    {
        QFETCH(quint64, micros);
        QTEST(SessionText::duration(micros), "duration");
        QTEST(SessionText::gutterLatency(micros), "gutter");
    }
};

QTEST_GUILESS_MAIN(tst_SessionLog)
#include "tst_SessionLog.moc"
