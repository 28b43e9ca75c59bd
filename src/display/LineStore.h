#pragma once

#include "platform/LineSource.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// The display's lines: append-only text kept compactly in large blocks (one byte a character
// for lines that fit Latin-1, two otherwise) with 12 bytes of bookkeeping a line, a bold
// flag and a sparse row-data value. Every lookup by row is O(1) or O(log n). A line holds
// at most 512 Mi characters.
class LineStore {
public:
    LineStore();
    ~LineStore();
    LineStore(const LineStore &) = delete;
    LineStore &operator=(const LineStore &) = delete;

    int size() const { return mCount; }
    void append(QStringView text);
    void clear();

    LineView view(int row) const;
    QString text(int row) const { return view(row).toString(); }

    bool bold(int row) const;
    void setBold(int row, bool bold);

    int rowData(int row) const;
    void setRowData(int row, int value);
    // First row at or after `start` whose row data equals `value`, or -1.
    int findRowData(int value, int start) const;

    // Rows with non-zero row data, counted from the top: the index of a row among them
    // (-1 for a row without), and the row at an index (-1 past the end).
    int markedIndex(int row) const;
    int markedRow(int index) const;
    // The index of the nearest row with row data at or above `row`, or -1.
    int markedIndexAtOrAbove(int row) const;
    int markedCount() const { return int(mRowData.size()); }

    // Bytes held for text and bookkeeping, for measuring the store against other layouts.
    std::size_t bytesReserved() const;

private:
    struct Record {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint32_t lengthAndFlags;
    };
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
    };

    Record &record(int row);
    const Record &record(int row) const;
    char *reserveBytes(std::size_t bytes, std::size_t alignment, Record &rec);

    std::vector<std::unique_ptr<Record[]>> mRecordSegments;
    static constexpr std::size_t kNoBlock = std::size_t(-1);
    std::vector<Block> mBlocks;
    std::size_t mSharedBlock = kNoBlock; // the block small lines are packed into
    std::size_t mSharedUsed = 0;
    int mCount = 0;
    // Rows with a non-zero row data value, sorted by row: rows are marked as they arrive,
    // so this grows at the end and stays small beside the lines.
    std::vector<std::pair<int, int>> mRowData;
};
