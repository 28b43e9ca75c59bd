#include "RulesOf.h"
#include "display/DisplayGrid.h"
#include "display/VisibleText.h"

#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

struct ShownGrid : DisplayGrid {
    using DisplayGrid::viewportMargins;
    explicit ShownGrid(int rows, const QString &first = {})
    {
        resize(400, 300);
        if (!first.isNull())
            AddItem(first);
        for (int i = 0; i < rows; ++i)
            AddItem(u"line %1"_s.arg(i));
        show();
        setFocus();
    }
};

class tst_DisplayGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Stored between neighbours, so an offset that spills into the next line shows.
    void storeRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("painted");
        const QString longest(VisibleText::PaintLimit, u'x'), wide(VisibleText::PaintLimit, u'ł');
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("latin-1 controls") << u"Müller ÿ\0B\r\n\tc\x7f"_s << u"Müller ÿ␀B␍␊␉c␡"_s;
        QTest::newRow("beyond latin-1") << u"CITY=Łódź 😀\n"_s << u"CITY=Łódź 😀␊"_s;
        QTest::newRow("longest painted whole") << longest << longest;
        QTest::newRow("longer cut") << longest + u"y\n"_s << longest + u"…"_s;
        QTest::newRow("huge line gets its own block") << QString(300000, u'x') << longest + u"…"_s;
        QTest::newRow("huge wide line") << wide + wide + wide << wide + u"…"_s;
    }

    void storeRoundTrip()
    {
        QFETCH(QString, text);
        LineStore store;
        for (const QString &line : {u"before"_s, text, u"after"_s})
            store.append(line);
        QCOMPARE(store.text(1), text);
        QTEST(VisibleText::forPainting(store.view(1)), "painted");
        QCOMPARE(store.text(0) + store.text(2), u"beforeafter"_s);
    }

    // Several text blocks and record segments, wide lines on odd offsets; a clear frees it all.
    void storeManyLinesAcrossBlocks()
    {
        const auto lineText = [](int i) {
            return (i % 7 == 0 ? u"ł"_s : u"x"_s) + QString::number(i) + QString(i % 13, u'.');
        };
        LineStore store;
        for (int i = 0; i < 200000; ++i)
            store.append(lineText(i));
        QCOMPARE(store.size(), 200000);
        for (int i : {0, 1, 6, 7, 65535, 65536, 65537, 131071, 131072, 199999})
            QCOMPARE(store.text(i), lineText(i));
        QVERIFY(store.bytesReserved() < std::size_t(store.size()) * 40);
        store.setRowData(7, 1);
        store.clear();
        QCOMPARE(store.bytesReserved(), std::size_t(0));
    }

    void keyboardSelection_data()
    {
        QTest::addColumn<QString>("keys"); // from row 5
        QTest::addColumn<int>("row"); // -2: one page below row 5, as the page depends on the font
        QTest::addColumn<int>("rowSel");
        QTest::addColumn<int>("changes"); // RowColChange reports
        QTest::newRow("shift+up extends, row stays") << u"Shift+Up, Shift+Up"_s << 5 << 3 << 0;
        QTest::newRow("up at the top stays") << u"Ctrl+Home, Up"_s << 0 << 0 << 2;
        QTest::newRow("end, select to the top") << u"Ctrl+End, Ctrl+Shift+Home"_s << 99 << 0 << 1;
        QTest::newRow("pgdown, shift+pgup") << u"PgDown, Shift+PgUp"_s << -2 << 5 << 1;
        QTest::newRow("ctrl+a selects all rows") << u"Ctrl+A"_s << 0 << 99 << 1;
        QTest::newRow("down from the row, not the far end") << u"Shift+Down, Down"_s << 6 << 6 << 1;
    }

    void keyboardSelection()
    {
        QFETCH(QString, keys);
        QFETCH(int, row);
        ShownGrid grid(100);
        grid.setRow(5);
        QSignalSpy spy(&grid, &DisplayGrid::RowColChange);
        QTest::keySequence(&grid, QKeySequence(keys));
        QCOMPARE(grid.Row(), row == -2 ? 5 + grid.verticalScrollBar()->pageStep() : row);
        QTEST(grid.RowSel(), "rowSel");
        QTEST(int(spy.count()), "changes");
    }

    // A click selects, Shift+click extends; a right click (the selection's menu), a click below
    // the rows, rows out of range change nothing. Screen readers see it (atspi_operator: names).
    void selectionAsScreenReadersSeeIt()
    {
        ShownGrid grid(5, u"A\0B"_s);
        QList<int> seen;
        connect(&grid, &DisplayGrid::RowColChange, this, [&] { seen << grid.Row(); });
        QWidget *area = grid.viewport();
        QTest::mouseClick(area, Qt::LeftButton, {}, grid.rowRect(1).center());
        QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, grid.rowRect(3).center());
        QTest::mouseClick(area, Qt::RightButton, {}, grid.rowRect(0).center());
        QTest::mouseClick(area, Qt::LeftButton, {}, grid.rowRect(5).center() + QPoint(0, 40));
        grid.setRow(-1);
        QCOMPARE(grid.Row(), 1);
        QCOMPARE(grid.RowSel(), 3);
        QCOMPARE(seen, QList<int>{1});
        QVERIFY(grid.TextMatrix(6, 0).isEmpty() && grid.TextMatrix(0, 1).isEmpty());
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&grid);
        QAccessibleInterface *row = list->child(3);
        QCOMPARE(list->indexOfChild(row), 3);
        QVERIFY(row->state().selected && !list->child(4)->state().selected);
        QCOMPARE(list->child(0)->text(QAccessible::Name), u"A␀B"_s);
        grid.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
        QCOMPARE(list->focusChild(), list->child(1));
        QCOMPARE(list->childAt(row->rect().center().x(), row->rect().center().y()), row);
        grid.clearRows();
        QVERIFY(!list->child(3));
        grid.setRow(0); // empty grid: there is no row 0
        QCOMPARE(seen, (QList<int>{1, -1}));
        QCOMPARE(grid.RowSel(), -1);
    }

    void showCellScrollsRowIntoView_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("plain") << false;
        QTest::newRow("word wrap") << true;
    }

    // Of requests in a row, the later of two below wins; one above scrolls at once, one shown not.
    void showCellScrollsRowIntoView()
    {
        QFETCH(bool, wrap);
        ShownGrid grid(1000);
        grid.setWordWrap(wrap);
        grid.ShowCell(600, 0);
        grid.ShowCell(900, 0);
        const int top = 900 - grid.verticalScrollBar()->pageStep() + 1;
        QTRY_COMPARE(grid.verticalScrollBar()->value(), top);
        grid.ShowCell(899, 0);
        QCOMPARE(grid.topRow(), top);
        grid.ShowCell(950, 0);
        grid.ShowCell(500, 0);
        QCOMPARE(grid.topRow(), 500);
        QTRY_COMPARE(grid.verticalScrollBar()->value(), 500);
        grid.ShowCell(999, 0);
        QTRY_COMPARE(grid.verticalScrollBar()->value(), grid.verticalScrollBar()->maximum());
        const int endTop = grid.topRow();
        grid.resize(400, 600); // grown at its end, it shows earlier lines, not empty rows below
        QTRY_VERIFY(grid.topRow() < endTop);
        QCOMPARE(grid.topRow(), 1000 - grid.verticalScrollBar()->pageStep());
    }

    void wordWrapGrowsRows()
    {
        ShownGrid grid(50, QString(2000, u'w'));
        const int plainPage = grid.verticalScrollBar()->pageStep();
        grid.setWordWrap(true);
        QVERIFY(grid.verticalScrollBar()->pageStep() < plainPage);
    }

    // Highlighted rows are painted in their rule's colour over the palette's base, light or
    // dark; a marked row shows a marker in a margin that is there only while marks are.
    void highlightsAndMarksAsPainted_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QColor>("text");
        QTest::newRow("light") << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("dark") << QColor(0x2a2a2a) << QColor(Qt::white);
    }
    void highlightsAndMarksAsPainted()
    {
        QFETCH(QColor, base);
        QFETCH(QColor, text);
        ShownGrid grid(0);
        QPalette palette = grid.palette();
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Text, text);
        grid.setPalette(palette);
        // Lines, "*" before an entry's first one.
        const auto fill = [&grid](const QString &lines) {
            for (const QString &line : lines.split(u'/')) {
                grid.AddItem(line.sliced(line.startsWith(u'*')));
                if (line.startsWith(u'*'))
                    grid.markStoredEntry(grid.Rows() - 1);
            }
            grid.Refresh();
        };
        fill(u"*[A] Get/find me/*[B] Put/GetTag RC=7/tail/*[C] Get"_s);
        grid.setHighlightRules(rulesOf(u"FIND::Blue;GetTag RC=:ze:Red"_s));
        QCOMPARE(grid.viewportMargins().left(), 0);
        const auto colourAt = [&grid](int row) {
            const QImage image = grid.viewport()->grab().toImage();
            return image.pixelColor(image.width() - 4, grid.rowRect(row).center().y());
        };
        const QStringList expected = u"- Blue Red Red Red -"_s.split(u' ');
        for (int row = 0; row < grid.Rows(); ++row) {
            const int colour = HighlightPalette::find(expected[row]);
            QCOMPARE(colourAt(row),
                     expected[row] == u"-"
                         ? base
                         : QColor::fromRgb(HighlightPalette::tint(colour, base.rgb() & 0xFFFFFF)));
        }

        grid.toggleMark(3);
        grid.Refresh();
        QWidget *gutter = grid.findChild<QWidget *>(u"gutter"_s);
        QVERIFY(gutter && gutter->isVisible());
        const QImage margin = gutter->grab().toImage();
        const int middle = grid.viewportMargins().left() / 2;
        const QColor marker = grid.palette().color(QPalette::Highlight);
        QCOMPARE(margin.pixelColor(middle, grid.rowRect(3).center().y()), marker);
        QVERIFY(margin.pixelColor(middle, grid.rowRect(2).center().y()) != marker);
        QCOMPARE(
            QAccessible::queryAccessibleInterface(&grid)->child(3)->text(QAccessible::Description),
            u"marked, GetTag RC= not 0"_s);

        grid.clearMarks();
        QCOMPARE(grid.viewportMargins().left(), 0);
        // After a clear, a new entry at the same rows is judged afresh.
        grid.clearRows();
        fill(u"*[D] Get/x/*[E] Get/y/z"_s);
        QCOMPARE(colourAt(3), base);
    }
};

QTEST_MAIN(tst_DisplayGrid)
#include "tst_DisplayGrid.moc"
