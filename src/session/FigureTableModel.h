#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <vector>

// A table of figures read from the session log when refreshed. The log only ever adds rows,
// so a refresh inserts the new ones and marks every cell changed, never resetting the view.
class FigureTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Picks up new rows and changed figures.
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    // `rows` tells how many rows the log holds now.
    FigureTableModel(std::function<int()> rows, std::vector<const char *> headers, QObject *parent);

    int heldRows() const { return mRows; }

private:
    std::function<int()> mLogRows;
    std::vector<const char *> mHeaders;
    int mRows;
};
