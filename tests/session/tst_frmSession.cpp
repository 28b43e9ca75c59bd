// The Session window over a real main window: its keys, the gutter, the way to the entries.
#include "SettingsFile.h"
#include "display/DisplayGrid.h"
#include "display/LineText.h"
#include "display/frmMain.h"
#include "platform/ProcessWide.h"
#include "session/SessionLog.h"
#include "session/SessionTableModel.h"
#include "session/frmSession.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// "S:app" a request with two data lines, "R" its reply, "T:app" a note.
static void play(frmMain &window, const QStringList &calls)
{
    for (const QString &call : calls) {
        if (call.startsWith(u"S:"_s))
            window.FormatSendBuffer(call.mid(2), u"Get"_s, u"X=1\0Y=2\0"_s);
        else if (call.startsWith(u"T:"_s))
            window.FormatText(call.mid(2), u"note"_s);
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

    void keysOpenOneWindow()
    {
        play(*mWindow, {u"S:A"_s});
        DisplayGrid *grid = mWindow->vsf();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_I, Qt::ControlModifier);
        frmSession *session = loadedSessionWindow();
        QVERIFY(session && session->isVisible());
        QTest::keyClick(grid, Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(loadedSessionWindow(), session);
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier); // the grid still takes keys
        QCOMPARE(grid->RowSel(), 1);
    }

    // The check box shows the gutter and keeps the choice: a time on entry rows only, a latency
    // on timed requests; the lines move right of it, and copying still reads them alone.
    void timeGutter()
    {
        DisplayGrid *grid = mWindow->vsf();
        // Rows: request 0-2, its reply 3-4, the note 5, the last request 6-8.
        play(*mWindow, {u"S:Orders"_s, u"R"_s, u"T:Orders"_s, u"S:Billing"_s});
        const QByteArray withoutGutter = LineText::BuildLinesText(*grid, 0, grid->Rows() - 1);
        const int viewportLeft = grid->viewport()->x();
        showSessionWindow(mWindow.get());
        frmSession *session = loadedSessionWindow();
        session->chkTimeGutter->click();
        QVERIFY(readSettingsFile().contains(u"[Session]\nTimeGutter=True"_s));
        QWidget *gutter = grid->findChild<QWidget *>(u"gutter"_s);
        QVERIFY(grid->viewport()->x() >= viewportLeft + gutter->width());
        const QRegularExpression timed(u"^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\+[0-9.]+ m?s$"_s);
        QVERIFY2(grid->gutterText(0).contains(timed), qPrintable(grid->gutterText(0)));
        QCOMPARE(grid->gutterText(5).size(), 12); // the note: its time alone
        for (int row = 0; row < grid->Rows(); ++row)
            QCOMPARE(grid->gutterText(row).isEmpty(), !grid->startsEntry(row));
        QCOMPARE(LineText::BuildLinesText(*grid, 0, grid->Rows() - 1), withoutGutter);
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

    // Slowest, next unanswered and a double-click on a client make an entry's first row current,
    // the focus staying on the button; after a clear there is nothing to go to.
    void toTheEntries()
    {
        // Rows: A 0-2 and its reply 3-4, B 5-7, A 8-10 and its slow reply 11-12, C 13-15.
        play(*mWindow, {u"S:A"_s, u"R"_s, u"S:B"_s, u"S:A"_s});
        QTest::qWait(250);
        play(*mWindow, {u"R"_s, u"S:C"_s});
        showSessionWindow(mWindow.get());
        frmSession *session = loadedSessionWindow();
        DisplayGrid *grid = mWindow->vsf();
        session->cmdSlowest->click();
        QCOMPARE(grid->Row(), 8);
        session->cmdNextUnanswered->setFocus();
        session->cmdNextUnanswered->click(); // wraps round to B
        QCOMPARE(grid->Row(), 5);
        QCOMPARE(session->focusWidget(), session->cmdNextUnanswered);

        QTableView *table = session->grdClients;
        const QRect cell = table->visualRect(table->model()->index(2, 2)); // C's: titles in order
        // A double-click as the window system delivers it: a click, then the second press.
        const auto doubleClick = [&] {
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        };
        doubleClick();
        QCOMPARE(grid->Row(), 13);

        mWindow->ClearDisplay(); // from inside an entry
        doubleClick();
        QCOMPARE(session->lblStatus->text(), u"No entry of C is held."_s);
        session->cmdSlowest->click();
        QCOMPARE(session->lblStatus->text(), u"No answered request is held."_s);
    }

    // The table reads the log: a row per title, gone clients marked, rows inserted, not reset.
    void tableModel()
    {
        SessionLog log{{}, 0};
        SessionTableModel model(log);
        log.connected(0, u"Orders"_s, u":1.4"_s);
        log.request(1000, u"Orders"_s, 1);
        log.reply(13'000, u"RC=17"_s, 1);
        log.request(20'000, u"Billing"_s, 1);
        int inserted = 0;
        connect(&model, &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex &, int first, int last) { inserted += last - first + 1; });
        model.refresh();
        QCOMPARE(inserted, 2);
        const auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
            return model.index(row, column).data(role).toString();
        };
        QCOMPARE(cell(0, SessionTableModel::Title), u"Orders"_s);
        QVERIFY(cell(0, SessionTableModel::Since).endsWith(u":00.000"_s)); // the clock at 0
        QVERIFY(cell(1, SessionTableModel::Since).endsWith(u" (first call)"_s));
        QCOMPARE(cell(0, SessionTableModel::Requests), u"1"_s);
        QCOMPARE(cell(0, SessionTableModel::Replies), u"1"_s);
        QCOMPARE(cell(0, SessionTableModel::LastReturnCode), u"RC=17"_s);
        QCOMPARE(cell(0, SessionTableModel::Max), u"12.0 ms"_s);
        QCOMPARE(cell(1, SessionTableModel::Median), QString());

        log.request(30'000, u"Billing"_s, 1);
        log.unhooked(31'000, u"Orders"_s);
        model.refresh();
        QCOMPARE(inserted, 2);
        QCOMPARE(cell(0, SessionTableModel::Title), u"Orders (gone)"_s);
        QCOMPARE(cell(1, SessionTableModel::Unanswered), u"1"_s);
        QVERIFY(cell(0, 0, Qt::ToolTipRole).startsWith(u"Orders left at "_s));
    }
};

QTEST_MAIN(tst_frmSession)
#include "tst_frmSession.moc"
