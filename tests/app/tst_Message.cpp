#include "BufferDecoding.h"
#include "ClassPreferences.h"
#include "DisplayGrid.h"
#include "Message.h"
#include "frmMain.h"
#include "modMain.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

ClientRef client(const QString &name)
{
    return {u":1."_s + name, u"/Client"_s};
}

// One call on a Message: I(nitialize) title, N: Initialize with Nothing, U(nHook) title,
// S(end) app request buffer, R(eceive) buffer, T(ext) app text.
struct Op {
    char kind;
    QString first;
    QString second = {};
    QString third = {};
};

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

void closeWindow()
{
    if (frmMain *window = loadedMainWindow())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

Q_DECLARE_METATYPE(QList<Op>)

class tst_Message : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        Preferences().setDisplayHeader(false);
        closeWindow();
    }
    void cleanup() { closeWindow(); }

    void clientCalls_data()
    {
        QTest::addColumn<QList<Op>>("ops");
        QTest::addColumn<QList<int>>("errors"); // error number of each op, 0 for success
        QTest::addColumn<QStringList>("lines");

        const QString app = u"App"_s, connecting = u"[App]  <Connecting>"_s;
        const QString disconnected = u"[App]  <Disconnected>"_s;
        QTest::newRow("initialize with Nothing writes nothing")
            << QList<Op>{{'N', app}, {'U', app}} << QList<int>{0, 5} << QStringList{};
        QTest::newRow("same title in other case is a duplicate")
            << QList<Op>{{'I', app}, {'I', u"APP"_s}} << QList<int>{0, 457}
            << QStringList{connecting};
        QTest::newRow("unhook in any case, with the title as given")
            << QList<Op>{{'I', app}, {'U', u"app"_s}} << QList<int>{0, 0}
            << QStringList{connecting, u"[app]  <Disconnected>"_s};
        QTest::newRow("unhook without initialize fails and writes nothing")
            << QList<Op>{{'U', app}} << QList<int>{5} << QStringList{};
        QTest::newRow("unhook twice")
            << QList<Op>{{'I', app}, {'U', app}, {'U', app}} << QList<int>{0, 0, 5}
            << QStringList{connecting, disconnected};
        QTest::newRow("a title is free again after unhook")
            << QList<Op>{{'I', app}, {'U', app}, {'I', app}} << QList<int>{0, 0, 0}
            << QStringList{connecting, disconnected, connecting};
        QTest::newRow("prints reach the formatters")
            << QList<Op>{{'N', app},
                         {'S', app, u"Get"_s, u"A=1\0"_s},
                         {'R', u"H\0RC=0\0[DATA]\0B=2\0"_s},
                         {'T', QString(), u"hello"_s},
                         {'R', u"H\0RC=1"_s}}
            << QList<int>{0, 0, 0, 0, 5}
            << QStringList{u"[App]  Get Request"_s, u"       PutTag A=1"_s, u"       GetTag RC=0"_s,
                           u"              B=2"_s, u"[]  hello"_s};
    }

    void clientCalls()
    {
        QFETCH(QList<Op>, ops);
        QFETCH(QList<int>, errors);
        QFETCH(QStringList, lines);
        const auto message = quietMessage();
        QList<int> seen;
        int next = 0;
        for (const Op &op : ops) {
            std::optional<HelixError> error;
            if (op.kind == 'N')
                error = message->Initialize(std::nullopt, op.first);
            else if (op.kind == 'I')
                error = message->Initialize(client(QString::number(++next)), op.first);
            else if (op.kind == 'U')
                error = message->UnHook(op.first);
            else if (op.kind == 'S')
                message->PrintSendBuffer(op.first, op.second, op.third);
            else if (op.kind == 'R')
                error = message->PrintReceiveBuffer(op.first);
            else
                message->PrintText(op.first, op.second);
            seen << (error ? error->number : 0);
        }
        QCOMPARE(seen, errors);
        QCOMPARE(gridLines(), lines);
    }

    void windowHoldsTheFirstObject()
    {
        const auto first = quietMessage();
        const auto second = quietMessage();
        QVERIFY(second->UnHook(u"x"_s).has_value());
        QVERIFY(!loadedMainWindow()); // only Initialize brings the window up
        first->Initialize(std::nullopt, u"A"_s);
        QVERIFY(loadedMainWindow() && loadedMainWindow()->isVisible());
        second->Initialize(client(u"9"_s), u"B"_s);
        QCOMPARE(loadedMainWindow()->mclsMessage.get(), first.get());
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
        closeWindow();
        QCOMPARE(called, (QStringList{u":1.a"_s, u":1.b"_s, u":1.c"_s, u":1.d"_s}));
        QCOMPARE(message->clientCount(), 0);
        QVERIFY(!loadedMainWindow());
    }

    void windowClosedAndBroughtBack()
    {
        const auto message = quietMessage();
        QVERIFY(!message->Initialize(client(u"a"_s), u"A"_s).has_value());
        closeWindow();
        // With the window closed, prints have nowhere to go: they succeed and show nothing.
        message->PrintText(u"A"_s, u"lost"_s);
        QVERIFY(!message->PrintReceiveBuffer(u"H\0RC=0\0"_s).has_value());
        QVERIFY(!loadedMainWindow());
        QVERIFY(!message->Initialize(client(u"a"_s), u"A"_s).has_value());
        QCOMPARE(gridLines(), QStringList{u"[A]  <Connecting>"_s});
        QCOMPARE(loadedMainWindow()->mclsMessage.get(), message.get());
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("result"); // the text, or the name of the error

        QTest::newRow("ascii with separators") << QByteArray("A=1\0B=2\0", 8) << u"A=1\0B=2\0"_s;
        QTest::newRow("two- and four-byte characters") << QByteArray("\xc5\x81\xc3\xb3"
                                                                     "d\xc5\xba \xf0\x9f\x98\x80")
                                                       << u"Łódź 😀"_s;
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("stray continuation byte") << QByteArray("\x80") << u"InvalidUtf8"_s;
        QTest::newRow("truncated at the end") << QByteArray("ok\xe2\x82") << u"InvalidUtf8"_s;
        QTest::newRow("overlong NUL") << QByteArray("\xc0\x80") << u"InvalidUtf8"_s;
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << u"InvalidUtf8"_s;
        QTest::newRow("just too large")
            << QByteArray(BufferDecoding::MaxBufferBytes + 1, 'x') << u"BufferTooLarge"_s;
    }

    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, result);
        const auto decoded = BufferDecoding::decode(bytes);
        if (const auto *error = std::get_if<HelixError>(&decoded))
            QCOMPARE(error->name, result);
        else
            QCOMPARE(std::get<QString>(decoded), result);
    }
};

QTEST_MAIN(tst_Message)
#include "tst_Message.moc"
