#include "ClassFind.h"
#include "FakeGrid.h"
#include "LineMatcher.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_ClassFind : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void matching_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("matches");

        QTest::newRow("inside a word") << u"Tag"_s << false << true << u"GetTag Name"_s << true;
        QTest::newRow("whole word, after a letter")
            << u"Tag"_s << true << true << u"GetTag Name"_s << false;
        QTest::newRow("whole word at the start")
            << u"Tag"_s << true << true << u"Tag Name"_s << true;
        QTest::newRow("whole word in brackets") << u"Tag"_s << true << true << u"[Tag]"_s << true;
        QTest::newRow("whole word ends the line") << u"Tag"_s << true << true << u"a Tag"_s << true;
        QTest::newRow("whole word, followed by a digit")
            << u"Tag"_s << true << true << u"Tag2 x"_s << false;
        QTest::newRow("only the first occurrence counts")
            << u"Tag"_s << true << true << u"PutTag then Tag"_s << false;
        QTest::newRow("case ignored") << u"rc="_s << false << false << u"GetTag RC=0"_s << true;
        QTest::newRow("case matched") << u"rc="_s << false << true << u"GetTag RC=0"_s << false;
        QTest::newRow("latin-1 accent, case ignored")
            << u"MÜLLER"_s << false << false << u"NAME=Müller GmbH"_s << true;
        QTest::newRow("beyond latin-1, case ignored")
            << u"ł"_s << false << false << u"CITY=ŁÓDŹ"_s << true;
        QTest::newRow("beyond latin-1, case matched")
            << u"ł"_s << false << true << u"CITY=ŁÓDŹ"_s << false;
        QTest::newRow("folds onto latin-1: Ÿ finds ÿ")
            << u"Ÿ"_s << false << false << u"naïve ÿ"_s << true;
        QTest::newRow("text beyond latin-1 never in a latin-1 line, case matched")
            << u"€"_s << false << true << u"EUR 5"_s << false;
        QTest::newRow("word characters beyond latin-1")
            << u"dź"_s << true << true << u"łdź x"_s << false;
        QTest::newRow("separator is a boundary") << u"A"_s << true << true << u"x\0A\0"_s << true;
        QTest::newRow("longer than the line") << u"ABCDEF"_s << false << false << u"ABC"_s << false;
    }

    void matching()
    {
        QFETCH(QString, text);
        QFETCH(bool, wholeWord);
        QFETCH(bool, matchCase);
        QFETCH(QString, line);
        QFETCH(bool, matches);
        const FakeGrid grid({line});
        QCOMPARE(LineMatcher(text, wholeWord, matchCase).matches(grid.line(0)), matches);
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
        if (expected == -1) {
            QCOMPARE(grid.rowWrites, 0);
            QCOMPARE(find.LastFoundRow, lastFound);
        } else {
            QCOMPARE((QList<int>{grid.Row(), grid.shown, find.LastFoundRow}),
                     (QList<int>{expected, expected, expected}));
        }
    }

    // Shift+F3 (0) and F3 (1) set the direction, Find Next (-1) keeps it; before any search
    // nothing moves, but the direction is taken all the same.
    void directionFollowsTheKeys()
    {
        FakeGrid grid({u"a hit"_s, u"b hit"_s});
        ClassFind find;
        find.setDisplay(&grid, nullptr);
        QCOMPARE(find.Direction, 1);
        QCOMPARE(find.LastFoundRow, 0);
        find.FindNext(0);
        QCOMPARE(grid.rowWrites, 0);
        QCOMPARE(find.Direction, 0);
        find.SetFindOptions(u"hit"_s, false, false, 1);
        find.FindNext(0);
        QCOMPARE(find.Direction, 0);
        find.FindNext(1);
        QCOMPARE(find.Direction, 1);
        find.FindNext(-1);
        QCOMPARE(find.Direction, 1);
    }
};

QTEST_MAIN(tst_ClassFind)
#include "tst_ClassFind.moc"
