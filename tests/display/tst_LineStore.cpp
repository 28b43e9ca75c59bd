#include "LineStore.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

using Marks = QList<QPair<int, int>>; // row, value

class tst_LineStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wide");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("latin-1 accents") << u"NAME=Müller é ÿ"_s << false;
        QTest::newRow("separator and line break") << u"A\0B\r\nC"_s << false;
        QTest::newRow("beyond latin-1") << u"CITY=Łódź"_s << true;
        QTest::newRow("surrogate pair") << u"EMOJI=😀"_s << true;
        QTest::newRow("huge line gets its own block") << QString(300000, u'x') << false;
        QTest::newRow("huge wide line") << QString(200000, QChar(0x0142)) << true;
    }

    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(bool, wide);
        LineStore store;
        // Neighbours on both sides catch offsets that spill into the next line.
        store.append(u"before");
        store.append(text);
        store.append(u"after");
        QCOMPARE(store.size(), 3);
        QCOMPARE(store.text(1), text);
        QCOMPARE(store.view(1).wide, wide);
        QCOMPARE(store.view(1).length, text.size());
        QCOMPARE(store.text(0), u"before"_s);
        QCOMPARE(store.text(2), u"after"_s);
    }

    // Enough lines to fill several text blocks and record segments, mixing both encodings so
    // wide lines land on odd offsets that must be realigned.
    void manyLinesAcrossBlocks()
    {
        const auto lineText = [](int i) {
            return (i % 7 == 0 ? u"ł"_s : u"x"_s) + QString::number(i) + QString(i % 13, u'.');
        };
        LineStore store;
        const int count = 200000;
        for (int i = 0; i < count; ++i)
            store.append(lineText(i));
        QCOMPARE(store.size(), count);
        for (int i : {0, 1, 6, 7, 65535, 65536, 65537, 131071, 131072, count - 1})
            QCOMPARE(store.text(i), lineText(i));
        QVERIFY(store.bytesReserved() < std::size_t(count) * 40);
    }

    void rowData_data()
    {
        QTest::addColumn<Marks>("marks");      // applied in this order
        QTest::addColumn<QString>("expected"); // the row data of rows 0 to 11
        QTest::addColumn<int>("findFrom");
        QTest::addColumn<int>("found");

        QTest::newRow("from an unmarked row")
            << Marks{{0, 1}, {5, 1}, {9, 1}} << u"100001000100"_s << 6 << 9;
        QTest::newRow("from a marked row finds it")
            << Marks{{0, 1}, {5, 1}} << u"100001000000"_s << 5 << 5;
        QTest::newRow("nothing after the last mark")
            << Marks{{0, 1}, {5, 1}} << u"100001000000"_s << 6 << -1;
        QTest::newRow("marks set out of order")
            << Marks{{9, 1}, {2, 1}, {5, 1}} << u"001001000100"_s << 3 << 5;
        QTest::newRow("a mark cleared is no longer found")
            << Marks{{2, 1}, {5, 1}, {5, 0}, {9, 1}} << u"001000000100"_s << 3 << 9;
        QTest::newRow("other values are kept but not found as 1")
            << Marks{{2, 7}, {4, 1}} << u"007010000000"_s << 0 << 4;
        QTest::newRow("negative start searches from the top")
            << Marks{{3, 1}} << u"000100000000"_s << -1 << 3;
    }

    void rowData()
    {
        QFETCH(Marks, marks);
        QFETCH(QString, expected);
        QFETCH(int, findFrom);
        QFETCH(int, found);
        LineStore store;
        for (int i = 0; i < 12; ++i)
            store.append(QString::number(i));
        for (const auto &[row, value] : marks)
            store.setRowData(row, value);
        QString data;
        for (int row = 0; row < 12; ++row)
            data += QString::number(store.rowData(row));
        QCOMPARE(data, expected);
        QCOMPARE(store.findRowData(1, findFrom), found);
    }

    void clearForgetsEverything()
    {
        LineStore store;
        for (int i = 0; i < 70000; ++i)
            store.append(u"line");
        store.setRowData(10, 1);
        store.setBold(10, true);
        store.clear();
        QCOMPARE(store.size(), 0);
        QCOMPARE(store.bytesReserved(), std::size_t(0));
        store.append(u"fresh");
        QCOMPARE(store.text(0), u"fresh"_s);
        QCOMPARE(store.rowData(0), 0);
        QCOMPARE(store.bold(0), false);
        QCOMPARE(store.findRowData(1, 0), -1);
    }
};

QTEST_GUILESS_MAIN(tst_LineStore)
#include "tst_LineStore.moc"
