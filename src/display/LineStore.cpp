#include "display/LineStore.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

constexpr int kSegmentShift = 16;
constexpr int kSegmentSize = 1 << kSegmentShift;
constexpr std::size_t kBlockSize = std::size_t(1) << 20;
// Lines larger than this get a block of their own, so one huge line never strands the
// unused tail of a shared block.
constexpr std::size_t kOwnBlockThreshold = kBlockSize / 4;

constexpr std::uint32_t kWideFlag = 1u << 31;
constexpr std::uint32_t kBoldFlag = 1u << 30;
// Set when the row has a row data value: most rows have none, and asking about them must not
// cost a search.
constexpr std::uint32_t kDataFlag = 1u << 29;
constexpr std::uint32_t kLengthMask = kDataFlag - 1;

// OR-ing every code unit leaves a bit above 0xFF set exactly when some unit is beyond
// Latin-1, and the branch-free loop vectorises.
bool fitsLatin1(QStringView text)
{
    char16_t any = 0;
    for (const QChar c : text)
        any |= c.unicode();
    return any < 0x100;
}

} // namespace

LineStore::LineStore() = default;
LineStore::~LineStore() = default;

LineStore::Record &LineStore::record(int row)
{
    return mRecordSegments[std::size_t(row) >> kSegmentShift][row & (kSegmentSize - 1)];
}

const LineStore::Record &LineStore::record(int row) const
{
    return mRecordSegments[std::size_t(row) >> kSegmentShift][row & (kSegmentSize - 1)];
}

char *LineStore::reserveBytes(std::size_t bytes, std::size_t alignment, Record &rec)
{
    if (bytes > kOwnBlockThreshold) {
        mBlocks.push_back({std::make_unique<char[]>(bytes), bytes});
        rec.block = std::uint32_t(mBlocks.size() - 1);
        rec.offset = 0;
        return mBlocks.back().bytes.get();
    }
    std::size_t offset = (mSharedUsed + alignment - 1) & ~(alignment - 1);
    if (mSharedBlock == kNoBlock || offset + bytes > kBlockSize) {
        mBlocks.push_back({std::make_unique<char[]>(kBlockSize), kBlockSize});
        mSharedBlock = mBlocks.size() - 1;
        offset = 0;
    }
    rec.block = std::uint32_t(mSharedBlock);
    rec.offset = std::uint32_t(offset);
    mSharedUsed = offset + bytes;
    return mBlocks[mSharedBlock].bytes.get() + offset;
}

void LineStore::append(QStringView text)
{
    if (std::size_t(text.size()) > kLengthMask)
        throw std::length_error("display line too long");
    if (mCount == std::numeric_limits<int>::max())
        throw std::length_error("too many display lines");
    if ((mCount & (kSegmentSize - 1)) == 0 &&
        std::size_t(mCount >> kSegmentShift) == mRecordSegments.size())
        mRecordSegments.push_back(std::make_unique<Record[]>(kSegmentSize));

    Record &rec = record(mCount);
    const bool wide = !fitsLatin1(text);
    const std::size_t length = std::size_t(text.size());
    if (wide) {
        char *dest = reserveBytes(length * sizeof(char16_t), alignof(char16_t), rec);
        std::memcpy(dest, text.utf16(), length * sizeof(char16_t));
    } else {
        char *dest = reserveBytes(length, 1, rec);
        const QChar *src = text.data();
        for (std::size_t i = 0; i < length; ++i)
            dest[i] = char(src[i].unicode());
    }
    rec.lengthAndFlags = std::uint32_t(length) | (wide ? kWideFlag : 0);
    ++mCount;
}

void LineStore::clear()
{
    std::vector<std::unique_ptr<Record[]>>().swap(mRecordSegments);
    std::vector<Block>().swap(mBlocks);
    std::vector<std::pair<int, int>>().swap(mRowData);
    mSharedBlock = kNoBlock;
    mSharedUsed = 0;
    mCount = 0;
}

LineView LineStore::view(int row) const
{
    const Record &rec = record(row);
    return {mBlocks[rec.block].bytes.get() + rec.offset,
            qsizetype(rec.lengthAndFlags & kLengthMask), (rec.lengthAndFlags & kWideFlag) != 0};
}

bool LineStore::bold(int row) const
{
    return (record(row).lengthAndFlags & kBoldFlag) != 0;
}

void LineStore::setBold(int row, bool bold)
{
    Record &rec = record(row);
    rec.lengthAndFlags =
        bold ? (rec.lengthAndFlags | kBoldFlag) : (rec.lengthAndFlags & ~kBoldFlag);
}

namespace {

template <typename Values> auto rowLowerBound(Values &values, int row)
{
    return std::lower_bound(
        values.begin(), values.end(), row,
        [](const std::pair<int, int> &entry, int r) { return entry.first < r; });
}

} // namespace

int LineStore::rowData(int row) const
{
    if (!(record(row).lengthAndFlags & kDataFlag))
        return 0;
    const auto it = rowLowerBound(mRowData, row);
    return it != mRowData.end() && it->first == row ? it->second : 0;
}

void LineStore::setRowData(int row, int value)
{
    Record &rec = record(row);
    rec.lengthAndFlags =
        value != 0 ? (rec.lengthAndFlags | kDataFlag) : (rec.lengthAndFlags & ~kDataFlag);
    if (!mRowData.empty() && mRowData.back().first < row) {
        if (value != 0)
            mRowData.emplace_back(row, value);
        return;
    }
    auto it = rowLowerBound(mRowData, row);
    if (it != mRowData.end() && it->first == row) {
        if (value != 0)
            it->second = value;
        else
            mRowData.erase(it);
    } else if (value != 0) {
        mRowData.insert(it, {row, value});
    }
}

int LineStore::markedIndex(int row) const
{
    if (row < 0 || row >= mCount || !(record(row).lengthAndFlags & kDataFlag))
        return -1;
    const auto it = rowLowerBound(mRowData, row);
    return it != mRowData.end() && it->first == row ? int(it - mRowData.begin()) : -1;
}

int LineStore::markedRow(int index) const
{
    return index >= 0 && std::size_t(index) < mRowData.size() ? mRowData[std::size_t(index)].first
                                                              : -1;
}

int LineStore::markedIndexAtOrAbove(int row) const
{
    const auto above =
        std::upper_bound(mRowData.begin(), mRowData.end(), row,
                         [](int r, const std::pair<int, int> &entry) { return r < entry.first; });
    return int(above - mRowData.begin()) - 1;
}

int LineStore::findRowData(int value, int start) const
{
    for (auto it = rowLowerBound(mRowData, std::max(start, 0)); it != mRowData.end(); ++it) {
        if (it->second == value)
            return it->first;
    }
    return -1;
}

std::size_t LineStore::bytesReserved() const
{
    std::size_t bytes = mRecordSegments.size() * kSegmentSize * sizeof(Record);
    for (const Block &block : mBlocks)
        bytes += block.capacity;
    return bytes + mRowData.capacity() * sizeof(mRowData.front());
}
