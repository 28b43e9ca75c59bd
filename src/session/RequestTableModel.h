#pragma once

#include "session/FigureTableModel.h"

class SessionLog;

// One row per client title and request name of a session log, read when refreshed. Sorting
// goes by SortRole, which gives the figures as numbers.
class RequestTableModel : public FigureTableModel {
    Q_OBJECT
public:
    enum Column {
        Title,
        Name,
        Requests,
        Unanswered,
        LastReturnCode,
        Median,
        P95,
        Max,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole;

    explicit RequestTableModel(const SessionLog &log, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role) const override;

private:
    QVariant value(int row, int column) const;

    const SessionLog &mLog;
};
