#include "FakeLines.h"
#include "TextWriter.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

using Encoding = TextWriter::Encoding;
Q_DECLARE_METATYPE(Encoding)

class tst_TextWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bytes_data()
    {
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<QByteArray>("existing"); // null: no file yet
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("expected"); // after two saves

        const QByteArray mark("\xFF\xFE", 2);
        QTest::newRow("Latin-1: é is one byte")
            << Encoding::Latin1 << QByteArray() << QStringList{u"A=1"_s, u"café"_s}
            << QByteArray("A=1\r\ncaf\xE9\r\n\r\n").repeated(2);
        QTest::newRow("Latin-1: ? above U+00FF, one for a surrogate pair")
            << Encoding::Latin1 << QByteArray() << QStringList{u"é€𝄞x"_s}
            << QByteArray("\xE9??x\r\n\r\n").repeated(2);
        QTest::newRow("UTF-16 into a new file: one mark")
            << Encoding::Utf16LE << QByteArray() << QStringList{u"é"_s, u"€"_s}
            << mark + utf16le(u"é\r\n€\r\n\r\n"_s.repeated(2));
        QTest::newRow("UTF-16 into an existing empty file: no mark")
            << Encoding::Utf16LE << QByteArray("") << QStringList{u"a"_s}
            << utf16le(u"a\r\n\r\n"_s.repeated(2));

        // Lines longer than the writer's buffer, one with a surrogate pair across its end.
        QTest::newRow("Latin-1: long line of pairs")
            << Encoding::Latin1 << QByteArray() << QStringList{u'x' + u"𝄞"_s.repeated(40000)}
            << (QByteArray("x") + QByteArray(40000, '?') + QByteArray("\r\n\r\n")).repeated(2);
        const QString longLine = u"é"_s.repeated(70000);
        QTest::newRow("UTF-16: long Latin-1 line")
            << Encoding::Utf16LE << QByteArray() << QStringList{longLine}
            << mark + utf16le((longLine + u"\r\n\r\n"_s).repeated(2));
    }

    void bytes()
    {
        QFETCH(Encoding, encoding);
        QFETCH(QByteArray, existing);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.txt"_s);
        QFile file(path);
        QVERIFY(existing.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(existing) == existing.size()));
        file.close();
        const FakeLines source(lines);
        for (int save = 0; save < 2; ++save) {
            TextWriter writer;
            QCOMPARE(writer.open(path, encoding).number, 0);
            for (int row = 0; row < source.lineCount(); ++row)
                QCOMPARE(writer.writeLine(source.line(row)).number, 0);
            QCOMPARE(writer.writeLine().number, 0);
            QCOMPARE(writer.close().number, 0);
        }
        QCOMPARE(readAll(path), expected);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("path"); // %1: a fresh folder holding file.txt
        QTest::addColumn<int>("lineLength");
        QTest::addColumn<QString>("error"); // where it failed, number and description

        QTest::newRow("missing folder")
            << u"%1/missing/out.txt"_s << 1 << u"open 76 Path not found"_s;
        QTest::newRow("file as folder")
            << u"%1/file.txt/out.txt"_s << 1 << u"open 76 Path not found"_s;
        QTest::newRow("folder as file") << u"%1"_s << 1 << u"open 75 Path/File access error"_s;
        // sysfs makes no files, even for root.
        QTest::newRow("file system without new files")
            << u"/sys/helix-debug-display.txt"_s << 1 << u"open 70 Permission denied"_s;
        QTest::newRow("disk full at close") << u"/dev/full"_s << 1 << u"close 61 Disk full"_s;
        QTest::newRow("disk full while writing a long line")
            << u"/dev/full"_s << 100000 << u"write 61 Disk full"_s;
    }

    void errors()
    {
        QFETCH(QString, path);
        QFETCH(int, lineLength);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"file.txt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));

        TextWriter writer;
        QString at = u"open"_s;
        FileError failure = writer.open(path.replace(u"%1"_s, dir.path()), Encoding::Latin1);
        if (!failure) {
            at = u"write"_s;
            failure = writer.writeLine(QString(lineLength, u'x'));
        }
        if (!failure) {
            at = u"close"_s;
            failure = writer.close();
        }
        QCOMPARE(u"%1 %2 %3"_s.arg(at).arg(failure.number).arg(failure.description), error);
    }
};

QTEST_GUILESS_MAIN(tst_TextWriter)
#include "tst_TextWriter.moc"
