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
    QTemporaryDir mDir;

private Q_SLOTS:
    void initTestCase()
    {
        FileSystem().setReporter([this](const QString &text) { mReports << text; });
    }

    // Saved twice from `first` on: the second save appends; only a new UTF-16 file gets a BOM.
    void saves_data()
    {
        QTest::addColumn<bool>("unicode");
        QTest::addColumn<bool>("existing"); // an empty file is there already
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("first");
        QTest::addColumn<QByteArray>("saved"); // by one save
        const auto row = [](const char *name, bool unicode, const QStringList &lines, int first,
                            const QByteArray &saved, bool existing = false) {
            QTest::newRow(name) << unicode << existing << lines << first << saved;
        };
        row("Latin-1: ? above U+00FF, one for a surrogate pair", false, {u"skipped"_s, u"é€𝄞x"_s},
            1, "\xE9??x\r\n\r\n");
        row("UTF-16 into a new file", true, {u"é"_s, u"€"_s}, 0, utf16le(u"é\r\n€\r\n\r\n"_s));
        row("UTF-16 into an existing empty file", true, {u"a"_s}, 0, utf16le(u"a\r\n\r\n"_s), true);
        row("first after last: the empty line alone", false, {u"a"_s}, 1, "\r\n");
        // Past the writer's 64 KiB buffer: a surrogate pair, or the last CR LF, across its end.
        row("Latin-1: long line of pairs", false, {u'x' + u"𝄞"_s.repeated(40000)}, 0,
            "x" + QByteArray(40000, '?') + "\r\n\r\n");
        row("Latin-1: the end one byte past the buffer", false, {QString(65533, u'x')}, 0,
            QByteArray(65533, 'x') + "\r\n\r\n");
        row("UTF-16: long Latin-1 line", true, {u"é"_s.repeated(70000)}, 0,
            utf16le(u"é"_s.repeated(70000) + u"\r\n\r\n"_s));
    }

    void saves()
    {
        QFETCH(bool, unicode);
        QFETCH(bool, existing);
        QFETCH(QStringList, lines);
        QFETCH(int, first);
        QFETCH(QByteArray, saved);
        const QString path = mDir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(!existing || QFile(path).open(QIODevice::WriteOnly));
        const FakeLines source(lines);
        for (int save = 0; save < 2; ++save)
            FileSystem().WriteLinesToFile(&source, first, lines.size() - 1, path, unicode);
        QCOMPARE(readAll(path), (unicode && !existing ? "\xFF\xFE" : "") + saved.repeated(2));
        QCOMPARE(mReports, QStringList());
    }

    void writerErrors_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("lineLength");
        QTest::addColumn<QString>("error"); // where it failed, number and description
        QTest::newRow("folder as file") << "/" << 1 << "open 75 Path/File access error";
        QTest::newRow("sysfs: root cannot create") << "/sys/x" << 1 << "open 70 Permission denied";
        QTest::newRow("disk full at close") << "/dev/full" << 1 << "close 61 Disk full";
        QTest::newRow("disk full at write") << "/dev/full" << 100000 << "write 61 Disk full";
    }

    void writerErrors()
    {
        QFETCH(QString, path);
        QFETCH(int, lineLength);
        TextWriter writer;
        FileError failure = writer.open(path, TextWriter::Encoding::Latin1);
        QString at = u"open"_s;
        if (!failure)
            at = (failure = writer.writeLine(QString(lineLength, u'x'))) ? u"write"_s : u"close"_s;
        if (!failure)
            failure = writer.close();
        QTEST(u"%1 %2 %3"_s.arg(at).arg(failure.number).arg(failure.description), "error");
    }

    // Told once; saves without a file or lines do nothing, and the next save starts clean.
    void failedSaveIsReported()
    {
        const FakeLines lines({u"a"_s});
        const QString missing = mDir.filePath(u"missing/out.txt"_s);
        FileSystem().WriteLinesToFile(&lines, 0, 0, missing, false);
        FileSystem().WriteLinesToFile(nullptr, 0, 0, mDir.filePath(u"none.txt"_s), false);
        FileSystem().WriteLinesToFile(&lines, 0, 0, QString(), false);
        QCOMPARE(mReports, QStringList{u"Quarto could not open the file \"%1\"\r\n\r\n"
                                       u"Error #76: Path not found"_s.arg(missing)});
        FileSystem().WriteLinesToFile(&lines, 0, 0, mDir.filePath(u"good.txt"_s), false);
        QVERIFY(FileSystem().ErrorNumber == 0 && FileSystem().ErrorDescription.isEmpty());
    }

    // Filters and name offered; a missing folder and a pattern warned of; ".txt" added.
    void askSaveFileName()
    {
        const QString old = mDir.filePath(u"old.txt"_s);
        QVERIFY(QFile(old).open(QIODevice::WriteOnly));
        const QString missing = mDir.filePath(u"missing"_s);
        QStringList seen;
        whenShown<QFileDialog>([&](QFileDialog *shown) {
            seen << shown->nameFilters().join(u';')
                 << shown->findChild<QLineEdit *>(u"fileNameEdit"_s)->text();
            for (const QString &name : {missing + u"/x"_s, u"*"_s, u"old"_s})
                seen << acceptTyped(shown, name);
            if (shown->isVisible())
                shown->reject();
        });
        QCOMPARE(FileSystem().AskSaveFileName(mDir.filePath(u"trace.txt"_s), nullptr), old);
        QCOMPARE(seen, (QStringList{u"Text Files (*.txt);All Files (*)"_s, u"trace.txt"_s,
                                    u"The folder \"%1\" does not exist."_s.arg(missing),
                                    u"\"*.txt\" is a pattern, not a file name."_s, QString()}));
    }

    // With no earlier file the dialog opens at home, not in the working folder, which is "/"
    // when the bus started the display; after a save, in the folder of the file saved.
    void saveDialogFolder()
    {
        QDir::setCurrent(u"/"_s);
        QStringList folders;
        const auto cancel = [&folders](QFileDialog *shown) {
            folders << shown->directory().absolutePath();
            shown->reject();
        };
        for (const QString &offered : {QString(), mDir.filePath(u"a.txt"_s)}) {
            whenShown<QFileDialog>(cancel);
            FileSystem().AskSaveFileName(offered, nullptr);
        }
        QCOMPARE(folders, (QStringList{QDir::homePath(), mDir.path()}));
    }
};

QTEST_MAIN(tst_Output)
#include "tst_Output.moc"
