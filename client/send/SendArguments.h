#pragma once

#include <QString>
#include <QStringList>

#include <variant>

// The command line of helixdebug-send: one call per run.
struct SendCommand {
    enum Kind { Initialize, Send, Receive, Text, UnHook };
    Kind kind = Text;
    QString object; // an existing object path, or empty to create one for this call
    QStringList arguments;
};

// Buffers are typed with a visible separator: "\0" is U+0000, "\\" a backslash, and "\n",
// "\r", "\t" the usual controls. Any other escape is an error, so typos never reach the
// display as text.
std::variant<QString, QString> unescapeBuffer(const QString &typed);

// The command, or the text of what is wrong with the arguments (program name excluded).
std::variant<SendCommand, QString> parseSendArguments(const QStringList &arguments);

extern const char *const SendUsage;
