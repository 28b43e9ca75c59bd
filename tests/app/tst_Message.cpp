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

namespace {

ClientRef client(const QString &name)
{
    return {u":1."_s + name, u"/Client"_s};
}

std::shared_ptr<Message> quietMessage()
{
    return std::make_shared<Message>([](const ClientRef &) {});
}

QStringList gridLines()
{
    QStringList lines;
    for (int row = 0; loadedMainWindow() && row < loadedMainWindow()->vsf()->Rows(); ++row)
        lines << loadedMainWindow()->vsf()->TextMatrix(row, 0);
    return lines;
}

} // namespace

class tst_Message : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { resetProcessWide(); }
    void cleanup() { closeNow({loadedMainWindow()}); }

    void registrations_data()
    {
        // Each op a letter and a title: I(nitialize) with a client, N: Initialize with Nothing,
        // U(nHook).
        QTest::addColumn<QString>("ops");
        QTest::addColumn<QString>("errors"); // error number of each op, 0 for success
        QTest::addColumn<QStringList>("lines");
        const QString on = u"[App]  <Connecting>"_s, off = u"[App]  <Disconnected>"_s;
        const auto row = [](const char *name, const char *ops, const char *errors,
                            const QStringList &lines) {
            QTest::newRow(name) << QString::fromLatin1(ops) << QString::fromLatin1(errors) << lines;
        };
        row("initialize with Nothing writes nothing", "NApp UApp", "0 5", {});
        row("same title in other case is a duplicate", "IApp IAPP", "0 457", {on});
        row("unhook in any case, with the title as given", "IApp Uapp", "0 0",
            {on, u"[app]  <Disconnected>"_s});
        row("unhook without initialize fails and writes nothing", "UApp", "5", {});
        row("unhook twice", "IApp UApp UApp", "0 0 5", {on, off});
        row("a title is free again after unhook", "IApp UApp IApp", "0 0 0", {on, off, on});
    }

    void registrations()
    {
        QFETCH(QString, ops);
        QFETCH(QString, errors);
        QFETCH(QStringList, lines);
        const auto message = quietMessage();
        QStringList seen;
        int next = 0;
        for (const QString &op : ops.split(u' ')) {
            const QString title = op.mid(1);
            const auto error = op[0] == u'U' ? message->UnHook(title)
                               : op[0] == u'N'
                                   ? message->Initialize(std::nullopt, title)
                                   : message->Initialize(client(QString::number(++next)), title);
            seen << QString::number(error ? error->number : 0);
        }
        QCOMPARE(seen.join(u' '), errors);
        QCOMPARE(gridLines(), lines);
    }

    // Clients are called in registration order; one that unhooks itself from inside its call
    // costs nobody else theirs, and one registered during the loop is called too.
    void shutdownCallsEveryClientInOrder()
    {
        QStringList called;
        std::shared_ptr<Message> message;
        message = std::make_shared<Message>([&](const ClientRef &ref) {
            called << ref.service;
            if (ref.service == u":1.b"_s) {
                QVERIFY(!message->UnHook(u"B"_s).has_value());
                QVERIFY(!message->Initialize(client(u"d"_s), u"D"_s).has_value());
            }
        });
        for (const QString &name : {u"a"_s, u"b"_s, u"c"_s})
            QVERIFY(!message->Initialize(client(name), name.toUpper()).has_value());
        QCOMPARE(loadedMainWindow()->mclsMessage.get(), message.get());
        closeNow({loadedMainWindow()});
        QCOMPARE(called, (QStringList{u":1.a"_s, u":1.b"_s, u":1.c"_s, u":1.d"_s}));
        QCOMPARE(message->clientCount(), 0);
        QVERIFY(!loadedMainWindow());
    }

    // Find, Help and Session leave with the display, before its clients are told to stop; each
    // window's place is saved, and the Session window is remembered as open.
    void companionsCloseWithTheDisplay()
    {
        writeSettingsFile(QString());
        bool companionsGone = false;
        const auto message = std::make_shared<Message>([&](const ClientRef &) {
            companionsGone = !loadedFindDialog() && !loadedHelpWindow() && !loadedSessionWindow();
        });
        QVERIFY(!message->Initialize(client(u"a"_s), u"A"_s));
        frmMain *window = loadedMainWindow();
        window->ToolClick(u"tbrFind"_s);
        window->ToolClick(u"tbrHelp"_s);
        showSessionWindow(window);
        QVERIFY(loadedFindDialog() && loadedHelpWindow() && loadedSessionWindow());
        closeNow({window});
        QVERIFY(companionsGone);
        const QString saved = readSettingsFile();
        for (const QString &form : {u"frmFind"_s, u"frmHelp"_s, u"frmSession"_s, u"frmMain"_s})
            QVERIFY2(saved.contains(form + u"FormTop="_s), qPrintable(form));
        QVERIFY(saved.contains(u"Open=True"_s));
    }

    // Only Initialize brings the window up, and the window holds the object that did. With the
    // window closed, prints have nowhere to go: they succeed and show nothing.
    void windowHoldsTheObjectThatBroughtItUp()
    {
        const auto first = quietMessage();
        const auto second = quietMessage();
        QVERIFY(second->UnHook(u"x"_s));
        QVERIFY(!loadedMainWindow());
        QVERIFY(!first->Initialize(client(u"a"_s), u"A"_s));
        QVERIFY(loadedMainWindow() && loadedMainWindow()->isVisible());
        QVERIFY(!second->Initialize(client(u"b"_s), u"B"_s));
        QCOMPARE(loadedMainWindow()->mclsMessage.get(), first.get());
        closeNow({loadedMainWindow()});
        first->PrintText(u"A"_s, u"lost"_s);
        QVERIFY(!first->PrintReceiveBuffer(u"H\0RC=0\0"_s));
        QVERIFY(!loadedMainWindow());
    }
};

QTEST_MAIN(tst_Message)
#include "tst_Message.moc"
