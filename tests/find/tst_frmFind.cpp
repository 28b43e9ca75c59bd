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

using namespace Qt::Literals::StringLiterals;

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

    FakeGrid mGrid{{u"alpha"_s, u"beta Tag"_s, u"gamma"_s, u"delta Tag"_s}};

private Q_SLOTS:
    void initTestCase()
    {
        writeSettingsFile(QString());
        Finder().setDisplay(&mGrid, nullptr);
    }

    void firstOpeningShowsTheDefaults()
    {
        frmFind *dialog = openDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->vsf->text(), QString());
        QVERIFY(!dialog->chkWhole->isChecked());
        QVERIFY(!dialog->chkCase->isChecked());
        QVERIFY(dialog->opt[1]->isChecked());
        QCOMPARE(dialog->vsf->font().family(), Preferences().FontName());
        QCOMPARE(openDialog(), dialog); // a second request brings the same dialog to the front
        QPointer<frmFind> watched(dialog);
        closeDialog();
        QVERIFY(!watched); // closing unloads it for good
        QVERIFY(!loadedFindDialog());
    }

    void reopeningShowsTheLastSearch()
    {
        frmFind *dialog = openDialog();
        dialog->vsf->setText(u"Tag"_s);
        dialog->chkWhole->setChecked(true);
        dialog->opt[0]->setChecked(true);
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        closeDialog();
        dialog = openDialog();
        QCOMPARE(dialog->vsf->text(), u"Tag"_s);
        QVERIFY(dialog->chkWhole->isChecked());
        QVERIFY(!dialog->chkCase->isChecked());
        QVERIFY(dialog->opt[0]->isChecked());
        closeDialog();
    }

    void keysChangeTheDirectionShown()
    {
        Finder().FindNext(0); // Shift+F3
        QVERIFY(openDialog()->opt[0]->isChecked());
        closeDialog();
        Finder().FindNext(1); // F3
        QVERIFY(openDialog()->opt[1]->isChecked());
        closeDialog();
    }

    void findNextSearchesAndStaysOpen()
    {
        mGrid.setRow(0);
        Finder().LastFoundRow = 0;
        frmFind *dialog = openDialog();
        dialog->vsf->setText(u"tag"_s);
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

    void emptyTextCloses()
    {
        const int row = mGrid.Row();
        frmFind *dialog = openDialog();
        dialog->vsf->clear();
        QTest::mouseClick(dialog->cmdFind, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!loadedFindDialog());
        QCOMPARE(mGrid.Row(), row);
    }

    void reopensWhereItWas()
    {
        frmFind *dialog = openDialog();
        dialog->setOuterTwips(1500, 2250, dialog->MinHeightTwips(), dialog->MinWidthTwips());
        const QPoint placed = dialog->pos();
        closeDialog();
        QCOMPARE(openDialog()->pos(), placed);
        closeDialog();
    }
};

QTEST_MAIN(tst_frmFind)
#include "tst_frmFind.moc"
