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
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

QString fields(int count)
{
    QString buffer;
    for (int i = 0; i < count; ++i)
        buffer += u"F%1"_s.arg(i) + QChar(0);
    return buffer;
}

// Entries starting at rows 0, 5 and 9 of a 12-row grid.
void threeEntries(frmMain &window)
{
    window.FormatSendBuffer(u"A"_s, u"One"_s, fields(4));
    window.FormatSendBuffer(u"A"_s, u"Two"_s, fields(3));
    window.FormatSendBuffer(u"A"_s, u"Three"_s, fields(2));
}

// "row previous current next FUDL", where FUDL tells which of First, Up, Down and Last are
// enabled.
QString state(const frmMain &window)
{
    QString tools;
    for (const char *name : {"tbrFirst", "tbrUp", "tbrDown", "tbrLast"})
        tools += window.Tool(QLatin1String(name))->isEnabled() ? u'1' : u'0';
    return QString::asprintf("%d %d %d %d ", window.vsf()->Row(), window.PreviousEntryRow,
                             window.CurrentEntryRow, window.NextEntryRow) +
           tools;
}

} // namespace

class tst_Commands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Preferences().setDisplayHeader(false); }

    void navigation_data()
    {
        // 3: entries at 0, 5, 9 of 12; 1: one entry of 3 rows; 0: a reply of two rows, then an
        // entry of two.
        QTest::addColumn<int>("setup");
        // A row number clicks it, "new" adds a one-line entry, anything else is a tool name.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("state"); // afterwards
        const auto row = [](const char *name, int setup, const char *steps, const char *state) {
            QTest::newRow(name) << setup << QString::fromLatin1(steps)
                                << QString::fromLatin1(state);
        };
        row("click inside the middle entry", 3, "7", "7 0 5 9 1111");
        row("up inside an entry returns to its first row", 3, "7 Up", "5 0 5 9 1111");
        row("up again goes to the previous entry", 3, "7 Up Up", "0 -1 0 5 0011");
        row("last", 3, "2 Last", "9 5 9 -1 1100");
        row("first looks ahead from row 1", 3, "First", "0 -1 0 5 0011");
        row("down from the first entry", 3, "First Down", "5 0 5 9 1111");
        row("inside the last entry, below its first row", 3, "11", "11 5 9 -1 1100");
        row("single entry, cursor on its last row", 1, "2", "2 -1 0 -1 1100");
        row("single entry: first finds nothing ahead", 1, "2 First", "0 -1 0 -1 0000");
        row("click above the first entry keeps the entry", 0, "0", "0 -1 2 -1 0000");
        row("new entry while browsing an older one", 3, "2 new", "12 0 12 -1 1100");
        row("a click afterwards makes the rows exact", 3, "2 new 12", "12 9 12 -1 1100");
        row("clear", 3, "Clear", "-1 -1 -1 -1 0000");
        row("an unknown tool only updates the state", 3, "Nothing", "9 5 9 -1 1100");
    }

    void navigation()
    {
        QFETCH(int, setup);
        QFETCH(QString, steps);
        QFETCH(QString, state);
        frmMain window;
        if (setup == 3)
            threeEntries(window);
        if (setup == 0)
            window.FormatReceiveBuffer(u"H\0RC=0\0[DATA]\0AB\0"_s);
        if (setup != 3)
            window.FormatSendBuffer(u"A"_s, u"Only"_s, fields(setup == 1 ? 2 : 1));
        for (const QString &step : steps.split(u' ')) {
            bool isRow = false;
            const int row = step.toInt(&isRow);
            if (isRow)
                window.vsf()->setRow(row); // a click, as the grid reports it
            else if (step == u"new"_s)
                window.FormatText(u"B"_s, u"new"_s);
            else
                window.ToolClick(u"tbr"_s + step);
            QVERIFY(!window.IsNavigating);
        }
        QCOMPARE(::state(window), state);
    }

    void commandState()
    {
        frmMain window;
        const auto lineCommandsEnabled = [&] {
            QList<bool> flags;
            for (const char *name :
                 {"Clear", "Copy", "Save", "Find", "SaveAll", "SaveCurrent", "SaveSelection"})
                flags << window.Tool(u"tbr"_s + QLatin1String(name))->isEnabled();
            for (QAction *item : {window.mnuCopySelected, window.mnuCopyCurrent, window.mnuCopyAll,
                                  window.mnuSaveSelected, window.mnuSaveCurrent, window.mnuSaveAll})
                flags << item->isEnabled();
            return flags;
        };
        // Before any update nothing but Settings and Help can be used.
        QCOMPARE(lineCommandsEnabled(), QList<bool>(13, false));
        QVERIFY(state(window).endsWith(u" 0000"_s));
        QVERIFY(window.Tool(u"tbrSettings"_s)->isEnabled());
        QVERIFY(window.Tool(u"tbrHelp"_s)->isEnabled());
        window.UpdateCommandState();
        QCOMPARE(lineCommandsEnabled(), QList<bool>(13, false));

        window.FormatSendBuffer(u"A"_s, u"Only"_s, fields(2));
        QCOMPARE(lineCommandsEnabled(), QList<bool>(13, true));
        QCOMPARE(state(window), u"0 -1 0 -1 0000"_s);
        window.vsf()->setRow(1);
        QCOMPARE(state(window), u"1 -1 0 -1 1100"_s);

        window.ToolClick(u"tbrClear"_s);
        QCOMPARE(window.vsf()->Rows(), 0);
        QCOMPARE(lineCommandsEnabled(), QList<bool>(13, false));
        QVERIFY(window.Tool(u"tbrSettings"_s)->isEnabled());
    }

    void lineRanges_data()
    {
        using L = QList<int>;
        QTest::addColumn<int>("scope");
        QTest::addColumn<L>("grid");  // rows, row, rowSel, current entry, next entry
        QTest::addColumn<L>("range"); // first, last; empty when none
        QTest::newRow("selection, row below rowSel") << 0 << L{12, 7, 3, 5, 9} << L{3, 7};
        QTest::newRow("selection of one row") << 0 << L{12, 4, 4, 0, -1} << L{4, 4};
        QTest::newRow("selection, no current row") << 0 << L{12, -1, -1, 0, -1} << L{};
        QTest::newRow("current entry up to the next") << 1 << L{12, 6, 6, 5, 9} << L{5, 8};
        QTest::newRow("current entry to the end") << 1 << L{12, 6, 6, 5, -1} << L{5, 11};
        QTest::newRow("no current entry") << 1 << L{12, 6, 6, -1, -1} << L{};
        QTest::newRow("all") << 2 << L{12, 6, 6, 5, 9} << L{0, 11};
        QTest::newRow("all of nothing") << 2 << L{0, -1, -1, -1, -1} << L{};
        QTest::newRow("no such scope") << 3 << L{12, 6, 6, 5, 9} << L{};
    }

    void lineRanges()
    {
        QFETCH(int, scope);
        QFETCH(QList<int>, grid);
        QFETCH(QList<int>, range);
        LineText::Range found{-7, -7};
        const bool valid =
            LineText::GetLineRange(scope, {grid[0], 0, grid[1], grid[2], grid[3], grid[4]}, found);
        QCOMPARE(valid, !range.isEmpty());
        QCOMPARE((QList<int>{found.first, found.last}), (valid ? range : QList<int>{-7, -7}));
    }

    void needsUnicode_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("unicode");
        QTest::newRow("latin-1 accent") << QStringList{u"a"_s, u"é"_s, u"ÿ"_s} << false;
        QTest::newRow("euro anywhere") << QStringList{u"é"_s, u"5€"_s} << true;
        QTest::newRow("separator") << QStringList{u"a\0b"_s} << true;
        QTest::newRow("empty lines") << QStringList{QString(), QString()} << false;
    }

    void needsUnicode()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, unicode);
        DisplayGrid grid;
        for (const QString &line : lines)
            grid.AddItem(line);
        QCOMPARE(LineText::RangeNeedsUnicode(grid, 0, grid.Rows() - 1), unicode);
        QCOMPARE(LineText::BuildLinesText(grid, 0, grid.Rows() - 1),
                 lines.join(u"\r\n"_s) + u"\r\n"_s);
    }

    void copyAndKeys()
    {
        frmMain window;
        window.show();
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText(u"before"_s);
        // With no lines the commands are off: Ctrl+C leaves the clipboard alone.
        window.UpdateCommandState();
        QTest::keyClick(window.vsf(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), u"before"_s);

        window.FormatSendBuffer(u"A"_s, u"Get"_s, fields(2));
        window.FormatText(u"B"_s, u"note"_s);
        const QString entry = u"[A]  Get Request\r\n       PutTag F0\r\n              F1\r\n"_s;
        window.CopyLinesToClipboard(2);
        QCOMPARE(clipboard->text(), entry + u"[B]  note\r\n"_s);
        window.vsf()->setRow(1);
        QTest::keyClick(window.vsf(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(window.vsf(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(clipboard->text(), u"       PutTag F0\r\n              F1\r\n"_s);
        window.CopyLinesToClipboard(1);
        QCOMPARE(clipboard->text(), entry);
    }

    void rightClickMenu()
    {
        frmMain window;
        window.show();
        Q_EMIT window.vsf()->MouseUp(3, 0, 0, 0); // both buttons
        QVERIFY(!window.mnuPopup->isVisible());
        Q_EMIT window.vsf()->MouseUp(2, 1, 0, 0);
        QTRY_VERIFY(window.mnuPopup->isVisible());
        window.mnuPopup->hide();
    }

    void defaultSaveTool()
    {
        frmMain window;
        const auto checked = [&] {
            QString marks;
            for (const QString &name :
                 {u"tbrSaveAll"_s, u"tbrSaveCurrent"_s, u"tbrSaveSelection"_s})
                marks += window.Tool(name)->isChecked() ? u'x' : u'-';
            return marks;
        };
        QCOMPARE(checked(), u"--x"_s); // SaveText 0 from the default settings
        window.MarkDefaultSaveTool(1);
        QCOMPARE(checked(), u"-x-"_s);
        window.MarkDefaultSaveTool(7);
        QCOMPARE(checked(), u"-x-"_s);
        // Choosing an entry of the drop-down runs it; the mark stays where the setting put it.
        window.FormatText(u"A"_s, u"x"_s);
        QTimer::singleShot(0, [] { // cancel the file dialog the save opens
            if (QWidget *dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        window.Tool(u"tbrSaveAll"_s)->trigger();
        QCOMPARE(checked(), u"-x-"_s);
    }

    // Ctrl+F, F3 and Shift+F3 act only while Find is enabled; a hit moves the current row, and
    // the entry rows and tools follow it as they follow a click.
    void findKeys()
    {
        frmMain window;
        window.show();
        window.UpdateCommandState();
        Finder().SetFindOptions(u"F1"_s, false, true, 1);
        QTest::keyClick(window.vsf(), Qt::Key_F3);
        QTest::keyClick(window.vsf(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!loadedFindDialog()); // no lines: Find is off

        threeEntries(window);
        window.vsf()->setRow(0);
        Finder().LastFoundRow = 0;
        QTest::keyClick(window.vsf(), Qt::Key_F3);
        QCOMPARE(state(window), u"2 -1 0 5 1111"_s); // "F1" in the first entry
        QTest::keyClick(window.vsf(), Qt::Key_F3);
        QCOMPARE(state(window), u"7 0 5 9 1111"_s); // in the second entry
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

    void closingTheWindowClosesFindAndHelp()
    {
        writeSettingsFile(QString());
        auto window = std::make_unique<frmMain>();
        window->show();
        window->FormatText(u"A"_s, u"x"_s);
        window->ToolClick(u"tbrFind"_s);
        window->ToolClick(u"tbrHelp"_s);
        window->ToolClick(u"tbrHelp"_s); // the same window again
        QVERIFY(loadedFindDialog());
        QVERIFY(loadedHelpWindow());
        window->close();
        QVERIFY(!loadedFindDialog());
        QVERIFY(!loadedHelpWindow());
        const QString saved = readSettingsFile();
        for (const QString &form : {u"frmFind"_s, u"frmHelp"_s, u"frmMain"_s})
            QVERIFY(saved.contains(form + u"FormTop="_s));
    }
};

QTEST_MAIN(tst_Commands)
#include "tst_Commands.moc"
