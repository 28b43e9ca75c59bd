#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What the view's conditions ask of each entry, in entry order: a word with its client title's
// number and whether it holds an error return code or is a request that got no reply, and the
// stored row it starts at. A condition over them is a pass over these, never over the lines.
class EntryFacts {
public:
    // Clients are numbered below 1024, as the session log numbers them; the flags sit right
    // above, so a word's low twelve bits say all a condition asks.
    static constexpr std::uint32_t kClientMask = 0x3FF;
    static constexpr std::uint32_t kError = 1u << 10;
    static constexpr std::uint32_t kUnanswered = 1u << 11;
    static constexpr std::uint32_t kFactsMask = 0xFFF;

    struct Entry {
        std::uint32_t word;
        std::int32_t row; // the entry's first stored row
    };

    int size() const { return int(mEntries.size()); }
    std::uint32_t at(int entry) const { return mEntries[std::size_t(entry)].word; }
    int row(int entry) const { return mEntries[std::size_t(entry)].row; }
    const Entry *data() const { return mEntries.data(); }
    // The entry stored row `row` belongs to, or -1 for rows before the first entry.
    int entryAt(int row) const;

    // Rows grow with the entries: each starts after the one before.
    void append(int client, int row)
    {
        mEntries.push_back({std::uint32_t(client) & kClientMask, row});
    }
    // Entries outside those held are ignored.
    void set(int entry, std::uint32_t flag);
    void setClient(int entry, int client);
    void clear() { std::vector<Entry>().swap(mEntries); }

    std::size_t bytesReserved() const { return mEntries.capacity() * sizeof(Entry); }

private:
    std::vector<Entry> mEntries;
};
