// The main window under a real window manager: placement, saved geometry, minimum size and
// the grid's margins.
#include "ClassPreferences.h"
#include "DisplayGrid.h"
#include "SettingsFile.h"
#include "Twips.h"
#include "WindowManagerSession.h"
#include "WindowTwips.h"
#include "frmMain.h"

#include <QApplication>
#include <QSettings>
#include <QTest>

namespace {

// A loaded main window, shown and framed by the window manager.
std::unique_ptr<frmMain> openWindow()
{
    Preferences().LoadSettings();
    auto window = std::make_unique<frmMain>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    if (!QTest::qWaitFor([&] { return !WindowTwips::frameMargins(window.get()).isNull(); }, 5000))
        return nullptr;
    QTest::qWait(100);
    return window;
}

QList<int> storedPosition()
{
    QSettings stored(settingsPath(), QSettings::IniFormat);
    QList<int> values;
    for (const char *key : {"FormTop", "FormLeft", "FormHeight", "FormWidth"})
        values << stored.value(QStringLiteral("Position/frmMain") + QLatin1String(key), -1).toInt();
    return values;
}

QList<int> outer(const QWidget *window)
{
    const QRect r = WindowTwips::outerRect(window);
    return {r.y(), r.x(), r.height(), r.width()};
}

} // namespace

class tst_frmMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { writeSettingsFile(QString()); }
    void firstRunOpensTopLeft();
    void geometryComesBackAfterRestart();
    void maximizedThenClosedKeepsTheNormalGeometry();
    void minimumSizeHolds();
    void gridKeepsEqualMargins();
};

void tst_frmMainWindow::firstRunOpensTopLeft()
{
    const auto window = openWindow();
    QVERIFY(window);
    QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
    const TwipsScale scale = TwipsScale::primary();
    // The design size, or the minimum outer size where that is larger.
    QVERIFY(window->width() >= scale.xToPixels(3495));
    QVERIFY(window->frameGeometry().width() >= 240);
    QVERIFY(window->frameGeometry().height() >= 130);
    QCOMPARE(window->miMinWidthTwips, scale.xToTwips(240));
    QCOMPARE(window->miMinHeightTwips, scale.yToTwips(130));
}

void tst_frmMainWindow::geometryComesBackAfterRestart()
{
    QList<int> before;
    {
        const auto window = openWindow();
        QVERIFY(window);
        window->setOuterTwips(1500, 3000, 7500, 12000);
        QTRY_COMPARE(outer(window.get()), (QList<int>{1500, 3000, 7500, 12000}));
        before = outer(window.get());
        window->close();
    }
    QCOMPARE(storedPosition(), before);
    const auto again = openWindow();
    QVERIFY(again);
    QTRY_COMPARE(outer(again.get()), before);
}

void tst_frmMainWindow::maximizedThenClosedKeepsTheNormalGeometry()
{
    const QList<int> normal{1500, 3000, 7500, 12000};
    {
        const auto window = openWindow();
        QVERIFY(window);
        window->setOuterTwips(normal[0], normal[1], normal[2], normal[3]);
        QTRY_COMPARE(outer(window.get()), normal);
        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
        QTRY_VERIFY(outer(window.get())[3] > normal[3]);
        QCOMPARE(storedPosition(), normal); // saved when the window was maximized
        window->close();
    }
    QCOMPARE(storedPosition(), normal); // and a maximized window saves nothing more on close
    const auto again = openWindow();
    QVERIFY(again);
    QTRY_COMPARE(outer(again.get()), normal);
}

void tst_frmMainWindow::minimumSizeHolds()
{
    const auto window = openWindow();
    QVERIFY(window);
    window->resize(20, 20);
    QTest::qWait(200);
    QVERIFY(window->frameGeometry().width() >= 240);
    QVERIFY(window->frameGeometry().height() >= 130);
}

void tst_frmMainWindow::gridKeepsEqualMargins()
{
    const auto window = openWindow();
    QVERIFY(window);
    for (const QSize size : {QSize(700, 500), QSize(411, 333)}) {
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        const QWidget *client = window->centralWidget();
        const QRect grid = window->vsf()->geometry();
        QCOMPARE(grid.topLeft(), QPoint(8, 8)); // 120 twips
        QCOMPARE(client->width() - grid.right() - 1, 8);
        QCOMPARE(client->height() - grid.bottom() - 1, 8);
    }
}

int main(int argc, char *argv[])
{
    WindowManagerSession session;
    if (!session.isRunning()) {
        std::fprintf(stderr, "tst_frmMainWindow: could not start Xvfb with openbox\n");
        return 1;
    }
    qunsetenv("QT_QPA_PLATFORM");
    QApplication app(argc, argv);
    tst_frmMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmMainWindow.moc"
