// The main window's wiring: traced calls reach the grid and the entry rows, the tools and keys
// reach their commands, and the indent follows the font. The rules themselves are proved on
// EntryFormatter, EntryNavigation and LineText.
#include "DialogDriver.h"
#include "SettingsFile.h"
#include "display/DisplayGrid.h"
#include "display/GridValues.h"
#include "display/frmMain.h"
#include "find/ClassFind.h"
#include "find/frmFind.h"
#include "help/frmHelp.h"
#include "platform/ProcessWide.h"
#include "preferences/ClassPreferences.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

// Entries starting at rows 0, 5 and 9 of a 12-row grid.
void threeEntries(frmMain &window)
{
    for (const QString &fields : {u"F0\0F1\0F2\0F3\0"_s, u"F0\0F1\0F2\0"_s, u"F0\0F1\0"_s})
        window.FormatSendBuffer(u"A"_s, u"Get"_s, fields);
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

class tst_frmMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { writeSettingsFile(QString()); }
    void init() { resetProcessWide(); }

    // Lines, entry marks and bold reach the grid; the newest entry is current with its
    // rows; a reply whose return code is unclosed fails with the invalid-argument error.
    void callsReachTheGrid()
    {
        Preferences().setDisplayHeader(true);
        frmMain window;
        QVERIFY(!window.FormatReceiveBuffer(u"V=1\0"_s)); // no return code: painting untouched
        QCOMPARE(window.vsf()->Redraw(), flexRDDirect);
        window.FormatText(u"A"_s, u"<Connecting>"_s);
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"[HEADER]\0V\0[DATA]\0X\0"_s);
        QVERIFY(!window.FormatReceiveBuffer(u"H\0RC=0\0[DATA]\0AB\0"_s));
        const std::optional<HelixError> failure = window.FormatReceiveBuffer(u"H\0RC=1"_s);
        QVERIFY(failure);
        QCOMPARE(failure->message(), u"5: Invalid procedure call or argument"_s);
        const DisplayGrid *grid = window.vsf();
        QStringList lines;
        QString marks;
        for (int r = 0; r < grid->Rows(); ++r) {
            lines << grid->TextMatrix(r, 0);
            marks += grid->RowData(r) == 1 && grid->CellFontBold(r) ? u'E' : u'.';
        }
        QCOMPARE(lines,
                 (QStringList{u"[A]  <Connecting>"_s, u"[A]  Get Request"_s,
                              u"       [HEADER] V "_s, u"       PutTag X"_s, u"       H "_s,
                              u"       GetTag RC=0"_s, u"              AB"_s, u"       H "_s}));
        QCOMPARE(marks, u"EE......"_s);
        QCOMPARE(state(window), u"1 0 1 -1 1100"_s);
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
    }

    // The tools reach the navigation and a click reaches the entry rows.
    void navigation_data()
    {
        QTest::addColumn<QString>("steps"); // a row number clicks it, anything else is a tool
        QTest::addColumn<QString>("state");
        QTest::newRow("up inside an entry, then to the previous one")
            << u"7 Up Up"_s << u"0 -1 0 5 0011"_s;
        QTest::newRow("first, down, last") << u"First Down"_s << u"5 0 5 9 1111"_s;
        QTest::newRow("last") << u"2 Last"_s << u"9 5 9 -1 1100"_s;
        QTest::newRow("clear") << u"Clear"_s << u"-1 -1 -1 -1 0000"_s;
    }

    void navigation()
    {
        QFETCH(QString, steps);
        QFETCH(QString, state);
        frmMain window;
        threeEntries(window);
        for (const QString &step : steps.split(u' ')) {
            bool isRow = false;
            const int row = step.toInt(&isRow);
            if (isRow)
                window.vsf()->setRow(row); // a click, as the grid reports it
            else
                window.ToolClick(u"tbr"_s + step);
            QVERIFY(!window.IsNavigating);
        }
        QCOMPARE(::state(window), state);
    }

    // Clear, Copy, Save, Find, the three save tools and the six menu items follow the lines;
    // before any update only Settings and Help can be used.
    void commandState()
    {
        frmMain window;
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
        QCOMPARE(lineCommands(), QString(13, u'0'));
        QVERIFY(state(window).endsWith(u" 0000"_s));
        QVERIFY(window.Tool(u"tbrSettings"_s)->isEnabled() &&
                window.Tool(u"tbrHelp"_s)->isEnabled());
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"F0\0F1\0"_s);
        QCOMPARE(lineCommands(), QString(13, u'1'));
        window.ToolClick(u"tbrClear"_s);
        QCOMPARE(window.vsf()->Rows(), 0);
        QCOMPARE(lineCommands(), QString(13, u'0'));
    }

    // Ctrl+C is off while Copy is; the menu's Copy Current copies the current entry.
    void copyKeyAndMenu()
    {
        frmMain window;
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText(u"before"_s);
        window.UpdateCommandState();
        QTest::keyClick(window.vsf(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), u"before"_s);
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"F0\0"_s);
        window.FormatText(u"B"_s, u"note"_s);
        window.vsf()->setRow(1);
        window.mnuCopyCurrent->trigger();
        QCOMPARE(clipboard->text(), u"[A]  Get Request\r\n       PutTag F0\r\n"_s);
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
        window.MarkDefaultSaveTool(2);
        QCOMPARE(checked(), u"x--"_s);
        window.FormatText(u"A"_s, u"x"_s);
        QTimer::singleShot(0, [] { // cancel the file dialog the save opens
            if (QWidget *dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        window.Tool(u"tbrSaveCurrent"_s)->trigger();
        QCOMPARE(checked(), u"x--"_s);
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
        QTest::keyClick(window.vsf(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(loadedFindDialog());
        closeNow({loadedFindDialog()});
    }

    // Help opens once, with every tool's icon also without an icon theme.
    void helpOpensOnceWithEveryIcon()
    {
        frmMain window;
        window.ToolClick(u"tbrHelp"_s);
        frmHelp *help = loadedHelpWindow();
        QVERIFY(help);
        for (QLabel *image : help->img)
            QVERIFY(!image->pixmap().isNull());
        window.ToolClick(u"tbrHelp"_s);
        QCOMPARE(loadedHelpWindow(), help);
        closeNow({loadedHelpWindow()});
        QVERIFY(!loadedHelpWindow());
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
