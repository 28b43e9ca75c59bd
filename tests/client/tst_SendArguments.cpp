#include "send/SendArguments.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_SendArguments : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QStringList>("parsed");
        QTest::addColumn<QString>("problem"); // empty when the arguments are taken

        QTest::newRow("send with separators")
            << QStringList{u"send"_s, u"App"_s, u"Get"_s, u"[HEADER]\\0V=1\\0[DATA]\\0A=1\\0"_s}
            << QString() << QStringList{u"App"_s, u"Get"_s, u"[HEADER]\0V=1\0[DATA]\0A=1\0"_s}
            << QString();
        QTest::newRow("escaped backslash before a zero is no separator")
            << QStringList{u"receive"_s, u"PATH=C:\\\\0\\0"_s} << QString()
            << QStringList{u"PATH=C:\\0\0"_s} << QString();
        QTest::newRow("text is not unescaped")
            << QStringList{u"--object"_s, u"/Message/3"_s, u"text"_s, u"App"_s, u"a\\0b"_s}
            << u"/Message/3"_s << QStringList{u"App"_s, u"a\\0b"_s} << QString();

        const auto refused = [](const char *name, const QStringList &arguments,
                                const QString &problem) {
            QTest::newRow(name) << arguments << QString() << QStringList() << problem;
        };
        refused("unknown escape", {u"receive"_s, u"\\x"_s}, u"unknown escape \\x in buffer"_s);
        refused("lone backslash at the end", {u"receive"_s, u"A\\"_s},
                u"buffer ends with a lone \\"_s);
        refused("missing argument", {u"send"_s, u"A"_s}, u"send takes 3 argument(s), 1 given"_s);
        refused("object without path", {u"--object"_s, u"text"_s},
                u"--object needs an object path such as /Message/1"_s);
        refused("unknown command", {u"print"_s}, u"unknown command print"_s);
        refused("nothing", {}, u"no command given"_s);
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, object);
        QFETCH(QStringList, parsed);
        QFETCH(QString, problem);
        const auto result = parseSendArguments(arguments);
        if (const auto *refusal = std::get_if<QString>(&result)) {
            QCOMPARE(*refusal, problem);
        } else {
            QVERIFY(problem.isEmpty());
            QCOMPARE(std::get<SendCommand>(result).object, object);
            QCOMPARE(std::get<SendCommand>(result).arguments, parsed);
        }
    }
};

QTEST_GUILESS_MAIN(tst_SendArguments)
#include "tst_SendArguments.moc"
