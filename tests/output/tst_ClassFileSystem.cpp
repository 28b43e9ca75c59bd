#include "ClassFileSystem.h"
#include "DialogDriver.h"
#include "FakeLines.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const FakeLines kLines({QStringLiteral("[App]  Lookup Request"),
                        QStringLiteral("       PutTag ITEM=é"), QStringLiteral("€ 5")});

} // namespace

class tst_ClassFileSystem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void writes_data();
    void writes();
    void errorIsReportedAndKeptUntilTheNextSave();
    void defaultReportIsAWarningBox();
    void askSaveFileName_data();
    void askSaveFileName();

private:
    QStringList mReports;
};

void tst_ClassFileSystem::initTestCase()
{
    FileSystem().setReporter([this](const QString &text) { mReports.append(text); });
}

void tst_ClassFileSystem::init()
{
    mReports.clear();
}

void tst_ClassFileSystem::writes_data()
{
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<QByteArray>("expected"); // of two saves

    const QByteArray rows01("[App]  Lookup Request\r\n       PutTag ITEM=\xE9\r\n\r\n");
    QTest::newRow("Latin-1") << 0 << 1 << false << rows01 + rows01;
    QTest::newRow("Latin-1 has no euro") << 2 << 2 << false << QByteArray("? 5\r\n\r\n? 5\r\n\r\n");
    QTest::newRow("UTF-16")
        << 1 << 2 << true
        << QByteArray("\xFF\xFE", 2) +
               utf16le(QStringLiteral("       PutTag ITEM=é\r\n€ 5\r\n\r\n").repeated(2));
    QTest::newRow("first after last: the empty line alone")
        << 2 << 1 << false << QByteArray("\r\n\r\n");
}

void tst_ClassFileSystem::writes()
{
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);
    QFETCH(bool, unicode);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.txt"));
    FileSystem().WriteLinesToFile(&kLines, firstRow, lastRow, path, unicode);
    FileSystem().WriteLinesToFile(&kLines, firstRow, lastRow, path, unicode);
    QCOMPARE(readAll(path), expected);
    QCOMPARE(FileSystem().ErrorNumber, 0);
    QCOMPARE(mReports, QStringList());
}

void tst_ClassFileSystem::errorIsReportedAndKeptUntilTheNextSave()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing/out.txt"));
    ClassFileSystem &files = FileSystem();
    files.WriteLinesToFile(&kLines, 0, 2, missing, false);
    QCOMPARE(files.ErrorNumber, 76);
    QCOMPARE(files.ErrorDescription, QStringLiteral("Path not found"));
    QCOMPARE(mReports, QStringList{QStringLiteral("Quarto could not open the file \"") + missing +
                                   QStringLiteral("\"\r\n\r\nError #76: Path not found")});

    const QString good = dir.filePath(QStringLiteral("good.txt"));
    files.WriteLinesToFile(nullptr, 0, 2, good, false);
    files.WriteLinesToFile(&kLines, 0, 2, QString(), false);
    QCOMPARE(files.ErrorNumber, 76);
    files.WriteLinesToFile(&kLines, 0, 2, good, false);
    QCOMPARE(files.ErrorNumber, 0);
    QCOMPARE(files.ErrorDescription, QString());
    QCOMPARE(mReports.size(), 1);
}

void tst_ClassFileSystem::defaultReportIsAWarningBox()
{
    ClassFileSystem files;
    files.ErrorNumber = 61;
    files.ErrorDescription = QStringLiteral("Disk full");
    QStringList seen;
    whenShown<QMessageBox>([&seen](QMessageBox *box) {
        seen << box->windowTitle() << box->text() << QString::number(box->icon())
             << QString::number(box->buttons().size());
        box->accept();
    });
    files.ReportFileError(QStringLiteral("/x.txt"));
    QCOMPARE(seen, QStringList({QStringLiteral("HELIX Debug Display"),
                                QStringLiteral("Quarto could not open the file \"/x.txt\"\r\n\r\n"
                                               "Error #61: Disk full"),
                                QString::number(QMessageBox::Warning), QStringLiteral("1")}));
}

void tst_ClassFileSystem::askSaveFileName_data()
{
    // %1: a fresh folder holding old.txt.
    QTest::addColumn<QString>("defaultName");
    QTest::addColumn<QStringList>(
        "typed"); // a name an attempt, "" for the offered one; none cancels
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("result");

    QTest::newRow("no default: *.txt offered; cancelled")
        << QString() << QStringList() << QStringLiteral("*.txt") << QStringList() << QString();
    QTest::newRow("missing folder and pattern refused; .txt added")
        << QStringLiteral("%1/trace.txt")
        << QStringList{QStringLiteral("%1/missing/x"), QStringLiteral("*"),
                       QStringLiteral("report")}
        << QStringLiteral("trace.txt")
        << QStringList{QStringLiteral("The folder \"%1/missing\" does not exist."),
                       QStringLiteral("\"*.txt\" is a pattern, not a file name."), QString()}
        << QStringLiteral("%1/report.txt");
    QTest::newRow("an existing file is taken without asking")
        << QStringLiteral("%1/old.txt") << QStringList{QString()} << QStringLiteral("old.txt")
        << QStringList{QString()} << QStringLiteral("%1/old.txt");
}

void tst_ClassFileSystem::askSaveFileName()
{
    QFETCH(QString, defaultName);
    QFETCH(QStringList, typed);
    QFETCH(QString, offered);
    QFETCH(QStringList, warnings);
    QFETCH(QString, result);
    QTemporaryDir dir;
    QFile old(dir.filePath(QStringLiteral("old.txt")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    const auto in = [&dir](QString text) { return text.replace(QStringLiteral("%1"), dir.path()); };

    QStringList seen;
    QStringList seenWarnings;
    whenShown<QFileDialog>([&](QFileDialog *shown) {
        seen << shown->windowTitle() << shown->nameFilters().join(QLatin1Char(';'))
             << fileNameEdit(shown)->text();
        for (const QString &name : std::as_const(typed))
            seenWarnings.append(acceptTyped(shown, in(name)));
        if (shown->isVisible())
            shown->reject();
    });
    QCOMPARE(FileSystem().AskSaveFileName(in(defaultName), nullptr), in(result));

    QCOMPARE(seen, QStringList({QStringLiteral("Save Data to Disk"),
                                QStringLiteral("Text Files (*.txt);All Files (*)"), offered}));
    for (QString &warning : warnings)
        warning = in(warning);
    QCOMPARE(seenWarnings, warnings);
    QCOMPARE(FileSystem().FileDialog->Filter(),
             QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*")
                 .replace(QLatin1Char('|'), QChar(0)));
}

QTEST_MAIN(tst_ClassFileSystem)
#include "tst_ClassFileSystem.moc"
