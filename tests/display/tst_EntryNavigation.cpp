#include "display/EntryNavigation.h"

#include <QTest>

#include <algorithm>

namespace {

struct Rows final : EntryRowsView {
    int count = 0;
    QList<int> starts; // ascending
    mutable bool readOutside = false;
    int rowCount() const override { return count; }
    bool startsEntry(int row) const override
    {
        readOutside = readOutside || row < 0 || row >= count;
        return starts.contains(row);
    }
    int nextEntryStart(int from) const override
    {
        const auto at = std::lower_bound(starts.begin(), starts.end(), from);
        return at == starts.end() ? -1 : *at;
    }
};

} // namespace

class tst_EntryNavigation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void moves_data()
    {
        // grid "rows:start,start,...": the entries' first rows in the order they arrived, the
        // newest current as after formatting. steps: a number clicks that row, "new" adds a
        // one-line entry, "Clear" empties the grid, anything else is First, Up, Down or Last.
        // state "row previous current next BF": B whether First and Up, F whether Down and
        // Last have somewhere to go.
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("state");
        const auto row = [](const char *name, const char *grid, const char *steps,
                            const char *state) { QTest::newRow(name) << grid << steps << state; };
        row("after formatting", "12:0,5,9", "", "9 5 9 -1 10");
        row("up inside an entry returns to its first row", "12:0,5,9", "7 Up", "5 0 5 9 11");
        row("up again goes to the previous entry", "12:0,5,9", "7 Up Up", "0 -1 0 5 01");
        row("last", "12:0,5,9", "2 Last", "9 5 9 -1 10");
        row("up from an entry's first row finds the one before", "12:0,5,9", "Last Up",
            "5 0 5 9 11");
        row("first looks ahead from row 1", "12:0,5,9", "First", "0 -1 0 5 01");
        row("down from the first entry", "12:0,5,9", "First Down", "5 0 5 9 11");
        row("down to the last entry", "12:0,5,9", "First Down Down", "9 5 9 -1 10");
        row("inside the last entry, below its first row", "12:0,5,9", "11", "11 5 9 -1 10");
        row("single entry, cursor on its last row", "3:0", "2", "2 -1 0 -1 10");
        row("single entry: first finds nothing ahead", "3:0", "2 First", "0 -1 0 -1 00");
        row("first of no rows moves nothing", "0:", "First", "-1 -1 -1 -1 00");
        row("first over a lone line that starts no entry", "1:", "First", "0 -1 0 -1 00");
        row("click above the first entry keeps the entry", "4:2", "0", "0 -1 2 -1 00");
        row("first takes row 0 though no entry starts there", "4:2", "First", "0 -1 0 2 01");
        row("new entry while browsing an older one", "12:0,5,9", "2 new", "12 0 12 -1 10");
        row("a click afterwards makes the rows exact", "12:0,5,9", "2 new 12", "12 9 12 -1 10");
        row("down onto an entry right before another", "3:0", "new new First Down", "3 0 3 4 11");
        row("clear", "12:0,5,9", "Clear", "-1 -1 -1 -1 00");
    }

    void moves()
    {
        QFETCH(QString, grid);
        QFETCH(QString, steps);
        Rows rows;
        rows.count = grid.section(u':', 0, 0).toInt();
        EntryNavigation entries;
        for (const QString &start : grid.section(u':', 1).split(u',', Qt::SkipEmptyParts))
            entries.entryAdded(rows.starts.emplace_back(start.toInt()));
        int current = rows.starts.value(rows.starts.size() - 1, -1);
        // Rows outside the grid are never made current.
        const auto go = [&](int row) { current = row >= 0 && row < rows.count ? row : current; };
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step[0].isDigit()) {
                go(step.toInt());
                entries.sync(rows, current, 0);
            } else if (step == u"new") {
                entries.entryAdded(rows.starts.emplace_back(rows.count++));
                go(rows.count - 1);
            } else if (step == u"Clear") {
                // The grid reports its emptied row while the entry rows still name old rows.
                rows.count = 0;
                rows.starts.clear();
                current = -1;
                entries.sync(rows, current, 0);
                entries.clear();
            } else if (step == u"First") {
                go(entries.first(rows).value_or(current));
            } else if (step == u"Up") {
                go(entries.previousEntry(rows, current));
            } else if (step == u"Down") {
                go(entries.nextEntry(rows));
            } else {
                go(entries.last(rows));
            }
        }
        const QString shown =
            QString::asprintf("%d %d %d %d %d%d", current, entries.previous, entries.current,
                              entries.next, entries.canGoBack(current), entries.canGoForward());
        QTEST(shown, "state");
        QVERIFY(!rows.readOutside);
    }
};

QTEST_APPLESS_MAIN(tst_EntryNavigation)
#include "tst_EntryNavigation.moc"
