#pragma once

#include <QAbstractTableModel>

#include <cstdint>

class SessionLog;

// One row per client title of a session log, read when refreshed.
class SessionTableModel : public QAbstractTableModel {
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

    // Picks up new clients and changed figures.
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(int row, int column) const;

    const SessionLog &mLog;
    int mRows = 0;
};
