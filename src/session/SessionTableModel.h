#pragma once

#include "session/FigureTableModel.h"

#include <cstdint>

class SessionLog;

// One row per client title of a session log, read when refreshed.
class SessionTableModel : public FigureTableModel {
    Q_OBJECT
public:
    enum Column {
        Title,
        Since,
        Requests,
        Replies,
        Unanswered,
        LastReturnCode,
        Median,
        P95,
        Max,
        ColumnCount
    };

    explicit SessionTableModel(const SessionLog &log, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;

private:
    QString text(int row, int column) const;

    const SessionLog &mLog;
};
