#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What the view's conditions ask of each entry, one word an entry in entry order: its client
// title's number and whether it holds an error return code or is a request that got no reply.
// A condition over them is a pass over these words, never over the lines.
class EntryFacts {
public:
    // Clients are numbered below 1024, as the session log numbers them; the flags sit right
    // above, so a word's low twelve bits say all a condition asks.
    static constexpr std::uint32_t kClientMask = 0x3FF;
    static constexpr std::uint32_t kError = 1u << 10;
    static constexpr std::uint32_t kUnanswered = 1u << 11;
    static constexpr std::uint32_t kFactsMask = 0xFFF;

    int size() const { return int(mWords.size()); }
    std::uint32_t at(int entry) const { return mWords[std::size_t(entry)]; }
    const std::uint32_t *data() const { return mWords.data(); }

    void append(int client) { mWords.push_back(std::uint32_t(client) & kClientMask); }
    // Entries outside those held are ignored.
    void set(int entry, std::uint32_t flag);
    void setClient(int entry, int client);
    void clear() { std::vector<std::uint32_t>().swap(mWords); }

    std::size_t bytesReserved() const { return mWords.capacity() * sizeof(std::uint32_t); }

private:
    std::vector<std::uint32_t> mWords;
};
