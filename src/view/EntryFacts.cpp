#include "view/EntryFacts.h"

void EntryFacts::set(int entry, std::uint32_t flag)
{
    if (entry >= 0 && entry < size())
        mWords[std::size_t(entry)] |= flag;
}

void EntryFacts::setClient(int entry, int client)
{
    if (entry >= 0 && entry < size()) {
        std::uint32_t &word = mWords[std::size_t(entry)];
        word = (word & ~kClientMask) | (std::uint32_t(client) & kClientMask);
    }
}
