#pragma once

#include "view/ShownRows.h"

#include <vector>

// The stored rows the operator marked, in order: at most 8 bytes a mark, nothing while none is.
// Marks belong to stored rows, so they stay on their lines while a filter hides and shows them.
class MarkSet {
public:
    bool empty() const { return mRows.empty(); }
    int size() const { return int(mRows.size()); }
    const std::vector<int> &rows() const { return mRows; }
    bool contains(int store) const;

    // Marks an unmarked row and unmarks a marked one.
    void toggle(int store);
    void clear() { std::vector<int>().swap(mRows); }

    // The shown row of the nearest marked row that shows after (before) shown row `from`,
    // wrapping round; `from` itself comes last. A `from` of -1 starts at the top (bottom).
    // -1 when no marked row shows.
    int next(int from, const ShownRows &shown) const;
    int previous(int from, const ShownRows &shown) const;

private:
    std::vector<int> mRows;
};
