#include "ClassFind.h"
#include "ClassPreferences.h"
#include "FakeGrid.h"
#include "SettingsFile.h"
#include "frmFind.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

frmFind *openDialog()
{
    Finder().ShowFindDialog();
    return loadedFindDialog();
}

void closeDialog()
{
    if (frmFind *dialog = loadedFindDialog())
        dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_frmFind : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void firstOpeningShowsTheDefaults();
    void reopeningShowsTheLastSearch();
    void keysChangeTheDirectionShown();
    void findNextSearchesAndStaysOpen();
    void emptyTextCloses();
    void reopensWhereItWas();

private:
    FakeGrid mGrid{{QStringLiteral("alpha"), QStringLiteral("beta Tag"), QStringLiteral("gamma"),
                    QStringLiteral("delta Tag")}};
};

void tst_frmFind::initTestCase()
{
    writeSettingsFile(QString());
    Finder().setDisplay(&mGrid, nullptr);
}

void tst_frmFind::firstOpeningShowsTheDefaults()
{
    frmFind *dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Find"));
    QCOMPARE(dialog->vsf->text(), QString());
    QVERIFY(!dialog->chkWhole->isChecked());
    QVERIFY(!dialog->chkCase->isChecked());
    QVERIFY(dialog->opt[1]->isChecked());
    QCOMPARE(dialog->opt[1]->text(), QStringLiteral("&Down"));
    QCOMPARE(dialog->vsf->font().family(), Preferences().FontName());
    // A second request brings the same dialog to the front.
    QCOMPARE(openDialog(), dialog);
    QPointer<frmFind> watched(dialog);
    closeDialog();
    QVERIFY(!watched); // closing unloads it for good
    QVERIFY(!loadedFindDialog());
}

void tst_frmFind::reopeningShowsTheLastSearch()
{
    frmFind *dialog = openDialog();
    dialog->vsf->setText(QStringLiteral("Tag"));
    dialog->chkWhole->setChecked(true);
    dialog->opt[0]->setChecked(true);
    QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
    closeDialog();
    dialog = openDialog();
    QCOMPARE(dialog->vsf->text(), QStringLiteral("Tag"));
    QVERIFY(dialog->chkWhole->isChecked());
    QVERIFY(!dialog->chkCase->isChecked());
    QVERIFY(dialog->opt[0]->isChecked());
    closeDialog();
}

void tst_frmFind::keysChangeTheDirectionShown()
{
    Finder().FindNext(0); // Shift+F3
    frmFind *dialog = openDialog();
    QVERIFY(dialog->opt[0]->isChecked());
    closeDialog();
    Finder().FindNext(1); // F3
    dialog = openDialog();
    QVERIFY(dialog->opt[1]->isChecked());
    closeDialog();
}

void tst_frmFind::findNextSearchesAndStaysOpen()
{
    mGrid.setRow(0);
    Finder().LastFoundRow = 0;
    frmFind *dialog = openDialog();
    dialog->vsf->setText(QStringLiteral("tag"));
    dialog->chkWhole->setChecked(false);
    dialog->opt[1]->setChecked(true);
    QTest::keyClick(dialog->vsf, Qt::Key_Return); // Enter is Find Next
    QCOMPARE(mGrid.Row(), 1);
    QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
    QCOMPARE(mGrid.Row(), 3);
    QCOMPARE(loadedFindDialog(), dialog);
    dialog->chkCase->setChecked(true);
    QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
    QCOMPARE(mGrid.Row(), 3); // "tag" with case finds nothing: nothing moves
    QTest::keyClick(dialog, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!loadedFindDialog());
}

void tst_frmFind::emptyTextCloses()
{
    const int row = mGrid.Row();
    frmFind *dialog = openDialog();
    dialog->vsf->clear();
    QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!loadedFindDialog());
    QCOMPARE(mGrid.Row(), row);
}

void tst_frmFind::reopensWhereItWas()
{
    frmFind *dialog = openDialog();
    dialog->setOuterTwips(1500, 2250, dialog->MinHeightTwips(), dialog->MinWidthTwips());
    const QPoint placed = dialog->pos();
    closeDialog();
    dialog = openDialog();
    QCOMPARE(dialog->pos(), placed);
    closeDialog();
}

QTEST_MAIN(tst_frmFind)
#include "tst_frmFind.moc"
