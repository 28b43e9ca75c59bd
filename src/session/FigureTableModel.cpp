#include "session/FigureTableModel.h"

FigureTableModel::FigureTableModel(std::function<int()> rows, std::vector<const char *> headers,
                                   QObject *parent)
    : QAbstractTableModel(parent)
    , mLogRows(std::move(rows))
    , mHeaders(std::move(headers))
    , mRows(mLogRows())
{
}

void FigureTableModel::refresh()
{
    const int rows = mLogRows();
    if (rows > mRows) {
        beginInsertRows({}, mRows, rows - 1);
        mRows = rows;
        endInsertRows();
    }
    if (mRows > 0)
        Q_EMIT dataChanged(index(0, 0), index(mRows - 1, columnCount() - 1));
}

int FigureTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mRows;
}

int FigureTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mHeaders.size());
}

QVariant FigureTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= columnCount())
        return {};
    return QLatin1String(mHeaders[std::size_t(section)]);
}
