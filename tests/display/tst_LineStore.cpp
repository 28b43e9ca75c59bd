#include "LineStore.h"

#include <QTest>

class tst_LineStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void manyLinesAcrossBlocks();
    void rowData_data();
    void rowData();
    void clearForgetsEverything();
};

void tst_LineStore::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wide");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("ascii") << QStringLiteral("[Client A]  Lookup Request") << false;
    QTest::newRow("latin-1 accents") << QStringLiteral("NAME=Müller é ÿ") << false;
    QTest::newRow("separator and line break") << QString::fromUtf16(u"A\0B\r\nC", 6) << false;
    QTest::newRow("beyond latin-1") << QStringLiteral("CITY=Łódź") << true;
    QTest::newRow("euro sign") << QStringLiteral("PRICE=5€") << true;
    QTest::newRow("surrogate pair") << QString::fromUtf8("EMOJI=\xF0\x9F\x98\x80") << true;
    QTest::newRow("huge line gets its own block") << QString(300000, QLatin1Char('x')) << false;
    QTest::newRow("huge wide line") << QString(200000, QChar(0x0142)) << true;
}

void tst_LineStore::roundTrip()
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
    QCOMPARE(store.text(0), QStringLiteral("before"));
    QCOMPARE(store.text(2), QStringLiteral("after"));
}

void tst_LineStore::manyLinesAcrossBlocks()
{
    // Enough lines to fill several text blocks and record segments, mixing both encodings so
    // wide lines land on odd offsets that must be realigned.
    LineStore store;
    const int count = 200000;
    for (int i = 0; i < count; ++i) {
        const QString text = (i % 7 == 0 ? QStringLiteral("ł") : QStringLiteral("x")) +
                             QString::number(i) + QString(i % 13, QLatin1Char('.'));
        store.append(text);
    }
    QCOMPARE(store.size(), count);
    for (int i : {0, 1, 6, 7, 65535, 65536, 65537, 131071, 131072, count - 1}) {
        const QString expected = (i % 7 == 0 ? QStringLiteral("ł") : QStringLiteral("x")) +
                                 QString::number(i) + QString(i % 13, QLatin1Char('.'));
        QCOMPARE(store.text(i), expected);
    }
    QVERIFY(store.bytesReserved() < std::size_t(count) * 40);
}

using Marks = QList<QPair<int, int>>;

void tst_LineStore::rowData_data()
{
    QTest::addColumn<Marks>("marks"); // applied in this order
    QTest::addColumn<QList<int>>("expectedData");
    QTest::addColumn<int>("findFrom");
    QTest::addColumn<int>("found");

    QTest::newRow("entries at 0, 5, 9 of 12, from 6")
        << Marks{{0, 1}, {5, 1}, {9, 1}} << QList<int>{1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0} << 6
        << 9;
    QTest::newRow("find from a marked row finds it")
        << Marks{{0, 1}, {5, 1}} << QList<int>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0} << 5 << 5;
    QTest::newRow("nothing after the last mark")
        << Marks{{0, 1}, {5, 1}} << QList<int>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0} << 6 << -1;
    QTest::newRow("marks set out of order")
        << Marks{{9, 1}, {2, 1}, {5, 1}} << QList<int>{0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0} << 3
        << 5;
    QTest::newRow("a mark cleared is no longer found")
        << Marks{{2, 1}, {5, 1}, {5, 0}, {9, 1}} << QList<int>{0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0}
        << 3 << 9;
    QTest::newRow("other values are kept but not found as 1")
        << Marks{{2, 7}, {4, 1}} << QList<int>{0, 0, 7, 0, 1, 0, 0, 0, 0, 0, 0, 0} << 0 << 4;
    QTest::newRow("negative start searches from the top")
        << Marks{{3, 1}} << QList<int>{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0} << -1 << 3;
}

void tst_LineStore::rowData()
{
    QFETCH(Marks, marks);
    QFETCH(QList<int>, expectedData);
    QFETCH(int, findFrom);
    QFETCH(int, found);
    LineStore store;
    for (int i = 0; i < 12; ++i)
        store.append(QString::number(i));
    for (const auto &[row, value] : marks)
        store.setRowData(row, value);
    for (int row = 0; row < 12; ++row)
        QCOMPARE(store.rowData(row), expectedData[row]);
    QCOMPARE(store.findRowData(1, findFrom), found);
}

void tst_LineStore::clearForgetsEverything()
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
    QCOMPARE(store.text(0), QStringLiteral("fresh"));
    QCOMPARE(store.rowData(0), 0);
    QCOMPARE(store.bold(0), false);
    QCOMPARE(store.findRowData(1, 0), -1);
}

QTEST_GUILESS_MAIN(tst_LineStore)
#include "tst_LineStore.moc"
