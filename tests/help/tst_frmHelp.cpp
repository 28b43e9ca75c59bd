#include "SettingsFile.h"
#include "frmHelp.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

void closeHelp()
{
    if (frmHelp *help = loadedHelpWindow())
        help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_frmHelp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { writeSettingsFile(QString()); }
    void showsTheToolsAndKeys();
    void opensOnce();
    void enterAndEscapeClose_data();
    void enterAndEscapeClose();
    void reopensWhereItWas();
};

void tst_frmHelp::showsTheToolsAndKeys()
{
    showHelpWindow();
    frmHelp *help = loadedHelpWindow();
    QVERIFY(help);
    QCOMPARE(help->windowTitle(), QStringLiteral("HELIX Debug Help"));
    QCOMPARE(help->fraKeys->title(), QStringLiteral("Keyboard Shortcuts"));
    QCOMPARE(help->lbl[2]->text(),
             QStringLiteral("        F3: Repeats last search, going down and wrapping"));
    QCOMPARE(help->lbl[9]->text(), QStringLiteral("Copies selected lines to Windows Clipboard"));
    QCOMPARE(help->lbl[14]->text(), QStringLiteral("Right-clicking on the main display will "
                                                   "bring up a popup menu with all Copy and Save "
                                                   "options"));
    for (QLabel *image : help->img)
        QVERIFY(!image->pixmap().isNull()); // every tool's icon shows, also without a theme
    QVERIFY(help->cmdClose->isDefault());
    closeHelp();
}

void tst_frmHelp::opensOnce()
{
    showHelpWindow();
    frmHelp *first = loadedHelpWindow();
    showHelpWindow();
    QCOMPARE(loadedHelpWindow(), first);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](QWidget *w) { return qobject_cast<frmHelp *>(w) && w->isVisible(); }),
             1);
    closeHelp();
    QVERIFY(!loadedHelpWindow());
}

void tst_frmHelp::enterAndEscapeClose_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void tst_frmHelp::enterAndEscapeClose()
{
    QFETCH(int, key);
    showHelpWindow();
    frmHelp *help = loadedHelpWindow();
    QTest::keyClick(help, Qt::Key(key));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!loadedHelpWindow());
}

void tst_frmHelp::reopensWhereItWas()
{
    showHelpWindow();
    frmHelp *help = loadedHelpWindow();
    help->setOuterTwips(300, 450, help->MinHeightTwips(), help->MinWidthTwips());
    const QPoint placed = help->pos();
    closeHelp();
    showHelpWindow();
    QCOMPARE(loadedHelpWindow()->pos(), placed);
    closeHelp();
}

QTEST_MAIN(tst_frmHelp)
#include "tst_frmHelp.moc"
