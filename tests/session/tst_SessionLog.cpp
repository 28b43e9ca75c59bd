#include "session/SessionLog.h"
#include "session/SessionText.h"

#include <QTest>

#include <algorithm>
#include <optional>
#include <random>

using namespace Qt::Literals::StringLiterals;

// The row's "calls" played: "S title[:name] @ms" (request, named Get unless told), "T title @ms"
// (note), "R [code] @ms" (reply, with no code unless given), "L lines @ms" (lines of no entry),
// "C @ms" (clear), "U title @ms" (unhook), "X @ms" (the object goes). "#n" anywhere makes the call
// come through message object n (0 unless told). Requests add 3 lines, notes 1, replies 2.
static SessionLog played()
{
    QFETCH(QString, calls);
    SessionLog log;
    for (const QString &call : calls.split(u';', Qt::SkipEmptyParts)) {
        QStringList parts = call.trimmed().split(u' ');
        const std::int64_t at = parts.takeLast().mid(1).toLongLong() * 1000;
        std::uint64_t object = 0;
        if (parts.last().startsWith(u'#'))
            object = parts.takeLast().mid(1).toULongLong();
        const SessionLog::CallFrom from(log, object);
        const QString kind = parts.takeFirst(), argument = parts.value(0);
        if (kind == u"S")
            log.request(at, argument.section(u':', 0, 0),
                        argument.contains(u':') ? argument.section(u':', 1) : u"Get"_s, 3);
        else if (kind == u"T")
            log.note(at, argument, 1);
        else if (kind == u"L")
            log.otherLines(at, argument.toInt());
        else if (kind == u"R")
            log.reply(at, parts.join(u' '), 2);
        else if (kind == u"U")
            log.unhooked(at, argument);
        else if (kind == u"X")
            log.objectGone(object);
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
        // Per entry: ms, - note, ! unanswered, ? outstanding, * slowest, ^title:row a reply to
        // another client's request joining it at that row.
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("clients"); // title requests/replies/unanswered last non-zero RC
        QTest::addColumn<QString>("open");    // how many are outstanding, and the oldest
        // The next unanswered from before the first entry, then from each; none where all give -1.
        QTest::addColumn<QString>("next");
        // Per title and request name: requests/unanswered, median ms, last non-zero RC; null to
        // leave unread.
        QTest::addColumn<QString>("requests");
        QTest::addColumn<std::int64_t>("clearedAt"); // what "entries since" shows
        const auto row = [](const char *name, auto calls, const char *entries, auto clients,
                            const char *open = "", const char *next = "",
                            const char *requests = nullptr, int clearedMs = -1) {
            QTest::newRow(name) << calls << entries << clients << open << next
                                << QString::fromLatin1(requests)
                                << (clearedMs < 0 ? -1 : std::int64_t(clearedMs) * 1000);
        };
        row("answered", "S A @0; R @12", "12*", "A 1/1/0", "", "", "A:Get 1/0 12");
        row("only the first reply times the request", "S A @0; R @12; R @40", "12*", "A 1/2/0");
        row("newest request waits", "S A @0", "?", "A 1/0/0", "1 A:Get @0");
        row("closed by a new request", "S A @0; S B @5; R @9", "! 4*", "A 1/0/1, B 1/1/0", "",
            "0 0 0", "A:Get 1/1 0, B:Get 1/0 4");
        row("a note closes nothing", "S A @0; T A @5; R @8", "8* -", "A 1/1/0");
        row("a note is no request", "T A @0; S A @5", "- ?", "A 1/0/0", "1 A:Get @5");
        row("a reply to a note counts, untimed", "T A @0; R @3; S B @4; R @9", "- 5*",
            "A 0/1/0, B 1/1/0");
        row("a reply with no entry is nobody's", "R @1; S A @2", "?", "A 1/0/0", "1 A:Get @2");
        row("clock going back gives no negative latency", "S A @50; R @20", "0*", "A 1/1/0");
        row("clear drops timings, not pairing", "S A @0; R @7; S A @10; C @11; S A @20; R @23",
            "3*", "A 3/2/1", "", "", "A:Get 3/1 3", 11);
        row("a reply after a clear answers", "S A @0; C @5; R @6", "", "A 1/1/0", "", "",
            "A:Get 1/0 6", 5);
        row("a clear before anything came is no clear", "C @0; S A @3", "?", "A 1/0/0",
            "1 A:Get @3");
        row("a later clear of an empty display counts", "S A @0; R @1; C @4; C @9", "", "A 1/1/0",
            "", "", nullptr, 9);
        row("a zero return code is success", "S A @0; R RC=0 @1; R RC= 00 @1", "1*", "A 1/2/0");
        row("the latest non-zero code stays",
            "S A @0; R RC=17 @1; R RC=0 @1; R RC=-3 @1; R RC=0 @1", "1*", "A 1/4/0 RC=-3", "", "",
            "A:Get 1/0 1 RC=-3");
        row("a text code is non-zero", "S A @0; R RC=FAIL @1", "1*", "A 1/1/0 RC=FAIL");
        row("an empty code says nothing", "S A @0; R RC=5 @1; R RC= @1", "1*", "A 1/2/0 RC=5");
        row("a huge code is cut", u"S A @0; R RC=%1 @1"_s.arg(QString(1000, u'9')), "1*",
            u"A 1/1/0 RC="_s + QString(61, u'9'));
        row("slowest of several", "S A @0; R @1; S A @2; R @8; S A @8; R @9", "1 6* 1", "A 3/3/0");
        row("the first is the slowest", "S A @0; R @50; S A @60; R @65", "50* 5", "A 2/2/0");
        row("wraps round, skips notes and the outstanding",
            "S A @0; S A @1; T A @2; S A @3; R @4; S A @5; S A @6", "! ! - 1* ! ?", "A 5/1/3",
            "1 A:Get @6", "0 1 4 4 4 0 0");
        row("objects pair their own replies", "S A #1 @0; S B #2 @5; R #2 @10; R #1 @20",
            "20* 5^A:5", "A 1/1/0, B 1/1/0", "", "", "A:Get 1/0 20, B:Get 1/0 5");
        row("a lost request", "S A #1 @0; S B #2 @1; R #2 @3; S A #1 @10; R #1 @14", "! 2 4*",
            "A 2/1/1, B 1/1/0", "", "0 0 0 0");
        row("two titles on one object share its pairing", "S A #1 @0; S B #1 @2; R #1 @5", "! 3*",
            "A 1/0/1, B 1/1/0", "", "0 0 0");
        row("a reply with no open request counts for the last requester",
            "S A:Get #1 @0; R #1 @4; S B #2 @5; R RC=9 #1 @6; R #2 @8", "4* 3^A:3",
            "A 1/2/0 RC=9, B 1/1/0", "", "", "A:Get 1/0 4 RC=9, B:Get 1/0 3");
        row("the oldest of several outstanding", "S A:Find #1 @0; S B #2 @1; S C #3 @2; R #2 @4",
            "? 3* ?^B:3", "A 1/0/0, B 1/1/0, C 1/0/0", "2 A:Find @0");
        row("clear in the middle", "S A #1 @0; S B #2 @1; C @2; R #1 @10; S B #2 @11", "?",
            "A 1/1/0, B 2/0/1", "1 B:Get @11", "", "A:Get 1/0 10, B:Get 2/1 0", 2);
        row("a client leaving ends its wait", "S A #1 @0; S B #2 @1; U A @5", "! ?",
            "A 1/0/1, B 1/0/0", "1 B:Get @1", "0 0 0");
        row("its object going ends it too", "S A #1 @0; X #1 @3; R #1 @4", "!", "A 1/0/1", "",
            "0 0");
    }

    void latencyRules()
    {
        const SessionLog log = played();
        QStringList entries, clients, next, rows;
        for (int e = 0; e < log.entries().size(); ++e) {
            const EntryTimings::Entry entry = log.entries().at(e);
            entries << (entry.latency == EntryTimings::kNote ? u"-"_s
                        : log.isUnanswered(e)                ? u"!"_s
                        : entry.latency == EntryTimings::kPending
                            ? u"?"_s
                            : QString::number(entry.latency / 1000)) +
                           (e == log.slowestEntry() ? u"*"_s : QString()) +
                           (entry.replyTo ? u"^%1:%2"_s.arg(log.client(entry.replyTo - 1).title)
                                                .arg(entry.replyRow)
                                          : QString());
        }
        for (int c = 0; c < log.clientCount(); ++c) {
            const SessionLog::Client &k = log.client(c);
            clients << (k.title + u" %1/%2/%3 "_s.arg(k.requests).arg(k.replies).arg(k.unanswered) +
                        k.lastNonZeroReturnCode)
                           .trimmed();
        }
        for (int r = 0; r < log.requestRowCount(); ++r) {
            const SessionLog::RequestRow &k = log.requestRow(r);
            rows << u"%1:%2 %3/%4 %5 %6"_s.arg(k.title, k.name)
                        .arg(k.requests)
                        .arg(k.unanswered)
                        .arg((k.latency.percentile(0.5) + 500) / 1000)
                        .arg(k.lastNonZeroReturnCode)
                        .trimmed();
        }
        const SessionLog::Outstanding open = log.outstanding();
        QTEST(entries.join(u' '), "entries");
        QTEST(clients.join(u", "), "clients");
        QTEST(open.count == 0
                  ? QString()
                  : u"%1 %2:%3 @%4"_s.arg(open.count)
                        .arg(log.client(open.client).title, log.requestRow(open.requestRow).name)
                        .arg(open.since / 1000),
              "open");
        for (int from = -1; from < log.entries().size(); ++from)
            if (const int to = log.nextUnanswered(from); to >= 0)
                next << QString::number(to);
        QTEST(next.join(u' '), "next");
        QFETCH(QString, requests);
        if (!requests.isNull())
            QCOMPARE(rows.join(u", "), requests);
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
        log.request(3000, u"C"_s, u"Get"_s, 1);
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
            many.request(i, u"title %1"_s.arg(i), u"Get"_s, 1);
        QCOMPARE(many.clientCount(), SessionLog::kMaxClients);
        QCOMPARE(many.client(SessionLog::kMaxClients - 1).title, SessionLog::kOtherTitles);
        QCOMPARE(many.client(SessionLog::kMaxClients - 1).requests, 501u);
        many.request(99999, u"title 7"_s, u"Get"_s, 1); // past the bound, a row stays its own
        QCOMPARE(many.client(7).requests, 2u);
        // Request names likewise, and cut to a readable length.
        for (int i = many.requestRowCount(); i < SessionLog::kMaxRequestRows + 9; ++i)
            many.request(i, u"title 7"_s, u"name %1 "_s.arg(i) + QString(200, u'x'), 1);
        QCOMPARE(many.requestRowCount(), SessionLog::kMaxRequestRows);
        const SessionLog::RequestRow &other = many.requestRow(SessionLog::kMaxRequestRows - 1);
        QCOMPARE(other.title, SessionLog::kOtherRequests);
        QCOMPARE(other.requests, 10u);
        QCOMPARE(many.requestRow(many.requestRowCount() - 2).name.size(),
                 SessionLog::kMaxNameLength);
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

    // Far times, large latencies and the largest client, reply-to and row numbers survive the
    // packing.
    void entriesRoundTrip()
    {
        EntryTimings timings;
        const std::int64_t far = (std::int64_t(1) << 47) + 12345;
        for (int i = 0; i < 10000; ++i)
            timings.append({i == 9999 ? far : i * 70'000'000LL, i * 429'000u,
                            std::uint16_t(i % 1024), std::uint16_t(i % 1025),
                            std::uint16_t(i % 2048)});
        const EntryTimings::Entry e = timings.at(9999);
        QCOMPARE(e.arrivalMicros, far);
        QCOMPARE(e.latency, 9999u * 429'000u);
        QCOMPARE(e.client, std::uint16_t(9999 % 1024));
        QCOMPARE(e.replyTo, std::uint16_t(9999 % 1025));
        QCOMPARE(e.replyRow, std::uint16_t(9999 % 2048));
        QCOMPARE(timings.at(4096).arrivalMicros, 4096LL * 70'000'000);
        timings.setLatency(4096, EntryTimings::kPending);
        timings.setReplyTo(1023, 1024, 2047);
        QCOMPARE(timings.at(4096).latency, EntryTimings::kPending);
        QCOMPARE(timings.at(4095).latency, 4095u * 429'000u);
        const EntryTimings::Entry marked = timings.at(1023);
        QCOMPARE(marked.client, std::uint16_t(1023));
        QCOMPARE(marked.replyTo, std::uint16_t(1024));
        QCOMPARE(marked.replyRow, std::uint16_t(2047));
        timings.append({-5, 0, 0}); // before the session's start: read as its start
        QCOMPARE(timings.at(10000).arrivalMicros, 0);
        timings.clear();
        QCOMPARE(timings.size(), 0);
        QCOMPARE(timings.bytesReserved(), 0u);
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
