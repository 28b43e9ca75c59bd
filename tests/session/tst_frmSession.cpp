#include "SettingsFile.h"
#include "display/DisplayGrid.h"
#include "display/LineText.h"
#include "display/frmMain.h"
#include "platform/ProcessWide.h"
#include "session/SessionLog.h"
#include "session/SessionTableModel.h"
#include "session/frmSession.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// "S:app" a request with two data lines, "R" its reply, "T:app" a note; "#n" after each makes it
// come through message object n.
static void play(frmMain &window, const QStringList &calls)
{
    for (const QString &call : calls) {
        const SessionLog::CallFrom from(Session(), call.section(u'#', 1).toULongLong());
        const QString app = call.section(u'#', 0, 0).mid(2);
        if (call.startsWith(u"S:"_s))
            window.FormatSendBuffer(app, u"Get"_s, u"X=1\0Y=2\0"_s);
        else if (call.startsWith(u"T:"_s))
            window.FormatText(app, u"note"_s);
        else
            QVERIFY(!window.FormatReceiveBuffer(u"V=1\0RC=0\0[DATA]\0B=2\0"_s));
    }
}

class tst_frmSession : public QObject {
    Q_OBJECT

    std::unique_ptr<frmMain> mWindow;

private Q_SLOTS:
    void init()
    {
        writeSettingsFile({});
        resetProcessWide();
        mWindow = std::make_unique<frmMain>();
        mWindow->resize(800, 600);
        mWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(mWindow.get()));
    }
    void cleanup()
    {
        if (frmSession *session = loadedSessionWindow())
            session->close();
        mWindow.reset();
    }

    // Ctrl+I opens one Session window and the grid still takes keys. Its check box shows the
    // gutter: times on entry rows, latencies on timed requests, where another's reply joined,
    // copying without them. Its buttons and a double-click on a client or a request make an
    // entry's first row current, the focus staying put. It keeps the size it was given.
    void sessionWindow()
    {
        // Rows: a note 0, A 1-3 and its reply 4-5, A 6-8, B 9-11 and A's slow reply 12-13, then
        // C 14-16 through B's object, which leaves B unanswered.
        play(*mWindow, {u"T:A#1"_s, u"S:A#1"_s, u"R#1"_s, u"S:A#1"_s, u"S:B#2"_s});
        QTest::qWait(250);
        play(*mWindow, {u"R#1"_s, u"S:C#2"_s});
        DisplayGrid *grid = mWindow->vsf();
        const QByteArray withoutGutter = LineText::BuildLinesText(*grid, 0, grid->Rows() - 1);
        const int viewportLeft = grid->viewport()->x();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_I, Qt::ControlModifier);
        frmSession *session = loadedSessionWindow();
        QVERIFY(session && session->isVisible());
        QTest::keyClick(grid, Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(loadedSessionWindow(), session);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(grid->RowSel(), grid->Row() + 1);

        session->chkTimeGutter->click();
        QVERIFY(readSettingsFile().contains(u"[Session]\nTimeGutter=True"_s));
        QWidget *gutter = grid->findChild<QWidget *>(u"gutter"_s);
        QVERIFY(grid->viewport()->x() >= viewportLeft + gutter->width());
        const QRegularExpression timed(u"^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\+[0-9.]+ m?s$"_s);
        QVERIFY2(grid->gutterText(1).contains(timed), qPrintable(grid->gutterText(1)));
        QCOMPARE(grid->gutterText(0).size(), 12); // the note: its time alone
        for (int row = 0; row < grid->Rows(); ++row)
            QCOMPARE(grid->gutterText(row).isEmpty(), !grid->startsEntry(row) && row != 12);
        QCOMPARE(grid->gutterText(12), u"\u21b3 reply to A"_s);
        QCOMPARE(LineText::BuildLinesText(*grid, 0, grid->Rows() - 1), withoutGutter);

        session->cmdSlowest->click();
        QCOMPARE(grid->Row(), 6);
        session->cmdNextUnanswered->setFocus();
        session->cmdNextUnanswered->click(); // wraps round to B
        QCOMPARE(grid->Row(), 9);
        QCOMPARE(session->focusWidget(), session->cmdNextUnanswered);
        // A double-click as the window system delivers it: a click, then the second press.
        const auto doubleClick = [&](QTableView *table, int row) {
            const QRect cell = table->visualRect(table->model()->index(row, 2));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        };
        doubleClick(session->grdClients, 2); // C's: titles in order
        QCOMPARE(grid->Row(), 14);
        const QList<QAction *> links = session->grdClients->actions(); // its right-click menu
        QCOMPARE(links.size(), 2);
        links[0]->trigger(); // only C's
        QTRY_COMPARE(grid->Rows(), 3);
        QCOMPARE(grid->TextMatrix(0, 0), u"[C]  Get Request"_s);
        session->cmdSlowest->click(); // A's, hidden
        QCOMPARE(session->lblStatus->text(), u"That entry is hidden by the View bar's filter."_s);
        links[1]->trigger();
        QTRY_COMPARE(grid->Rows(), 17);
        QCOMPARE(grid->Row(), 14);
        session->Refresh();
        doubleClick(session->grdRequests, 0); // the slowest request name first: A's Get
        QCOMPARE(grid->Row(), 6);
        mWindow->ClearDisplay(); // from inside an entry: nothing is left to go to
        doubleClick(session->grdClients, 2);
        QCOMPARE(session->lblStatus->text(), u"No entry of C is held."_s);
        session->cmdSlowest->click();
        QCOMPARE(session->lblStatus->text(), u"No answered request is held."_s);

        const QSize size = session->minimumSize() + QSize(30, 20); // the screen is small offscreen
        session->resize(size);
        session->move(20, 20);
        session->close();
        showSessionWindow(mWindow.get());
        QTRY_COMPARE(loadedSessionWindow()->size(), size);

        mWindow->showTimeGutter(false);
        QVERIFY(!gutter->isVisible());
        QCOMPARE(grid->viewport()->x(), viewportLeft);
        // A window made later starts with the gutter the operator chose; an unreadable one is off.
        mWindow.reset();
        mWindow = std::make_unique<frmMain>();
        QVERIFY(mWindow->vsf()->hasGutter());
        writeSettingsFile(u"[Session]\nTimeGutter=maybe\n"_s);
        mWindow = std::make_unique<frmMain>();
        QVERIFY(!mWindow->vsf()->hasGutter());
    }

    // The table reads the log: a row per title, gone clients marked, rows inserted, not reset.
    void tableModel()
    {
        SessionLog log{{}, 0};
        SessionTableModel model(log);
        log.connected(0, u"Orders"_s, u":1.4"_s);
        log.request(1000, u"Orders"_s, u"Get"_s, 1);
        log.reply(13'000, u"RC=17"_s, 1);
        log.request(20'000, u"Billing"_s, u"Get"_s, 1);
        int inserted = 0;
        connect(&model, &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex &, int first, int last) { inserted += last - first + 1; });
        model.refresh();
        QCOMPARE(inserted, 2);
        const auto cell = [&](int row, int col) { return model.index(row, col).data().toString(); };
        QCOMPARE(cell(0, SessionTableModel::Title), u"Orders"_s);
        QVERIFY(cell(0, SessionTableModel::Since).endsWith(u":00.000"_s)); // the clock at 0
        QVERIFY(cell(1, SessionTableModel::Since).endsWith(u" (first call)"_s));
        QCOMPARE(cell(0, SessionTableModel::Requests), u"1"_s);
        QCOMPARE(cell(0, SessionTableModel::Replies), u"1"_s);
        QCOMPARE(cell(0, SessionTableModel::LastReturnCode), u"RC=17"_s);
        QCOMPARE(cell(0, SessionTableModel::Max), u"12.0 ms"_s);
        QCOMPARE(cell(1, SessionTableModel::Median), QString());

        log.request(30'000, u"Billing"_s, u"Get"_s, 1);
        log.unhooked(31'000, u"Orders"_s);
        model.refresh();
        QCOMPARE(inserted, 2);
        QCOMPARE(cell(0, SessionTableModel::Title), u"Orders (gone)"_s);
        QCOMPARE(cell(1, SessionTableModel::Unanswered), u"1"_s);
        QVERIFY(model.index(0, 0).data(Qt::ToolTipRole).toString().startsWith(u"Orders left"_s));
    }
};

QTEST_MAIN(tst_frmSession)
#include "tst_frmSession.moc"
