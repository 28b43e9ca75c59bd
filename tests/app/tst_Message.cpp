#include "DialogDriver.h"
#include "SettingsFile.h"
#include "app/Message.h"
#include "app/modMain.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "find/frmFind.h"
#include "help/frmHelp.h"
#include "platform/ProcessWide.h"
#include "session/frmSession.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_Message : public QObject {
    Q_OBJECT

    static ClientRef client(const QString &name) { return {u":1."_s + name, u"/Client"_s}; }
    static void ignore(const ClientRef &) {}
    static QStringList gridLines()
    {
        QStringList lines;
        for (int row = 0; loadedMainWindow() && row < loadedMainWindow()->vsf()->Rows(); ++row)
            lines << loadedMainWindow()->vsf()->TextMatrix(row, 0);
        return lines;
    }

private Q_SLOTS:
    void init() { resetProcessWide(); }
    void cleanup() { closeNow({loadedMainWindow()}); }

    void registrations_data()
    {
        // Op: I(nitialize) with a client, N: Initialize with Nothing or U(nHook), title=error.
        QTest::addColumn<QString>("ops");
        QTest::addColumn<QStringList>("lines");
        const QString on = u"[App]  <Connecting>"_s, off = u"[App]  <Disconnected>"_s;
        const auto row = [](const char *name, const QString &ops, const QStringList &lines) {
            QTest::newRow(name) << ops << lines;
        };
        row("initialize with Nothing writes nothing", u"NApp=0 UApp=5"_s, {});
        row("same title in other case is a duplicate", u"IApp=0 IAPP=457"_s, {on});
        row("unhook in any case, with the title as given", u"IApp=0 Uapp=0"_s,
            {on, u"[app]  <Disconnected>"_s});
        row("unhook without initialize fails and writes nothing", u"UApp=5"_s, {});
        row("unhook twice", u"IApp=0 UApp=0 UApp=5"_s, {on, off});
        row("a title is free again after unhook", u"IApp=0 UApp=0 IApp=0"_s, {on, off, on});
    }

    void registrations()
    {
        QFETCH(QString, ops);
        const auto message = std::make_shared<Message>(ignore);
        QStringList done;
        int next = 0;
        for (const QString &op : ops.split(u' ')) {
            const QString call = op.section(u'=', 0, 0), title = call.mid(1);
            const auto error = call[0] == u'U' ? message->UnHook(title)
                               : call[0] == u'N'
                                   ? message->Initialize(std::nullopt, title)
                                   : message->Initialize(client(QString::number(++next)), title);
            done << call + u'=' + QString::number(error ? error->number : 0);
        }
        QCOMPARE(done.join(u' '), ops);
        QTEST(gridLines(), "lines");
    }

    // Only Initialize brings the window up; it holds the object that did. Closing it closes Find,
    // Help and Session (places saved, Session remembered as open), then calls that object's clients
    // in order: one unhooking itself mid-call costs nobody theirs, one added meanwhile is called.
    void closingTheWindow()
    {
        writeSettingsFile(QString());
        QStringList called;
        bool companionsGone = true;
        const auto other = std::make_shared<Message>(ignore);
        const std::shared_ptr<Message> message =
            std::make_shared<Message>([&](const ClientRef &ref) {
                called << ref.service;
                companionsGone &=
                    !loadedFindDialog() && !loadedHelpWindow() && !loadedSessionWindow();
                if (ref.service == u":1.b"_s) {
                    QVERIFY(!message->UnHook(u"B"_s).has_value());
                    QVERIFY(!message->Initialize(client(u"d"_s), u"D"_s).has_value());
                }
            });
        QVERIFY(other->UnHook(u"x"_s));
        QVERIFY(!loadedMainWindow());
        for (const QString &name : {u"a"_s, u"b"_s, u"c"_s})
            QVERIFY(!message->Initialize(client(name), name.toUpper()).has_value());
        frmMain *window = loadedMainWindow();
        QVERIFY(window && window->isVisible());
        QVERIFY(!other->Initialize(client(u"e"_s), u"E"_s));
        window->ToolClick(u"tbrFind"_s);
        window->ToolClick(u"tbrHelp"_s);
        showSessionWindow(window);
        QVERIFY(loadedFindDialog() && loadedHelpWindow() && loadedSessionWindow());
        closeNow({window});
        QVERIFY(companionsGone);
        QCOMPARE(called, (QStringList{u":1.a"_s, u":1.b"_s, u":1.c"_s, u":1.d"_s}));
        QCOMPARE(message->clientCount(), 0);
        const QString saved = readSettingsFile();
        for (const QString &form : {u"frmFind"_s, u"frmHelp"_s, u"frmSession"_s, u"frmMain"_s})
            QVERIFY2(saved.contains(form + u"FormTop="_s), qPrintable(form));
        QVERIFY(saved.contains(u"Open=True"_s));
        message->PrintText(u"A"_s, u"lost"_s);
        QVERIFY(!message->PrintReceiveBuffer(u"H\0RC=0\0"_s));
        QVERIFY(!loadedMainWindow());
    }
};

QTEST_MAIN(tst_Message)
#include "tst_Message.moc"
