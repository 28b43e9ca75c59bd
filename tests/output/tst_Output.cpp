// Saving display lines: the file writer, ClassFileSystem and its save dialog.
#include "DialogDriver.h"
#include "FakeLines.h"
#include "output/ClassFileSystem.h"
#include "platform/TextWriter.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const FakeLines kLines({u"[App]  Lookup Request"_s, u"       PutTag ITEM=é"_s, u"€ 5"_s});

} // namespace

class tst_Output : public QObject {
    Q_OBJECT

    QStringList mReports;

private Q_SLOTS:
    void initTestCase()
    {
        FileSystem().setReporter([this](const QString &text) { mReports.append(text); });
    }
    void init() { mReports.clear(); }

    // Each row saved twice, from `first` to the last line: the second save appends.
    void saves_data()
    {
        QTest::addColumn<bool>("unicode");
        QTest::addColumn<QByteArray>("existing"); // null: no file yet
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("first");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray mark("\xFF\xFE", 2);
        QTest::newRow("Latin-1: ? above U+00FF, one for a surrogate pair")
            << false << QByteArray() << QStringList{u"skipped"_s, u"é€𝄞x"_s} << 1
            << QByteArray("\xE9??x\r\n\r\n").repeated(2);
        QTest::newRow("UTF-16 into a new file: one mark")
            << true << QByteArray() << QStringList{u"é"_s, u"€"_s} << 0
            << mark + utf16le(u"é\r\n€\r\n\r\n"_s.repeated(2));
        QTest::newRow("UTF-16 into an existing empty file: no mark")
            << true << QByteArray("") << QStringList{u"a"_s} << 0
            << utf16le(u"a\r\n\r\n"_s.repeated(2));
        QTest::newRow("first after last: the empty line alone")
            << false << QByteArray() << QStringList{u"a"_s} << 1 << QByteArray("\r\n\r\n");
        // Lines longer than the writer's buffer, one with a surrogate pair across its end.
        QTest::newRow("Latin-1: long line of pairs")
            << false << QByteArray() << QStringList{u'x' + u"𝄞"_s.repeated(40000)} << 0
            << (QByteArray("x") + QByteArray(40000, '?') + QByteArray("\r\n\r\n")).repeated(2);
        const QString longLine = u"é"_s.repeated(70000);
        QTest::newRow("UTF-16: long Latin-1 line")
            << true << QByteArray() << QStringList{longLine} << 0
            << mark + utf16le((longLine + u"\r\n\r\n"_s).repeated(2));
    }

    void saves()
    {
        QFETCH(bool, unicode);
        QFETCH(QByteArray, existing);
        QFETCH(QStringList, lines);
        QFETCH(int, first);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.txt"_s);
        QFile file(path);
        QVERIFY(existing.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(existing) == existing.size()));
        file.close();
        const FakeLines source(lines);
        for (int save = 0; save < 2; ++save)
            FileSystem().WriteLinesToFile(&source, first, lines.size() - 1, path, unicode);
        QCOMPARE(readAll(path), expected);
        QCOMPARE(FileSystem().ErrorNumber, 0);
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
        QFETCH(QString, error);
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
        QCOMPARE(u"%1 %2 %3"_s.arg(at).arg(failure.number).arg(failure.description), error);
    }

    void errorIsReportedAndKeptUntilTheNextSave()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(u"missing/out.txt"_s);
        ClassFileSystem &files = FileSystem();
        files.WriteLinesToFile(&kLines, 0, 2, missing, false);
        QCOMPARE(files.ErrorNumber, 76);
        QCOMPARE(files.ErrorDescription, u"Path not found"_s);
        QCOMPARE(mReports, QStringList{u"Quarto could not open the file \"%1\"\r\n\r\n"
                                       u"Error #76: Path not found"_s.arg(missing)});

        const QString good = dir.filePath(u"good.txt"_s);
        files.WriteLinesToFile(nullptr, 0, 2, good, false);
        files.WriteLinesToFile(&kLines, 0, 2, QString(), false);
        QCOMPARE(files.ErrorNumber, 76);
        files.WriteLinesToFile(&kLines, 0, 2, good, false);
        QCOMPARE(files.ErrorNumber, 0);
        QCOMPARE(files.ErrorDescription, QString());
        QCOMPARE(mReports.size(), 1);
    }

    void askSaveFileName_data()
    {
        // %1 stands for a fresh folder holding old.txt.
        QTest::addColumn<QString>("defaultName");
        QTest::addColumn<QString>("offered");
        // Each attempt: the name typed ("" for the offered one), "|" and the warning it brings;
        // none cancels.
        QTest::addColumn<QStringList>("attempts");
        QTest::addColumn<QString>("result");

        QTest::newRow("no default: *.txt offered; cancelled")
            << QString() << u"*.txt"_s << QStringList() << QString();
        QTest::newRow("missing folder and pattern refused; .txt added")
            << u"%1/trace.txt"_s << u"trace.txt"_s
            << QStringList{u"%1/missing/x|The folder \"%1/missing\" does not exist."_s,
                           u"*|\"*.txt\" is a pattern, not a file name."_s, u"report|"_s}
            << u"%1/report.txt"_s;
        QTest::newRow("an existing file is taken without asking")
            << u"%1/old.txt"_s << u"old.txt"_s << QStringList{u"|"_s} << u"%1/old.txt"_s;
    }

    void askSaveFileName()
    {
        QFETCH(QString, defaultName);
        QFETCH(QString, offered);
        QFETCH(QStringList, attempts);
        QFETCH(QString, result);
        QTemporaryDir dir;
        QFile old(dir.filePath(u"old.txt"_s));
        QVERIFY(old.open(QIODevice::WriteOnly));
        const auto in = [&dir](QString text) { return text.replace(u"%1"_s, dir.path()); };

        QStringList seen;
        whenShown<QFileDialog>([&](QFileDialog *shown) {
            seen << shown->nameFilters().join(u';')
                 << shown->findChild<QLineEdit *>(u"fileNameEdit"_s)->text();
            for (const QString &attempt : std::as_const(attempts)) {
                const QString name = in(attempt.section(u'|', 0, 0));
                seen << name + u'|' + acceptTyped(shown, name);
            }
            if (shown->isVisible())
                shown->reject();
        });
        QCOMPARE(FileSystem().AskSaveFileName(in(defaultName), nullptr), in(result));
        QCOMPARE(
            seen,
            in((QStringList{u"Text Files (*.txt);All Files (*)"_s, offered} + attempts).join(u'\n'))
                .split(u'\n'));
    }
};

QTEST_MAIN(tst_Output)
#include "tst_Output.moc"
