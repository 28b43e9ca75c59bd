#include "send/SendArguments.h"

#include <array>

const char *const SendUsage =
    "usage: helixdebug-send [--object PATH] COMMAND ARGUMENTS\n"
    "  initialize TITLE            register TITLE with no callback; the window holds the\n"
    "                              object, whose path is printed for later calls\n"
    "  send APP REQUEST BUFFER     PrintSendBuffer\n"
    "  receive BUFFER              PrintReceiveBuffer\n"
    "  text APP TEXT               PrintText\n"
    "  unhook TITLE                UnHook\n"
    "Buffers: \\0 is the field separator, \\\\ a backslash, \\n \\r \\t as usual.\n"
    "Without --object each run creates an object of its own for its one call.\n";

std::variant<QString, QString> unescapeBuffer(const QString &typed)
{
    QString buffer;
    buffer.reserve(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed[i];
        if (c != QLatin1Char('\\')) {
            buffer += c;
            continue;
        }
        if (i + 1 == typed.size())
            return std::variant<QString, QString>(std::in_place_index<1>,
                                                  QStringLiteral("buffer ends with a lone \\"));
        const QChar next = typed[++i];
        switch (next.unicode()) {
        case u'0':
            buffer += QChar(u'\0');
            break;
        case u'\\':
            buffer += QLatin1Char('\\');
            break;
        case u'n':
            buffer += QLatin1Char('\n');
            break;
        case u'r':
            buffer += QLatin1Char('\r');
            break;
        case u't':
            buffer += QLatin1Char('\t');
            break;
        default:
            return std::variant<QString, QString>(
                std::in_place_index<1>, QStringLiteral("unknown escape \\%1 in buffer").arg(next));
        }
    }
    return std::variant<QString, QString>(std::in_place_index<0>, buffer);
}

namespace {

struct CommandShape {
    const char *name;
    SendCommand::Kind kind;
    int arguments;
    int bufferArgument; // index of the argument that is a buffer, or -1
};

constexpr std::array<CommandShape, 5> kCommands = {{
    {"initialize", SendCommand::Initialize, 1, -1},
    {"send", SendCommand::Send, 3, 2},
    {"receive", SendCommand::Receive, 1, 0},
    {"text", SendCommand::Text, 2, -1},
    {"unhook", SendCommand::UnHook, 1, -1},
}};

} // namespace

std::variant<SendCommand, QString> parseSendArguments(const QStringList &arguments)
{
    SendCommand command;
    QStringList rest = arguments;
    if (!rest.isEmpty() && rest.front() == QLatin1String("--object")) {
        if (rest.size() < 2 || !rest[1].startsWith(QLatin1Char('/')))
            return QStringLiteral("--object needs an object path such as /Message/1");
        command.object = rest[1];
        rest = rest.mid(2);
    }
    if (rest.isEmpty())
        return QStringLiteral("no command given");
    const QString name = rest.takeFirst();
    for (const CommandShape &shape : kCommands) {
        if (name != QLatin1String(shape.name))
            continue;
        if (rest.size() != shape.arguments)
            return QStringLiteral("%1 takes %2 argument(s), %3 given")
                .arg(name)
                .arg(shape.arguments)
                .arg(rest.size());
        if (shape.bufferArgument >= 0) {
            auto buffer = unescapeBuffer(rest[shape.bufferArgument]);
            if (buffer.index() == 1)
                return std::get<1>(buffer);
            rest[shape.bufferArgument] = std::get<0>(buffer);
        }
        command.kind = shape.kind;
        command.arguments = rest;
        return command;
    }
    return QStringLiteral("unknown command %1").arg(name);
}
