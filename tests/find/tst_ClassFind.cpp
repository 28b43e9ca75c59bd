#include "ClassFind.h"
#include "FakeGrid.h"
#include "LineMatcher.h"

#include <QTest>

class tst_ClassFind : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void matching_data();
    void matching();
    void searching_data();
    void searching();
    void repeatBeforeAnySearchDoesNothing();
    void directionFollowsTheKeys();
};

void tst_ClassFind::matching_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("matches");

    const QString tag = QStringLiteral("Tag");
    QTest::newRow("inside a word") << tag << false << true << QStringLiteral("GetTag Name") << true;
    QTest::newRow("whole word, after a letter")
        << tag << true << true << QStringLiteral("GetTag Name") << false;
    QTest::newRow("whole word at the start")
        << tag << true << true << QStringLiteral("Tag Name") << true;
    QTest::newRow("whole word in brackets")
        << tag << true << true << QStringLiteral("[Tag]") << true;
    QTest::newRow("whole word ends the line")
        << tag << true << true << QStringLiteral("a Tag") << true;
    QTest::newRow("whole word, followed by a digit")
        << tag << true << true << QStringLiteral("Tag2 x") << false;
    QTest::newRow("only the first occurrence counts")
        << tag << true << true << QStringLiteral("PutTag then Tag") << false;
    QTest::newRow("case ignored") << QStringLiteral("rc=") << false << false
                                  << QStringLiteral("       GetTag RC=0") << true;
    QTest::newRow("case matched") << QStringLiteral("rc=") << false << true
                                  << QStringLiteral("       GetTag RC=0") << false;
    QTest::newRow("latin-1 accent, case ignored")
        << QStringLiteral("MÜLLER") << false << false << QStringLiteral("NAME=Müller GmbH") << true;
    QTest::newRow("beyond latin-1, case ignored")
        << QStringLiteral("ł") << false << false << QStringLiteral("CITY=ŁÓDŹ") << true;
    QTest::newRow("beyond latin-1, case matched")
        << QStringLiteral("ł") << false << true << QStringLiteral("CITY=ŁÓDŹ") << false;
    QTest::newRow("folds onto latin-1: Ÿ finds ÿ")
        << QStringLiteral("Ÿ") << false << false << QStringLiteral("naïve ÿ") << true;
    QTest::newRow("text beyond latin-1 never in a latin-1 line, case matched")
        << QStringLiteral("€") << false << true << QStringLiteral("EUR 5") << false;
    QTest::newRow("word characters beyond latin-1")
        << QStringLiteral("dź") << true << true << QStringLiteral("łdź x") << false;
    QTest::newRow("separator is a boundary")
        << QStringLiteral("A") << true << true << QString::fromUtf16(u"x\0A\0", 4) << true;
    QTest::newRow("longer than the line")
        << QStringLiteral("ABCDEF") << false << false << QStringLiteral("ABC") << false;
}

void tst_ClassFind::matching()
{
    QFETCH(QString, text);
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(QString, line);
    QFETCH(bool, matches);
    const FakeGrid grid({line});
    QCOMPARE(LineMatcher(text, wholeWord, matchCase).matches(grid.line(0)), matches);
}

void tst_ClassFind::searching_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("row");       // current row before
    QTest::addColumn<int>("lastFound"); // LastFoundRow before
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("expected"); // current row after; -1 for no move

    const QStringList lines{QStringLiteral("x hit"), QStringLiteral("y"), QStringLiteral("z hit"),
                            QStringLiteral("w"), QStringLiteral("hit v")};
    QTest::newRow("down from a fresh start finds row 0 last") << lines << 0 << 0 << 1 << 2;
    QTest::newRow("down from a clicked row reports it at once") << lines << 2 << 0 << 1 << 2;
    QTest::newRow("down repeats past the current hit") << lines << 2 << 2 << 1 << 4;
    QTest::newRow("down wraps to the first hit") << lines << 4 << 4 << 1 << 0;
    QTest::newRow("up repeats past the current hit") << lines << 2 << 2 << 0 << 0;
    QTest::newRow("up wraps to the last hit") << lines << 0 << 0 << 0 << 4;
    QTest::newRow("up from a clicked row below") << lines << 3 << 0 << 0 << 2;
    const QStringList one{QStringLiteral("a"), QStringLiteral("only hit"), QStringLiteral("b")};
    QTest::newRow("the only hit stays current, down") << one << 1 << 1 << 1 << 1;
    QTest::newRow("the only hit stays current, up") << one << 1 << 1 << 0 << 1;
    QTest::newRow("no hit at all")
        << QStringList{QStringLiteral("a"), QStringLiteral("b")} << 1 << 0 << 1 << -1;
    QTest::newRow("empty grid") << QStringList{} << 0 << 0 << 1 << -1;
}

void tst_ClassFind::searching()
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
    find.SetFindOptions(QStringLiteral("hit"), false, false, 1);
    find.LastFoundRow = lastFound;
    find.FindNext(direction);
    if (expected == -1) {
        QCOMPARE(grid.rowWrites, 0);
        QCOMPARE(find.LastFoundRow, lastFound);
        return;
    }
    QCOMPARE(grid.Row(), expected);
    QCOMPARE(grid.shown, expected);
    QCOMPARE(find.LastFoundRow, expected);
}

void tst_ClassFind::repeatBeforeAnySearchDoesNothing()
{
    FakeGrid grid({QStringLiteral("a")});
    ClassFind find;
    find.setDisplay(&grid, nullptr);
    QCOMPARE(find.Direction, 1);
    QCOMPARE(find.LastFoundRow, 0);
    find.FindNext(0);
    QCOMPARE(grid.rowWrites, 0);
    QCOMPARE(find.Direction, 0); // the direction is kept all the same
}

void tst_ClassFind::directionFollowsTheKeys()
{
    FakeGrid grid({QStringLiteral("a hit"), QStringLiteral("b hit")});
    ClassFind find;
    find.setDisplay(&grid, nullptr);
    find.SetFindOptions(QStringLiteral("hit"), false, false, 1);
    find.FindNext(0); // Shift+F3
    QCOMPARE(find.Direction, 0);
    find.FindNext(1); // F3
    QCOMPARE(find.Direction, 1);
    find.FindNext(-1); // Find Next keeps it
    QCOMPARE(find.Direction, 1);
}

QTEST_MAIN(tst_ClassFind)
#include "tst_ClassFind.moc"
