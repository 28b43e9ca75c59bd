// The Session window over a real main window: the time gutter, the way from the figures to
// the entries, and the keys that open it.
#include "SettingsFile.h"
#include "display/DisplayGrid.h"
#include "display/GridValues.h"
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

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kReply = u"V=1\0RC=0\0[DATA]\0B=2\0"_s;

// "S:app" a request with two data lines, "R" its reply, "T:app" a note.
void play(frmMain &window, const QStringList &calls)
{
    for (const QString &call : calls) {
        if (call.startsWith(u"S:"_s))
            window.FormatSendBuffer(call.mid(2), u"Get"_s, u"X=1\0Y=2\0"_s);
        else if (call.startsWith(u"T:"_s))
            window.FormatText(call.mid(2), u"note"_s);
        else
            QVERIFY(!window.FormatReceiveBuffer(kReply));
    }
}

QWidget *gutterOf(DisplayGrid *grid)
{
    return grid->findChild<QWidget *>(u"gutter"_s);
}

} // namespace

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

    // Only entry rows get a time, a timed request its latency too; the lines move right of the
    // gutter, and copying still reads them alone.
    void gutterShowsEntryRowsOnly()
    {
        DisplayGrid *grid = mWindow->vsf();
        // Rows: request 0-2, its reply 3-4, the note 5, the last request 6-8.
        play(*mWindow, {u"S:Orders"_s, u"R"_s, u"T:Orders"_s, u"S:Billing"_s});
        const QString withoutGutter = LineText::BuildLinesText(*grid, 0, grid->Rows() - 1);
        const int viewportLeft = grid->viewport()->x();
        mWindow->showTimeGutter(true);
        QVERIFY(grid->viewport()->x() >= viewportLeft + gutterOf(grid)->width());
        QVERIFY2(QRegularExpression(u"^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\+[0-9.]+ m?s$"_s)
                     .match(grid->gutterText(0))
                     .hasMatch(),
                 qPrintable(grid->gutterText(0)));
        QCOMPARE(grid->gutterText(5).size(), 12);
        for (int row = 0; row < grid->Rows(); ++row)
            QCOMPARE(grid->gutterText(row).isEmpty(), grid->RowData(row) != kEntryMark);
        QCOMPARE(LineText::BuildLinesText(*grid, 0, grid->Rows() - 1), withoutGutter);
        mWindow->showTimeGutter(false);
        QVERIFY(!gutterOf(grid)->isVisible());
        QCOMPARE(grid->viewport()->x(), viewportLeft);
    }

    void gutterIsASetting()
    {
        showSessionWindow(mWindow.get());
        frmSession *session = loadedSessionWindow();
        QVERIFY(session);
        QVERIFY(!session->chkTimeGutter->isChecked());
        session->chkTimeGutter->click();
        QVERIFY(mWindow->vsf()->hasGutter());
        QVERIFY(readSettingsFile().contains(u"[Session]\nTimeGutter=True"_s));

        // A window made later starts with the gutter the operator chose.
        mWindow.reset();
        mWindow = std::make_unique<frmMain>();
        QVERIFY(mWindow->vsf()->hasGutter());
        writeSettingsFile(u"[Session]\nTimeGutter=maybe\n"_s);
        mWindow = std::make_unique<frmMain>();
        QVERIFY(!mWindow->vsf()->hasGutter());
    }

    // Next unanswered wraps round, skips the answered and the note, keeps the focus on its
    // button, and the entry rows follow as after a find hit.
    void nextUnanswered()
    {
        // Entries: 0 (rows 0-2), 1 (3-5), 2 (6-8) and its reply (9-10), 3 the note (11), 4 (12-14).
        play(*mWindow, {u"S:A"_s, u"S:B"_s, u"S:A"_s, u"R"_s, u"T:A"_s, u"S:B"_s});
        DisplayGrid *grid = mWindow->vsf();
        showSessionWindow(mWindow.get());
        frmSession *session = loadedSessionWindow();
        session->cmdNextUnanswered->setFocus();
        for (int row : {0, 3, 0}) {
            session->cmdNextUnanswered->click();
            QCOMPARE(grid->Row(), row);
            QCOMPARE(mWindow->CurrentEntryRow, row);
            QCOMPARE(mWindow->Tool(u"tbrUp"_s)->isEnabled(), row > 0);
            QCOMPARE(session->focusWidget(), session->cmdNextUnanswered);
        }
    }

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
        QCOMPARE(mWindow->CurrentEntryRow, 8);

        QTableView *table = session->grdClients;
        const int rowOfB = 1; // rows in the order the titles came
        QCOMPARE(table->model()->index(rowOfB, 0).data().toString(), u"B"_s);
        const QRect cell = table->visualRect(table->model()->index(rowOfB, 2));
        // A double-click as the window system delivers it: a click, then the second press.
        const auto doubleClick = [&] {
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        };
        doubleClick();
        QCOMPARE(grid->Row(), 5);
        QCOMPARE(mWindow->CurrentEntryRow, 5);

        // After a clear (from inside an entry) the figures stay and there is nothing to go to.
        const QString requestsOfB = table->model()->index(rowOfB, 2).data().toString();
        mWindow->ClearDisplay();
        session->Refresh();
        QCOMPARE(table->model()->index(rowOfB, 2).data().toString(), requestsOfB);
        doubleClick();
        QCOMPARE(session->lblStatus->text(), u"No entry of B is held."_s);
        session->cmdSlowest->click();
        QCOMPARE(session->lblStatus->text(), u"No answered request is held."_s);
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
        // The grid still takes keys after the window opened.
        QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(grid->RowSel(), 1);
    }

    // The table reads the log: a row per title, gone clients marked, rows inserted, not reset.
    void tableModel()
    {
        SessionLog log{[] { return std::int64_t(5'000'000); }, 0};
        SessionTableModel model(log);
        QCOMPARE(model.rowCount(), 0);
        log.connected(0, u"Orders"_s, u":1.4"_s);
        log.request(1000, u"Orders"_s, 1);
        log.reply(13'000, u"RC=17"_s, 1);
        log.request(20'000, u"Billing"_s, 1);
        int inserted = 0;
        connect(&model, &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex &, int first, int last) { inserted += last - first + 1; });
        model.refresh();
        QCOMPARE(inserted, 2);
        QCOMPARE(model.rowCount(), 2);
        const auto cell = [&](int row, int column) {
            return model.index(row, column).data().toString();
        };
        QCOMPARE(cell(0, SessionTableModel::Title), u"Orders"_s);
        QVERIFY(QRegularExpression(u"^\\d\\d:\\d\\d:\\d\\d\\.000$"_s)
                    .match(cell(0, SessionTableModel::Since))
                    .hasMatch());
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
        QVERIFY(
            model.index(0, 0).data(Qt::ToolTipRole).toString().startsWith(u"Orders left at "_s));
    }
};

QTEST_MAIN(tst_frmSession)
#include "tst_frmSession.moc"
