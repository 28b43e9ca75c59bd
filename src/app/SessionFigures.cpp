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

QDBusArgument &operator<<(QDBusArgument &argument, const RequestFigure &figure)
{
    argument.beginStructure();
    argument << figure.title << figure.name << figure.requests << figure.unanswered
             << figure.lastNonZeroReturnCode << figure.medianMicros << figure.p95Micros
             << figure.maxMicros;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, RequestFigure &figure)
{
    argument.beginStructure();
    argument >> figure.title >> figure.name >> figure.requests >> figure.unanswered >>
        figure.lastNonZeroReturnCode >> figure.medianMicros >> figure.p95Micros >> figure.maxMicros;
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

QList<RequestFigure> requestFigures(const SessionLog &log)
{
    QList<RequestFigure> figures;
    figures.reserve(log.requestRowCount());
    for (int i = 0; i < log.requestRowCount(); ++i) {
        const SessionLog::RequestRow &r = log.requestRow(i);
        figures.append({r.title, r.name, r.requests, r.unanswered, r.lastNonZeroReturnCode,
                        r.latency.percentile(0.5), r.latency.percentile(0.95), r.latency.max()});
    }
    return figures;
}

void registerSessionFigures()
{
    qDBusRegisterMetaType<RequestFigure>();
    qDBusRegisterMetaType<QList<RequestFigure>>();
    qDBusRegisterMetaType<SessionFigure>();
    qDBusRegisterMetaType<QList<SessionFigure>>();
}
