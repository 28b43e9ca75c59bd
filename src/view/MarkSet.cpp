#include "view/MarkSet.h"

#include <algorithm>

bool MarkSet::contains(int store) const
{
    return std::binary_search(mRows.begin(), mRows.end(), store);
}

void MarkSet::toggle(int store)
{
    const auto at = std::lower_bound(mRows.begin(), mRows.end(), store);
    if (at == mRows.end() || *at != store) {
        mRows.insert(at, store);
        return;
    }
    mRows.erase(at);
    // With the last mark gone, nothing is held.
    if (mRows.empty())
        clear();
}

int MarkSet::next(int from, const ShownRows &shown) const
{
    const int fromStore = from < 0 ? -1 : shown.storeRow(from);
    const auto start = std::upper_bound(mRows.begin(), mRows.end(), fromStore);
    // From the mark after `from` to the end, then round from the top.
    for (std::size_t i = 0; i < mRows.size(); ++i) {
        const std::size_t at = (std::size_t(start - mRows.begin()) + i) % mRows.size();
        const int row = shown.shownRow(mRows[at]);
        if (row >= 0)
            return row;
    }
    return -1;
}

int MarkSet::previous(int from, const ShownRows &shown) const
{
    const auto start =
        from < 0 ? mRows.end() : std::lower_bound(mRows.begin(), mRows.end(), shown.storeRow(from));
    const std::size_t n = mRows.size();
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t at = (std::size_t(start - mRows.begin()) + n - i) % n;
        const int row = shown.shownRow(mRows[at]);
        if (row >= 0)
            return row;
    }
    return -1;
}
