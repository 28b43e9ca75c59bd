#include "FakeLines.h"
#include "display/LineText.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace LineText;
using L = QList<int>;

class tst_LineText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lineRanges_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<GridPosition>("grid"); // rows, fixed rows, row, rowSel, entry, next
        QTest::addColumn<L>("range");           // first, last; empty when none
        const auto row = [](const char *name, int scope, const GridPosition &grid, const L &range) {
            QTest::newRow(name) << scope << grid << range;
        };
        row("selection, row below rowSel", Selection, {12, 0, 7, 3, 5, 9}, {3, 7});
        row("selection, row above rowSel", Selection, {12, 0, 3, 7, 5, 9}, {3, 7});
        row("selection, no current row", Selection, {12, 0, -1, -1, 0, -1}, {});
        row("current entry up to the next", CurrentEntry, {12, 0, 6, 6, 5, 9}, {5, 8});
        row("current entry to the end", CurrentEntry, {12, 0, 6, 6, 5, -1}, {5, 11});
        row("no current entry", CurrentEntry, {12, 0, 6, 6, -1, -1}, {});
        row("all", AllLines, {12, 0, 6, 6, 5, 9}, {0, 11});
        row("all of nothing", AllLines, {0, 0, -1, -1, -1, -1}, {});
        row("no such scope", 3, {12, 0, 6, 6, 5, 9}, {});
    }

    void lineRanges()
    {
        QFETCH(int, scope);
        QFETCH(GridPosition, grid);
        Range found{-7, -7};
        const bool valid = GetLineRange(scope, grid, found);
        QTEST((valid ? L{found.first, found.last} : L{}), "range");
        QVERIFY(valid || (found.first == -7 && found.last == -7)); // untouched when none
    }

    void text_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("unicode"); // a line outside U+0001..U+00FF needs a Unicode file
        QTest::newRow("latin-1 accent") << QStringList{u"a"_s, u"é"_s, u"ÿ"_s} << false;
        QTest::newRow("euro anywhere") << QStringList{u"é"_s, u"5€"_s} << true;
        QTest::newRow("separator") << QStringList{u"a\0b"_s} << true;
        QTest::newRow("empty lines") << QStringList{QString(), QString()} << false;
        // Latin-1 is copied eight ASCII bytes at a time: accents before, on and after a block's
        // last byte, and a block of nothing but accents.
        QTest::newRow("accent ends a block") << QStringList{u"abcdefgé"_s, u"x"_s} << false;
        QTest::newRow("accent starts the tail") << QStringList{u"abcdefghé"_s} << false;
        QTest::newRow("blocks of accents and ASCII")
            << QStringList{u"éééééééé12345678ÿ"_s, u"0123456789abcdefg"_s} << false;
        QTest::newRow("wide line among narrow ones") << QStringList{u"ab"_s, u"Łódź"_s} << true;
    }

    void text()
    {
        QFETCH(QStringList, lines);
        const FakeLines<> view(lines);
        QTEST(RangeNeedsUnicode(view, 0, view.lineCount() - 1), "unicode");
        QCOMPARE(BuildLinesText(view, 0, view.lineCount() - 1),
                 (lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
    }
};

QTEST_APPLESS_MAIN(tst_LineText)
#include "tst_LineText.moc"
