#include "session/RequestTableModel.h"

#include "session/SessionLog.h"
#include "session/SessionText.h"

RequestTableModel::RequestTableModel(const SessionLog &log, QObject *parent)
    : FigureTableModel(
          [&log] { return log.requestRowCount(); },
          {"Client", "Request", "Requests", "Unanswered", "Last RC", "Median", "p95", "Max"},
          parent)
    , mLog(log)
{
}

// The figure as a number where it is one (a latency of a row with none answered is -1, so it
// sorts below every measured one), else its text.
QVariant RequestTableModel::value(int row, int column) const
{
    const SessionLog::RequestRow &r = mLog.requestRow(row);
    const bool timed = r.latency.count() > 0;
    switch (column) {
    case Title:
        return r.title;
    case Name:
        return r.name;
    case Requests:
        return qulonglong(r.requests);
    case Unanswered:
        return qulonglong(r.unanswered);
    case LastReturnCode:
        return r.lastNonZeroReturnCode;
    case Median:
        return timed ? qlonglong(r.latency.percentile(0.5)) : -1;
    case P95:
        return timed ? qlonglong(r.latency.percentile(0.95)) : -1;
    case Max:
        return timed ? qlonglong(r.latency.max()) : -1;
    default:
        return {};
    }
}

QVariant RequestTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= heldRows())
        return {};
    switch (role) {
    case SortRole:
        return value(index.row(), index.column());
    case Qt::DisplayRole: {
        const QVariant v = value(index.row(), index.column());
        if (index.column() >= Median)
            return v.toLongLong() < 0 ? QString() : SessionText::duration(v.toULongLong());
        if (index.column() == Requests || index.column() == Unanswered)
            return SessionText::count(v.toULongLong());
        return v;
    }
    case Qt::TextAlignmentRole:
        return index.column() >= Requests && index.column() != LastReturnCode
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}
