#include "FakeLines.h"
#include "TextWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Encoding = TextWriter::Encoding;
Q_DECLARE_METATYPE(Encoding)

namespace {

const QByteArray kMark("\xFF\xFE", 2);

} // namespace

class tst_TextWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bytes_data();
    void bytes();
    void errors_data();
    void errors();
};

void tst_TextWriter::bytes_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QByteArray>("existing"); // null: no file yet
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("expected"); // after two saves

    QTest::newRow("Latin-1: é is one byte")
        << Encoding::Latin1 << QByteArray()
        << QStringList{QStringLiteral("A=1"), QStringLiteral("café")}
        << QByteArray("A=1\r\ncaf\xE9\r\n\r\n").repeated(2);
    QTest::newRow("Latin-1: ? above U+00FF, one for a surrogate pair")
        << Encoding::Latin1 << QByteArray() << QStringList{QStringLiteral("é€𝄞x")}
        << QByteArray("\xE9??x\r\n\r\n").repeated(2);
    QTest::newRow("UTF-16 into a new file: one mark")
        << Encoding::Utf16LE << QByteArray()
        << QStringList{QStringLiteral("é"), QStringLiteral("€")}
        << kMark + utf16le(QStringLiteral("é\r\n€\r\n\r\n").repeated(2));
    QTest::newRow("UTF-16 into an existing empty file: no mark")
        << Encoding::Utf16LE << QByteArray("") << QStringList{QStringLiteral("a")}
        << utf16le(QStringLiteral("a\r\n\r\n").repeated(2));

    // Lines longer than the writer's buffer, one with a surrogate pair across its end.
    QTest::newRow("Latin-1: long line of pairs")
        << Encoding::Latin1 << QByteArray()
        << QStringList{QLatin1Char('x') + QStringLiteral("𝄞").repeated(40000)}
        << (QByteArray("x") + QByteArray(40000, '?') + QByteArray("\r\n\r\n")).repeated(2);
    const QString longLine = QStringLiteral("é").repeated(70000);
    QTest::newRow("UTF-16: long Latin-1 line")
        << Encoding::Utf16LE << QByteArray() << QStringList{longLine}
        << kMark + utf16le((longLine + QStringLiteral("\r\n\r\n")).repeated(2));
}

void tst_TextWriter::bytes()
{
    QFETCH(Encoding, encoding);
    QFETCH(QByteArray, existing);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    if (!existing.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    }
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

void tst_TextWriter::errors_data()
{
    QTest::addColumn<QString>("path"); // %1: a fresh folder holding file.txt
    QTest::addColumn<int>("lineLength");
    QTest::addColumn<QString>("error"); // where it failed, number and description

    QTest::newRow("missing folder")
        << QStringLiteral("%1/missing/out.txt") << 1 << QStringLiteral("open 76 Path not found");
    QTest::newRow("file as folder")
        << QStringLiteral("%1/file.txt/out.txt") << 1 << QStringLiteral("open 76 Path not found");
    QTest::newRow("folder as file")
        << QStringLiteral("%1") << 1 << QStringLiteral("open 75 Path/File access error");
    // sysfs makes no files, even for root.
    QTest::newRow("file system without new files")
        << QStringLiteral("/sys/helix-debug-display.txt") << 1
        << QStringLiteral("open 70 Permission denied");
    QTest::newRow("disk full at close")
        << QStringLiteral("/dev/full") << 1 << QStringLiteral("close 61 Disk full");
    QTest::newRow("disk full while writing a long line")
        << QStringLiteral("/dev/full") << 100000 << QStringLiteral("write 61 Disk full");
}

void tst_TextWriter::errors()
{
    QFETCH(QString, path);
    QFETCH(int, lineLength);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("file.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));

    TextWriter writer;
    QString at = QStringLiteral("open");
    FileError failure =
        writer.open(path.replace(QStringLiteral("%1"), dir.path()), Encoding::Latin1);
    if (!failure) {
        at = QStringLiteral("write");
        failure = writer.writeLine(QString(lineLength, QLatin1Char('x')));
    }
    if (!failure) {
        at = QStringLiteral("close");
        failure = writer.close();
    }
    QCOMPARE(at + QLatin1Char(' ') + QString::number(failure.number) + QLatin1Char(' ') +
                 failure.description,
             error);
}

QTEST_GUILESS_MAIN(tst_TextWriter)
#include "tst_TextWriter.moc"
