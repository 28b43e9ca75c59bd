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
            << "" << QStringList{u"App"_s, u"Get"_s, u"[HEADER]\0V=1\0[DATA]\0A=1\0"_s} << "";
        QTest::newRow("escaped backslash before a zero is no separator")
            << QStringList{u"receive"_s, u"PATH=C:\\\\0\\0"_s} << QString()
            << QStringList{u"PATH=C:\\0\0"_s} << "";
        QTest::newRow("text is not unescaped")
            << QStringList{u"--object"_s, u"/Message/3"_s, u"text"_s, u"App"_s, u"a\\0b"_s}
            << "/Message/3" << QStringList{u"App"_s, u"a\\0b"_s} << "";

        const auto refuse = [](const char *name, const QStringList &args, const char *problem) {
            QTest::newRow(name) << args << QString() << QStringList() << problem;
        };
        refuse("unknown escape", {u"receive"_s, u"\\x"_s}, "unknown escape \\x in buffer");
        refuse("lone backslash at the end", {u"receive"_s, u"A\\"_s}, "buffer ends with a lone \\");
        refuse("missing argument", {u"send"_s, u"A"_s}, "send takes 3 argument(s), 1 given");
        refuse("object without path", {u"--object"_s, u"text"_s},
               "--object needs an object path such as /Message/1");
        refuse("unknown command", {u"print"_s}, "unknown command print");
        refuse("nothing", {}, "no command given");
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        const auto result = parseSendArguments(arguments);
        const auto *command = std::get_if<SendCommand>(&result);
        QTEST(command ? QString() : std::get<QString>(result), "problem");
        if (command) {
            QTEST(command->object, "object");
            QTEST(command->arguments, "parsed");
        }
    }
};

QTEST_GUILESS_MAIN(tst_SendArguments)
#include "tst_SendArguments.moc"
