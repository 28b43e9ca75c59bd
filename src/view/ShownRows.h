#pragma once

#include <cstddef>
#include <vector>

// Which of the stored rows the grid shows, in order: all of them, or runs of consecutive
// stored rows. A run costs 8 bytes and at least one hidden row separates two runs, so the
// mapping never takes more than 4 bytes a stored row, and nothing while every row shows.
class ShownRows {
public:
    bool all() const { return mAll; }
    void showAll();
    // Shows nothing until rows are shown.
    void showNone();

    // How many rows show when `stored` rows are held.
    int size(int stored) const { return mAll ? stored : mCount; }
    // The stored row of a shown row (within range).
    int storeRow(int shown) const;
    // The shown row of a stored row, or -1 when it is hidden.
    int shownRow(int store) const;
    // The first shown row whose stored row is at or after `store`, or size() when none is.
    int shownAtOrAfter(int store) const;

    // Shows `count` stored rows from `store` on; they may not come before a shown row.
    void showTail(int store, int count)
    {
        if (mAll || count <= 0)
            return;
        if (mRuns.empty() || mRuns.back().store + (mCount - mRuns.back().shown) != store)
            mRuns.push_back({store, mCount});
        mCount += count;
    }

    // Shows `count` stored rows from `store` on, wherever they fall; they must be hidden.
    void insert(int store, int count);
    // Hides every shown row from stored row `store` on.
    void hideFrom(int store);

    int runCount() const { return int(mRuns.size()); }
    // Room for this many runs in all, so that a long filter need not grow the runs again.
    void reserve(std::size_t runs) { mRuns.reserve(runs); }

    std::size_t bytesReserved() const { return mRuns.capacity() * sizeof(Run); }

private:
    struct Run {
        int store; // the first stored row of the run
        int shown; // its shown row; a run ends where the next one starts
    };
    int runEnd(std::size_t run) const;
    // The last run starting at or before stored row `store`, or -1.
    int runAtOrBefore(int store) const;

    std::vector<Run> mRuns;
    int mCount = 0;
    bool mAll = true;
};
