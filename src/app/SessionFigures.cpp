#include "app/SessionFigures.h"

#include "session/SessionLog.h"

#include <QDBusMetaType>

QDBusArgument &operator<<(QDBusArgument &argument, const SessionFigure &figure)
{
    argument.beginStructure();
    argument << figure.title << figure.gone << figure.requests << figure.replies
             << figure.unanswered << figure.lastNonZeroReturnCode << figure.medianMicros
             << figure.p95Micros << figure.maxMicros;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, SessionFigure &figure)
{
    argument.beginStructure();
    argument >> figure.title >> figure.gone >> figure.requests >> figure.replies >>
        figure.unanswered >> figure.lastNonZeroReturnCode >> figure.medianMicros >>
        figure.p95Micros >> figure.maxMicros;
    argument.endStructure();
    return argument;
}

QList<SessionFigure> sessionFigures(const SessionLog &log)
{
    QList<SessionFigure> figures;
    figures.reserve(log.clientCount());
    for (int i = 0; i < log.clientCount(); ++i) {
        const SessionLog::Client &c = log.client(i);
        figures.append({c.title, c.gone, c.requests, c.replies, c.unanswered,
                        c.lastNonZeroReturnCode, c.latency.percentile(0.5),
                        c.latency.percentile(0.95), c.latency.max()});
    }
    return figures;
}

void registerSessionFigures()
{
    qDBusRegisterMetaType<SessionFigure>();
    qDBusRegisterMetaType<QList<SessionFigure>>();
}
