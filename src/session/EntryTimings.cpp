#include "session/EntryTimings.h"

#include <algorithm>

namespace {

constexpr std::int64_t kArrivalMask = (std::int64_t(1) << 48) - 1;
constexpr std::uint32_t kClientMask = EntryTimings::kMaxClients - 1;
constexpr int kReplyToShift = EntryTimings::kClientBits;
constexpr int kReplyRowShift = kReplyToShift + 11;
constexpr std::uint32_t kElevenBits = (1u << 11) - 1;

std::uint32_t packClients(std::uint16_t client, std::uint16_t replyTo, std::uint16_t replyRow)
{
    return (client & kClientMask) | (replyTo & kElevenBits) << kReplyToShift |
           (replyRow & kElevenBits) << kReplyRowShift;
}

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
    const std::uint32_t clients = packClients(entry.client, entry.replyTo, entry.replyRow);
    p.word[5] = std::uint16_t(clients);
    p.word[6] = std::uint16_t(clients >> 16);
}

EntryTimings::Entry EntryTimings::at(int index) const
{
    const Packed &p = packed(index);
    const std::uint32_t clients = std::uint32_t(p.word[5]) | std::uint32_t(p.word[6]) << 16;
    return {std::int64_t(p.word[0]) | std::int64_t(p.word[1]) << 16 | std::int64_t(p.word[2]) << 32,
            std::uint32_t(p.word[3]) | std::uint32_t(p.word[4]) << 16,
            std::uint16_t(clients & kClientMask),
            std::uint16_t((clients >> kReplyToShift) & kElevenBits),
            std::uint16_t(clients >> kReplyRowShift)};
}

void EntryTimings::setLatency(int index, std::uint32_t latency)
{
    Packed &p = packed(index);
    p.word[3] = std::uint16_t(latency);
    p.word[4] = std::uint16_t(latency >> 16);
}

void EntryTimings::setReplyTo(int index, std::uint16_t replyTo, std::uint16_t replyRow)
{
    Packed &p = packed(index);
    const std::uint32_t clients = packClients(p.word[5] & kClientMask, replyTo, replyRow);
    p.word[5] = std::uint16_t(clients);
    p.word[6] = std::uint16_t(clients >> 16);
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
