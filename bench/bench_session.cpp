// What the timing of the traffic costs beside the lines: memory per entry at a million entries.
#include "BenchReport.h"
#include "session/EntryTimings.h"
#include "session/SessionLog.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr int kEntries = 1000000;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    // The same entries unpacked, in a vector grown the usual way.
    const std::size_t plainBefore = heapBytesInUse();
    auto plain = std::make_unique<std::vector<EntryTimings::Entry>>();
    for (int i = 0; i < kEntries; ++i)
        plain->push_back({std::int64_t(i) * 1000, 500, std::uint16_t(i % 8), std::uint16_t(i % 3)});
    const double plainPerEntry = double(heapBytesInUse() - plainBefore) / kEntries;
    plain.reset();

    // Eight clients through three message objects, each request answered 0.5 ms after the next
    // one came, so every reply's lines join another client's entry; one in ten is never
    // answered. Five request names a client, on a clock the benchmark moves.
    std::int64_t clock = 0;
    QStringList titles, names;
    for (int i = 0; i < 8; ++i)
        titles.append(QStringLiteral("Client %1").arg(i));
    for (int i = 0; i < 5; ++i)
        names.append(QStringLiteral("Request %1").arg(i));
    const std::size_t before = heapBytesInUse();
    auto log = std::make_unique<SessionLog>([&clock] { return clock; }, 0);
    for (int i = 0; i < kEntries; ++i) {
        clock += 1000;
        {
            const SessionLog::CallFrom from(*log, std::uint64_t(i % 3 + 1));
            log->request(log->now(), titles[i % 8], names[i % 5], 13);
        }
        if (i % 10 != 0) {
            const SessionLog::CallFrom from(*log, std::uint64_t((i + 2) % 3 + 1));
            clock += 500;
            log->reply(log->now(), u"0", 5);
        }
    }
    const double perEntry = double(heapBytesInUse() - before) / kEntries;
    report(QStringLiteral("entry timings at 1M entries (B/entry)"), fixed(perEntry),
           fixed(plainPerEntry) + QStringLiteral(" plain"), QStringLiteral("<= 16"),
           perEntry <= 16 && log->entries().size() == kEntries);
    return 0;
}
