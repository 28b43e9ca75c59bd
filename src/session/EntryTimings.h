#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// What is known of each entry's timing, in entry order: when its first line arrived, how long
// its request waited for the first reply, which client title and which message object it
// came through. 14 bytes an entry, in blocks allocated as entries arrive, so a million
// entries take 14 MB and nothing is kept per line.
class EntryTimings {
public:
    // Latency values that are not durations.
    static constexpr std::uint32_t kPending = 0xFFFFFFFFu; // a request with no reply yet
    static constexpr std::uint32_t kNote = 0xFFFFFFFEu;    // not a request: no reply expected
    static constexpr std::uint32_t kLongest = 0xFFFFFFFDu; // longer waits are stored as this

    struct Entry {
        std::int64_t arrivalMicros; // since the session's start, at most 2^48 - 1
        std::uint32_t latency;      // microseconds, or kPending / kNote
        std::uint16_t client;
        std::uint16_t object;
    };

    int size() const { return mCount; }
    void append(const Entry &entry);
    Entry at(int index) const;
    void setLatency(int index, std::uint32_t latency);
    void clear();

    std::size_t bytesReserved() const;

private:
    // Seven 16-bit words: arrival (three), latency (two), client, object.
    struct Packed {
        std::uint16_t word[7];
    };
    static constexpr int kBlockBits = 12;
    static constexpr int kBlock = 1 << kBlockBits;

    Packed &packed(int index);
    const Packed &packed(int index) const;

    std::vector<std::unique_ptr<Packed[]>> mBlocks;
    int mCount = 0;
};
