#include "session/SessionLog.h"
#include "session/SessionText.h"

#include <QTest>

#include <algorithm>
#include <optional>
#include <random>

using namespace Qt::Literals::StringLiterals;

// The row's "calls" played: "S title @ms" (request), "T title @ms" (note), "R [code] @ms" (reply,
// with no code unless given), "L lines @ms" (lines of no entry), "C @ms" (clear).
static SessionLog played()
{
    QFETCH(QString, calls);
    SessionLog log;
    for (const QString &call : calls.split(u';', Qt::SkipEmptyParts)) {
        const QStringList parts = call.trimmed().split(u' ');
        const std::int64_t at = parts.last().mid(1).toLongLong() * 1000;
        if (parts[0] == u"S")
            log.request(at, parts[1], 3);
        else if (parts[0] == u"T")
            log.note(at, parts[1], 1);
        else if (parts[0] == u"L")
            log.otherLines(at, parts[1].toInt());
        else if (parts[0] == u"R")
            log.reply(at, parts.sliced(1, parts.size() - 2).join(u' '), 2);
        else
            log.clearEntries(at);
    }
    return log;
}

class tst_SessionLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void latencyRules_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("entries"); // ms, - note, ! unanswered, ? outstanding, * slowest
        QTest::addColumn<QString>("clients"); // title requests/replies/unanswered last non-zero RC
        // The next unanswered from before the first entry, then from each; none where all give -1.
        QTest::addColumn<QString>("next");
        QTest::addColumn<std::int64_t>("clearedAt"); // what "entries since" shows
        const auto row = [](const char *name, auto calls, const char *entries, auto clients,
                            const char *next = "", int clearedMs = -1) {
            QTest::newRow(name) << calls << entries << clients << next
                                << (clearedMs < 0 ? -1 : std::int64_t(clearedMs) * 1000);
        };
        row("answered", "S A @0; R @12", "12*", "A 1/1/0");
        row("only the first reply times the request", "S A @0; R @12; R @40", "12*", "A 1/2/0");
        row("newest request waits", "S A @0", "?", "A 1/0/0");
        row("closed by a new request", "S A @0; S B @5; R @9", "! 4*", "A 1/0/1, B 1/1/0", "0 0 0");
        row("closed by a note", "S A @0; T A @5", "! -", "A 1/0/1", "0 0 0");
        row("a note is no request", "T A @0; S A @5", "- ?", "A 1/0/0");
        row("a reply to a note counts, untimed", "T A @0; R @3; S B @4; R @9", "- 5*",
            "A 0/1/0, B 1/1/0");
        row("a reply with no entry is nobody's", "R @1; S A @2", "?", "A 1/0/0");
        row("clock going back gives no negative latency", "S A @50; R @20", "0*", "A 1/1/0");
        row("clear drops timings, not counters", "S A @0; R @7; S A @10; C @11; S A @20; R @23",
            "3*", "A 3/2/0", "", 11);
        row("the request pending at a clear is not unanswered", "S A @0; C @5; S A @6", "?",
            "A 2/0/0", "", 5);
        row("a reply after a clear joins nothing", "S A @0; C @5; R @6", "", "A 1/0/0", "", 5);
        row("a clear before anything came is no clear", "C @0; S A @3", "?", "A 1/0/0");
        row("a later clear of an empty display counts", "S A @0; C @4; C @9", "", "A 1/0/0", "", 9);
        row("a zero return code is success", "S A @0; R RC=0 @1; R RC= 00 @1", "1*", "A 1/2/0");
        row("the latest non-zero code stays",
            "S A @0; R RC=17 @1; R RC=0 @1; R RC=-3 @1; R RC=0 @1", "1*", "A 1/4/0 RC=-3");
        row("a text code is non-zero", "S A @0; R RC=FAIL @1", "1*", "A 1/1/0 RC=FAIL");
        row("an empty code says nothing", "S A @0; R RC=5 @1; R RC= @1", "1*", "A 1/2/0 RC=5");
        row("a huge code is cut", u"S A @0; R RC=%1 @1"_s.arg(QString(1000, u'9')), "1*",
            u"A 1/1/0 RC="_s + QString(61, u'9'));
        row("slowest of several", "S A @0; R @1; S A @2; R @8; S A @8; R @9", "1 6* 1", "A 3/3/0");
        row("the first is the slowest", "S A @0; R @50; S A @60; R @65", "50* 5", "A 2/2/0");
        row("wraps round, skips notes and the newest",
            "S A @0; S A @1; T A @2; S A @3; R @4; S A @5; S A @6", "! ! - 1* ! ?", "A 5/1/3",
            "0 1 4 4 4 0 0");
    }

    void latencyRules()
    {
        const SessionLog log = played();
        QStringList entries, clients, next;
        for (int e = 0; e < log.entries().size(); ++e) {
            const std::uint32_t latency = log.entries().at(e).latency;
            entries << (latency == EntryTimings::kNote ? u"-"_s
                        : log.isUnanswered(e)          ? u"!"_s
                        : e == log.outstandingEntry()  ? u"?"_s
                                                       : QString::number(latency / 1000)) +
                           (e == log.slowestEntry() ? u"*"_s : QString());
        }
        for (int c = 0; c < log.clientCount(); ++c) {
            const SessionLog::Client &k = log.client(c);
            clients << (k.title + u" %1/%2/%3 "_s.arg(k.requests).arg(k.replies).arg(k.unanswered) +
                        k.lastNonZeroReturnCode)
                           .trimmed();
        }
        QTEST(entries.join(u' '), "entries");
        QTEST(clients.join(u", "), "clients");
        for (int from = -1; from < log.entries().size(); ++from)
            if (const int to = log.nextUnanswered(from); to >= 0)
                next << QString::number(to);
        QTEST(next.join(u' '), "next");
        QTEST(log.clearedAt(), "clearedAt");
    }

    void percentiles_data()
    {
        QTest::addColumn<QList<quint32>>("values");

        QTest::newRow("one") << QList<quint32>{1234};
        QTest::newRow("small exact values") << QList<quint32>{1, 2, 3, 4, 5, 6, 7, 8, 9, 31};
        QTest::newRow("zero") << QList<quint32>{0, 0, 0};
        QTest::newRow("octave edges") << QList<quint32>{32, 63, 64, 65, 127, 128, 1023, 1024};
        QTest::newRow("longest storable") << QList<quint32>{EntryTimings::kLongest, 10, 20};
        QList<quint32> spread(5000);
        std::mt19937 random(7);
        std::lognormal_distribution<double> latency(9.0, 1.5);
        std::ranges::generate(spread, [&] { return quint32(std::min(latency(random), 4e9)); });
        QTest::newRow("log-normal spread") << spread;
    }

    void percentiles()
    {
        QFETCH(QList<quint32>, values);
        LatencyHistogram histogram;
        std::ranges::for_each(values, [&](quint32 v) { histogram.add(v); });
        std::sort(values.begin(), values.end());
        QCOMPARE(histogram.count(), quint64(values.size()));
        QCOMPARE(histogram.max(), values.last());
        for (double q : {0.0, 0.5, 0.95, 1.0}) {
            const double exact = values[qMax(1, int(std::ceil(q * double(values.size())))) - 1];
            const double read = histogram.percentile(q);
            QVERIFY2(std::abs(read - exact) <= exact * 0.032 + 0.5,
                     qPrintable(u"q=%1: %2 for %3"_s.arg(q).arg(read).arg(exact)));
            QVERIFY(read <= values.last());
        }
        QCOMPARE(LatencyHistogram().percentile(0.5), 0u);
    }

    // Leaving, by UnHook or the bus, marks the row gone; coming back reconnects the same row.
    void clientRows()
    {
        SessionLog log;
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
        SessionLog many;
        for (int i = 0; i < SessionLog::kMaxClients + 500; ++i)
            many.request(i, u"title %1"_s.arg(i), 1);
        QCOMPARE(many.clientCount(), SessionLog::kMaxClients);
        QCOMPARE(many.client(SessionLog::kMaxClients - 1).title, SessionLog::kOtherTitles);
        QCOMPARE(many.client(SessionLog::kMaxClients - 1).requests, 501u);
        many.request(99999, u"title 7"_s, 1); // past the bound, a title that had a row keeps it
        QCOMPARE(many.client(7).requests, 2u);
    }

    void linesPerSecond_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<int>("readAtMs");
        QTest::addColumn<double>("expected");
        QTest::newRow("steady, over five seconds")
            << "L 100 @6000; L 100 @7000; L 100 @8000; L 100 @9000; L 100 @10000" << 10000 << 100.0;
        QTest::newRow("old lines drop out") << "L 500 @6000; L 50 @12000" << 12000 << 10.0;
        QTest::newRow("five seconds, not six") << "L 100 @1000; L 100 @5000" << 6000 << 20.0;
        QTest::newRow("quiet for long") << "L 500 @6000" << 60000 << 0.0;
        QTest::newRow("young session") << "L 100 @1000; L 100 @1900" << 2000 << 100.0;
    }

    void linesPerSecond()
    {
        QFETCH(int, readAtMs);
        QTEST(played().linesPerSecond(std::int64_t(readAtMs) * 1000), "expected");
    }

    // Far times, large latencies and any client or object number survive the packing.
    void entriesRoundTrip()
    {
        EntryTimings timings;
        const std::int64_t far = (std::int64_t(1) << 47) + 12345;
        for (int i = 0; i < 10000; ++i)
            timings.append({i == 9999 ? far : i * 70'000'000LL, i * 429'000u, std::uint16_t(i),
                            std::uint16_t(65535 - i)});
        const EntryTimings::Entry e = timings.at(9999);
        QCOMPARE(e.arrivalMicros, far);
        QCOMPARE(e.latency, 9999u * 429'000u);
        QCOMPARE(e.client, std::uint16_t(9999));
        QCOMPARE(e.object, std::uint16_t(65535 - 9999));
        QCOMPARE(timings.at(4096).arrivalMicros, 4096LL * 70'000'000);
        timings.setLatency(4096, EntryTimings::kPending);
        QCOMPARE(timings.at(4096).latency, EntryTimings::kPending);
        QCOMPARE(timings.at(4095).latency, 4095u * 429'000u);
        timings.append({-5, 0, 0, 0}); // before the session's start: read as its start
        QCOMPARE(timings.at(10000).arrivalMicros, 0);
        timings.clear();
        QCOMPARE(timings.size(), 0);
        QCOMPARE(timings.bytesReserved(), 0u);
    }

    void objectsOfEntries()
    {
        SessionLog log;
        log.request(0, u"A"_s, 1);
        std::optional<SessionLog::CallFrom> outer(std::in_place, log, 7), inner;
        log.request(1, u"A"_s, 1);
        inner.emplace(log, 1ull << 40);
        log.note(2, u"A"_s, 1);
        inner.reset();
        log.request(3, u"A"_s, 1);
        outer.reset();
        log.request(4, u"A"_s, 1);
        const QList<std::uint64_t> objects{0, 7, 1ull << 40, 7, 0};
        for (int entry = 0; entry < objects.size(); ++entry)
            QCOMPARE(log.objectOf(entry), objects[entry]);
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
