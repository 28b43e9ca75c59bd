#include "SettingsFile.h"
#include "frmHelp.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

frmHelp *openHelp()
{
    showHelpWindow();
    return loadedHelpWindow();
}

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

    void opensOnceWithEveryIcon()
    {
        frmHelp *help = openHelp();
        QVERIFY(help);
        for (QLabel *image : help->img)
            QVERIFY(!image->pixmap().isNull()); // the icons come along, also without a theme
        QCOMPARE(openHelp(), help);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(
            std::count_if(windows.begin(), windows.end(),
                          [](QWidget *w) { return qobject_cast<frmHelp *>(w) && w->isVisible(); }),
            1);
        closeHelp();
        QVERIFY(!loadedHelpWindow());
    }

    void enterAndEscapeClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }

    void enterAndEscapeClose()
    {
        QFETCH(int, key);
        QTest::keyClick(openHelp(), Qt::Key(key));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!loadedHelpWindow());
    }

    void reopensWhereItWas()
    {
        frmHelp *help = openHelp();
        help->setOuterTwips(300, 450, help->MinHeightTwips(), help->MinWidthTwips());
        const QPoint placed = help->pos();
        closeHelp();
        QCOMPARE(openHelp()->pos(), placed);
        closeHelp();
    }
};

QTEST_MAIN(tst_frmHelp)
#include "tst_frmHelp.moc"
