#include "display/BufferCutter.h"

namespace {

constexpr char16_t kHeaderMarker[] = u"[HEADER]";
constexpr char16_t kDataStart[] = u"\0[DATA]";
constexpr char16_t kReturnCodeStart[] = u"\0RC=";
// The separator before "[DATA]", the six characters of "[DATA]" and the one after it.
constexpr qsizetype kDataMarkerSkip = 8;

QStringView literal(const char16_t *text, qsizetype length)
{
    return QStringView(text, length);
}

QStringView tailFrom(QStringView buffer, qsizetype start)
{
    return start < buffer.size() ? buffer.sliced(start) : QStringView();
}

} // namespace

BufferCutter::SendBuffer BufferCutter::cutSend(QStringView buffer)
{
    SendBuffer cut;
    cut.data = buffer;
    if (!buffer.contains(literal(kHeaderMarker, 8)))
        return cut;
    cut.hasHeader = true;
    const qsizetype separator = buffer.indexOf(literal(kDataStart, 7));
    if (separator < 0) {
        cut.header = buffer;
        cut.data = {};
        return cut;
    }
    cut.header = buffer.first(separator + 1);
    cut.data = tailFrom(buffer, separator + kDataMarkerSkip);
    return cut;
}

BufferCutter::ReceiveBuffer BufferCutter::cutReceive(QStringView buffer)
{
    ReceiveBuffer cut;
    const qsizetype separator = buffer.indexOf(literal(kReturnCodeStart, 4));
    if (separator < 0)
        return cut;
    cut.hasReturnCode = true;
    cut.header = buffer.first(separator + 1);
    const qsizetype fieldStart = separator + 1;
    const qsizetype fieldEnd = buffer.indexOf(DataSeparator, fieldStart);
    if (fieldEnd < 0)
        return cut;
    cut.returnCodeClosed = true;
    cut.returnCode = buffer.sliced(fieldStart, fieldEnd - fieldStart);
    cut.data = tailFrom(buffer, fieldEnd + kDataMarkerSkip);
    return cut;
}

void BufferCutter::appendHeaderText(QString &line, QStringView header)
{
    const qsizetype start = line.size();
    line.append(header);
    QChar *out = line.data() + start;
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (out[i] == DataSeparator)
            out[i] = QLatin1Char(' ');
    }
}
