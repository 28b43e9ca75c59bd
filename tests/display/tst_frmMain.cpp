// The main window's formatting, entry navigation, commands, copy, keys and menus, and the Help
// window it opens.
#include "DialogDriver.h"
#include "SettingsFile.h"
#include "app/modMain.h"
#include "display/DisplayGrid.h"
#include "display/LineText.h"
#include "display/frmMain.h"
#include "find/ClassFind.h"
#include "find/frmFind.h"
#include "help/frmHelp.h"
#include "preferences/ClassPreferences.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

// Texts written as in the worked examples: ␀ for the separator, ⇥ for the indent.
QString text(const char *utf8)
{
    return QString::fromUtf8(utf8)
        .replace(QChar(0x2400), QChar(0))
        .replace(QChar(0x21E5), u"       "_s);
}

// "S:app|request|buffer", "R:buffer" or "T:app|text": a traced call made on the window.
std::optional<HelixError> format(frmMain &window, const QString &call)
{
    const QStringList part = call.mid(2).split(u'|');
    if (call[0] == u'S')
        window.FormatSendBuffer(part[0], part[1], part[2]);
    else if (call[0] == u'T')
        window.FormatText(part[0], part[1]);
    else
        return window.FormatReceiveBuffer(part[0]);
    return std::nullopt;
}

// Entries starting at rows 0, 5 and 9 of a 12-row grid.
void threeEntries(frmMain &window)
{
    for (const char *fields : {"F0␀F1␀F2␀F3␀", "F0␀F1␀F2␀", "F0␀F1␀"})
        window.FormatSendBuffer(u"A"_s, u"Get"_s, text(fields));
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

frmHelp *openHelp()
{
    showHelpWindow();
    return loadedHelpWindow();
}

} // namespace

class tst_frmMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { writeSettingsFile(QString()); }
    void init() { Preferences().setDisplayHeader(false); }

    // The cutter's own edge cases are in its fuzz corpus; each row here makes other lines.
    void formats_data()
    {
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("lines"); // "first|second|..."
        // The rows that start an entry, marked with row data 1 and bold. The last of them
        // becomes current, the one before it previous, and there is no next.
        QTest::addColumn<QList<int>>("entries");
        QTest::addColumn<bool>("lastFails");
        const auto row = [](const char *name, std::initializer_list<const char *> calls,
                            bool header, const char *lines, const QList<int> &entries,
                            bool lastFails = false) {
            QStringList written;
            for (const char *call : calls)
                written << text(call);
            QTest::newRow(name) << written << header << text(lines) << entries << lastFails;
        };
        row("request with header",
            {"S:Client A|Lookup|[HEADER]␀V=1␀ID=7␀[DATA]␀ITEM␀A=1␀␀B=xy␀tail"}, true,
            "[Client A]  Lookup Request|⇥[HEADER] V=1 ID=7 |⇥PutTag ITEM|⇥⇥A=1|⇥⇥B=xy", {0});
        row("request with header hidden", {"S:A|Lookup|[HEADER]␀V=1␀[DATA]␀ITEM␀A=1␀␀B=xy␀tail"},
            false, "[A]  Lookup Request|⇥PutTag ITEM|⇥⇥A=1|⇥⇥B=xy", {0});
        row("request without header is all data", {"S:A|Count|ITEM␀A=1␀"}, true,
            "[A]  Count Request|⇥PutTag ITEM|⇥⇥A=1", {0});
        row("header without [DATA] is all header", {"S:A|Ping|[HEADER]␀V=1␀"}, true,
            "[A]  Ping Request|⇥[HEADER] V=1 ", {0});
        row("empty header section", {"S:A|Ping|[HEADER]␀[DATA]␀X␀"}, true,
            "[A]  Ping Request|⇥[HEADER] |⇥PutTag X", {0});
        row("empty buffer", {"S:A|Ping|"}, true, "[A]  Ping Request", {0});
        row("leading empty fields keep the PutTag label", {"S:A|Get|␀␀A␀B␀"}, false,
            "[A]  Get Request|⇥PutTag A|⇥⇥B", {0});
        row("markers are case-sensitive in requests", {"S:A|Get|[header]␀V=1␀[Data]␀X␀"}, true,
            "[A]  Get Request|⇥PutTag [header]|⇥⇥V=1|⇥⇥[Data]|⇥⇥X", {0});
        row("reply joins the entry, one-character fields hidden",
            {"S:A|Ping|", "R:[HEADER]␀V=1␀RC=0␀[DATA]␀A=1␀Z␀NAME=Smith␀"}, true,
            "[A]  Ping Request|⇥[HEADER] V=1 |⇥GetTag RC=0|⇥⇥A=1|⇥⇥NAME=Smith", {0});
        row("reply header hidden", {"R:[HEADER]␀V=1␀RC=0␀[DATA]␀A=1␀"}, false, "⇥GetTag RC=0|⇥⇥A=1",
            {});
        row("reply without a separator before RC= adds nothing",
            {"R:RC=0␀[DATA]␀A=1␀", "R:V=1␀A=1␀"}, true, "", {});
        row("rc= in lower case is no return code", {"R:H␀rc=0␀[DATA]␀A=1␀"}, true, "", {});
        row("unclosed return code fails after the header line", {"R:[HEADER]␀V=1␀RC=0"}, true,
            "⇥[HEADER] V=1 ", {}, true);
        row("note text is not interpreted, even without an application name", {"T:|x␀y\r\nz"}, true,
            "[]  x␀y\r\nz", {0});
        row("entries follow each other",
            {"T:A|<Connecting>", "S:A|Get|X␀", "R:H␀RC=0␀[DATA]␀AB␀", "S:B|Put|"}, false,
            "[A]  <Connecting>|[A]  Get Request|⇥PutTag X|⇥GetTag RC=0|⇥⇥AB|[B]  Put Request",
            {0, 1, 5});
    }

    void formats()
    {
        QFETCH(QStringList, calls);
        QFETCH(bool, header);
        QFETCH(QString, lines);
        QFETCH(QList<int>, entries);
        QFETCH(bool, lastFails);
        Preferences().setDisplayHeader(header);
        frmMain window;
        std::optional<HelixError> failure;
        for (const QString &call : calls)
            failure = format(window, call);
        const DisplayGrid *grid = window.vsf();
        QStringList shown;
        for (int r = 0; r < grid->Rows(); ++r) {
            shown << grid->TextMatrix(r, 0);
            QCOMPARE(grid->RowData(r) == 1, entries.contains(r));
            QCOMPARE(grid->CellFontBold(r), entries.contains(r));
        }
        QCOMPARE(shown.join(u'|'), lines);
        const int current = entries.isEmpty() ? -1 : entries.last();
        const int previous = entries.size() < 2 ? -1 : entries[entries.size() - 2];
        QCOMPARE(grid->Row(), current);
        QCOMPARE((QList<int>{window.PreviousEntryRow, window.CurrentEntryRow, window.NextEntryRow}),
                 (QList<int>{previous, current, -1}));
        QCOMPARE(failure.has_value(), lastFails);
        if (failure)
            QCOMPARE(failure->message(), u"5: Invalid procedure call or argument"_s);
        QVERIFY(grid->Redraw() != 0);
        QVERIFY(!window.IsNavigating);
    }

    // The indent is as wide as "GetTag " in the display font: seven spaces in a fixed-pitch
    // font, more in a proportional one, where a space is narrow. Lines already shown keep theirs.
    void indentFollowsTheFont()
    {
        Preferences().setFontName(u"Courier New"_s);
        Preferences().setFontSize(10);
        frmMain window;
        QCOMPARE(window.ContinuationIndent, u"       "_s);
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"X\0"_s);

        Preferences().setFontName(u"Liberation Sans"_s);
        window.ApplyPreferences();
        const QString indent = window.ContinuationIndent;
        QVERIFY(indent.size() > 7);
        QCOMPARE(indent.count(u' '), indent.size());
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"Y\0"_s);
        QCOMPARE(window.vsf()->TextMatrix(1, 0), u"       PutTag X"_s);
        QCOMPARE(window.vsf()->TextMatrix(3, 0), indent + u"PutTag Y"_s);
        QCOMPARE(window.vsf()->FontName(), u"Liberation Sans"_s);
        Preferences().setFontName(u"Courier New"_s);
        Preferences().setFontSize(8);
    }

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
        // Up inside an entry moves the row only: the entry rows shown are those the click set.
        row("up inside an entry returns to its first row", 3, "7 Up", "5 0 5 9 1111");
        row("up again goes to the previous entry", 3, "7 Up Up", "0 -1 0 5 0011");
        row("last", 3, "2 Last", "9 5 9 -1 1100");
        row("up from an entry's first row finds the one before", 3, "Last Up", "5 0 5 9 1111");
        row("first looks ahead from row 1", 3, "First", "0 -1 0 5 0011");
        row("down from the first entry", 3, "First Down", "5 0 5 9 1111");
        row("inside the last entry, below its first row", 3, "11", "11 5 9 -1 1100");
        row("single entry, cursor on its last row", 1, "2", "2 -1 0 -1 1100");
        row("single entry: first finds nothing ahead", 1, "2 First", "0 -1 0 -1 0000");
        row("click above the first entry keeps the entry", 0, "0", "0 -1 2 -1 0000");
        row("new entry while browsing an older one", 3, "2 new", "12 0 12 -1 1100");
        row("a click afterwards makes the rows exact", 3, "2 new 12", "12 9 12 -1 1100");
        row("down onto an entry right before another", 1, "new new First Down", "3 0 3 4 1111");
        row("clear", 3, "Clear", "-1 -1 -1 -1 0000");
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
            window.FormatSendBuffer(u"A"_s, u"Get"_s, text(setup == 1 ? "F0␀F1␀" : "F0␀"));
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
        // Clear, Copy, Save, Find, the three save tools and the six menu items.
        const auto lineCommands = [&] {
            QString flags;
            for (const char *name :
                 {"Clear", "Copy", "Save", "Find", "SaveAll", "SaveCurrent", "SaveSelection"})
                flags += window.Tool(u"tbr"_s + QLatin1String(name))->isEnabled() ? u'1' : u'0';
            for (QAction *item : {window.mnuCopySelected, window.mnuCopyCurrent, window.mnuCopyAll,
                                  window.mnuSaveSelected, window.mnuSaveCurrent, window.mnuSaveAll})
                flags += item->isEnabled() ? u'1' : u'0';
            return flags;
        };
        // Before any update nothing but Settings and Help can be used.
        QCOMPARE(lineCommands(), QString(13, u'0'));
        QVERIFY(state(window).endsWith(u" 0000"_s));
        QVERIFY(window.Tool(u"tbrSettings"_s)->isEnabled() &&
                window.Tool(u"tbrHelp"_s)->isEnabled());
        window.FormatSendBuffer(u"A"_s, u"Get"_s, text("F0␀F1␀"));
        QCOMPARE(lineCommands(), QString(13, u'1'));
        window.ToolClick(u"tbrClear"_s);
        QCOMPARE(window.vsf()->Rows(), 0);
        QCOMPARE(lineCommands(), QString(13, u'0'));
    }

    void lineRanges_data()
    {
        using L = QList<int>;
        QTest::addColumn<int>("scope");
        QTest::addColumn<L>("grid");  // rows, row, rowSel, current entry, next entry
        QTest::addColumn<L>("range"); // first, last; empty when none
        QTest::newRow("selection, row below rowSel") << 0 << L{12, 7, 3, 5, 9} << L{3, 7};
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

    void copyKeysAndMenu()
    {
        frmMain window;
        window.show();
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText(u"before"_s);
        // With no lines the commands are off: Ctrl+C leaves the clipboard alone.
        window.UpdateCommandState();
        QTest::keyClick(window.vsf(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), u"before"_s);

        window.FormatSendBuffer(u"A"_s, u"Get"_s, text("F0␀F1␀"));
        window.FormatText(u"B"_s, u"note"_s);
        window.vsf()->setRow(1);
        QTest::keyClick(window.vsf(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(window.vsf(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(clipboard->text(), u"       PutTag F0\r\n              F1\r\n"_s);
        window.CopyLinesToClipboard(1);
        QCOMPARE(clipboard->text(),
                 u"[A]  Get Request\r\n       PutTag F0\r\n              F1\r\n"_s);
    }

    // SaveText marks one of the save tools; choosing another from the drop-down runs it but
    // leaves the mark where the setting put it.
    void defaultSaveTool()
    {
        frmMain window;
        const auto checked = [&] {
            QString marks;
            for (const char *name : {"tbrSaveAll", "tbrSaveCurrent", "tbrSaveSelection"})
                marks += window.Tool(QLatin1String(name))->isChecked() ? u'x' : u'-';
            return marks;
        };
        QCOMPARE(checked(), u"--x"_s); // SaveText 0 from the default settings
        window.MarkDefaultSaveTool(1);
        window.MarkDefaultSaveTool(7);
        QCOMPARE(checked(), u"-x-"_s);
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
        QTest::keyClick(window.vsf(), Qt::Key_F3, Qt::ControlModifier); // Ctrl+F3 is nothing
        QCOMPARE(window.vsf()->Row(), 2);
        QTest::keyClick(window.vsf(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(loadedFindDialog());
        closeNow({loadedHelpWindow(), loadedFindDialog()});
    }

    void closingTheWindowClosesFindAndHelp()
    {
        writeSettingsFile(QString());
        frmMain *window = &MainWindow();
        window->show();
        window->FormatText(u"A"_s, u"x"_s);
        window->ToolClick(u"tbrFind"_s);
        window->ToolClick(u"tbrHelp"_s);
        QVERIFY(loadedFindDialog());
        QVERIFY(loadedHelpWindow());
        window->close();
        QVERIFY(!loadedFindDialog());
        QVERIFY(!loadedHelpWindow());
        const QString saved = readSettingsFile();
        for (const QString &form : {u"frmFind"_s, u"frmHelp"_s, u"frmMain"_s})
            QVERIFY(saved.contains(form + u"FormTop="_s));
    }

    // Help opens once, with every tool's icon also without an icon theme.
    void helpOpensOnceWithEveryIcon()
    {
        frmHelp *help = openHelp();
        QVERIFY(help);
        for (QLabel *image : help->img)
            QVERIFY(!image->pixmap().isNull());
        QCOMPARE(openHelp(), help);
        closeNow({loadedHelpWindow(), loadedFindDialog()});
        QVERIFY(!loadedHelpWindow());
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
