#include "view/EntryFacts.h"

#include <algorithm>

int EntryFacts::entryAt(int row) const
{
    const auto after = std::upper_bound(mEntries.begin(), mEntries.end(), row,
                                        [](int r, const Entry &entry) { return r < entry.row; });
    return int(after - mEntries.begin()) - 1;
}

void EntryFacts::set(int entry, std::uint32_t flag)
{
    if (entry >= 0 && entry < size())
        mEntries[std::size_t(entry)].word |= flag;
}

void EntryFacts::setClient(int entry, int client)
{
    if (entry >= 0 && entry < size()) {
        std::uint32_t &word = mEntries[std::size_t(entry)].word;
        word = (word & ~kClientMask) | (std::uint32_t(client) & kClientMask);
    }
}
