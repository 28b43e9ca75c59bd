// The main window under a real window manager: placement, saved geometry, minimum size, margins.
#include "SettingsFile.h"
#include "X11Windows.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "find/ClassFind.h"
#include "find/frmFind.h"
#include "platform/PrimaryScreen.h"
#include "platform/Twips.h"
#include "platform/WindowTwips.h"
#include "preferences/ClassPreferences.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// Shown and framed by the window manager, placed as the settings file says.
static std::unique_ptr<frmMain> openWindow()
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

static QList<int> outer(const QWidget *window)
{
    const QRect r = WindowTwips::outerRect(window);
    return {r.y(), r.x(), r.height(), r.width()};
}

static bool xdotool(const QString &command)
{
    return QProcess::execute(u"xdotool"_s, command.split(u' ')) == 0;
}

class tst_frmMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { writeSettingsFile(QString()); }

    // The first run opens at the top left at its first size or larger; the grid keeps 120
    // twips on every side.
    void firstRunSizeAndMargins()
    {
        const auto window = openWindow();
        QVERIFY(window);
        QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
        QVERIFY(window->width() >= primaryTwipsScale().xToPixels(3495));
        window->resize(411, 333);
        QTRY_COMPARE(window->size(), QSize(411, 333));
        QCOMPARE(window->vsf()->geometry(), window->centralWidget()->rect() - QMargins(8, 8, 8, 8));
    }

    // Leaving the normal state saves the last normal rectangle; the next start restores it. Which
    // changes save is proved on NormalPlacement; here one real minimize and one real maximize
    // show that the window manager's events reach it. Asked below its minimum outer size, the
    // window takes that size; reopened there, the frame comes off only after the minimum did.
    void normalGeometryComesBack_data()
    {
        QTest::addColumn<bool>("minimize");
        QTest::newRow("moved, minimized by the window manager, closed") << true;
        QTest::newRow("moved, maximized at the title bar, closed") << false;
    }

    void normalGeometryComesBack()
    {
        QFETCH(bool, minimize);
        auto window = openWindow();
        QVERIFY(window);
        const frmMain *w = window.get();
        window->setOuterTwips(0, 0, 1, 1);
        QTRY_COMPARE(outer(w), (QList<int>{0, 0, w->MinHeightTwips(), w->MinWidthTwips()}));
        const QString id = QString::number(window->winId());
        QVERIFY(xdotool(u"windowmove "_s + id + u" 400 300"_s)); // as a drag does
        QTRY_VERIFY(outer(w)[1] != 0);
        const QList<int> moved = outer(w);
        QTRY_COMPARE((QList<int>{w->NormalTop, w->NormalLeft, w->NormalHeight, w->NormalWidth}),
                     moved);
        if (minimize) {
            QVERIFY(xdotool(u"windowminimize "_s + id));
            QTRY_VERIFY(w->isMinimized());
        } else { // a double click on the title bar maximizes in openbox
            const QRect frame = w->frameGeometry();
            const int y = frame.top() + (w->geometry().top() - frame.top()) / 2;
            QVERIFY(xdotool(
                u"mousemove %1 %2 click --repeat 2 --delay 80 1"_s.arg(frame.center().x()).arg(y)));
            QTRY_VERIFY(w->isMaximized());
            QTRY_VERIFY(outer(w) != moved);
        }
        QTest::qWait(200);
        window->close();
        window.reset();
        window = openWindow();
        QVERIFY(window);
        QTRY_COMPARE(outer(window.get()), moved);
    }

    // A dialog's smallest size is an outer one: a place saved a frame smaller is refused and the
    // dialog is centred over the window; saved at its outer size, it comes back there.
    void dialogMinimumIncludesTheFrame()
    {
        const auto window = openWindow();
        QVERIFY(window);
        const auto openFind = [] { // shown and framed, or null
            Finder().ShowFindDialog();
            frmFind *find = loadedFindDialog();
            const bool framed = QTest::qWaitFor(
                [find] { return find && !WindowTwips::frameMargins(find).isNull(); }, 5000);
            QTest::qWait(100);
            return framed ? find : nullptr;
        };
        frmFind *find = openFind();
        QVERIFY(find);
        const QRect inner = primaryTwipsScale().rectToTwips(find->geometry());
        const QRect framed = WindowTwips::outerRect(find);
        QVERIFY(framed.width() > inner.width() && framed.height() > inner.height());
        find->close();
        for (const QSize &saved : {inner.size(), framed.size()}) {
            writeSettingsFile(u"[Position]\nfrmFindFormTop=600\nfrmFindFormLeft=900\n"
                              u"frmFindFormHeight=%1\nfrmFindFormWidth=%2\n"_s.arg(saved.height())
                                  .arg(saved.width()));
            find = openFind();
            QVERIFY(find);
            QCOMPARE(WindowTwips::outerRect(find).topLeft() == QPoint(900, 600),
                     saved == framed.size());
            find->close();
        }
    }
};

int main(int argc, char *argv[])
{
    WindowManagerSession session; // before the application, which connects to its server
    if (!session.running)
        qFatal("tst_frmMainWindow: could not start Xvfb with openbox");
    qunsetenv("QT_QPA_PLATFORM");
    QApplication app(argc, argv);
    tst_frmMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmMainWindow.moc"
