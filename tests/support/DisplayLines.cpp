#include "DisplayLines.h"

#include "ChildProcess.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QString runTool(const QString &program, const QStringList &arguments)
{
    ChildProcess tool(program, arguments);
    tool.finish(10000);
    return tool.out;
}

} // namespace

QStringList copyDisplayLines(qint64 displayPid, const QString &expected)
{
    const QString window = runTool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--pid"_s,
                                                  QString::number(displayPid)})
                               .split(u'\n', Qt::SkipEmptyParts)
                               .value(0);
    if (window.isEmpty())
        return {};
    // An empty clipboard first: what an earlier copy left there must not pass for this one.
    ChildProcess clear(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-i"_s});
    clear.closeWriteChannel();
    clear.finish(10000);
    runTool(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, window});
    runTool(u"xdotool"_s, {u"key"_s, u"--clearmodifiers"_s, u"ctrl+a"_s, u"ctrl+c"_s});
    QString copied;
    if (!QTest::qWaitFor(
            [&] {
                copied = runTool(u"xclip"_s, {u"-selection"_s, u"clipboard"_s, u"-o"_s});
                return copied.contains(expected);
            },
            10000))
        return {};
    // Every copied line ends in CR LF.
    QStringList lines = copied.split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}
