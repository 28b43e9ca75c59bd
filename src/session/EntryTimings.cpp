#include "session/EntryTimings.h"

#include <algorithm>

namespace {

constexpr std::int64_t kArrivalMask = (std::int64_t(1) << 48) - 1;

} // namespace

EntryTimings::Packed &EntryTimings::packed(int index)
{
    return mBlocks[std::size_t(index >> kBlockBits)][std::size_t(index & (kBlock - 1))];
}

const EntryTimings::Packed &EntryTimings::packed(int index) const
{
    return mBlocks[std::size_t(index >> kBlockBits)][std::size_t(index & (kBlock - 1))];
}

void EntryTimings::append(const Entry &entry)
{
    if ((mCount & (kBlock - 1)) == 0 && std::size_t(mCount >> kBlockBits) == mBlocks.size())
        mBlocks.push_back(std::make_unique<Packed[]>(kBlock));
    const std::uint64_t arrival =
        std::uint64_t(std::clamp<std::int64_t>(entry.arrivalMicros, 0, kArrivalMask));
    Packed &p = packed(mCount++);
    p.word[0] = std::uint16_t(arrival);
    p.word[1] = std::uint16_t(arrival >> 16);
    p.word[2] = std::uint16_t(arrival >> 32);
    p.word[3] = std::uint16_t(entry.latency);
    p.word[4] = std::uint16_t(entry.latency >> 16);
    p.word[5] = entry.client;
    p.word[6] = entry.object;
}

EntryTimings::Entry EntryTimings::at(int index) const
{
    const Packed &p = packed(index);
    return {std::int64_t(p.word[0]) | std::int64_t(p.word[1]) << 16 | std::int64_t(p.word[2]) << 32,
            std::uint32_t(p.word[3]) | std::uint32_t(p.word[4]) << 16, p.word[5], p.word[6]};
}

void EntryTimings::setLatency(int index, std::uint32_t latency)
{
    Packed &p = packed(index);
    p.word[3] = std::uint16_t(latency);
    p.word[4] = std::uint16_t(latency >> 16);
}

void EntryTimings::clear()
{
    std::vector<std::unique_ptr<Packed[]>>().swap(mBlocks);
    mCount = 0;
}

std::size_t EntryTimings::bytesReserved() const
{
    return mBlocks.size() * kBlock * sizeof(Packed) + mBlocks.capacity() * sizeof(mBlocks.front());
}
