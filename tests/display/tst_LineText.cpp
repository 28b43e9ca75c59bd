// Scopes into rows, and rows into clipboard and file text.
#include "FakeLines.h"
#include "display/LineText.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_LineText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lineRanges_data()
    {
        using L = QList<int>;
        QTest::addColumn<int>("scope");
        QTest::addColumn<L>("grid");  // rows, row, rowSel, current entry, next entry
        QTest::addColumn<L>("range"); // first, last; empty when none
        using namespace LineText;
        QTest::newRow("selection, row below rowSel")
            << int(Selection) << L{12, 7, 3, 5, 9} << L{3, 7};
        QTest::newRow("selection, row above rowSel")
            << int(Selection) << L{12, 3, 7, 5, 9} << L{3, 7};
        QTest::newRow("selection, no current row") << int(Selection) << L{12, -1, -1, 0, -1} << L{};
        QTest::newRow("current entry up to the next")
            << int(CurrentEntry) << L{12, 6, 6, 5, 9} << L{5, 8};
        QTest::newRow("current entry to the end")
            << int(CurrentEntry) << L{12, 6, 6, 5, -1} << L{5, 11};
        QTest::newRow("no current entry") << int(CurrentEntry) << L{12, 6, 6, -1, -1} << L{};
        QTest::newRow("all") << int(AllLines) << L{12, 6, 6, 5, 9} << L{0, 11};
        QTest::newRow("all of nothing") << int(AllLines) << L{0, -1, -1, -1, -1} << L{};
        QTest::newRow("no such scope") << 3 << L{12, 6, 6, 5, 9} << L{};
    }

    void lineRanges()
    {
        QFETCH(int, scope);
        QFETCH(QList<int>, grid);
        QFETCH(QList<int>, range);
        LineText::Range found{-7, -7};
        const bool valid =
            LineText::GetLineRange(scope, {grid[0], 0, grid[1], grid[2], grid[3], grid[4]}, found);
        QCOMPARE(valid, !range.isEmpty());
        QCOMPARE((QList<int>{found.first, found.last}), (valid ? range : QList<int>{-7, -7}));
    }

    void text_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("unicode");
        QTest::newRow("latin-1 accent") << QStringList{u"a"_s, u"é"_s, u"ÿ"_s} << false;
        QTest::newRow("euro anywhere") << QStringList{u"é"_s, u"5€"_s} << true;
        QTest::newRow("separator") << QStringList{u"a\0b"_s} << true;
        QTest::newRow("empty lines") << QStringList{QString(), QString()} << false;
    }

    // Every line ends in CR LF, the last one too; a line outside U+0001..U+00FF needs a
    // Unicode file.
    void text()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, unicode);
        const FakeLines<> source(lines);
        QCOMPARE(LineText::RangeNeedsUnicode(source, 0, source.lineCount() - 1), unicode);
        QCOMPARE(LineText::BuildLinesText(source, 0, source.lineCount() - 1),
                 lines.join(u"\r\n"_s) + u"\r\n"_s);
    }
};

QTEST_APPLESS_MAIN(tst_LineText)
#include "tst_LineText.moc"
