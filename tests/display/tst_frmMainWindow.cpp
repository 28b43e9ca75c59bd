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
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Shown and framed by the window manager, placed as the settings file says.
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

    // The first run opens at the top left at its first size or larger; the grid keeps 120
    // twips on every side; resizing cannot go below the minimum outer size.
    void firstRunSizeAndMargins()
    {
        const auto window = openWindow();
        QVERIFY(window);
        QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
        QVERIFY(window->width() >= primaryTwipsScale().xToPixels(3495));
        window->resize(411, 333);
        QTRY_COMPARE(window->size(), QSize(411, 333));
        const QWidget *client = window->centralWidget();
        const QRect grid = window->vsf()->geometry();
        QCOMPARE(grid.topLeft(), QPoint(8, 8));
        QCOMPARE(client->width() - grid.right() - 1, 8);
        QCOMPARE(client->height() - grid.bottom() - 1, 8);
        window->resize(20, 20);
        QTest::qWait(200);
        QVERIFY(window->frameGeometry().width() >= 240);
        QVERIFY(window->frameGeometry().height() >= 130);
    }

    // Leaving the normal state saves the rectangle the window last had while normal; the next
    // start restores it. Which changes save, and how events are taken together, is proved on
    // NormalPlacement; here one real minimize and one real maximize show that the window
    // manager's events reach it.
    void normalGeometryComesBack_data()
    {
        QTest::addColumn<bool>("minimize");
        QTest::newRow("moved, minimized by the window manager, closed") << true;
        QTest::newRow("moved, maximized at the title bar, closed") << false;
    }

    void normalGeometryComesBack()
    {
        QFETCH(bool, minimize);
        QList<int> moved;
        {
            const auto window = openWindow();
            QVERIFY(window);
            const frmMain *w = window.get();
            window->setOuterTwips(kPlaced[0], kPlaced[1], kPlaced[2], kPlaced[3]);
            QTRY_COMPARE(outer(w), kPlaced);
            const QString id = QString::number(window->winId());
            QVERIFY(xdotool({u"windowmove"_s, id, u"400"_s, u"300"_s})); // as a drag does
            QTRY_VERIFY(outer(w)[1] != kPlaced[1]);
            moved = outer(w);
            QTRY_COMPARE((QList<int>{w->NormalTop, w->NormalLeft, w->NormalHeight, w->NormalWidth}),
                         moved);
            if (minimize) {
                QVERIFY(xdotool({u"windowminimize"_s, id}));
                QTRY_VERIFY(w->isMinimized());
            } else {
                QVERIFY(doubleClickTitleBar(w));
                QTRY_VERIFY(w->isMaximized());
                QTRY_VERIFY(outer(w) != moved);
            }
            QTest::qWait(200);
            window->close();
        }
        const auto again = openWindow();
        QVERIFY(again);
        QTRY_COMPARE(outer(again.get()), moved);
    }

    // The frame comes off a saved size only after it has come off the minimum size.
    void savedMinimumSizeReopensAsSaved()
    {
        const TwipsScale scale = primaryTwipsScale();
        const QList<int> saved{600, 900, scale.yToTwips(130), scale.xToTwips(240)};
        writeSettingsFile(u"[Position]\nfrmMainFormTop=600\nfrmMainFormLeft=900\n"
                          u"frmMainFormHeight=%1\nfrmMainFormWidth=%2\n"_s.arg(saved[2])
                              .arg(saved[3]));
        const auto window = openWindow();
        QVERIFY(window);
        QTRY_COMPARE(outer(window.get()), saved);
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
