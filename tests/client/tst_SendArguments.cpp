#include "SendArguments.h"

#include <QTest>

class tst_SendArguments : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
};

void tst_SendArguments::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QStringList>("parsed"); // empty when the arguments are refused
    QTest::addColumn<QString>("problem");

    QTest::newRow("send with separators")
        << QStringList{QStringLiteral("send"), QStringLiteral("App"), QStringLiteral("Get"),
                       QStringLiteral("[HEADER]\\0V=1\\0[DATA]\\0A=1\\0")}
        << QString()
        << QStringList{QStringLiteral("App"), QStringLiteral("Get"),
                       QString::fromUtf16(u"[HEADER]\0V=1\0[DATA]\0A=1\0", 24)}
        << QString();
    QTest::newRow("escaped backslash before a zero is no separator")
        << QStringList{QStringLiteral("receive"), QStringLiteral("PATH=C:\\\\0\\0")} << QString()
        << QStringList{QString::fromUtf16(u"PATH=C:\\0\0", 10)} << QString();
    QTest::newRow("text is not unescaped")
        << QStringList{QStringLiteral("--object"), QStringLiteral("/Message/3"),
                       QStringLiteral("text"), QStringLiteral("App"), QStringLiteral("a\\0b")}
        << QStringLiteral("/Message/3")
        << QStringList{QStringLiteral("App"), QStringLiteral("a\\0b")} << QString();
    QTest::newRow("unknown escape")
        << QStringList{QStringLiteral("receive"), QStringLiteral("\\x")} << QString()
        << QStringList{} << QStringLiteral("unknown escape \\x in buffer");
    QTest::newRow("lone backslash at the end")
        << QStringList{QStringLiteral("receive"), QStringLiteral("A\\")} << QString()
        << QStringList{} << QStringLiteral("buffer ends with a lone \\");
    QTest::newRow("missing argument")
        << QStringList{QStringLiteral("send"), QStringLiteral("A")} << QString() << QStringList{}
        << QStringLiteral("send takes 3 argument(s), 1 given");
    QTest::newRow("object without path")
        << QStringList{QStringLiteral("--object"), QStringLiteral("text")} << QString()
        << QStringList{} << QStringLiteral("--object needs an object path such as /Message/1");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("print")} << QString()
                                     << QStringList{} << QStringLiteral("unknown command print");
    QTest::newRow("nothing") << QStringList{} << QString() << QStringList{}
                             << QStringLiteral("no command given");
}

void tst_SendArguments::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, object);
    QFETCH(QStringList, parsed);
    QFETCH(QString, problem);
    const auto result = parseSendArguments(arguments);
    if (!problem.isEmpty()) {
        QVERIFY(std::holds_alternative<QString>(result));
        QCOMPARE(std::get<QString>(result), problem);
        return;
    }
    QVERIFY(std::holds_alternative<SendCommand>(result));
    QCOMPARE(std::get<SendCommand>(result).object, object);
    QCOMPARE(std::get<SendCommand>(result).arguments, parsed);
}

QTEST_GUILESS_MAIN(tst_SendArguments)
#include "tst_SendArguments.moc"
