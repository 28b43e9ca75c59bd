#pragma once

#include <QAbstractTableModel>

class SessionLog;

// One row per client title and request name of a session log, read when refreshed. Sorting
// goes by SortRole, which gives the figures as numbers.
class RequestTableModel : public QAbstractTableModel {
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

    // Picks up new rows and changed figures.
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant value(int row, int column) const;

    const SessionLog &mLog;
    int mRows = 0;
};
