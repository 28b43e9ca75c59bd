#include "ClassFileSystem.h"
#include "DialogDriver.h"
#include "FakeLines.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const FakeLines kLines({u"[App]  Lookup Request"_s, u"       PutTag ITEM=é"_s, u"€ 5"_s});

} // namespace

class tst_ClassFileSystem : public QObject {
    Q_OBJECT

    QStringList mReports;

private Q_SLOTS:
    void initTestCase()
    {
        FileSystem().setReporter([this](const QString &text) { mReports.append(text); });
    }
    void init() { mReports.clear(); }

    void writes_data()
    {
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<int>("lastRow");
        QTest::addColumn<bool>("unicode");
        QTest::addColumn<QByteArray>("expected"); // of two saves

        const QByteArray rows01("[App]  Lookup Request\r\n       PutTag ITEM=\xE9\r\n\r\n");
        QTest::newRow("Latin-1") << 0 << 1 << false << rows01 + rows01;
        QTest::newRow("Latin-1 has no euro")
            << 2 << 2 << false << QByteArray("? 5\r\n\r\n").repeated(2);
        QTest::newRow("UTF-16") << 1 << 2 << true
                                << QByteArray("\xFF\xFE", 2) +
                                       utf16le(
                                           u"       PutTag ITEM=é\r\n€ 5\r\n\r\n"_s.repeated(2));
        QTest::newRow("first after last: the empty line alone")
            << 2 << 1 << false << QByteArray("\r\n\r\n");
    }

    void writes()
    {
        QFETCH(int, firstRow);
        QFETCH(int, lastRow);
        QFETCH(bool, unicode);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"saved.txt"_s);
        FileSystem().WriteLinesToFile(&kLines, firstRow, lastRow, path, unicode);
        FileSystem().WriteLinesToFile(&kLines, firstRow, lastRow, path, unicode);
        QCOMPARE(readAll(path), expected);
        QCOMPARE(FileSystem().ErrorNumber, 0);
        QCOMPARE(mReports, QStringList());
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

    void defaultReportIsAWarningBox()
    {
        ClassFileSystem files;
        files.ErrorNumber = 61;
        files.ErrorDescription = u"Disk full"_s;
        QStringList seen;
        whenShown<QMessageBox>([&seen](QMessageBox *box) {
            seen << box->windowTitle() << box->text() << QString::number(box->icon())
                 << QString::number(box->buttons().size());
            box->accept();
        });
        files.ReportFileError(u"/x.txt"_s);
        QCOMPARE(seen, (QStringList{u"HELIX Debug Display"_s,
                                    u"Quarto could not open the file \"/x.txt\"\r\n\r\n"
                                    u"Error #61: Disk full"_s,
                                    QString::number(QMessageBox::Warning), u"1"_s}));
    }

    void askSaveFileName_data()
    {
        // %1: a fresh folder holding old.txt.
        QTest::addColumn<QString>("defaultName");
        QTest::addColumn<QStringList>("typed"); // one name an attempt, "" for the offered one;
                                                // none cancels
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QString>("result");

        QTest::newRow("no default: *.txt offered; cancelled")
            << QString() << QStringList() << u"*.txt"_s << QStringList() << QString();
        QTest::newRow("missing folder and pattern refused; .txt added")
            << u"%1/trace.txt"_s << QStringList{u"%1/missing/x"_s, u"*"_s, u"report"_s}
            << u"trace.txt"_s
            << QStringList{u"The folder \"%1/missing\" does not exist."_s,
                           u"\"*.txt\" is a pattern, not a file name."_s, QString()}
            << u"%1/report.txt"_s;
        QTest::newRow("an existing file is taken without asking")
            << u"%1/old.txt"_s << QStringList{QString()} << u"old.txt"_s << QStringList{QString()}
            << u"%1/old.txt"_s;
    }

    void askSaveFileName()
    {
        QFETCH(QString, defaultName);
        QFETCH(QStringList, typed);
        QFETCH(QString, offered);
        QFETCH(QStringList, warnings);
        QFETCH(QString, result);
        QTemporaryDir dir;
        QFile old(dir.filePath(u"old.txt"_s));
        QVERIFY(old.open(QIODevice::WriteOnly));
        const auto in = [&dir](QString text) { return text.replace(u"%1"_s, dir.path()); };

        QStringList seen;
        QStringList seenWarnings;
        whenShown<QFileDialog>([&](QFileDialog *shown) {
            seen << shown->windowTitle() << shown->nameFilters().join(u';')
                 << fileNameEdit(shown)->text();
            for (const QString &name : std::as_const(typed))
                seenWarnings.append(acceptTyped(shown, in(name)));
            if (shown->isVisible())
                shown->reject();
        });
        QCOMPARE(FileSystem().AskSaveFileName(in(defaultName), nullptr), in(result));
        QCOMPARE(seen, (QStringList{u"Save Data to Disk"_s, u"Text Files (*.txt);All Files (*)"_s,
                                    offered}));
        for (QString &warning : warnings)
            warning = in(warning);
        QCOMPARE(seenWarnings, warnings);
    }
};

QTEST_MAIN(tst_ClassFileSystem)
#include "tst_ClassFileSystem.moc"
