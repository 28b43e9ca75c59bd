// The main window's wiring: calls reach the grid and the entry rows, tools and keys their
// commands. The rules are proved on EntryFormatter, EntryNavigation and LineText.
#include "DialogDriver.h"
#include "SettingsFile.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "find/ClassFind.h"
#include "find/frmFind.h"
#include "help/frmHelp.h"
#include "platform/ProcessWide.h"
#include "preferences/ClassPreferences.h"
#include "view/frmHighlights.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

// '1' for each of the window's named tools and menu items that passes `test`, '0' for the others.
static QString tools(const frmMain &window, std::initializer_list<const char *> names,
                     bool (QAction::*test)() const = &QAction::isEnabled)
{
    QString flags;
    for (const char *name : names)
        flags += (window.findChild<QAction *>(QLatin1String(name))->*test)() ? u'1' : u'0';
    return flags;
}

// "row previous current next FUDL": FUDL tells which of First, Up, Down and Last are enabled.
static QString state(const frmMain &window)
{
    return QString::asprintf("%d %d %d %d ", window.vsf()->Row(), window.PreviousEntryRow,
                             window.CurrentEntryRow, window.NextEntryRow) +
           tools(window, {"tbrFirst", "tbrUp", "tbrDown", "tbrLast"});
}

class tst_frmMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { writeSettingsFile(QString()); }
    void init() { resetProcessWide(); }

    // Lines, entry marks and bold reach the grid, the newest entry is current; an unclosed return
    // code fails with the invalid-argument error. The indent is as wide as "GetTag " in the font:
    // seven spaces in the fixed-pitch default, more in a proportional one; shown lines keep theirs.
    void callsReachTheGrid()
    {
        Preferences().setDisplayHeader(true);
        frmMain window;
        QVERIFY(!window.FormatReceiveBuffer(u"V=1\0"_s)); // no return code: painting untouched
        QCOMPARE(window.vsf()->Redraw(), flexRDDirect);
        window.FormatText(u"A"_s, u"<Connecting>"_s);
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"[HEADER]\0V\0[DATA]\0X\0"_s);
        QVERIFY(!window.FormatReceiveBuffer(u"H\0RC=0\0[DATA]\0AB\0"_s));
        QCOMPARE(window.FormatReceiveBuffer(u"H\0RC=1"_s).value_or(HelixError()).message(),
                 u"5: Invalid procedure call or argument"_s);
        const DisplayGrid *grid = window.vsf();
        QStringList lines;
        QString marks;
        for (int r = 0; r < grid->Rows(); ++r) {
            lines << grid->TextMatrix(r, 0);
            marks += grid->RowData(r) == 1 && grid->CellFontBold(r) ? u'E' : u'.';
        }
        QCOMPARE(lines.join(u'|'), u"[A]  <Connecting>|[A]  Get Request|       [HEADER] V |"
                                   u"       PutTag X|       H |       GetTag RC=0|              AB|"
                                   u"       H "_s);
        QCOMPARE(marks, u"EE......"_s);
        QCOMPARE(state(window), u"1 0 1 -1 1100"_s);
        QVERIFY(grid->Redraw() != 0);
        Preferences().setFontName(u"Liberation Sans"_s);
        window.ApplyPreferences();
        QVERIFY(window.ContinuationIndent.size() > 7);
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"Y\0"_s);
        QCOMPARE(grid->TextMatrix(3, 0), u"       PutTag X"_s);
        QCOMPARE(grid->TextMatrix(9, 0), window.ContinuationIndent + u"PutTag Y"_s);
        QCOMPARE(grid->FontName(), u"Liberation Sans"_s);
    }

    // The tools and the find keys reach the navigation, and a click reaches the entry rows.
    // Follow off: entries are added while the current row and the entry rows stay where they
    // were, Down now having somewhere to go; on again, the last entry becomes current. Ctrl+L
    // shows and hides the View bar, which is remembered.
    void followAndTheViewBar()
    {
        frmMain window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(window.tbrView->isHidden());
        for (const QString &line : {u"zero"_s, u"one"_s})
            window.FormatText(u"A"_s, line);
        DisplayGrid *grid = window.vsf();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Up);
        QTest::keyClick(grid, Qt::Key_ScrollLock);
        QVERIFY(!window.Following());
        window.FormatSendBuffer(u"B"_s, u"Get"_s, u"X=1\0"_s);
        window.FormatText(u"A"_s, u"three"_s);
        QCOMPARE(state(window), u"0 -1 0 1 0011"_s);
        QTRY_COMPARE(window.tbrFollow->text(), u"Follow (2 new)"_s);
        window.tbrFollow->trigger();
        QCOMPARE(state(window), u"4 2 4 -1 1100"_s);
        QTRY_COMPARE(window.tbrFollow->text(), u"Follow"_s);
        QTest::keyClick(grid, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(window.tbrView->isVisible());
        QVERIFY(readSettingsFile().contains(u"[View]\nShown=True"_s));
        QTest::keyClick(grid, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(window.tbrView->isHidden());
    }

    // What the Highlights dialog adds, reorders, switches on and removes applies on OK and is
    // kept for the next start.
    void highlightsDialog()
    {
        writeSettingsFile({});
        frmMain window;
        window.tbrHighlights->trigger();
        auto *dialog = window.findChild<frmHighlights *>();
        QVERIFY(dialog);
        auto *list = dialog->findChild<QListWidget *>(u"lstRules"_s);
        QCOMPARE(list->count(), 2);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdAdd"_s), Qt::LeftButton);
        QTest::keyClicks(dialog->findChild<QLineEdit *>(u"txtText"_s), u"Timeout"_s);
        QTest::keyClick(dialog->findChild<QComboBox *>(u"cboScope"_s), Qt::Key_Down);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdUp"_s), Qt::LeftButton);
        list->item(2)->setCheckState(Qt::Checked);
        list->setCurrentRow(0);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdRemove"_s), Qt::LeftButton);
        QCOMPARE(dialog->findChild<QLineEdit *>(u"txtText"_s)->text(), u"Timeout"_s);
        dialog->accept();
        QStringList rules;
        for (const HighlightRule &rule : window.vsf()->highlightRules())
            rules << u"%1 %2 %3"_s.arg(rule.description()).arg(rule.on).arg(rule.scope);
        QCOMPARE(rules, QStringList({u"Timeout 1 1"_s, u"<Disconnected> 1 0"_s}));
        QVERIFY(readSettingsFile().contains(u"Rule1.Text=Timeout"_s));
    }

    void navigation_data()
    {
        QTest::addColumn<QString>("steps"); // a row number clicks it, a tool's name too; else keys
        QTest::addColumn<QString>("state");
        QTest::newRow("up inside an entry, then up") << u"7 Up Up"_s << u"0 -1 0 5 0011"_s;
        QTest::newRow("first, down") << u"First Down"_s << u"5 0 5 9 1111"_s;
        QTest::newRow("last") << u"2 Last"_s << u"9 5 9 -1 1100"_s;
        QTest::newRow("clear") << u"Clear"_s << u"-1 -1 -1 -1 0000"_s;
        QTest::newRow("F3 finds F1 twice") << u"0 F3 F3"_s << u"7 0 5 9 1111"_s;
        QTest::newRow("Shift+F3 finds upwards") << u"0 F3 F3 Shift+F3"_s << u"2 -1 0 5 1111"_s;
        QTest::newRow("F2 goes to the next mark")
            << u"7 Ctrl+F2 2 Ctrl+F2 0 F2"_s << u"2 -1 0 5 1111"_s;
        QTest::newRow("F2 wraps round") << u"7 Ctrl+F2 2 Ctrl+F2 9 F2"_s << u"2 -1 0 5 1111"_s;
        QTest::newRow("Shift+F2 goes back")
            << u"7 Ctrl+F2 2 Ctrl+F2 9 Shift+F2"_s << u"7 0 5 9 1111"_s;
        QTest::newRow("a mark toggled off")
            << u"7 Ctrl+F2 2 Ctrl+F2 Ctrl+F2 0 F2"_s << u"7 0 5 9 1111"_s;
        QTest::newRow("clear takes the marks") << u"7 Ctrl+F2 Clear F2"_s << u"-1 -1 -1 -1 0000"_s;
    }

    void navigation()
    {
        QFETCH(QString, steps);
        frmMain window;
        // Entries starting at rows 0, 5 and 9 of a 12-row grid.
        for (const QString &fields : {u"F0\0F1\0F2\0F3\0"_s, u"F0\0F1\0F2\0"_s, u"F0\0F1\0"_s})
            window.FormatSendBuffer(u"A"_s, u"Get"_s, fields);
        Finder().SetFindOptions(u"F1"_s, false, true, kFindDown);
        for (const QString &step : steps.split(u' ')) {
            if (step[0].isDigit())
                window.vsf()->setRow(step.toInt()); // a click, as the grid reports it
            else if (window.Tool(u"tbr"_s + step))
                window.ToolClick(u"tbr"_s + step);
            else
                QTest::keySequence(window.vsf(), QKeySequence(step));
            QVERIFY(!window.IsNavigating);
        }
        QTEST(state(window), "state");
    }

    // Clear, Copy, Save, Find, the three save tools and the six menu items follow the lines: before
    // any only Settings and Help work, Ctrl+C and Ctrl+F do nothing. SaveText marks a save tool;
    // running another from the drop-down leaves the mark where the setting put it. Help opens
    // once, with every tool's icon without a theme too.
    void commandsAndDialogs()
    {
        frmMain window;
        const auto lineCommands = [&] {
            return tools(window,
                         {"tbrClear", "tbrCopy", "tbrSave", "tbrFind", "tbrSaveAll",
                          "tbrSaveCurrent", "tbrSaveSelection", "mnuCopySelected", "mnuCopyCurrent",
                          "mnuCopyAll", "mnuSaveSelected", "mnuSaveCurrent", "mnuSaveAll"});
        };
        const auto saveTools = {"tbrSaveAll", "tbrSaveCurrent", "tbrSaveSelection"};
        QCOMPARE(lineCommands(), QString(13, u'0'));
        QCOMPARE(state(window), u"-1 -1 -1 -1 0000"_s);
        QCOMPARE(tools(window, {"tbrSettings", "tbrHelp"}), u"11"_s);
        QGuiApplication::clipboard()->setText(u"before"_s);
        QTest::keySequence(window.vsf(), QKeySequence(u"Ctrl+C, Ctrl+F"_s));
        QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_s);
        QVERIFY(!loadedFindDialog());
        QCOMPARE(tools(window, saveTools, &QAction::isChecked), u"001"_s); // default SaveText 0
        window.MarkDefaultSaveTool(1);
        QCOMPARE(tools(window, saveTools, &QAction::isChecked), u"010"_s);
        // Screen readers find the entries, and the checked one, with the menu closed.
        QAccessibleInterface *save = QAccessible::queryAccessibleInterface(window.tbrSaveButton);
        QCOMPARE(save->childCount(), 1);
        QAccessibleInterface *menu = save->child(0);
        QCOMPARE(save->indexOfChild(menu), 0);
        QString entries;
        for (int i = 0; i < menu->childCount(); ++i)
            entries += menu->child(i)->text(QAccessible::Name) +
                       (menu->child(i)->state().checked ? u"* "_s : u" "_s);
        QCOMPARE(entries, u"Save All Save Current* Save Selection "_s);

        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"F0\0"_s);
        window.FormatText(u"B"_s, u"note"_s);
        QCOMPARE(lineCommands(), QString(13, u'1'));
        window.vsf()->setRow(1);
        window.mnuCopyCurrent->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 u"[A]  Get Request\r\n       PutTag F0\r\n"_s);
        whenShown<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
        window.Tool(u"tbrSaveAll"_s)->trigger();
        QCOMPARE(tools(window, saveTools, &QAction::isChecked), u"010"_s);
        QTest::keyClick(window.vsf(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(loadedFindDialog());
        closeNow({loadedFindDialog()});
        window.ToolClick(u"tbrClear"_s);
        QCOMPARE(window.vsf()->Rows(), 0);
        QCOMPARE(lineCommands(), QString(13, u'0'));
        window.ToolClick(u"tbrHelp"_s);
        frmHelp *help = loadedHelpWindow();
        QVERIFY(help);
        for (QLabel *image : help->img)
            QVERIFY(!image->pixmap().isNull());
        window.ToolClick(u"tbrHelp"_s);
        QCOMPARE(loadedHelpWindow(), help);
        closeNow({loadedHelpWindow()});
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
