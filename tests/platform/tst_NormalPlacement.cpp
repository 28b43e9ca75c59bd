#include "platform/NormalPlacement.h"
#include "platform/WindowState.h"

#include <QTest>

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
        // "set S k": the program sets geometry k in state S (N, m or M); "wm S k": the
        // window system reports it; "resize": a resize or change of state arrives; "settle S k":
        // the change settles in S with geometry k, the rectangle at (k, 2k), 3k wide, 4k high.
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("normal"); // the normal rectangle's k afterwards
        QTest::addColumn<int>("waits");  // events that (re)started the settle timer
        QTest::addColumn<int>("rules");  // settles that ran the resize rule
        QTest::newRow("the program's own geometry counts at once") << "set N 1" << 1 << 0 << 0;
        QTest::newRow("not when it is not normal") << "set N 1; set M 2" << 1 << 0 << 0;
        QTest::newRow("the window system's waits") << "wm N 2" << 0 << 1 << 0;
        QTest::newRow("taken when it settles normal") << "wm N 2; settle N 2" << 2 << 1 << 0;
        QTest::newRow("kept on a maximize") << "set N 1; wm M 2; resize; settle M 2" << 1 << 1 << 1;
        QTest::newRow("minimized too") << "set N 1; resize; settle m 2" << 1 << 0 << 1;
        QTest::newRow("rule runs once") << "resize; resize; settle N 3; settle N 4" << 4 << 0 << 1;
    }

    void settling()
    {
        QFETCH(QString, events);
        const auto geometry = [](int k) { return QRect(k, 2 * k, 3 * k, 4 * k); };
        NormalPlacement place;
        int waits = 0, rules = 0;
        for (const QString &event : events.split(u';')) {
            const QStringList part = event.trimmed().split(u' ');
            const int state = int(QStringView(u"NmM").indexOf(part.value(1)));
            const QRect outer = geometry(part.value(2).toInt());
            if (part[0] == u"resize")
                place.resizeArrived();
            else if (part[0] == u"settle")
                rules += place.settled(state, outer);
            else
                waits += place.geometryArrived(part[0] == u"wm", state, outer);
        }
        QFETCH(int, normal);
        QCOMPARE(QRect(place.left, place.top, place.width, place.height), geometry(normal));
        QTEST(waits, "waits");
        QTEST(rules, "rules");
    }
};

QTEST_APPLESS_MAIN(tst_NormalPlacement)
#include "tst_NormalPlacement.moc"
