// What narrowing the view costs: a change of the conditions on facts over ten million lines, a
// text filter over a million, appending under a filter, and the memory of the row mapping.
#include "BenchReport.h"
#include "PlayTraffic.h"
#include "display/DisplayGrid.h"
#include "display/GridValues.h"
#include "display/LineStore.h"
#include "display/StoredEntries.h"
#include "display/frmMain.h"
#include "find/ClassFind.h"
#include "preferences/ClassPreferences.h"
#include "traffic/DemoTraffic.h"
#include "view/ViewFilter.h"

#include <QApplication>
#include <QLineEdit>

#include <random>

namespace {

ShownRows filtered(const FilterSource &source, const ViewConditions &conditions)
{
    FilterRun run{ViewFilter(conditions)};
    run.advance(source, QDeadlineTimer(QDeadlineTimer::Forever));
    return run.takeRows();
}

// Ten million lines in entries of one to nineteen lines from eight clients, one in ten an
// error, one in twenty unanswered, and a change of each condition on them.
void conditionsOnFacts()
{
    constexpr int kLines = 10'000'000;
    LineStore store;
    EntryFacts facts;
    std::mt19937 random(19);
    const QString line = QStringLiteral("       GetTag NAME=Smith");
    while (store.size() < kLines) {
        const int first = store.size();
        const int lines = 1 + int(random() % 19);
        for (int i = 0; i < lines; ++i)
            store.append(line);
        store.setRowData(first, kEntryMark);
        facts.append(int(random() % 8), first);
        const std::uint32_t roll = random() % 20;
        facts.set(facts.size() - 1, (roll < 2 ? EntryFacts::kError : 0u) |
                                        (roll == 2 ? EntryFacts::kUnanswered : 0u));
    }
    const StoredEntries source(store, facts);
    // The plain pass: the same test of each entry's word, counting those that pass.
    std::vector<std::uint32_t> words;
    for (int entry = 0; entry < facts.size(); ++entry)
        words.push_back(facts.at(entry));
    std::vector<std::uint8_t> hidden(EntryFacts::kClientMask + 1);
    // (The filter folds the same test into one table of verdicts; the pass tests as written.)
    std::uint64_t sink = 0;
    struct Condition {
        const char *name;
        ViewConditions conditions;
        std::uint32_t required;
        int hiddenClient;
    };
    ViewConditions oneClient, errors, unanswered;
    oneClient.hiddenClients = {false, false, false, true};
    errors.errors = true;
    unanswered.unanswered = true;
    std::size_t mapping = 0;
    for (const Condition &c :
         {Condition{"client", oneClient, 0, 3}, Condition{"errors", errors, EntryFacts::kError, -1},
          Condition{"unanswered", unanswered, EntryFacts::kUnanswered, -1}}) {
        std::fill(hidden.begin(), hidden.end(), 0);
        if (c.hiddenClient >= 0)
            hidden[std::size_t(c.hiddenClient)] = 1;
        ShownRows rows;
        const TimedPair t = bestInTurns(
            5, [&] { rows = filtered(source, c.conditions); },
            [&] {
                std::uint64_t passing = 0;
                for (const std::uint32_t word : words)
                    passing += ((word & c.required) == c.required) &
                               !hidden[word & EntryFacts::kClientMask];
                sink += passing;
            });
        mapping = std::max(mapping, rows.bytesReserved());
        report(QStringLiteral("filter by %1, 10M lines (ms)").arg(QLatin1String(c.name)),
               fixed(t.value / 1e6, 2), fixed(t.baseline / 1e6, 2) + QStringLiteral(" pass"),
               QStringLiteral("<= 2 x base"), t.value <= 2 * t.baseline);
    }
    const double perLine = double(mapping) / double(store.size());
    report(QStringLiteral("row mapping, filtered / not (B/line)"),
           fixed(perLine, 2) + QStringLiteral(" / ") + QString::number(ShownRows().bytesReserved()),
           QStringLiteral("-"), QStringLiteral("<= 4 / 0"),
           perLine <= 4 && ShownRows().bytesReserved() == 0 && sink > 0);
}

// The text filter against the find scan over the same million lines, text nowhere, any case.
void textFilter(frmMain &window)
{
    DisplayGrid &grid = *window.vsf();
    EntryFacts facts;
    for (int entry = 0; entry < grid.store().markedCount(); ++entry)
        facts.append(0, grid.store().markedRow(entry));
    const StoredEntries source(grid.store(), facts);
    ViewConditions absent;
    absent.text = QStringLiteral("NoSuchValue");
    Finder().SetFindOptions(absent.text, false, false, 1);
    const TimedPair t = bestInTurns(
        3, [&] { filtered(source, absent); },
        [&] {
            grid.setRow(grid.Rows() / 2);
            Finder().FindNext(1);
        });
    report(QStringLiteral("text filter, no hit, 1M lines (ms)"), fixed(t.value / 1e6),
           fixed(t.baseline / 1e6) + QStringLiteral(" find"), QStringLiteral("<= 1.5 x base"),
           t.value <= 1.5 * t.baseline);
}

// The window's own calls, as the client interface makes them, with and without a filter that
// shows one client title of three: by client (a word an entry) and by the title's text (each
// line read once as it comes). Over the bus each call costs some 40 us more on both sides.
void appendingFiltered(frmMain &window)
{
    constexpr int kCalls = 200'000;
    const auto flood = [&](const QString &text, bool byClient) {
        window.ClearDisplay();
        window.txtFilter->setText(text);
        if (byClient)
            window.showOnlyClient(1);
        else
            window.showAllClients();
        while (window.filtering())
            QCoreApplication::processEvents();
        DemoTraffic traffic(5);
        for (int i = 0; i < kCalls; ++i)
            play(window, traffic.next(i % 2 == 0));
        return window.shownEntries();
    };
    for (const bool byClient : {true, false}) {
        int shown = 0, all = 0;
        const TimedPair t = bestInTurns(
            3,
            [&] {
                shown = flood(byClient ? QString() : QStringLiteral("[HELIX Orders]"), byClient);
            },
            [&] { all = flood(QString(), false); });
        if (shown == 0 || shown >= all)
            qFatal("the filter showed %d entries of %d", shown, all);
        report(byClient ? QStringLiteral("calls into the window, client filter (ns/call)")
                        : QStringLiteral("calls into the window, text filter (ns/call)"),
               fixed(t.value / kCalls), fixed(t.baseline / kCalls) + QStringLiteral(" unfiltered"),
               QStringLiteral("<= 1.1 x base"), t.value <= 1.1 * t.baseline);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    conditionsOnFacts();
    Preferences().setDisplayHeader(true);
    frmMain window;
    DemoTraffic traffic(11);
    for (int i = 0; window.vsf()->Rows() < 1'000'000; ++i)
        play(window, traffic.next(i % 2 == 0));
    textFilter(window);
    appendingFiltered(window);
    return 0;
}
