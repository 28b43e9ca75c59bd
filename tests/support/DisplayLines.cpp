#include "DisplayLines.h"

#include "ChildProcess.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

QStringList copyDisplayLines(qint64 displayPid, const QString &expected)
{
    const auto run = [](const QString &program, const QStringList &arguments) {
        ChildProcess tool(program, arguments);
        tool.finish(10000);
        return tool.out;
    };
    const QString window = run(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--pid"_s,
                                              QString::number(displayPid)})
                               .section(u'\n', 0, 0);
    if (window.isEmpty())
        return {};
    // An empty clipboard first: what an earlier copy left there must not pass for this one.
    run(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-i"_s, u"/dev/null"_s});
    run(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, window});
    run(u"xdotool"_s, {u"key"_s, u"--clearmodifiers"_s, u"ctrl+a"_s, u"ctrl+c"_s});
    const auto copy = [&] { return run(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-o"_s}); };
    QString copied;
    if (!QTest::qWaitFor([&] { return (copied = copy()).contains(expected); }, 10000))
        return {};
    if (copied.endsWith(u"\r\n"_s)) // every copied line ends in CR LF
        copied.chop(2);
    return copied.split(u"\r\n"_s);
}
