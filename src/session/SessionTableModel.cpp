#include "session/SessionTableModel.h"

#include "session/SessionLog.h"
#include "session/SessionText.h"

#include <QGuiApplication>
#include <QPalette>

SessionTableModel::SessionTableModel(const SessionLog &log, QObject *parent)
    : FigureTableModel([&log] { return log.clientCount(); },
                       {"Client", "Connected since", "Requests", "Replies", "Unanswered", "Last RC",
                        "Median", "p95", "Max"},
                       parent)
    , mLog(log)
{
}

QString SessionTableModel::text(int row, int column) const
{
    const SessionLog::Client &c = mLog.client(row);
    const bool timed = c.latency.count() > 0;
    switch (column) {
    case Title:
        return c.gone ? c.title + QStringLiteral(" (gone)") : c.title;
    case Since:
        return SessionText::clockTime(mLog.wallMs(c.since)) +
               (c.connected ? QString() : QStringLiteral(" (first call)"));
    case Requests:
        return SessionText::count(c.requests);
    case Replies:
        return SessionText::count(c.replies);
    case Unanswered:
        return SessionText::count(c.unanswered);
    case LastReturnCode:
        return c.lastNonZeroReturnCode;
    case Median:
        return timed ? SessionText::duration(c.latency.percentile(0.5)) : QString();
    case P95:
        return timed ? SessionText::duration(c.latency.percentile(0.95)) : QString();
    case Max:
        return timed ? SessionText::duration(c.latency.max()) : QString();
    default:
        return {};
    }
}

QVariant SessionTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= heldRows())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::ToolTipRole: {
        const SessionLog::Client &c = mLog.client(index.row());
        if (c.gone)
            return QStringLiteral("%1 left at %2")
                .arg(c.title, SessionText::clockTime(mLog.wallMs(c.goneAt)));
        return {};
    }
    case Qt::TextAlignmentRole:
        return index.column() >= Requests && index.column() != LastReturnCode
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // Greyed as the desktop greys what is out of play, on a light palette or a dark one.
        return mLog.client(index.row()).gone
                   ? QVariant(QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text))
                   : QVariant();
    default:
        return {};
    }
}
