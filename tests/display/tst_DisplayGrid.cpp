#include "DisplayGrid.h"
#include "KeyCodes.h"
#include "VisibleText.h"

#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// A grid of `rows` lines "line 0", "line 1", ... shown in a window of its own.
struct ShownGrid {
    DisplayGrid grid;
    explicit ShownGrid(int rows)
    {
        grid.resize(400, 300);
        for (int i = 0; i < rows; ++i)
            grid.AddItem(QStringLiteral("line %1").arg(i));
        grid.show();
        grid.setFocus();
    }
    QPoint pointOfRow(int row) const { return grid.rowRect(row).center(); }
    int pageRows() const { return grid.verticalScrollBar()->pageStep(); }
};

} // namespace

class tst_DisplayGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowWriteNotifiesSynchronously();
    void outOfRangeRowIsIgnored();
    void clearingRemovesEveryRow();
    void keyboardSelection_data();
    void keyboardSelection();
    void mouseSelection();
    void keyDownReportsVirtualKeys_data();
    void keyDownReportsVirtualKeys();
    void mouseUpReportsButtons();
    void showCellScrollsRowIntoView_data();
    void showCellScrollsRowIntoView();
    void visibleText_data();
    void visibleText();
    void wordWrapGrowsRows();
    void screenReadersSeeRows();
};

void tst_DisplayGrid::rowWriteNotifiesSynchronously()
{
    DisplayGrid grid;
    for (int i = 0; i < 5; ++i)
        grid.AddItem(u"x");
    QList<int> seen;
    connect(&grid, &DisplayGrid::RowColChange, this, [&] { seen << grid.Row(); });
    grid.setRow(3);
    QCOMPARE(seen, QList<int>{3}); // raised inside the write, with the new row in place
    grid.setRow(3);
    QCOMPARE(seen, (QList<int>{3, 3})); // a write of the same row is reported too
    QCOMPARE(grid.RowSel(), 3);
}

void tst_DisplayGrid::outOfRangeRowIsIgnored()
{
    DisplayGrid grid;
    QSignalSpy changes(&grid, &DisplayGrid::RowColChange);
    grid.setRow(0); // empty grid: there is no row 0
    grid.AddItem(u"x");
    grid.setRow(1);
    grid.setRow(-1);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(grid.Row(), -1);
    QCOMPARE(grid.TextMatrix(1, 0), QString());
    QCOMPARE(grid.TextMatrix(0, 1), QString());
}

void tst_DisplayGrid::clearingRemovesEveryRow()
{
    DisplayGrid grid;
    for (int i = 0; i < 10; ++i)
        grid.AddItem(u"x");
    grid.setRowData(4, 1);
    grid.setCellFontBold(4, true);
    grid.setRow(4);
    QSignalSpy changes(&grid, &DisplayGrid::RowColChange);
    grid.clearRows();
    QCOMPARE(grid.Rows(), 0);
    QCOMPARE(grid.Row(), -1);
    QCOMPARE(grid.RowSel(), -1);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(grid.FindRow(1, 0), -1);
    grid.AddItem(u"y");
    QCOMPARE(grid.RowData(0), 0);
    QCOMPARE(grid.CellFontBold(0), false);
}

using Keys = QList<QPair<int, int>>; // Qt key, modifiers

void tst_DisplayGrid::keyboardSelection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("rowSel");
    QTest::addColumn<int>("changes");

    const int shift = Qt::ShiftModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("down moves both ends") << 5 << Keys{{Qt::Key_Down, 0}} << 6 << 6 << 1;
    QTest::newRow("shift+down extends, row stays")
        << 5 << Keys{{Qt::Key_Down, shift}, {Qt::Key_Down, shift}} << 5 << 7 << 0;
    QTest::newRow("shift+up past the anchor")
        << 5 << Keys{{Qt::Key_Up, shift}, {Qt::Key_Up, shift}} << 5 << 3 << 0;
    QTest::newRow("up at the top stays") << 0 << Keys{{Qt::Key_Up, 0}} << 0 << 0 << 1;
    QTest::newRow("ctrl+end") << 5 << Keys{{Qt::Key_End, ctrl}} << 99 << 99 << 1;
    QTest::newRow("ctrl+shift+home selects to the top")
        << 5 << Keys{{Qt::Key_Home, ctrl | shift}} << 5 << 0 << 0;
    QTest::newRow("page down then shift+page up")
        << 0 << Keys{{Qt::Key_PageDown, 0}, {Qt::Key_PageUp, shift}} << -2 << 0 << 1;
    QTest::newRow("ctrl+a selects all rows") << 40 << Keys{{Qt::Key_A, ctrl}} << 0 << 99 << 1;
    // Like a spreadsheet: the plain arrow moves on from the current row, not the far end.
    QTest::newRow("down after extending")
        << 5 << Keys{{Qt::Key_Down, shift}, {Qt::Key_Down, 0}} << 6 << 6 << 1;
}

void tst_DisplayGrid::keyboardSelection()
{
    QFETCH(int, start);
    QFETCH(Keys, keys);
    QFETCH(int, row);
    QFETCH(int, rowSel);
    QFETCH(int, changes);
    ShownGrid shown(100);
    shown.grid.setRow(start);
    QSignalSpy spy(&shown.grid, &DisplayGrid::RowColChange);
    for (const auto &[key, modifiers] : keys)
        QTest::keyClick(&shown.grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // -2 stands for "one page down": the page size depends on the font.
    const int expectedRow = row == -2 ? shown.pageRows() : row;
    QCOMPARE(shown.grid.Row(), expectedRow);
    QCOMPARE(shown.grid.RowSel(), rowSel);
    QCOMPARE(spy.count(), changes);
}

void tst_DisplayGrid::mouseSelection()
{
    ShownGrid shown(50);
    QSignalSpy spy(&shown.grid, &DisplayGrid::RowColChange);
    QTest::mouseClick(shown.grid.viewport(), Qt::LeftButton, {}, shown.pointOfRow(4));
    QCOMPARE(shown.grid.Row(), 4);
    QCOMPARE(shown.grid.RowSel(), 4);
    QTest::mouseClick(shown.grid.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      shown.pointOfRow(9));
    QCOMPARE(shown.grid.Row(), 4);
    QCOMPARE(shown.grid.RowSel(), 9);
    QCOMPARE(spy.count(), 1);
    // A right click leaves the selection alone.
    QTest::mouseClick(shown.grid.viewport(), Qt::RightButton, {}, shown.pointOfRow(2));
    QCOMPARE(shown.grid.Row(), 4);
    QCOMPARE(shown.grid.RowSel(), 9);
    // A click below the last row selects nothing.
    ShownGrid few(2);
    QTest::mouseClick(few.grid.viewport(), Qt::LeftButton, {},
                      few.grid.rowRect(1).bottomLeft() + QPoint(5, 20));
    QCOMPARE(few.grid.Row(), -1);
}

void tst_DisplayGrid::keyDownReportsVirtualKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << int(Qt::ControlModifier) << 67 << 2;
    QTest::newRow("ctrl+shift+f") << int(Qt::Key_F) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << 70 << 3;
    QTest::newRow("f3") << int(Qt::Key_F3) << 0 << 114 << 0;
    QTest::newRow("shift+f3") << int(Qt::Key_F3) << int(Qt::ShiftModifier) << 114 << 1;
    QTest::newRow("alt+f3") << int(Qt::Key_F3) << int(Qt::AltModifier) << 114 << 4;
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 40 << 0;
}

void tst_DisplayGrid::keyDownReportsVirtualKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, keyCode);
    QFETCH(int, shift);
    ShownGrid shown(3);
    QSignalSpy spy(&shown.grid, &DisplayGrid::KeyDown);
    QTest::keyClick(&shown.grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // The modifier keys report their own key downs first (16 Shift, 17 Ctrl, 18 Alt).
    QVERIFY(!spy.isEmpty());
    QCOMPARE(spy.last().at(0).toInt(), keyCode);
    QCOMPARE(spy.last().at(1).toInt(), shift);
}

void tst_DisplayGrid::mouseUpReportsButtons()
{
    ShownGrid shown(3);
    QSignalSpy spy(&shown.grid, &DisplayGrid::MouseUp);
    QTest::mouseClick(shown.grid.viewport(), Qt::RightButton, {}, QPoint(10, 5));
    QTest::mouseClick(shown.grid.viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(10, 5));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 1);
    QCOMPARE(spy.at(1).at(1).toInt(), 2);
}

void tst_DisplayGrid::showCellScrollsRowIntoView_data()
{
    QTest::addColumn<bool>("wrap");
    QTest::newRow("plain") << false;
    QTest::newRow("word wrap") << true;
}

void tst_DisplayGrid::showCellScrollsRowIntoView()
{
    QFETCH(bool, wrap);
    ShownGrid shown(1000);
    shown.grid.setWordWrap(wrap);
    shown.grid.ShowCell(700, 0);
    const int page = shown.pageRows();
    QVERIFY(shown.grid.topRow() <= 700);
    QVERIFY(shown.grid.topRow() + page > 700);
    shown.grid.ShowCell(10, 0);
    QCOMPARE(shown.grid.topRow(), 10);
    // Rows already on screen do not scroll.
    shown.grid.ShowCell(11, 0);
    QCOMPARE(shown.grid.topRow(), 10);
}

void tst_DisplayGrid::visibleText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("painted");
    QTest::newRow("plain") << QStringLiteral("A=1") << QStringLiteral("A=1");
    QTest::newRow("separator") << QString::fromUtf16(u"A\0B", 3) << QStringLiteral("A␀B");
    QTest::newRow("line break") << QStringLiteral("a\r\nb") << QStringLiteral("a␍␊b");
    QTest::newRow("tab and delete") << QStringLiteral("a\tb\x7f") << QStringLiteral("a␉b␡");
    QTest::newRow("wide line") << QStringLiteral("Łódź\n") << QStringLiteral("Łódź␊");
}

void tst_DisplayGrid::visibleText()
{
    QFETCH(QString, stored);
    QFETCH(QString, painted);
    DisplayGrid grid;
    grid.AddItem(stored);
    QCOMPARE(VisibleText::forPainting(grid.line(0)), painted);
    QCOMPARE(grid.TextMatrix(0, 0), stored); // the stored text is untouched
}

void tst_DisplayGrid::wordWrapGrowsRows()
{
    ShownGrid shown(0);
    shown.grid.AddItem(QString(2000, QLatin1Char('w')));
    for (int i = 0; i < 50; ++i)
        shown.grid.AddItem(u"short");
    shown.grid.setWordWrap(false);
    const int plainPage = shown.pageRows();
    shown.grid.setWordWrap(true);
    shown.grid.AutoSize(0);
    // The long first row now takes several lines, so fewer rows fit on the first page.
    QVERIFY(shown.pageRows() < plainPage);
}

void tst_DisplayGrid::screenReadersSeeRows()
{
    ShownGrid shown(20);
    shown.grid.AddItem(QString::fromUtf16(u"A\0B", 3));
    shown.grid.setRow(2);
    QTest::keyClick(&shown.grid, Qt::Key_Down, Qt::ShiftModifier);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&shown.grid);
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->childCount(), 21);
    QAccessibleInterface *row = list->child(3);
    QCOMPARE(row->role(), QAccessible::ListItem);
    QCOMPARE(row->text(QAccessible::Name), QStringLiteral("line 3"));
    QCOMPARE(list->indexOfChild(row), 3);
    QVERIFY(row->state().selected);
    QVERIFY(!list->child(4)->state().selected);
    QCOMPARE(list->child(20)->text(QAccessible::Name), QStringLiteral("A␀B"));
    shown.grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&shown.grid));
    shown.grid.setFocus();
    QCOMPARE(list->focusChild(), list->child(2));
    QCOMPARE(list->childAt(row->rect().center().x(), row->rect().center().y()), row);
    // Rows dropped by a clear are gone for screen readers too.
    shown.grid.clearRows();
    QCOMPARE(list->childCount(), 0);
    QVERIFY(!list->child(3));
}

QTEST_MAIN(tst_DisplayGrid)
#include "tst_DisplayGrid.moc"
