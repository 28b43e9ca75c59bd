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

    void closesAndReopensWhereItWas_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("left"); // twips, different for each row
        QTest::newRow("Enter") << int(Qt::Key_Return) << 450;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 900;
    }

    void closesAndReopensWhereItWas()
    {
        QFETCH(int, key);
        QFETCH(int, left);
        frmHelp *help = openHelp();
        help->setOuterTwips(300, left, help->MinHeightTwips(), help->MinWidthTwips());
        const QPoint placed = help->pos();
        QTest::keyClick(help, Qt::Key(key));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!loadedHelpWindow());
        QCOMPARE(openHelp()->pos(), placed);
        closeHelp();
    }
};

QTEST_MAIN(tst_frmHelp)
#include "tst_frmHelp.moc"
