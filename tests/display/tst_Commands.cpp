// Entry navigation, the command state, copy and clear, keys and the right-click menu.
#include "ClassFind.h"
#include "ClassPreferences.h"
#include "DisplayGrid.h"
#include "LineText.h"
#include "SettingsFile.h"
#include "frmFind.h"
#include "frmHelp.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

QString fields(int count)
{
    QString buffer;
    for (int i = 0; i < count; ++i)
        buffer += QStringLiteral("F%1").arg(i) + QChar(u'\0');
    return buffer;
}

// Entries starting at rows 0, 5 and 9 of a 12-row grid.
void threeEntries(frmMain &window)
{
    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("One"), fields(4));
    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Two"), fields(3));
    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Three"), fields(2));
}

// A click: the grid moves its current row and reports it, the window not navigating.
void click(frmMain &window, int row)
{
    window.vsf()->setRow(row);
}

QString enabledTools(const frmMain &window)
{
    QString flags;
    for (const char *name : {"tbrFirst", "tbrUp", "tbrDown", "tbrLast"})
        flags +=
            window.Tool(QLatin1String(name))->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return flags;
}

struct Step {
    char kind;    // 'c' click a row, 't' a tool, 'e' a new one-line entry
    QString what; // the row for a click, the tool's name for a tool
};

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class tst_Commands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Preferences().setDisplayHeader(false); }
    void navigation_data();
    void navigation();
    void clickAboveTheFirstEntryKeepsTheEntry();
    void commandState();
    void lineRanges_data();
    void lineRanges();
    void needsUnicode_data();
    void needsUnicode();
    void copyAndKeys();
    void rightClickMenu();
    void defaultSaveTool();
    void findKeys();
    void closingTheWindowClosesFindAndHelp();
};

void tst_Commands::navigation_data()
{
    QTest::addColumn<int>("entries"); // 3: entries at 0, 5, 9 of 12; 1: one entry of 3 rows
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QList<int>>("rows"); // row, previous, current, next after the last step
    QTest::addColumn<QString>("tools");   // First, Up, Down, Last enabled

    QTest::newRow("click inside the middle entry")
        << 3 << QList<Step>{{'c', QStringLiteral("7")}} << QList<int>{7, 0, 5, 9}
        << QStringLiteral("1111");
    QTest::newRow("up inside an entry returns to its first row")
        << 3 << QList<Step>{{'c', QStringLiteral("7")}, {'t', QStringLiteral("tbrUp")}}
        << QList<int>{5, 0, 5, 9} << QStringLiteral("1111");
    QTest::newRow("up again goes to the previous entry")
        << 3
        << QList<Step>{{'c', QStringLiteral("7")},
                       {'t', QStringLiteral("tbrUp")},
                       {'t', QStringLiteral("tbrUp")}}
        << QList<int>{0, -1, 0, 5} << QStringLiteral("0011");
    QTest::newRow("last") << 3
                          << QList<Step>{{'c', QStringLiteral("2")},
                                         {'t', QStringLiteral("tbrLast")}}
                          << QList<int>{9, 5, 9, -1} << QStringLiteral("1100");
    QTest::newRow("first looks ahead from row 1")
        << 3 << QList<Step>{{'t', QStringLiteral("tbrFirst")}} << QList<int>{0, -1, 0, 5}
        << QStringLiteral("0011");
    QTest::newRow("down from the first entry")
        << 3 << QList<Step>{{'t', QStringLiteral("tbrFirst")}, {'t', QStringLiteral("tbrDown")}}
        << QList<int>{5, 0, 5, 9} << QStringLiteral("1111");
    QTest::newRow("inside the last entry, below its first row")
        << 3 << QList<Step>{{'c', QStringLiteral("11")}} << QList<int>{11, 5, 9, -1}
        << QStringLiteral("1100");
    QTest::newRow("single entry, cursor on its last row")
        << 1 << QList<Step>{{'c', QStringLiteral("2")}} << QList<int>{2, -1, 0, -1}
        << QStringLiteral("1100");
    QTest::newRow("single entry: first finds nothing ahead")
        << 1 << QList<Step>{{'c', QStringLiteral("2")}, {'t', QStringLiteral("tbrFirst")}}
        << QList<int>{0, -1, 0, -1} << QStringLiteral("0000");
    QTest::newRow("new entry while browsing an older one")
        << 3 << QList<Step>{{'c', QStringLiteral("2")}, {'e', QString()}}
        << QList<int>{12, 0, 12, -1} << QStringLiteral("1100");
    QTest::newRow("a click afterwards makes the rows exact")
        << 3
        << QList<Step>{{'c', QStringLiteral("2")}, {'e', QString()}, {'c', QStringLiteral("12")}}
        << QList<int>{12, 9, 12, -1} << QStringLiteral("1100");
    QTest::newRow("clear") << 3 << QList<Step>{{'t', QStringLiteral("tbrClear")}}
                           << QList<int>{-1, -1, -1, -1} << QStringLiteral("0000");
    QTest::newRow("an unknown tool only updates the state")
        << 3 << QList<Step>{{'t', QStringLiteral("tbrNothing")}} << QList<int>{9, 5, 9, -1}
        << QStringLiteral("1100");
}

void tst_Commands::navigation()
{
    QFETCH(int, entries);
    QFETCH(QList<Step>, steps);
    QFETCH(QList<int>, rows);
    QFETCH(QString, tools);
    frmMain window;
    if (entries == 3)
        threeEntries(window);
    else
        window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Only"), fields(2));
    for (const Step &step : steps) {
        if (step.kind == 'c')
            click(window, step.what.toInt());
        else if (step.kind == 't')
            window.ToolClick(step.what);
        else
            window.FormatText(QStringLiteral("B"), QStringLiteral("new"));
        QVERIFY(!window.IsNavigating);
    }
    QCOMPARE((QList<int>{window.vsf()->Row(), window.PreviousEntryRow, window.CurrentEntryRow,
                         window.NextEntryRow}),
             rows);
    QCOMPARE(enabledTools(window), tools);
}

void tst_Commands::clickAboveTheFirstEntryKeepsTheEntry()
{
    frmMain window;
    window.FormatReceiveBuffer(QString::fromUtf16(u"H\0RC=0\0[DATA]\0AB\0", 17));
    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Get"), fields(1));
    QCOMPARE(window.CurrentEntryRow, 2);
    click(window, 0);
    QCOMPARE(window.CurrentEntryRow, 2);
    QCOMPARE(window.NextEntryRow, -1);
    QCOMPARE(window.PreviousEntryRow, -1);
}

void tst_Commands::commandState()
{
    frmMain window;
    const QStringList lineTools{QStringLiteral("tbrClear"),        QStringLiteral("tbrCopy"),
                                QStringLiteral("tbrSave"),         QStringLiteral("tbrFind"),
                                QStringLiteral("tbrSaveAll"),      QStringLiteral("tbrSaveCurrent"),
                                QStringLiteral("tbrSaveSelection")};
    const QList<QAction *> items{window.mnuCopySelected, window.mnuCopyCurrent, window.mnuCopyAll,
                                 window.mnuSaveSelected, window.mnuSaveCurrent, window.mnuSaveAll};
    const auto lineCommandsEnabled = [&] {
        QList<bool> flags;
        for (const QString &name : lineTools)
            flags << window.Tool(name)->isEnabled();
        for (QAction *item : items)
            flags << item->isEnabled();
        return flags;
    };
    // Before any update nothing but Settings and Help can be used.
    QCOMPARE(lineCommandsEnabled(), QList<bool>(13, false));
    QCOMPARE(enabledTools(window), QStringLiteral("0000"));
    QVERIFY(window.Tool(QStringLiteral("tbrSettings"))->isEnabled());
    QVERIFY(window.Tool(QStringLiteral("tbrHelp"))->isEnabled());
    window.UpdateCommandState();
    QCOMPARE(lineCommandsEnabled(), QList<bool>(13, false));

    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Only"), fields(2));
    QCOMPARE(lineCommandsEnabled(), QList<bool>(13, true));
    QCOMPARE(enabledTools(window), QStringLiteral("0000"));
    click(window, 1);
    QCOMPARE(enabledTools(window), QStringLiteral("1100"));

    window.ToolClick(QStringLiteral("tbrClear"));
    QCOMPARE(window.vsf()->Rows(), 0);
    QCOMPARE(lineCommandsEnabled(), QList<bool>(13, false));
    QVERIFY(window.Tool(QStringLiteral("tbrSettings"))->isEnabled());
}

using Range = QList<int>;

void tst_Commands::lineRanges_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QList<int>>("grid"); // rows, row, rowSel, current entry, next entry
    QTest::addColumn<Range>("range");     // first, last; empty when none
    QTest::newRow("selection, row below rowSel") << 0 << QList<int>{12, 7, 3, 5, 9} << Range{3, 7};
    QTest::newRow("selection of one row") << 0 << QList<int>{12, 4, 4, 0, -1} << Range{4, 4};
    QTest::newRow("selection, no current row") << 0 << QList<int>{12, -1, -1, 0, -1} << Range{};
    QTest::newRow("current entry up to the next") << 1 << QList<int>{12, 6, 6, 5, 9} << Range{5, 8};
    QTest::newRow("current entry to the end") << 1 << QList<int>{12, 6, 6, 5, -1} << Range{5, 11};
    QTest::newRow("no current entry") << 1 << QList<int>{12, 6, 6, -1, -1} << Range{};
    QTest::newRow("all") << 2 << QList<int>{12, 6, 6, 5, 9} << Range{0, 11};
    QTest::newRow("all of nothing") << 2 << QList<int>{0, -1, -1, -1, -1} << Range{};
    QTest::newRow("no such scope") << 3 << QList<int>{12, 6, 6, 5, 9} << Range{};
}

void tst_Commands::lineRanges()
{
    QFETCH(int, scope);
    QFETCH(QList<int>, grid);
    QFETCH(Range, range);
    const LineText::GridPosition position{grid[0], 0, grid[1], grid[2], grid[3], grid[4]};
    LineText::Range found{-7, -7};
    const bool valid = LineText::GetLineRange(scope, position, found);
    QCOMPARE(valid, !range.isEmpty());
    QCOMPARE((Range{found.first, found.last}), (valid ? range : Range{-7, -7}));
}

void tst_Commands::needsUnicode_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("unicode");
    QTest::newRow("plain") << QStringList{QStringLiteral("a"), QStringLiteral("b")} << false;
    QTest::newRow("latin-1 accent")
        << QStringList{QStringLiteral("é"), QStringLiteral("ÿ")} << false;
    QTest::newRow("euro anywhere")
        << QStringList{QStringLiteral("é"), QStringLiteral("5€")} << true;
    QTest::newRow("separator") << QStringList{QString::fromUtf16(u"a\0b", 3)} << true;
    QTest::newRow("empty lines") << QStringList{QString(), QString()} << false;
}

void tst_Commands::needsUnicode()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, unicode);
    DisplayGrid grid;
    for (const QString &line : lines)
        grid.AddItem(line);
    QCOMPARE(LineText::RangeNeedsUnicode(grid, 0, grid.Rows() - 1), unicode);
    QCOMPARE(LineText::BuildLinesText(grid, 0, grid.Rows() - 1),
             lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void tst_Commands::copyAndKeys()
{
    frmMain window;
    window.show();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    // With no lines the commands are off: Ctrl+C leaves the clipboard alone.
    window.UpdateCommandState();
    QTest::keyClick(window.vsf(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("before"));

    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Get"), fields(2));
    window.FormatText(QStringLiteral("B"), QStringLiteral("note"));
    window.CopyLinesToClipboard(2);
    QCOMPARE(clipboard->text(),
             QStringLiteral("[A]  Get Request\r\n       PutTag F0\r\n              F1\r\n"
                            "[B]  note\r\n"));
    click(window, 1);
    QTest::keyClick(window.vsf(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(window.vsf(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("       PutTag F0\r\n              F1\r\n"));
    window.CopyLinesToClipboard(1);
    QCOMPARE(clipboard->text(),
             QStringLiteral("[A]  Get Request\r\n       PutTag F0\r\n              F1\r\n"));
}

void tst_Commands::rightClickMenu()
{
    frmMain window;
    window.show();
    QCOMPARE(window.mnuCopy->title(), QStringLiteral("Copy"));
    QCOMPARE(window.mnuSaveAll->text(), QStringLiteral("Save &All"));
    Q_EMIT window.vsf()->MouseUp(3, 0, 0, 0); // both buttons
    QVERIFY(!window.mnuPopup->isVisible());
    Q_EMIT window.vsf()->MouseUp(2, 1, 0, 0);
    QTRY_VERIFY(window.mnuPopup->isVisible());
    window.mnuPopup->hide();
}

void tst_Commands::defaultSaveTool()
{
    frmMain window;
    const auto checked = [&] {
        QString marks;
        for (const char *name : {"tbrSaveAll", "tbrSaveCurrent", "tbrSaveSelection"})
            marks +=
                window.Tool(QLatin1String(name))->isChecked() ? QLatin1Char('x') : QLatin1Char('-');
        return marks;
    };
    QCOMPARE(checked(), QStringLiteral("--x")); // SaveText 0 from the default settings
    window.MarkDefaultSaveTool(2);
    QCOMPARE(checked(), QStringLiteral("x--"));
    window.MarkDefaultSaveTool(1);
    QCOMPARE(checked(), QStringLiteral("-x-"));
    window.MarkDefaultSaveTool(7);
    QCOMPARE(checked(), QStringLiteral("-x-"));
    // Choosing an entry of the drop-down runs it; the mark stays where the setting put it.
    window.FormatText(QStringLiteral("A"), QStringLiteral("x"));
    QTimer::singleShot(0, [] { // cancel the file dialog the save opens
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    window.Tool(QStringLiteral("tbrSaveAll"))->trigger();
    QCOMPARE(checked(), QStringLiteral("-x-"));
}

// Ctrl+F, F3 and Shift+F3 act only while Find is enabled; a hit moves the current row, and the
// entry rows and tools follow it as they follow a click.
void tst_Commands::findKeys()
{
    frmMain window;
    window.show();
    window.UpdateCommandState();
    Finder().SetFindOptions(QStringLiteral("F1"), false, true, 1);
    QTest::keyClick(window.vsf(), Qt::Key_F3);
    QTest::keyClick(window.vsf(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!loadedFindDialog()); // no lines: Find is off

    threeEntries(window);
    click(window, 0);
    Finder().LastFoundRow = 0;
    QTest::keyClick(window.vsf(), Qt::Key_F3);
    QCOMPARE(window.vsf()->Row(), 2); // "F1" in the first entry
    QCOMPARE(window.CurrentEntryRow, 0);
    QCOMPARE(window.NextEntryRow, 5);
    QCOMPARE(enabledTools(window), QStringLiteral("1111"));
    QTest::keyClick(window.vsf(), Qt::Key_F3);
    QCOMPARE(window.vsf()->Row(), 7); // in the second entry
    QCOMPARE((QList<int>{window.PreviousEntryRow, window.CurrentEntryRow, window.NextEntryRow}),
             (QList<int>{0, 5, 9}));
    QTest::keyClick(window.vsf(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(window.vsf()->Row(), 2);
    QCOMPARE(Finder().Direction, 0);
    QTest::keyClick(window.vsf(), Qt::Key_F3, Qt::ControlModifier); // Ctrl+F3 is nothing
    QCOMPARE(window.vsf()->Row(), 2);
    QTest::keyClick(window.vsf(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(loadedFindDialog());
    QVERIFY(loadedFindDialog()->opt[0]->isChecked());
    loadedFindDialog()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_Commands::closingTheWindowClosesFindAndHelp()
{
    writeSettingsFile(QString());
    auto *window = new frmMain;
    window->show();
    window->FormatText(QStringLiteral("A"), QStringLiteral("x"));
    window->ToolClick(QStringLiteral("tbrFind"));
    window->ToolClick(QStringLiteral("tbrHelp"));
    window->ToolClick(QStringLiteral("tbrHelp")); // the same window again
    QVERIFY(loadedFindDialog());
    QVERIFY(loadedHelpWindow());
    window->close();
    QVERIFY(!loadedFindDialog());
    QVERIFY(!loadedHelpWindow());
    const QString saved = readSettingsFile();
    QVERIFY(saved.contains(QLatin1String("frmFindFormTop=")));
    QVERIFY(saved.contains(QLatin1String("frmHelpFormTop=")));
    QVERIFY(saved.contains(QLatin1String("frmMainFormTop=")));
    delete window;
}

QTEST_MAIN(tst_Commands)
#include "tst_Commands.moc"
