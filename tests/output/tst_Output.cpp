// Saving display lines: the file writer, ClassFileSystem and its save dialog.
#include "DialogDriver.h"
#include "FakeLines.h"
#include "output/ClassFileSystem.h"
#include "platform/TextWriter.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_Output : public QObject {
    Q_OBJECT

    QStringList mReports;

private Q_SLOTS:
    void initTestCase()
    {
        FileSystem().setReporter([this](const QString &text) { mReports.append(text); });
    }
    void init() { mReports.clear(); }

    // Each row saved twice, from `first` to the last line: the second save appends, and a new
    // UTF-16 file alone starts with a byte-order mark.
    void saves_data()
    {
        QTest::addColumn<bool>("unicode");
        QTest::addColumn<QByteArray>("existing"); // null: no file yet
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("first");
        QTest::addColumn<QByteArray>("saved"); // by one save
        const auto row = [](const char *name, bool unicode, const QByteArray &existing,
                            const QStringList &lines, int first, const QByteArray &saved) {
            QTest::newRow(name) << unicode << existing << lines << first << saved;
        };
        row("Latin-1: ? above U+00FF, one for a surrogate pair", false, {},
            {u"skipped"_s, u"é€𝄞x"_s}, 1, "\xE9??x\r\n\r\n");
        row("UTF-16 into a new file", true, {}, {u"é"_s, u"€"_s}, 0, utf16le(u"é\r\n€\r\n\r\n"_s));
        row("UTF-16 into an existing empty file", true, "", {u"a"_s}, 0, utf16le(u"a\r\n\r\n"_s));
        row("first after last: the empty line alone", false, {}, {u"a"_s}, 1, "\r\n");
        // Lines longer than the writer's buffer, one with a surrogate pair across its end.
        row("Latin-1: long line of pairs", false, {}, {u'x' + u"𝄞"_s.repeated(40000)}, 0,
            "x" + QByteArray(40000, '?') + "\r\n\r\n");
        // The last CR LF crosses the writer's 64 KiB buffer, and the last flush holds one byte.
        row("Latin-1: the end one byte past the buffer", false, {}, {QString(65533, u'x')}, 0,
            QByteArray(65533, 'x') + "\r\n\r\n");
        const QString longLine = u"é"_s.repeated(70000);
        row("UTF-16: long Latin-1 line", true, {}, {longLine}, 0,
            utf16le(longLine + u"\r\n\r\n"_s));
    }

    void saves()
    {
        QFETCH(bool, unicode);
        QFETCH(QByteArray, existing);
        QFETCH(QStringList, lines);
        QFETCH(int, first);
        QFETCH(QByteArray, saved);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.txt"_s);
        QFile file(path);
        QVERIFY(existing.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(existing) == existing.size()));
        file.close();
        const FakeLines source(lines);
        for (int save = 0; save < 2; ++save)
            FileSystem().WriteLinesToFile(&source, first, lines.size() - 1, path, unicode);
        const QByteArray mark = unicode && existing.isNull() ? "\xFF\xFE" : "";
        QCOMPARE(readAll(path), mark + saved.repeated(2));
        QCOMPARE(mReports, QStringList());
    }

    void writerErrors_data()
    {
        QTest::addColumn<QString>("path"); // %1: a fresh folder
        QTest::addColumn<int>("lineLength");
        QTest::addColumn<QString>("error"); // where it failed, number and description

        QTest::newRow("folder as file") << u"%1"_s << 1 << u"open 75 Path/File access error"_s;
        // sysfs makes no files, even for root.
        QTest::newRow("file system without new files")
            << u"/sys/helix-debug-display.txt"_s << 1 << u"open 70 Permission denied"_s;
        QTest::newRow("disk full at close") << u"/dev/full"_s << 1 << u"close 61 Disk full"_s;
        QTest::newRow("disk full while writing a long line")
            << u"/dev/full"_s << 100000 << u"write 61 Disk full"_s;
    }

    void writerErrors()
    {
        QFETCH(QString, path);
        QFETCH(int, lineLength);
        QTemporaryDir dir;
        TextWriter writer;
        QString at = u"open"_s;
        FileError failure =
            writer.open(path.replace(u"%1"_s, dir.path()), TextWriter::Encoding::Latin1);
        if (!failure) {
            at = u"write"_s;
            failure = writer.writeLine(QString(lineLength, u'x'));
        }
        if (!failure) {
            at = u"close"_s;
            failure = writer.close();
        }
        QTEST(u"%1 %2 %3"_s.arg(at).arg(failure.number).arg(failure.description), "error");
    }

    // A failed save tells the operator once; saves without a file or lines do nothing, and the
    // next save starts clean.
    void failedSaveIsReported()
    {
        QTemporaryDir dir;
        const FakeLines lines({u"a"_s});
        const QString missing = dir.filePath(u"missing/out.txt"_s);
        ClassFileSystem &files = FileSystem();
        files.WriteLinesToFile(&lines, 0, 0, missing, false);
        files.WriteLinesToFile(nullptr, 0, 0, dir.filePath(u"none.txt"_s), false);
        files.WriteLinesToFile(&lines, 0, 0, QString(), false);
        QCOMPARE(mReports, QStringList{u"Quarto could not open the file \"%1\"\r\n\r\n"
                                       u"Error #76: Path not found"_s.arg(missing)});
        files.WriteLinesToFile(&lines, 0, 0, dir.filePath(u"good.txt"_s), false);
        QVERIFY(files.ErrorNumber == 0 && files.ErrorDescription.isEmpty());
    }

    // The filters and the default name are offered; a missing folder and a pattern are turned
    // away with a warning; ".txt" is added to a name without it, and an existing file is taken.
    void askSaveFileName()
    {
        QTemporaryDir dir;
        QFile old(dir.filePath(u"old.txt"_s));
        QVERIFY(old.open(QIODevice::WriteOnly));
        const QString missing = dir.filePath(u"missing"_s);
        QStringList seen;
        whenShown<QFileDialog>([&](QFileDialog *shown) {
            seen << shown->nameFilters().join(u';')
                 << shown->findChild<QLineEdit *>(u"fileNameEdit"_s)->text();
            for (const QString &name : {missing + u"/x"_s, u"*"_s, u"old"_s})
                seen << acceptTyped(shown, name);
            if (shown->isVisible())
                shown->reject();
        });
        QCOMPARE(FileSystem().AskSaveFileName(dir.filePath(u"trace.txt"_s), nullptr),
                 dir.filePath(u"old.txt"_s));
        QCOMPARE(seen, (QStringList{u"Text Files (*.txt);All Files (*)"_s, u"trace.txt"_s,
                                    u"The folder \"%1\" does not exist."_s.arg(missing),
                                    u"\"*.txt\" is a pattern, not a file name."_s, QString()}));
    }
};

QTEST_MAIN(tst_Output)
#include "tst_Output.moc"
