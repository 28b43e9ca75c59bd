#include "DialogDriver.h"
#include "FakeLines.h"
#include "SettingsFile.h"
#include "find/ClassFind.h"
#include "find/frmFind.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

// A QObject, as the search holds its display only while that lives.
class FakeGrid : public QObject, public FakeLines<FindTarget> {
public:
    using FakeLines::FakeLines;
    int Rows() const override { return lineCount(); }
    int FixedRows() const override { return 0; }
    int Row() const override { return row; }
    void setRow(int to) override { row = to; }
    void ShowCell(int at, int) override { shown = at; }
    int row = 0, shown = -1;
};

class tst_Find : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void searching_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("options"); // w: whole word, c: match case
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("row");       // current row before
        QTest::addColumn<int>("lastFound"); // LastFoundRow before
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("expected"); // current row after; -1 for no move
        const auto row = [](const char *name, const QStringList &lines, int row, int found, int dir,
                            int expected, const QString &text = u"hit"_s, const char *opts = "") {
            QTest::newRow(name) << text << opts << lines << row << found << dir << expected;
        };
        // Matching, beyond the cases in the matcher's fuzz corpus: a line alone, found or not.
        const auto line = [&](const char *name, const QString &text, const char *options,
                              const QString &line, bool matches) {
            row(name, {line}, 0, 0, kFindDown, matches ? 0 : -1, text, options);
        };
        line("whole word at the start", u"Tag"_s, "wc", u"Tag Name"_s, true);
        line("whole word ends the line", u"Tag"_s, "wc", u"a Tag"_s, true);
        line("whole word, followed by a digit", u"Tag"_s, "wc", u"Tag2 x"_s, false);
        line("only the first occurrence counts", u"Tag"_s, "wc", u"PutTag then Tag"_s, false);
        line("latin-1 accent, case ignored", u"MÜLLER"_s, "", u"NAME=Müller GmbH"_s, true);
        line("folds onto latin-1: Ÿ finds ÿ", u"Ÿ"_s, "", u"naïve ÿ"_s, true);
        line("beyond latin-1, never in a latin-1 line", u"€"_s, "c", u"EUR 5"_s, false);
        line("word characters beyond latin-1", u"dź"_s, "wc", u"łdź x"_s, false);
        line("separator is a boundary", u"A"_s, "wc", u"x\0A\0"_s, true);
        line("as long as the line", u"abc"_s, "", u"ABC"_s, true);
        line("longer than the line", u"ABCDEF"_s, "", u"ABC"_s, false);
        const QStringList lines{u"x hit"_s, u"y"_s, u"z hit"_s, u"w"_s, u"hit v"_s};
        row("down from a fresh start finds row 0 last", lines, 0, 0, kFindDown, 2);
        row("down from a clicked row reports it at once", lines, 2, 0, kFindDown, 2);
        row("down repeats past the current hit", lines, 2, 2, kFindDown, 4);
        row("down wraps to the first hit", lines, 4, 4, kFindDown, 0);
        row("up repeats past the current hit", lines, 2, 2, kFindUp, 0);
        row("up wraps to the last hit", lines, 0, 0, kFindUp, 4);
        row("up from a clicked row below", lines, 3, 0, kFindUp, 2);
        const QStringList one{u"a"_s, u"only hit"_s, u"b"_s};
        row("the only hit stays current, down", one, 1, 1, kFindDown, 1);
        row("the only hit stays current, up", one, 1, 1, kFindUp, 1);
        row("no hit at all", {u"a"_s, u"b"_s}, 1, 0, kFindDown, -1);
        row("empty grid", {}, 0, 0, kFindDown, -1);
        row("no search yet", lines, 0, 0, kFindDown, -1, QString());
    }

    void searching()
    {
        QFETCH(QString, text);
        QFETCH(QString, options);
        QFETCH(QStringList, lines);
        QFETCH(int, row);
        QFETCH(int, lastFound);
        QFETCH(int, direction);
        QFETCH(int, expected);
        FakeGrid grid(lines);
        grid.row = row;
        ClassFind find;
        find.setDisplay(&grid, nullptr);
        find.SetFindOptions(text, options.contains(u'w'), options.contains(u'c'), kFindDown);
        find.LastFoundRow = lastFound;
        find.FindNext(direction);
        QCOMPARE(grid.Row(), expected == -1 ? row : expected);
        QCOMPARE(grid.shown, expected);
        QCOMPARE(find.LastFoundRow, expected == -1 ? lastFound : expected);
    }

    // Opens once; Escape unloads it and it comes back as left, with F3's direction.
    void dialog()
    {
        writeSettingsFile(QString());
        FakeGrid grid({u"alpha"_s, u"beta Tag"_s, u"gamma"_s, u"delta Tag"_s});
        Finder().setDisplay(&grid, nullptr);
        const auto openDialog = [] {
            Finder().ShowFindDialog();
            return loadedFindDialog();
        };
        frmFind *dialog = openDialog();
        QCOMPARE(openDialog(), dialog);
        dialog->vsf->setText(u"tag"_s);
        QTest::keyClick(dialog->vsf, Qt::Key_Return); // Enter is Find Next
        QCOMPARE(grid.row, 1);
        dialog->chkWhole->setChecked(true);
        dialog->opt[kFindUp]->setChecked(true);
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        QCOMPARE(grid.row, 3); // with whole word and case swapped, "tag" would find nothing
        dialog->chkCase->setChecked(true);
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        QCOMPARE(grid.row, 3); // "tag" with case finds nothing
        dialog->setOuterTwips(1500, 2250, dialog->MinHeightTwips(), dialog->MinWidthTwips());
        const QPoint placed = dialog->pos();
        const QPointer<frmFind> watched(dialog);
        QTest::keyClick(dialog, Qt::Key_Escape); // as the close button does
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!watched && !loadedFindDialog());
        dialog = openDialog();
        QCOMPARE(dialog->vsf->text(), u"tag"_s);
        QVERIFY(dialog->chkWhole->isChecked() && dialog->chkCase->isChecked());
        QVERIFY(dialog->opt[kFindUp]->isChecked());
        QCOMPARE(dialog->pos(), placed);
        dialog->vsf->clear();
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        QVERIFY(!loadedFindDialog());
        Finder().FindNext(kFindDown); // F3
        QVERIFY(openDialog()->opt[kFindDown]->isChecked());
        closeNow({loadedFindDialog()});
    }
};

QTEST_MAIN(tst_Find)
#include "tst_Find.moc"
