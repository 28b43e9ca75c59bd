// The grid and the store behind it.
#include "display/DisplayGrid.h"
#include "display/LineStore.h"
#include "display/VisibleText.h"

#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// A grid of `rows` lines "line 0", "line 1", ... shown in a window of its own.
struct ShownGrid {
    DisplayGrid grid;
    explicit ShownGrid(int rows)
    {
        grid.resize(400, 300);
        for (int i = 0; i < rows; ++i)
            grid.AddItem(u"line %1"_s.arg(i));
        grid.show();
        grid.setFocus();
    }
    void click(int row, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseClick(grid.viewport(), button, keys, grid.rowRect(row).center());
    }
    int pageRows() const { return grid.verticalScrollBar()->pageStep(); }
};

} // namespace

class tst_DisplayGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A line comes back as it was stored; painting shows its control characters and cuts it
    // when it is long.
    void storeRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wide");
        QTest::addColumn<QString>("painted");
        const QString longest(VisibleText::PaintLimit, u'x');
        QTest::newRow("empty") << QString() << false << QString();
        QTest::newRow("latin-1 with control characters")
            << u"Müller ÿ\0B\r\n\tc\x7f"_s << false << u"Müller ÿ␀B␍␊␉c␡"_s;
        QTest::newRow("beyond latin-1") << u"CITY=Łódź 😀\n"_s << true << u"CITY=Łódź 😀␊"_s;
        QTest::newRow("longest painted whole") << longest << false << longest;
        QTest::newRow("longer cut") << longest + u"y\n"_s << false << longest + u"…"_s;
        QTest::newRow("huge line gets its own block")
            << QString(300000, u'x') << false << longest + u"…"_s;
        QTest::newRow("huge wide line") << QString(200000, QChar(0x0142)) << true
                                        << QString(VisibleText::PaintLimit, QChar(0x0142)) + u"…"_s;
    }

    void storeRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(bool, wide);
        LineStore store;
        // Neighbours on both sides catch offsets that spill into the next line.
        for (const QString &line : {u"before"_s, text, u"after"_s})
            store.append(line);
        QCOMPARE(store.size(), 3);
        QCOMPARE(store.text(1), text);
        QCOMPARE(store.view(1).wide, wide);
        QTEST(VisibleText::forPainting(store.view(1)), "painted");
        QCOMPARE(store.text(0) + store.text(2), u"beforeafter"_s);
    }

    // Enough lines to fill several text blocks and record segments, mixing both encodings so
    // wide lines land on odd offsets that must be realigned; a clear hands it all back, row
    // data included.
    void storeManyLinesAcrossBlocks()
    {
        const auto lineText = [](int i) {
            return (i % 7 == 0 ? u"ł"_s : u"x"_s) + QString::number(i) + QString(i % 13, u'.');
        };
        LineStore store;
        const int count = 200000;
        for (int i = 0; i < count; ++i)
            store.append(lineText(i));
        QCOMPARE(store.size(), count);
        for (int i : {0, 1, 6, 7, 65535, 65536, 65537, 131071, 131072, count - 1})
            QCOMPARE(store.text(i), lineText(i));
        QVERIFY(store.bytesReserved() < std::size_t(count) * 40);
        store.setRowData(7, 1);
        store.clear();
        QCOMPARE(store.size(), 0);
        QCOMPARE(store.bytesReserved(), std::size_t(0));
    }

    // A row write is reported inside the write, even when the row does not change; rows out of
    // range are ignored. A clear forgets the rows and their marks, and reports the row gone.
    void rowWrites()
    {
        DisplayGrid grid;
        QList<int> seen;
        connect(&grid, &DisplayGrid::RowColChange, this, [&] { seen << grid.Row(); });
        grid.setRow(0); // empty grid: there is no row 0
        for (int i = 0; i < 10; ++i)
            grid.AddItem(u"x");
        for (int row : {3, 3, 10, -1})
            grid.setRow(row);
        QCOMPARE(grid.RowSel(), 3);
        QVERIFY(grid.TextMatrix(10, 0).isEmpty() && grid.TextMatrix(0, 1).isEmpty());
        grid.setRowData(4, 1);
        grid.clearRows();
        QCOMPARE(seen, (QList<int>{3, 3, -1}));
        QCOMPARE(grid.RowSel(), -1);
        grid.AddItem(u"y");
        QCOMPARE(grid.FindRow(1, 0), -1);
    }

    void keyboardSelection_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("row"); // -2: one page down, as the page size depends on the font
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<int>("changes"); // RowColChange reports
        const auto row = [](const char *name, int start, const char *keys, int row, int rowSel,
                            int changes) {
            QTest::newRow(name) << start << QKeySequence(QString::fromLatin1(keys)) << row << rowSel
                                << changes;
        };
        row("down moves both ends", 5, "Down", 6, 6, 1);
        row("shift+up extends upwards, row stays", 5, "Shift+Up, Shift+Up", 5, 3, 0);
        row("up at the top stays", 0, "Up", 0, 0, 1);
        row("ctrl+end, then ctrl+shift+home selects to the top", 5, "Ctrl+End, Ctrl+Shift+Home", 99,
            0, 1);
        row("page down then shift+page up", 0, "PgDown, Shift+PgUp", -2, 0, 1);
        row("ctrl+a selects all rows", 40, "Ctrl+A", 0, 99, 1);
        // Like a spreadsheet: the plain arrow moves on from the current row, not the far end.
        row("down after extending", 5, "Shift+Down, Down", 6, 6, 1);
    }

    void keyboardSelection()
    {
        QFETCH(int, start);
        QFETCH(QKeySequence, keys);
        QFETCH(int, row);
        ShownGrid shown(100);
        shown.grid.setRow(start);
        QSignalSpy spy(&shown.grid, &DisplayGrid::RowColChange);
        QTest::keySequence(&shown.grid, keys);
        QCOMPARE(shown.grid.Row(), row == -2 ? shown.pageRows() : row);
        QTEST(shown.grid.RowSel(), "rowSel");
        QTEST(int(spy.count()), "changes");
    }

    // A click selects and Shift+click extends; a right click (it opens the menu that works on
    // the selection) and a click below the last row leave the selection alone.
    void mouseSelection()
    {
        ShownGrid shown(5);
        QSignalSpy changes(&shown.grid, &DisplayGrid::RowColChange);
        shown.click(1);
        shown.click(3, Qt::LeftButton, Qt::ShiftModifier);
        shown.click(0, Qt::RightButton);
        QTest::mouseClick(shown.grid.viewport(), Qt::LeftButton, {},
                          shown.grid.rowRect(4).bottomLeft() + QPoint(5, 20));
        QCOMPARE(shown.grid.Row(), 1);
        QCOMPARE(shown.grid.RowSel(), 3);
        QCOMPARE(changes.count(), 1);
    }

    void showCellScrollsRowIntoView_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("plain") << false;
        QTest::newRow("word wrap") << true;
    }

    // Requests in a row count in their order: the later of two below wins, a row above
    // scrolls up at once, a row on screen scrolls nothing. The scroll bar follows.
    void showCellScrollsRowIntoView()
    {
        QFETCH(bool, wrap);
        ShownGrid shown(1000);
        shown.grid.setWordWrap(wrap);
        shown.grid.ShowCell(600, 0);
        shown.grid.ShowCell(900, 0);
        const int top = 900 - shown.pageRows() + 1;
        QTRY_COMPARE(shown.grid.verticalScrollBar()->value(), top);
        shown.grid.ShowCell(899, 0);
        QCOMPARE(shown.grid.topRow(), top);
        shown.grid.ShowCell(950, 0);
        shown.grid.ShowCell(500, 0);
        QCOMPARE(shown.grid.topRow(), 500);
        QTRY_COMPARE(shown.grid.verticalScrollBar()->value(), 500);
    }

    // A long row takes several lines once wrapped, so fewer rows fit on the first page.
    void wordWrapGrowsRows()
    {
        ShownGrid shown(0);
        shown.grid.AddItem(QString(2000, u'w'));
        for (int i = 0; i < 50; ++i)
            shown.grid.AddItem(u"short");
        const int plainPage = shown.pageRows();
        shown.grid.setWordWrap(true);
        QVERIFY(shown.pageRows() < plainPage);
    }

    // The rows' names and a clear are read over the accessibility bus by atspi_operator; here
    // what it does not reach: control characters, selection, focus and hit testing.
    void screenReadersSeeRows()
    {
        ShownGrid shown(20);
        shown.grid.AddItem(u"A\0B"_s);
        shown.grid.setRow(2);
        QTest::keyClick(&shown.grid, Qt::Key_Down, Qt::ShiftModifier);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&shown.grid);
        QAccessibleInterface *row = list->child(3);
        QCOMPARE(list->indexOfChild(row), 3);
        QVERIFY(row->state().selected && !list->child(4)->state().selected);
        QCOMPARE(list->child(20)->text(QAccessible::Name), u"A␀B"_s);
        shown.grid.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&shown.grid));
        shown.grid.setFocus();
        QCOMPARE(list->focusChild(), list->child(2));
        QCOMPARE(list->childAt(row->rect().center().x(), row->rect().center().y()), row);
        shown.grid.clearRows(); // rows dropped by a clear are gone for screen readers too
        QVERIFY(!list->child(3));
    }
};

QTEST_MAIN(tst_DisplayGrid)
#include "tst_DisplayGrid.moc"
