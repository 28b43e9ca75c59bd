#include "DialogDriver.h"
#include "FakeLines.h"
#include "SettingsFile.h"
#include "find/ClassFind.h"
#include "find/FindTarget.h"
#include "find/LineMatcher.h"
#include "find/frmFind.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Counts row writes so that a search that finds nothing can be seen to leave the row alone. A
// QObject, as the search holds its display only while that lives.
class FakeGrid : public QObject, public FakeLines<FindTarget> {
public:
    using FakeLines::FakeLines;
    int Rows() const override { return lineCount(); }
    int FixedRows() const override { return 0; }
    int Row() const override { return mRow; }
    void setRow(int row) override
    {
        mRow = row;
        ++rowWrites;
    }
    void ShowCell(int row, int) override { shown = row; }

    int rowWrites = 0;
    int shown = -1;

private:
    int mRow = 0;
};

frmFind *openDialog()
{
    Finder().ShowFindDialog();
    return loadedFindDialog();
}

} // namespace

class tst_Find : public QObject {
    Q_OBJECT

    FakeGrid mGrid{{u"alpha"_s, u"beta Tag"_s, u"gamma"_s, u"delta Tag"_s}};

private Q_SLOTS:
    void initTestCase()
    {
        writeSettingsFile(QString());
        Finder().setDisplay(&mGrid, nullptr);
    }

    // Beyond the cases held in the matcher's fuzz corpus.
    void matching_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("options"); // w: whole word, c: match case
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("matches");
        const auto row = [](const char *name, const QString &text, const char *options,
                            const QString &line, bool matches) {
            QTest::newRow(name) << text << QString::fromLatin1(options) << line << matches;
        };
        row("whole word at the start", u"Tag"_s, "wc", u"Tag Name"_s, true);
        row("whole word ends the line", u"Tag"_s, "wc", u"a Tag"_s, true);
        row("whole word, followed by a digit", u"Tag"_s, "wc", u"Tag2 x"_s, false);
        row("only the first occurrence counts", u"Tag"_s, "wc", u"PutTag then Tag"_s, false);
        row("latin-1 accent, case ignored", u"MÜLLER"_s, "", u"NAME=Müller GmbH"_s, true);
        row("folds onto latin-1: Ÿ finds ÿ", u"Ÿ"_s, "", u"naïve ÿ"_s, true);
        row("beyond latin-1, never in a latin-1 line", u"€"_s, "c", u"EUR 5"_s, false);
        row("word characters beyond latin-1", u"dź"_s, "wc", u"łdź x"_s, false);
        row("separator is a boundary", u"A"_s, "wc", u"x\0A\0"_s, true);
        row("as long as the line", u"abc"_s, "", u"ABC"_s, true);
        row("longer than the line", u"ABCDEF"_s, "", u"ABC"_s, false);
    }

    void matching()
    {
        QFETCH(QString, text);
        QFETCH(QString, options);
        QFETCH(QString, line);
        QFETCH(bool, matches);
        const FakeGrid grid({line});
        const LineMatcher matcher(text, options.contains(u'w'), options.contains(u'c'));
        QCOMPARE(matcher.matches(grid.line(0)), matches);
    }

    void searching_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("row");       // current row before
        QTest::addColumn<int>("lastFound"); // LastFoundRow before
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("expected"); // current row after; -1 for no move

        const QStringList lines{u"x hit"_s, u"y"_s, u"z hit"_s, u"w"_s, u"hit v"_s};
        QTest::newRow("down from a fresh start finds row 0 last") << lines << 0 << 0 << 1 << 2;
        QTest::newRow("down from a clicked row reports it at once") << lines << 2 << 0 << 1 << 2;
        QTest::newRow("down repeats past the current hit") << lines << 2 << 2 << 1 << 4;
        QTest::newRow("down wraps to the first hit") << lines << 4 << 4 << 1 << 0;
        QTest::newRow("up repeats past the current hit") << lines << 2 << 2 << 0 << 0;
        QTest::newRow("up wraps to the last hit") << lines << 0 << 0 << 0 << 4;
        QTest::newRow("up from a clicked row below") << lines << 3 << 0 << 0 << 2;
        const QStringList one{u"a"_s, u"only hit"_s, u"b"_s};
        QTest::newRow("the only hit stays current, down") << one << 1 << 1 << 1 << 1;
        QTest::newRow("the only hit stays current, up") << one << 1 << 1 << 0 << 1;
        QTest::newRow("no hit at all") << QStringList{u"a"_s, u"b"_s} << 1 << 0 << 1 << -1;
        QTest::newRow("empty grid") << QStringList{} << 0 << 0 << 1 << -1;
    }

    void searching()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, row);
        QFETCH(int, lastFound);
        QFETCH(int, direction);
        QFETCH(int, expected);
        FakeGrid grid(lines);
        if (!lines.isEmpty())
            grid.setRow(row);
        grid.rowWrites = 0;
        ClassFind find;
        find.setDisplay(&grid, nullptr);
        find.SetFindOptions(u"hit"_s, false, false, 1);
        find.LastFoundRow = lastFound;
        find.FindNext(direction);
        // The row written and shown, and the hit remembered; nothing at all when none is found.
        QCOMPARE((QList<int>{grid.rowWrites ? grid.Row() : -1, grid.shown, find.LastFoundRow}),
                 (QList<int>{expected, expected, expected == -1 ? lastFound : expected}));
    }

    // Before any search a key moves nothing.
    void keyBeforeAnySearchMovesNothing()
    {
        FakeGrid grid({u"a hit"_s, u"b hit"_s});
        ClassFind find;
        find.setDisplay(&grid, nullptr);
        find.FindNext(1);
        QCOMPARE(grid.rowWrites, 0);
    }

    // The dialog opens once and unloads for good on close. It comes back with the last search,
    // the direction the keys last chose, and where it was.
    void dialogReopensAsItWas()
    {
        frmFind *dialog = openDialog();
        QCOMPARE(openDialog(), dialog);
        dialog->vsf->setText(u"Tag"_s);
        dialog->chkWhole->setChecked(true);
        dialog->opt[0]->setChecked(true);
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        dialog->setOuterTwips(1500, 2250, dialog->MinHeightTwips(), dialog->MinWidthTwips());
        const QPoint placed = dialog->pos();
        const QPointer<frmFind> watched(dialog);
        QTest::keyClick(dialog, Qt::Key_Escape); // as the close button does
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!watched && !loadedFindDialog());
        dialog = openDialog();
        QCOMPARE(dialog->vsf->text(), u"Tag"_s);
        QVERIFY(dialog->chkWhole->isChecked() && !dialog->chkCase->isChecked());
        QVERIFY(dialog->opt[0]->isChecked());
        QCOMPARE(dialog->pos(), placed);
        closeNow({loadedFindDialog()});
        Finder().FindNext(1); // F3
        QVERIFY(openDialog()->opt[1]->isChecked());
        closeNow({loadedFindDialog()});
        Finder().FindNext(0); // Shift+F3
        QVERIFY(openDialog()->opt[0]->isChecked());
        closeNow({loadedFindDialog()});
    }

    // Find Next stays open until the text is cleared, when it closes and moves nothing.
    void dialogFindNextSearchesUntilTheTextIsCleared()
    {
        mGrid.setRow(0);
        Finder().LastFoundRow = 0;
        frmFind *dialog = openDialog();
        dialog->vsf->setText(u"tag"_s);
        dialog->chkWhole->setChecked(false);
        dialog->opt[1]->setChecked(true);
        QTest::keyClick(dialog->vsf, Qt::Key_Return); // Enter is Find Next
        QCOMPARE(mGrid.Row(), 1);
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        QCOMPARE(mGrid.Row(), 3);
        QCOMPARE(loadedFindDialog(), dialog);
        dialog->chkCase->setChecked(true);
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        QCOMPARE(mGrid.Row(), 3); // "tag" with case finds nothing: nothing moves
        dialog->vsf->clear();
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!loadedFindDialog());
        QCOMPARE(mGrid.Row(), 3);
    }
};

QTEST_MAIN(tst_Find)
#include "tst_Find.moc"
