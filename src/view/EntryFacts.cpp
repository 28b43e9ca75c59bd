#include "view/EntryFacts.h"

void EntryFacts::set(int entry, std::uint32_t flag)
{
    if (entry >= 0 && entry < size())
        mWords[std::size_t(entry)] |= flag;
}
