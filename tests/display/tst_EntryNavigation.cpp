// Moving from entry to entry over a table of rows, no window.
#include "display/EntryNavigation.h"

#include <QTest>

namespace {

struct Rows final : EntryRowsView {
    int count = 0;
    QList<int> starts;
    mutable bool readOutside = false;
    int rowCount() const override { return count; }
    bool startsEntry(int row) const override
    {
        readOutside = readOutside || row < 0 || row >= count;
        return starts.contains(row);
    }
    int nextEntryStart(int from) const override
    {
        for (int start : starts) {
            if (start >= from)
                return start;
        }
        return -1;
    }
};

} // namespace

class tst_EntryNavigation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void moves_data()
    {
        // "rows:start,start,...": the grid's rows and the entries' first rows, in the order
        // they arrived (the newest current, as after formatting).
        QTest::addColumn<QString>("grid");
        // A number clicks that row, "new" adds a one-line entry, "Clear" empties the grid,
        // anything else is First, Up, Down or Last.
        QTest::addColumn<QString>("steps");
        // "row previous current next BF": B whether First and Up, F whether Down and Last
        // have somewhere to go.
        QTest::addColumn<QString>("state");
        const auto row = [](const char *name, const char *grid, const char *steps,
                            const char *state) {
            QTest::newRow(name) << QString::fromLatin1(grid) << QString::fromLatin1(steps)
                                << QString::fromLatin1(state);
        };
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
        QFETCH(QString, state);
        Rows rows;
        rows.count = grid.section(u':', 0, 0).toInt();
        EntryNavigation entries;
        int current = -1;
        for (const QString &start : grid.section(u':', 1).split(u',', Qt::SkipEmptyParts)) {
            rows.starts << start.toInt();
            entries.entryAdded(start.toInt());
            current = start.toInt();
        }
        // Rows outside the grid are never made current.
        const auto go = [&](int row) {
            if (row >= 0 && row < rows.count)
                current = row;
        };
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            bool isRow = false;
            const int clicked = step.toInt(&isRow);
            if (isRow) {
                go(clicked);
                entries.sync(rows, current, 0);
            } else if (step == u"new") {
                rows.starts << rows.count++;
                go(rows.count - 1);
                entries.entryAdded(rows.count - 1);
            } else if (step == u"Clear") {
                // The grid reports its emptied row while the entry rows still name old rows.
                rows.count = 0;
                rows.starts.clear();
                current = -1;
                entries.sync(rows, current, 0);
                entries.clear();
            } else if (step == u"First") {
                if (const std::optional<int> row = entries.first(rows))
                    go(*row);
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
        QCOMPARE(shown, state);
        QVERIFY(!rows.readOutside);
    }
};

QTEST_APPLESS_MAIN(tst_EntryNavigation)
#include "tst_EntryNavigation.moc"
