#include "display/EntryFormatter.h"

#include "display/BufferCutter.h"

void EntryFormatter::startEntry(EntrySink &sink, const QString &appName, QStringView text)
{
    mLine.resize(0);
    mLine.append(QLatin1Char('['));
    mLine.append(appName);
    mLine.append(u"]  ");
    mLine.append(text);
    sink.appendLine(mLine);
    sink.startEntry();
}

void EntryFormatter::appendHeader(EntrySink &sink, QStringView header)
{
    mLine.resize(0);
    mLine.append(indent);
    BufferCutter::appendHeaderText(mLine, header);
    sink.appendLine(mLine);
}

void EntryFormatter::appendLine(EntrySink &sink, QStringView label, QStringView body)
{
    mLine.resize(0);
    mLine.append(label);
    mLine.append(body);
    sink.appendLine(mLine);
}

int EntryFormatter::formatSend(EntrySink &sink, const QString &appName, const QString &request,
                               QStringView buffer)
{
    startEntry(sink, appName, QString(request + QStringLiteral(" Request")));
    int lines = 1;
    if (buffer.isEmpty())
        return lines;
    const BufferCutter::SendBuffer cut = BufferCutter::cutSend(buffer);
    if (cut.hasHeader && showHeader) {
        appendHeader(sink, cut.header);
        ++lines;
    }
    const QString firstLabel = indent + QStringLiteral("PutTag ");
    const QString nextLabel = indent + indent;
    const QString *label = &firstLabel;
    BufferCutter::forEachField(cut.data, [&](QStringView field) {
        if (field.isEmpty())
            return;
        appendLine(sink, *label, field);
        label = &nextLabel;
        ++lines;
    });
    return lines;
}

EntryFormatter::Received EntryFormatter::formatReceive(EntrySink &sink, QStringView buffer)
{
    const BufferCutter::ReceiveBuffer cut = BufferCutter::cutReceive(buffer);
    Received received;
    if (!cut.hasReturnCode)
        return received;
    if (showHeader) {
        appendHeader(sink, cut.header);
        ++received.lines;
    }
    if (!cut.returnCodeClosed) {
        received.outcome = Reply::Unclosed;
        return received;
    }
    received.outcome = Reply::Formatted;
    received.returnCode = cut.returnCode;
    mLine.resize(0);
    mLine.append(indent);
    mLine.append(u"GetTag ");
    mLine.append(cut.returnCode);
    sink.appendLine(mLine);
    ++received.lines;
    const QString label = indent + indent;
    BufferCutter::forEachField(cut.data, [&](QStringView field) {
        if (field.size() < 2)
            return;
        appendLine(sink, label, field);
        ++received.lines;
    });
    return received;
}

int EntryFormatter::formatText(EntrySink &sink, const QString &appName, const QString &text)
{
    startEntry(sink, appName, text);
    return 1;
}
