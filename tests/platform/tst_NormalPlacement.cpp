// When the normal rectangle is taken and saved while the window manager reports one change
// in several events.
#include "platform/NormalPlacement.h"
#include "platform/WindowState.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_NormalPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leavingTheNormalStateSaves_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("saves");
        QTest::newRow("minimized") << vbNormal << vbMinimized << true;
        QTest::newRow("maximized") << vbNormal << vbMaximized << true;
        QTest::newRow("still normal") << vbNormal << vbNormal << false;
        QTest::newRow("maximized from minimized") << vbMinimized << vbMaximized << false;
        QTest::newRow("minimized from maximized") << vbMaximized << vbMinimized << false;
        QTest::newRow("resized while maximized") << vbMaximized << vbMaximized << false;
        QTest::newRow("restored") << vbMaximized << vbNormal << false;
    }

    void leavingTheNormalStateSaves()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        NormalPlacement placement;
        placement.stateSeen(from);
        QTEST(placement.stateSeen(to), "saves");
        QCOMPARE(placement.lastState, to);
    }

    void settling_data()
    {
        // "set S k" the program sets geometry k in state S (N, m, M), "wm S k" the window
        // system reports it, "resize" a resize or change of state arrives, "settle S k" the
        // change settles with geometry k. Geometry k is the rectangle at (k, 2k), 3k wide and 4k
        // high.
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("normal"); // the normal rectangle's k afterwards
        QTest::addColumn<int>("waits");  // events that (re)started the settle timer
        QTest::addColumn<int>("rules");  // settles that ran the resize rule
        QTest::newRow("the program's own geometry counts at once") << u"set N 1"_s << 1 << 0 << 0;
        QTest::newRow("not when it is not normal") << u"set N 1; set M 2"_s << 1 << 0 << 0;
        QTest::newRow("the window system's waits") << u"wm N 2"_s << 0 << 1 << 0;
        QTest::newRow("taken when it settles normal") << u"wm N 2; settle N 2"_s << 2 << 1 << 0;
        QTest::newRow("a maximize keeps the normal one")
            << u"set N 1; wm M 2; resize; settle M 2"_s << 1 << 1 << 1;
        QTest::newRow("minimized too") << u"set N 1; resize; settle m 2"_s << 1 << 0 << 1;
        QTest::newRow("the rule runs once per change")
            << u"resize; resize; settle N 3; settle N 4"_s << 4 << 0 << 1;
    }

    void settling()
    {
        QFETCH(QString, events);
        NormalPlacement placement;
        int waits = 0;
        int rules = 0;
        for (const QString &event : events.split(u';')) {
            const QStringList part = event.trimmed().split(u' ');
            const int state = part.value(1) == u"N"   ? vbNormal
                              : part.value(1) == u"m" ? vbMinimized
                                                      : vbMaximized;
            const int k = part.value(2).toInt();
            const QRect outer(k, 2 * k, 3 * k, 4 * k);
            if (part[0] == u"resize")
                placement.resizeArrived();
            else if (part[0] == u"settle")
                rules += placement.settled(state, outer);
            else
                waits += placement.geometryArrived(part[0] == u"wm", state, outer);
        }
        QFETCH(int, normal);
        QCOMPARE(QRect(placement.left, placement.top, placement.width, placement.height),
                 QRect(normal, 2 * normal, 3 * normal, 4 * normal));
        QTEST(waits, "waits");
        QTEST(rules, "rules");
    }
};

QTEST_APPLESS_MAIN(tst_NormalPlacement)
#include "tst_NormalPlacement.moc"
