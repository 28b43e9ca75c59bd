#include "BufferDecoding.h"
#include "ClassPreferences.h"
#include "DisplayGrid.h"
#include "Message.h"
#include "frmMain.h"
#include "modMain.h"

#include <QTest>

namespace {

ClientRef client(const char *name)
{
    return {QStringLiteral(":1.%1").arg(QLatin1String(name)), QStringLiteral("/Client")};
}

// One call on a Message: I(nitialize) title [client], U(nHook) title, S(end), R(eceive), T(ext).
struct Op {
    char kind;
    QString first;
    QString second = {};
    QString third = {};
    bool nothing = false; // Initialize with Nothing instead of a client object
};

QStringList gridLines()
{
    QStringList lines;
    if (frmMain *window = loadedMainWindow()) {
        for (int row = 0; row < window->vsf()->Rows(); ++row)
            lines << window->vsf()->TextMatrix(row, 0);
    }
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
    void init();
    void cleanup() { closeWindow(); }
    void clientCalls_data();
    void clientCalls();
    void windowHoldsTheFirstObject();
    void shutdownCallsEveryClientInOrder();
    void windowClosedAndBroughtBack();
    void decoding_data();
    void decoding();
};

void tst_Message::init()
{
    Preferences().setDisplayHeader(false);
    closeWindow();
}

void tst_Message::clientCalls_data()
{
    QTest::addColumn<QList<Op>>("ops");
    QTest::addColumn<QList<int>>("errors"); // error number of each op, 0 for success
    QTest::addColumn<QStringList>("lines");

    const QString app = QStringLiteral("App");
    QTest::newRow("initialize announces the client")
        << QList<Op>{{'I', app}} << QList<int>{0}
        << QStringList{QStringLiteral("[App]  <Connecting>")};
    QTest::newRow("initialize with Nothing writes nothing")
        << QList<Op>{{'I', app, {}, {}, true}, {'U', app}} << QList<int>{0, 5} << QStringList{};
    QTest::newRow("same title in other case is a duplicate")
        << QList<Op>{{'I', app}, {'I', QStringLiteral("APP")}} << QList<int>{0, 457}
        << QStringList{QStringLiteral("[App]  <Connecting>")};
    QTest::newRow("unhook in any case, with the title as given")
        << QList<Op>{{'I', app}, {'U', QStringLiteral("app")}} << QList<int>{0, 0}
        << QStringList{QStringLiteral("[App]  <Connecting>"),
                       QStringLiteral("[app]  <Disconnected>")};
    QTest::newRow("unhook without initialize fails and writes nothing")
        << QList<Op>{{'U', app}} << QList<int>{5} << QStringList{};
    QTest::newRow("unhook twice") << QList<Op>{{'I', app}, {'U', app}, {'U', app}}
                                  << QList<int>{0, 0, 5}
                                  << QStringList{QStringLiteral("[App]  <Connecting>"),
                                                 QStringLiteral("[App]  <Disconnected>")};
    QTest::newRow("a title is free again after unhook")
        << QList<Op>{{'I', app}, {'U', app}, {'I', app}} << QList<int>{0, 0, 0}
        << QStringList{QStringLiteral("[App]  <Connecting>"),
                       QStringLiteral("[App]  <Disconnected>"),
                       QStringLiteral("[App]  <Connecting>")};
    QTest::newRow("prints reach the formatters")
        << QList<Op>{{'I', app, {}, {}, true},
                     {'S', app, QStringLiteral("Get"), QString::fromUtf16(u"A=1\0", 4)},
                     {'R', QString::fromUtf16(u"H\0RC=0\0[DATA]\0B=2\0", 18)},
                     {'T', QString(), QStringLiteral("hello")},
                     {'R', QString::fromUtf16(u"H\0RC=1", 6)}}
        << QList<int>{0, 0, 0, 0, 5}
        << QStringList{QStringLiteral("[App]  Get Request"), QStringLiteral("       PutTag A=1"),
                       QStringLiteral("       GetTag RC=0"), QStringLiteral("              B=2"),
                       QStringLiteral("[]  hello")};
}

void tst_Message::clientCalls()
{
    QFETCH(QList<Op>, ops);
    QFETCH(QList<int>, errors);
    QFETCH(QStringList, lines);
    const auto message = std::make_shared<Message>([](const ClientRef &) {});
    QList<int> seen;
    int next = 0;
    for (const Op &op : ops) {
        std::optional<HelixError> error;
        switch (op.kind) {
        case 'I':
            error = message->Initialize(
                op.nothing ? std::nullopt
                           : std::optional<ClientRef>(client(QByteArray::number(++next))),
                op.first);
            break;
        case 'U':
            error = message->UnHook(op.first);
            break;
        case 'S':
            message->PrintSendBuffer(op.first, op.second, op.third);
            break;
        case 'R':
            error = message->PrintReceiveBuffer(op.first);
            break;
        default:
            message->PrintText(op.first, op.second);
            break;
        }
        seen << (error ? error->number : 0);
    }
    QCOMPARE(seen, errors);
    QCOMPARE(gridLines(), lines);
}

void tst_Message::windowHoldsTheFirstObject()
{
    const auto first = std::make_shared<Message>([](const ClientRef &) {});
    const auto second = std::make_shared<Message>([](const ClientRef &) {});
    QVERIFY(!loadedMainWindow());
    QVERIFY(!second->UnHook(QStringLiteral("x")).has_value() == false);
    QVERIFY(!loadedMainWindow()); // only Initialize brings the window up
    first->Initialize(std::nullopt, QStringLiteral("A"));
    QVERIFY(loadedMainWindow());
    QVERIFY(loadedMainWindow()->isVisible());
    second->Initialize(client("9"), QStringLiteral("B"));
    QCOMPARE(loadedMainWindow()->mclsMessage.get(), first.get());
}

// Clients are called in registration order; one that unhooks itself from inside its call
// costs nobody else theirs, and one registered during the loop is called too.
void tst_Message::shutdownCallsEveryClientInOrder()
{
    QStringList called;
    std::shared_ptr<Message> message;
    message = std::make_shared<Message>([&](const ClientRef &ref) {
        called << ref.service;
        if (ref.service == QLatin1String(":1.b")) {
            QVERIFY(!message->UnHook(QStringLiteral("B")).has_value());
            QVERIFY(!message->Initialize(client("d"), QStringLiteral("D")).has_value());
        }
    });
    QVERIFY(!message->Initialize(client("a"), QStringLiteral("A")).has_value());
    QVERIFY(!message->Initialize(client("b"), QStringLiteral("B")).has_value());
    QVERIFY(!message->Initialize(client("c"), QStringLiteral("C")).has_value());
    QCOMPARE(loadedMainWindow()->mclsMessage.get(), message.get());
    closeWindow();
    QCOMPARE(called, (QStringList{QStringLiteral(":1.a"), QStringLiteral(":1.b"),
                                  QStringLiteral(":1.c"), QStringLiteral(":1.d")}));
    QCOMPARE(message->clientCount(), 0);
    QVERIFY(!loadedMainWindow());
}

void tst_Message::windowClosedAndBroughtBack()
{
    const auto message = std::make_shared<Message>([](const ClientRef &) {});
    QVERIFY(!message->Initialize(client("a"), QStringLiteral("A")).has_value());
    closeWindow();
    QVERIFY(!loadedMainWindow());
    // With the window closed, prints have nowhere to go: they succeed and show nothing.
    message->PrintText(QStringLiteral("A"), QStringLiteral("lost"));
    QVERIFY(!message->PrintReceiveBuffer(QString::fromUtf16(u"H\0RC=0\0", 7)).has_value());
    QVERIFY(!loadedMainWindow());
    QVERIFY(!message->Initialize(client("a"), QStringLiteral("A")).has_value());
    QVERIFY(loadedMainWindow());
    QCOMPARE(gridLines(), QStringList{QStringLiteral("[A]  <Connecting>")});
    QCOMPARE(loadedMainWindow()->mclsMessage.get(), message.get());
}

void tst_Message::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text"); // empty with an error name below when refused
    QTest::addColumn<QString>("error");
    QTest::newRow("ascii with separators")
        << QByteArray("A=1\0B=2\0", 8) << QString::fromUtf16(u"A=1\0B=2\0", 8) << QString();
    QTest::newRow("two- and four-byte characters") << QByteArray("\xc5\x81\xc3\xb3"
                                                                 "d\xc5\xba \xf0\x9f\x98\x80")
                                                   << QString::fromUtf8("Łódź 😀") << QString();
    QTest::newRow("empty") << QByteArray() << QString() << QString();
    QTest::newRow("stray continuation byte")
        << QByteArray("\x80") << QString() << QStringLiteral("InvalidUtf8");
    QTest::newRow("truncated at the end")
        << QByteArray("ok\xe2\x82") << QString() << QStringLiteral("InvalidUtf8");
    QTest::newRow("overlong NUL") << QByteArray("\xc0\x80") << QString()
                                  << QStringLiteral("InvalidUtf8");
    QTest::newRow("encoded surrogate")
        << QByteArray("\xed\xa0\x80") << QString() << QStringLiteral("InvalidUtf8");
    QTest::newRow("just too large") << QByteArray(BufferDecoding::MaxBufferBytes + 1, 'x')
                                    << QString() << QStringLiteral("BufferTooLarge");
}

void tst_Message::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, error);
    const auto decoded = BufferDecoding::decode(bytes);
    if (error.isEmpty()) {
        QVERIFY(std::holds_alternative<QString>(decoded));
        QCOMPARE(std::get<QString>(decoded), text);
    } else {
        QVERIFY(std::holds_alternative<HelixError>(decoded));
        QCOMPARE(std::get<HelixError>(decoded).name, error);
    }
}

QTEST_MAIN(tst_Message)
#include "tst_Message.moc"
