#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// What is known of each entry's timing, in entry order: when its first line arrived, how long
// its request waited for its reply, which client title it came from and whether a reply to
// another client's request joined it. 14 bytes an entry, in blocks allocated as entries arrive,
// so a million entries take 14 MB and nothing is kept per line.
class EntryTimings {
public:
    // Latency values that are not durations.
    static constexpr std::uint32_t kPending = 0xFFFFFFFFu;    // a request still waiting
    static constexpr std::uint32_t kNote = 0xFFFFFFFEu;       // not a request: no reply expected
    static constexpr std::uint32_t kUnanswered = 0xFFFFFFFDu; // a request that got no reply
    static constexpr std::uint32_t kLongest = 0xFFFFFFFCu;    // longer waits are stored as this

    struct Entry {
        std::int64_t arrivalMicros; // since the session's start, at most 2^48 - 1
        std::uint32_t latency;      // microseconds, or kPending / kNote
        std::uint16_t client;       // below kMaxClients
        // The first reply that joined this entry while answering another client's request:
        // 1 + that client (0 when none did), and its first line's row within the entry.
        std::uint16_t replyTo = 0;
        std::uint16_t replyRow = 0;
    };

    static constexpr int kClientBits = 10;
    static constexpr int kMaxClients = 1 << kClientBits;
    // Rows further into an entry than this carry no reply mark.
    static constexpr int kMaxReplyRow = (1 << 11) - 1;

    int size() const { return mCount; }
    void append(const Entry &entry);
    Entry at(int index) const;
    void setLatency(int index, std::uint32_t latency);
    void setReplyTo(int index, std::uint16_t replyTo, std::uint16_t replyRow);
    void clear();

    std::size_t bytesReserved() const;

private:
    // Seven 16-bit words: arrival (three), latency (two), and the client, reply-to client and
    // reply row packed in 10, 11 and 11 bits.
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
