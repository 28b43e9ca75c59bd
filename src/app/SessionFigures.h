#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

class SessionLog;

// One client title's figures as the bus hands them out, D-Bus type (sbtttsuuu): title, gone,
// requests, replies, unanswered, the last non-zero "RC=" field, and latency median, p95 and
// max in microseconds (0 while no request of it was answered).
struct SessionFigure {
    QString title;
    bool gone = false;
    quint64 requests = 0;
    quint64 replies = 0;
    quint64 unanswered = 0;
    QString lastNonZeroReturnCode;
    quint32 medianMicros = 0;
    quint32 p95Micros = 0;
    quint32 maxMicros = 0;
};
Q_DECLARE_METATYPE(SessionFigure)

// One request name's figures of one client title, D-Bus type (ssttsuuu): title, request name,
// requests, unanswered, the last non-zero "RC=" field, and latency median, p95 and max.
struct RequestFigure {
    QString title;
    QString name;
    quint64 requests = 0;
    quint64 unanswered = 0;
    QString lastNonZeroReturnCode;
    quint32 medianMicros = 0;
    quint32 p95Micros = 0;
    quint32 maxMicros = 0;
};
Q_DECLARE_METATYPE(RequestFigure)

QDBusArgument &operator<<(QDBusArgument &argument, const SessionFigure &figure);
const QDBusArgument &operator>>(const QDBusArgument &argument, SessionFigure &figure);
QDBusArgument &operator<<(QDBusArgument &argument, const RequestFigure &figure);
const QDBusArgument &operator>>(const QDBusArgument &argument, RequestFigure &figure);

// Every client row of the log, in the Session window's order.
QList<SessionFigure> sessionFigures(const SessionLog &log);
// Every (title, request name) row of the log, in the order they first came.
QList<RequestFigure> requestFigures(const SessionLog &log);

// Makes the types known to Qt D-Bus; once, before the first call is served.
void registerSessionFigures();
