// The main window under a real window manager: placement, saved geometry, minimum size and
// the grid's margins.
#include "SettingsFile.h"
#include "X11Windows.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "platform/PrimaryScreen.h"
#include "platform/Twips.h"
#include "platform/WindowTwips.h"
#include "preferences/ClassPreferences.h"

#include <QApplication>
#include <QProcess>
#include <QSettings>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Shown and framed by the window manager.
std::unique_ptr<frmMain> openWindow()
{
    Preferences().LoadSettings();
    auto window = std::make_unique<frmMain>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()) ||
        !QTest::qWaitFor([&] { return !WindowTwips::frameMargins(window.get()).isNull(); }, 5000))
        return nullptr;
    QTest::qWait(100);
    return window;
}

// Top, left, height and width, as the settings file keeps them.
QList<int> storedPosition()
{
    QSettings stored(settingsPath(), QSettings::IniFormat);
    QList<int> values;
    for (const QString &key : {u"Top"_s, u"Left"_s, u"Height"_s, u"Width"_s})
        values << stored.value(u"Position/frmMainForm"_s + key, -1).toInt();
    return values;
}

QList<int> outer(const QWidget *window)
{
    const QRect r = WindowTwips::outerRect(window);
    return {r.y(), r.x(), r.height(), r.width()};
}

const QList<int> kPlaced{1500, 3000, 7500, 12000};

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(u"xdotool"_s, arguments) == 0;
}

// Double-clicks the window's title bar, which maximizes it in openbox.
bool doubleClickTitleBar(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QPoint at(frame.center().x(), frame.top() + (window->geometry().top() - frame.top()) / 2);
    return xdotool({u"mousemove"_s, QString::number(at.x()), QString::number(at.y()), u"click"_s,
                    u"--repeat"_s, u"2"_s, u"--delay"_s, u"80"_s, u"1"_s});
}

} // namespace

class tst_frmMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { writeSettingsFile(QString()); }

    // At the design size, or the minimum outer size where that is larger, which resizing
    // cannot go below.
    void firstRunOpensTopLeftAndKeepsItsMinimum()
    {
        const auto window = openWindow();
        QVERIFY(window);
        QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
        const TwipsScale scale = primaryTwipsScale();
        QVERIFY(window->width() >= scale.xToPixels(3495));
        const auto atLeastMinimum = [&] {
            return window->frameGeometry().width() >= 240 &&
                   window->frameGeometry().height() >= 130;
        };
        QVERIFY(atLeastMinimum());
        window->resize(20, 20);
        QTest::qWait(200);
        QVERIFY(atLeastMinimum());
    }

    void geometryComesBackAfterRestart()
    {
        {
            const auto window = openWindow();
            QVERIFY(window);
            window->setOuterTwips(kPlaced[0], kPlaced[1], kPlaced[2], kPlaced[3]);
            QTRY_COMPARE(outer(window.get()), kPlaced);
            window->close();
        }
        QCOMPARE(storedPosition(), kPlaced);
        const auto again = openWindow();
        QVERIFY(again);
        QTRY_COMPARE(outer(again.get()), kPlaced);
    }

    // Leaving the normal state saves the rectangle the window last had while normal, whether
    // the program, the window manager or the operator at the title bar made the change; a
    // change from minimized straight to maximized saves nothing.
    void normalGeometryIsSavedOnLeavingIt_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("moved, minimized, closed") << u"minimize"_s;
        QTest::newRow("moved, minimized by the window manager, closed") << u"iconify"_s;
        QTest::newRow("moved, maximized, closed") << u"maximize"_s;
        QTest::newRow("moved, maximized at the title bar, closed") << u"title bar"_s;
        QTest::newRow("moved, minimized, maximized, closed") << u"minimize, maximize"_s;
    }

    void normalGeometryIsSavedOnLeavingIt()
    {
        QFETCH(QString, change);
        QList<int> moved;
        {
            const auto window = openWindow();
            QVERIFY(window);
            window->setOuterTwips(kPlaced[0], kPlaced[1], kPlaced[2], kPlaced[3]);
            QTRY_COMPARE(outer(window.get()), kPlaced);
            // The window manager moves it, as a drag does.
            QVERIFY(
                xdotool({u"windowmove"_s, QString::number(window->winId()), u"400"_s, u"300"_s}));
            QTRY_VERIFY(outer(window.get())[1] != kPlaced[1]);
            moved = outer(window.get());
            const frmMain *w = window.get();
            QTRY_COMPARE((QList<int>{w->NormalTop, w->NormalLeft, w->NormalHeight, w->NormalWidth}),
                         moved);
            if (change.startsWith(u"minimize"_s)) {
                window->showMinimized();
                QTRY_VERIFY(window->isMinimized());
            }
            if (change == u"iconify"_s) {
                QVERIFY(xdotool({u"windowminimize"_s, QString::number(window->winId())}));
                QTRY_VERIFY(window->isMinimized());
            }
            if (change.endsWith(u"maximize"_s)) {
                if (change.startsWith(u"minimize"_s)) {
                    QTRY_COMPARE(storedPosition(), moved);
                    writeSettingsFile(u"[Position]\nfrmMainFormTop=15\n"_s);
                }
                window->showMaximized();
                QTRY_VERIFY(window->isMaximized());
            }
            if (change == u"title bar"_s) {
                QVERIFY(doubleClickTitleBar(window.get()));
                QTRY_VERIFY(window->isMaximized());
            }
            if (change.endsWith(u"maximize"_s) || change == u"title bar"_s)
                QTRY_VERIFY(outer(window.get()) != moved);
            QTest::qWait(200);
            window->close();
        }
        if (change == u"minimize, maximize"_s)
            QCOMPARE(storedPosition(), (QList<int>{15, -1, -1, -1}));
        else
            QCOMPARE(storedPosition(), moved);
    }

    // The frame comes off a saved size only after it has come off the minimum size.
    void savedMinimumSizeReopensAsSaved()
    {
        const TwipsScale scale = primaryTwipsScale();
        const QList<int> saved{600, 900, scale.yToTwips(130), scale.xToTwips(240)};
        writeSettingsFile(
            u"[Position]\nfrmMainFormTop=%1\nfrmMainFormLeft=%2\nfrmMainFormHeight=%3\n"
            u"frmMainFormWidth=%4\n"_s.arg(saved[0])
                .arg(saved[1])
                .arg(saved[2])
                .arg(saved[3]));
        const auto window = openWindow();
        QVERIFY(window);
        QTRY_COMPARE(outer(window.get()), saved);
    }

    void gridKeepsEqualMargins()
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
};

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
